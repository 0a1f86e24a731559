// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <vector>

struct soxr;

namespace tarvocore {

// One chip's stereo sound brought from its own rate to the output's 44.1 kHz
// by libsoxr, whose filter leaves the images of the chip's rate more than
// 90 dB down (a straight line between two of the chip's samples left a
// 21 kHz tone's image 10 dB down). The sound comes out aligned with the
// frames the chip was run for, after the filter's short delay; what comes
// out waits here until the mix takes it.
//
// The filter's state cannot be copied. A resampler started again begins with
// an empty history, so its first milliseconds differ from one that ran on;
// started on a whole second of a chip whose rate is a whole number of hertz,
// it is in step with the one that ran on from then on.
class CChipResampler {
public:
    CChipResampler() = default;
    ~CChipResampler();
    CChipResampler(const CChipResampler&) = delete;
    CChipResampler& operator=(const CChipResampler&) = delete;

    // Takes the chip's sound from output frame `frame` on, at `chipRate` Hz;
    // what waits to be mixed stays. Where libsoxr cannot, the chip is
    // silence, in step with the others.
    void Start(int chipRate, long frame);
    // Where the chip's next samples go: left and right, at its rate.
    std::vector<float>& Input() { return m_input; }
    // Resamples what was put in.
    void Process();
    // Resamples what was put in and lets the filter's tail out, so the sound
    // of the frames up to `frame` comes out whole: exactly one output frame
    // for each frame since the start.
    void Finish(long frame);
    // Resampled frames waiting to be mixed, left and right.
    size_t Ready() const { return (m_output.size() - m_read) / 2; }
    const float* Frames() const { return m_output.data() + m_read; }
    void Take(size_t frames);
    // Forgets what waits to be mixed and the filter's state.
    void Clear();

private:
    void Run(const float* input, size_t frames);

    soxr* m_soxr = nullptr;
    double m_ratio = 1;    // output frames per chip frame
    long m_startFrame = 0; // the output frame the current filter began at
    long m_madeFrames = 0; // output frames made since then
    std::vector<float> m_input;
    std::vector<float> m_output;
    size_t m_read = 0; // in samples
};

} // namespace tarvocore
