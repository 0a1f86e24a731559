// SPDX-License-Identifier: GPL-3.0-or-later
// Where the clip playing is, moving it there, and muting its voices: the
// core does the work, the engine keeps its clock and state in step.
#include "core/TarvoCore.h"
#include "player/PlayerEngine.h"

#include <algorithm>

namespace tarvo {

// A core that keeps no table of tunes knows no lengths.
void CPlayerEngine::LearnClipLength(int clip) {
    const bool tells = m_core.GetInt(CORE_INT_TUNE_TABLE, 0) == 1;
    const int length = tells ? m_core.GetInt(CORE_INT_TUNE_LENGTH, clip) : -1;
    m_progress.lengthMs = length > 0 ? length : -1;
}

// A tune of known length ends when its length has been heard, as its export
// does: the silence policy acts then, not seconds later once the silence
// detector has heard enough of the quiet after it. A recording ends there.
void CPlayerEngine::EndAtKnownLength() {
    const bool sounding = m_state == PlayerState::Playing || m_state == PlayerState::Recording;
    if (!sounding || m_progress.endedAtLength || m_progress.lengthMs <= 0 || m_seekPending ||
        m_pendingClip >= 0 || !m_config.PlayKnownLength)
        return;
    if (m_core.GetInt(CORE_INT_POSITION_MS, 0) < m_progress.lengthMs) return;
    m_progress.endedAtLength = true;
    if (!IsRecording(m_state)) {
        OnSilenceDetected();
        return;
    }
    StopPlayer(); // keeps the recording
    if (m_config.OnSilence == static_cast<int>(OnSilencePolicy::NextClip)) Next();
}

bool CPlayerEngine::CanSeek() const {
    const bool movable = m_state == PlayerState::Playing || m_state == PlayerState::Paused ||
                         (m_state == PlayerState::Busy && m_seekPending);
    return movable && m_pendingClip < 0;
}

// How far a clip can be moved: its known length; else, for a tune that plays
// on until the loop limit, that limit; else three minutes, and a minute past
// wherever the tune has got to beyond them.
long long CPlayerEngine::SeekRangeMs() const {
    if (m_progress.lengthMs > 0) return m_progress.lengthMs;
    if (m_config.EnforceLoopTime && m_config.MaxLoopTime > 0) return m_config.MaxLoopTime * 1000LL;
    return std::max<long long>(kUnknownLengthRangeMs, (m_progress.elapsed + 60) * 1000LL);
}

void CPlayerEngine::SeekTo(long long ms) {
    if (!CanSeek()) return;
    ms = std::clamp<long long>(ms, 0, SeekRangeMs());
    m_core.Command(CORE_CMD_SEEK, static_cast<int>(ms));
    m_seekPending = true;
    m_progress.silenceReports = 0; // silence before the seek says nothing of the sound after it
    if (m_progress.fading) {
        m_progress.fading = false; // the loop limit's fade starts again when it is due
        m_core.SetOption(CORE_OPT_FADE_OUT_MS, 0);
    }
    m_progress.StartClock(static_cast<int>(ms / 1000));
    ShowElapsed(true);
    UpdateTicking();
}

void CPlayerEngine::SeekBy(int seconds) {
    SeekTo(PositionMs() + seconds * 1000LL);
}

// While a seek runs the clip stands at its target: the arrows count from there.
long long CPlayerEngine::PositionMs() const {
    const PlayerState state = StateOfTheClip();
    if (state != PlayerState::Playing && state != PlayerState::Paused && !IsRecording(state))
        return 0;
    const long long position =
        m_seekPending ? m_progress.elapsed * 1000LL : m_core.GetInt(CORE_INT_POSITION_MS, 0);
    // The sound may run on a little past the length before the clip ends.
    return m_progress.lengthMs > 0 ? std::min<long long>(position, m_progress.lengthMs) : position;
}

PlayerState CPlayerEngine::StateOfTheClip() const {
    return m_state == PlayerState::Busy && m_seekPending ? m_stateBeforeBusy : m_state;
}

// The core is done: the clip plays on from there, paused if it was.
void CPlayerEngine::OnSeeked(int ms) {
    m_seekPending = false;
    m_progress.endedAtLength = false;
    if (m_state == PlayerState::Busy) m_state = m_stateBeforeBusy;
    m_progress.StartClock(ms / 1000);
    UpdateButtonsAndMenus();
    ShowElapsed(m_state != PlayerState::Paused || m_blinkPhase);
    m_view.ClipSeeked(ms);
    UpdateTicking();
}

std::vector<VoiceState> CPlayerEngine::Voices() const {
    std::vector<VoiceState> voices;
    if (m_currentGame < 0) return voices;
    const int count = m_core.GetInt(CORE_INT_VOICE_COUNT, 0);
    for (int voice = 0; voice < count; ++voice)
        voices.push_back({m_core.GetString(CORE_STR_VOICE_NAME, voice),
                          m_core.GetInt(CORE_INT_VOICE_MUTED, voice) == 1});
    return voices;
}

void CPlayerEngine::SetVoiceMuted(int voice, bool muted) {
    if (m_currentGame < 0) return;
    m_core.Command(muted ? CORE_CMD_MUTE_VOICE : CORE_CMD_UNMUTE_VOICE, voice);
}

} // namespace tarvo
