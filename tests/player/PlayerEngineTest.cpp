// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/EngineFixture.h"

#include <filesystem>

using namespace tarvo;
using namespace tarvo::test;
using Calls = std::vector<std::string>;

namespace {

class Engine : public EngineTest {
protected:
    CClipInfo& Clips(int game = 0) { return romList.GetEntry(game)->clipInfo; }
    std::vector<std::string> Actions() { return core.TakeActions(); }

    void UsePlaylist(int entries) {
        for (int i = 0; i < entries; ++i)
            playlist.AddEntry(romList.GetEntry(i % 2), 10 + i);
        engine->SetPlaylistMode(true);
    }
};

} // namespace

TEST_F(Engine, StartsIdleAndTheFirstTimerTickRunsAClockTick) {
    EXPECT_EQ(engine->State(), PlayerState::Idle);
    EXPECT_EQ(engine->PendingClip(), -1);
    view.playIcon = 0;
    now += 5;
    engine->TimerTick();
    EXPECT_EQ(view.shown.elapsed, ""); // the clock tick ran: Idle shows an empty box
    EXPECT_EQ(core.TakeActions(), Calls{"Command(SERVICE, 0)"});
}

TEST_F(Engine, LoadAndPlaySendTheirExactSequences) {
    engine->LoadGame(1, 4);
    EXPECT_EQ(Actions(),
              (Calls{"SetOption(GAME, 1)", "Command(RESUME, 0)", "Command(START_GAME, 4)"}));
    EXPECT_EQ(engine->CurrentGame(), 1);
    EXPECT_EQ(engine->CurrentClip(), 4);
    EXPECT_EQ(engine->State(), PlayerState::Playing);
    EXPECT_EQ(view.shown.gameName, "Beta Run");
    EXPECT_EQ(view.shown.romFile, "beta");
    EXPECT_EQ(view.shown.driverText, "Driver: Test Driver\nSN76489");
    EXPECT_EQ(romList.GetEntry(1)->clipInfo.lastClip, 512); // the default range on first load
    EXPECT_EQ(romList.GetEntry(1)->driverDetails, "SN76489");

    engine->LoadGame(-1, 2);
    EXPECT_EQ(Actions(), (Calls{"Command(RESUME, 0)", "Command(START_GAME, 2)"}));

    engine->PlayClip(7);
    EXPECT_EQ(Actions(), (Calls{"Command(RESUME, 0)", "Command(PLAY_CLIP, 7)"}));
    EXPECT_EQ(engine->PlaylistPos(), 7);
}

TEST_F(Engine, ANewGameTakesItsTunesFromTheCoreAndAKnownOneOnlyEmptyTitles) {
    core.tellsTunes = true;
    core.tunes = {"", "Overture", "Village", "", "", "Fanfare"};
    engine->LoadGame(0, -1);
    const CClipInfo& fresh = Clips(0);
    EXPECT_EQ(fresh.firstClip, 0);
    EXPECT_EQ(fresh.lastClip, 5);
    for (int clip : {0, 3, 4})
        EXPECT_TRUE(fresh.IsBlank(clip)) << clip;
    EXPECT_EQ(fresh.GetTitle(2), "Village");

    CClipInfo& known = Clips(1);
    known.SetRange(0, 3);
    known.SetTitle(1, "Mine");
    known.SetBlank(2, true);
    engine->LoadGame(1, -1);
    EXPECT_EQ(known.lastClip, 3);         // the user's range stays
    EXPECT_EQ(known.GetTitle(1), "Mine"); // and the user's titles
    EXPECT_TRUE(known.IsBlank(2));        // and marks
    EXPECT_FALSE(known.IsBlank(0));       // nothing else becomes blank
    EXPECT_EQ(known.GetTitle(3), "");     // no tune there: no title

    core.tellsTunes = false; // a core that cannot tell: the range of old
    Clips(0).SetRange(-1, -1);
    engine->LoadGame(0, -1);
    EXPECT_EQ(Clips(0).lastClip, 512);
    EXPECT_FALSE(Clips(0).IsBlank(3));
}

