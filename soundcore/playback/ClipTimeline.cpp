// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/ClipTimeline.h"

#include <algorithm>

namespace tarvocore {

void CClipTimeline::Start(long endFrame, long fadeFrames) {
    m_played = 0;
    m_fade.Cancel();
    m_endFrame = endFrame;
    m_fadeFrame = endFrame >= 0 && fadeFrames > 0 ? std::max(endFrame - fadeFrames, 0L) : -1;
}

void CClipTimeline::JumpTo(long frame) {
    m_played = std::max(frame, 0L);
    m_fade.Cancel();
    if (m_fadeFrame >= 0 && m_played > m_fadeFrame)
        m_fade.Start(m_endFrame - m_fadeFrame, m_played - m_fadeFrame);
}

void CClipTimeline::Process(int16_t* frames, int frameCount) {
    const long start = m_played;
    m_played += frameCount;
    if (m_endFrame < 0) return;
    if (m_fade.IsActive()) {
        m_fade.Process(frames, frameCount);
    } else if (m_fadeFrame >= 0 && m_played > m_fadeFrame) {
        const long into = std::max(m_fadeFrame - start, 0L);
        m_fade.Start(m_endFrame - m_fadeFrame);
        m_fade.Process(frames + 2 * into, frameCount - static_cast<int>(into));
    }
    if (m_played <= m_endFrame) return;
    const long silentFrom = std::max(m_endFrame - start, 0L);
    std::fill(frames + 2 * silentFrom, frames + 2 * static_cast<long>(frameCount), int16_t{0});
}

} // namespace tarvocore
