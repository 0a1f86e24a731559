// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chips/SharedRom.h"

#include <cstdint>

namespace tarvocore {

// Yamaha's ADPCM-B (delta-T) channel, of the YM2610 and the Y8950: 4-bit
// ADPCM from a sample ROM, between a start and an end address, at a rate its
// delta-N sets (65536 is the chip's own sample rate), looped when asked,
// under an 8-bit level, sent left, right or both. Its registers, from the
// chip's first: control (start, repeat, reset), sides, start and end address
// (low, high; in units of 2^shift bytes), delta-N (low, high) and level.
class CAdpcmB {
public:
    // The register numbers of the chip's first, counted from it.
    enum Register : uint8_t {
        kControl = 0x00,
        kSides = 0x01,
        kStartLow = 0x02,
        kStartHigh = 0x03,
        kEndLow = 0x04,
        kEndHigh = 0x05,
        kDeltaNLow = 0x09,
        kDeltaNHigh = 0x0A,
        kLevel = 0x0B,
    };

    explicit CAdpcmB(int addressShift = 8) : m_addressShift(addressShift) {}
    // Silent, its registers cleared; the mute and the ROM stay.
    void Reset();
    void Write(uint8_t reg, uint8_t value);
    void Mute(bool muted) { m_muted = muted; }
    CSharedRom& Rom() { return m_rom; }
    bool Playing() const { return m_playing; }
    // The next sample at the chip's rate, left and right: a full-scale
    // signal at full level gives 8192. Between two decoded steps the signal
    // goes by a straight line, as the chip's own interpolation does.
    void NextSample(double& left, double& right);

    // One step of the decoder: the 16-bit signal and the step size move by the nibble.
    struct Decoder {
        int signal = 0;
        int step = 127;
        int Decode(uint8_t nibble);
    };

private:
    void Start();
    uint8_t RomByte(uint32_t at) const { return at < m_rom.size() ? m_rom[at] : 0; }

    CSharedRom m_rom;
    int m_addressShift;
    uint8_t m_registers[16]{};
    bool m_playing = false;
    bool m_muted = false;
    uint32_t m_nibble = 0;   // the next nibble to decode
    uint32_t m_end = 0;      // the last nibble
    uint32_t m_position = 0; // of 65536, between the last two steps
    int m_previous = 0;
    Decoder m_decoder;
};

} // namespace tarvocore
