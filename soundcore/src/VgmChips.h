// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chips of arcade VGM files that this core's own engine plays, which
// libgme does not: where the header gives each one's clock.

#include <cstddef>

namespace tarvocore {

struct VgmChip {
    size_t clockOffset;
    const char* name;
};

constexpr VgmChip kSegaPcmChip{0x38, "SegaPCM"};
constexpr VgmChip kOkim6295Chip{0x98, "OKIM6295"};
constexpr VgmChip kArcadeChips[] = {kSegaPcmChip, kOkim6295Chip};

// Bit 30 of a clock: the file drives two chips of the kind.
constexpr unsigned kSecondChipBit = 1u << 30;
constexpr unsigned kClockMask = 0x3FFFFFFF;
// The clocks the boards ran their chips at lie well within these.
constexpr unsigned kMinArcadeClock = 100000;
constexpr unsigned kMaxArcadeClock = 50000000;

} // namespace tarvocore
