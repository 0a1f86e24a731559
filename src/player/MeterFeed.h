// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "player/VUHistory.h"

#include <cstdint>

namespace tarvo {

// The core's level reports on their way to the VU meters: their peaks,
// delayed to the sound heard, the ticks the meters still need to fall to
// nothing, and whether the clip playing has made any sound yet.
class CMeterFeed {
public:
    // After the last level report, the ticks until the meters show nothing:
    // the reports' delay, then the longest a meter holds its peak.
    static constexpr int kSettleTicks = CVUHistory::kDelay + 47;

    void Reset();
    void Take(const int16_t* frames, int frameCount);
    // The levels for this tick.
    void Advance(int& left, int& right);
    bool Settling() const { return m_ticksLeft > 0; }
    // A clip starts: its first reports may still be the sound before it.
    void ClipStarted() { m_audibleReports = -4; }
    bool HeardSound() const { return m_audibleReports > 0; }

private:
    CVUHistory m_history;
    int m_ticksLeft = 0;
    int m_audibleReports = -4;
};

} // namespace tarvo
