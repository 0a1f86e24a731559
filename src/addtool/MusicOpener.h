// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/AddReport.h"

#include <functional>
#include <QByteArrayList>
#include <QObject>
#include <QProcess>

namespace tarvo {

// Music files and folders opened from outside (the command line, a drop, the
// file manager) become games as tarvo-add makes them: the program runs the
// tool beside it, so that it links no music library itself, and hears what
// each input became. The window stays free meanwhile.
//
// Paths are the file system's bytes throughout, so a name that is not valid
// UTF-8 still names its file; they reach the tool on its standard input,
// which holds any number of them.
class CMusicOpener : public QObject {
    Q_OBJECT

public:
    using Done = std::function<void(const AddReport& report, const QString& failure)>;
    // Asked before folders that hold more games than this are added, with
    // their count and the paths; true goes on.
    static constexpr int kAskAboveGames = 50;
    using ConfirmMany = std::function<bool(int games, const QByteArrayList& paths)>;

    // `addProgram` is tarvo-add's path; `done` hears the report, or why the
    // tool could not run.
    CMusicOpener(QString addProgram, Done done);
    void SetConfirmMany(ConfirmMany confirm) { m_confirmMany = std::move(confirm); }

    void SetProgram(QString addProgram) { m_addProgram = std::move(addProgram); }
    const QString& Program() const { return m_addProgram; }
    // Opens these paths, after any still being added.
    void Open(const QByteArrayList& paths);

    // A game tarvo-add made, given a new title, maker and year in its
    // catalogue line by the tool, beside the program; `done` hears whether it
    // was renamed, and why not.
    struct Renaming {
        QString romName, title, maker, year;
    };
    using Renamed = std::function<void(bool renamed, const QString& why)>;
    void Rename(const Renaming& renaming, Renamed done);
    bool Busy() const { return m_process.state() != QProcess::NotRunning; }
    QProcess& Process() { return m_process; }

    // A path as the tool is given it: absolute, its bytes kept.
    static QByteArray AbsolutePath(const QByteArray& path);

private:
    void StartNext();
    void Run(const QStringList& options);
    void Add();
    void Finished(int exitCode, QProcess::ExitStatus status);
    void Counted();

    QString m_addProgram;
    Done m_done;
    ConfirmMany m_confirmMany;
    QProcess m_process;
    QByteArrayList m_waiting;
    QByteArrayList m_inputs; // of the run under way
    bool m_counting = false; // the run under way only counts the games
};

} // namespace tarvo
