// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "player/PlayerStatus.h"

#include <functional>

namespace tarvo {

class CPlaylist;
class CROMList;
struct Config;

// Which clip comes next, or before: the loaded game's clips in order (the
// blank ones passed over unless they are shown) or the playlist's entries,
// in order or shuffled.
class CClipOrder {
public:
    // `random` gives 0 to 32767; without one, shuffle stays where it is.
    CClipOrder(const PlayerStatus& status, const CROMList& romList, const CPlaylist& playlist,
               const Config& config, std::function<int()> random);

    // After `from` (-1: the clip or position playing); -1 when there is none.
    int NextTarget(int from) const;
    int PrevTarget(int from) const;
    // Another playlist position than the one playing, when there is another.
    int ShufflePick() const;
    // The clip PLAY or REC starts: the current one, or in a game where none has
    // played yet its first clip worth hearing; -1 for none.
    int ClipToStart() const;

private:
    const PlayerStatus& m_status;
    const CROMList& m_romList;
    const CPlaylist& m_playlist;
    const Config& m_config;
    std::function<int()> m_random;
};

} // namespace tarvo
