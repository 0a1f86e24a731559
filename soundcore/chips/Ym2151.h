// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chips/FmVoice.h"

#include <array>
#include <cstdint>

namespace tarvocore {

// Yamaha's YM2151 (OPM): eight channels of four operators (MOD1, CAR1, MOD2, CAR2 in
// the order of their chain) joined by one of eight connections, with
// feedback on MOD1, an LFO for vibrato and tremolo, and noise in place of
// channel 8's last operator. One sample every 64 clocks. It follows the
// chip's documented behaviour: key code and fraction to pitch, the detunes
// and multiples, the envelope's rates as its 18.6 kHz clock steps them
// (attenuation in 1024 steps of 3/32 dB), total level, key scaling, the
// LFO's rates, waveforms and depths, and the left and right outputs.
class CYm2151 {
public:
    static constexpr int kChannels = 8;

    void Reset();
    // Before the first note: the pitches follow the clock from then.
    void SetClock(uint32_t clock) { m_clock = clock; }
    double Rate() const { return m_clock / 64.0; }
    void Write(uint8_t reg, uint8_t value);
    void Mute(int channel, bool muted);
    // The next sample, left and right, a carrier at full level giving 8192.
    void NextSample(int& left, int& right);

private:
    struct Channel {
        CFmVoice voice;
        int keyCode = 0, keyFraction = 0, pms = 0, ams = 0;
        bool left = true, right = true, muted = false;
        double frequency = 0; // of the key code and fraction, before vibrato
    };

    CFmOperator& OperatorOfSlot(int slot);
    void WriteOperator(int reg, uint8_t value);
    void StepLfo();
    void SetPitch(Channel& channel) const;
    double ChannelFrequency(const Channel& channel) const;
    double ChannelOutput(int index);

    uint32_t m_clock = 3579545;
    std::array<Channel, kChannels> m_channels{};
    // The envelope steps once every three samples.
    int m_envelopeDivider = 0;
    uint32_t m_envelopeCounter = 0;
    // The LFO.
    int m_lfoFrequency = 0, m_lfoWave = 0, m_amDepth = 0, m_pmDepth = 0;
    double m_lfoPhase = 0; // in cycles
    double m_lfoAm = 0;    // 0 to 1
    double m_lfoPm = 0;    // -1 to 1
    uint32_t m_lfoNoise = 1;
    // The noise generator.
    bool m_noiseOn = false;
    int m_noiseFrequency = 0;
    double m_noisePhase = 0;
    uint32_t m_noiseShift = 1;
    double m_noiseOutput = 1;
};

} // namespace tarvocore
