// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chips/SharedRom.h"

#include <array>
#include <cstdint>

namespace tarvocore {

// Sega's PCM chip of the System 16 and OutRun boards: 16 channels of 8-bit
// samples from a sample ROM, one sample every 128 clocks. Each channel has
// eight registers at 8 x channel and eight more at 0x80 + 8 x channel:
//   +2, +3  left and right volume (7 bits)
//   +4, +5  loop address (its low and high byte; the fraction starts at 0)
//   +6      end: the channel ends or loops when its address's high byte
//           passes this one
//   +7      pitch: the address moves by this many 256ths of a byte a sample
//   +0x84, +0x85  the address now (low and high byte)
//   +0x86   bit 0 set: the channel is off; bit 1 set: it ends rather than
//           loops; the high bits pick the ROM bank
class CSegaPcm {
public:
    static constexpr int kChannels = 16;

    void Reset();
    void SetClock(uint32_t clock) { m_clock = clock; }
    double Rate() const { return static_cast<double>(m_clock) / 128.0; }
    // The board's interface register: the bank's shift (low byte) and the
    // mask of the bank bits (bits 16 to 23; 0 means 0x70).
    void SetInterface(uint32_t interface);
    CSharedRom& Rom() { return m_rom; }
    void Write(uint16_t address, uint8_t value) { m_ram[address & 0xFF] = value; }
    uint8_t Read(uint16_t address) const { return m_ram[address & 0xFF]; }
    void Mute(int channel, bool muted);
    // The next sample of every channel playing, left and right.
    void NextSample(int& left, int& right);

private:
    CSharedRom m_rom;
    uint32_t m_clock = 4000000;
    int m_bankShift = 12;
    uint32_t m_bankMask = 0x70;
    std::array<uint8_t, 0x100> m_ram{};
    std::array<uint8_t, kChannels> m_fraction{};
    std::array<bool, kChannels> m_muted{};
};

} // namespace tarvocore