TEST_F(Engine, ALoopingTuneFadesOutBeforeTheLimitWhichActsAsBefore) {
    config.EnforceLoopTime = 1;
    struct Case {
        int limit, fadeStartsAt, fadeMs;
    } cases[] = {{300, 296, 4500}, {10, 9, 1500}, {3, 3, 500}};
    auto fades = [this] {
        Calls asked;
        for (const std::string& action : Actions())
            if (action.rfind("SetOption(FADE_OUT_MS", 0) == 0) asked.push_back(action);
        return asked;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.limit);
        config.MaxLoopTime = c.limit;
        LoadGameAt(0, 3);
        const long long start = now;
        Actions();
        now = start + c.fadeStartsAt - 1;
        ClockTicks(1);
        EXPECT_TRUE(fades().empty());
        now = start + c.fadeStartsAt;
        ClockTicks(2); // asked once
        EXPECT_EQ(fades(), Calls{"SetOption(FADE_OUT_MS, " + std::to_string(c.fadeMs) + ")"});
        now = start + c.limit;
        ClockTicks(1);
        EXPECT_EQ(engine->State(), PlayerState::Playing);
        now = start + c.limit + 1;
        ClockTicks(1);
        EXPECT_EQ(engine->State(), PlayerState::Stopped);
    }
}

TEST_F(Engine, ThirdPlayResumesWithoutRestartingAndStopThenPlayRestarts) {
    LoadGameAt(0, 3);
    engine->Play();
    engine->Play();
    EXPECT_EQ(Actions(), (Calls{"Command(PAUSE, 0)", "Command(RESUME, 0)"}));
    engine->StopPlayer();
    EXPECT_EQ(engine->State(), PlayerState::Stopped);
    EXPECT_EQ(Actions(), Calls{"Command(PAUSE, 0)"});
    engine->Play();
    EXPECT_EQ(Actions(), (Calls{"Command(RESUME, 0)", "Command(PLAY_CLIP, 3)"}));
}

// STOP cancels a clip asked for but not yet started; with no game it only
// refreshes the buttons.
TEST_F(Engine, StopCancelsAPendingClipAndWithoutAGameTellsTheCoreNothing) {
    view.calls.clear();
    engine->StopPlayer();
    EXPECT_TRUE(Actions().empty());
    EXPECT_EQ(view.calls, (Calls{"UpdateTransportButtons", "UpdateMenus"}));
    LoadGameAt(0, 3);
    core.answers = false;
    engine->PlayClip(9);
    EXPECT_EQ(engine->PendingClip(), 9);
    Actions();
    engine->StopPlayer();
    EXPECT_EQ(Actions(), Calls{"Command(PAUSE, 0)"});
    EXPECT_EQ(engine->PendingClip(), -1);
    EXPECT_EQ(engine->State(), PlayerState::Stopped);
}

TEST_F(Engine, IdlePlayAndNextPlayOnlyInPlaylistMode) {
    engine->Play();
    EXPECT_TRUE(Actions().empty());
    engine->Prev();
    EXPECT_TRUE(Actions().empty());
    UsePlaylist(3);
    engine->Prev();
    EXPECT_TRUE(Actions().empty());
    engine->Next(); // position 0: alpha clip 10, loaded with it
    EXPECT_EQ(Actions(),
              (Calls{"SetOption(GAME, 0)", "Command(RESUME, 0)", "Command(START_GAME, 10)"}));
    EXPECT_EQ(engine->PlaylistPos(), 0);
}

// ROM mode: NEXT and Prev wrap within the range and skip blank clips unless
// they are shown; a search for a clip that is not blank may wrap below the
// first clip; with every clip blank the plain neighbour is taken.
TEST_F(Engine, RomModeTargetsSkipBlanksAndWrap) {
    EXPECT_EQ(engine->NextTarget(-1), -1); // no game
    EXPECT_EQ(engine->PrevTarget(-1), -1);
    LoadGameAt(0, 0);
    struct Case {
        int first, last;
        std::vector<int> blank, audible; // marked blank, and unmarked after the range
        bool showBlanks;
        int from, next, prev;
    } cases[] = {
        {2, 6, {4}, {}, false, 3, 5, 2},
        {2, 6, {4}, {}, true, 3, 4, 2},
        {2, 6, {4}, {}, false, 6, 2, 5},
        {2, 6, {4}, {}, false, 2, 3, 6},
        {2, 6, {4}, {}, true, 5, 6, 4},
        {3, 6, {6}, {}, false, 5, 3, 4},
        {3, 6, {6}, {1}, false, 5, 1, 4},
        {0, 4, {0, 1, 2, 3, 4}, {}, false, 2, 3, 1},
        {0, 4, {0, 1, 2, 3, 4}, {}, false, 4, 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + (c.showBlanks ? " shown" : ""));
        CClipInfo& clips = Clips();
        clips.SetRange(0, c.last);
        for (int n = 0; n <= c.last; ++n)
            clips.SetBlank(n, false);
        clips.SetRange(c.first, c.last); // marks the clips below the first blank
        for (int n : c.blank)
            clips.SetBlank(n, true);
        for (int n : c.audible)
            clips.SetBlank(n, false);
        config.ShowBlanks = c.showBlanks;
        EXPECT_EQ(engine->NextTarget(c.from), c.next);
        EXPECT_EQ(engine->PrevTarget(c.from), c.prev);
    }
}

