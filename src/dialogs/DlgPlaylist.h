// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "kit/ModalRunner.h"
#include "kit/QtListView.h"
#include "kit/ResizableDialog.h"
#include "playlist/Playlist.h"
#include "playlist/PlaylistMoves.h"

#include <functional>
#include <memory>
#include <QByteArrayList>
#include <QDialog>
#include <QHash>

class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace tarvo {

class CROMList;
class IDialogs;

// "Playlist Manager": the clips of one game on the left, the playlist being
// built on the right. It edits its own copy of `playlist`, which the main
// window takes back after, whatever the result. `runModal` runs the Game
// Browser behind "Change ROM".
class CDlgPlaylist : public CResizableDialog {
    Q_OBJECT
public:
    // The controls, by their numbers in the dialog's layout table.
    enum ControlId {
        kUseThisPlaylist = 1,
        kTitle = 1002,
        kClips = 1034,
        kEntries = 1035,
        kChangeROM = 1037,
        kAdd = 1063,
        kRemove = 1064,
        kClear = 1065,
        kLocate = 1066,
        kLoad = 1067,
        kAddPlaylist = 1068,
        kSave = 1069,
        kDone = 1070,
        kShownROM = 1072,
        kFind = 1073,
    };

    CDlgPlaylist(CROMList& romList, int& filter, IDialogs& dialogs, const CPlaylist& playlist,
                 int shownGame = -1, ModalRunner runModal = {}, QWidget* parent = nullptr);

    const CPlaylist& Playlist() const { return m_playlist; }
    int ShownGame() const { return m_shownGame; }

    int exec() override;
    // The dialog's start: columns, the shown game, the playlist, the buttons.
    void Open();
    void ShowGame(int game);
    // Shows only the clips whose number or title holds every word typed.
    void FindClips(const QString& words);
    void RefreshPlaylistView();
    void UpdateAddButton();
    void UpdatePlaylistButtons();
    void Add();
    void Remove();
    void ClearPlaylist(bool ask);
    void MoveSelected(PlaylistMove move);
    void Locate();
    void ChangeROM();
    void Load();
    void AddPlaylist();
    void Save();
    void CommitTitle();
    void accept() override;
    void done(int result) override;

    QWidget* ControlById(int id) const { return m_controls.value(id); }
    CQtListView& ClipList() { return m_clipList; }
    CQtListView& PlaylistList() { return m_playlistList; }
    // Files dropped on the manager go to `open`, as music to add.
    void OpenDroppedFilesWith(std::function<void(const QByteArrayList&)> open);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void ConnectControls();
    void LoadFile(const char* title, bool append);
    void SetEnabled(int id, bool enabled);

    CROMList& m_romList;
    CPlaylist m_playlist;
    int m_shownGame = -1;
    ModalRunner m_runModal;
    int& m_filter;
    IDialogs& m_dialogs;
    QHash<int, QWidget*> m_controls;
    std::function<void(const QByteArrayList&)> m_openDropped;
    QLineEdit* m_title;
    QLineEdit* m_find;
    QTreeWidget* m_clipTree;
    QTreeWidget* m_playlistTree;
    CQtListView m_clipList;
    CQtListView m_playlistList;
    bool m_opened = false;
};

} // namespace tarvo
