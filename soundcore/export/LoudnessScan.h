// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/BackgroundJob.h"
#include "export/ClipRendering.h"
#include "playback/LoudnessMeter.h"

#include <atomic>
#include <mutex>
#include <string>

namespace tarvocore {

// A clip's loudness measured while it plays: the clip rendered from its
// start to its end as fast as its emulator goes, on a thread and in an
// emulator process of their own. What the part rendered so far measures
// can be read at any time; after a second of work it is an estimate worth
// playing by (most engines have rendered the whole clip by then; a C64 tune
// about its first 17 seconds).
class CLoudnessScan {
public:
    static constexpr int kFirstEstimateMs = 1000;

    struct Estimate {
        TuneLoudness loudness;
        bool ready = false; // a second of work done, or the whole clip
        bool whole = false; // the whole clip measured
    };

    CLoudnessScan(ClipRenderRequest request, const std::string& emulatorProgram);
    ~CLoudnessScan();
    CLoudnessScan(const CLoudnessScan&) = delete;
    CLoudnessScan& operator=(const CLoudnessScan&) = delete;

    void Cancel() { m_cancelled = true; }
    bool Done() const { return m_job.Done(); }
    void Wait() { m_job.Wait(); }
    Estimate Latest() const;

private:
    void Run();
    void Publish(const CLoudnessMeter& meter, bool ready, bool whole);

    const ClipRenderRequest m_request;
    const std::string m_emulatorProgram;
    std::atomic<bool> m_cancelled{false};
    mutable std::mutex m_mutex; // guards m_latest, written by the scan's thread
    Estimate m_latest;
    CBackgroundJob m_job; // last: it starts once everything above is made
};

} // namespace tarvocore
