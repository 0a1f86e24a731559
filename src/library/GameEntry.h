// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/ClipInfo.h"

#include <string>

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

    bool IsAvailable() const { return !romPath.empty(); }
};

} // namespace tarvo
