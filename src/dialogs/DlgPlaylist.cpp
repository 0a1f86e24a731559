// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DlgPlaylist.h"

#include "dialogs/DlgROMBrowser.h"
#include "kit/DialogLayout.h"
#include "kit/DroppedFiles.h"
#include "kit/IconLibrary.h"
#include "kit/MoveButtons.h"
#include "kit/SearchWords.h"
#include "library/IDialogs.h"
#include "library/ROMList.h"
#include "library/SavePicker.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

const std::vector<FileFilter> kPlaylistFilter{{"Tarvo Playlists", "*.tvp"}};

QTreeWidget* MultiSelectList(const QHash<int, QWidget*>& controls, int id) {
    auto* tree = Control<QTreeWidget>(controls, id);
    tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return tree;
}

} // namespace

CDlgPlaylist::CDlgPlaylist(CROMList& romList, int& filter, IDialogs& dialogs,
                           const CPlaylist& playlist, int shownGame, ModalRunner runModal,
                           QWidget* parent)
    : CResizableDialog(parent), m_romList(romList), m_shownGame(shownGame),
      m_runModal(std::move(runModal)), m_filter(filter), m_dialogs(dialogs),
      m_controls(CDialogLayout::Build(this, u"161.layout"_s)),
      m_title(Control<QLineEdit>(m_controls, kTitle)),
      m_find(Control<QLineEdit>(m_controls, kFind)),
      m_clipTree(MultiSelectList(m_controls, kClips)),
      m_playlistTree(MultiSelectList(m_controls, kEntries)), m_clipList(m_clipTree),
      m_playlistList(m_playlistTree) {
    m_playlist.CopyFrom(playlist);
    m_playlist.SetROMList(&m_romList);
    m_title->installEventFilter(this);
    m_find->installEventFilter(this);
    m_find->setClearButtonEnabled(true);
    ConnectControls();
}

void CDlgPlaylist::ConnectControls() {
    auto onClick = [this](int id, auto slot) {
        connect(Control<QPushButton>(m_controls, id), &QPushButton::clicked, this, slot);
    };
    onClick(kAdd, [this] { Add(); });
    onClick(kRemove, [this] { Remove(); });
    onClick(kClear, [this] { ClearPlaylist(true); });
    onClick(kLocate, [this] { Locate(); });
    onClick(kChangeROM, [this] { ChangeROM(); });
    onClick(kLoad, [this] { Load(); });
    onClick(kAddPlaylist, [this] { AddPlaylist(); });
    onClick(kSave, [this] { Save(); });
    onClick(kDone, [this] { reject(); });
    onClick(kUseThisPlaylist, [this] { accept(); });
    for (const MoveButton& button : kMoveButtons)
        onClick(button.id, [this, move = button.move] { MoveSelected(move); });
    connect(m_find, &QLineEdit::textChanged, this, &CDlgPlaylist::FindClips);
    connect(m_clipTree, &QTreeWidget::itemDoubleClicked, this, [this] { Add(); });
    connect(m_clipTree, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateAddButton(); });
    connect(m_clipTree, &QTreeWidget::currentItemChanged, this, [this] { UpdateAddButton(); });
    connect(m_playlistTree, &QTreeWidget::itemSelectionChanged, this,
            [this] { UpdatePlaylistButtons(); });
}

int CDlgPlaylist::exec() {
    if (!m_opened) Open();
    return QDialog::exec();
}

void CDlgPlaylist::Open() {
    m_opened = true;
    SetupClipColumns(m_clipList);
    ShowGame(m_shownGame);
    RefreshPlaylistView();
    for (const MoveButton& button : kMoveButtons)
        Control<QPushButton>(m_controls, button.id)->setIcon(CIconLibrary::Icon(button.icon));
    UpdateAddButton();
    UpdatePlaylistButtons();
}

void CDlgPlaylist::SetEnabled(int id, bool enabled) {
    m_controls.value(id)->setEnabled(enabled);
}

// --- The game's clips ------------------------------------------------------------

