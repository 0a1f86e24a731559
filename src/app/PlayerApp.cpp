// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PlayerApp.h"

#include "app/ProgramFolder.h"
#include "app/ProgramLock.h"
#include "core/LibraryCore.h"
#include "ui/PlayerDlg.h"
#include "ui/QtDialogs.h"

#include <csignal>
#include <QApplication>
#include <QFile>
#include <QFont>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

int g_signalPipe[2] = {-1, -1};

void OnTerminate(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[1], &byte, 1);
}

// A logout or "kill" ends the program as a close does, so the playlist,
// settings and clip information are saved; nobody is there to answer a
// question, so open dialogs end as cancelled and none waits for a user.
void CloseOnTermination(CPlayerDlg& window, CQtDialogs& dialogs, QObject* owner) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window, &dialogs] {
        char byte;
        [[maybe_unused]] const auto got = ::read(g_signalPipe[0], &byte, 1);
        if (dialogs.Unattended()) return; // already ending
        dialogs.SetUnattended();
        window.EndBySignal();
    });
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

} // namespace

int CPlayerApp::Run(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(u"Tarvo"_s);
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);

    // Paths stay the file system's bytes from here on: a folder whose name is
    // not valid UTF-8 must still be the one Tarvo reads and writes.
    const std::string executableFolder =
        ExecutableFolder(QFile::encodeName(QApplication::applicationDirPath()).toStdString());
    const std::string folder = FindProgramFolder(
        executableFolder,
        QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
            .toStdString());
    AdoptPortableFiles(executableFolder, folder);
    ProvideDemoGames(folder, executableFolder + TARVO_SHIPPED_ROMS_FROM_BIN);
    CQtDialogs dialogs;
    CLibraryCore core;
    CPlayerDlg window(folder, core, dialogs);
    dialogs.SetParent(&window);
    const CProgramLock lock(folder);
    if (!lock.Held()) {
        dialogs.ShowMessage("Another Tarvo is running with its files in " + folder +
                                "\n\nThis one plays as usual, but keeps nothing: its settings, "
                                "clip information and playlist are not saved, so the other's "
                                "stay as they are.",
                            MessageIcon::Warning);
        window.Engine().KeepNoFiles();
    }
    CloseOnTermination(window, dialogs, &application);
    window.StartUp();
    window.exec();
    return 0;
}

} // namespace tarvo