TEST_F(Engine, PlaylistTargetsWrap) {
    UsePlaylist(4);
    EXPECT_EQ(engine->NextTarget(-1), 0); // nothing played yet
    EXPECT_EQ(engine->PrevTarget(0), 3);
    EXPECT_EQ(engine->NextTarget(1), 2);
    engine->PlayChosen(3);
    EXPECT_EQ(engine->NextTarget(-1), 0);
    EXPECT_EQ(engine->PrevTarget(-1), 2);
}

TEST_F(Engine, ShuffleDrawsUntilThePositionChanges) {
    config.Shuffle = 1;
    UsePlaylist(1);
    engine->PlayChosen(0);
    EXPECT_EQ(engine->NextTarget(-1), 0); // one entry: stays

    playlist.AddEntry(romList.GetEntry(1), 3);
    randoms = {0, 0, 20000}; // 20000 * 2 / 32768 = 1
    EXPECT_EQ(engine->NextTarget(-1), 1);
    engine->PlayChosen(1);
    randoms = {32767, 100};
    EXPECT_EQ(engine->NextTarget(-1), 0);

    UsePlaylist(8); // ten entries in all
    engine->PlayChosen(4);
    randoms = {16384, 32767}; // 16384 * 10 / 32768 = 5
    EXPECT_EQ(engine->NextTarget(-1), 5);
    randoms = {13107, 32767}; // draws 3 first? 13107*10/32768 = 3
    EXPECT_EQ(engine->NextTarget(-1), 3);
    EXPECT_EQ(engine->PrevTarget(-1), 3); // Prev never shuffles
}

TEST_F(Engine, PlayingAPlaylistEntryOfTheLoadedGameOnlyPlaysTheClip) {
    UsePlaylist(3); // alpha 10, beta 11, alpha 12
    engine->PlayClip(0);
    Actions();
    engine->PlayClip(2);
    EXPECT_EQ(Actions(), (Calls{"Command(RESUME, 0)", "Command(PLAY_CLIP, 12)"}));
    engine->PlayClip(1);
    EXPECT_EQ(Actions(),
              (Calls{"SetOption(GAME, 1)", "Command(RESUME, 0)", "Command(START_GAME, 11)"}));
    engine->PlayClip(7);
    EXPECT_TRUE(Actions().empty());
    EXPECT_EQ(engine->PlaylistPos(),
              -1); // in playlist mode a clip start does not move the position
}

TEST_F(Engine, SecondSilenceReportRunsThePolicyAndMarksASilentClip) {
    config.OnSilence = 3;
    LoadGameAt(0, 5);
    Silence(1);
    EXPECT_EQ(engine->CurrentClip(), 5);
    EXPECT_TRUE(view.refreshedRows.empty());
    Silence(1);
    EXPECT_TRUE(Clips().IsBlank(5));
    EXPECT_EQ(view.refreshedRows, std::vector<int>{5});
    EXPECT_EQ(engine->CurrentClip(), 6); // moved on with NEXT
}

TEST_F(Engine, FiveAudibleReportsKeepAClipFromBeingMarked) {
    config.OnSilence = 0;
    struct Case {
        int audible;
        bool marked;
    } cases[] = {{0, true}, {4, true}, {5, false}};
    for (const Case& c : cases) {
        LoadGameAt(0, 20 + c.audible);
        SendLevels(1000, c.audible);
        SendLevels(0, 3);
        Silence(2);
        EXPECT_EQ(Clips().IsBlank(20 + c.audible), c.marked) << c.audible;
    }
    config.AutoMark = 0;
    LoadGameAt(0, 40);
    Silence(2);
    EXPECT_FALSE(Clips().IsBlank(40));
}

