// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/FmVoice.h"

#include <algorithm>
#include <cmath>

namespace tarvocore {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kSilent = CFmOperator::kSilent;
// A full-level operator moves the phase of the one it modulates by 8 pi:
// four cycles.
constexpr double kModulationCycles = 4;

// Detune 1 by key code, in steps of 2^-20 of the sample rate, for detunes 1
// to 3; 5 to 7 go as far down.
constexpr int kDetune1[3][32] = {{0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2,
                                  2, 3, 3, 3, 4, 4, 4, 5, 5, 6, 6, 7, 8, 8, 8, 8},
                                 {1, 1, 1, 1, 2, 2, 2, 2,  2,  3,  3,  3,  4,  4,  4,  5,
                                  5, 6, 6, 7, 8, 8, 9, 10, 11, 12, 13, 14, 16, 16, 16, 16},
                                 {2, 2, 2, 2,  2,  3,  3,  3,  4,  4,  4,  5,  5,  6,  6,  7,
                                  8, 8, 9, 10, 11, 12, 13, 14, 16, 17, 19, 20, 22, 22, 22, 22}};
// Detune 2 (the OPM's alone): 0, 600, 781 and 950 cents.
const double kDetune2[4] = {1, std::exp2(600 / 1200.0), std::exp2(781 / 1200.0),
                            std::exp2(950 / 1200.0)};
// How often an envelope at rate 4k + m steps: m + 4 of eight steps, in this
// pattern.
constexpr int kStepPatterns[4][8] = {{0, 1, 0, 1, 0, 1, 0, 1},
                                     {0, 1, 0, 1, 1, 1, 0, 1},
                                     {0, 1, 1, 1, 0, 1, 1, 1},
                                     {0, 1, 1, 1, 1, 1, 1, 1}};

// A sine of 4096 steps and the gain of each attenuation step (3/32 dB), so
// each operator costs a few lookups a sample.
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
// Made before main, so reading them costs no check of a guard each sample.
const Tables kTables;

// The step an envelope at `rate` (0 to 63) takes at this clock.
int StepAt(int rate, uint32_t counter) {
    const int k = rate >> 2, m = rate & 3;
    if (rate == 0) return 0;
    if (k < 12) {
        const uint32_t shift = static_cast<uint32_t>(11 - k);
        return (counter & ((1u << shift) - 1)) == 0 ? kStepPatterns[m][(counter >> shift) & 7] : 0;
    }
    return k < 15 ? kStepPatterns[m][counter & 7] << (k - 11) : 8;
}

} // namespace

void CFmOperator::Write(int which, uint8_t value, bool withDetune2) {
    switch (which) {
    case 0:
        dt1 = (value >> 4) & 7;
        mul = value & 15;
        m_step.stale = true;
        break;
    case 1:
        tl = value & 0x7F;
        break;
    case 2:
        ks = value >> 6;
        ar = value & 0x1F;
        break;
    case 3:
        amOn = value >> 7;
        d1r = value & 0x1F;
        break;
    case 4:
        dt2 = withDetune2 ? value >> 6 : 0;
        d2r = value & 0x1F;
        m_step.stale = true;
        break;
    default:
        d1l = value >> 4;
        rr = value & 15;
        break;
    }
}

void CFmOperator::Key(bool on) {
    const bool sounding = m_stage != Stage::Release && m_stage != Stage::Off;
    if (on && !sounding) {
        m_stage = Stage::Attack;
        m_phase = 0;
    } else if (!on && sounding) {
        m_stage = Stage::Release;
    }
}

// Each rate register counts double, raised by the key code as far as key
// scaling says (its top bits over 8, 4, 2 or 1); the release counts four
// times and two more. Inline, as Output is: stepped for every operator, from
// this file alone.
inline void CFmOperator::StepEnvelope(int keyCode, uint32_t counter) {
    if (Silent()) {
        if (m_stage == Stage::Release) m_stage = Stage::Off;
        return;
    }
    int registerRate = 0;
    switch (m_stage) {
    case Stage::Attack:
        registerRate = ar ? 2 * ar : 0;
        break;
    case Stage::Decay:
        registerRate = d1r ? 2 * d1r : 0;
        break;
    case Stage::Sustain:
        registerRate = d2r ? 2 * d2r : 0;
        break;
    case Stage::Release:
        registerRate = 4 * rr + 2;
        break;
    case Stage::Off:
        return;
    }
    const int rate = registerRate ? std::min(63, registerRate + (keyCode >> (3 - ks))) : 0;
    if (m_stage == Stage::Attack) {
        if (rate >= 62) m_attenuation = 0;
        m_attenuation += ((-m_attenuation - 1) * StepAt(rate, counter)) >> 4;
        if (m_attenuation <= 0) {
            m_attenuation = 0;
            m_stage = Stage::Decay;
        }
        return;
    }
    m_attenuation = std::min(kSilent, m_attenuation + StepAt(rate, counter));
    const int sustainLevel = d1l == 15 ? kSilent : d1l * 32;
    if (m_stage == Stage::Decay && m_attenuation >= sustainLevel) m_stage = Stage::Sustain;
    if (m_stage == Stage::Release && m_attenuation >= kSilent) m_stage = Stage::Off;
}

