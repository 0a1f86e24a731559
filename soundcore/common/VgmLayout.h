// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What both the core and the arcade engine read of a VGM file's layout: where
// its commands are, how long each command is, and the clocks of the arcade
// chips that this core's own engine plays, which libgme does not.

#include "common/MusicData.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarvocore {

// A chip's clock must lie within what the boards that used it ran it at,
// with a margin: a file cannot make a chip run many times faster than any
// board did, and so take the emulator many times the work for each sample
// heard.
struct VgmChip {
    size_t clockOffset;
    const char* name;
    uint32_t minClock;
    uint32_t maxClock;
};

// YM2151: 3.58 or 4 MHz on the boards.
constexpr VgmChip kYm2151Chip{0x30, "YM2151", 1000000, 5000000};
// SegaPCM: 4 MHz (a 32 MHz crystal divided by 8), some rips 15.625 MHz.
constexpr VgmChip kSegaPcmChip{0x38, "SegaPCM", 1000000, 20000000};
// YM2203: 1.5 to 4 MHz.
constexpr VgmChip kYm2203Chip{0x44, "YM2203", 500000, 6000000};
// OKIM6295: 1 to 4 MHz (1, 1.056, 1.5, 2 and 4 MHz are common).
constexpr VgmChip kOkim6295Chip{0x98, "OKIM6295", 500000, 5000000};
// AY-3-8910: 1.5 to 2 MHz (1.79 MHz, half an NTSC colour crystal, most often).
constexpr VgmChip kAy8910Chip{0x74, "AY-3-8910", 500000, 4000000};
// YM3812 (OPL2) and YM3526 (OPL): 3 to 4 MHz (3.58 MHz most often).
constexpr VgmChip kYm3812Chip{0x50, "YM3812", 1000000, 5000000};
constexpr VgmChip kYm3526Chip{0x54, "YM3526", 1000000, 5000000};
// YMF262 (OPL3): 14.32 MHz, four times the NTSC colour crystal.
constexpr VgmChip kYmf262Chip{0x5C, "YMF262", 8000000, 18000000};
// YM2610 and YM2610B (bit 31 of the clock): 8 MHz on the Neo Geo and Taito's boards.
constexpr VgmChip kYm2610Chip{0x4C, "YM2610", 4000000, 10000000};
constexpr uint32_t kYm2610BBit = 1u << 31;
// Y8950: 3.58 MHz, as the YM3526 it contains.
constexpr VgmChip kY8950Chip{0x58, "Y8950", 1000000, 5000000};
// K053260: 3.58 MHz on Konami's boards.
constexpr VgmChip kK053260Chip{0xAC, "K053260", 1000000, 5000000};
// C140: its clock is its sample rate, about 21.4 kHz (8 MHz / 374) on
// Namco's System 2 and System 21. The byte at 0x96 says how the board banks
// its ROM: 0 System 2, 1 System 21, 2 the C219 of the NA-1 and NA-2 (not played).
constexpr VgmChip kC140Chip{0xA8, "C140", 8000, 100000};
constexpr size_t kC140TypeOffset = 0x96;
// uPD7759: 640 kHz on the boards. Bit 31 of the clock: slave mode, the
// board handing the chip its bytes through its port.
constexpr VgmChip kUpd7759Chip{0x8C, "uPD7759", 200000, 2000000};
constexpr uint32_t kUpd7759SlaveBit = 1u << 31;
// In the order the chips are named: the FM chips first, then the PCM and the SSG.
constexpr VgmChip kArcadeChips[] = {
    kYm2151Chip,  kYm2203Chip,   kYm2610Chip,  kYm3812Chip, kYm3526Chip,  kYmf262Chip, kY8950Chip,
    kSegaPcmChip, kOkim6295Chip, kK053260Chip, kC140Chip,   kUpd7759Chip, kAy8910Chip};

// SN76489: 3.58 or 4 MHz on the boards. Played beside an arcade chip; alone
// (a console's music), libgme plays it.
constexpr VgmChip kSn76489Chip{0x0C, "SN76489", 500000, 6000000};
// YM2612 and YM3438: 7.67 MHz (NTSC), 7.6 MHz (PAL), 8 MHz on Sega's boards.
constexpr VgmChip kYm2612Chip{0x2C, "YM2612", 1000000, 10000000};
constexpr VgmChip kCompanionChips[] = {kSn76489Chip, kYm2612Chip};

// Bit 30 of a clock: the file drives two chips of the kind.
constexpr uint32_t kSecondChipBit = 1u << 30;
constexpr uint32_t kClockMask = 0x3FFFFFFF;

struct VgmLayout {
    uint32_t version = 0;
    size_t dataStart = 0; // 0: not a VGM file, or its header points outside it
    size_t end = 0;
    // The header's volume modifier (1.60): the mix's gain, 2^(n/32) for n
    // from -64 to 192 (0xC1 counts as -64, as the format's own player has it).
    double volume = 1.0;
};

VgmLayout ReadVgmLayout(const Bytes& data);
// The length of each command of the format, so commands for other chips are
// stepped over; 0 for a byte that is no command (data blocks excepted).
size_t VgmCommandLength(uint8_t command);
// A chip's clock field (bits 30 and 31 included), 0 when the file does not
// use it. Files before 1.10 give the YM2151 the YM2413's clock; such a file
// is for the YM2151 when its first chip command writes to one. The
// SN76489's clock is in every version's header.
uint32_t ArcadeChipClock(const Bytes& data, const VgmLayout& layout, const VgmChip& chip);
// The chip's name as its clock field says it ("YM2610B" for the B).
std::string ArcadeChipName(const VgmChip& chip, uint32_t clockField);
// The C140's banking type (0 when the header has no such byte).
uint8_t C140Type(const Bytes& data, const VgmLayout& layout);
// Why the file's arcade chips cannot play, though their kinds can: a
// variant this core does not emulate. Empty when they can.
std::string UnplayedChipVariant(const Bytes& data, const VgmLayout& layout);

} // namespace tarvocore
