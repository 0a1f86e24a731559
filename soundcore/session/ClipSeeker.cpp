// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/ClipSeeker.h"

#include <algorithm>
#include <utility>

namespace tarvocore {

void CClipSeeker::Seek(int ms, int clip, bool showBusy, bool wait) {
    ms = std::max(ms, 0);
    if (!m_seek) {
        Begin(ms, clip, showBusy, wait);
        return;
    }
    // The latest wins: the one under way is given up where it got to, and
    // the emulator goes on from there.
    if (m_nextSeekMs < 0) m_emulator.AbandonSeek(m_seekNumber);
    m_nextSeekMs = ms;
    m_nextShowsBusy = m_nextShowsBusy || showBusy;
}

void CClipSeeker::Begin(int ms, int clip, bool showBusy, bool wait) {
    const long target = static_cast<long>(ms) * kSampleRate / 1000;
    CClipTimeline& timeline = m_output.Timeline();
    m_clip = clip;
    if (!m_source.HasTune() || (timeline.End() >= 0 && target >= timeline.End())) {
        // Past its end the clip has ended, and a clip gone silent (its
        // emulator stopped) has nothing to seek: either is silent from there.
        m_output.Restart();
        timeline.JumpTo(target);
        Tell(ms);
        return;
    }
    m_seekMs = ms;
    m_showsBusy = showBusy;
    m_wait = wait;
    m_seekError.clear();
    m_emulator.Launch(m_seekError); // on this thread, which outlives the job
    m_seek = std::make_unique<CBackgroundJob>([this, ms, number = ++m_seekNumber] {
        m_outcome = m_source.Seek(ms, number, m_seekError);
    });
    if (wait) Finish();
}

bool CClipSeeker::Busy() {
    if (!m_seek) return false;
    if (m_cancelled) {
        if (!m_seek->Done()) return true;
        Forget();
        return false;
    }
    if (!m_seek->Done()) {
        if (m_showsBusy && !m_toldBusy) m_messenger.Send(CORE_MSG_BUSY); // a long seek is shown
        m_toldBusy = m_toldBusy || m_showsBusy;
        return true;
    }
    Finish();
    return Running();
}

void CClipSeeker::Finish() {
    m_seek->Wait();
    m_seek.reset();
    if (m_nextSeekMs >= 0 && m_outcome != SeekOutcome::Failed) {
        // Replaced: the player hears only of the place it asked for last.
        const bool showBusy = std::exchange(m_nextShowsBusy, false) || m_showsBusy;
        Begin(std::exchange(m_nextSeekMs, -1), m_clip, showBusy, m_wait);
        return;
    }
    m_voices = m_source.Voices(); // none, when the emulator stopped on the way
    m_output.Restart();
    if (m_outcome == SeekOutcome::Failed)
        m_messenger.SendError("Clip " + std::to_string(m_clip) +
                              " cannot go on from there: " + m_seekError); // it goes on as silence
    m_output.Timeline().JumpTo(static_cast<long>(m_seekMs) * kSampleRate / 1000);
    Tell(m_seekMs);
    if (m_nextSeekMs >= 0) Seek(std::exchange(m_nextSeekMs, -1), m_clip, true, m_wait);
}

void CClipSeeker::Tell(int ms) {
    m_toldBusy = false;
    m_messenger.Send(CORE_MSG_SEEKED, nullptr, ms);
}

bool CClipSeeker::Cancel() {
    m_nextSeekMs = -1;
    m_nextShowsBusy = false;
    m_toldBusy = false;
    if (!m_seek) return false;
    m_cancelled = true;
    if (m_seek->Done()) {
        Forget();
        return false;
    }
    m_emulator.Interrupt();
    return true;
}

void CClipSeeker::Forget() {
    if (!m_seek) return;
    m_seek->Wait();
    m_seek.reset();
    m_cancelled = false;
}

} // namespace tarvocore