double CFmOperator::Frequency(double channelHz, int keyCode, double rate) const {
    double frequency = channelHz * kDetune2[dt2 & 3];
    if (dt1 & 3) {
        const double detune = kDetune1[(dt1 & 3) - 1][keyCode & 31] * rate / (1 << 20);
        frequency += (dt1 & 4) ? -detune : detune;
    }
    return frequency * (mul ? mul : 0.5);
}

// Inline: called for every operator every sample, from this file alone.
inline double CFmOperator::Output(double channelHz, int keyCode, double rate, double modulation,
                                  int extra, const double* noise) {
    if (Silent()) return 0; // its phase starts again at its key on
    m_phase += Increment(channelHz, keyCode, rate);
    const int attenuation = m_attenuation + tl * 8 + (amOn ? extra : 0);
    if (m_stage == Stage::Off || attenuation >= kSilent) return 0;
    const auto offset =
        static_cast<uint32_t>(static_cast<int64_t>(modulation * kModulationCycles * 4294967296.0));
    const double wave = noise ? *noise : kTables.sine[(m_phase + offset) >> 20];
    return wave * kTables.gain[attenuation];
}

void CFmVoice::StepEnvelopes(int keyCode, uint32_t counter) {
    for (CFmOperator& op : ops)
        op.StepEnvelope(keyCode, counter);
}

bool CFmVoice::Silent() const {
    return std::all_of(ops.begin(), ops.end(), [](const CFmOperator& op) { return op.Silent(); });
}

inline double CFmVoice::Operator(int place, double channelHz, int keyCode, double rate,
                                 double modulation, int tremolo, const double* noise) {
    return ops[static_cast<size_t>(place)].Output(channelHz, keyCode, rate, modulation, tremolo,
                                                  place == 3 ? noise : nullptr);
}

// The eight connections, MOD1 -> CAR1 -> MOD2 -> CAR2 (0) to four carriers (7).
// Feedback moves MOD1 by its last two outputs' mean, pi/16 (1) to 4 pi (7).
double CFmVoice::Render(double channelHz, int keyCode, double rate, int tremolo,
                        const double* noise) {
    if (Silent()) return 0;
    // pi/16 to 4 pi: 2^(feedback - 8) of the four cycles a full-level operator moves.
    static constexpr double kFeedbackScale[8] = {0,        1 / 128.0, 1 / 64.0, 1 / 32.0,
                                                 1 / 16.0, 1 / 8.0,   1 / 4.0,  1 / 2.0};
    const double feedbackIn = (m_history[0] + m_history[1]) / 2 * kFeedbackScale[feedback & 7];
    const auto op = [&](int place, double modulation) {
        return Operator(place, channelHz, keyCode, rate, modulation, tremolo, noise);
    };
    const double a = op(0, feedbackIn);
    m_history[1] = m_history[0];
    m_history[0] = a;
    switch (connection & 7) {
    case 0:
        return op(3, op(2, op(1, a)));
    case 1: {
        const double b = op(1, 0);
        return op(3, op(2, a + b));
    }
    case 2: {
        const double c = op(2, op(1, 0));
        return op(3, a + c);
    }
    case 3: {
        const double b = op(1, a);
        return op(3, b + op(2, 0));
    }
    case 4: {
        const double b = op(1, a);
        return b + op(3, op(2, 0));
    }
    case 5: {
        const double b = op(1, a);
        const double c = op(2, a);
        return b + c + op(3, a);
    }
    case 6: {
        const double b = op(1, a);
        const double c = op(2, 0);
        return b + c + op(3, 0);
    }
    default: {
        const double b = op(1, 0);
        const double c = op(2, 0);
        return a + b + c + op(3, 0);
    }
    }
}

void OpnChannel::Key(uint8_t value) {
    for (int place = 0; place < 4; ++place)
        voice.ops[static_cast<size_t>(place)].Key((value >> (4 + place)) & 1);
}

// The frequency number counts 2^-21 of the sample rate at block 0, doubling
// each block; the key code is the block and the number's top bits.
void OpnChannel::Write(uint8_t reg, uint8_t value, int& latch, double rate) {
    static constexpr int kNoteBits[16] = {0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 3, 3, 3, 3, 3, 3};
    switch (reg & 0xFC) {
    case 0xA4:
        latch = value & 0x3F;
        return;
    case 0xA0:
        frequencyNumber = (latch & 7) << 8 | value;
        block = latch >> 3;
        frequency = frequencyNumber * std::ldexp(rate, block - 21);
        keyCode = block << 2 | kNoteBits[frequencyNumber >> 7];
        return;
    case 0xB0:
        voice.feedback = (value >> 3) & 7;
        voice.connection = value & 7;
        return;
    default:
        break;
    }
    static constexpr int kChainPlace[4] = {0, 2, 1, 3}; // S1, S3, S2, S4 -> S1, S2, S3, S4
    if (reg >= 0x30 && reg < 0x90)
        voice.ops[static_cast<size_t>(kChainPlace[(reg >> 2) & 3])].Write(
            ((reg & 0xF0) - 0x30) / 0x10, value, false);
}

} // namespace tarvocore
