// The engine with the shipped core and a demo game: no fakes but the window.
#include "PlayerEngine.h"
#include "Playlist.h"
#include "RecordingView.h"
#include "ROMList.h"
#include "ScriptedDialogs.h"
#include "SettingsFile.h"
#include "TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace tarvo;

TEST(EngineWithRealCore, PlaysMarksBlankMovesOnAndRecords) {
    test::TempFolder temp;
    CROMList romList;
    CPlaylist playlist;
    Config config;
    config.OnSilence = 3;
    test::ScriptedDialogs dialogs;
    test::RecordingView view;
    CSettingsFile settings(temp.Path(), romList, playlist, dialogs);
    long long now = 1000;
    EngineClock clock;
    clock.now = [&] { return now; };
    CPlayerEngine engine(romList, playlist, config, settings, dialogs, view, temp.Path(), clock);

    CoreInit(static_cast<ICoreListener*>(&engine), &CoreMessage);
    romList.BuildFromCore();
    std::string roms = TARVO_DEMO_ROMS;
    ASSERT_TRUE(romList.AddFolder(roms));
    romList.ScanROMFolders();
    engine.Start();
    CoreSetOption(CORE_OPT_FIXED_RENDER_MS, 30); // each tick renders 30 ms at once

    const int game = romList.FindGameIndex("tarvoquest");
    ASSERT_GE(game, 0);
    ASSERT_TRUE(romList.IsAvailable(game));
    EXPECT_FALSE(romList.IsAvailable(romList.FindGameIndex("lostcave")));

    engine.LoadGame(game, 1);
    EXPECT_EQ(engine.CurrentGame, game);
    EXPECT_EQ(engine.State, PlayerState::Playing);
    EXPECT_EQ(view.shown.gameName, "Tarvo Quest");
    int loudest = 0;
    for (int tick = 0; tick < 40; ++tick) {
        engine.TimerTick();
        loudest = std::max(loudest, view.leftLevel);
    }
    EXPECT_GT(loudest, 1000);

    // Clip 3 has no file: two silence reports mark it blank and NEXT moves on.
    engine.PlayClip(3);
    for (int tick = 0; tick < 80 && engine.CurrentClip == 3; ++tick)
        engine.TimerTick();
    EXPECT_TRUE(romList.GetEntry(game)->clipInfo.IsBlank(3));
    EXPECT_EQ(engine.CurrentClip, 4);

    engine.Rec();
    EXPECT_EQ(engine.State, PlayerState::Recording);
    for (int tick = 0; tick < 34; ++tick)
        engine.TimerTick();
    dialogs.paths = {temp.File("fanfare")};
    engine.StopPlayer();
    EXPECT_EQ(engine.State, PlayerState::Stopped);
    ASSERT_TRUE(std::filesystem::exists(temp.File("fanfare.wav")));
    EXPECT_GT(std::filesystem::file_size(temp.File("fanfare.wav")), 44u + 34u * 1323u * 4u - 1);
    EXPECT_TRUE(dialogs.shown.empty());

    CoreShutdown();
}
