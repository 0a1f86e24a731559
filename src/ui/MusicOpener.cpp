// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MusicOpener.h"

#include <QFileInfo>

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

void CMusicOpener::Open(const QStringList& paths) {
    for (const QString& path : paths)
        m_waiting << QFileInfo(path).absoluteFilePath();
    if (!Busy()) StartNext();
}

void CMusicOpener::StartNext() {
    if (m_waiting.isEmpty()) return;
    const QStringList inputs = std::exchange(m_waiting, {});
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(m_addProgram, QStringList{u"--report"_s} + inputs);
}

void CMusicOpener::Finished(int exitCode, QProcess::ExitStatus status) {
    const AddReport report = AddReport::Read(m_process.readAllStandardOutput().toStdString());
    QString failure;
    if (status != QProcess::NormalExit || (exitCode != 0 && report.games.empty()))
        failure = QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed();
    m_done(report, failure);
    StartNext();
}

} // namespace tarvo
