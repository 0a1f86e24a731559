// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>

namespace tarvocore {

// What a stretch of sound measures, after ITU-R BS.1770: its integrated
// loudness and its true peak (linear, 1.0 is full scale).
struct TuneLoudness {
    double lufs = -70.0;
    double peak = 0.0;
    bool operator==(const TuneLoudness&) const = default;
};

// The loudness of the 16-bit stereo sound given to it, through libebur128.
// Used on one thread at a time.
class CLoudnessMeter {
public:
    // Quieter than this is silence, as the gating of BS.1770 counts it.
    static constexpr double kSilenceLufs = -70.0;

    CLoudnessMeter();
    ~CLoudnessMeter();
    CLoudnessMeter(const CLoudnessMeter&) = delete;
    CLoudnessMeter& operator=(const CLoudnessMeter&) = delete;

    void Add(const int16_t* frames, int frameCount);
    // What the sound given so far measures; silence gives kSilenceLufs.
    TuneLoudness Measure() const;
    long long Frames() const { return m_frames; }

private:
    struct State; // libebur128's
    std::unique_ptr<State> m_state;
    long long m_frames = 0;
};

} // namespace tarvocore
