// SPDX-License-Identifier: GPL-3.0-or-later
// The core's seeking and voices: a seek runs in the emulator on a thread of
// its own (a C64 tune is run there, which takes a while), and a voice muted
// or let through is heard at once by going back to the sound heard, since
// the emulator renders seconds ahead.
#include "session/SoundCore.h"

#include <algorithm>
#include <utility>

namespace tarvocore {

long CSoundCore::HeardFrame() const {
    return std::max(m_timeline.Position() - static_cast<long>(m_queuedFrames), 0L);
}

// What was rendered for the old place is dropped, and neither the meters nor
// the silence count see the part skipped.
void CSoundCore::RestartOutput() {
    m_silence.Reset();
    m_output.Flush();
    m_queuedFrames = 0;
    m_levelFill = 0;
}

void CSoundCore::Seek(int ms, bool showBusy) {
    ms = std::max(ms, 0);
    if (m_loadedGame < 0 || m_clipStart) return;
    if (m_seek) {
        m_nextSeekMs = ms; // the latest wins, once the one under way is done
        return;
    }
    const long target = static_cast<long>(ms) * kSampleRate / 1000;
    if (!m_source.HasTune() || (m_timeline.End() >= 0 && target >= m_timeline.End())) {
        // Past its end the clip has ended, and a clip gone silent (its
        // emulator stopped) has nothing to seek: either is silent from there.
        RestartOutput();
        m_timeline.JumpTo(target);
        Send(CORE_MSG_SEEKED, nullptr, ms);
        return;
    }
    m_seekMs = ms;
    m_seekToldBusy = !showBusy;
    m_seekError.clear();
    m_emulator.Launch(m_seekError); // on this thread, which outlives the job
    m_seek = std::make_unique<CBackgroundJob>(
        [this, ms] { m_seekDone = m_source.Seek(ms, m_seekError); });
    if (m_waitsForLoads) FinishSeek();
}

void CSoundCore::FinishSeek() {
    m_seek->Wait();
    m_seek.reset();
    m_voices = m_source.Voices(); // none, when the emulator stopped on the way
    RestartOutput();
    if (!m_seekDone)
        SendError("Clip " + std::to_string(m_currentClip) +
                  " cannot go on from there: " + m_seekError); // it goes on as silence
    m_timeline.JumpTo(static_cast<long>(m_seekMs) * kSampleRate / 1000);
    Send(CORE_MSG_SEEKED, nullptr, m_seekMs);
    if (m_nextSeekMs >= 0) {
        const int next = std::exchange(m_nextSeekMs, -1);
        Seek(next);
    } else {
        OnClipJobDone();
    }
}

// A new clip, or no game: a seek still running is given up by ending the
// emulator (the next request starts a fresh one).
void CSoundCore::CancelSeek() {
    m_nextSeekMs = -1;
    if (!m_seek) return;
    if (!m_seek->Done()) m_emulator.Interrupt();
    m_seek->Wait();
    m_seek.reset();
    m_voices = m_source.Voices();
}

void CSoundCore::SetVoiceMuted(int voice, bool muted) {
    const size_t voices = m_voices.size();
    if (voice >= 0 && static_cast<size_t>(voice) >= voices) return;
    m_mutedVoices.resize(std::max(voices, m_mutedVoices.size()), false);
    if (voice < 0)
        std::fill(m_mutedVoices.begin(), m_mutedVoices.end(), muted);
    else
        m_mutedVoices[static_cast<size_t>(voice)] = muted;
    m_mutesPending = true;
    if (!m_seek && !m_clipStart) ApplyMutes();
}

// The emulator hears of the mutes, then renders again from the sound heard,
// unless a recording runs: what it holds was heard, and stays as it was.
void CSoundCore::ApplyMutes() {
    m_mutesPending = false;
    std::string error;
    if (!m_source.HasTune()) return;
    if (!m_source.Mute(m_mutedVoices, error)) {
        SendError(m_sourceName + " " + error);
        return;
    }
    // Not shown as busy: the player goes on as it was, and its clock is set
    // right when the seek is done.
    if (!m_recording.IsOpen()) Seek(static_cast<int>(HeardFrame() * 1000 / kSampleRate), false);
}

void CSoundCore::OnClipJobDone() {
    if (m_mutesPending) ApplyMutes();
}

} // namespace tarvocore
