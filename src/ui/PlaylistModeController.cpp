// SPDX-License-Identifier: GPL-3.0-or-later
// Playlist mode of the main window: entering and leaving it, loading and
// saving playlists, the Playlist Manager and the move buttons.
#include "ui/PlaylistModeController.h"

#include "dialogs/DlgPlaylist.h"
#include "kit/DialogLayout.h"
#include "library/IDialogs.h"
#include "library/SavePicker.h"
#include "ui/MainWindowIds.h"
#include "ui/PlayerDlg.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

const std::vector<FileFilter> kPlaylistFilter{{"Tarvo Playlist Files", "*.tvp"}};

} // namespace

void CPlaylistModeController::SetPlaylistMode(bool on) {
    const CFocusKeeper::Updating updating(m_window.Focus());
    m_window.Engine().SetPlaylistMode(on);
    static_cast<QPushButton*>(m_window.ControlById(kSwitchMode))
        ->setText(on ? u"Switch to ROM Mode"_s : u"Switch to Playlist Mode"_s);
    static_cast<QGroupBox*>(m_window.ControlById(kBrowserGroup))
        ->setTitle(on ? u"Playlist Browser"_s : u"ROM SoundClip Browser"_s);
    m_window.ControlById(kShowBlanks)->setVisible(!on);
    m_window.ControlById(kShuffle)->setVisible(on);
    m_window.SetEnabled(kClipNumber, !on);
    if (on) {
        m_window.Playlist().SetupListColumns(m_window.Clips().View());
        m_window.Engine().SetBrowserTitle(m_window.Playlist().title);
        m_window.SetEnabled(kPlay, true);
        m_window.SetEnabled(kNext, true);
    } else {
        m_window.Clips().SetupClipColumns();
        m_window.View().UpdateTransportButtons();
    }
    m_window.Clips().UpdateListButtons();
    m_window.UpdateMenus();
    m_window.Focus().Restore();
}

void CPlaylistModeController::RefreshPlaylistRows() {
    if (m_window.Engine().Status().playlistMode)
        m_window.Playlist().UpdateRows(m_window.Clips().View(), 0,
                                       m_window.Playlist().GetCount() - 1);
}

void CPlaylistModeController::ShowGameInList() {
    CGameEntry* game = m_window.Engine().LoadedGame();
    if (game) {
        m_window.Clips().FillClipList(*game);
        m_window.Clips().SelectClipRow(m_window.Engine().Status().currentClip);
    }
    m_window.Engine().SetBrowserTitle(game ? m_window.Engine().Status().fields.gameName
                                           : std::string());
}

// Enters playlist mode with the playlist listed and the playing clip found in it.
void CPlaylistModeController::ShowPlaylistInList() {
    SetPlaylistMode(true);
    m_window.Playlist().FillList(m_window.Clips().View());
    m_window.Clips().UpdateListButtons();
    m_window.Engine().FindPlayingEntry(true);
}

void CPlaylistModeController::ToggleMode() {
    if (m_window.Engine().Status().playlistMode) {
        SetPlaylistMode(false);
        ShowGameInList();
    } else if (m_window.Playlist().GetCount() > 0) {
        ShowPlaylistInList();
    } else {
        OpenPlaylistManager();
    }
    m_window.UpdateMenus();
}

void CPlaylistModeController::LoadPlaylistCommand() {
    if (m_window.Playlist().GetCount() > 0) SavePlaylist();
    const std::string path = m_window.Dialogs().OpenFileDialog("Open Playlist...", kPlaylistFilter);
    if (!path.empty()) {
        m_window.Playlist().LoadFromFile(path, {.interactive = true, .rememberName = true},
                                         m_window.Dialogs());
        if (m_window.Playlist().GetCount() > 0)
            ShowPlaylistInList();
        else if (m_window.Engine().Status().playlistMode)
            ToggleMode();
    }
    m_window.UpdateMenus();
}

void CPlaylistModeController::SavePlaylistCommand() {
    const std::string path = AskSavePath(m_window.Dialogs(), "Save Playlist...", kPlaylistFilter,
                                         m_window.Playlist().fileName, ".tvp");
    if (!path.empty())
        m_window.Playlist().SaveToFile(path, Interaction::Interactive, m_window.Dialogs());
    m_window.UpdateMenus();
}

void CPlaylistModeController::SavePlaylist() {
    if (m_window.Playlist().GetCount() == 0) return;
    if (!m_window.Playlist().fileName.empty()) {
        m_window.Playlist().SaveToFile(m_window.Playlist().fileName, Interaction::Interactive,
                                       m_window.Dialogs());
        return;
    }
    if (!m_window.Dialogs().AskYesNo("Do you want to save your current Playlist?",
                                     MessageIcon::Question))
        return;
    const std::string path =
        AskSavePath(m_window.Dialogs(), "Save Playlist...", kPlaylistFilter, "", ".tvp");
    if (!path.empty())
        m_window.Playlist().SaveToFile(path, Interaction::Interactive, m_window.Dialogs());
}

void CPlaylistModeController::OpenPlaylistManager() {
    CDlgPlaylist manager(m_window.ROMList(), m_window.Settings().ROMFilter, m_window.Dialogs(),
                         m_window.Playlist(), m_window.Engine().Status().currentGame,
                         m_window.Runner(), &m_window);
    manager.KeepSizeIn(m_window.Settings().PlaylistManagerSize);
    manager.OpenDroppedFilesWith(
        [this](const QByteArrayList& paths) { m_window.Opening().OpenMusic(paths); });
    m_openManager = &manager;
    const bool useIt = m_window.RunModal(manager) == QDialog::Accepted;
    m_openManager = nullptr;
    // Changes made in the manager stay, however it was left.
    m_window.Playlist().CopyFrom(manager.Playlist());
    if (m_window.Engine().Status().playlistMode) {
        if (m_window.Playlist().GetCount() > 0) {
            m_window.Playlist().SetupListColumns(m_window.Clips().View());
            m_window.Playlist().FillList(m_window.Clips().View());
            m_window.Engine().SetBrowserTitle(m_window.Playlist().title);
            m_window.Engine().FindPlayingEntry(useIt);
        } else {
            ToggleMode();
        }
    } else if (useIt) {
        ToggleMode();
    }
    m_window.UpdateMenus();
}

void CPlaylistModeController::MoveClicked(PlaylistMove move) {
    const int index = m_window.Clips().View().SelectionMark();
    const int count = m_window.Playlist().GetCount();
    if (!m_window.Engine().Status().playlistMode || index < 0) return;
    if (!MovePlaylistEntry(m_window.Playlist(), move, index, &m_window.Clips().View())) return;
    // The list holds one selected row: the moved one.
    m_window.Clips().Tree()->setCurrentItem(
        m_window.Clips().Tree()->topLevelItem(PositionAfterMove(move, index, index, count)));
    m_window.Engine().FollowMovedEntry(move, index, count);
    m_window.Clips().UpdateListButtons();
    m_window.UpdateMenus();
}

} // namespace tarvo
