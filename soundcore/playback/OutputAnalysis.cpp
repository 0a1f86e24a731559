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

void CNormalizer::Reset() {
    m_gain = 1.0;
    m_peak = 0.0;
}

void CNormalizer::Process(int16_t* frames, int frameCount) {
    if (!m_enabled || frameCount <= 0) return;
    int blockPeak = 0;
    for (int i = 0; i < 2 * frameCount; ++i)
        blockPeak = std::max(blockPeak, std::abs(static_cast<int>(frames[i])));
    // The remembered peak decays over a few seconds so the gain can rise again.
    m_peak = std::max(static_cast<double>(blockPeak), m_peak * 0.995);
    const double wanted = m_peak > 64 ? std::min(kMaxGain, kTargetPeak / m_peak) : m_gain;
    m_gain = wanted < m_gain ? wanted : m_gain + (wanted - m_gain) * 0.02;
    if (blockPeak * m_gain > 32767.0) m_gain = 32767.0 / blockPeak;
    for (int i = 0; i < 2 * frameCount; ++i) {
        const long scaled = std::lround(frames[i] * m_gain);
        frames[i] = static_cast<int16_t>(std::clamp(scaled, -32768L, 32767L));
    }
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
