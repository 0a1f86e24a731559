// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playback/OutputAnalysis.h"

#include <cstdint>

namespace tarvocore {

// Where the clip playing stands, and how a clip of known length ends: a
// looping tune fades out over its last stretch, then the clip falls silent.
// A seek moves it, into the fade as well, as if the clip had played there.
class CClipTimeline {
public:
    // `endFrame` -1: the clip plays on; `fadeFrames` 0: no fade of its own.
    void Start(long endFrame, long fadeFrames);
    void JumpTo(long frame);
    // Fades and silences these frames as their place in the clip wants, and
    // moves on past them.
    void Process(int16_t* frames, int frameCount);
    long Position() const { return m_played; }
    long End() const { return m_endFrame; }

private:
    long m_played = 0;
    long m_fadeFrame = -1; // where the fade starts, -1 none
    long m_endFrame = -1;  // where the clip falls silent, -1 never
    CFadeOut m_fade;
};

} // namespace tarvocore
