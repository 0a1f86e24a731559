// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace tarvocore {

// Yamaha's YM2151 (OPM): eight channels of four operators (M1, C1, M2, C2 in
// the order of their chain) joined by one of eight connections, with
// feedback on M1, an LFO for vibrato and tremolo, and noise in place of
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
    enum class Stage { Attack, Decay, Sustain, Release, Off };
    struct Operator {
        // Registers.
        int dt1 = 0, mul = 0, tl = 0, ks = 0, ar = 0, amsOn = 0, d1r = 0, dt2 = 0, d2r = 0, d1l = 0,
            rr = 0;
        // State.
        uint32_t phase = 0; // a cycle is 2^32
        int attenuation = 1023;
        Stage stage = Stage::Off;
        double output = 0; // the last output, -1 to 1
    };
    struct Channel {
        std::array<Operator, 4> ops; // M1, C1, M2, C2
        int connection = 0, feedback = 0, keyCode = 0, keyFraction = 0, pms = 0, ams = 0;
        bool left = true, right = true, muted = false;
        double feedbackHistory[2] = {0, 0};
        double frequency = 0; // of the key code and fraction, before vibrato
    };

    Operator& OperatorOfSlot(int slot);
    void WriteOperator(int reg, uint8_t value);
    void KeyOn(int channel, uint8_t slots);
    void StepEnvelope(const Channel& channel, Operator& op);
    void StepLfo();
    void SetPitch(Channel& channel) const;
    double ChannelFrequency(const Channel& channel) const;
    double OperatorFrequency(const Channel& channel, const Operator& op,
                             double channelFrequency) const;
    double Output(const Channel& channel, Operator& op, double modulation, bool noise);
    double ChannelOutput(int index);

    uint32_t m_clock = 3579545;
    std::array<Channel, kChannels> m_channels{};
    double m_channelFrequency = 0; // of the channel being rendered
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
