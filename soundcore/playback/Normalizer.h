// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playback/LoudnessMeter.h"

#include <cstdint>

namespace tarvocore {

// Brings every tune to one loudness, so a playlist across games keeps one
// level: the gain comes from the tune's measured loudness, its true peak
// kept under a ceiling. A measure refined while the tune plays moves the
// gain by a glide too slow to be heard as a step.
class CNormalizer {
public:
    static constexpr double kTargetLufs = -18.0; // ReplayGain 2.0's reference
    static constexpr double kPeakCeilingDb = -1.0;
    // A near-silent tune is not raised into its noise without end.
    static constexpr double kMostGainDb = 24.0;
    static constexpr double kGlideDbPerSecond = 3.0;

    // The gain that brings a tune measured so to the target loudness, or
    // less where its true peak would pass the ceiling; 0 for silence.
    static double GainDbFor(const TuneLoudness& loudness);

    void SetEnabled(bool enabled) { m_enabled = enabled; }
    bool IsEnabled() const { return m_enabled; }
    // The next tune's gain, from its first sample on.
    void Start(double gainDb);
    // A better measure of the tune playing: the gain glides there.
    void Refine(double gainDb) { m_targetDb = gainDb; }
    double GainDb() const { return m_gainDb; }
    void Process(int16_t* frames, int frameCount);

private:
    bool m_enabled = false;
    double m_gainDb = 0.0;
    double m_targetDb = 0.0;
};

} // namespace tarvocore
