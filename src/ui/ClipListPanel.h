// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "kit/MenuBuilder.h"
#include "kit/QtListView.h"
#include "player/IPlayerView.h"

#include <memory>
#include <QHash>
#include <QObject>

class QLineEdit;
class QMenu;
class QTreeWidget;

namespace tarvo {

class CPlayerDlg;
struct CGameEntry;

// The main window's clip list: the loaded game's clips in ROM mode, the
// playlist's entries in Playlist mode; the clip number and title fields
// above it; and the editing of the loaded game's clip information from the
// list's popup and the menus.
class CClipListPanel : public QObject {
    Q_OBJECT
public:
    CClipListPanel(CPlayerDlg& window, const QHash<int, QWidget*>& controls);

    CQtListView& View() { return *m_list; }
    QTreeWidget* Tree() const { return m_tree; }

    // The clip fields. A field being typed in keeps its text, until another
    // clip comes: then a typed title goes to the clip it was typed for, and
    // both fields show the new clip.
    void ShowClipFields(const PlayerFields& fields);
    void CommitClipNumber();
    void CommitClipTitle();

    void PlaySelected();
    void SetupClipColumns();
    void FillClipList(CGameEntry& game);
    // Lists the loaded game's clips again after ShowBlanks changed, keeping the
    // selected clip selected when it still has a row.
    void RefillClipList();
    void ClearClipList();
    void SelectClipRow(int clipOrPosition);
    void RefreshClipRow(int clip);
    void UpdateListButtons();
    int MarkedClip() const;

    // Clip editing.
    void ToggleBlank();
    void SetAsFirst();
    void SetAsLast();
    void SetNewRange();
    // The popup's items for the marked row; the menu itself is shown by ClipPopup.
    void PrepareClipPopup(QMenu& menu, const CMenuBuilder::Actions& actions) const;
    void ClipPopup(const QPoint& globalPosition);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void KeepTypedTitle();
    int FindClipRow(int clip) const;
    void CutRangeAtMarkedClip(const char* question, bool asFirst);

    CPlayerDlg& m_window;
    QTreeWidget* m_tree;
    std::unique_ptr<CQtListView> m_list;
    QLineEdit* m_numberEdit;
    QLineEdit* m_titleEdit;
    // The clip whose number and title the two clip fields show.
    CGameEntry* m_fieldsGame = nullptr;
    int m_fieldsClip = -1;
};

} // namespace tarvo
