// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tarvo {

struct CGameEntry;

// One clip of one game; the game belongs to the game list, which outlives
// every playlist.
struct PlaylistEntry {
    const CGameEntry* game = nullptr;
    int clip = -1;

    // "romName:007"; empty without a game or with a clip below 0.
    std::string GetLabel() const;
    bool IsBlankEntry() const;
    // What a list shows beside the label: "-- blank --", the title or "Clip n".
    std::string GetTitleText() const;

    bool operator==(const PlaylistEntry&) const = default;
};

} // namespace tarvo
