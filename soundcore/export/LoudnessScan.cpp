// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/LoudnessScan.h"

#include <chrono>

namespace tarvocore {

namespace {

// How often the estimate is brought up to date, in rendered stretches (0.1 s each).
constexpr int kStretchesAPublish = 5;

} // namespace

CLoudnessScan::CLoudnessScan(ClipRenderRequest request, const std::string& emulatorProgram)
    : m_request(std::move(request)), m_emulatorProgram(emulatorProgram), m_job([this] { Run(); }) {}

CLoudnessScan::~CLoudnessScan() {
    Cancel();
    Wait();
}

CLoudnessScan::Estimate CLoudnessScan::Latest() const {
    const std::lock_guard lock(m_mutex);
    return m_latest;
}

void CLoudnessScan::Publish(const CLoudnessMeter& meter, bool ready, bool whole) {
    const TuneLoudness loudness = meter.Measure();
    const std::lock_guard lock(m_mutex);
    m_latest = {loudness, ready || m_latest.ready, whole};
}

void CLoudnessScan::Run() {
    const auto start = std::chrono::steady_clock::now();
    const auto firstEstimate = start + std::chrono::milliseconds(kFirstEstimateMs);
    CLoudnessMeter meter;
    int stretches = 0;
    std::string error;
    const bool whole = RenderWholeClip(
        m_request, m_emulatorProgram, m_cancelled,
        [&](int16_t* frames, int frameCount, double, std::string&) {
            meter.Add(frames, frameCount);
            if (++stretches % kStretchesAPublish == 0)
                Publish(meter, std::chrono::steady_clock::now() >= firstEstimate, false);
            return true;
        },
        error);
    // A clip that cannot be rendered plays by what was measured, or as it is.
    Publish(meter, true, whole);
}

} // namespace tarvocore
