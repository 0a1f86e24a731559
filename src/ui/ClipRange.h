#pragma once

namespace tarvo {

// The first and last clip typed into the Set Clip Range dialog, kept in order.
struct ClipRange {
    int firstClip = 0;
    int lastClip = 512;

    // First never above last, never below 0.
    void Normalize() {
        if (firstClip > lastClip) firstClip = lastClip;
        if (firstClip < 0) firstClip = 0;
        if (lastClip < firstClip) lastClip = firstClip;
    }
};

} // namespace tarvo
