// SPDX-License-Identifier: GPL-3.0-or-later
#include "src/Ym2151.h"

#include <algorithm>
#include <cmath>

namespace tarvocore {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kReferenceClock = 3579545; // the clock the manual's pitches are given for
constexpr int kSilent = 1023;
// A full-level operator moves the phase of the one it modulates by 8 pi.
constexpr double kModulationRadians = 8 * kPi;

// Detune 1 by key code (its top five bits), in steps of 2^-20 of the
// sample rate, for detunes 1 to 3; 5 to 7 go as far down.
constexpr int kDetune1[3][32] = {{0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2,
                                  2, 3, 3, 3, 4, 4, 4, 5, 5, 6, 6, 7, 8, 8, 8, 8},
                                 {1, 1, 1, 1, 2, 2, 2, 2,  2,  3,  3,  3,  4,  4,  4,  5,
                                  5, 6, 6, 7, 8, 8, 9, 10, 11, 12, 13, 14, 16, 16, 16, 16},
                                 {2, 2, 2, 2,  2,  3,  3,  3,  4,  4,  4,  5,  5,  6,  6,  7,
                                  8, 8, 9, 10, 11, 12, 13, 14, 16, 17, 19, 20, 22, 22, 22, 22}};
// Detune 2, in cents.
constexpr double kDetune2Cents[4] = {0, 600, 781, 950};
// How often an envelope at rate 4k + m steps: m of eight steps, taken in
// this pattern.
constexpr int kStepPatterns[4][8] = {{0, 1, 0, 1, 0, 1, 0, 1},
                                     {0, 1, 0, 1, 1, 1, 0, 1},
                                     {0, 1, 1, 1, 0, 1, 1, 1},
                                     {0, 1, 1, 1, 1, 1, 1, 1}};
// The LFO's greatest depths: vibrato in cents by PMS, tremolo in envelope
// steps (23.9, 47.8 and 95.6 dB) by AMS.
constexpr double kPmCents[8] = {0, 5, 10, 20, 50, 100, 400, 700};
constexpr int kAmSteps[4] = {0, 255, 510, 1020};

int TopFiveBits(int keyCode) {
    return (keyCode >> 2) & 0x1F;
}

// A sine of 4096 steps and the gain of each attenuation step (3/32 dB), so
// the 32 operators cost a few lookups a sample.
struct Tables {
    double sine[4096];
    double gain[kSilent + 1];
    Tables() {
        for (int i = 0; i < 4096; ++i)
            sine[i] = std::sin(2 * kPi * i / 4096);
        for (int i = 0; i <= kSilent; ++i)
            gain[i] = i == kSilent ? 0 : std::pow(10.0, -i * 0.09375 / 20);
    }
};
const Tables& TheTables() {
    static const Tables tables;
    return tables;
}

} // namespace

