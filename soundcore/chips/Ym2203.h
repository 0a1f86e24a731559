// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chips/Ay8910.h"
#include "chips/FmVoice.h"

#include <array>
#include <cstdint>

namespace tarvocore {

// Yamaha's YM2203 (OPN): three FM channels of four operators, with the
// OPN's frequency number and block for pitch, and an SSG (an AY-3-8910 on
// a quarter of the clock) beside them on one output. The FM part makes a
// sample every 72 clocks; the SSG is sampled with it.
class CYm2203 {
public:
    static constexpr int kFmChannels = 3;
    static constexpr int kSsgChannels = CAy8910::kChannels;

    CYm2203() { SetClock(4000000); }
    void Reset();
    void SetClock(uint32_t clock) {
        m_clock = clock;
        m_ssg.SetClock(clock / 4.0, Rate());
    }
    double Rate() const { return m_clock / 72.0; }
    void Write(uint8_t reg, uint8_t value);
    // Voices 0 to 2 are the FM channels, 3 to 5 the SSG's.
    void Mute(int voice, bool muted);
    // The next sample, a carrier at full level giving 8192.
    int NextSample();

private:
    void WriteFm(uint8_t reg, uint8_t value);

    uint32_t m_clock = 0;
    std::array<OpnChannel, kFmChannels> m_fm{};
    int m_latchedHigh = 0; // block and the top of the frequency number, written first
    int m_envelopeDivider = 0;
    uint32_t m_envelopeCounter = 0;
    CAy8910 m_ssg;
};

} // namespace tarvocore
