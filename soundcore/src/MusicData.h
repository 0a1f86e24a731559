// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvocore {

using Bytes = std::vector<uint8_t>;

// Largest archive member and largest inflated VGZ the core reads.
constexpr size_t kMaxMusicFileSize = 16u << 20;

// A music file checked and made safe to hand to the emulator, or the reason
// why it was refused.
struct CheckedMusic {
    Bytes data;
    std::string error;       // empty when the file may be played
    std::string chipSummary; // "SN76489 3.58 MHz, YM2612 7.67 MHz"
    bool ok() const { return error.empty(); }
};

} // namespace tarvocore
