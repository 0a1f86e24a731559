// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/PlaylistMoves.h"

#include "playlist/Playlist.h"

namespace tarvo {

bool MovePlaylistEntry(CPlaylist& playlist, PlaylistMove move, int index, IListView* list) {
    switch (move) {
    case PlaylistMove::ToTop:
        return playlist.MoveToTop(index, list);
    case PlaylistMove::Up:
        return playlist.MoveUp(index, list);
    case PlaylistMove::Down:
        return playlist.MoveDown(index, list);
    case PlaylistMove::ToBottom:
        return playlist.MoveToBottom(index, list);
    }
    return false;
}

int PositionAfterMove(PlaylistMove move, int position, int index, int count) {
    if (position < 0) return position;
    switch (move) {
    case PlaylistMove::ToTop:
        if (position == index) return 0;
        return position < index ? position + 1 : position;
    case PlaylistMove::Up:
        if (position == index) return index - 1;
        return position == index - 1 ? position + 1 : position;
    case PlaylistMove::Down:
        if (position == index) return index + 1;
        return position == index + 1 ? position - 1 : position;
    case PlaylistMove::ToBottom:
        if (position == index) return count - 1;
        return position > index ? position - 1 : position;
    }
    return position;
}

std::vector<int> MoveSelectedEntries(CPlaylist& playlist, PlaylistMove move,
                                     const std::vector<int>& selectedRows) {
    const int m = static_cast<int>(selectedRows.size());
    const int n = playlist.GetCount();
    std::vector<int> movedTo(selectedRows);
    switch (move) {
    case PlaylistMove::ToTop:
        // The lowest row goes first; each later one has been pushed down by k.
        for (int k = 0; k < m; ++k) {
            playlist.MoveToTop(selectedRows[m - 1 - k] + k, nullptr);
            movedTo[k] = k;
        }
        break;
    case PlaylistMove::Up:
        for (int k = 0; k < m; ++k)
            if (selectedRows[k] > k && playlist.MoveUp(selectedRows[k], nullptr)) --movedTo[k];
        break;
    case PlaylistMove::Down:
        for (int k = m - 1; k >= 0; --k)
            if (selectedRows[k] < n - m + k && playlist.MoveDown(selectedRows[k], nullptr))
                ++movedTo[k];
        break;
    case PlaylistMove::ToBottom:
        // Each move pulls the rows below it up by one.
        for (int k = 0; k < m; ++k) {
            playlist.MoveToBottom(selectedRows[k] - k, nullptr);
            movedTo[k] = n - m + k;
        }
        break;
    }
    return movedTo;
}

} // namespace tarvo
