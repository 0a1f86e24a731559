// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/Normalizer.h"

#include "playback/OutputAnalysis.h"

#include <algorithm>
#include <cmath>

namespace tarvocore {

namespace {

double LinearOf(double db) {
    return std::pow(10.0, db / 20.0);
}

int16_t Scaled(int16_t sample, double gain) {
    return static_cast<int16_t>(std::clamp(std::lround(sample * gain), -32768L, 32767L));
}

} // namespace

double CNormalizer::GainDbFor(const TuneLoudness& loudness) {
    if (loudness.lufs <= CLoudnessMeter::kSilenceLufs || loudness.peak <= 0) return 0.0;
    const double toTarget = kTargetLufs - loudness.lufs;
    const double toCeiling = kPeakCeilingDb - 20.0 * std::log10(loudness.peak);
    return std::min({toTarget, toCeiling, kMostGainDb});
}

void CNormalizer::Start(double gainDb) {
    m_gainDb = m_targetDb = gainDb;
}

void CNormalizer::Process(int16_t* frames, int frameCount) {
    if (!m_enabled || frameCount <= 0) return;
    if (m_gainDb == m_targetDb) {
        const double gain = LinearOf(m_gainDb);
        for (int i = 0; i < 2 * frameCount; ++i)
            frames[i] = Scaled(frames[i], gain);
        return;
    }
    // A glide of the same ratio every frame, until the target is reached.
    const double most = kGlideDbPerSecond * frameCount / kSampleRate;
    const double end = m_gainDb + std::clamp(m_targetDb - m_gainDb, -most, most);
    const double step = LinearOf((end - m_gainDb) / frameCount);
    double gain = LinearOf(m_gainDb);
    for (int i = 0; i < frameCount; ++i) {
        gain *= step;
        frames[2 * i] = Scaled(frames[2 * i], gain);
        frames[2 * i + 1] = Scaled(frames[2 * i + 1], gain);
    }
    m_gainDb = end;
}

} // namespace tarvocore
