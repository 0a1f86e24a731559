// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/LoudnessMeter.h"

#include "playback/OutputAnalysis.h"

#include <algorithm>
#include <cmath>
#include <ebur128.h>
#include <new>

namespace tarvocore {

struct CLoudnessMeter::State {
    ebur128_state* meter = ebur128_init(2, kSampleRate, EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK);
    State() {
        if (!meter) throw std::bad_alloc();
    }
    ~State() { ebur128_destroy(&meter); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
};

CLoudnessMeter::CLoudnessMeter() : m_state(std::make_unique<State>()) {}

CLoudnessMeter::~CLoudnessMeter() = default;

void CLoudnessMeter::Add(const int16_t* frames, int frameCount) {
    if (frameCount <= 0) return;
    ebur128_add_frames_short(m_state->meter, frames, static_cast<size_t>(frameCount));
    m_frames += frameCount;
}

TuneLoudness CLoudnessMeter::Measure() const {
    TuneLoudness measured;
    double lufs = -HUGE_VAL;
    if (ebur128_loudness_global(m_state->meter, &lufs) == EBUR128_SUCCESS && std::isfinite(lufs))
        measured.lufs = std::max(lufs, kSilenceLufs);
    for (unsigned channel = 0; channel < 2; ++channel) {
        double peak = 0;
        if (ebur128_true_peak(m_state->meter, channel, &peak) == EBUR128_SUCCESS)
            measured.peak = std::max(measured.peak, peak);
    }
    return measured;
}

} // namespace tarvocore
