// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playlist/PlaylistMoves.h"

namespace tarvo {

class CDlgPlaylist;
class CPlayerDlg;

// The main window's Playlist mode: entering and leaving it, loading and
// saving playlists, the Playlist Manager and the move buttons.
class CPlaylistModeController {
public:
    explicit CPlaylistModeController(CPlayerDlg& window) : m_window(window) {}

    void SetPlaylistMode(bool on);
    void ToggleMode();
    void LoadPlaylistCommand();
    void SavePlaylistCommand();
    // Saves to the playlist's file, or asks for one; the crash-recovery copy
    // is the engine's autosave.
    void SavePlaylist();
    void OpenPlaylistManager();
    void MoveClicked(PlaylistMove move);
    // The playlist's rows again, after the clip information learned titles.
    void RefreshPlaylistRows();
    // The Playlist Manager while it is open, else null.
    CDlgPlaylist* OpenManager() const { return m_openManager; }

private:
    void ShowGameInList();
    void ShowPlaylistInList();

    CPlayerDlg& m_window;
    CDlgPlaylist* m_openManager = nullptr;
};

} // namespace tarvo