TEST_F(Engine, SilencePolicies) {
    struct Case {
        int policy;
        PlayerState state;
        Calls actions;
    } cases[] = {
        {0, PlayerState::Playing, {}},
        {1, PlayerState::Stopped, {"Command(PAUSE, 0)"}},
        {2, PlayerState::Playing, {"Command(RESUME, 0)", "Command(PLAY_CLIP, 3)"}},
        {3, PlayerState::Playing, {"Command(RESUME, 0)", "Command(PLAY_CLIP, 4)"}},
    };
    config.AutoMark = 0;
    for (const Case& c : cases) {
        config.OnSilence = c.policy;
        LoadGameAt(0, 3);
        Silence(2);
        EXPECT_EQ(Actions(), c.actions) << c.policy;
        EXPECT_EQ(engine->State(), c.state) << c.policy;
    }
}

TEST_F(Engine, MoveOnWaitsForARequestedClipToStart) {
    config.OnSilence = 3;
    config.AutoMark = 0;
    LoadGameAt(0, 3);
    core.answers = false;
    engine->PlayClip(8); // not yet started
    Actions();
    Silence(2);
    EXPECT_TRUE(Actions().empty());
}

TEST_F(Engine, LoopLimitFiresOnTheFirstClockTickPastIt) {
    config.EnforceLoopTime = 1;
    config.MaxLoopTime = 300;
    for (int policy : {1, 3}) {
        config.OnSilence = policy;
        LoadGameAt(0, 3);
        now += 300;
        ClockTicks(1);
        EXPECT_EQ(engine->State(), PlayerState::Playing);
        EXPECT_EQ(view.shown.elapsed, "05:00");
        now += 1;
        ClockTicks(1);
        if (policy == 1)
            EXPECT_EQ(engine->State(), PlayerState::Stopped);
        else
            EXPECT_EQ(engine->CurrentClip(), 4);
    }
}

TEST_F(Engine, PausedTimeStandsStillAndBlinks) {
    LoadGameAt(0, 3);
    now += 10;
    ClockTicks(1);
    engine->Play(); // pause
    std::vector<std::string> shown;
    std::vector<int> icons;
    for (int i = 0; i < 4; ++i) {
        now += 20;
        ClockTicks(1);
        shown.push_back(view.shown.elapsed);
        icons.push_back(view.playIcon);
    }
    EXPECT_EQ(shown[0].empty(), !shown[1].empty());
    EXPECT_EQ(shown[0] + shown[1], "00:10");
    EXPECT_NE(icons[0], icons[1]);
    engine->Play();
    now += 5;
    ClockTicks(1);
    EXPECT_EQ(view.shown.elapsed, "00:15");
}

TEST_F(Engine, MetersShowLevelsExactly25TicksLater) {
    LoadGameAt(0, 3);
    SendLevels(1234);
    for (int tick = 1; tick <= 25; ++tick) {
        engine->TimerTick();
        EXPECT_EQ(view.leftLevel, 0) << tick;
    }
    engine->TimerTick();
    EXPECT_EQ(view.leftLevel, 1234);
    EXPECT_EQ(view.rightLevel, 617);
    engine->TimerTick();
    EXPECT_EQ(view.leftLevel, 0);
}

TEST_F(Engine, NegativeSamplesDoNotCountAsSound) {
    LoadGameAt(0, 3);
    std::vector<int16_t> frames{-30000, -30000, -5, 0};
    core.Send(CORE_MSG_LEVELS, frames.data(), 2);
    Tick(26);
    EXPECT_EQ(view.leftLevel, 0);
    Silence(2);
    EXPECT_TRUE(Clips().IsBlank(3));
}

TEST_F(Engine, AutosaveRunsOnThe900thClockTick) {
    playlist.AddEntry(romList.GetEntry(0), 1);
    Clips().SetTitle(1, "Theme");
    ClockTicks(899);
    EXPECT_FALSE(std::filesystem::exists(temp.File("Tarvo.ini")));
    ClockTicks(1);
    EXPECT_TRUE(std::filesystem::exists(temp.File("tarvo_temp.tvp")));
    EXPECT_NE(temp.Read("Tarvo.ini").find("TempPlaylist=" + temp.File("tarvo_temp.tvp")),
              std::string::npos);
    EXPECT_NE(temp.Read("tarvoclips.dat").find("alpha:title 1 Theme"), std::string::npos);
    EXPECT_EQ(playlist.fileName, "");
}

TEST_F(Engine, AFailedSettingsWriteStopsTheAutosave) {
    test::TempFolder other;
    CSettingsFile broken(other.File("gone/"), romList, playlist, dialogs);
    EngineClock clock;
    clock.now = [this] { return now; };
    CPlayerEngine lonely(core, romList, playlist, config, broken, dialogs, view,
                         other.File("gone/"), clock);
    lonely.Start();
    for (int i = 0; i < 900 * 7; ++i)
        lonely.TimerTick();
    ASSERT_EQ(dialogs.shown.size(), 1u); // the settings error alone: no clip file error after it
}

