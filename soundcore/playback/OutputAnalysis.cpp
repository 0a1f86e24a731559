// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/OutputAnalysis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tarvocore {

namespace {

bool IsSilent(int16_t sample) {
    return static_cast<unsigned>(sample + CSilenceDetector::kThreshold) <=
           2u * CSilenceDetector::kThreshold;
}

} // namespace

int CSilenceDetector::Feed(const int16_t* frames, int frameCount) {
    // Only the silent run at the end of the block matters: scan back to the
    // last sound, which for music is found at once.
    int silentTail = 0;
    while (silentTail < frameCount) {
        const int i = frameCount - 1 - silentTail;
        if (!IsSilent(frames[2 * i]) || !IsSilent(frames[2 * i + 1])) break;
        ++silentTail;
    }
    const long long before = silentTail == frameCount ? m_silentFrames : 0;
    m_silentFrames = before + silentTail;
    return static_cast<int>(m_silentFrames / kSampleRate - before / kSampleRate);
}

void CFadeOut::Process(int16_t* frames, int frameCount) {
    if (m_total <= 0) return;
    constexpr double kPi = 3.14159265358979323846;
    for (int i = 0; i < frameCount; ++i, ++m_done) {
        const double gain = m_done >= m_total
                                ? 0.0
                                : 0.5 * (1.0 + std::cos(kPi * static_cast<double>(m_done) /
                                                        static_cast<double>(m_total)));
        for (int channel = 0; channel < 2; ++channel) {
            int16_t& sample = frames[2 * i + channel];
            sample = static_cast<int16_t>(std::lround(sample * gain));
        }
    }
}

} // namespace tarvocore
