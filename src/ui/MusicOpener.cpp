// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MusicOpener.h"

#include <QDir>
#include <QFile>

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

QByteArray CMusicOpener::AbsolutePath(const QByteArray& path) {
    if (path.startsWith('/')) return path;
    return QFile::encodeName(QDir::currentPath()) + '/' + path;
}

void CMusicOpener::Open(const QByteArrayList& paths) {
    for (const QByteArray& path : paths)
        m_waiting << AbsolutePath(path);
    if (!Busy()) StartNext();
}

void CMusicOpener::StartNext() {
    if (m_waiting.isEmpty()) return;
    const QByteArrayList inputs = std::exchange(m_waiting, {});
    m_handed.clear();
    QByteArray list;
    for (const QByteArray& input : inputs) {
        m_handed.insert(input.toStdString());
        list += input + '\0';
    }
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(m_addProgram, {u"--report"_s, u"--inputs-from"_s, u"-"_s});
    m_process.write(list);
    m_process.closeWriteChannel();
}

void CMusicOpener::Finished(int exitCode, QProcess::ExitStatus status) {
    AddReport report = AddReport::Read(m_process.readAllStandardOutput().toStdString());
    report.KeepRefusalsOf(m_handed);
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
