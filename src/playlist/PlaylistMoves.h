// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

namespace tarvo {

class CPlaylist;
class IListView;

// The four ways the move buttons reorder a playlist.
enum class PlaylistMove { ToTop, Up, Down, ToBottom };

// One entry moved the CPlaylist way; true when it moved.
bool MovePlaylistEntry(CPlaylist& playlist, PlaylistMove move, int index, IListView* list);

// Where the entry being played is after `index` moved (position -1 stays -1);
// `count` is the number of entries.
int PositionAfterMove(PlaylistMove move, int position, int index, int count);

// Moves the entries at `selectedRows` (ascending) together, keeping their
// order: a block already at the top (Up) or bottom (Down) stays where it is.
// Returns where they are now, ascending. No list is touched, so a window can
// redraw a large block once instead of row by row.
std::vector<int> MoveSelectedEntries(CPlaylist& playlist, PlaylistMove move,
                                     const std::vector<int>& selectedRows);

} // namespace tarvo
