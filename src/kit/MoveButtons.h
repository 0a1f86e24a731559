// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playlist/PlaylistMoves.h"

namespace tarvo {

// The four playlist move buttons, which the main window and the Playlist
// Manager share: control number, what it does and its icon.
enum MoveButtonId { kMoveDown = 1115, kMoveUp = 1116, kMoveToTop = 1117, kMoveToBottom = 1118 };

struct MoveButton {
    int id;
    PlaylistMove move;
    int icon;
};

inline constexpr MoveButton kMoveButtons[] = {{kMoveToTop, PlaylistMove::ToTop, 164},
                                              {kMoveUp, PlaylistMove::Up, 162},
                                              {kMoveDown, PlaylistMove::Down, 165},
                                              {kMoveToBottom, PlaylistMove::ToBottom, 166}};

} // namespace tarvo
