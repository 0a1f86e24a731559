// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/ClipInfo.h"

#include <algorithm>

namespace tarvo {

// The first and last clip typed into the Set Clip Range dialog, kept in order.
struct ClipRange {
    int firstClip = 0;
    int lastClip = 512;

    // First never above last, never below 0, and neither above the highest
    // clip number a game can hold. True when a number had to come down to
    // that limit, which the user is told.
    bool Normalize() {
        const bool capped = std::max(firstClip, lastClip) > CClipInfo::kMaxClipNumber;
        firstClip = std::min(firstClip, CClipInfo::kMaxClipNumber);
        lastClip = std::min(lastClip, CClipInfo::kMaxClipNumber);
        if (firstClip > lastClip) firstClip = lastClip;
        if (firstClip < 0) firstClip = 0;
        if (lastClip < firstClip) lastClip = firstClip;
        return capped;
    }
};

} // namespace tarvo
