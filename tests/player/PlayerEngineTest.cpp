// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/EngineFixture.h"
#include "player/TimeText.h"
#include "soundcore/SoundCoreFixture.h"

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

// The transport leaves the core as the player shows it: a game loaded plays
// its clip; PLAY pauses and resumes the same clip, never starting it again;
// STOP pauses, and PLAY then starts the clip again; STOP cancels a clip not
// yet started, and a load the core is still working on.
TEST_F(Engine, TheTransportLeavesTheCoreAsThePlayerShowsIt) {
    engine->StopPlayer(); // no game: nothing for the core
    engine->Play();
    EXPECT_EQ(core.starts, 0);
    EXPECT_EQ(engine->Status().state, PlayerState::Idle);

    engine->LoadGame(1, 4);
    EXPECT_EQ(core.loadedGame, 1);
    EXPECT_EQ(core.currentClip, 4);
    EXPECT_FALSE(core.paused);
    EXPECT_EQ(engine->Status().state, PlayerState::Playing);
    EXPECT_EQ(view.shown.gameName, "Beta Run");
    EXPECT_EQ(view.shown.driverText, "Driver: Test Driver\nSN76489");
    EXPECT_EQ(Clips(1).lastClip, 512); // the default range on first load
    engine->LoadGame(-1, 2);           // the same game again
    EXPECT_EQ(core.loadedGame, 1);
    EXPECT_EQ(core.currentClip, 2);

    engine->PlayClip(7);
    const int starts = core.starts;
    engine->Play();
    EXPECT_TRUE(core.paused);
    EXPECT_EQ(engine->Status().state, PlayerState::Paused);
    engine->Play();
    EXPECT_FALSE(core.paused);
    EXPECT_EQ(core.starts, starts); // resumed, not restarted
    engine->StopPlayer();
    EXPECT_TRUE(core.paused);
    EXPECT_EQ(engine->Status().state, PlayerState::Stopped);
    engine->Play();
    EXPECT_FALSE(core.paused);
    EXPECT_EQ(core.starts, starts + 1);
    EXPECT_EQ(core.currentClip, 7);

    core.answers = false; // STOP cancels a clip asked for but not yet started
    engine->PlayClip(9);
    EXPECT_EQ(engine->Status().pendingClip, 9);
    engine->StopPlayer();
    EXPECT_EQ(engine->Status().pendingClip, -1);
    EXPECT_EQ(engine->Status().state, PlayerState::Stopped);

    core.answers = true;
    core.onCommand = nullptr; // the load goes on in the core
    engine->LoadGame(0, 2);
    core.Send(CORE_MSG_BUSY);
    core.AnswerLikeTheCore();
    engine->StopPlayer();
    EXPECT_EQ(core.loadedGame, -1);
    EXPECT_EQ(engine->Status().state, PlayerState::Idle);
}

TEST_F(Engine, ANewGameTakesItsTunesFromTheCoreAndAKnownOneOnlyEmptyTitles) {
    core.tellsTunes = true;
    core.tunes = {"", "Overture", "Village", "", "", "Fanfare"};
    core.lengthsMs = {-1, 38000, -1, -1, -1, 7680};
    engine->LoadGame(0, -1);
    // The lengths stay with the game for the run, for its clips in any list.
    EXPECT_EQ(romList.GetEntry(0)->LengthText(1), "0:38");
    EXPECT_EQ(romList.GetEntry(0)->LengthText(5), "0:08");
    EXPECT_EQ(romList.GetEntry(0)->LengthText(2), "");
    const CClipInfo& fresh = Clips(0);
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

    core.tellsTunes = false; // a core that cannot tell: the range of old
    Clips(0).SetRange(-1, -1);
    engine->LoadGame(0, -1);
    EXPECT_EQ(Clips(0).lastClip, 512);
    EXPECT_FALSE(Clips(0).IsBlank(3));
}