void CDlgPlaylist::ShowGame(int game) {
    auto* shown = Control<QLineEdit>(m_controls, kShownROM);
    CGameEntry* entry = m_romList.GetEntry(game);
    if (!entry) {
        m_clipList.DeleteAllRows();
        shown->clear();
        return;
    }
    m_shownGame = game;
    entry->clipInfo.FillClipList(m_clipList, false, entry->knownLengthsMs);
    shown->setText(QString::fromStdString(entry->romName) +
                   (entry->IsAvailable() ? u""_s : u" (missing)"_s));
    FindClips(m_find->text());
}

void CDlgPlaylist::FindClips(const QString& words) {
    const CSearchWords search(words);
    for (int row = 0; row < m_clipTree->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = m_clipTree->topLevelItem(row);
        const bool found =
            search.FoundIn(CSearchWords::Folded(item->text(0) + u' ' + item->text(1)));
        item->setHidden(!found);
        if (!found) item->setSelected(false); // what is not shown is not added
    }
    UpdateAddButton();
}

void CDlgPlaylist::UpdateAddButton() {
    SetEnabled(kAdd, m_shownGame >= 0 && m_clipList.SelectionMark() >= 0);
}

void CDlgPlaylist::Add() {
    const CGameEntry* game = m_romList.GetEntry(m_shownGame);
    if (!game) return;
    {
        const QSignalBlocker blocker(m_playlistTree);
        for (int row : m_clipList.SelectedRows())
            m_playlist.AddEntry(game, m_clipList.ItemData(row), &m_playlistList);
    }
    UpdatePlaylistButtons();
}

void CDlgPlaylist::ChangeROM() {
    CDlgROMBrowser browser(m_romList, m_filter, m_dialogs, m_shownGame, GameChoice::AnyGame, this);
    if (RunModal(m_runModal, browser) == QDialog::Accepted && browser.SelectedGame() != m_shownGame)
        ShowGame(browser.SelectedGame());
}

// --- The playlist --------------------------------------------------------------

void CDlgPlaylist::RefreshPlaylistView() {
    m_title->setText(QString::fromStdString(m_playlist.title));
    const QSignalBlocker blocker(m_playlistTree);
    m_playlist.SetupListColumns(m_playlistList);
    m_playlist.FillList(m_playlistList);
}

void CDlgPlaylist::UpdatePlaylistButtons() {
    const bool entries = m_playlist.GetCount() > 0;
    const auto selected = m_playlistTree->selectionModel()->selectedRows().size();
    for (int id : {kClear, kSave, kUseThisPlaylist})
        SetEnabled(id, entries);
    SetEnabled(kRemove, selected > 0);
    for (const MoveButton& button : kMoveButtons)
        SetEnabled(button.id, selected > 0);
    SetEnabled(kLocate, selected == 1);
}

void CDlgPlaylist::Remove() {
    const std::vector<int> rows = m_playlistList.SelectedRows();
    if (static_cast<int>(rows.size()) == m_playlist.GetCount()) {
        ClearPlaylist(false);
        return;
    }
    {
        const QSignalBlocker blocker(m_playlistTree);
        for (auto row = rows.rbegin(); row != rows.rend(); ++row)
            m_playlist.RemoveEntry(*row, &m_playlistList);
    }
    UpdatePlaylistButtons();
}

void CDlgPlaylist::ClearPlaylist(bool ask) {
    if (ask && !m_dialogs.AskYesNo("Are you sure you want to remove all entries in your Playlist?",
                                   MessageIcon::Question))
        return;
    m_playlist.Clear();
    RefreshPlaylistView();
    UpdatePlaylistButtons();
}

void CDlgPlaylist::MoveSelected(PlaylistMove move) {
    const std::vector<int> rows = m_playlistList.SelectedRows();
    const std::vector<int> moved = MoveSelectedEntries(m_playlist, move, rows);
    if (moved != rows) {
        const QSignalBlocker blocker(m_playlistTree);
        m_playlist.UpdateRows(m_playlistList, std::min(rows.front(), moved.front()),
                              std::max(rows.back(), moved.back()));
        m_playlistList.SelectRows(moved);
        // The mark and the view follow the block's leading edge.
        const bool upwards = move == PlaylistMove::ToTop || move == PlaylistMove::Up;
        const int lead = upwards ? moved.front() : moved.back();
        m_playlistList.SetSelectionMark(lead);
        m_playlistList.EnsureVisible(lead);
    }
    UpdatePlaylistButtons();
}