void CYm2151::Reset() {
    for (Channel& channel : m_channels) {
        const bool muted = channel.muted;
        channel = Channel{};
        channel.muted = muted;
    }
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
// operator, M1 of channels 0 to 7, then M2, C1 and C2.
CYm2151::Operator& CYm2151::OperatorOfSlot(int slot) {
    static constexpr int kChainPlace[4] = {0, 2, 1, 3}; // M1, M2, C1, C2 -> M1, C1, M2, C2
    return m_channels[static_cast<size_t>(slot & 7)]
        .ops[static_cast<size_t>(kChainPlace[(slot >> 3) & 3])];
}

void CYm2151::WriteOperator(int reg, uint8_t value) {
    Operator& op = OperatorOfSlot(reg & 0x1F);
    switch (reg & 0xE0) {
    case 0x40:
        op.dt1 = (value >> 4) & 7;
        op.mul = value & 15;
        break;
    case 0x60:
        op.tl = value & 0x7F;
        break;
    case 0x80:
        op.ks = value >> 6;
        op.ar = value & 0x1F;
        break;
    case 0xA0:
        op.amsOn = value >> 7;
        op.d1r = value & 0x1F;
        break;
    case 0xC0:
        op.dt2 = value >> 6;
        op.d2r = value & 0x1F;
        break;
    default: // 0xE0
        op.d1l = value >> 4;
        op.rr = value & 15;
        break;
    }
}

void CYm2151::Write(uint8_t reg, uint8_t value) {
    if (reg >= 0x40) return WriteOperator(reg, value);
    Channel& channel = m_channels[reg & 7];
    switch (reg & 0xF8) {
    case 0x00:
    case 0x08:
        if (reg == 0x01 && (value & 2)) m_lfoPhase = 0; // the LFO held at its start
        if (reg == 0x08) KeyOn(value & 7, static_cast<uint8_t>(value >> 3));
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
        channel.feedback = (value >> 3) & 7;
        channel.connection = value & 7;
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

// Bits 0 to 3 of `slots` key M1, C1, M2 and C2 on; a clear bit keys off.
void CYm2151::KeyOn(int channel, uint8_t slots) {
    auto& ops = m_channels[static_cast<size_t>(channel)].ops;
    for (int place = 0; place < 4; ++place) {
        Operator& op = ops[static_cast<size_t>(place)];
        const bool on = (slots >> place) & 1;
        const bool sounding = op.stage != Stage::Release && op.stage != Stage::Off;
        if (on && !sounding) {
            op.stage = Stage::Attack;
            op.phase = 0;
        } else if (!on && sounding) {
            op.stage = Stage::Release;
        }
    }
}

void CYm2151::StepEnvelope(const Channel& channel, Operator& op) {
    const int keyScale = TopFiveBits(channel.keyCode) >> (3 - op.ks);
    int registerRate = 0;
    switch (op.stage) {
    case Stage::Attack:
        registerRate = op.ar ? 2 * op.ar : 0;
        break;
    case Stage::Decay:
        registerRate = op.d1r ? 2 * op.d1r : 0;
        break;
    case Stage::Sustain:
        registerRate = op.d2r ? 2 * op.d2r : 0;
        break;
    case Stage::Release:
        registerRate = 4 * op.rr + 2;
        break;
    case Stage::Off:
        return;
    }
    const int rate = registerRate ? std::min(63, registerRate + keyScale) : 0;
    if (op.stage == Stage::Attack && rate >= 62) op.attenuation = 0;
    int step = 0;
    const int k = rate >> 2, m = rate & 3;
    if (rate == 0) {
        step = 0;
    } else if (k < 12) {
        const uint32_t shift = static_cast<uint32_t>(11 - k);
        if ((m_envelopeCounter & ((1u << shift) - 1)) == 0)
            step = kStepPatterns[m][(m_envelopeCounter >> shift) & 7];
    } else if (k < 15) {
        step = kStepPatterns[m][m_envelopeCounter & 7] << (k - 11);
    } else {
        step = 8;
    }
    if (op.stage == Stage::Attack) {
        op.attenuation += ((-op.attenuation - 1) * step) >> 4;
        if (op.attenuation <= 0) {
            op.attenuation = 0;
            op.stage = Stage::Decay;
        }
        return;
    }
    op.attenuation = std::min(kSilent, op.attenuation + step);
    const int sustainLevel = op.d1l == 15 ? kSilent : op.d1l * 32;
    if (op.stage == Stage::Decay && op.attenuation >= sustainLevel) op.stage = Stage::Sustain;
    if (op.stage == Stage::Release && op.attenuation >= kSilent) op.stage = Stage::Off;
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

// An operator's pitch: the channel's, moved by detune 2, then detune 1 and
// the multiple.
double CYm2151::OperatorFrequency(const Channel& channel, const Operator& op,
                                  double channelFrequency) const {
    static const double kDetune2Factor[4] = {1, std::exp2(kDetune2Cents[1] / 1200),
                                             std::exp2(kDetune2Cents[2] / 1200),
                                             std::exp2(kDetune2Cents[3] / 1200)};
    double frequency = channelFrequency * kDetune2Factor[op.dt2];
    if (op.dt1 & 3) {
        const double detune =
            kDetune1[(op.dt1 & 3) - 1][TopFiveBits(channel.keyCode)] * Rate() / (1 << 20);
        frequency += (op.dt1 & 4) ? -detune : detune;
    }
    return frequency * (op.mul ? op.mul : 0.5);
}

double CYm2151::Output(const Channel& channel, Operator& op, double modulation, bool noise) {
    op.phase += static_cast<uint32_t>(OperatorFrequency(channel, op, m_channelFrequency) / Rate() *
                                      4294967296.0);
    int attenuation = op.attenuation + op.tl * 8;
    if (op.amsOn)
        attenuation += static_cast<int>(m_lfoAm * m_amDepth / 127.0 * kAmSteps[channel.ams]);
    if (op.stage == Stage::Off || attenuation >= kSilent) return op.output = 0;
    const Tables& tables = TheTables();
    // The modulation in cycles (8 pi radians is four), as a 32-bit phase.
    const auto offset = static_cast<uint32_t>(
        static_cast<int64_t>(modulation * (kModulationRadians / (2 * kPi)) * 4294967296.0));
    const double wave = noise ? m_noiseOutput : tables.sine[(op.phase + offset) >> 20];
    return op.output = wave * tables.gain[attenuation];
}

double CYm2151::ChannelOutput(int index) {
    Channel& channel = m_channels[static_cast<size_t>(index)];
    const auto silent = [](const Operator& op) { return op.stage == Stage::Off; };
    if (std::all_of(channel.ops.begin(), channel.ops.end(), silent)) return 0;
    m_channelFrequency = ChannelFrequency(channel);
    auto& [m1, c1, m2, c2] = channel.ops;
    // Feedback: M1's last two outputs, from pi/16 (1) to 4 pi (7).
    const double feedback = channel.feedback
                                ? (channel.feedbackHistory[0] + channel.feedbackHistory[1]) / 2 *
                                      std::ldexp(1.0, channel.feedback - 5) / 8
                                : 0.0;
    const double a = Output(channel, m1, feedback, false);
    channel.feedbackHistory[1] = channel.feedbackHistory[0];
    channel.feedbackHistory[0] = a;
    const bool noise = index == 7 && m_noiseOn;
    switch (channel.connection) {
    case 0:
        return Output(channel, c2, Output(channel, m2, Output(channel, c1, a, false), false),
                      noise);
    case 1: {
        const double b = Output(channel, c1, 0, false);
        return Output(channel, c2, Output(channel, m2, a + b, false), noise);
    }
    case 2: {
        const double c = Output(channel, m2, Output(channel, c1, 0, false), false);
        return Output(channel, c2, a + c, noise);
    }
    case 3: {
        const double b = Output(channel, c1, a, false);
        return Output(channel, c2, b + Output(channel, m2, 0, false), noise);
    }
    case 4:
        return Output(channel, c1, a, false) +
               Output(channel, c2, Output(channel, m2, 0, false), noise);
    case 5:
        return Output(channel, c1, a, false) + Output(channel, m2, a, false) +
               Output(channel, c2, a, noise);
    case 6:
        return Output(channel, c1, a, false) + Output(channel, m2, 0, false) +
               Output(channel, c2, 0, noise);
    default:
        return a + Output(channel, c1, 0, false) + Output(channel, m2, 0, false) +
               Output(channel, c2, 0, noise);
    }
}

void CYm2151::NextSample(int& left, int& right) {
    StepLfo();
    if (++m_envelopeDivider == 3) {
        m_envelopeDivider = 0;
        ++m_envelopeCounter;
        for (Channel& channel : m_channels)
            for (Operator& op : channel.ops)
                StepEnvelope(channel, op);
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