// The limit fades the tune out before it, over the fade every tune ends with
// (no longer than the limit), then acts on the first clock tick past it as
// the silence policy says.
TEST_F(Engine, ALoopingTuneFadesOutBeforeTheLimitAndTheLimitActsAsSilence) {
    config.EnforceLoopTime = 1;
    struct Case {
        int limit, fadeStartsAt, fadeMs, policy;
    } cases[] = {{300, 293, 7500, 1}, {10, 3, 7500, 3}, {3, 1, 2500, 1}}; // the 8-s fade

    auto fades = [this] {
        Calls asked;
        for (const std::string& action : Actions())
            if (action.rfind("SetOption(FADE_OUT_MS", 0) == 0) asked.push_back(action);
        return asked;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.limit);
        config.MaxLoopTime = c.limit;
        config.OnSilence = c.policy;
        LoadGameAt(0, 3);
        const long long start = now;
        now = start + c.fadeStartsAt - 1;
        ClockTicks(1);
        EXPECT_TRUE(fades().empty());
        now = start + c.fadeStartsAt;
        ClockTicks(2); // asked once
        EXPECT_EQ(fades(), Calls{"SetOption(FADE_OUT_MS, " + std::to_string(c.fadeMs) + ")"});
        now = start + c.limit;
        ClockTicks(1);
        EXPECT_EQ(engine->Status().currentClip, 3);
        EXPECT_EQ(engine->Status().state, PlayerState::Playing);
        now = start + c.limit + 1;
        ClockTicks(1);
        if (c.policy == 1)
            EXPECT_EQ(engine->Status().state, PlayerState::Stopped);
        else
            EXPECT_EQ(engine->Status().currentClip, 4);
    }
}

// ROM mode: NEXT and Prev wrap within the range and skip blank clips unless
// they are shown; a search for a clip that is not blank may wrap below the
// first clip; with every clip blank the plain neighbour is taken.
TEST_F(Engine, RomModeTargetsSkipBlanksAndWrap) {
    EXPECT_EQ(engine->Order().NextTarget(-1), -1); // no game
    EXPECT_EQ(engine->Order().PrevTarget(-1), -1);
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
        EXPECT_EQ(engine->Order().NextTarget(c.from), c.next);
        EXPECT_EQ(engine->Order().PrevTarget(c.from), c.prev);
    }
}

TEST_F(Engine, PlaylistModeWrapsPlaysAcrossGamesAndOnlyNextStartsFromIdle) {
    UsePlaylist(4); // alpha 10, beta 11, alpha 12, beta 13
    engine->Prev();
    EXPECT_TRUE(Actions().empty());
    EXPECT_EQ(engine->Order().PrevTarget(0), 3);
    engine->Next(); // nothing played yet: the first entry, loaded with its game
    EXPECT_EQ(Actions(),
              (Calls{"SetOption(GAME, 0)", "Command(RESUME, 0)", "Command(START_GAME, 10)"}));
    EXPECT_EQ(engine->Status().playlistPos, 0);

    engine->PlayClip(2); // the loaded game: only the clip
    EXPECT_EQ(Actions(), (Calls{"Command(RESUME, 0)", "Command(PLAY_CLIP, 12)"}));
    engine->PlayClip(1);
    EXPECT_EQ(Actions(),
              (Calls{"SetOption(GAME, 1)", "Command(RESUME, 0)", "Command(START_GAME, 11)"}));
    engine->PlayClip(7); // beyond the playlist
    EXPECT_TRUE(Actions().empty());
    engine->PlayChosen(3);
    EXPECT_EQ(engine->Order().NextTarget(-1), 0);
    EXPECT_EQ(engine->Order().PrevTarget(-1), 2);
}

TEST_F(Engine, ShuffleDrawsUntilThePositionChanges) {
    config.Shuffle = 1;
    UsePlaylist(1);
    engine->PlayChosen(0);
    EXPECT_EQ(engine->Order().NextTarget(-1), 0); // one entry: stays

    playlist.AddEntry(romList.GetEntry(1), 3);
    randoms = {0, 0, 20000}; // draws 0 twice (the position itself), then 1
    EXPECT_EQ(engine->Order().NextTarget(-1), 1);

    UsePlaylist(8); // ten entries in all
    engine->PlayChosen(4);
    randoms = {13107, 32767}; // 13107 * 10 / 32768 = 3
    EXPECT_EQ(engine->Order().NextTarget(-1), 3);
    EXPECT_EQ(engine->Order().PrevTarget(-1), 3); // Prev never shuffles
}

