// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/TuneTiming.h"

#include <algorithm>
#include <limits>

namespace tarvocore {

int TuneTiming::LengthOf(const ClipLocation& clip) const {
    if (clip.loopMs <= 0) return clip.lengthMs;
    const long long length = static_cast<long long>(clip.introMs) +
                             static_cast<long long>(loopCount) * clip.loopMs + fadeMs;
    return static_cast<int>(std::min<long long>(length, std::numeric_limits<int>::max()));
}

} // namespace tarvocore
