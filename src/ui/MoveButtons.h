#pragma once

#include "PlaylistMoves.h"

namespace tarvo {

// The four playlist move buttons, which the main window and the Playlist
// Manager share: control number, what it does and its icon.
struct MoveButton {
    int id;
    PlaylistMove move;
    int icon;
};

inline constexpr MoveButton kMoveButtons[] = {{1117, PlaylistMove::ToTop, 164},
                                              {1116, PlaylistMove::Up, 162},
                                              {1115, PlaylistMove::Down, 165},
                                              {1118, PlaylistMove::ToBottom, 166}};

} // namespace tarvo
