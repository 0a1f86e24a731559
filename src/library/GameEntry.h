// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/ClipInfo.h"

#include <string>
#include <vector>

namespace tarvo {

// One game the sound core supports, with the path of its ROM archive when a
// scan found one, and its clip information.
struct CGameEntry {
    std::string romName;
    std::string title;
    std::string extraInfo;
    std::string manufacturer;
    std::string driverName;
    std::string driverDetails; // what the core reported when it loaded the game
    std::string romPath;       // empty: missing
    bool addedByUser = false;  // added by tarvo-add: its name, maker and year may change
    CClipInfo clipInfo;
    // The tunes' lengths in ms, by clip, as the core told them when the game
    // last loaded this run (-1 where unknown); empty before it loaded.
    std::vector<int> knownLengthsMs;

    bool IsAvailable() const { return !romPath.empty(); }
    // A clip's known length as "m:ss", or "" when it is not known.
    std::string LengthText(int clip) const { return LengthTextOf(knownLengthsMs, clip); }
};

} // namespace tarvo
