// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chips/FmVoice.h"

#include <array>
#include <cstdint>

namespace tarvocore {

// The FM part of the OPN chips with two banks of three channels (the YM2612
// and YM2610): six channels of four operators on port 0 (1 to 3) and port 1
// (4 to 6), each sent left, right or both, their envelopes stepped every
// third sample. Left out: the LFO, the third channel's own frequencies for
// each operator, and the SSG-type envelopes.
class COpnFm {
public:
    static constexpr int kChannels = 6;

    // Every channel silent and sent both ways; mutes stay.
    void Reset();
    // Key on (port 0, 0x28: the channel 0 to 2, then 4 to 6) and the
    // channels' registers (0x30 to 0xB6, the low two bits the channel).
    void Write(int port, uint8_t reg, uint8_t value, double rate);
    void Mute(int channel, bool muted);
    // The next sample of every channel, left and right, a carrier at full
    // level giving 8192; `replaced` (0 to 5) sounds `replacement` in its place.
    void NextSample(double rate, double& left, double& right, int replaced = -1,
                    double replacement = 0);

private:
    struct Channel : OpnChannel {
        bool left = true, right = true;
    };

    std::array<Channel, kChannels> m_channels{};
    int m_latchedHigh = 0; // block and the top of the frequency number, written first
    int m_envelopeDivider = 0;
    uint32_t m_envelopeCounter = 0;
};

} // namespace tarvocore
