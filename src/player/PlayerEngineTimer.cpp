// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's timer: the 30 ms service tick, the clock tick every seventh,
// the time fields and the limits on how long a clip plays or records, the
// end at a known length among them.
#include "core/TarvoCore.h"
#include "player/PlayerEngine.h"
#include "player/TimeText.h"
#include "settings/Config.h"

#include <algorithm>

namespace tarvo {

namespace {

constexpr int kPlayIcon = 105;
constexpr int kPauseIcon = 106;
constexpr int kRecIcon = 101;
constexpr int kEmptyIcon = 108;

} // namespace

void CPlayerEngine::TimerTick() {
    const CPersonQueue::Reacting reacting(m_person);
    m_core.Command(CORE_CMD_SERVICE, 0);
    EndAtKnownLength();
    int left = 0, right = 0;
    m_meters.Advance(left, right);
    m_view.SetMeterLevels(left, right);
    m_clockSubdivider = (m_clockSubdivider + 1) % kTicksPerClockTick;
    if (m_clockSubdivider == 0) ClockTick();
    UpdateTicking();
}

TickNeed CPlayerEngine::TickNeeded() const {
    const bool sounding =
        m_status.state == PlayerState::Playing || m_status.state == PlayerState::Recording;
    if (sounding || m_status.state == PlayerState::Busy || m_status.pendingClip >= 0 ||
        m_meters.Settling() || m_status.seekPending || m_export.Running())
        return TickNeed::Timer;
    if (m_status.state == PlayerState::Paused || m_status.state == PlayerState::RecordingPaused)
        return TickNeed::Clock;
    return TickNeed::None;
}

// The timer runs only while something needs it; when it stops, the time box
// and the window icon show the idle player at once rather than at a tick.
void CPlayerEngine::UpdateTicking() {
    const TickNeed need = TickNeeded();
    if (need == m_tickNeed) return;
    m_tickNeed = need;
    if (need == TickNeed::None) {
        ShowElapsed(false);
        m_view.AdvanceWindowIcon();
    }
    m_view.SetTickNeed(need);
}

void CPlayerEngine::ShowElapsed(bool visible) {
    FillTimeFields(visible);
    m_view.ShowFields(m_status.fields);
}

void CPlayerEngine::FillTimeFields(bool visible) {
    const int length =
        m_status.progress.lengthMs < 0 ? -1 : (m_status.progress.lengthMs + 500) / 1000;
    // The clock counts whole seconds from the start: it never reads past the end.
    const int elapsed =
        length >= 0 ? std::min(m_status.progress.elapsed, length) : m_status.progress.elapsed;
    m_status.fields.elapsed.clear();
    if (visible) m_status.fields.elapsed = FormatTime(elapsed, false);
    if (visible && length >= 0) m_status.fields.elapsed += " / " + FormatTime(length, false);
    // The field holds about fourteen characters: the length gives way to the word.
    if (visible && m_status.Seeking())
        m_status.fields.elapsed = "seeking " + FormatTime(elapsed, false);
    m_status.fields.positionSeconds =
        visible || IsPaused(m_status.state) || m_status.Seeking() ? elapsed : 0;
    m_status.fields.lengthSeconds = length;
    m_status.fields.rangeSeconds = static_cast<int>((m_listening.SeekRangeMs() + 500) / 1000);
    m_status.fields.canSeek = m_listening.CanSeek();
}

void CPlayerEngine::ClockTick() {
    m_blinkPhase = !m_blinkPhase;
    m_view.AdvanceWindowIcon();
    bool timing = true;
    switch (m_status.state) {
    case PlayerState::Recording:
        m_view.SetRecIcon(m_blinkPhase ? kRecIcon : kEmptyIcon);
        [[fallthrough]];
    case PlayerState::Playing:
        m_status.progress.RunClock();
        ShowElapsed(true);
        break;
    case PlayerState::RecordingPaused:
        m_view.SetRecIcon(m_blinkPhase ? kRecIcon : kEmptyIcon);
        [[fallthrough]];
    case PlayerState::Paused:
        m_view.SetPlayIcon(m_blinkPhase ? kPauseIcon : kEmptyIcon);
        m_status.progress.HoldClock();
        ShowElapsed(m_blinkPhase);
        break;
    case PlayerState::Busy:
        ShowElapsed(m_status.seekPending); // a seek under way shows where it goes
        timing = false;
        break;
    default:
        ShowElapsed(false);
        timing = false;
        break;
    }
    if (timing) ApplyTimeLimits();
}

void CPlayerEngine::ApplyTimeLimits() {
    // A recording ends by itself once it has run the longest time the user
    // allows. The clock counts whole seconds, so an elapsed time of n may be
    // as little as n - 1 real seconds: only beyond the limit is it sure to hold
    // all of it.
    if (m_status.state == PlayerState::Recording &&
        m_status.progress.elapsed > m_config.MaxWAVTime) {
        StopPlayer();
        return;
    }
    if (!m_config.EnforceLoopTime) return;
    FadeBeforeTheLoopLimit();
    if (m_status.progress.elapsed <= m_config.MaxLoopTime) return;
    if (m_config.OnSilence == static_cast<int>(OnSilencePolicy::NextClip))
        Next();
    else
        StopPlayer();
}

// The last seconds before the loop limit fade out, so the limit ends a tune
// already silent; the fade is the one every tune ends with, no longer than
// the limit. It starts on the clock tick whose elapsed time is the fade's
// length in whole seconds before the one on which the limit acts, and lasts
// half a second less: the ticks' own jitter cannot make the limit cut it short.
void CPlayerEngine::FadeBeforeTheLoopLimit() {
    const int fadeSeconds = std::min(m_config.FadeSeconds, m_config.MaxLoopTime);
    if (m_status.progress.fading || fadeSeconds <= 0 ||
        m_status.progress.elapsed < m_config.MaxLoopTime + 1 - fadeSeconds)
        return;
    m_status.progress.fading = true;
    m_core.SetOption(CORE_OPT_FADE_OUT_MS, fadeSeconds * 1000 - 500);
}

// A tune of known length ends when its length has been heard, as its export
// does: the silence policy acts then, not seconds later once the silence
// detector has heard enough of the quiet after it. A recording ends there.
void CPlayerEngine::EndAtKnownLength() {
    const bool sounding =
        m_status.state == PlayerState::Playing || m_status.state == PlayerState::Recording;
    if (!sounding || m_status.progress.endedAtLength || m_status.progress.lengthMs <= 0 ||
        m_status.seekPending || m_status.pendingClip >= 0 || !m_config.PlayKnownLength)
        return;
    if (m_core.GetInt(CORE_INT_POSITION_MS, 0) < m_status.progress.lengthMs) return;
    m_status.progress.endedAtLength = true;
    if (!IsRecording(m_status.state)) {
        OnSilenceDetected();
        return;
    }
    StopPlayer(); // keeps the recording
    if (m_config.OnSilence == static_cast<int>(OnSilencePolicy::NextClip)) Next();
}

} // namespace tarvo
