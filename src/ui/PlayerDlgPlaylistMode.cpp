// SPDX-License-Identifier: GPL-3.0-or-later
// Playlist mode of the main window: entering and leaving it, loading and
// saving playlists, the Playlist Manager and the move buttons.
#include "dialogs/DlgPlaylist.h"
#include "kit/DialogLayout.h"
#include "library/IDialogs.h"
#include "library/SavePicker.h"
#include "ui/MainWindowIds.h"
#include "ui/PlayerDlg.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

const std::vector<FileFilter> kPlaylistFilter{{"Tarvo Playlist Files", "*.tvp"}};

} // namespace

void CPlayerDlg::SetPlaylistMode(bool on) {
    const QScopedValueRollback updating(m_updatingControls, true);
    m_engine->SetPlaylistMode(on);
    Button(kSwitchMode)->setText(on ? u"Switch to ROM Mode"_s : u"Switch to Playlist Mode"_s);
    Control<QGroupBox>(m_controls, kBrowserGroup)
        ->setTitle(on ? u"Playlist Browser"_s : u"ROM SoundClip Browser"_s);
    m_controls.value(kShowBlanks)->setVisible(!on);
    m_controls.value(kShuffle)->setVisible(on);
    m_clipNumberEdit->setEnabled(!on);
    if (on) {
        m_playlist.SetupListColumns(*m_clipList);
        m_engine->SetBrowserTitle(m_playlist.title);
        SetEnabled(kPlay, true);
        SetEnabled(kNext, true);
    } else {
        SetupClipColumns();
        UpdateTransportButtons();
    }
    UpdateListButtons();
    UpdateMenus();
    RestoreUserFocus();
}

void CPlayerDlg::RefreshPlaylistRows() {
    if (m_engine->Status().playlistMode)
        m_playlist.UpdateRows(*m_clipList, 0, m_playlist.GetCount() - 1);
}

void CPlayerDlg::ShowGameInList() {
    CGameEntry* game = m_engine->LoadedGame();
    if (game) {
        FillClipList(*game);
        SelectClipRow(m_engine->Status().currentClip);
    }
    m_engine->SetBrowserTitle(game ? m_engine->Status().fields.gameName : std::string());
}

// Enters playlist mode with the playlist listed and the playing clip found in it.
void CPlayerDlg::ShowPlaylistInList() {
    SetPlaylistMode(true);
    m_playlist.FillList(*m_clipList);
    UpdateListButtons();
    m_engine->FindPlayingEntry(true);
}

void CPlayerDlg::ToggleMode() {
    if (m_engine->Status().playlistMode) {
        SetPlaylistMode(false);
        ShowGameInList();
    } else if (m_playlist.GetCount() > 0) {
        ShowPlaylistInList();
    } else {
        OpenPlaylistManager();
    }
    UpdateMenus();
}

void CPlayerDlg::LoadPlaylistCommand() {
    if (m_playlist.GetCount() > 0) SavePlaylist();
    const std::string path = m_dialogs.OpenFileDialog("Open Playlist...", kPlaylistFilter);
    if (!path.empty()) {
        m_playlist.LoadFromFile(path, {.interactive = true, .rememberName = true}, m_dialogs);
        if (m_playlist.GetCount() > 0)
            ShowPlaylistInList();
        else if (m_engine->Status().playlistMode)
            ToggleMode();
    }
    UpdateMenus();
}

void CPlayerDlg::SavePlaylistCommand() {
    const std::string path =
        AskSavePath(m_dialogs, "Save Playlist...", kPlaylistFilter, m_playlist.fileName, ".tvp");
    if (!path.empty()) m_playlist.SaveToFile(path, Interaction::Interactive, m_dialogs);
    UpdateMenus();
}

void CPlayerDlg::SavePlaylist() {
    if (m_playlist.GetCount() == 0) return;
    if (!m_playlist.fileName.empty()) {
        m_playlist.SaveToFile(m_playlist.fileName, Interaction::Interactive, m_dialogs);
        return;
    }
    if (!m_dialogs.AskYesNo("Do you want to save your current Playlist?", MessageIcon::Question))
        return;
    const std::string path =
        AskSavePath(m_dialogs, "Save Playlist...", kPlaylistFilter, "", ".tvp");
    if (!path.empty()) m_playlist.SaveToFile(path, Interaction::Interactive, m_dialogs);
}

void CPlayerDlg::OpenPlaylistManager() {
    CDlgPlaylist manager(m_romList, m_config.ROMFilter, m_dialogs, m_playlist,
                         m_engine->Status().currentGame, m_runModal, this);
    manager.KeepSizeIn(m_config.PlaylistManagerSize);
    manager.OpenDroppedFilesWith([this](const QByteArrayList& paths) { OpenMusic(paths); });
    m_openManager = &manager;
    const bool useIt = RunModal(m_runModal, manager) == QDialog::Accepted;
    m_openManager = nullptr;
    // Changes made in the manager stay, however it was left.
    m_playlist.CopyFrom(manager.Playlist());
    if (m_engine->Status().playlistMode) {
        if (m_playlist.GetCount() > 0) {
            m_playlist.SetupListColumns(*m_clipList);
            m_playlist.FillList(*m_clipList);
            m_engine->SetBrowserTitle(m_playlist.title);
            m_engine->FindPlayingEntry(useIt);
        } else {
            ToggleMode();
        }
    } else if (useIt) {
        ToggleMode();
    }
    UpdateMenus();
}

void CPlayerDlg::MoveClicked(PlaylistMove move) {
    const int index = m_clipList->SelectionMark();
    const int count = m_playlist.GetCount();
    if (!m_engine->Status().playlistMode || index < 0) return;
    if (!MovePlaylistEntry(m_playlist, move, index, m_clipList.get())) return;
    // The list holds one selected row: the moved one.
    m_clipTree->setCurrentItem(
        m_clipTree->topLevelItem(PositionAfterMove(move, index, index, count)));
    m_engine->FollowMovedEntry(move, index, count);
    UpdateListButtons();
    UpdateMenus();
}

} // namespace tarvo
