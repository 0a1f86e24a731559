// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chips/OpnFm.h"
#include "chips/SharedRom.h"

#include <cstdint>

namespace tarvocore {

// Yamaha's YM2612 (OPN2) and its CMOS twin, the YM3438: six FM channels of
// four operators on the OPN's frequency number and block, in two banks of
// three (port 0 and port 1), each sent left, right or both, and an 8-bit DAC
// that takes the sixth channel's place. A sample every 144 clocks (53.3 kHz
// at 7.67 MHz).
//
// A VGM plays samples through the DAC from its PCM bank, a byte at a time at
// a place the stream moves: the bank and the place are part of the chip's
// state here, so a kept state holds them.
class CYm2612 {
public:
    static constexpr int kChannels = COpnFm::kChannels;

    CYm2612() { SetClock(7670453); }
    void Reset();
    void SetClock(uint32_t clock) { m_clock = clock; }
    double Rate() const { return m_clock / 144.0; }
    void Write(int port, uint8_t reg, uint8_t value);
    void Mute(int channel, bool muted) { m_fm.Mute(channel, muted); }
    // The next sample, left and right: a carrier at full level gives 8192,
    // and so does the DAC at either end of its range.
    void NextSample(int& left, int& right);

    // The file's PCM bank, and the next byte the DAC takes from it.
    CSharedRom& Pcm() { return m_pcm; }
    void SeekPcm(uint32_t at) { m_pcmAt = at; }
    // The DAC takes the bank's next byte (past its end, silence's middle).
    void PlayPcmByte();

private:
    uint32_t m_clock = 0;
    COpnFm m_fm;
    bool m_dacOn = false;
    int m_dac = 0x80;
    CSharedRom m_pcm;
    uint32_t m_pcmAt = 0;
};

} // namespace tarvocore
