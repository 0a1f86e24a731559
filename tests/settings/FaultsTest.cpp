// SPDX-License-Identifier: GPL-3.0-or-later
// The user's files survive the faults a desktop meets: the process killed in
// the middle of a save, a full disk, a folder that cannot be written.
#include "library/ROMList.h"
#include "playlist/Playlist.h"
#include "settings/SettingsFile.h"
#include "support/FileSizeLimit.h"
#include "support/ScriptedDialogs.h"
#include "support/TempFolder.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace tarvo;

namespace {

constexpr int kClips = 3000; // a clip file of about 100 KiB: a save takes a while

class Faults : public ::testing::Test {
protected:
    void SetUp() override {
        CGameEntry game;
        game.romName = "alpha";
        game.romPath = "/roms/alpha.zip";
        list.AddGameForTesting(game);
        playlist.SetROMList(&list);
    }

    // Version n of every file: titles, entries and a setting all carry n.
    void MakeVersion(int n) {
        const std::string mark = "Version " + std::to_string(n);
        CClipInfo& info = list.GetEntry(0)->clipInfo;
        for (int clip = 0; clip < kClips; ++clip)
            info.SetTitle(clip, mark);
        playlist.Clear();
        playlist.title = mark;
        for (int entry = 0; entry < kClips; ++entry)
            playlist.AddEntry(list.GetEntry(0), entry);
        config.MaxLoopTime = 100 + n;
    }

    // Saves versions 1, 2, 3 ... in a child process, killed at a random
    // moment; whatever the moment, the file holds one whole version.
    void KillWhileSaving(const std::function<void()>& save,
                         const std::function<bool(const std::string&)>& whole,
                         const std::string& file) {
        std::mt19937 random(12345);
        for (int round = 0; round < 200; ++round) {
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                for (int n = 1;; ++n) {
                    MakeVersion(n);
                    save();
                }
            }
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 4000));
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            const std::string text = temp.Read(file);
            if (!text.empty()) {
                ASSERT_TRUE(whole(text)) << "round " << round;
            }
        }
    }

    test::TempFolder temp;
    CROMList list;
    CPlaylist playlist;
    Config config;
    test::ScriptedDialogs dialogs;
    CSettingsFile settings{temp.Path(), list, playlist, dialogs};
};

// True when every line that carries a version carries the same one, and the
// file ends as a whole file does.
bool OneVersion(const std::string& text, const std::string& lastLine) {
    const size_t at = text.find("Version ");
    if (at == std::string::npos) return false;
    const std::string mark = text.substr(at, text.find_first_of(" \n", at + 8) - at);
    for (size_t next = text.find("Version "); next != std::string::npos;
         next = text.find("Version ", next + 1))
        if (text.compare(next, mark.size(), mark) != 0) return false;
    return text.size() >= lastLine.size() &&
           text.compare(text.size() - lastLine.size(), lastLine.size(), lastLine) == 0;
}

} // namespace

TEST_F(Faults, AKillDuringAnySaveLeavesTheOldOrTheNewFileWhole) {
    KillWhileSaving(
        [this] {
            list.SaveClipInfo(temp.File("tarvoclips.dat"), CROMList::Lines::WithUnsupported,
                              dialogs);
        },
        [](const std::string& text) {
            return OneVersion(text, ":title " + std::to_string(kClips - 1) + " " +
                                        text.substr(text.rfind("Version ")));
        },
        "tarvoclips.dat");
    KillWhileSaving(
        [this] { playlist.SaveToFile(temp.File("mix.tvp"), Interaction::Quiet, dialogs); },
        [](const std::string& text) {
            return OneVersion(text, "Entry=alpha " + std::to_string(kClips - 1) + "\n");
        },
        "mix.tvp");
    KillWhileSaving([this] { settings.Write(config, SettingsForm::Autosave); },
                    [](const std::string& text) {
                        return text.find("MaxLoopTime=") != std::string::npos &&
                               text.find("TempPlaylist=") != std::string::npos &&
                               text.back() == '\n';
                    },
                    "Tarvo.ini");
}

TEST_F(Faults, AFullDiskOrAReadOnlyFolderFailsTheSaveSaysSoAndKeepsTheOldFile) {
    const std::string folder = temp.MakeFolder("disk");
    CSettingsFile small(folder, list, playlist, dialogs);
    list.GetEntry(0)->clipInfo.SetTitle(0, "Old");
    ASSERT_TRUE(
        list.SaveClipInfo(folder + "tarvoclips.dat", CROMList::Lines::WithUnsupported, dialogs));
    ASSERT_TRUE(small.Write(config, SettingsForm::Exit));
    const std::string oldClips = temp.Read("disk/tarvoclips.dat");
    const std::string oldSettings = temp.Read("disk/Tarvo.ini");

    MakeVersion(1); // about 100 KiB of titles and 50 KiB of entries: neither fits in 32
    {
        const test::FileSizeLimit full(32 << 10);
        EXPECT_FALSE(list.SaveClipInfo(folder + "tarvoclips.dat", CROMList::Lines::WithUnsupported,
                                       dialogs));
        playlist.fileName = "kept.tvp";
        EXPECT_FALSE(playlist.SaveToFile(folder + "mix.tvp", Interaction::Interactive, dialogs));
    }
    EXPECT_EQ(playlist.fileName, "kept.tvp"); // nothing is reported as saved
    EXPECT_EQ(temp.Read("disk/tarvoclips.dat"), oldClips);

    // A folder that cannot be written: by its mode, or for root a read-only mount.
    ::chmod(folder.c_str(), 0555);
    const bool mounted =
        ::access(folder.c_str(), W_OK) == 0 &&
        ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
        ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    if (::access(folder.c_str(), W_OK) != 0 || mounted) {
        EXPECT_FALSE(small.Write(config, SettingsForm::Exit));
        EXPECT_EQ(temp.Read("disk/Tarvo.ini"), oldSettings);
        EXPECT_EQ(dialogs.Texts().back(),
                  "ERROR: Unable to write the settings file [" + folder + "Tarvo.ini].");
    }
    if (mounted) ::umount(folder.c_str());
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(dialogs.Texts().front(), "ERROR saving clip information: Unable to open [" + folder +
                                           "tarvoclips.dat] for writing.");
}
