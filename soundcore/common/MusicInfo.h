// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/MusicData.h"

#include <string>
#include <vector>

namespace tarvocore {

// What a music file says of one of its tunes.
struct TuneInfo {
    std::string title; // from the file's tags; empty when it has none
    int lengthMs = -1; // intro plus loops, or the tagged length; -1 when unknown
    // For a tune that loops (a VGM's loop, libgme's intro and loop), its
    // intro and one pass of its loop; loopMs is -1 for a tune that does not.
    int introMs = 0;
    int loopMs = -1;
};

// What a music file holds: its tunes (tracks), the sound system it is for,
// and what its tags say of the game.
struct MusicInfo {
    std::string system;
    std::string game;        // the game's name
    std::string author;      // the composer
    std::string copyright;   // a year, a maker, or both
    std::string fingerprint; // what collections' databases know the file by (a SID's MD5)
    std::vector<TuneInfo> tunes;
};

} // namespace tarvocore
