// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chips/Okim6295.h"
#include "chips/SharedRom.h"

#include <array>
#include <cstdint>

namespace tarvocore {

// The YM2610's ADPCM-A: six channels of 4-bit ADPCM from a sample ROM, each
// between a start and an end address (in 256-byte units, the end's whole
// unit played), at a fixed rate (the chip's clock / 432), decoded as OKI's
// 12-bit ADPCM. Registers (the YM2610's port 1): 0x00 keys the channels its
// bits name on, or off with bit 7; 0x01 the total level; 0x08 to 0x0D each
// channel's sides and level; 0x10 to 0x2D the addresses. Both levels
// attenuate in steps of 0.75 dB.
class CAdpcmA {
public:
    static constexpr int kChannels = 6;

    // Silent, its registers cleared; mutes and the ROM stay.
    void Reset();
    void Write(uint8_t reg, uint8_t value);
    void Mute(int channel, bool muted);
    CSharedRom& Rom() { return m_rom; }
    bool Playing(int channel) const { return m_channels[static_cast<size_t>(channel)].playing; }
    // One step of every channel (at the chip's clock / 432), left and right:
    // a full-scale signal at full level gives 8192.
    void NextSample(double& left, double& right);

private:
    struct Channel {
        bool playing = false;
        bool muted = false;
        uint32_t nibble = 0; // the next to decode
        uint32_t end = 0;    // the last
        COkim6295::Decoder decoder;
    };
    void KeyOn(int channel);
    double Gain(int channel) const;

    CSharedRom m_rom;
    uint8_t m_registers[0x30]{};
    std::array<Channel, kChannels> m_channels{};
};

} // namespace tarvocore
