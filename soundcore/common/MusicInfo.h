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

// Which songs an engine that measures songs by playing them plays through
// for Info: every song, none (their count and titles alone), or song n.
constexpr int kEverySong = -1;
constexpr int kNoSong = -2;

// The songs of a file that are clips: every song of a file of one, else
// each but those known to last less than half a second (AdLib files hold
// empty songs, Westwood's ADL files first of all). A console's multi-track
// file keeps every track, as its sound effects are among them.
constexpr int kShortestSongMs = 500;
inline std::vector<int> SongsOf(const MusicInfo& info, bool everyTrack) {
    std::vector<int> songs;
    for (size_t song = 0; song < info.tunes.size(); ++song)
        if (everyTrack || info.tunes.size() == 1 || info.tunes[song].lengthMs < 0 ||
            info.tunes[song].lengthMs >= kShortestSongMs)
            songs.push_back(static_cast<int>(song));
    return songs;
}

} // namespace tarvocore
