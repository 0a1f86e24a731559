// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's clip list (ROM mode) and the editing of clip information.
#include "dialogs/DlgClipRange.h"
#include "kit/DialogLayout.h"
#include "kit/MoveButtons.h"
#include "library/IDialogs.h"
#include "library/TextUtils.h"
#include "ui/MainWindowIds.h"
#include "ui/PlayerDlg.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace tarvo {

void CPlayerDlg::CommitClipNumber() {
    const QString typed = m_clipNumberEdit->text().trimmed();
    if (typed.isEmpty()) return; // no clip shown, none asked for
    m_engine->TypeClipNumber(ParseInt(typed.toStdString()));
}

void CPlayerDlg::CommitClipTitle() {
    m_clipTitleEdit->setModified(false);
    m_engine->TypeClipTitle(m_clipTitleEdit->text().toStdString());
}

// A title typed but not yet committed when another clip comes belongs to the
// clip the field showed.
void CPlayerDlg::KeepTypedTitle() {
    if (!m_clipTitleEdit->isModified() || !m_fieldsGame || m_fieldsClip < 0) return;
    m_clipTitleEdit->setModified(false);
    m_fieldsGame->clipInfo.SetTitle(m_fieldsClip, m_clipTitleEdit->text().toStdString());
    if (m_fieldsGame == m_engine->LoadedGame()) RefreshClipRow(m_fieldsClip);
}

// --- The clip list -----------------------------------------------------------

void CPlayerDlg::SetupClipColumns() {
    tarvo::SetupClipColumns(*m_clipList);
}

void CPlayerDlg::FillClipList(CGameEntry& game) {
    game.clipInfo.FillClipList(*m_clipList, m_config.ShowBlanks != 0);
    UpdateListButtons();
}

// Lists the loaded game's clips again after ShowBlanks changed, keeping the
// selected clip selected when it still has a row.
void CPlayerDlg::RefillClipList() {
    CGameEntry* game = m_engine->LoadedGame();
    if (!game || m_engine->Status().playlistMode) return;
    const bool hadSelection = !m_clipTree->selectedItems().isEmpty();
    const int clip = hadSelection ? MarkedClip() : -1;
    FillClipList(*game);
    if (hadSelection) SelectClipRow(clip);
}

void CPlayerDlg::ClearClipList() {
    m_clipList->DeleteAllRows();
    UpdateListButtons();
}

int CPlayerDlg::FindClipRow(int clip) const {
    for (int row = 0; row < m_clipList->RowCount(); ++row)
        if (m_clipList->ItemData(row) == clip) return row;
    return -1;
}

int CPlayerDlg::MarkedClip() const {
    const int mark = m_clipList->SelectionMark();
    return mark < 0 ? -1 : m_clipList->ItemData(mark);
}

void CPlayerDlg::SelectClipRow(int clipOrPosition) {
    const int row = m_engine->Status().playlistMode ? clipOrPosition : FindClipRow(clipOrPosition);
    if (row >= 0 && row < m_clipList->RowCount()) {
        m_clipTree->setCurrentItem(m_clipTree->topLevelItem(row));
        m_clipList->EnsureVisible(row);
    }
    UpdateMenus();
}

void CPlayerDlg::RefreshClipRow(int clip) {
    CGameEntry* game = m_engine->LoadedGame();
    if (!game || !game->clipInfo.GetRecord(clip)) return;
    const std::string label = game->clipInfo.GetLabel(clip);
    const int row = FindClipRow(clip);
    if (m_engine->Status().playlistMode) {
        for (int i = 0; i < m_playlist.GetCount(); ++i)
            if (m_playlist.GetGame(i) == game && m_playlist.GetClip(i) == clip)
                m_clipList->SetText(i, 1, label);
    } else if (m_config.ShowBlanks) {
        if (row >= 0) m_clipList->SetText(row, 1, label);
    } else if (!game->clipInfo.IsBlank(clip)) {
        if (row < 0) {
            // Rows stay in the order NEXT plays them.
            const int next = m_engine->Order().NextTarget(clip);
            const int nextRow = next < clip ? -1 : FindClipRow(next);
            m_clipList->InsertRow(nextRow < 0 ? m_clipList->RowCount() : nextRow,
                                  FormatClipNumber(clip), label, clip);
        } else {
            m_clipList->SetText(row, 1, label);
        }
    } else if (row >= 0) {
        const int mark = m_clipList->SelectionMark();
        const QSignalBlocker blocker(m_clipTree);
        m_clipList->DeleteRow(row);
        if (mark == row) {
            const int count = m_clipList->RowCount();
            m_clipList->SetSelectionMark(count == 0 ? -1 : std::min(row, count - 1));
        }
    }
    UpdateMenus();
}

