// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/Sn76489.h"

#include "chips/ChipVoices.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace tarvocore {

namespace {

constexpr double kSquareFull = 4096;

double AttenuationGain(int attenuation) {
    return attenuation >= 15 ? 0 : std::pow(10.0, -2.0 * attenuation / 20);
}

} // namespace

void CSn76489::Reset() {
    ResetKeepingMutes(m_voices);
    m_latched = 0;
    m_shift = 1u << (m_noise.width - 1);
    m_noisePhase = 0;
    m_stereo = 0xFF;
}

void CSn76489::SetNoise(Noise noise) {
    m_noise.width = std::clamp(noise.width, 2, 32);
    m_noise.taps = noise.taps ? noise.taps : 0x0009;
    m_shift = 1u << (m_noise.width - 1);
}

void CSn76489::Mute(int voice, bool muted) {
    MuteVoice(m_voices, voice, muted);
}

// A latch byte names a channel (bits 5 and 6) and its tone or its
// attenuation (bit 4), with the value's low four bits; a data byte after a
// tone's latch gives the period's top six bits, after any other the low four.
void CSn76489::Write(uint8_t value) {
    if (value & 0x80) m_latched = (value >> 4) & 7;
    Voice& voice = m_voices[static_cast<size_t>(m_latched >> 1)];
    const bool attenuation = m_latched & 1;
    if (attenuation) {
        voice.attenuation = value & 15;
    } else if (m_latched >> 1 == 3) {
        voice.period = value & 7;
        m_shift = 1u << (m_noise.width - 1); // the noise starts again
    } else if (value & 0x80) {
        voice.period = (voice.period & 0x3F0) | (value & 15);
    } else {
        voice.period = (voice.period & 15) | (value & 0x3F) << 4;
    }
}

// The register shifts on each rising edge of the noise's own square (of
// period 16, 32 or 64 counts, or the third channel's), feeding back the
// parity of the tapped bits (white noise) or its last bit (periodic).
void CSn76489::ShiftNoise(double step) {
    const int rateBits = m_voices[3].period & 3;
    const int period = rateBits == 3 ? std::max(m_voices[2].period, 1) : 16 << rateBits;
    m_noisePhase += step / period;
    for (; m_noisePhase >= 1; m_noisePhase -= 1) {
        const bool white = m_voices[3].period & 4;
        const uint32_t feedback =
            white ? std::popcount(m_shift & m_noise.taps) & 1u : (m_shift & 1u);
        m_shift = (m_shift >> 1) | (feedback << (m_noise.width - 1));
    }
}

void CSn76489::NextSample(int& left, int& right) {
    const double step = m_clock / 32.0 / Rate(); // square cycles a sample, per unit of period
    ShiftNoise(step);
    double sides[2] = {0, 0};
    for (size_t i = 0; i < kVoices; ++i) {
        Voice& voice = m_voices[i];
        bool high = (m_shift & 1) != 0;
        if (i < 3) {
            // A period of 0 or 1 holds the output high: music plays samples
            // through the attenuation that way.
            if (voice.period > 1) voice.phase += step / voice.period;
            voice.phase -= std::floor(voice.phase);
            high = voice.period <= 1 || voice.phase < 0.5;
        }
        if (voice.muted) continue;
        const double level = (high ? 1 : -1) * AttenuationGain(voice.attenuation) * kSquareFull;
        if (m_stereo & (0x10 << i)) sides[0] += level;
        if (m_stereo & (0x01 << i)) sides[1] += level;
    }
    left = static_cast<int>(sides[0]);
    right = static_cast<int>(sides[1]);
}

} // namespace tarvocore
