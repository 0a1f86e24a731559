// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/Ym2203.h"

#include <algorithm>
#include <cmath>

namespace tarvocore {

namespace {

// The key code's two low bits from the frequency number's top four.
constexpr int kNoteBits[16] = {0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 3, 3, 3, 3, 3, 3};
// An SSG channel at full level gives half what an FM carrier does.
constexpr double kSsgFull = 4096;

// The SSG's 16 levels, 3 dB apart; 0 is silent.
double SsgGain(int level) {
    return level <= 0 ? 0 : std::pow(10.0, (level - 15) * 3 / 20.0);
}

} // namespace

void CYm2203::Reset() {
    for (FmChannel& channel : m_fm) {
        const bool muted = channel.muted;
        channel = FmChannel{};
        channel.muted = muted;
    }
    for (SsgChannel& channel : m_ssg) {
        const bool muted = channel.muted;
        channel = SsgChannel{};
        channel.muted = muted;
    }
    m_latchedHigh = 0;
    m_envelopeDivider = 0;
    m_envelopeCounter = 0;
    m_noisePeriod = 1;
    m_noisePhase = 0;
    m_noiseShift = 1;
    m_ssgEnvelopePeriod = 1;
    m_ssgShape = 0;
    m_ssgEnvelopePhase = 0;
    m_ssgEnvelopeStep = 0;
    m_ssgHeldLevel = 0;
    m_ssgRegisters = {};
}

void CYm2203::Mute(int voice, bool muted) {
    if (voice >= 0 && voice < kFmChannels) m_fm[static_cast<size_t>(voice)].muted = muted;
    if (voice >= kFmChannels && voice < kFmChannels + kSsgChannels)
        m_ssg[static_cast<size_t>(voice - kFmChannels)].muted = muted;
}

void CYm2203::Write(uint8_t reg, uint8_t value) {
    if (reg < 0x10)
        WriteSsg(reg, value);
    else
        WriteFm(reg, value);
}

// The SSG's registers: tone periods (0 to 5), the noise period (6), the
// mixer (7: a set bit silences a channel's tone, or its noise), the levels
// (8 to 10; bit 4 hands the level to the envelope), the envelope's period
// (11, 12) and shape (13).
void CYm2203::WriteSsg(int reg, uint8_t value) {
    auto& registers = m_ssgRegisters;
    registers[static_cast<size_t>(reg)] = value;
    if (reg < 6) {
        SsgChannel& channel = m_ssg[static_cast<size_t>(reg / 2)];
        channel.period = std::max(1, registers[static_cast<size_t>(reg & ~1)] |
                                         (registers[static_cast<size_t>(reg | 1)] & 15) << 8);
    } else if (reg == 6) {
        m_noisePeriod = std::max(1, value & 31);
    } else if (reg == 7) {
        for (int i = 0; i < kSsgChannels; ++i) {
            m_ssg[static_cast<size_t>(i)].toneOn = !(value & (1 << i));
            m_ssg[static_cast<size_t>(i)].noiseOn = !(value & (8 << i));
        }
    } else if (reg < 11) {
        m_ssg[static_cast<size_t>(reg - 8)].level = value & 15;
        m_ssg[static_cast<size_t>(reg - 8)].envelope = (value & 16) != 0;
    } else if (reg < 13) {
        m_ssgEnvelopePeriod = std::max(1, registers[11] | registers[12] << 8);
    } else if (reg == 13) {
        m_ssgShape = value & 15;
        m_ssgEnvelopeStep = 0;
        m_ssgEnvelopePhase = 0;
        m_ssgHeldLevel = -1;
        m_ssgEnvelopeRising = (value & 4) != 0;
    }
}

// The FM part's registers: key on (0x28), the operators' (0x30 to 0x8F, the
// low two bits the channel, the next two the operator: S1, S3, S2, S4), the
// frequency (0xA4 to 0xA6 first, then 0xA0 to 0xA2), feedback and connection
// (0xB0 to 0xB2).
void CYm2203::WriteFm(uint8_t reg, uint8_t value) {
    if (reg == 0x28) {
        if ((value & 3) == 3) return;
        auto& ops = m_fm[value & 3].voice.ops;
        for (int place = 0; place < 4; ++place)
            ops[static_cast<size_t>(place)].Key((value >> (4 + place)) & 1);
        return;
    }
    const int channelIndex = reg & 3;
    if (channelIndex == 3 || reg < 0x30 || reg > 0xB2) return;
    FmChannel& channel = m_fm[static_cast<size_t>(channelIndex)];
    if (reg >= 0xA0) {
        if ((reg & 0xFC) == 0xA4) m_latchedHigh = value & 0x3F;
        if ((reg & 0xFC) == 0xA0) {
            channel.frequencyNumber = (m_latchedHigh & 7) << 8 | value;
            channel.block = m_latchedHigh >> 3;
            SetPitch(channel);
        }
        if ((reg & 0xFC) == 0xB0) {
            channel.voice.feedback = (value >> 3) & 7;
            channel.voice.connection = value & 7;
        }
        return;
    }
    static constexpr int kChainPlace[4] = {0, 2, 1, 3}; // S1, S3, S2, S4 -> S1, S2, S3, S4
    CFmOperator& op = channel.voice.ops[static_cast<size_t>(kChainPlace[(reg >> 2) & 3])];
    // 0x90 is the SSG-type envelope, which this emulation leaves out.
    if (reg < 0x90) op.Write(((reg & 0xF0) - 0x30) / 0x10, value, false);
}

// The frequency number counts 2^-21 of the sample rate at block 0, doubling
// each block; the key code is the block and the number's top bits.
void CYm2203::SetPitch(FmChannel& channel) const {
    channel.frequency = channel.frequencyNumber * std::ldexp(Rate(), channel.block - 21);
    channel.keyCode = channel.block << 2 | kNoteBits[channel.frequencyNumber >> 7];
}

// The envelope goes through 16 levels at clock / (1024 x period) a step,
// down or up as the shape's bit 2 says. After a cycle a shape without bit 3
// falls silent; with bit 0 it holds its last level (the other end with bit
// 1); else it goes round again, turning with bit 1.
void CYm2203::StepSsgEnvelope() {
    m_ssgEnvelopePhase += m_clock / (1024.0 * m_ssgEnvelopePeriod) * 16 / Rate();
    for (; m_ssgEnvelopePhase >= 1 && m_ssgHeldLevel < 0; m_ssgEnvelopePhase -= 1) {
        if (++m_ssgEnvelopeStep < 16) continue;
        const bool repeats = m_ssgShape & 8, turns = m_ssgShape & 2, holds = m_ssgShape & 1;
        const int last = m_ssgEnvelopeRising ? 15 : 0;
        if (!repeats)
            m_ssgHeldLevel = 0;
        else if (holds)
            m_ssgHeldLevel = turns ? 15 - last : last;
        m_ssgEnvelopeStep = 0;
        if (turns) m_ssgEnvelopeRising = !m_ssgEnvelopeRising;
    }
    if (m_ssgHeldLevel >= 0) m_ssgEnvelopePhase = 0;
}

int CYm2203::SsgEnvelopeLevel() const {
    if (m_ssgHeldLevel >= 0) return m_ssgHeldLevel;
    return m_ssgEnvelopeRising ? m_ssgEnvelopeStep : 15 - m_ssgEnvelopeStep;
}

double CYm2203::SsgSample() {
    StepSsgEnvelope();
    m_noisePhase += m_clock / (64.0 * m_noisePeriod) / Rate();
    for (; m_noisePhase >= 1; m_noisePhase -= 1) {
        const uint32_t bit = (m_noiseShift ^ (m_noiseShift >> 3)) & 1;
        m_noiseShift = (m_noiseShift >> 1) | (bit << 16);
    }
    const bool noiseHigh = (m_noiseShift & 1) != 0;
    const int envelopeLevel = SsgEnvelopeLevel();
    double sum = 0;
    for (SsgChannel& channel : m_ssg) {
        channel.phase += m_clock / (64.0 * channel.period) / Rate();
        channel.phase -= std::floor(channel.phase);
        const bool high =
            (!channel.toneOn || channel.phase < 0.5) && (!channel.noiseOn || noiseHigh);
        const double gain = SsgGain(channel.envelope ? envelopeLevel : channel.level) * kSsgFull;
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

int CYm2203::NextSample() {
    if (++m_envelopeDivider == 3) {
        m_envelopeDivider = 0;
        ++m_envelopeCounter;
        for (FmChannel& channel : m_fm)
            channel.voice.StepEnvelopes(channel.keyCode, m_envelopeCounter);
    }
    double sum = SsgSample();
    for (FmChannel& channel : m_fm) {
        const double out =
            channel.voice.Render(channel.frequency, channel.keyCode, Rate(), 0, nullptr);
        if (!channel.muted) sum += out * 8192;
    }
    return static_cast<int>(sum);
}

} // namespace tarvocore
