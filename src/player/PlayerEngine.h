// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/ICore.h"
#include "player/ClipProgress.h"
#include "player/CoreCalls.h"
#include "player/CoreSetup.h"
#include "player/GameExport.h"
#include "player/IPlayerView.h"
#include "player/MeterFeed.h"
#include "player/PersonQueue.h"
#include "player/PlayerState.h"
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

// A voice of the clip playing (a chip's channel), as the Voices window lists it.
struct VoiceState {
    std::string name;
    bool muted = false;
    bool operator==(const VoiceState&) const = default;
};

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
// One class over several files, one file a seam:
//   PlayerEngine.cpp            the core's life, the transport, what the window asks
//   PlayerEngineMessages.cpp    the reactions to the core's messages
//   PlayerEngineListening.cpp   lengths, seeking and voices
//   PlayerEngineRecording.cpp   recording
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

    int CurrentGame() const { return m_currentGame; }
    int CurrentClip() const { return m_currentClip; }
    int PlaylistPos() const { return m_playlistPos; }
    int PendingClip() const { return m_pendingClip; }
    PlayerState State() const { return m_state; }
    // The state of the clip for those outside (the desktop's controls): while
    // a seek keeps the player busy, the state the clip had before it.
    PlayerState StateOfTheClip() const;
    // A seek keeps the player busy until the core has done it.
    bool Seeking() const { return m_state == PlayerState::Busy && m_seekPending; }
    bool PlaylistMode() const { return m_playlistMode; }
    const PlayerFields& Fields() const { return m_fields; }

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
    int NextTarget(int from) const;
    int PrevTarget(int from) const;
    int ShufflePick() const;

    // What needs a person (a message, a picker) and came of the core's
    // messages or the timer, done now that the window's event loop runs: a
    // box opened inside the timer's tick would stop the tick, and sound and
    // meters with it. The window calls this when the view is told a person
    // is needed; each waiting thing is done once, one at a time.
    void ServePerson();

    int ClipToStart() const;
    void StartRecording();
    void SaveRecording();
    std::string MakeTempWavName() const;
    const std::string& TemporaryWavPath() const { return m_tempWavPath; }

    // The loaded game's clips to export, named with `extension` (".flac").
    std::vector<ExportItem> ExportItems(const std::string& extension);
    // The loaded game's clips rendered to files in `folder`, one after the other.
    void StartExport(std::string folder, std::vector<ExportItem> items);
    void CancelExport();
    const CGameExport& Export() const { return m_export; }

    int OnCoreMessage(int code, void* first, int second) override;
    void TimerTick();
    void ClockTick();

    // Where the clip playing is, moving it, and its voices
    // (PlayerEngineListening.cpp). A clip can be moved while it plays or is
    // paused, when its length is known; never while recording, which keeps
    // a faithful capture from the clip's start.
    int ClipLengthMs() const { return m_progress.lengthMs; }
    // How far the clip can be moved, known length or not.
    long long SeekRangeMs() const;
    static constexpr long long kUnknownLengthRangeMs = 180000;
    bool CanSeek() const;
    // To `ms` into the clip, at least its start; past its length it ends.
    void SeekTo(long long ms);
    void SeekBy(int seconds);
    long long PositionMs() const;
    std::vector<VoiceState> Voices() const;
    // voice -1: every voice.
    void SetVoiceMuted(int voice, bool muted);

    CGameEntry* LoadedGame();
    const CGameEntry* LoadedGame() const;

private:
    void OnGameGone();
    void OnGameLoaded(const char* title);
    void OnDriverDetails(const char* text);
    void OnLoadFailed();
    void OnClipStarted(int clip);
    void OnSeeked(int ms);
    void LearnClipLength(int clip);
    void OnStateMessage(PlayerState state);
    void OnSilenceDetected();
    void ClearGameFields();
    void SilenceCore();
    void ShowElapsed(bool visible);
    // The time box and the position bar's fields; `visible` false blanks the time.
    void FillTimeFields(bool visible);
    void ApplyTimeLimits();
    void EndAtKnownLength();
    void FadeBeforeTheLoopLimit();
    void UpdateButtonsAndMenus();
    void UpdateTicking();
    RecordingTags RecordingTagsNow() const;

    mutable CCoreCalls m_core; // a way to the core, as a reference to it was: queries stay const
    CCoreSetup m_setup;
    CROMList& m_romList;
    CPlaylist& m_playlist;
    Config& m_config;
    IDialogs& m_dialogs;
    IPlayerView& m_view;
    EngineClock m_clock;

    int m_currentGame = -1;
    int m_currentClip = -1;
    int m_playlistPos = -1;
    int m_pendingClip = -1;
    PlayerState m_state = PlayerState::Idle;
    bool m_playlistMode = false;
    PlayerFields m_fields;

    ClipProgress m_progress;
    bool m_seekPending = false; // asked of the core, not yet told done
    PlayerState m_stateBeforeBusy = PlayerState::Idle;
    bool m_blinkPhase = false;
    int m_clockSubdivider = 6;
    TickNeed m_tickNeed = TickNeed::Timer; // as the window starts, before Start()
    CMeterFeed m_meters;
    std::string m_tempWavPath;
    CGameExport m_export{m_core};
    CPersonQueue m_person{[this] { m_view.PersonNeeded(); }};
};

} // namespace tarvo