TEST_F(Engine, FormatTime) {
    struct Case {
        int seconds;
        const char* shortForm;
        const char* verbose;
    } cases[] = {
        {3725, "62:05", "1 hr 2 min 5 sec"},
        {7200, "120:00", "2 hrs"},
        {0, "00:00", "0 sec"},
        {-1, "???", "Time unknown"},
        {60, "01:00", "1 min"},
        {3601, "60:01", "1 hr 1 sec"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CPlayerEngine::FormatTime(c.seconds, false), c.shortForm);
        EXPECT_EQ(CPlayerEngine::FormatTime(c.seconds, true), c.verbose);
    }
}

TEST_F(Engine, ClipStartOf32000ChangesNothing) {
    LoadGameAt(0, 3);
    core.Send(CORE_MSG_CLIP_STARTED, nullptr, CORE_SILENCE_CLIP);
    EXPECT_EQ(engine->CurrentClip(), 3);
    EXPECT_TRUE(view.calls.empty());
}

TEST_F(Engine, GameGoneAndLoadFailed) {
    LoadGameAt(0, 3);
    core.Send(CORE_MSG_GAME_GONE);
    EXPECT_EQ(engine->State(), PlayerState::Idle);
    EXPECT_EQ(engine->CurrentClip(), -1);
    EXPECT_EQ(engine->PlaylistPos(), -1);
    EXPECT_EQ(view.shown.gameName, "");
    EXPECT_EQ(view.shown.clipNumber, 0);

    core.Send(CORE_MSG_LOAD_FAILED);
    EXPECT_EQ(engine->CurrentGame(), -1);
    EXPECT_EQ(dialogs.Texts(), Calls{"An error occurred while trying to load the ROM image"});
    EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::Error);
}

TEST_F(Engine, RomPathRequests) {
    std::string roms = temp.MakeFolder("roms");
    temp.Write("roms/alpha.zip", "z");
    romList.AddFolder(roms);
    romList.ScanROMFolders();
    int result = -1;
    EXPECT_EQ(core.SendPathRequest(CORE_MSG_ROM_PATH, "alpha", &result), roms + "alpha.zip");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(core.SendPathRequest(CORE_MSG_ROM_PATH, "ALPHA.zip", &result), roms + "alpha.zip");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(core.SendPathRequest(CORE_MSG_ROM_PATH, "nobody.zip", &result), "nobody.zip");
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(dialogs.shown.empty());

    std::filesystem::remove(roms + "alpha.zip");
    EXPECT_EQ(core.SendPathRequest(CORE_MSG_ROM_PATH, "alpha.zip", &result), "alpha.zip");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(dialogs.Texts(),
              Calls{"ERROR: CoreMessage() - Unable to find " + roms + "alpha.zip"});
}

TEST_F(Engine, WavNameRequestAndCoreErrors) {
    LoadGameAt(0, 7);
    now = 1700000000;
    EXPECT_EQ(core.SendPathRequest(CORE_MSG_WAV_PATH, ""), temp.Path() + "alpha-7-1700000000.wav");
    EXPECT_EQ(engine->TemporaryWavPath(), temp.Path() + "alpha-7-1700000000.wav");
    core.SendText(CORE_MSG_ERROR, "disk on fire");
    EXPECT_EQ(dialogs.Texts(), Calls{"Sound Core reported an error: disk on fire"});
    EXPECT_EQ(core.Send(14), 0);
    EXPECT_EQ(core.Send(2), 0);
}

TEST_F(Engine, RecordingSequence) {
    LoadGameAt(0, 7);
    engine->Rec();
    EXPECT_EQ(Actions(),
              (Calls{"Command(RESUME, 0)", "Command(PLAY_CLIP, 32000)", "SetOption(RECORD, 1)",
                     "Command(RESUME, 0)", "Command(PLAY_CLIP, 7)"}));
    EXPECT_EQ(engine->State(), PlayerState::Recording);
    EXPECT_EQ(view.iconSequence, 4);
    ClockTicks(1);
    EXPECT_EQ(view.recIcon == 101 || view.recIcon == 108, true);
}

