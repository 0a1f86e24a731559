// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvocore {

using Bytes = std::vector<uint8_t>;

// Largest archive member and largest inflated VGZ the core reads.
constexpr size_t kMaxMusicFileSize = 16u << 20;

// The little-endian 32-bit number at `at`; the caller checks that it lies
// within `data`.
inline uint32_t Le32(const Bytes& data, size_t at) {
    return static_cast<uint32_t>(data[at]) | static_cast<uint32_t>(data[at + 1]) << 8 |
           static_cast<uint32_t>(data[at + 2]) << 16 | static_cast<uint32_t>(data[at + 3]) << 24;
}

// A file a game holds beside its music, which some formats open by name
// (an AdLib song's instrument bank). The emulator is sent at most
// kMaxCompanions of them, each at most kMaxCompanionSize.
struct CompanionFile {
    std::string name;
    Bytes data;
};
using CompanionFiles = std::vector<CompanionFile>;
constexpr size_t kMaxCompanions = 16;
constexpr size_t kMaxCompanionSize = 1u << 20;

// A music file checked and made safe to hand to the emulator, or the reason
// why it was refused.
struct CheckedMusic {
    Bytes data;
    std::string error;       // empty when the file may be played
    std::string chipSummary; // "SN76489 3.58 MHz, YM2612 7.67 MHz"
    bool ok() const { return error.empty(); }
};

} // namespace tarvocore
