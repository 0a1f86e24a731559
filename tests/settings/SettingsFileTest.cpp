// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingsFile.h"

#include "library/ROMList.h"
#include "playlist/Playlist.h"
#include "support/ScriptedDialogs.h"
#include "support/TempFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <tuple>

using namespace tarvo;

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        CGameEntry game;
        game.romName = "abc";
        game.clipInfo.SetRange(0, 10);
        gamesFolder = temp.MakeFolder("other");
        temp.Write("other/abc.zip", "z");
        list.AddGameForTesting(game);
        playlist.SetROMList(&list);
    }

    Config ReadText(const std::string& text) {
        std::istringstream in(text);
        Config config;
        settings.ReadFrom(in, config);
        return config;
    }

    std::string WriteText(const Config& config, SettingsForm form) {
        std::ostringstream out;
        settings.WriteTo(out, config, form);
        return out.str();
    }

    test::TempFolder temp;
    std::string gamesFolder;
    CROMList list;
    CPlaylist playlist;
    test::ScriptedDialogs dialogs;
    CSettingsFile settings{temp.Path(), list, playlist, dialogs};
};

} // namespace

TEST_F(SettingsFileTest, NoFileGivesTheDefaultsAndTheDefaultFolderWhenItExists) {
    Config config;
    config.MaxLoopTime = 1;
    settings.Read(config);
    EXPECT_EQ(config, Config());
    EXPECT_TRUE(list.GetFolders().empty());

    temp.MakeFolder("roms");
    CROMList other;
    CSettingsFile withRoms(temp.Path(), other, playlist, dialogs);
    withRoms.Read(config);
    EXPECT_EQ(other.GetFolders(), std::vector<std::string>{temp.Path() + "./roms/"});
    EXPECT_FALSE(other.IsScanned()); // nothing scanned without a ROMFolder line
}

TEST_F(SettingsFileTest, NumbersFlagsLimitsAndFolders) {
    const Config config = ReadText("maxlooptime=0\n"
                                   "MaxWAVTime=-4\n"
                                   "OnSilence=7\n"
                                   "ROMFilter=2\n"
                                   "VUSegmentWidth=21\n"
                                   "AutoMark=5\n"
                                   "ShowBlanks=9\n"
                                   " Normalize = 1\n"
                                   "EnforceLoopTime=\n"
                                   "Shuffle\n"
                                   "VULeftColor=300 -5 12\n"
                                   "VUMidColor=1 2\n"
                                   "PlaylistMode=1\n"
                                   "Unknown=4\n");
    // Out of range: the default; flags: 0 or 1; colours: clamped, a missing
    // part 0; playlist mode: off without entries; an older file's missing
    // listening keys: their defaults.
    Config expected;
    expected.ShowBlanks = expected.Normalize = 1;
    expected.AutoMark = 5;
    expected.VULeftColor = {255, 0, 12};
    expected.VUMidColor = {1, 2, 0};
    EXPECT_EQ(config, expected);
    const Config listening = ReadText("PlayKnownLength=0\nLoopCount=101\nFadeSeconds=-1\n");
    EXPECT_EQ(std::tuple(listening.PlayKnownLength, listening.LoopCount, listening.FadeSeconds),
              std::tuple(0, 2, 8));
    EXPECT_EQ(ReadText("VUSegmentWidth=0\nOnSilence=3\nMaxLoopTime=5\nMaxLoopTime=6\n").MaxLoopTime,
              6);
    EXPECT_EQ(ReadText("VUSegmentWidth=0\n").VUSegmentWidth, 0);
    const Config browser =
        ReadText("GameBrowserColumns=220,90,1,40,140\nGameBrowserSort=3 descending\n");
    EXPECT_EQ(browser.GameBrowserView, (TableView{{220, 90, 1, 40, 140}, 3, true}));
    for (const char* damaged :
         {"GameBrowserColumns=220,x,40", "GameBrowserColumns=0,5", "GameBrowserColumns=99999",
          "GameBrowserSort=99 up", "GameBrowserSort=-1 descending", "GameBrowserSort=three"})
        EXPECT_EQ(ReadText(damaged).GameBrowserView, TableView{}) << damaged;
    EXPECT_EQ(ReadText("RecordingFormat=FLAC\n").LastRecording.format, "flac");
    EXPECT_EQ(ReadText("RecordingFormat=mp3\n").LastRecording.format, "wav");
    for (auto [line, volume] :
         {std::pair{"Volume=40", 40}, {"Volume=250", 100}, {"Volume=-3", 0}, {"Volume=loud", 100}})
        EXPECT_EQ(ReadText(line).Output.volume, volume) << line;
    for (const char* size : {"640", "0x400", "-5x400", "640x", "200000x400", "axb"})
        EXPECT_FALSE(ReadText(std::string("MainWindowSize=") + size).MainWindowSize.IsSet())
            << size;
    EXPECT_EQ(ReadText("playlistmanagersize=700X450\n").PlaylistManagerSize,
              (WindowSize{700, 450}));

    const std::string roms = temp.MakeFolder("r"); // a folder named twice is one folder
    ReadText("ROMFolder=" + roms + "\nROMFolder=" + roms + "\nROMFolder=/no/such/folder\n");
    EXPECT_EQ(list.GetFolders(), std::vector<std::string>{roms});
}

