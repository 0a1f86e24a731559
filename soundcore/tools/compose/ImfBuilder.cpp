// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/compose/ImfBuilder.h"

#include <algorithm>
#include <cmath>

namespace compose {

namespace {

constexpr double kTicksPerSecond = 560;
constexpr int kLead = 0, kBass = 1, kHat = 2; // OPL2 channels

class ImfWriter {
public:
    void Write(int reg, int value) {
        m_data.insert(m_data.end(), {static_cast<uint8_t>(reg), static_cast<uint8_t>(value), 0, 0});
    }
    // The wait falls on the last write before it.
    void Wait(int ticks) {
        if (m_data.empty()) Write(0, 0);
        const size_t at = m_data.size() - 2;
        const int total = m_data[at] + 256 * m_data[at + 1] + ticks;
        m_data[at] = static_cast<uint8_t>(total);
        m_data[at + 1] = static_cast<uint8_t>(total >> 8);
    }
    Bytes Finish(const std::string& name, const std::string& author) const {
        Bytes out(2 + m_data.size());
        out[0] = static_cast<uint8_t>(m_data.size()); // type 1: the data's length first
        out[1] = static_cast<uint8_t>(m_data.size() >> 8);
        std::copy(m_data.begin(), m_data.end(), out.begin() + 2);
        out.push_back(0x1A);
        for (const std::string& text : {name, author, std::string("Tarvo demo")}) {
            out.insert(out.end(), text.begin(), text.end());
            out.push_back(0);
        }
        return out;
    }

private:
    Bytes m_data;
};

// A channel's two operators: characteristic, level, attack/decay,
// sustain/release; then the channel's feedback and connection.
struct Instrument {
    int modulator[4];
    int carrier[4];
    int feedback;
};

void SetInstrument(ImfWriter& imf, int channel, const Instrument& instrument) {
    const int modulator = channel % 3 + 8 * (channel / 3);
    for (int i = 0; i < 4; ++i) {
        imf.Write(0x20 + 0x20 * i + modulator, instrument.modulator[i]);
        imf.Write(0x20 + 0x20 * i + modulator + 3, instrument.carrier[i]);
    }
    imf.Write(0xC0 + channel, instrument.feedback);
}

// The OPL2's block and F-number for a note: the lowest block that holds it.
int KeyOf(int midi) {
    const double frequency = FrequencyOf(midi);
    for (int block = 0; block < 8; ++block) {
        const int number = static_cast<int>(std::lround(frequency * (1 << (20 - block)) / 49716));
        if (number < 1024) return block << 10 | number;
    }
    return 7 << 10 | 1023;
}

void Strike(ImfWriter& imf, int channel, int key) {
    imf.Write(0xB0 + channel, key >> 8 & 0x1F); // off first, so the envelope starts over
    imf.Write(0xA0 + channel, key & 0xFF);
    imf.Write(0xB0 + channel, 0x20 | (key >> 8 & 0x1F));
}

void PlayStep(ImfWriter& imf, int channel, int step, int& key) {
    if (step >= 0) {
        key = KeyOf(step);
        Strike(imf, channel, key);
    } else if (step == kRest) {
        imf.Write(0xB0 + channel, key >> 8 & 0x1F);
    }
}

} // namespace

Bytes ToImf(const LeadAndBass& tune, const std::string& author) {
    ImfWriter imf;
    imf.Write(0x01, 0x20); // waveforms other than sine allowed
    SetInstrument(imf, kLead, {{0x21, 0x1A, 0xF3, 0x44}, {0x21, 0x00, 0xF2, 0x45}, 0x0C});
    SetInstrument(imf, kBass, {{0x20, 0x14, 0xF5, 0x35}, {0x20, 0x00, 0xF4, 0x36}, 0x0A});
    SetInstrument(imf, kHat, {{0x0F, 0x00, 0xFF, 0x0F}, {0x01, 0x04, 0xF8, 0x1F}, 0x0E});
    const std::vector<int> lead = StepsOf(tune.melody), bass = StepsOf(tune.bass);
    const size_t steps = std::max(lead.size(), bass.size());
    const double ticksPerStep = tune.framesPerStep * kTicksPerSecond / 50;
    int leadKey = 0, bassKey = 0;
    const int hatKey = KeyOf(96);
    for (size_t i = 0; i < steps; ++i) {
        PlayStep(imf, kLead, i < lead.size() ? lead[i] : kRest, leadKey);
        PlayStep(imf, kBass, i < bass.size() ? bass[i] : kRest, bassKey);
        if (i % 2 == 0) Strike(imf, kHat, hatKey);
        const int now = static_cast<int>(std::lround(ticksPerStep * static_cast<double>(i)));
        const int next = static_cast<int>(std::lround(ticksPerStep * static_cast<double>(i + 1)));
        imf.Wait(next - now);
    }
    return imf.Finish(tune.name, author);
}

} // namespace compose
