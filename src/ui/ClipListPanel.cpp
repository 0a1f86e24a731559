// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ClipListPanel.h"

#include "dialogs/DlgClipRange.h"
#include "kit/DialogLayout.h"
#include "kit/MoveButtons.h"
#include "library/IDialogs.h"
#include "library/TextUtils.h"
#include "ui/MainWindowIds.h"
#include "ui/PlayerDlg.h"

#include <QHeaderView>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace tarvo {

CClipListPanel::CClipListPanel(CPlayerDlg& window, const QHash<int, QWidget*>& controls)
    : QObject(&window), m_window(window), m_tree(Control<QTreeWidget>(controls, kClipList)),
      m_list(std::make_unique<CQtListView>(m_tree)),
      m_numberEdit(Control<QLineEdit>(controls, kClipNumber)),
      m_titleEdit(Control<QLineEdit>(controls, kClipTitle)) {
    m_tree->header()->setVisible(false);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_numberEdit->setValidator(new QIntValidator(-1, CClipInfo::kMaxClipNumber, m_numberEdit));
    for (QWidget* w : {static_cast<QWidget*>(m_numberEdit), static_cast<QWidget*>(m_titleEdit),
                       static_cast<QWidget*>(m_tree)})
        w->installEventFilter(this);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { PlaySelected(); });
    connect(m_tree, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { ClipPopup(m_tree->viewport()->mapToGlobal(at)); });
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, [this] {
        UpdateListButtons();
        m_window.UpdateMenus();
    });
}

// Enter commits a field or plays the row; Escape does nothing, and leaving a
// field commits it.
bool CClipListPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == m_numberEdit) CommitClipNumber();
            if (watched == m_titleEdit) CommitClipTitle();
            if (watched == m_tree) PlaySelected();
            return true;
        }
        if (key == Qt::Key_Escape) return true;
    }
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_numberEdit) CommitClipNumber();
        if (watched == m_titleEdit) CommitClipTitle();
    }
    if (event->type() == QEvent::FocusIn && watched == m_tree)
        static_cast<QPushButton*>(m_window.ControlById(kPlaySelected))->setDefault(true);
    return QObject::eventFilter(watched, event);
}

void CClipListPanel::CommitClipNumber() {
    const QString typed = m_numberEdit->text().trimmed();
    if (typed.isEmpty()) return; // no clip shown, none asked for
    m_window.Engine().TypeClipNumber(ParseInt(typed.toStdString()));
}

void CClipListPanel::CommitClipTitle() {
    m_titleEdit->setModified(false);
    m_window.Engine().TypeClipTitle(m_titleEdit->text().toStdString());
}

void CClipListPanel::ShowClipFields(const PlayerFields& fields) {
    CGameEntry* game = m_window.Engine().LoadedGame();
    const bool otherClip = game != m_fieldsGame || fields.clipNumber != m_fieldsClip;
    if (otherClip) {
        KeepTypedTitle();
        m_fieldsGame = game;
        m_fieldsClip = fields.clipNumber;
    }
    if (otherClip || !m_numberEdit->hasFocus()) {
        const QString number =
            fields.clipNumber < 0 ? QString() : QString::number(fields.clipNumber);
        if (m_numberEdit->text() != number) m_numberEdit->setText(number);
    }
    if (otherClip || !m_titleEdit->hasFocus()) {
        const QString title = QString::fromStdString(fields.clipTitle);
        if (m_titleEdit->text() != title) m_titleEdit->setText(title);
        m_titleEdit->setModified(false);
    }
}

// A title typed but not yet committed when another clip comes belongs to the
// clip the field showed.
void CClipListPanel::KeepTypedTitle() {
    if (!m_titleEdit->isModified() || !m_fieldsGame || m_fieldsClip < 0) return;
    m_titleEdit->setModified(false);
    m_fieldsGame->clipInfo.SetTitle(m_fieldsClip, m_titleEdit->text().toStdString());
    if (m_fieldsGame == m_window.Engine().LoadedGame()) RefreshClipRow(m_fieldsClip);
}

// --- The clip list -----------------------------------------------------------

void CClipListPanel::SetupClipColumns() {
    tarvo::SetupClipColumns(*m_list);
}

void CClipListPanel::FillClipList(CGameEntry& game) {
    game.clipInfo.FillClipList(*m_list, m_window.Settings().ShowBlanks != 0, game.knownLengthsMs);
    UpdateListButtons();
}

// Lists the loaded game's clips again after ShowBlanks changed, keeping the
// selected clip selected when it still has a row.
void CClipListPanel::RefillClipList() {
    CGameEntry* game = m_window.Engine().LoadedGame();
    if (!game || m_window.Engine().Status().playlistMode) return;
    const bool hadSelection = !m_tree->selectedItems().isEmpty();
    const int clip = hadSelection ? MarkedClip() : -1;
    FillClipList(*game);
    if (hadSelection) SelectClipRow(clip);
}

void CClipListPanel::ClearClipList() {
    m_list->DeleteAllRows();
    UpdateListButtons();
}

int CClipListPanel::FindClipRow(int clip) const {
    for (int row = 0; row < m_list->RowCount(); ++row)
        if (m_list->ItemData(row) == clip) return row;
    return -1;
}

int CClipListPanel::MarkedClip() const {
    const int mark = m_list->SelectionMark();
    return mark < 0 ? -1 : m_list->ItemData(mark);
}

