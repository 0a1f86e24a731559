// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace tarvo {

// How far the clip playing has got, as the player counts it: its clock in
// whole seconds from the start (held while paused), its known length, and
// what the end at that length, the loop limit's fade and the silence reports
// have done to it so far.
struct ClipProgress {
    std::function<long long()> now;
    long long startTime = 0;
    int elapsed = 0;
    int lengthMs = -1;          // -1: unknown
    bool fading = false;        // fading out before the loop limit
    bool endedAtLength = false; // the known length was heard, and acted on
    int silenceReports = 0;

    void StartClock(int seconds) {
        elapsed = seconds;
        startTime = now() - seconds;
    }
    void RunClock() { elapsed = static_cast<int>(now() - startTime); }
    void HoldClock() { startTime = now() - elapsed; }
};

} // namespace tarvo