void CPlayerDlg::PlaySelected() {
    const int mark = m_clipList->SelectionMark();
    if (mark >= 0)
        m_engine->PlayChosen(m_engine->Status().playlistMode ? mark : m_clipList->ItemData(mark));
    UpdateMenus();
}

void CPlayerDlg::ShowBlanksClicked() {
    ReadControls();
    RefillClipList();
    UpdateMenus();
}

void CPlayerDlg::UpdateListButtons() {
    const bool selected = !m_clipTree->selectedItems().isEmpty();
    SetEnabled(kPlaySelected, selected);
    for (const MoveButton& button : kMoveButtons)
        SetEnabled(button.id, m_engine->Status().playlistMode && selected);
}

void CPlayerDlg::PrepareClipPopup(QMenu&, const CMenuBuilder::Actions& actions) const {
    const CGameEntry* game = m_engine->LoadedGame();
    const int clip = MarkedClip();
    auto set = [&](int id, bool enabled, bool checked) {
        for (QAction* action : actions.value(id)) {
            action->setEnabled(enabled);
            action->setCheckable(id == kToggleBlank);
            action->setChecked(checked);
        }
    };
    set(kToggleBlank, true, game && game->clipInfo.IsBlank(clip));
    set(kSetFirst, game && clip > game->clipInfo.firstClip, false);
    set(kSetLast, game && clip < game->clipInfo.lastClip, false);
    set(kNewRange, true, false);
}

void CPlayerDlg::ClipPopup(const QPoint& globalPosition) {
    if (m_engine->Status().playlistMode || !m_engine->LoadedGame() ||
        m_clipList->SelectionMark() < 0)
        return;
    QMenu menu(this);
    const auto actions = CMenuBuilder::BuildPopup(&menu, u"134.menu"_s);
    PrepareClipPopup(menu, actions);
    QAction* chosen = menu.exec(globalPosition);
    if (chosen) Command(chosen->data().toInt());
}

// --- Clip editing ---------------------------------------------------------------

void CPlayerDlg::ToggleBlank() {
    CGameEntry* game = m_engine->LoadedGame();
    if (!game) return;
    const int clip = MarkedClip();
    if (clip >= 0) {
        game->clipInfo.SetBlank(clip, !game->clipInfo.IsBlank(clip));
        RefreshClipRow(clip);
    }
    UpdateMenus();
}

void CPlayerDlg::SetAsFirst() {
    CutRangeAtMarkedClip("Are you sure you want to remove all SoundClip entries before this one?",
                         true);
}

void CPlayerDlg::SetAsLast() {
    CutRangeAtMarkedClip("Are you sure you want to remove all SoundClip entries after this one?",
                         false);
}

void CPlayerDlg::CutRangeAtMarkedClip(const char* question, bool asFirst) {
    CGameEntry* game = m_engine->LoadedGame();
    if (!game) return;
    const int clip = MarkedClip();
    if (clip >= 0 && m_dialogs.AskYesNo(question, MessageIcon::Question)) {
        CClipInfo& info = game->clipInfo;
        if (asFirst)
            info.SetRange(clip, info.lastClip);
        else
            info.SetRange(info.firstClip, clip);
        FillClipList(*game);
        SelectClipRow(clip);
    }
    UpdateMenus();
}

void CPlayerDlg::SetNewRange() {
    CGameEntry* game = m_engine->LoadedGame();
    if (!game) return;
    CDlgClipRange dialog(m_dialogs, this);
    dialog.Range = {game->clipInfo.firstClip, game->clipInfo.lastClip};
    dialog.ShowRange();
    if (RunModal(m_runModal, dialog) == QDialog::Accepted) {
        game->clipInfo.SetRange(dialog.Range.firstClip, dialog.Range.lastClip);
        FillClipList(*game);
    }
    UpdateMenus();
}

} // namespace tarvo