// Two silence reports in a row end a clip: the silence policy acts and the
// clip is marked blank unless five reports of sound came first; a clip asked
// for but not yet started is left to start.
TEST_F(Engine, SilenceRunsThePolicyAndMarksOnlyAClipThatNeverSounded) {
    struct Case {
        int policy;
        PlayerState state;
        Calls actions;
    } policies[] = {
        {0, PlayerState::Playing, {}},
        {1, PlayerState::Stopped, {"Command(PAUSE, 0)"}},
        {2, PlayerState::Playing, {"Command(RESUME, 0)", "Command(PLAY_CLIP, 3)"}},
        {3, PlayerState::Playing, {"Command(RESUME, 0)", "Command(PLAY_CLIP, 4)"}},
    };
    for (const Case& c : policies) {
        config.OnSilence = c.policy;
        LoadGameAt(0, 3);
        Silence(1);
        EXPECT_TRUE(Actions().empty()) << c.policy;
        Silence(1);
        EXPECT_EQ(Actions(), c.actions) << c.policy;
        EXPECT_EQ(engine->Status().state, c.state) << c.policy;
        EXPECT_TRUE(Clips().IsBlank(3));
        EXPECT_EQ(view.refreshedRows, std::vector<int>{3});
        Clips().SetBlank(3, false);
        view.refreshedRows.clear();
    }

    config.OnSilence = 0;
    std::vector<int16_t> negative{-30000, -30000, -5, 0}; // below zero is no sound
    for (int audible : {0, 4, 5, -5}) {
        const int clip = 20 + std::abs(audible);
        LoadGameAt(0, clip);
        if (audible < 0)
            for (int i = 0; i < 5; ++i)
                core.Send(CORE_MSG_LEVELS, negative.data(), 2);
        else
            SendLevels(1000, audible);
        SendLevels(0, 3);
        Silence(2);
        EXPECT_EQ(Clips().IsBlank(clip), audible < 5) << audible;
    }
    config.AutoMark = 0;
    LoadGameAt(0, 40);
    Silence(2);
    EXPECT_FALSE(Clips().IsBlank(40));

    config.OnSilence = 3;
    core.answers = false;
    engine->PlayClip(8); // not yet started
    Actions();
    Silence(2);
    EXPECT_TRUE(Actions().empty());
}

