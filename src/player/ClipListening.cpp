// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/ClipListening.h"

#include "core/TarvoCore.h"
#include "settings/Config.h"

#include <algorithm>

namespace tarvo {

CClipListening::CClipListening(ICore& core, PlayerStatus& status, const Config& config,
                               std::function<void()> moved)
    : m_core(core), m_status(status), m_config(config), m_moved(std::move(moved)) {}

// A core that keeps no table of tunes knows no lengths.
void CClipListening::LearnClipLength(int clip) {
    const bool tells = m_core.GetInt(CORE_INT_TUNE_TABLE, 0) == 1;
    const int length = tells ? m_core.GetInt(CORE_INT_TUNE_LENGTH, clip) : -1;
    m_status.progress.lengthMs = length > 0 ? length : -1;
}

bool CClipListening::CanSeek() const {
    const PlayerState state = m_status.state;
    const bool movable =
        state == PlayerState::Playing || state == PlayerState::Paused || m_status.Seeking();
    return movable && m_status.pendingClip < 0;
}

// How far a clip can be moved: its known length; else, for a tune that plays
// on until the loop limit, that limit; else three minutes, and a minute past
// wherever the tune has got to beyond them.
long long CClipListening::SeekRangeMs() const {
    const ClipProgress& progress = m_status.progress;
    if (progress.lengthMs > 0) return progress.lengthMs;
    if (m_config.EnforceLoopTime && m_config.MaxLoopTime > 0) return m_config.MaxLoopTime * 1000LL;
    return std::max<long long>(kUnknownLengthRangeMs, (progress.elapsed + 60) * 1000LL);
}

void CClipListening::SeekTo(long long ms) {
    if (!CanSeek()) return;
    ms = std::clamp<long long>(ms, 0, SeekRangeMs());
    m_core.Command(CORE_CMD_SEEK, static_cast<int>(ms));
    m_status.seekPending = true;
    ClipProgress& progress = m_status.progress;
    progress.silenceReports = 0; // silence before the seek says nothing of the sound after it
    if (progress.fading) {
        progress.fading = false; // the loop limit's fade starts again when it is due
        m_core.SetOption(CORE_OPT_FADE_OUT_MS, 0);
    }
    progress.StartClock(static_cast<int>(ms / 1000));
    m_moved();
}

void CClipListening::SeekBy(int seconds) {
    SeekTo(PositionMs() + seconds * 1000LL);
}

// While a seek runs the clip stands at its target: the arrows count from there.
long long CClipListening::PositionMs() const {
    const PlayerState state = m_status.StateOfTheClip();
    if (state != PlayerState::Playing && state != PlayerState::Paused && !IsRecording(state))
        return 0;
    const ClipProgress& progress = m_status.progress;
    const long long position =
        m_status.seekPending ? progress.elapsed * 1000LL : m_core.GetInt(CORE_INT_POSITION_MS, 0);
    // The sound may run on a little past the length before the clip ends.
    return progress.lengthMs > 0 ? std::min<long long>(position, progress.lengthMs) : position;
}

std::vector<VoiceState> CClipListening::Voices() const {
    std::vector<VoiceState> voices;
    if (m_status.currentGame < 0) return voices;
    const int count = m_core.GetInt(CORE_INT_VOICE_COUNT, 0);
    for (int voice = 0; voice < count; ++voice)
        voices.push_back({m_core.GetString(CORE_STR_VOICE_NAME, voice),
                          m_core.GetInt(CORE_INT_VOICE_MUTED, voice) == 1});
    return voices;
}

void CClipListening::SetVoiceMuted(int voice, bool muted) {
    if (m_status.currentGame < 0) return;
    m_core.Command(muted ? CORE_CMD_MUTE_VOICE : CORE_CMD_UNMUTE_VOICE, voice);
}

} // namespace tarvo
