// SPDX-License-Identifier: GPL-3.0-or-later
// The engine with the shipped core and a demo game: no fakes but the window.
#include "core/LibraryCore.h"
#include "library/ROMList.h"
#include "player/PlayerEngine.h"
#include "player/RecordingView.h"
#include "playlist/Playlist.h"
#include "settings/SettingsFile.h"
#include "soundcore/SoundCoreFixture.h"
#include "support/ScriptedDialogs.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace tarvo;

namespace {

class EngineWithRealCore : public ::testing::Test {
protected:
    void SetUp() override {
        engine.Setup().StartCore(engine);
        std::string roms = TARVO_DEMO_ROMS;
        ASSERT_TRUE(romList.AddFolder(roms));
        romList.ScanROMFolders();
        engine.Start();
    }
    void TearDown() override { engine.Setup().ShutdownCore(); }

    // Each tick renders this much sound at once, as a sound device of that
    // period asks for it.
    void RenderPerTick(int milliseconds) { core.SetOption(CORE_OPT_FIXED_RENDER_MS, milliseconds); }

    test::TempFolder temp;
    CLibraryCore core;
    CROMList romList;
    CPlaylist playlist;
    Config config;
    test::ScriptedDialogs dialogs;
    test::RecordingView view;
    CSettingsFile settings{temp.Path(), romList, playlist, dialogs};
    long long now = 1000;
    CPlayerEngine engine{core,   romList,     playlist,
                         config, settings,    dialogs,
                         view,   temp.Path(), EngineClock{[this] { return now; }, {}}};
};

} // namespace

TEST_F(EngineWithRealCore, PlaysMarksBlankMovesOnAndRecords) {
    config.OnSilence = 3;
    RenderPerTick(30);
    const int game = romList.FindGameIndex("tarvoquest");
    ASSERT_GE(game, 0);
    ASSERT_TRUE(romList.IsAvailable(game));
    EXPECT_FALSE(romList.IsAvailable(romList.FindGameIndex("lostcave")));

    engine.LoadGame(game, 1);
    EXPECT_EQ(engine.Status().currentGame, game);
    EXPECT_EQ(engine.Status().state, PlayerState::Playing);
    EXPECT_EQ(view.shown.gameName, "Tarvo Quest");
    int loudest = 0;
    for (int tick = 0; tick < 40; ++tick) {
        engine.TimerTick();
        loudest = std::max(loudest, view.leftLevel);
    }
    EXPECT_GT(loudest, 1000);

    // Clip 3 has no file: two silence reports mark it blank and NEXT moves on.
    engine.PlayClip(3);
    for (int tick = 0; tick < 80 && engine.Status().currentClip == 3; ++tick)
        engine.TimerTick();
    EXPECT_TRUE(romList.GetEntry(game)->clipInfo.IsBlank(3));
    EXPECT_EQ(engine.Status().currentClip, 4);

    engine.Rec();
    EXPECT_EQ(engine.Status().state, PlayerState::Recording);
    for (int tick = 0; tick < 34; ++tick)
        engine.TimerTick();
    dialogs.paths = {temp.File("fanfare")};
    engine.StopPlayer();
    EXPECT_EQ(engine.Status().state, PlayerState::Stopped);
    ASSERT_TRUE(std::filesystem::exists(temp.File("fanfare.wav")));
    EXPECT_GT(std::filesystem::file_size(temp.File("fanfare.wav")), 44u + 34u * 1323u * 4u - 1);
    EXPECT_TRUE(dialogs.shown.empty());
}

// A sound device with a long period asks for much sound at once; a 0.2-s
// effect must still count as sound, whatever the size of the device's period.
// The core speaks from inside its own calls, where it must not be called
// again: the engine acts on what it said once the call has returned, and a
// listener that calls it from inside is reported (a debug build stops there).
TEST(LibraryCore, ACallIntoTheCoreFromInsideItsCallbackIsReported) {
    struct Listener : ICoreListener {
        ICore* core = nullptr;
        int OnCoreMessage(int code, void*, int) override {
            if (code == CORE_MSG_BUSY) core->GetInt(CORE_INT_GAME_COUNT, 0);
            return 0;
        }
    } listener;
    CLibraryCore core;
    listener.core = &core;
    core.Init(listener);
    EXPECT_DEBUG_DEATH(
        {
            core.SetOption(CORE_OPT_GAME, 0);
            core.Command(CORE_CMD_START_GAME, -1);
        },
        "from inside the sound core's callback");
#ifdef NDEBUG
    EXPECT_EQ(core.CallsFromTheCallback(), 1);
#endif
    core.Shutdown();
}