namespace {

class Recording : public Engine {
protected:
    void StartRecordingClip() {
        LoadGameAt(0, 7);
        now = 1700000000;
        engine->Rec();
        core.SendPathRequest(CORE_MSG_WAV_PATH, "");
        temp.Write("alpha-7-1700000000.wav", "RIFF....");
        Actions();
    }
    std::string TempWav() { return temp.File("alpha-7-1700000000.wav"); }
};

} // namespace

TEST_F(Recording, SavingSendsItsSequenceAndMovesTheFile) {
    StartRecordingClip();
    dialogs.paths = {temp.File("kept")};
    engine->Rec();
    EXPECT_EQ(Actions(), (Calls{"SetOption(RECORD, 0)", "Command(RESUME, 0)",
                                "Command(PLAY_CLIP, 32000)", "Command(PAUSE, 0)"}));
    EXPECT_EQ(engine->State(), PlayerState::Stopped);
    EXPECT_EQ(dialogs.pickerTitles, Calls{"Save Recorded WAV File..."});
    EXPECT_EQ(temp.Read("kept.wav"), "RIFF....");
    EXPECT_FALSE(std::filesystem::exists(TempWav()));
}

TEST_F(Recording, AddingTheExtensionAsksBeforeReplacingAndProposesAName) {
    StartRecordingClip();
    temp.Write("take.wav", "old");
    dialogs.paths = {temp.File("take"), temp.File("take")};
    dialogs.answers = {false, true}; // No opens the picker again; Yes replaces
    engine->Rec();
    EXPECT_EQ(dialogs.Texts(), (Calls{"take.wav already exists.\nDo you want to replace it?",
                                      "take.wav already exists.\nDo you want to replace it?"}));
    EXPECT_EQ(dialogs.initialNames, (Calls{"alpha-007.wav", temp.File("take.wav")}));
    EXPECT_EQ(temp.Read("take.wav"), "RIFF....");
}

TEST_F(Recording, OtherExtensionsStayAndAnExistingFileIsReplaced) {
    StartRecordingClip();
    temp.Write("take.snd", "old");
    dialogs.paths = {temp.File("take.snd")};
    engine->StopPlayer();
    EXPECT_EQ(temp.Read("take.snd"), "RIFF....");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Recording, CancelDeletesTheTemporaryFile) {
    StartRecordingClip();
    engine->Rec();
    EXPECT_FALSE(std::filesystem::exists(TempWav()));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Recording, AFailedMoveKeepsTheTemporaryFileAndSaysWhere) {
    StartRecordingClip();
    dialogs.paths = {temp.File("no/such/folder/take.wav")};
    engine->Rec();
    EXPECT_TRUE(std::filesystem::exists(TempWav()));
    EXPECT_EQ(dialogs.Texts(),
              Calls{"ERROR: Failed to save WAV File.  A copy of the recording is saved as:\n\n" +
                    TempWav()});
}

TEST_F(Recording, NextSavesFirstThenPlaysWithoutRecording) {
    StartRecordingClip();
    dialogs.paths = {temp.File("first.wav")};
    engine->Next();
    const auto actions = Actions();
    EXPECT_EQ(actions.front(), "SetOption(RECORD, 0)");
    EXPECT_EQ(actions.back(), "Command(PLAY_CLIP, 8)");
    EXPECT_EQ(engine->State(), PlayerState::Playing);
    EXPECT_TRUE(std::filesystem::exists(temp.File("first.wav")));
}

TEST_F(Recording, PlayPausesIntoRecordingPausedAndBothButtonsBlink) {
    StartRecordingClip();
    engine->Play();
    EXPECT_EQ(engine->State(), PlayerState::RecordingPaused);
    std::vector<int> play, rec;
    for (int i = 0; i < 2; ++i) {
        ClockTicks(1);
        play.push_back(view.playIcon);
        rec.push_back(view.recIcon);
    }
    EXPECT_NE(play[0], play[1]);
    EXPECT_NE(rec[0], rec[1]);
}

TEST_F(Recording, EndsByItselfAfterTheLongestRecordingTime) {
    config.MaxWAVTime = 60;
    StartRecordingClip();
    dialogs.paths = {temp.File("long.wav")};
    now += 60; // whole seconds: perhaps only 59.01 s of sound so far
    ClockTicks(1);
    EXPECT_EQ(engine->State(), PlayerState::Recording);
    now += 1;
    ClockTicks(1);
    EXPECT_EQ(engine->State(), PlayerState::Stopped);
    EXPECT_TRUE(std::filesystem::exists(temp.File("long.wav")));
}
