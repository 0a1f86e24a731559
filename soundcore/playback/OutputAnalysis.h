// SPDX-License-Identifier: GPL-3.0-or-later
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

// A fade to silence over a given stretch of sound, then silence until it is
// cancelled. Its gain follows half a cosine: it leaves full volume and
// reaches silence without a step, so there is no click at either end.
class CFadeOut {
public:
    // Over `frames`, of which `done` have passed already (a seek into the fade).
    void Start(long frames, long done = 0) {
        m_total = frames;
        m_done = done;
    }
    void Cancel() { m_total = 0; }
    bool IsActive() const { return m_total > 0; }
    void Process(int16_t* frames, int frameCount);

private:
    long m_total = 0;
    long m_done = 0;
};

} // namespace tarvocore
