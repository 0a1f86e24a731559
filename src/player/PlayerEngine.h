// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/ICore.h"
#include "player/ClipListening.h"
#include "player/ClipOrder.h"
#include "player/ClipRecorder.h"
#include "player/CoreCalls.h"
#include "player/CoreSetup.h"
#include "player/GameExport.h"
#include "player/IPlayerView.h"
#include "player/MeterFeed.h"
#include "player/PersonQueue.h"
#include "player/PlayerStatus.h"
#include "player/RecordingConversion.h"
#include "playlist/PlaylistMoves.h"
#include "settings/Config.h"

#include <ctime>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tarvo {

class CPlaylist;
class CROMList;
class IDialogs;
struct CGameEntry;

// What the engine needs from outside and tests replace: the clock in whole
// seconds and a generator of 0 to 32767.
struct EngineClock {
    std::function<long long()> now = [] { return static_cast<long long>(std::time(nullptr)); };
    std::function<int()> random;
};

// Decides what the core plays and when: the transport, next and previous
// clip, shuffle, the reactions to the core's messages, the 30 ms timer with
// its clock tick, the loop and silence policies, recording, and the VU feed.
//
// It keeps the player's status and hands parts of the work to others: the
// order of clips (CClipOrder), moving the clip and its voices
// (CClipListening), recording (CClipRecorder), the game's export
// (CGameExport), the core's life (CCoreSetup) and the meters (CMeterFeed).
// One class over three files, one file a seam:
//   PlayerEngine.cpp            the transport and what the window asks
//   PlayerEngineMessages.cpp    the reactions to the core's messages
//   PlayerEngineTimer.cpp       the timer, the clock and the time limits
class CPlayerEngine : public ICoreListener {
public:
    static constexpr int kTimerId = 12345;
    static constexpr int kTimerPeriodMs = 30;
    static constexpr int kTicksPerClockTick = 7;
    static constexpr int kClockPeriodMs = kTimerPeriodMs * kTicksPerClockTick;
    // The files are kept every 189 s, on a timer of the window's own.
    static constexpr int kAutosavePeriodMs = 900 * kClockPeriodMs;

    CPlayerEngine(ICore& core, CROMList& romList, CPlaylist& playlist, Config& config,
                  CSettingsFile& settings, IDialogs& dialogs, IPlayerView& view,
                  std::string programFolder, EngineClock clock);

    // The core's life and the files the player keeps.
    CCoreSetup& Setup() { return m_setup; }

    // State at start-up: Idle, nothing pending, no timer; once the timer
    // runs, its first tick runs a clock tick.
    void Start();
    TickNeed TickNeeded() const;

    const PlayerStatus& Status() const { return m_status; }
    const CClipOrder& Order() const { return m_order; }
    CClipListening& Listening() { return m_listening; }
    const CClipRecorder& Recorder() const { return m_recorder; }
    // The loaded game's clips rendered to files, one after the other.
    CGameExport& Export() { return m_export; }

    // What the window asks of the player.
    void SetPlaylistMode(bool on);
    void SetBrowserTitle(const std::string& title);
    // The clip information changed (an import): the fields show it.
    void ShowClipInformation();
    void TypeClipNumber(int clip);
    void TypeClipTitle(const std::string& title);
    // A row of the list chosen to play: a clip in ROM mode, a position in Playlist mode.
    void PlayChosen(int clipOrPosition);
    // The playlist's entry at `index` moved: the position played moves with it.
    void FollowMovedEntry(PlaylistMove move, int index, int count);
    // The playlist changed or was entered: finds the playing clip in it, or
    // unloads, or stops (and with `startIfAbsent` plays the next entry).
    void FindPlayingEntry(bool startIfAbsent);

    void PlayClip(int n);
    void LoadGame(int game, int clip);
    void Unload();
    void StopPlayer();
    void Play();
    void Rec();
    void Prev();
    void Next();

    // What needs a person (a message, a picker) and came of the core's
    // messages or the timer, done now that the window's event loop runs: a
    // box opened inside the timer's tick would stop the tick, and sound and
    // meters with it. The window calls this when the view is told a person
    // is needed; each waiting thing is done once, one at a time.
    void ServePerson();

    int OnCoreMessage(int code, void* first, int second) override;
    void TimerTick();
    void ClockTick();

    CGameEntry* LoadedGame();
    const CGameEntry* LoadedGame() const;

private:
    void OnGameGone();
    void OnGameLoaded(const char* title);
    void OnDriverDetails(const char* text);
    void OnLoadFailed();
    void OnClipStarted(int clip);
    void OnSeeked(int ms);
    void OnStateMessage(PlayerState state);
    void OnSilenceDetected();
    void ClearGameFields();
    void ShowElapsed(bool visible);
    // The time box and the position bar's fields; `visible` false blanks the time.
    void FillTimeFields(bool visible);
    void ApplyTimeLimits();
    void EndAtKnownLength();
    void FadeBeforeTheLoopLimit();
    void UpdateButtonsAndMenus();
    void UpdateTicking();

    mutable CCoreCalls m_core; // a way to the core, as a reference to it was: queries stay const
    CCoreSetup m_setup;
    CROMList& m_romList;
    CPlaylist& m_playlist;
    Config& m_config;
    IDialogs& m_dialogs;
    IPlayerView& m_view;
    EngineClock m_clock;

    PlayerStatus m_status;
    bool m_blinkPhase = false;
    int m_clockSubdivider = 6;
    TickNeed m_tickNeed = TickNeed::Timer; // as the window starts, before Start()
    CMeterFeed m_meters;
    CGameExport m_export{m_core, [this] { UpdateTicking(); }};
    CPersonQueue m_person{[this] { m_view.PersonNeeded(); }};
    CClipOrder m_order;
    CClipListening m_listening;
    CClipRecorder m_recorder;
};

} // namespace tarvo
