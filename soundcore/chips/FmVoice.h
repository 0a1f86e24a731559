// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace tarvocore {

// One operator of Yamaha's four-operator FM chips (OPM, OPN): a sine at the
// channel's pitch moved by detune and multiple, under an envelope that the
// chip's envelope clock steps (attenuation in 1024 steps of 3/32 dB), with
// the total level on top.
class CFmOperator {
public:
    // Attenuation steps (3/32 dB) from full level to silence.
    static constexpr int kSilent = 1023;

    // Registers.
    int dt1 = 0, mul = 0, tl = 0, ks = 0, ar = 0, amOn = 0, d1r = 0, dt2 = 0, d2r = 0, d1l = 0,
        rr = 0;

    // One of the operator's six registers in the chips' order: detune and
    // multiple, total level, key scaling and attack, tremolo and first decay,
    // second decay (with detune 2 on the OPM), sustain level and release.
    void Write(int which, uint8_t value, bool withDetune2);
    void Key(bool on);
    // Off, or faded out past hearing: only a key on brings it back (from
    // the phase's start), so it need not be rendered or stepped meanwhile.
    bool Silent() const {
        return m_stage == Stage::Off || (m_stage != Stage::Attack && m_attenuation >= kSilent);
    }
    // One step of the envelope clock; `keyCode` is the channel's five-bit key code.
    void StepEnvelope(int keyCode, uint32_t counter);
    // The next sample, -1 to 1: the pitch `channelHz` at `rate` samples a
    // second, its phase moved by `modulation` (a full-level operator moves it
    // 8 pi), attenuated by `extra` steps more (tremolo); `noise` in place of
    // the sine when given.
    double Output(double channelHz, int keyCode, double rate, double modulation, int extra,
                  const double* noise);

private:
    enum class Stage { Attack, Decay, Sustain, Release, Off };
    double Frequency(double channelHz, int keyCode, double rate) const;
    // The phase's step a sample, worked out again only when the pitch or a
    // register it rests on changes.
    uint32_t Increment(double channelHz, int keyCode, double rate) {
        if (channelHz != m_step.channelHz || keyCode != m_step.keyCode || m_step.stale)
            m_step = {
                channelHz, keyCode, false,
                static_cast<uint32_t>(Frequency(channelHz, keyCode, rate) / rate * 4294967296.0)};
        return m_step.increment;
    }

    Stage m_stage = Stage::Off;
    int m_attenuation = kSilent;
    uint32_t m_phase = 0; // a cycle is 2^32
    struct Step {
        double channelHz = -1;
        int keyCode = -1;
        bool stale = true; // detune or multiple written since
        uint32_t increment = 0;
    } m_step;
};

// Four operators joined by one of the eight connections both chip families
// share, MOD1 (S1 on the OPN) feeding back on itself.
class CFmVoice {
public:
    std::array<CFmOperator, 4> ops; // in the order of their chain: MOD1, CAR1, MOD2, CAR2
    int connection = 0;
    int feedback = 0;

    void StepEnvelopes(int keyCode, uint32_t counter);
    bool Silent() const;
    // The next sample: the carriers' sum. `tremolo` attenuates the operators
    // that take it; `noise` replaces the last operator's sine.
    double Render(double channelHz, int keyCode, double rate, int tremolo, const double* noise);

private:
    double Operator(int place, double channelHz, int keyCode, double rate, double modulation,
                    int tremolo, const double* noise);

    double m_history[2] = {0, 0}; // MOD1's last two outputs
};

// A channel of the OPN family (YM2203, YM2612): its voice, its pitch as the
// frequency number and block set it, and its registers.
struct OpnChannel {
    CFmVoice voice;
    int frequencyNumber = 0, block = 0, keyCode = 0;
    double frequency = 0;
    bool muted = false;

    // Key on (register 0x28): its four operator bits.
    void Key(uint8_t value);
    // The channel's registers: the operators' (0x30 to 0x8F; bits 2 and 3
    // the operator: S1, S3, S2, S4), the frequency (0xA4 to 0xA6 first, into
    // the chip's one `latch`, then 0xA0 to 0xA2), feedback and connection
    // (0xB0 to 0xB2). The SSG-type envelope (0x90) is left out.
    void Write(uint8_t reg, uint8_t value, int& latch, double rate);
};

// Resets a chip's channels, each keeping whether it is muted.
template <typename Channels> void ResetKeepingMutes(Channels& channels) {
    for (auto& channel : channels) {
        const bool muted = channel.muted;
        channel = {};
        channel.muted = muted;
    }
}

} // namespace tarvocore