void CClipListPanel::SelectClipRow(int clipOrPosition) {
    const int row =
        m_window.Engine().Status().playlistMode ? clipOrPosition : FindClipRow(clipOrPosition);
    if (row >= 0 && row < m_list->RowCount()) {
        m_tree->setCurrentItem(m_tree->topLevelItem(row));
        m_list->EnsureVisible(row);
    }
    m_window.UpdateMenus();
}

void CClipListPanel::RefreshClipRow(int clip) {
    CGameEntry* game = m_window.Engine().LoadedGame();
    if (!game || !game->clipInfo.GetRecord(clip)) return;
    const std::string label = game->clipInfo.GetLabel(clip);
    const int row = FindClipRow(clip);
    if (m_window.Engine().Status().playlistMode) {
        for (int i = 0; i < m_window.Playlist().GetCount(); ++i)
            if (m_window.Playlist().GetGame(i) == game && m_window.Playlist().GetClip(i) == clip)
                m_list->SetText(i, 1, label);
    } else if (m_window.Settings().ShowBlanks) {
        if (row >= 0) m_list->SetText(row, 1, label);
    } else if (!game->clipInfo.IsBlank(clip)) {
        if (row < 0) {
            // Rows stay in the order NEXT plays them.
            const int next = m_window.Engine().Order().NextTarget(clip);
            const int nextRow = next < clip ? -1 : FindClipRow(next);
            const int inserted = m_list->InsertRow(nextRow < 0 ? m_list->RowCount() : nextRow,
                                                   FormatClipNumber(clip), label, clip);
            m_list->SetText(inserted, 2, game->LengthText(clip));
        } else {
            m_list->SetText(row, 1, label);
        }
    } else if (row >= 0) {
        const int mark = m_list->SelectionMark();
        const QSignalBlocker blocker(m_tree);
        m_list->DeleteRow(row);
        if (mark == row) {
            const int count = m_list->RowCount();
            m_list->SetSelectionMark(count == 0 ? -1 : std::min(row, count - 1));
        }
    }
    m_window.UpdateMenus();
}

void CClipListPanel::PlaySelected() {
    const int mark = m_list->SelectionMark();
    if (mark >= 0)
        m_window.Engine().PlayChosen(
            m_window.Engine().Status().playlistMode ? mark : m_list->ItemData(mark));
    m_window.UpdateMenus();
}

void CClipListPanel::UpdateListButtons() {
    const bool selected = !m_tree->selectedItems().isEmpty();
    m_window.SetEnabled(kPlaySelected, selected);
    for (const MoveButton& button : kMoveButtons)
        m_window.SetEnabled(button.id, m_window.Engine().Status().playlistMode && selected);
}

void CClipListPanel::PrepareClipPopup(QMenu&, const CMenuBuilder::Actions& actions) const {
    const CGameEntry* game = m_window.Engine().LoadedGame();
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

void CClipListPanel::ClipPopup(const QPoint& globalPosition) {
    if (m_window.Engine().Status().playlistMode || !m_window.Engine().LoadedGame() ||
        m_list->SelectionMark() < 0)
        return;
    QMenu menu(&m_window);
    const auto actions = CMenuBuilder::BuildPopup(&menu, u"134.menu"_s);
    PrepareClipPopup(menu, actions);
    QAction* chosen = menu.exec(globalPosition);
    if (chosen) m_window.Command(chosen->data().toInt());
}

// --- Clip editing ---------------------------------------------------------------

void CClipListPanel::ToggleBlank() {
    CGameEntry* game = m_window.Engine().LoadedGame();
    if (!game) return;
    const int clip = MarkedClip();
    if (clip >= 0) {
        game->clipInfo.SetBlank(clip, !game->clipInfo.IsBlank(clip));
        RefreshClipRow(clip);
    }
    m_window.UpdateMenus();
}

void CClipListPanel::SetAsFirst() {
    CutRangeAtMarkedClip("Are you sure you want to remove all SoundClip entries before this one?",
                         true);
}

void CClipListPanel::SetAsLast() {
    CutRangeAtMarkedClip("Are you sure you want to remove all SoundClip entries after this one?",
                         false);
}

void CClipListPanel::CutRangeAtMarkedClip(const char* question, bool asFirst) {
    CGameEntry* game = m_window.Engine().LoadedGame();
    if (!game) return;
    const int clip = MarkedClip();
    if (clip >= 0 && m_window.Dialogs().AskYesNo(question, MessageIcon::Question)) {
        CClipInfo& info = game->clipInfo;
        if (asFirst)
            info.SetRange(clip, info.lastClip);
        else
            info.SetRange(info.firstClip, clip);
        FillClipList(*game);
        SelectClipRow(clip);
    }
    m_window.UpdateMenus();
}

void CClipListPanel::SetNewRange() {
    CGameEntry* game = m_window.Engine().LoadedGame();
    if (!game) return;
    CDlgClipRange dialog(m_window.Dialogs(), &m_window);
    dialog.Range = {game->clipInfo.firstClip, game->clipInfo.lastClip};
    dialog.ShowRange();
    if (m_window.RunModal(dialog) == QDialog::Accepted) {
        game->clipInfo.SetRange(dialog.Range.firstClip, dialog.Range.lastClip);
        FillClipList(*game);
    }
    m_window.UpdateMenus();
}

} // namespace tarvo
