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
