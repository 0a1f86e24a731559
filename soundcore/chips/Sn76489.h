// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace tarvocore {

// Texas Instruments' SN76489 and Sega's versions of it: three square-wave
// channels and a noise channel, each with 16 levels of attenuation 2 dB
// apart (the last silent). A channel's square has clock / (32 x period)
// cycles a second; the noise shifts at clock / 512, 1024 or 2048, or with
// the third channel's square. Sampled at clock / 64 (56 kHz at 3.58 MHz).
class CSn76489 {
public:
    static constexpr int kVoices = 4; // three squares and the noise

    // The noise's shift register as the file gives it: Sega's chips take
    // 16 bits and feedback taps 0x0009, TI's 15 bits and 0x0003.
    struct Noise {
        int width = 16;
        uint32_t taps = 0x0009;
    };

    void Reset();
    void SetClock(uint32_t clock) { m_clock = clock; }
    void SetNoise(Noise noise);
    double Rate() const { return m_clock / 64.0; }
    // A byte as the chip's port takes it: a latch (bit 7) or data.
    void Write(uint8_t value);
    // The Game Gear's stereo register: bits 4 to 7 the channels on the left,
    // 0 to 3 on the right.
    void WriteStereo(uint8_t value) { m_stereo = value; }
    void Mute(int voice, bool muted);
    // The next sample, a channel at full level giving 4096 on its sides.
    void NextSample(int& left, int& right);

private:
    struct Voice {
        int period = 0;       // tone channels: 10 bits; the noise: its 3-bit register
        int attenuation = 15; // 0 loudest, 15 silent
        double phase = 0;     // through a cycle of its square
        bool muted = false;
    };
    void ShiftNoise(double step);

    uint32_t m_clock = 3579545;
    Noise m_noise;
    std::array<Voice, kVoices> m_voices{};
    int m_latched = 0; // the register the next data byte goes to: channel x 2 + (1: attenuation)
    uint32_t m_shift = 1u << 15;
    double m_noisePhase = 0;
    uint8_t m_stereo = 0xFF;
};

} // namespace tarvocore
