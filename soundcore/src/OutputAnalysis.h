#pragma once

#include <cstdint>

namespace tarvocore {

constexpr int kSampleRate = 44100;

// Counts silent output and says when another whole second of it has passed.
class CSilenceDetector {
public:
    // Samples within this of zero count as silent.
    static constexpr int kThreshold = 8;

    void Reset() { m_silentFrames = 0; }
    // The number of silence reports due for these frames (usually 0 or 1).
    int Feed(const int16_t* frames, int frameCount);

private:
    long long m_silentFrames = 0;
};

// An automatic gain that raises quiet clips and never clips: the gain follows
// the recent peak slowly upward and drops at once when a peak would overflow.
class CNormalizer {
public:
    static constexpr double kTargetPeak = 0.89 * 32767;
    static constexpr double kMaxGain = 4.0;

    void SetEnabled(bool enabled) { m_enabled = enabled; }
    bool IsEnabled() const { return m_enabled; }
    void Reset();
    void Process(int16_t* frames, int frameCount);

private:
    bool m_enabled = false;
    double m_gain = 1.0;
    double m_peak = 0.0;
};

} // namespace tarvocore
