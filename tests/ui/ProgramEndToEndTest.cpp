// SPDX-License-Identifier: GPL-3.0-or-later
// Tarvo with the shipped core and a demo game, on a copy of the program folder.
#include "core/LibraryCore.h"
#include "core/TarvoCore.h"
#include "dialogs/DlgPlaylist.h"
#include "library/ClipInfo.h"
#include "support/ScriptedDialogs.h"
#include "support/TempFolder.h"
#include "tools/compose/VgmBuilder.h"
#include "ui/MainWindowIds.h"
#include "ui/PlayerDlg.h"

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <poll.h>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QSlider>
#include <QTreeWidget>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace tarvo;

namespace {

std::string CopyProgramFolder(const test::TempFolder& temp) {
    const std::string folder = temp.MakeFolder("tarvo");
    std::filesystem::copy(TARVO_BIN_DIR, folder, std::filesystem::copy_options::recursive);
    return folder;
}

// A socket on which the program says it is ready, as it would tell a service
// manager: its window up and its signal handlers set.
class ReadinessSocket {
public:
    explicit ReadinessSocket(const std::string& path) : m_path(path) {
        m_socket = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        ::bind(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    }
    ~ReadinessSocket() { ::close(m_socket); }
    const std::string& Path() const { return m_path; }
    // Blocks until the program says so, or 20 s pass.
    bool WaitForReady() const {
        pollfd waiting{m_socket, POLLIN, 0};
        char message[32] = {};
        return ::poll(&waiting, 1, 20000) == 1 &&
               ::recv(m_socket, message, sizeof message - 1, 0) > 0 &&
               std::string(message) == "READY=1";
    }

private:
    std::string m_path;
    int m_socket = -1;
};

} // namespace

TEST(ProgramEndToEnd, LoadsADemoGamePlaysAndSavesOnClose) {
    test::TempFolder temp;
    const std::string folder = CopyProgramFolder(temp);
    test::ScriptedDialogs dialogs;
    CLibraryCore core;
    CPlayerDlg window(folder, core, dialogs);
    window.StartUp();
    window.show();
    core.SetOption(CORE_OPT_FIXED_RENDER_MS, 30); // each tick renders its 30 ms at once

    CROMList& games = window.ROMList();
    const int game = games.FindGameIndex("starmoth");
    ASSERT_TRUE(games.IsAvailable(game));
    window.Engine().LoadGame(game, -1);
    EXPECT_EQ(window.Engine().Status().state, PlayerState::Stopped);
    EXPECT_EQ(qobject_cast<QLineEdit*>(window.ControlById(kGameTitle))->text(), "Star Moth");
    // A first start knows the game's tunes from its files: their numbers and titles.
    auto* list = qobject_cast<QTreeWidget*>(window.ControlById(kClipList));
    std::vector<std::string> rows;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        rows.push_back((list->topLevelItem(row)->text(0) + " " + list->topLevelItem(row)->text(1))
                           .toStdString());
    EXPECT_EQ(rows, (std::vector<std::string>{"001 Moonlit Swarm", "002 Hive Queen",
                                              "005 Stage Clear", "020 Laser", "021 Explosion"}));

    window.Engine().Play();
    EXPECT_EQ(window.Engine().Status().currentClip, 1);
    int loudest = 0;
    for (int tick = 0; tick < 60; ++tick) {
        window.Engine().TimerTick();
        loudest = std::max(loudest, window.LeftMeter().Level());
    }
    EXPECT_GT(loudest, 1000);
    // Moved on by the position bar's engine call, it sounds on from there.
    window.Engine().Listening().SeekTo(12000);
    loudest = 0;
    for (int tick = 0; tick < 30; ++tick) {
        window.Engine().TimerTick();
        loudest = std::max(loudest, window.LeftMeter().Level());
    }
    EXPECT_GT(loudest, 1000);
    EXPECT_EQ(qobject_cast<QSlider*>(window.ControlById(kPositionBar))->value(), 12);
    EXPECT_EQ(qobject_cast<QLineEdit*>(window.ControlById(kElapsed))->text(), "00:12 / 00:38");
    if (const char* shot = std::getenv("TARVO_SCREENSHOT")) window.grab().save(shot);

    window.Engine().Next(); // clip 2
    window.ROMList().GetEntry(game)->clipInfo.SetTitle(2, "Hive Queen (boss)");
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.shown.front().text;
    EXPECT_TRUE(std::filesystem::exists(folder + "Tarvo.ini"));
    const std::string text = temp.Read("tarvo/tarvoclips.dat");
    EXPECT_NE(text.find("starmoth:title 2 Hive Queen (boss)"), std::string::npos);
    EXPECT_NE(text.find("starmoth:blank 3"), std::string::npos); // a gap in the numbering
}

// The Playlist Manager as a user drives it: two clips of one demo game and
// one of another, a title, saved to a file, then "Use This Playlist".
int BuildTwoGamePlaylist(CDlgPlaylist& manager, const std::string& path,
                         test::ScriptedDialogs& dialogs) {
    manager.Open();
    const CROMList& games = *manager.Playlist().GetROMList();
    for (auto [game, clips] : {std::pair{"tarvoquest", std::vector{1, 2}}, {"starmoth", {1}}}) {
        manager.ShowGame(games.FindGameIndex(game));
        manager.ClipList().Tree()->clearSelection();
        for (int clip : clips)
            manager.ClipList().SetRowSelected(clip, true); // every clip is listed, from 0
        manager.Add();
    }
    qobject_cast<QLineEdit*>(manager.ControlById(CDlgPlaylist::kTitle))->setText("Two games");
    manager.CommitTitle();
    dialogs.paths = {path};
    manager.Save();
    if (const char* shot = std::getenv("TARVO_MANAGER_SCREENSHOT")) manager.grab().save(shot);
    return QDialog::Accepted;
}

TEST(ProgramEndToEnd, PlaysAPlaylistAcrossTwoGamesAndFindsItAgainAfterARestart) {
    test::TempFolder temp;
    const std::string folder = CopyProgramFolder(temp);
    const std::string path = folder + "mix.tvp";
    test::ScriptedDialogs dialogs;
    CLibraryCore core;
    {
        CPlayerDlg window(folder, core, dialogs);
        window.StartUp();
        core.SetOption(CORE_OPT_FIXED_RENDER_MS, 30); // each load is done when NEXT returns
        window.SetModalRunner([&](QDialog& dialog) {
            return BuildTwoGamePlaylist(static_cast<CDlgPlaylist&>(dialog), path, dialogs);
        });
        window.Command(kSwitchMode); // an empty playlist: the manager opens, then playlist mode
        ASSERT_TRUE(window.Engine().Status().playlistMode);
        ASSERT_EQ(window.Playlist().GetCount(), 3);
        const CROMList& games = window.ROMList();
        std::vector<std::pair<std::string, int>> played;
        for (int step = 0; step < 3; ++step) {
            window.Engine().Next();
            played.emplace_back(games.GetEntry(window.Engine().Status().currentGame)->romName,
                                window.Engine().Status().currentClip);
        }
        EXPECT_EQ(played, (std::vector<std::pair<std::string, int>>{
                              {"tarvoquest", 1}, {"tarvoquest", 2}, {"starmoth", 1}}));
        window.Settings().Shuffle = 1;
        window.Engine().Next(); // a shuffled pick is never the entry playing
        EXPECT_NE(window.Engine().Status().playlistPos, 2);
        window.close();
    }
    CPlayerDlg again(folder, core, dialogs);
    again.StartUp();
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.shown.front().text;
    EXPECT_TRUE(again.Engine().Status().playlistMode);
    EXPECT_EQ(again.Playlist().title, "Two games");
    EXPECT_EQ(again.Playlist().fileName, path);
    EXPECT_EQ(qobject_cast<QTreeWidget*>(again.ControlById(kClipList))->topLevelItemCount(), 3);
    again.CloseSequence();
}

// A VGM of its own whose tag names neither tune nor game, so the file's and
// folder's names give them: one second of a tone that no known game holds.
void WriteToneVgm(const std::string& path, int hz) {
    compose::VgmBuilder tone;
    compose::Frame frame;
    frame.period[0] = compose::VgmBuilder::PeriodOf(hz);
    frame.attenuation[0] = 0;
    for (int i = 0; i < 60; ++i)
        tone.Add(frame);
    const compose::Bytes vgm = tone.Finish("", "");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(vgm.data()), static_cast<std::streamsize>(vgm.size()));
}