TEST_F(EngineWithRealCore, AShortEffectIsNotMarkedBlankWhateverTheDevicePeriod) {
    config.OnSilence = 0;
    config.AutoMark = 1;
    const int game = romList.FindGameIndex("starmoth");
    for (int period : {30, 93, 186}) {
        SCOPED_TRACE(period);
        RenderPerTick(period);
        engine.LoadGame(game, 20);
        ASSERT_EQ(engine.Status().currentClip, 20);
        for (int tick = 0; tick < 10000 / period; ++tick) // two silence reports and more
            engine.TimerTick();
        EXPECT_FALSE(romList.GetEntry(game)->clipInfo.IsBlank(20));
    }
}

// Star Moth as a hostile collection would make it: a tag and a file name with
// line feeds that spell records of other clips.
TEST_F(EngineWithRealCore, TagsWithLineBreaksWriteOnlyTheirOwnClipsTitle) {
    compose::VgmBuilder tune;
    tune.Add(compose::Frame());
    const std::string roms = temp.MakeFolder("hostile");
    test::WriteZip(roms + "/starmoth.zip",
                   {{"01 a.vgm", tune.Finish("Caf\xe9", "Star Moth")},
                    {"02 b.vgm", tune.Finish("Two", "Star Moth")},
                    {"04 c.vgm", tune.Finish("Treasure\nstarmoth:blank 1\nstarmoth:title 2 "
                                             "INJECTED",
                                             "Star Moth")},
                    {"05 Line\nstarmoth:range 0 1.vgm", tune.Finish("", "Star Moth")}});
    ASSERT_TRUE(romList.RemoveFolder(TARVO_DEMO_ROMS));
    std::string folder = roms;
    ASSERT_TRUE(romList.AddFolder(folder));
    romList.ScanROMFolders();
    RenderPerTick(30); // the load is done when LoadGame returns
    engine.LoadGame(romList.FindGameIndex("starmoth"), -1);
    ASSERT_TRUE(romList.SaveClipInfo(temp.File("tarvoclips.dat"), CROMList::Lines::WithUnsupported,
                                     dialogs));

    CROMList again;
    again.BuildFromCore(core);
    again.LoadClipInfo(temp.File("tarvoclips.dat"));
    const CClipInfo& clips = again.GetEntry(again.FindGameIndex("starmoth"))->clipInfo;
    EXPECT_EQ(clips.lastClip, 5);
    EXPECT_EQ(clips.GetLabel(1), "Caf\xc3\xa9");
    EXPECT_EQ(clips.GetLabel(2), "Two");
    EXPECT_EQ(clips.GetLabel(4), "Treasure starmoth:blank 1 starmoth:title 2 INJECTED");
    EXPECT_EQ(clips.GetLabel(5), "Line starmoth:range 0 1");
}

// A tune that would play on for ever ends at its known length: Comet Miner's
// "Surface" at its 7.68 s of HVSC's song lengths, and the next clip starts at
// the second second of silence after it, as the silence policy says.
TEST_F(EngineWithRealCore, ATuneEndsAtItsKnownLengthAndTheNextOneStarts) {
    config.OnSilence = static_cast<int>(OnSilencePolicy::NextClip);
    RenderPerTick(30);
    engine.Setup().ApplyStartOptions(false);
    engine.LoadGame(romList.FindGameIndex("cometminer"), 1);
    int ticks = 0;
    for (; ticks < 1000 && engine.Status().currentClip == 1; ++ticks)
        engine.TimerTick();
    EXPECT_EQ(engine.Status().currentClip, 2);
    // At its length, not once the silence after it has been heard.
    EXPECT_NEAR(ticks * 0.030, 7.68, 0.1);
    EXPECT_EQ(core.CallsFromTheCallback(), 0);
}