TEST_F(Engine, PausedTimeStandsStillAndBlinks) {
    LoadGameAt(0, 3);
    now += 10;
    ClockTicks(1);
    engine->Play(); // pause
    std::vector<std::string> shown;
    std::vector<int> icons;
    for (int i = 0; i < 2; ++i) {
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

// A clip of known length shows it and moves through the core: the clock
// follows at once, a long seek shows busy and then the state the clip had,
// and a seek back undoes the loop limit's fade. A clip of unknown length, or
// one being recorded, does not move.
TEST_F(Engine, AClipShowsItsLengthAndMovesKnownLengthOrNot) {
    core.tellsTunes = true;
    core.tunes = {"", "", "", "Boss", "Jingle"};
    core.lengthsMs = {-1, -1, -1, 165000, -1};
    config.EnforceLoopTime = 1;
    config.MaxLoopTime = 120;
    config.FadeSeconds = 8;
    LoadGameAt(0, 3);
    now += 72;
    ClockTicks(1);
    Actions();
    EXPECT_EQ(view.shown.elapsed, "01:12 / 02:45");
    EXPECT_EQ(view.shown.lengthSeconds, 165);
    EXPECT_TRUE(view.shown.canSeek);
    core.positionMs = 72400;
    engine->Listening().SeekBy(-5);
    EXPECT_EQ(Actions(), Calls{"Command(SEEK, 67400)"});
    EXPECT_EQ(view.shown.elapsed, "01:07 / 02:45");
    EXPECT_EQ(view.shown.positionSeconds, 67);
    EXPECT_EQ(view.tickNeed, TickNeed::Timer);
    core.Send(CORE_MSG_BUSY);
    EXPECT_EQ(engine->Status().state, PlayerState::Busy);
    core.Send(CORE_MSG_SEEKED, nullptr, 67400);
    EXPECT_EQ(engine->Status().state, PlayerState::Playing);
    EXPECT_EQ(view.seekedTo, std::vector<long long>{67400});

    engine->Listening().SeekTo(999999); // past the end: to the end, which ends it
    engine->Listening().SeekTo(115000); // past the fade's start before the 120 s limit
    core.Send(CORE_MSG_SEEKED, nullptr, 115000);
    engine->ClockTick();
    engine->Listening().SeekTo(10000);
    EXPECT_EQ(Actions(), (Calls{"Command(SEEK, 165000)", "Command(SEEK, 115000)",
                                "SetOption(FADE_OUT_MS, 7500)", "Command(SEEK, 10000)",
                                "SetOption(FADE_OUT_MS, 0)"}));
    core.Send(CORE_MSG_SEEKED, nullptr, 10000);

    engine->Play(); // paused, it moves and stays paused
    engine->Listening().SeekTo(20000);
    core.Send(CORE_MSG_SEEKED, nullptr, 20000);
    EXPECT_EQ(engine->Status().state, PlayerState::Paused);
    engine->Play();

    // A tune of unknown length moves too, as far as the loop limit, or three
    // minutes and on with the tune when there is none.
    engine->PlayClip(4);
    EXPECT_EQ(view.shown.elapsed, "00:00");
    EXPECT_TRUE(view.shown.canSeek);
    EXPECT_EQ(view.shown.rangeSeconds, 120);
    Actions();
    engine->Listening().SeekTo(999999);
    EXPECT_EQ(Actions(), Calls{"Command(SEEK, 120000)"});
    core.Send(CORE_MSG_SEEKED, nullptr, 120000);
    config.EnforceLoopTime = 0;
    engine->Listening().SeekTo(999999);
    EXPECT_EQ(Actions(), Calls{"Command(SEEK, 180000)"});
    core.Send(CORE_MSG_SEEKED, nullptr, 180000);
    EXPECT_EQ(engine->Listening().SeekRangeMs(), 240000); // at 3:00, a minute more
    engine->PlayClip(3);
    engine->Rec();
    EXPECT_FALSE(engine->Listening().CanSeek());
    Actions();
    engine->Listening().SeekBy(5);
    EXPECT_EQ(Actions(), Calls{});
}

// The Voices window shows what the core lists, and a mute goes to the core.
TEST_F(Engine, VoicesAreTheCoresAndAMuteGoesToIt) {
    core.voices = {{"Square 1", false}, {"Noise", true}};
    EXPECT_TRUE(engine->Listening().Voices().empty()); // no game
    LoadGameAt(0, 3);
    EXPECT_EQ(engine->Listening().Voices(),
              (std::vector<VoiceState>{{"Square 1", false}, {"Noise", true}}));
    const int changes = view.voiceChanges;
    engine->PlayClip(4);
    EXPECT_EQ(view.voiceChanges, changes + 1);
    engine->Listening().SetVoiceMuted(0, true);
    engine->Listening().SetVoiceMuted(-1, false);
    EXPECT_EQ(Actions(), (Calls{"Command(RESUME, 0)", "Command(PLAY_CLIP, 4)",
                                "Command(MUTE_VOICE, 0)", "Command(UNMUTE_VOICE, -1)"}));
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

// The window's autosave keeps the crash copy of the playlist, the settings
// and the clip information; a failed settings write skips the rest.
TEST_F(Engine, AutosaveKeepsEverythingAndAFailedSettingsWriteSkipsTheRest) {
    playlist.AddEntry(romList.GetEntry(0), 1);
    Clips().SetTitle(1, "Theme");
    engine->Setup().Autosave();
    EXPECT_NE(temp.Read("Tarvo.ini").find("TempPlaylist=" + temp.File("tarvo_temp.tvp")),
              std::string::npos);
    EXPECT_NE(temp.Read("tarvo_temp.tvp").find("Entry=alpha 1"), std::string::npos);
    EXPECT_NE(temp.Read("tarvoclips.dat").find("alpha:title 1 Theme"), std::string::npos);
    EXPECT_EQ(playlist.fileName, "");

    test::TempFolder other;
    CSettingsFile broken(other.File("gone/"), romList, playlist, dialogs);
    CPlayerEngine lonely(core, romList, playlist, config, broken, dialogs, view,
                         other.File("gone/"), EngineClock{[this] { return now; }, {}});
    lonely.Setup().Autosave();
    ASSERT_EQ(dialogs.shown.size(), 1u); // the settings error alone: no clip file error after it
}

// The timer runs only while something needs it: sound, a clip or a load the
// core is still starting, the meters falling back; the pause blink needs
// only the clock; an idle player needs none.
TEST_F(Engine, TheTimerRunsOnlyWhileSomethingNeedsIt) {
    EXPECT_EQ(view.tickNeed, TickNeed::None);
    LoadGameAt(0, 3);
    EXPECT_EQ(view.tickNeed, TickNeed::Timer);
    engine->Play(); // pause
    EXPECT_EQ(view.tickNeed, TickNeed::Clock);
    engine->Play();
    SendLevels(1000);
    engine->StopPlayer();
    EXPECT_EQ(view.tickNeed, TickNeed::Timer); // the meters still show what was heard
    Tick(CMeterFeed::kSettleTicks - 1);
    EXPECT_EQ(view.tickNeed, TickNeed::Timer);
    EXPECT_EQ(view.leftLevel, 0);
    Tick(1);
    EXPECT_EQ(view.tickNeed, TickNeed::None);
    EXPECT_EQ(view.shown.elapsed, "");

    core.answers = false;
    engine->PlayClip(5); // asked for, not yet started
    EXPECT_EQ(view.tickNeed, TickNeed::Timer);
    engine->StopPlayer();
    EXPECT_EQ(view.tickNeed, TickNeed::None);
    engine->LoadGame(1, 2);
    core.Send(CORE_MSG_BUSY); // a load the core is working on
    EXPECT_EQ(view.tickNeed, TickNeed::Timer);
    core.answers = true;
    LoadGameAt(0, 3);
    engine->StopPlayer();
    engine->Rec();
    EXPECT_EQ(view.tickNeed, TickNeed::Timer);
    engine->Play();
    EXPECT_EQ(engine->Status().state, PlayerState::RecordingPaused);
    EXPECT_EQ(view.tickNeed, TickNeed::Clock);
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
        EXPECT_EQ(FormatTime(c.seconds, false), c.shortForm);
        EXPECT_EQ(FormatTime(c.seconds, true), c.verbose);
    }
}

TEST_F(Engine, CoreMessagesThatEndOrRefuseAGame) {
    LoadGameAt(0, 3);
    core.Send(CORE_MSG_CLIP_STARTED, nullptr, CORE_SILENCE_CLIP); // changes nothing
    EXPECT_EQ(engine->Status().currentClip, 3);
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(core.Send(14), 0); // unknown codes are ignored
    core.SendText(CORE_MSG_ERROR, "disk on fire");

    core.Send(CORE_MSG_GAME_GONE);
    EXPECT_EQ(engine->Status().state, PlayerState::Idle);
    EXPECT_EQ(engine->Status().currentClip, -1);
    EXPECT_EQ(view.shown.gameName, "");
    core.Send(CORE_MSG_LOAD_FAILED);
    EXPECT_EQ(engine->Status().currentGame, -1);
    // What needs a person waits for the window's event loop, and is told once.
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(view.personNeeded, 2);
    engine->ServePerson();
    engine->ServePerson();
    EXPECT_EQ(dialogs.Texts(), (Calls{"Sound Core reported an error: disk on fire",
                                      "An error occurred while trying to load the ROM image"}));
    EXPECT_EQ(dialogs.shown[1].icon, MessageIcon::Error);
}

// A tune of known length ends when its length has been heard: the silence
// policy acts then, once, the clock never reads past the length, and a
// recording ends there too.
TEST_F(Engine, ATuneOfKnownLengthEndsAtItsLength) {
    core.tellsTunes = true;
    core.tunes = {"", "Intro", "Theme"};
    core.lengthsMs = {-1, 7680, 20000};
    config.OnSilence = static_cast<int>(OnSilencePolicy::NextClip);
    LoadGameAt(0, 1);
    core.positionMs = 7650;
    now += 9; // whole seconds: the clock may run ahead of the sound
    Tick(7);
    EXPECT_EQ(view.shown.elapsed, "00:08 / 00:08");
    EXPECT_EQ(engine->Status().currentClip, 1);
    core.positionMs = 7680;
    Tick(1);
    EXPECT_EQ(engine->Status().currentClip, 2);

    config.OnSilence = static_cast<int>(OnSilencePolicy::DoNothing);
    core.positionMs = 20000;
    Actions();
    Tick(3); // acted on once: nothing more for the core than its service calls
    EXPECT_EQ(Actions(), Calls(3, "Command(SERVICE, 0)"));

    engine->PlayClip(1);
    engine->Rec();
    core.SendPathRequest(CORE_MSG_WAV_PATH, "");
    core.positionMs = 7680;
    Tick(1);
    EXPECT_EQ(engine->Status().state, PlayerState::Stopped);
}

// While a long seek keeps the player busy, the clip stands at the seek's
// target for the arrows and the desktop, in the state it had, and the
// transport acts on that state: PLAY pauses it, STOP stops it (and never
// unloads the game, as STOP during a load does).
TEST_F(Engine, ASeekUnderWayCountsFromItsTarget) {
    core.tellsTunes = true;
    core.tunes = {"", "Long Shaft"};
    core.lengthsMs = {-1, 180000};
    LoadGameAt(0, 1);
    engine->Listening().SeekTo(146000);
    core.Send(CORE_MSG_BUSY); // a C64 tune is played there unheard
    EXPECT_EQ(engine->Status().state, PlayerState::Busy);
    EXPECT_EQ(engine->Status().StateOfTheClip(), PlayerState::Playing);
    EXPECT_EQ(engine->Listening().PositionMs(), 146000);
    ClockTicks(1); // the clock shows where the seek goes, and says so
    EXPECT_EQ(view.shown.elapsed, "seeking 02:26");
    EXPECT_EQ(view.shown.positionSeconds, 146);
    Actions();
    engine->Listening().SeekBy(5);
    EXPECT_EQ(Actions(), Calls{"Command(SEEK, 151000)"});
    engine->Play();
    EXPECT_EQ(Actions(), Calls{"Command(PAUSE, 0)"});
    EXPECT_EQ(engine->Status().StateOfTheClip(), PlayerState::Paused);
    core.Send(CORE_MSG_SEEKED, nullptr, 151000);
    EXPECT_EQ(engine->Status().state, PlayerState::Paused);
    engine->Play();
    engine->Listening().SeekTo(20000);
    core.Send(CORE_MSG_BUSY);
    Actions();
    engine->StopPlayer();
    EXPECT_EQ(Actions(), Calls{"Command(PAUSE, 0)"});
    EXPECT_EQ(engine->Status().state, PlayerState::Stopped);
    EXPECT_GE(engine->Status().currentGame, 0);
    core.Send(CORE_MSG_SEEKED, nullptr, 20000);
    EXPECT_EQ(engine->Status().state, PlayerState::Stopped);
    engine->Play();

    // After the silence played around a recording, another game's clip can
    // be sought at once.
    engine->Rec();
    core.SendPathRequest(CORE_MSG_WAV_PATH, "");
    engine->Rec(); // kept: the core plays silence, which is never told
    engine->LoadGame(1, 1);
    EXPECT_TRUE(engine->Listening().CanSeek());
}

// The titles tarvo-add leaves are taken over by a rename before they are
// read; titles left from a take whose save failed are taken first.
TEST_F(Engine, TitlesLeftByTarvoAddAreTakenOverAndNoneIsLost) {
    const std::string pending = std::string(kPendingClipDataName);
    temp.Write(pending + ".taken", "alpha:title 1 Left Over\n");
    temp.Write(pending, "alpha:title 2 New One\n");
    engine->Setup().ImportPendingClipData();
    EXPECT_EQ(Clips(0).GetTitle(1), "Left Over");
    EXPECT_EQ(Clips(0).GetTitle(2), "New One");
    EXPECT_FALSE(std::filesystem::exists(temp.File(pending)));
    EXPECT_FALSE(std::filesystem::exists(temp.File(pending + ".taken")));
    EXPECT_NE(temp.Read("tarvoclips.dat").find("alpha:title 2 New One"), std::string::npos);
}

TEST_F(Engine, PathRequestsFindArchivesInAnyCaseAndNameRecordings) {
    std::string roms = temp.MakeFolder("roms");
    temp.Write("roms/alpha.zip", "z");
    romList.AddFolder(roms);
    romList.ScanROMFolders();
    struct Case {
        const char* asked;
        std::string answer;
        int result;
    } cases[] = {{"alpha", roms + "alpha.zip", 1},
                 {"ALPHA.zip", roms + "alpha.zip", 1},
                 {"nobody.zip", "nobody.zip", 0}};
    for (const Case& c : cases) {
        int result = -1;
        EXPECT_EQ(core.SendPathRequest(CORE_MSG_ROM_PATH, c.asked, &result), c.answer);
        EXPECT_EQ(result, c.result);
    }
    EXPECT_TRUE(dialogs.shown.empty());
    std::filesystem::remove(roms + "alpha.zip"); // found by the scan, gone since
    EXPECT_EQ(core.SendPathRequest(CORE_MSG_ROM_PATH, "alpha.zip"), "alpha.zip");
    engine->ServePerson(); // not inside the core's call
    EXPECT_EQ(dialogs.Texts(),
              Calls{"ERROR: CoreMessage() - Unable to find " + roms + "alpha.zip"});

    LoadGameAt(0, 7);
    now = 1700000000;
    EXPECT_EQ(core.SendPathRequest(CORE_MSG_WAV_PATH, ""), temp.Path() + "alpha-7-1700000000.wav");

    // The measures of loudness are kept beside the clip information, by the
    // Tarvo that keeps its files.
    int result = -1;
    EXPECT_EQ(core.SendPathRequest(CORE_MSG_LOUDNESS_PATH, "", &result),
              temp.Path() + "tarvoloudness.dat");
    EXPECT_EQ(result, 1);
    engine->Setup().KeepNoFiles();
    EXPECT_EQ(core.SendPathRequest(CORE_MSG_LOUDNESS_PATH, "", &result), "");
    EXPECT_EQ(result, 0);
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

TEST_F(Recording, StartsAndSavesWithTheirSequencesAndBlinksWhenPaused) {
    LoadGameAt(0, 7);
    engine->Rec();
    EXPECT_EQ(Actions(),
              (Calls{"Command(RESUME, 0)", "Command(PLAY_CLIP, 32000)", "SetOption(RECORD, 1)",
                     "Command(RESUME, 0)", "Command(PLAY_CLIP, 7)"}));
    EXPECT_EQ(engine->Status().state, PlayerState::Recording);
    engine->Play();
    EXPECT_EQ(engine->Status().state, PlayerState::RecordingPaused);
    std::vector<int> play, rec;
    for (int i = 0; i < 2; ++i) {
        ClockTicks(1);
        play.push_back(view.playIcon);
        rec.push_back(view.recIcon);
    }
    EXPECT_NE(play[0], play[1]);
    EXPECT_NE(rec[0], rec[1]);

    StartRecordingClip();
    dialogs.paths = {temp.File("kept")};
    engine->Rec();
    EXPECT_EQ(Actions(), (Calls{"SetOption(RECORD, 0)", "Command(RESUME, 0)",
                                "Command(PLAY_CLIP, 32000)", "Command(PAUSE, 0)"}));
    EXPECT_EQ(engine->Status().state, PlayerState::Stopped);
    EXPECT_EQ(dialogs.pickerTitles, Calls{"Save Recording"});
    EXPECT_EQ(dialogs.initialNames, Calls{"07 alpha.wav"}); // the clip has no title
    EXPECT_EQ(temp.Read("kept.wav"), "RIFF....");
    EXPECT_FALSE(std::filesystem::exists(TempWav()));

    // The next take is named after its clip's title, in the folder and the
    // format of the last, which the settings keep for the next start.
    Clips(0).SetTitle(7, "Boss: Round/2");
    engine->ShowClipInformation();
    const std::string elsewhere = temp.MakeFolder("takes");
    StartRecordingClip();
    dialogs.paths = {elsewhere + "second.wav"};
    engine->Rec();
    EXPECT_EQ(dialogs.initialNames.back(), temp.File("07 Boss_ Round_2.wav"));
    EXPECT_EQ(config.LastRecording.folder + "/", elsewhere);
    config.LastRecording.format = "ogg"; // as the last start left it
    StartRecordingClip();
    dialogs.paths = {};
    engine->Rec(); // cancelled: the folder and format stay
    EXPECT_EQ(dialogs.initialNames.back(), elsewhere + "07 Boss_ Round_2.ogg");
    EXPECT_EQ(config.LastRecording.folder + "/", elsewhere);
}

// Where the recording goes: a name without an extension gets ".wav" and is
// asked about again if it exists; other names stay as typed; a cancel
// deletes the recording; a failed move keeps it and says where.
TEST_F(Recording, TheSavedFileIsWhereTheUserSaidOrTheUserIsTold) {
    const std::string replace = "take.wav already exists.\nDo you want to replace it?";
    struct Case {
        const char* name;
        Calls paths;
        std::vector<bool> answers;
        const char* savedAs;
        Calls said;
        bool tempKept;
    } cases[] = {
        {"extension added", {"take", "take"}, {false, true}, "take.wav", {replace, replace}, false},
        {"other extension", {"take.snd"}, {}, "take.snd", {}, false},
        {"cancelled", {}, {}, nullptr, {}, false},
        {"no such folder",
         {"no/such/take.wav"},
         {},
         nullptr,
         {"ERROR: Failed to save WAV File.  A copy of the recording is saved as:\n\n"},
         true},
        {"damaged recording converted",
         {"take.ogg"},
         {},
         nullptr,
         {"ERROR: Failed to save WAV File.  A copy of the recording is saved as:\n\n"},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        temp.Write("take.wav", "old");
        temp.Write("take.snd", "old");
        dialogs = ScriptedDialogs();
        for (const std::string& path : c.paths)
            dialogs.paths.push_back(temp.File(path));
        dialogs.answers = {c.answers.begin(), c.answers.end()};
        StartRecordingClip();
        engine->StopPlayer();
        if (c.savedAs) {
            EXPECT_EQ(temp.Read(c.savedAs), "RIFF....");
        }
        Calls said = c.said;
        if (c.tempKept) said.back() += TempWav();
        EXPECT_EQ(dialogs.Texts(), said);
        EXPECT_EQ(std::filesystem::exists(TempWav()), c.tempKept);
    }
}

// A FLAC or Ogg name converts the recording, tagged with what the player shows.
TEST_F(Recording, AFlacNameConvertsTheRecordingWithItsTags) {
    romList.GetEntry(0)->clipInfo.SetTitle(7, "Theme");
    romList.GetEntry(0)->extraInfo = "1991, Prototype";
    StartRecordingClip();
    std::filesystem::copy_file(TARVO_TEST_DATA "/wav-bytes/ramps.wav", TempWav(),
                               std::filesystem::copy_options::overwrite_existing);
    dialogs.paths = {temp.File("take.FLAC")};
    engine->StopPlayer();
    const SoundFileContent kept = ReadSoundFile(temp.File("take.FLAC"));
    EXPECT_EQ(kept.samples.size(), 600u);
    EXPECT_EQ(kept.tags, "Theme|Alpha Story|Tarvo Soft|1991|7");
    EXPECT_FALSE(std::filesystem::exists(TempWav()));
    EXPECT_TRUE(dialogs.shown.empty());

    // A name typed without an extension takes the filter's the picker was left on.
    StartRecordingClip();
    std::filesystem::copy_file(TARVO_TEST_DATA "/wav-bytes/ramps.wav", TempWav(),
                               std::filesystem::copy_options::overwrite_existing);
    dialogs.paths = {temp.File("flacnoext")};
    dialogs.saveFilter = 1; // "FLAC Files"
    engine->StopPlayer();
    EXPECT_EQ(ReadSoundFile(temp.File("flacnoext.flac")).samples.size(), 600u);
}

TEST_F(Recording, NextSavesFirstThenPlaysWithoutRecording) {
    StartRecordingClip();
    dialogs.paths = {temp.File("first.wav")};
    engine->Next();
    const auto actions = Actions();
    EXPECT_EQ(actions.front(), "SetOption(RECORD, 0)");
    EXPECT_EQ(actions.back(), "Command(PLAY_CLIP, 8)");
    EXPECT_EQ(engine->Status().state, PlayerState::Playing);
    EXPECT_TRUE(std::filesystem::exists(temp.File("first.wav")));
}

TEST_F(Recording, EndsByItselfAfterTheLongestRecordingTime) {
    config.MaxWAVTime = 60;
    StartRecordingClip();
    dialogs.paths = {temp.File("long.wav")};
    now += 60; // whole seconds: perhaps only 59.01 s of sound so far
    ClockTicks(1);
    EXPECT_EQ(engine->Status().state, PlayerState::Recording);
    now += 1;
    ClockTicks(1);
    EXPECT_EQ(engine->Status().state, PlayerState::Stopped);
    EXPECT_TRUE(dialogs.paths.size() == 1); // the picker waits for the window's event loop
    engine->ServePerson();
    EXPECT_TRUE(std::filesystem::exists(temp.File("long.wav")));
}