TEST_F(SettingsFileTest, WrittenFileReadsBackToTheSameRecord) {
    temp.MakeFolder("roms");
    std::string extra = temp.MakeFolder("more roms");
    list.AddFolder(extra);
    Config config;
    config.ROMFilter = 0;
    config.ShowBlanks = 1;
    config.MaxLoopTime = 123;
    config.OnSilence = 3;
    config.AutoMark = 5;
    config.VUSegmentWidth = 0;
    config.VULeftColor = {1, 2, 3};
    config.Shuffle = 1;
    config.MainWindowSize = {800, 520};
    config.Output = {35, "USB DAC, Analog Stereo"};
    config.GameBrowserView = {{200, 80}, 4, false};
    const std::string text = WriteText(config, SettingsForm::Exit);
    EXPECT_EQ(
        text.rfind("; Tarvo for Windows configuration file.\n\n\n[General options]\nROMFolder=" +
                       extra + "\n\nROMFilter=0\n",
                   0),
        0u);
    EXPECT_NE(text.find("AutoMark=5\n"), std::string::npos);
    EXPECT_NE(text.find("PlaylistMode=0\nPlayKnownLength=1\nLoopCount=2\nFadeSeconds=8\n"
                        "Volume=35\nOutputDevice=USB DAC, Analog Stereo\nRecordingFormat=wav\n"
                        "MainWindowSize=800x520\n"),
              std::string::npos);
    EXPECT_EQ(text.find("PlaylistManagerSize"), std::string::npos); // never sized: no line
    EXPECT_NE(text.find("GameBrowserColumns=200,80\nGameBrowserSort=4 ascending\n"),
              std::string::npos);

    CROMList other;
    CPlaylist otherPlaylist;
    otherPlaylist.SetROMList(&other);
    CSettingsFile reader(temp.Path(), other, otherPlaylist, dialogs);
    std::istringstream in(text);
    Config read;
    reader.ReadFrom(in, read);
    EXPECT_EQ(read, config);
    EXPECT_EQ(other.GetFolders(), (std::vector<std::string>{temp.Path() + "./roms/", extra}));
    EXPECT_TRUE(other.IsScanned());
}

TEST_F(SettingsFileTest, PlaylistLinesByForm) {
    const Config config;
    EXPECT_EQ(WriteText(config, SettingsForm::Exit).find("Playlist"),
              WriteText(config, SettingsForm::Exit).find("PlaylistMode"));
    playlist.AddEntry(list.GetEntry(0), 1);
    EXPECT_NE(WriteText(config, SettingsForm::Exit).find("\nPlaylistFile=\n"), std::string::npos);
    EXPECT_NE(WriteText(config, SettingsForm::Autosave)
                  .find("\nTempPlaylist=" + temp.Path() + "tarvo_temp.tvp\n"),
              std::string::npos);
}

TEST_F(SettingsFileTest, PlaylistFileLoadsNamedAndTempPlaylistRecoversUnnamed) {
    temp.Write("mine.tvp", "Title=Mine\nEntry=abc 3\n");
    // The playlist line may stand before the folder that holds its games.
    Config config = ReadText("PlaylistFile=" + temp.File("mine.tvp") +
                             "\nROMFolder=" + gamesFolder + "\nPlaylistMode=1\n");
    EXPECT_EQ(playlist.fileName, temp.File("mine.tvp"));
    EXPECT_EQ(config.PlaylistMode, 1);
    EXPECT_TRUE(dialogs.shown.empty());

    config =
        ReadText("TempPlaylist=" + temp.File("mine.tvp") + "\nROMFolder=" + gamesFolder + "\n");
    EXPECT_EQ(playlist.fileName, "");
    EXPECT_EQ(playlist.GetCount(), 1);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text.rfind("Oops!  Apparently I crashed", 0), 0u);
    EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::Information);

    playlist.Clear(); // a crash copy that is gone still says so
    ReadText("TempPlaylist=" + temp.File("gone.tvp") + "\n");
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(playlist.GetCount(), 0);
    config = ReadText("PlaylistFile=\nPlaylistMode=1\n"); // an empty line is skipped
    EXPECT_EQ(config.PlaylistMode, 0);
    EXPECT_EQ(dialogs.shown.size(), 2u);
}

TEST_F(SettingsFileTest, AFailedWriteSaysSoAndKeepsTheOldFile) {
    test::TempFolder other;
    CSettingsFile broken(other.File("missing/"), list, playlist, dialogs);
    EXPECT_FALSE(broken.Write(Config(), SettingsForm::Exit));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::Error);

    ASSERT_TRUE(settings.Write(Config(), SettingsForm::Exit));
    Config read;
    read.Shuffle = 1;
    settings.Read(read);
    EXPECT_EQ(read, Config());
}

TEST_F(SettingsFileTest, APathThatIsNoFileIsRefusedAtOnce) {
    // A playlist line naming a device or a pipe, and a folder as the clip file,
    // must neither hang the start nor feed a reader for ever.
    const std::string pipe = temp.File("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::ifstream hostile(std::string(TARVO_TEST_DATA) + "/hostile/settings-playlist-dev-zero.ini");
    Config config;
    settings.ReadFrom(hostile, config);
    ReadText("TempPlaylist=" + pipe + "\nPlaylistFile=" + temp.Path() + "\n");
    EXPECT_EQ(playlist.GetCount(), 0);
    EXPECT_EQ(dialogs.shown.size(), 1u); // the crash notice alone
    list.LoadClipInfo(pipe);
    EXPECT_FALSE(
        playlist.LoadFromFile("/dev/zero", {.interactive = true, .rememberName = true}, dialogs));
    EXPECT_EQ(dialogs.shown.back().text, "ERROR: Could not open Playlist file for reading.");
}
