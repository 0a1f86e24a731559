// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/MeterFeed.h"

#include <algorithm>

namespace tarvo {

namespace {

int PeakOf(const int16_t* frames, int frameCount, int channel) {
    int peak = 0;
    for (int i = 0; i < frameCount; ++i)
        peak = std::max<int>(peak, frames[2 * i + channel]);
    return peak;
}

} // namespace

void CMeterFeed::Reset() {
    m_history.Reset();
    m_ticksLeft = 0;
}

void CMeterFeed::Take(const int16_t* frames, int frameCount) {
    m_ticksLeft = kSettleTicks;
    if (!frames || frameCount <= 0) return;
    const int left = PeakOf(frames, frameCount, 0);
    const int right = PeakOf(frames, frameCount, 1);
    if (left > 0 || right > 0) ++m_audibleReports;
    m_history.Store(left, right);
}

void CMeterFeed::Advance(int& left, int& right) {
    m_history.Advance(left, right);
    if (m_ticksLeft > 0) --m_ticksLeft;
}

} // namespace tarvo