// Music opened from outside becomes a game of the user's own through
// tarvo-add, and plays at once: a new file or folder as a new game, with its
// titles kept; a known game's archive as that game; a file no engine plays is
// named with why.
TEST(ProgramEndToEnd, OpenedMusicBecomesAGameAndPlaysAtOnce) {
    test::TempFolder temp;
    const std::string folder = CopyProgramFolder(temp);
    const std::string music = temp.MakeFolder("music");
    WriteToneVgm(music + "03 Desert Wind.vgm", 440);
    temp.Write("music/notes.vgm", "not music");
    // The core in this process reads the build's catalogue and the user's own:
    // tarvo-add writes to the user's, in a folder of this test.
    const std::string userData = temp.MakeFolder("data");
    temp.MakeFolder("data/Tarvo");
    const std::string add = temp.File("add.sh");
    temp.Write("add.sh", "#!/bin/sh\nexec " + folder + "tarvo-add --catalogue " + userData +
                             "Tarvo/tarvocore-games.txt \"$@\"\n");
    std::filesystem::permissions(add, std::filesystem::perms::owner_all);
    const QByteArray savedData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(userData));
    test::ScriptedDialogs dialogs;
    CLibraryCore core;
    CPlayerDlg window(folder, core, dialogs);
    window.StartUp();
    core.SetOption(CORE_OPT_FIXED_RENDER_MS, 30); // each load is done when its call returns
    window.Opening().Opener().SetProgram(QString::fromStdString(add));
    const int known = window.ROMList().GetCount();
    auto open = [&](const std::string& path) {
        QSignalSpy finished(&window.Opening().Opener().Process(), &QProcess::finished);
        window.Opening().OpenMusic({QByteArray::fromStdString(path)});
        do // a folder is counted first
            ASSERT_TRUE(finished.wait(30000));
        while (window.Opening().Opener().Busy());
    };
    open(music + "03 Desert Wind.vgm");
    ASSERT_EQ(window.ROMList().GetCount(), known + 1); // after the known games
    const CGameEntry& added = *window.ROMList().GetEntry(known);
    EXPECT_TRUE(added.addedByUser);
    EXPECT_EQ(window.Engine().Status().currentGame, known);
    EXPECT_EQ(window.Engine().Status().currentClip, 3);
    EXPECT_EQ(window.Engine().Status().state, PlayerState::Playing);
    EXPECT_EQ(added.clipInfo.GetTitle(3), "Desert Wind");
    EXPECT_FALSE(std::filesystem::exists(folder + kPendingClipDataName));

    // A game the user added takes another name in its catalogue line; the
    // games Tarvo comes with keep theirs.
    // tarvo-add renames it beside the window, which goes on meanwhile.
    auto rename = [&](int game, const GameNaming& naming) {
        std::optional<bool> renamed;
        window.Opening().RenameGame(game, naming, [&](bool done) { renamed = done; });
        QDeadlineTimer deadline(20000);
        while (!renamed && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        return renamed.value_or(false);
    };
    EXPECT_TRUE(rename(known, {"Desert | Wind", "Me", "1999"}));
    EXPECT_EQ(window.ROMList().GetEntry(known)->title, "Desert / Wind");
    EXPECT_EQ(window.ROMList().GetEntry(known)->manufacturer, "Me");
    EXPECT_EQ(window.ROMList().GetCount(), known + 1);
    const int starmoth = window.ROMList().FindGameIndex("starmoth");
    EXPECT_FALSE(window.ROMList().GetEntry(starmoth)->addedByUser);
    EXPECT_FALSE(rename(starmoth, {"Mine", "Me", "1999"}));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find("the games Tarvo comes with keep their names"),
              std::string::npos);
    dialogs.shown.clear();

    const std::string oasis = temp.MakeFolder("Oasis/music"); // a folder of a game's tunes
    WriteToneVgm(oasis + "01 Dunes.vgm", 370);
    WriteToneVgm(oasis + "02 Mirage.vgm", 280);
    open(temp.File("Oasis"));
    const CGameEntry& folderGame = *window.ROMList().GetEntry(known + 1);
    EXPECT_EQ(folderGame.title, "Oasis");
    EXPECT_EQ(window.Engine().Status().currentGame, known + 1);
    EXPECT_EQ(window.Engine().Status().currentClip, 1);
    EXPECT_EQ(folderGame.clipInfo.GetTitle(2), "Mirage");

    open(folder + "roms/starmoth.zip"); // a known game's archive
    EXPECT_EQ(window.ROMList().GetEntry(window.Engine().Status().currentGame)->romName, "starmoth");
    EXPECT_EQ(window.ROMList().GetCount(), known + 2);

    open(music + "notes.vgm");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(
        dialogs.shown[0].text.rfind("Tarvo cannot play this file:\n\n" + music + "notes.vgm: ", 0),
        0u)
        << dialogs.shown[0].text;
    window.close();
    const std::string text = temp.Read("tarvo/tarvoclips.dat");
    EXPECT_NE(text.find(window.ROMList().GetEntry(known)->romName + ":title 3 Desert Wind"),
              std::string::npos);
    qputenv("XDG_DATA_HOME", savedData);
}

