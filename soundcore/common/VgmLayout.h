// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What both the core and the arcade engine read of a VGM file's layout: where
// its commands are, how long each command is, and the clocks of the arcade
// chips that this core's own engine plays, which libgme does not.

#include "common/MusicData.h"

#include <cstddef>
#include <cstdint>

namespace tarvocore {

struct VgmChip {
    size_t clockOffset;
    const char* name;
};

constexpr VgmChip kYm2151Chip{0x30, "YM2151"};
constexpr VgmChip kSegaPcmChip{0x38, "SegaPCM"};
constexpr VgmChip kYm2203Chip{0x44, "YM2203"};
constexpr VgmChip kOkim6295Chip{0x98, "OKIM6295"};
constexpr VgmChip kArcadeChips[] = {kYm2151Chip, kSegaPcmChip, kYm2203Chip, kOkim6295Chip};

// Bit 30 of a clock: the file drives two chips of the kind.
constexpr uint32_t kSecondChipBit = 1u << 30;
constexpr uint32_t kClockMask = 0x3FFFFFFF;
// The clocks the boards ran their chips at lie well within these.
constexpr uint32_t kMinArcadeClock = 100000;
constexpr uint32_t kMaxArcadeClock = 50000000;

struct VgmLayout {
    uint32_t version = 0;
    size_t dataStart = 0; // 0: not a VGM file, or its header points outside it
    size_t end = 0;
};

VgmLayout ReadVgmLayout(const Bytes& data);
// The length of each command of the format, so commands for other chips are
// stepped over; 0 for a byte that is no command (data blocks excepted).
size_t VgmCommandLength(uint8_t command);
// A chip's clock field (bits 30 and 31 included), 0 when the file does not
// use it. Files before 1.10 give the YM2151 the YM2413's clock; such a file
// is for the YM2151 when its first chip command writes to one.
uint32_t ArcadeChipClock(const Bytes& data, const VgmLayout& layout, const VgmChip& chip);

} // namespace tarvocore
