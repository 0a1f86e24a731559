// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/compose/ModuleBuilder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace compose {

namespace {

constexpr int kRows = 64; // four bars of sixteen steps, a row a step
constexpr int kSamples = 31;

// ProTracker's periods from C-1 to B-3.
constexpr std::array<int, 36> kPeriods = {
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453, 428, 404, 381, 360, 339, 320,
    302, 285, 269, 254, 240, 226, 214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};

void PutText(Bytes& out, size_t at, const std::string& text, size_t size) {
    std::memcpy(&out[at], text.data(), std::min(text.size(), size));
}

// A note as its period, counting from the voice's lowest note, which its
// sample's length tunes to ProTracker's C-1.
int PeriodOf(int midi, int lowest) {
    return kPeriods[static_cast<size_t>(std::clamp(midi - lowest, 0, 35))];
}

struct Sample {
    std::string name;
    std::vector<int8_t> data;
    bool loops;
};

std::vector<Sample> Instruments(const std::string& author, const std::vector<LeadAndBass>& tunes) {
    // At C-1 a sample plays 4144 bytes a second: 16 of them make middle C,
    // 64 the C two octaves down.
    std::vector<int8_t> square(16), triangle(64), noise(2048);
    for (int i = 0; i < 16; ++i)
        square[i] = static_cast<int8_t>(i < 8 ? 48 : -48);
    for (int i = 0; i < 64; ++i)
        triangle[i] = static_cast<int8_t>(i < 32 ? -64 + 4 * i : 64 - 4 * (i - 32));
    uint32_t seed = 12345;
    for (size_t i = 0; i < noise.size(); ++i) {
        seed = seed * 1103515245 + 12345;
        noise[i] = static_cast<int8_t>(static_cast<int>((seed >> 16) % 160 - 80) *
                                       static_cast<int>(noise.size() - i) /
                                       static_cast<int>(noise.size()));
    }
    std::vector<Sample> samples = {{"square lead", square, true},
                                   {"triangle bass", triangle, true},
                                   {"noise drum", noise, false},
                                   {"by " + author, {}, false}};
    for (size_t t = 0; t < tunes.size(); ++t)
        samples.push_back({std::to_string(t + 1) + ": " + tunes[t].name, {}, false});
    return samples;
}

void PutNote(Bytes& pattern, int row, int channel, int sample, int period, int effect, int param) {
    uint8_t* cell = &pattern[static_cast<size_t>((row * 4 + channel) * 4)];
    cell[0] = static_cast<uint8_t>((sample & 0xF0) | ((period >> 8) & 0x0F));
    cell[1] = static_cast<uint8_t>(period);
    cell[2] = static_cast<uint8_t>(((sample & 0x0F) << 4) | (effect & 0x0F));
    cell[3] = static_cast<uint8_t>(param);
}

// One voice's notes, written into the song's patterns from row 0.
void WriteVoice(std::vector<Bytes>& patterns, const std::string& melody, int channel, int sample,
                int lowest) {
    const std::vector<int> steps = StepsOf(melody);
    for (int row = 0; row < static_cast<int>(steps.size()); ++row) {
        if (row / kRows >= static_cast<int>(patterns.size())) break;
        Bytes& pattern = patterns[static_cast<size_t>(row / kRows)];
        const int midi = steps[static_cast<size_t>(row)];
        if (midi >= 0)
            PutNote(pattern, row % kRows, channel, sample, PeriodOf(midi, lowest), 0, 0);
        else if (midi == kRest && (row == 0 || steps[static_cast<size_t>(row - 1)] != kRest))
            PutNote(pattern, row % kRows, channel, 0, 0, 0xC, 0); // silence
    }
}

} // namespace

Bytes ModuleBuilder::Finish(const std::string& author) const {
    std::vector<Bytes> patterns;
    std::vector<uint8_t> order;
    for (const LeadAndBass& tune : m_tunes) {
        const int count = std::max(1, (tune.Steps() + kRows - 1) / kRows);
        const size_t first = patterns.size();
        std::vector<Bytes> song(static_cast<size_t>(count), Bytes(kRows * 4 * 4, 0));
        WriteVoice(song, tune.melody, 0, 1, 60);
        WriteVoice(song, tune.bass, 1, 2, 36);
        for (size_t p = 0; p < song.size(); ++p)
            for (int row = 0; row < kRows; row += 4)
                PutNote(song[p], row, 3, 3, row % 8 ? 160 : 428, 0, 0); // kick, then hat
        PutNote(song.front(), 0, 2, 0, 0, 0xF, tune.framesPerStep);
        // The song's last row jumps back to its first order: a subsong of its own.
        PutNote(song.back(), kRows - 1, 2, 0, 0, 0xB, static_cast<int>(order.size()));
        for (size_t p = 0; p < song.size(); ++p) {
            order.push_back(static_cast<uint8_t>(first + p));
            patterns.push_back(song[p]);
        }
    }

    const std::vector<Sample> samples = Instruments(author, m_tunes);
    Bytes out(20 + kSamples * 30 + 2 + 128 + 4, 0);
    PutText(out, 0, m_title, 20);
    for (size_t i = 0; i < samples.size() && i < kSamples; ++i) {
        const size_t at = 20 + i * 30;
        const Sample& sample = samples[i];
        PutText(out, at, sample.name, 22);
        PutBe16(out, at + 22, static_cast<int>(sample.data.size() / 2));
        out[at + 25] = sample.data.empty() ? 0 : 48; // volume
        PutBe16(out, at + 28, sample.loops ? static_cast<int>(sample.data.size() / 2) : 1);
    }
    const size_t orders = 20 + kSamples * 30;
    out[orders] = static_cast<uint8_t>(order.size());
    out[orders + 1] = 127;
    std::copy(order.begin(), order.end(), out.begin() + static_cast<long>(orders + 2));
    std::memcpy(&out[orders + 2 + 128], "M.K.", 4);
    for (const Bytes& pattern : patterns)
        out.insert(out.end(), pattern.begin(), pattern.end());
    for (const Sample& sample : samples)
        for (int8_t value : sample.data)
            out.push_back(static_cast<uint8_t>(value));
    return out;
}

} // namespace compose
