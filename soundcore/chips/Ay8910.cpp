// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/Ay8910.h"

#include "chips/ChipVoices.h"

#include <algorithm>
#include <cmath>

namespace tarvocore {

namespace {

// A channel at full level gives half what an FM carrier of the YM2203 does.
constexpr double kFull = 4096;

// The 16 levels, 3 dB apart; 0 is silent.
double Gain(int level) {
    return level <= 0 ? 0 : std::pow(10.0, (level - 15) * 3 / 20.0);
}

} // namespace

void CAy8910::Reset() {
    ResetKeepingMutes(m_channels);
    m_noisePeriod = 1;
    m_noisePhase = 0;
    m_noiseShift = 1;
    m_envelopePeriod = 1;
    m_shape = 0;
    m_envelopePhase = 0;
    m_envelopeStep = 0;
    m_envelopeRising = false;
    m_heldLevel = 0;
    m_registers = {};
}

void CAy8910::SetClock(double clock, double sampleRate) {
    m_clock = clock;
    m_rate = sampleRate > 0 ? sampleRate : 1;
}

void CAy8910::Mute(int channel, bool muted) {
    MuteVoice(m_channels, channel, muted);
}

// Tone periods (0 to 5), the noise period (6), the mixer (7: a set bit
// silences a channel's tone, or its noise), the levels (8 to 10; bit 4 hands
// the level to the envelope), the envelope's period (11, 12) and shape (13).
void CAy8910::Write(uint8_t reg, uint8_t value) {
    if (reg >= m_registers.size()) return;
    m_registers[reg] = value;
    if (reg < 6) {
        Channel& channel = m_channels[reg / 2u];
        channel.period = std::max(1, m_registers[reg & ~1u] | (m_registers[reg | 1u] & 15) << 8);
    } else if (reg == 6) {
        m_noisePeriod = std::max(1, value & 31);
    } else if (reg == 7) {
        for (size_t i = 0; i < kChannels; ++i) {
            m_channels[i].toneOn = !(value & (1 << i));
            m_channels[i].noiseOn = !(value & (8 << i));
        }
    } else if (reg < 11) {
        m_channels[reg - 8u].level = value & 15;
        m_channels[reg - 8u].envelope = (value & 16) != 0;
    } else if (reg < 13) {
        m_envelopePeriod = std::max(1, m_registers[11] | m_registers[12] << 8);
    } else if (reg == 13) {
        m_shape = value & 15;
        m_envelopeStep = 0;
        m_envelopePhase = 0;
        m_heldLevel = -1;
        m_envelopeRising = (value & 4) != 0;
    }
}

// Down or up as the shape's bit 2 says. After a cycle a shape without bit 3
// falls silent; with bit 0 it holds its last level (the other end with bit
// 1); else it goes round again, turning with bit 1.
void CAy8910::StepEnvelope() {
    m_envelopePhase += m_clock / (16.0 * m_envelopePeriod) / m_rate;
    for (; m_envelopePhase >= 1 && m_heldLevel < 0; m_envelopePhase -= 1) {
        if (++m_envelopeStep < 16) continue;
        const bool repeats = m_shape & 8, turns = m_shape & 2, holds = m_shape & 1;
        const int last = m_envelopeRising ? 15 : 0;
        if (!repeats)
            m_heldLevel = 0;
        else if (holds)
            m_heldLevel = turns ? 15 - last : last;
        m_envelopeStep = 0;
        if (turns) m_envelopeRising = !m_envelopeRising;
    }
    if (m_heldLevel >= 0) m_envelopePhase = 0;
}

int CAy8910::EnvelopeLevel() const {
    if (m_heldLevel >= 0) return m_heldLevel;
    return m_envelopeRising ? m_envelopeStep : 15 - m_envelopeStep;
}

double CAy8910::NextSample() {
    StepEnvelope();
    m_noisePhase += m_clock / (16.0 * m_noisePeriod) / m_rate;
    for (; m_noisePhase >= 1; m_noisePhase -= 1) {
        const uint32_t bit = (m_noiseShift ^ (m_noiseShift >> 3)) & 1;
        m_noiseShift = (m_noiseShift >> 1) | (bit << 16);
    }
    const bool noiseHigh = (m_noiseShift & 1) != 0;
    const int envelopeLevel = EnvelopeLevel();
    double sum = 0;
    for (Channel& channel : m_channels) {
        channel.phase += m_clock / (16.0 * channel.period) / m_rate;
        channel.phase -= std::floor(channel.phase);
        const bool high =
            (!channel.toneOn || channel.phase < 0.5) && (!channel.noiseOn || noiseHigh);
        const double gain = Gain(channel.envelope ? envelopeLevel : channel.level) * kFull;
        if (channel.muted) continue;
        // With tone and noise both off the level itself is heard, as music
        // that plays samples through it needs.
        if (!channel.toneOn && !channel.noiseOn)
            sum += gain;
        else
            sum += high ? gain : -gain;
    }
    return sum;
}

} // namespace tarvocore
