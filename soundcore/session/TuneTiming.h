// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game/GameClips.h"

namespace tarvocore {

// How long a tune plays, as the player set it: a tune that loops plays its
// intro, its loop so many times and a fade; a length a file states is the
// tune's whole.
struct TuneTiming {
    bool endAtLength = true;
    int loopCount = 2;
    int fadeMs = 8000;

    // A clip's length as it plays and exports, -1 when unknown.
    int LengthOf(const ClipLocation& clip) const;
    int FadeOf(const ClipLocation& clip) const { return clip.loopMs > 0 ? fadeMs : 0; }
};

} // namespace tarvocore
