// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/Ym2151.h"

#include <algorithm>
#include <cmath>

namespace tarvocore {

namespace {

constexpr double kReferenceClock = 3579545; // the clock the manual's pitches are given for

// The LFO's greatest depths: vibrato in cents by PMS, tremolo in envelope
// steps (23.9, 47.8 and 95.6 dB) by AMS.
constexpr double kPmCents[8] = {0, 5, 10, 20, 50, 100, 400, 700};
constexpr int kAmSteps[4] = {0, 255, 510, 1020};

int TopFiveBits(int keyCode) {
    return (keyCode >> 2) & 0x1F;
}

} // namespace

void CYm2151::Reset() {
    ResetKeepingMutes(m_channels);
    m_envelopeDivider = 0;
    m_envelopeCounter = 0;
    m_lfoFrequency = m_lfoWave = m_amDepth = m_pmDepth = 0;
    m_lfoPhase = m_lfoAm = m_lfoPm = 0;
    m_noiseOn = false;
    m_noiseFrequency = 0;
    m_noisePhase = 0;
    m_noiseShift = 1;
}

void CYm2151::Mute(int channel, bool muted) {
    if (channel >= 0 && channel < kChannels) m_channels[static_cast<size_t>(channel)].muted = muted;
}

// Registers 0x40 to 0xFF: five of each operator; the low five bits name the
// operator, MOD1 of channels 0 to 7, then MOD2, CAR1 and CAR2.
CFmOperator& CYm2151::OperatorOfSlot(int slot) {
    static constexpr int kChainPlace[4] = {0, 2, 1,
                                           3}; // MOD1, MOD2, CAR1, CAR2 -> MOD1, CAR1, MOD2, CAR2
    return m_channels[static_cast<size_t>(slot & 7)]
        .voice.ops[static_cast<size_t>(kChainPlace[(slot >> 3) & 3])];
}

// The six registers of each operator, 0x40 to 0xE0 by 0x20; only the OPM
// has detune 2 in its second decay's register.
void CYm2151::WriteOperator(int reg, uint8_t value) {
    OperatorOfSlot(reg & 0x1F).Write(((reg & 0xE0) - 0x40) / 0x20, value, true);
}

void CYm2151::Write(uint8_t reg, uint8_t value) {
    if (reg >= 0x40) return WriteOperator(reg, value);
    Channel& channel = m_channels[reg & 7];
    switch (reg & 0xF8) {
    case 0x00:
    case 0x08:
        if (reg == 0x01 && (value & 2)) m_lfoPhase = 0; // the LFO held at its start
        if (reg == 0x08) // bits 3 to 6 key MOD1, CAR1, MOD2 and CAR2 on; a clear bit keys off
            for (int place = 0; place < 4; ++place)
                m_channels[value & 7].voice.ops[static_cast<size_t>(place)].Key(
                    (value >> (3 + place)) & 1);
        if (reg == 0x0F) {
            m_noiseOn = (value & 0x80) != 0;
            m_noiseFrequency = value & 0x1F;
        }
        break;
    case 0x18:
        if (reg == 0x18) m_lfoFrequency = value;
        if (reg == 0x19) (value & 0x80 ? m_pmDepth : m_amDepth) = value & 0x7F;
        if (reg == 0x1B) m_lfoWave = value & 3;
        break;
    case 0x20:
        channel.left = (value & 0x40) != 0;
        channel.right = (value & 0x80) != 0;
        channel.voice.feedback = (value >> 3) & 7;
        channel.voice.connection = value & 7;
        break;
    case 0x28:
        channel.keyCode = value & 0x7F;
        SetPitch(channel);
        break;
    case 0x30:
        channel.keyFraction = value >> 2;
        SetPitch(channel);
        break;
    case 0x38:
        channel.pms = (value >> 4) & 7;
        channel.ams = value & 3;
        break;
    default:
        break;
    }
}

void CYm2151::StepLfo() {
    // (16 + low nibble) x 2^high nibble of 2^30ths of the sample rate: 52.9 Hz at 0xFF.
    m_lfoPhase += (16 + (m_lfoFrequency & 15)) * std::ldexp(1.0, (m_lfoFrequency >> 4) - 30);
    if (m_lfoPhase >= 1) {
        m_lfoPhase -= std::floor(m_lfoPhase);
        m_lfoNoise = m_lfoNoise * 1103515245u + 12345u;
    }
    const double p = m_lfoPhase;
    switch (m_lfoWave) {
    case 0: // a saw
        m_lfoAm = 1 - p;
        m_lfoPm = p < 0.5 ? 2 * p : 2 * p - 2;
        break;
    case 1: // a square
        m_lfoAm = p < 0.5 ? 1 : 0;
        m_lfoPm = p < 0.5 ? 1 : -1;
        break;
    case 2: // a triangle
        m_lfoAm = p < 0.5 ? 1 - 2 * p : 2 * p - 1;
        m_lfoPm = p < 0.25 ? 4 * p : p < 0.75 ? 2 - 4 * p : 4 * p - 4;
        break;
    default: { // noise, a new value each period
        const double r = static_cast<double>((m_lfoNoise >> 16) & 0xFF) / 255.0;
        m_lfoAm = r;
        m_lfoPm = 2 * r - 1;
        break;
    }
    }
}

// The key code's pitch, as the manual gives it for 3.58 MHz (A4, key code
// 0x4A, is 440 Hz), moved by the fraction and the vibrato.
double CYm2151::ChannelFrequency(const Channel& channel) const {
    if (channel.pms == 0 || m_pmDepth == 0) return channel.frequency;
    const double vibrato = m_lfoPm * m_pmDepth / 127.0 * kPmCents[channel.pms];
    return channel.frequency * std::exp2(vibrato / 1200);
}

void CYm2151::SetPitch(Channel& channel) const {
    const int octave = (channel.keyCode >> 4) & 7;
    const int code = channel.keyCode & 15;
    const int note = code - code / 4; // 0 is C#: the codes 3, 7, 11 and 15 are not notes
    const double cents =
        ((octave - 4) * 12 + (note - 8)) * 100.0 + channel.keyFraction * 100.0 / 64;
    channel.frequency = 440.0 * std::exp2(cents / 1200) * (m_clock / kReferenceClock);
}

double CYm2151::ChannelOutput(int index) {
    Channel& channel = m_channels[static_cast<size_t>(index)];
    if (channel.voice.Silent()) return 0;
    const int tremolo = static_cast<int>(m_lfoAm * m_amDepth / 127.0 * kAmSteps[channel.ams]);
    // Noise takes the place of channel 8's last operator, once enabled.
    const double* noise = index == 7 && m_noiseOn ? &m_noiseOutput : nullptr;
    return channel.voice.Render(ChannelFrequency(channel), TopFiveBits(channel.keyCode), Rate(),
                                tremolo, noise);
}

void CYm2151::NextSample(int& left, int& right) {
    StepLfo();
    if (++m_envelopeDivider == 3) {
        m_envelopeDivider = 0;
        ++m_envelopeCounter;
        for (Channel& channel : m_channels)
            channel.voice.StepEnvelopes(TopFiveBits(channel.keyCode), m_envelopeCounter);
    }
    // The noise's shift register steps at clock / 32 / (32 - its frequency).
    m_noisePhase += 2.0 / (32 - m_noiseFrequency);
    for (; m_noisePhase >= 1; m_noisePhase -= 1) {
        const uint32_t bit = (m_noiseShift ^ (m_noiseShift >> 3)) & 1;
        m_noiseShift = (m_noiseShift >> 1) | (bit << 16);
        m_noiseOutput = (m_noiseShift & 1) ? 1.0 : -1.0;
    }
    double sumLeft = 0, sumRight = 0;
    for (int index = 0; index < kChannels; ++index) {
        const double out = ChannelOutput(index) * 8192;
        const Channel& channel = m_channels[static_cast<size_t>(index)];
        if (channel.muted) continue;
        if (channel.left) sumLeft += out;
        if (channel.right) sumRight += out;
    }
    left = static_cast<int>(sumLeft);
    right = static_cast<int>(sumRight);
}

} // namespace tarvocore