// Starts the program offscreen and ends it as a logout does (SIGTERM), which
// runs the close sequence as the close box would.
void RunUntilTerminated(const std::string& program, const QProcessEnvironment& extra = {}) {
    const test::TempFolder sockets;
    const ReadinessSocket ready(sockets.File("notify"));
    QProcess tarvo;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("SDL_AUDIODRIVER", "dummy");
    environment.insert("NOTIFY_SOCKET", QString::fromStdString(ready.Path()));
    environment.insert(extra);
    tarvo.setProcessEnvironment(environment);
    tarvo.start(QString::fromStdString(program));
    ASSERT_TRUE(tarvo.waitForStarted(10000));
    ASSERT_TRUE(ready.WaitForReady());
    tarvo.terminate();
    ASSERT_TRUE(tarvo.waitForFinished(10000));
    EXPECT_EQ(tarvo.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tarvo.exitCode(), 0);
}

// A logout's SIGTERM closes the program as its close box does, keeping its
// files. Paths are the file system's bytes: a folder named in another
// encoding is still the program's own, reached here through a link.
TEST(ProgramEndToEnd, ASignalClosesItCleanlyEvenInAFolderWhoseNameIsNotUtf8) {
    test::TempFolder temp;
    const std::string folder = temp.File("tarvo-\xe9t\xe9/");
    std::filesystem::copy(TARVO_BIN_DIR, folder, std::filesystem::copy_options::recursive);
    std::filesystem::create_symlink(folder + "tarvo", temp.File("tarvo"));
    QProcessEnvironment user;
    user.insert("XDG_DATA_HOME", QString::fromStdString(temp.File("data")));
    RunUntilTerminated(temp.File("tarvo"), user);
    ASSERT_TRUE(std::filesystem::exists(folder + "Tarvo.ini"));
    EXPECT_NE(temp.Read("tarvo-\xe9t\xe9/Tarvo.ini").find("ROMFolder=" + folder + "./roms/"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(folder + "tarvoclips.dat"));
    EXPECT_FALSE(std::filesystem::exists(temp.File("data/Tarvo")));
}

// A portable copy on a read-only medium: its settings and clip information
// seed the per-user folder, and its games stay in the folder list.
TEST(ProgramEndToEnd, AReadOnlyPortableCopyStartsTheUsersFolderFromItsOwnFiles) {
    test::TempFolder temp;
    const std::string folder = CopyProgramFolder(temp);
    temp.Write("tarvo/Tarvo.ini", "ROMFolder=" + folder + "./roms/\nShuffle=1\n");
    temp.Write("tarvo/tarvoclips.dat", "starmoth:title 2 Hive Queen\n");
    ::chmod(folder.c_str(), 0555);
    const bool mounted =
        ::access(folder.c_str(), W_OK) == 0 &&
        ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
        ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    const bool readOnly = ::access(folder.c_str(), W_OK) != 0;
    if (readOnly) {
        QProcessEnvironment user;
        user.insert("XDG_DATA_HOME", QString::fromStdString(temp.File("data")));
        RunUntilTerminated(folder + "tarvo", user);
    }
    if (mounted) ::umount(folder.c_str());
    ::chmod(folder.c_str(), 0755);
    if (!readOnly) GTEST_SKIP() << "no folder can be made read-only here";
    const std::string settings = temp.Read("data/Tarvo/Tarvo.ini");
    EXPECT_NE(settings.find("Shuffle=1"), std::string::npos) << settings;
    EXPECT_NE(settings.find("ROMFolder=" + folder + "./roms/"), std::string::npos) << settings;
    EXPECT_NE(temp.Read("data/Tarvo/tarvoclips.dat").find("starmoth:title 2 Hive Queen"),
              std::string::npos);
}

// "make install" into a DESTDIR: every file in its place, the desktop's own
// validators content, and the installed program working from the user's
// data folder with the demo games there.
TEST(ProgramEndToEnd, AnInstalledCopyHasEveryFileAndPlaysFromTheUsersFolder) {
    test::TempFolder temp;
    const std::string destination = temp.MakeFolder("dest");
    QProcess install;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DESTDIR", QString::fromStdString(destination));
    install.setProcessEnvironment(environment);
    install.start(TARVO_CMAKE, {"--install", TARVO_BUILD_DIR, "--prefix", "/usr"});
    ASSERT_TRUE(install.waitForFinished(60000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
    const std::string usr = destination + "usr/";
    for (const char* file :
         {"bin/tarvo", "bin/tarvo-render", "bin/tarvo-add", "lib/tarvo/libtarvocore.so",
          "lib/tarvo/tarvo-emulator", "share/tarvo/tarvocore-games.txt",
          "share/tarvo/roms/starmoth.zip", "share/doc/tarvo/Tarvo.txt", "share/doc/tarvo/README.md",
          "share/applications/org.tarvo.Tarvo.desktop",
          "share/metainfo/org.tarvo.Tarvo.metainfo.xml", "share/mime/packages/tarvo.xml",
          "share/icons/hicolor/scalable/apps/org.tarvo.Tarvo.svg",
          "share/icons/hicolor/48x48/apps/org.tarvo.Tarvo.png"})
        EXPECT_TRUE(std::filesystem::exists(usr + file)) << file;
    for (const QStringList& validate :
         {QStringList{"desktop-file-validate",
                      QString::fromStdString(usr + "share/applications/org.tarvo.Tarvo.desktop")},
          QStringList{"appstreamcli", "validate", "--no-net",
                      QString::fromStdString(usr + "share/metainfo/org.tarvo.Tarvo.metainfo.xml")},
          QStringList{"update-mime-database", QString::fromStdString(usr + "share/mime")}}) {
        QProcess validator;
        validator.start(validate.first(), validate.mid(1));
        ASSERT_TRUE(validator.waitForFinished(60000)) << validate.first().toStdString();
        EXPECT_EQ(validator.exitCode(), 0) << validator.readAll().toStdString();
    }

    // A playlist of a demo game, named by the user's settings: on close it is
    // named again only if the installed core's catalogue knew the game.
    const std::string userFolder = temp.MakeFolder("home/data/Tarvo");
    temp.Write("mine.tvp", "Title=Mine\nEntry=starmoth 1\n");
    temp.Write("home/data/Tarvo/Tarvo.ini",
               "PlaylistFile=" + temp.File("mine.tvp") + "\nPlaylistMode=1\n");
    QProcessEnvironment user;
    user.insert("HOME", QString::fromStdString(temp.File("home")));
    user.insert("XDG_DATA_HOME", QString::fromStdString(temp.File("home/data")));
    RunUntilTerminated(usr + "bin/tarvo", user);
    EXPECT_TRUE(std::filesystem::exists(userFolder + "roms/starmoth.zip"));
    const std::string settings = temp.Read("home/data/Tarvo/Tarvo.ini");
    EXPECT_NE(settings.find("ROMFolder=" + userFolder + "./roms/"), std::string::npos) << settings;
    EXPECT_NE(settings.find("PlaylistFile=" + temp.File("mine.tvp")), std::string::npos)
        << settings;
    EXPECT_FALSE(std::filesystem::exists(usr + "bin/Tarvo.ini")); // nothing beside the program
}
