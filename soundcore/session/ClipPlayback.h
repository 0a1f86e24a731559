// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/BackgroundJob.h"
#include "ipc/EmulatorProcess.h"
#include "playback/ClipSource.h"
#include "session/ClipSeeker.h"
#include "session/CoreMessenger.h"
#include "session/GameSession.h"
#include "session/OutputChain.h"
#include "session/TuneTiming.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvocore {

// The clip of the loaded game that plays: its file handed to the emulator on
// a thread of its own (a large file takes a while), its voices and their
// mutes, and its seeks. The emulator and the clip's source belong to the job
// under way (a clip start or a seek) while one runs, else to the caller's
// thread: nothing else touches them until the job has ended. A job a new
// clip supersedes is given up by ending its emulator and left to wind down
// on its own thread; the new clip starts when the caller next looks in.
class CClipPlayback {
public:
    // How far into a tune a replay to render a mute again is short enough to
    // be heard at once in any engine (a C64 tune replays about 20 times as
    // fast as it plays).
    static constexpr int kShortReplayMs = 2000;

    CClipPlayback(const CCoreMessenger& messenger, CEmulatorProcess& emulator,
                  const CGameSession& session, COutputChain& output, const TuneTiming& timing)
        : m_messenger(messenger), m_emulator(emulator), m_session(session), m_output(output),
          m_timing(timing) {}

    // Offline, every start and seek is done before the call that asked returns.
    void SetOffline(bool offline);
    int CurrentClip() const { return m_currentClip; }
    void SetCurrentClip(int clip) { m_currentClip = clip; }
    // Starts `clip` (CORE_SILENCE_CLIP: silence); it is told started once it is.
    void Play(int clip);
    // Silence, with nothing under way: before a game goes or the core ends.
    void Stop();
    // Looks in on a start or a seek under way; true when the clip can be
    // rendered, none being under way.
    bool Ready();
    void WaitForJobs();
    void Seek(int ms);
    // voice -1: every voice.
    void SetVoiceMuted(int voice, bool muted);
    bool VoiceMuted(int voice) const;
    void ForgetMutes() { m_mutedVoices.clear(); }
    // The voices of the last clip start or seek that finished: what the
    // caller's thread answers, whatever a job is doing.
    const std::vector<std::string>& Voices() const { return m_voices; }
    // The next frames of the clip, in `buffer` or the emulator's own block.
    int16_t* Render(int16_t* buffer, int frameCount);

private:
    void Begin(int clip);
    bool Start(const ClipLocation& location, const std::vector<bool>& muted, std::string& error);
    void FinishStart();
    // True while the start given up winds down.
    bool GiveUpStart();
    void WaitForStart();
    void StartClipEnd(const ClipLocation* clip);
    // The emulator hears of the mutes, then renders again from the sound heard.
    void ApplyMutes();

    const CCoreMessenger& m_messenger;
    CEmulatorProcess& m_emulator;
    const CGameSession& m_session;
    COutputChain& m_output;
    const TuneTiming& m_timing;
    CClipSource m_source{m_emulator};
    std::vector<std::string> m_voices;
    CClipSeeker m_seeker{m_messenger, m_emulator, m_source, m_output, m_voices};
    bool m_offline = false;
    int m_currentClip = 0;
    std::string m_sourceName; // the file the clip plays, for messages
    std::unique_ptr<CBackgroundJob> m_start;
    bool m_startGivenUp = false;   // superseded: its outcome is never told
    std::optional<int> m_nextClip; // begun once the jobs given up have ended
    bool m_started = false;
    std::string m_startError;
    // The loaded game's muted voices, and whether the emulator has yet to hear of them.
    std::vector<bool> m_mutedVoices;
    bool m_mutesPending = false;
};

} // namespace tarvocore
