// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace tarvocore {

// General Instrument's AY-3-8910, alone on a board or as the SSG inside
// Yamaha's YM2203: three square-wave channels, a noise generator and an
// envelope, on one output. Its tones and its noise run at
// clock / (16 x period); its envelope steps through 16 levels, 3 dB apart,
// at clock / (16 x period) a step.
class CAy8910 {
public:
    static constexpr int kChannels = 3;

    void Reset();
    // Alone, the chip is sampled at clock / 32 (56 kHz at 1.79 MHz).
    void SetClock(uint32_t clock) { SetClock(clock, clock / 32.0); }
    // `clock` as the chip's dividers see it, sampled at `sampleRate`.
    void SetClock(double clock, double sampleRate);
    double Rate() const { return m_rate; }
    // Registers 0 to 15; others are not the chip's.
    void Write(uint8_t reg, uint8_t value);
    void Mute(int channel, bool muted);
    // The next sample, a channel at full level giving 4096.
    double NextSample();

private:
    struct Channel {
        int period = 1, level = 0;
        bool envelope = false, toneOn = false, noiseOn = false, muted = false;
        double phase = 0;
    };

    void StepEnvelope();
    int EnvelopeLevel() const;

    double m_clock = 1789772;
    double m_rate = 1789772 / 32.0;
    std::array<Channel, kChannels> m_channels{};
    int m_noisePeriod = 1;
    double m_noisePhase = 0;
    uint32_t m_noiseShift = 1;
    int m_envelopePeriod = 1;
    int m_shape = 0;
    double m_envelopePhase = 0;
    int m_envelopeStep = 0; // 0 to 15 through a cycle of the shape
    bool m_envelopeRising = false;
    int m_heldLevel = 0; // the level the shape stopped at, -1 while it runs
    std::array<uint8_t, 16> m_registers{};
};

} // namespace tarvocore
