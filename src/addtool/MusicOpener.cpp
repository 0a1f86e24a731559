// SPDX-License-Identifier: GPL-3.0-or-later
#include "addtool/MusicOpener.h"

#include <algorithm>
#include <filesystem>
#include <QDir>
#include <QFile>
#include <set>
#include <string>

using namespace Qt::StringLiterals;

namespace tarvo {

CMusicOpener::CMusicOpener(QString addProgram, Done done)
    : m_addProgram(std::move(addProgram)), m_done(std::move(done)) {
    connect(&m_process, &QProcess::finished, this, &CMusicOpener::Finished);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        m_waiting.clear();
        m_done({}, u"Tarvo cannot start "_s + m_addProgram + u" to add the music."_s);
    });
}

void CMusicOpener::Rename(const Renaming& renaming, Renamed done) {
    auto* rename = new QProcess(this);
    auto finish = [rename, done](bool renamed, const QString& why) {
        rename->deleteLater();
        done(renamed, why);
    };
    connect(rename, &QProcess::finished, this,
            [rename, finish](int code, QProcess::ExitStatus status) {
                finish(status == QProcess::NormalExit && code == 0,
                       QString::fromLocal8Bit(rename->readAllStandardError()).trimmed());
            });
    connect(rename, &QProcess::errorOccurred, this, [rename, finish](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) finish(false, rename->errorString());
    });
    rename->start(m_addProgram, {QStringLiteral("--rename"), renaming.romName, renaming.title,
                                 renaming.maker, renaming.year});
}

QByteArray CMusicOpener::AbsolutePath(const QByteArray& path) {
    if (path.startsWith('/')) return path;
    return QFile::encodeName(QDir::currentPath()) + '/' + path;
}

void CMusicOpener::Open(const QByteArrayList& paths) {
    AddReport unnamed; // an empty name would be the current folder once made absolute
    for (const QByteArray& path : paths) {
        if (path.isEmpty())
            unnamed.refused = {{"(an empty name)", "it names no file or folder"}};
        else
            m_waiting << AbsolutePath(path);
    }
    if (!unnamed.refused.empty()) m_done(unnamed, {});
    if (!Busy()) StartNext();
}

// Folders are counted first when a confirmation is wanted: a whole disk
// given by mistake must not become a thousand games unasked.
void CMusicOpener::StartNext() {
    if (m_waiting.isEmpty()) return;
    m_inputs = std::exchange(m_waiting, {});
    const bool folders = std::any_of(m_inputs.begin(), m_inputs.end(), [](const QByteArray& path) {
        std::error_code error;
        return std::filesystem::is_directory(path.toStdString(), error);
    });
    m_counting = folders && m_confirmMany;
    if (m_counting)
        Run({u"--count"_s});
    else
        Add();
}

void CMusicOpener::Add() {
    m_counting = false;
    Run({u"--report"_s});
}

void CMusicOpener::Run(const QStringList& options) {
    QByteArray list;
    for (const QByteArray& input : m_inputs)
        list += input + '\0';
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(m_addProgram, options + QStringList{u"--inputs-from"_s, u"-"_s});
    m_process.write(list);
    m_process.closeWriteChannel();
}

void CMusicOpener::Counted() {
    bool read = false;
    const int games = m_process.readAllStandardOutput().trimmed().toInt(&read);
    if (!read || games <= kAskAboveGames || m_confirmMany(games, m_inputs)) {
        Add();
        return;
    }
    StartNext(); // not wanted: nothing is added
}

void CMusicOpener::Finished(int exitCode, QProcess::ExitStatus status) {
    if (m_counting) {
        Counted();
        return;
    }
    AddReport report = AddReport::Read(m_process.readAllStandardOutput().toStdString());
    std::set<std::string> handed; // as the report names them
    for (const QByteArray& input : m_inputs)
        handed.insert(input.toStdString());
    report.KeepRefusalsOf(handed);
    QString failure;
    if (status != QProcess::NormalExit ||
        (exitCode != 0 && report.games.empty() && report.refused.empty()))
        failure = QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed();
    if (status != QProcess::NormalExit && failure.isEmpty())
        failure = m_addProgram + u" stopped before it had added the music."_s;
    m_done(report, failure);
    StartNext();
}

} // namespace tarvo
