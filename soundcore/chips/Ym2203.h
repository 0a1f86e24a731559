// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chips/FmVoice.h"

#include <array>
#include <cstdint>

namespace tarvocore {

// Yamaha's YM2203 (OPN): three FM channels of four operators, with the
// OPN's frequency number and block for pitch, and an SSG (the AY-3-8910's
// three square-wave channels, noise and envelope) beside them on one
// output. The FM part makes a sample every 72 clocks; the SSG's tones run
// at clock / (64 x period).
class CYm2203 {
public:
    static constexpr int kFmChannels = 3;
    static constexpr int kSsgChannels = 3;

    void Reset();
    void SetClock(uint32_t clock) { m_clock = clock; }
    double Rate() const { return m_clock / 72.0; }
    void Write(uint8_t reg, uint8_t value);
    // Voices 0 to 2 are the FM channels, 3 to 5 the SSG's.
    void Mute(int voice, bool muted);
    // The next sample, a carrier at full level giving 8192.
    int NextSample();

private:
    struct FmChannel {
        CFmVoice voice;
        int frequencyNumber = 0, block = 0, keyCode = 0;
        double frequency = 0;
        bool muted = false;
    };
    struct SsgChannel {
        int period = 1, level = 0;
        bool envelope = false, toneOn = false, noiseOn = false, muted = false;
        double phase = 0;
    };

    void WriteSsg(int reg, uint8_t value);
    void WriteFm(uint8_t reg, uint8_t value);
    void SetPitch(FmChannel& channel) const;
    double SsgSample();
    void StepSsgEnvelope();
    int SsgEnvelopeLevel() const;

    uint32_t m_clock = 4000000;
    std::array<FmChannel, kFmChannels> m_fm{};
    int m_latchedHigh = 0; // block and the top of the frequency number, written first
    int m_envelopeDivider = 0;
    uint32_t m_envelopeCounter = 0;
    std::array<SsgChannel, kSsgChannels> m_ssg{};
    int m_noisePeriod = 1;
    double m_noisePhase = 0;
    uint32_t m_noiseShift = 1;
    int m_ssgEnvelopePeriod = 1;
    int m_ssgShape = 0;
    double m_ssgEnvelopePhase = 0;
    int m_ssgEnvelopeStep = 0; // 0 to 15 through a cycle of the shape
    bool m_ssgEnvelopeRising = false;
    int m_ssgHeldLevel = -1; // the level the shape stopped at, -1 while it runs
    std::array<uint8_t, 16> m_ssgRegisters{};
};

} // namespace tarvocore
