// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Measures of the chips' sound that their tests share: renders, pitches from
// zero crossings, peaks.

#include "engines/MusicEngine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace tarvo::test {

inline std::vector<int16_t> RenderAll(tarvocore::IMusicEngine& engine, int frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
    engine.Render(out.data(), frames);
    return out;
}

// The frequency of a channel's tone from its rising zero crossings, each
// placed between the two samples around it.
inline double FrequencyOf(const std::vector<int16_t>& frames, int channel) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = 1; i < frames.size() / 2; ++i) {
        const double a = frames[2 * (i - 1) + static_cast<size_t>(channel)];
        const double b = frames[2 * i + static_cast<size_t>(channel)];
        if (a < 0 && b >= 0) {
            const double at = static_cast<double>(i - 1) + (-a) / (b - a);
            if (first < 0) first = at;
            last = at;
            ++crossings;
        }
    }
    return crossings > 1 ? (crossings - 1) * 44100.0 / (last - first) : 0;
}

// The pitch of a channel's tone, however many partials it has: the shortest
// period (from 50 Hz to 2 kHz) at which the sound repeats nearly as well as
// at its best, placed between samples by a parabola.
inline double PitchOf(const std::vector<int16_t>& frames, int channel) {
    const size_t count = frames.size() / 2;
    const auto correlation = [&](size_t lag) {
        double sum = 0;
        for (size_t i = 0; i + lag < count; ++i)
            sum += static_cast<double>(frames[2 * i + static_cast<size_t>(channel)]) *
                   frames[2 * (i + lag) + static_cast<size_t>(channel)];
        return sum / static_cast<double>(count - lag);
    };
    std::vector<double> byLag(44100 / 50 + 2, 0.0);
    double best = 0;
    for (size_t lag = 44100 / 2000; lag < byLag.size(); ++lag)
        best = std::max(best, byLag[lag] = correlation(lag));
    for (size_t lag = 44100 / 2000 + 1; lag + 1 < byLag.size(); ++lag) {
        const double a = byLag[lag - 1], b = byLag[lag], c = byLag[lag + 1];
        if (b < 0.95 * best || b < a || b < c) continue;
        const double shift = (a - c) / (2 * (a - 2 * b + c));
        return 44100.0 / (static_cast<double>(lag) + shift);
    }
    return 0;
}

inline double Cents(double frequency, double expected) {
    return 1200 * std::log2(frequency / expected);
}

// `seconds` of a stereo chip's output at its own rate, as frames.
template <typename Chip> std::vector<int16_t> RenderStereo(Chip& chip, double seconds) {
    std::vector<int16_t> frames;
    for (int i = 0; i < static_cast<int>(seconds * chip.Rate()); ++i) {
        int left = 0, right = 0;
        chip.NextSample(left, right);
        frames.push_back(static_cast<int16_t>(std::clamp(left, -32768, 32767)));
        frames.push_back(static_cast<int16_t>(std::clamp(right, -32768, 32767)));
    }
    return frames;
}

inline double PeakOf(const std::vector<int16_t>& frames, size_t from, size_t to, int channel = 0) {
    int peak = 0;
    for (size_t i = from; i < to && 2 * i + 1 < frames.size(); ++i)
        peak = std::max(peak, std::abs(frames[2 * i + static_cast<size_t>(channel)]));
    return peak;
}

} // namespace tarvo::test
