// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/VgmLayout.h"

#include <cmath>
#include <cstring>

namespace tarvocore {

namespace {

constexpr size_t kHeaderMinimum = 0x40;
constexpr uint8_t kYm2151Write = 0x54;

// Whether the first command that writes to a chip writes to a YM2151.
bool FirstChipIsYm2151(const Bytes& data, const VgmLayout& layout) {
    size_t at = layout.dataStart;
    for (int commands = 0; at < layout.end && commands < 100000; ++commands) {
        const uint8_t command = data[at];
        if (command == 0x67 && at + 7 <= layout.end) {
            at += 7 + (Le32(data, at + 3) & 0x7FFFFFFF);
            continue;
        }
        const bool waits = command == 0x61 || command == 0x62 || command == 0x63 ||
                           (command >= 0x70 && command <= 0x7F);
        if (!waits) return command == kYm2151Write;
        at += VgmCommandLength(command);
    }
    return false;
}

} // namespace

VgmLayout ReadVgmLayout(const Bytes& data) {
    VgmLayout layout;
    if (data.size() < kHeaderMinimum || std::memcmp(data.data(), "Vgm ", 4) != 0) return layout;
    layout.version = Le32(data, 0x08);
    const uint32_t offset = layout.version >= 0x150 ? Le32(data, 0x34) : 0;
    const size_t start = offset ? 0x34 + static_cast<size_t>(offset) : kHeaderMinimum;
    const size_t eof = static_cast<size_t>(Le32(data, 0x04)) + 4;
    layout.end = eof > start && eof <= data.size() ? eof : data.size();
    layout.dataStart = start < layout.end ? start : 0;
    if (layout.version >= 0x160 && start > 0x7C && layout.dataStart) {
        int steps = data[0x7C] > 0xC0 ? data[0x7C] - 256 : data[0x7C];
        if (steps == -63) steps = -64;
        layout.volume = std::pow(2.0, steps / 32.0);
    }
    return layout;
}

size_t VgmCommandLength(uint8_t command) {
    if (command >= 0x30 && command <= 0x3F) return 2;
    if (command >= 0x40 && command <= 0x4E) return 3;
    if (command == 0x4F || command == 0x50) return 2;
    if (command >= 0x51 && command <= 0x5F) return 3;
    if (command == 0x61) return 3;
    if (command == 0x62 || command == 0x63 || command == 0x66) return 1;
    if (command == 0x68) return 12;
    if (command >= 0x70 && command <= 0x8F) return 1;
    static constexpr size_t kStreamControl[] = {5, 5, 6, 11, 2, 5}; // 0x90 to 0x95
    if (command >= 0x90 && command <= 0x95) return kStreamControl[command - 0x90];
    if (command >= 0xA0 && command <= 0xBF) return 3;
    if (command >= 0xC0 && command <= 0xDF) return 4;
    if (command >= 0xE0) return 5;
    return 0;
}

uint32_t ArcadeChipClock(const Bytes& data, const VgmLayout& layout, const VgmChip& chip) {
    if (!layout.dataStart) return 0;
    if (chip.clockOffset == kSn76489Chip.clockOffset) {
        const uint32_t clock = Le32(data, chip.clockOffset);
        return (clock & kClockMask) ? clock : 0;
    }
    if (layout.version < 0x110) {
        const bool shared = chip.clockOffset == kYm2151Chip.clockOffset &&
                            (Le32(data, 0x10) & kClockMask) != 0 && FirstChipIsYm2151(data, layout);
        return shared ? Le32(data, 0x10) : 0;
    }
    const uint32_t clock =
        chip.clockOffset + 4 <= layout.dataStart ? Le32(data, chip.clockOffset) : 0;
    return (clock & kClockMask) ? clock : 0;
}

std::string ArcadeChipName(const VgmChip& chip, uint32_t clockField) {
    const bool modelB = chip.clockOffset == kYm2610Chip.clockOffset && (clockField & kYm2610BBit);
    return std::string(chip.name) + (modelB ? "B" : "");
}

uint8_t C140Type(const Bytes& data, const VgmLayout& layout) {
    return layout.dataStart > kC140TypeOffset ? data[kC140TypeOffset] : 0;
}

std::string UnplayedChipVariant(const Bytes& data, const VgmLayout& layout) {
    if (ArcadeChipClock(data, layout, kC140Chip) != 0 && C140Type(data, layout) > 1)
        return "it needs Namco's C219 sound chip, which this core does not emulate";
    return {};
}

} // namespace tarvocore
