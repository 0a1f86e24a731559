#pragma once

#include "MusicData.h"

namespace tarvocore {

// libgme's players for the other formats have not been hardened either, so a
// file is first opened and played for a few seconds in a child process. A
// child that crashes, or hangs past the time limit, condemns the file.
class CChildProbe {
public:
    static constexpr int kSecondsPlayed = 3;
    static constexpr int kTimeLimitMs = 4000;

    // The file's track count, or -1 when the child died or the file is unplayable.
    static int Probe(const Bytes& data, int track);
};

} // namespace tarvocore
