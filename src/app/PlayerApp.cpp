// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PlayerApp.h"

#include "app/CommandLine.h"
#include "app/ProgramFolder.h"
#include "app/ProgramLock.h"
#include "app/QtEnvironment.h"
#include "core/LibraryCore.h"
#include "core/UserDataFolder.h"
#include "kit/QtDialogs.h"
#include "services/MprisService.h"
#include "services/TarvoService.h"
#include "ui/PlayerDlg.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <QApplication>
#include <QFile>
#include <QFont>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>
#include <sys/socket.h>
#include <sys/un.h>
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

// Whoever started Tarvo with a notification socket (a service manager, or a
// test) learns when it is ready: its window up and its signal handlers set.
void NotifyReady() {
    const char* path = std::getenv("NOTIFY_SOCKET");
    sockaddr_un address{};
    if (!path || path[0] != '/' || std::strlen(path) >= sizeof address.sun_path) return;
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path);
    const int socket = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket < 0) return;
    static constexpr char kReady[] = "READY=1";
    ::sendto(socket, kReady, sizeof kReady - 1, MSG_NOSIGNAL,
             reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::close(socket);
}

} // namespace

int CPlayerApp::Run(int argc, char** argv) {
    const QList<QByteArray> chosen = ChooseQtEnvironment();
    CCommandLine commandLine(argc, argv);
    QApplication application(commandLine.QtArgc(), argv);
    // Read by now; the programs Tarvo starts (a volume mixer) make their own choice.
    for (const QByteArray& name : chosen)
        qunsetenv(name.constData());
    QApplication::setApplicationName(u"Tarvo"_s);
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);
    // A second start hands its files to the Tarvo already running, or with
    // none raises its window.
    const QByteArrayList opened = commandLine.Files(argv);
    if (CTarvoService::HandOver(opened)) return 0;

    // Paths stay the file system's bytes from here on: a folder whose name is
    // not valid UTF-8 must still be the one Tarvo reads and writes.
    const std::string executableFolder =
        ExecutableFolder(QFile::encodeName(QApplication::applicationDirPath()).toStdString());
    // The user's folder by the rule the core and tarvo-add follow too.
    std::string userData = UserDataFolder();
    if (userData.empty())
        userData =
            QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                .toStdString();
    const std::string folder = FindProgramFolder(executableFolder, userData);
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
        window.Engine().Setup().KeepNoFiles();
    }
    CloseOnTermination(window, dialogs, &application);
    window.StartUp();
    new CMprisService(window); // the window owns the services
    if (window.Engine().Setup().KeepsFiles()) new CTarvoService(window);
    QTimer::singleShot(0, &window, NotifyReady);
    if (!opened.isEmpty()) window.Opening().OpenMusic(opened);
    window.exec();
    return 0;
}

} // namespace tarvo