void CDlgPlaylist::Locate() {
    const int mark = m_playlistList.SelectionMark();
    const CGameEntry* game = m_playlist.GetGame(mark);
    if (!game) return;
    if (game != m_romList.GetEntry(m_shownGame)) ShowGame(m_romList.FindGameIndex(game->romName));
    const int clip = m_playlist.GetClip(mark);
    for (int row = 0; row < m_clipList.RowCount(); ++row) {
        if (m_clipList.ItemData(row) != clip) continue;
        m_clipTree->clearSelection();
        m_clipList.SetSelectionMark(row);
        m_clipList.EnsureVisible(row);
        m_clipList.SetRowSelected(row, true);
        m_clipTree->setFocus();
        return;
    }
}

// --- Files and the title -----------------------------------------------------------

void CDlgPlaylist::LoadFile(const char* title, bool append) {
    const std::string path = m_dialogs.OpenFileDialog(title, kPlaylistFilter);
    if (path.empty()) return;
    if (!m_playlist.LoadFromFile(
            path, {.append = append, .interactive = true, .rememberName = true}, m_dialogs))
        return;
    RefreshPlaylistView();
    UpdatePlaylistButtons();
}

void CDlgPlaylist::Load() {
    LoadFile("Load Playlist...", false);
}

void CDlgPlaylist::AddPlaylist() {
    LoadFile("Add Playlist To Current List...", true);
}

void CDlgPlaylist::Save() {
    const std::string path =
        AskSavePath(m_dialogs, "Save Playlist...", kPlaylistFilter, m_playlist.fileName, ".tvp");
    if (path.empty() || !m_playlist.SaveToFile(path, Interaction::Interactive, m_dialogs)) return;
    RefreshPlaylistView();
    UpdatePlaylistButtons();
}

void CDlgPlaylist::CommitTitle() {
    m_playlist.title = m_title->text().toStdString();
    m_playlistTree->setFocus();
}

void CDlgPlaylist::accept() {
    // Enter in the title field stores the title; the dialog stays open.
    if (m_title->hasFocus()) {
        CommitTitle();
        return;
    }
    QDialog::accept();
}

void CDlgPlaylist::done(int result) {
    // A title typed just before the close box was used is kept too.
    m_playlist.title = m_title->text().toStdString();
    QDialog::done(result);
}

bool CDlgPlaylist::eventFilter(QObject* watched, QEvent* event) {
    // Escape in a search that holds words empties it, and goes no further.
    if (watched == m_find && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !m_find->text().isEmpty()) {
        m_find->clear();
        return true;
    }
    if (watched == m_title && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            CommitTitle();
            return true;
        }
    }
    if (watched == m_title && event->type() == QEvent::FocusIn)
        Control<QPushButton>(m_controls, kUseThisPlaylist)->setDefault(true);
    // The focus has already gone where the user put it; only the text is taken.
    if (watched == m_title && event->type() == QEvent::FocusOut)
        m_playlist.title = m_title->text().toStdString();
    return QDialog::eventFilter(watched, event);
}

void CDlgPlaylist::OpenDroppedFilesWith(std::function<void(const QByteArrayList&)> open) {
    m_openDropped = std::move(open);
    setAcceptDrops(true);
}

void CDlgPlaylist::dragEnterEvent(QDragEnterEvent* event) {
    if (m_openDropped && !DroppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CDlgPlaylist::dropEvent(QDropEvent* event) {
    const QByteArrayList paths = DroppedFiles(event->mimeData());
    if (!m_openDropped || paths.isEmpty()) return;
    event->acceptProposedAction();
    m_openDropped(paths);
}

} // namespace tarvo
