// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DlgROMBrowser.h"

#include "dialogs/DlgPathList.h"
#include "kit/DialogLayout.h"
#include "library/ROMList.h"

#include <algorithm>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace tarvo {

CDlgROMBrowser::CDlgROMBrowser(CROMList& romList, int& filter, IDialogs& dialogs, int initialGame,
                               GameChoice choice, QWidget* parent)
    : CResizableDialog(parent), m_romList(romList), m_filter(filter), m_initialGame(initialGame),
      m_choice(choice), m_dialogs(dialogs), m_model(romList) {
    m_controls = CDialogLayout::Build(this, u"ROMBrowser.layout"_s);
    m_list = Control<QTableView>(m_controls, kGameTable);
    m_show = Control<QComboBox>(m_controls, kShow);
    m_load = Control<QPushButton>(m_controls, kLoadGame);
    m_find = Control<QLineEdit>(m_controls, kFind);
    m_find->setClearButtonEnabled(true);
    connect(m_find, &QLineEdit::textChanged, this, &CDlgROMBrowser::Search);
    m_show->addItems({u"All supported games"_s, u"Available games only"_s});
    m_list->setModel(&m_model);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 4);
    // The catalogue's order until a header is clicked.
    m_list->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_list->setSortingEnabled(true);
    connect(m_show, &QComboBox::activated, this, &CDlgROMBrowser::FilterChanged);
    connect(Control<QPushButton>(m_controls, kRescan), &QPushButton::clicked, this,
            &CDlgROMBrowser::Rescan);
    connect(Control<QPushButton>(m_controls, kFolderList), &QPushButton::clicked, this,
            &CDlgROMBrowser::OpenFolderList);
    connect(m_load, &QPushButton::clicked, this, &CDlgROMBrowser::accept);
    connect(Control<QPushButton>(m_controls, kCancel), &QPushButton::clicked, this,
            &QDialog::reject);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CDlgROMBrowser::SelectionChanged);
    // A click on the row that is already selected changes no selection, yet
    // it chooses that game again (after a rescan made "Load Game" grey).
    connect(m_list, &QTableView::clicked, this, &CDlgROMBrowser::SelectionChanged);
    connect(m_list, &QTableView::doubleClicked, this, [this] { accept(); });
    m_find->installEventFilter(this);
    m_list->installEventFilter(this);
}

int CDlgROMBrowser::exec() {
    if (!m_opened) Open();
    return QDialog::exec();
}

void CDlgROMBrowser::Open() {
    m_opened = true;
    if (!m_romList.IsScanned()) m_romList.ScanROMFolders();
    m_selectedGame = m_initialGame;
    Control<QLineEdit>(m_controls, kTotalGames)->setText(QString::number(m_romList.GetCount()));
    m_show->setCurrentIndex(m_filter == 0 ? 0 : 1);
    ShowView();
    m_model.FillGameList(m_filter);
    Refresh();
    if (m_initialGame >= 0) SelectGame(m_initialGame);
    m_find->setFocus(Qt::OtherFocusReason);
}

// The widths the user left, or, the first time, as wide as the texts
// (measured from the texts alone: no row is laid out to measure them).
void CDlgROMBrowser::ShowView() {
    QHeaderView* header = m_list->horizontalHeader();
    const int columns = m_model.columnCount();
    const bool kept = m_view && static_cast<int>(m_view->widths.size()) == columns;
    const auto widths = kept ? m_view->widths : m_model.ColumnWidths(m_list->fontMetrics());
    for (int column = 0; column < columns; ++column)
        m_list->setColumnWidth(column, widths[static_cast<size_t>(column)]);
    if (!m_view) return;
    if (m_view->sortColumn < columns)
        header->setSortIndicator(m_view->sortColumn,
                                 m_view->descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    connect(header, &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) {
                m_view->sortColumn = column;
                m_view->descending = order == Qt::DescendingOrder;
            });
    connect(header, &QHeaderView::sectionResized, this, &CDlgROMBrowser::KeepWidths);
}

void CDlgROMBrowser::KeepWidths() {
    m_view->widths.clear();
    for (int column = 0; column < m_model.columnCount(); ++column)
        m_view->widths.push_back(m_list->columnWidth(column));
}

int CDlgROMBrowser::SelectedRowGame() const {
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : m_model.GameAt(rows.first().row());
}

void CDlgROMBrowser::Refresh() {
    const int noted = SelectedRowGame();
    m_model.FillGameList(m_filter);
    // The games listed (as Show and Find leave them) whose archives were found.
    int found = 0;
    for (int row = 0; row < m_model.rowCount(); ++row)
        found += m_romList.IsAvailable(m_model.GameAt(row)) ? 1 : 0;
    Control<QLineEdit>(m_controls, kGamesFound)->setText(QString::number(found));
    const int row = m_model.RowOf(noted);
    if (noted >= 0 && row >= 0) {
        const QModelIndex index = m_model.index(row, 0);
        {
            const QSignalBlocker blocker(m_list->selectionModel());
            m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                 QItemSelectionModel::Rows);
        }
        m_list->scrollTo(index);
        m_load->setEnabled(m_romList.IsAvailable(m_selectedGame));
    } else {
        m_load->setEnabled(false);
    }
}

void CDlgROMBrowser::FilterChanged(int index) {
    m_filter = index; // the opener's setting changes at once, even on Cancel
    Refresh();
}

void CDlgROMBrowser::Search(const QString& words) {
    m_model.SetSearch(words);
    Refresh();
}

void CDlgROMBrowser::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !m_find->text().isEmpty() && m_find->hasFocus()) {
        m_find->clear();
        return;
    }
    if (event->key() == Qt::Key_F2 && m_rename) {
        RenameSelectedGame();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CDlgROMBrowser::eventFilter(QObject* watched, QEvent* event) {
    const bool rows = m_model.rowCount() > 0;
    if (watched == m_find && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_model.rowCount() == 1)
            SelectGame(m_model.GameAt(0));
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            accept();
            return true;
        }
        if (key == Qt::Key_Down && rows) {
            if (SelectedRowGame() < 0) SelectGame(m_model.GameAt(0));
            m_list->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    if (watched == m_list && event->type() == QEvent::FocusIn && rows && SelectedRowGame() < 0)
        SelectGame(m_model.GameAt(std::max(m_list->currentIndex().row(), 0)));
    return CResizableDialog::eventFilter(watched, event);
}

void CDlgROMBrowser::AllowRenaming(Renamer rename, ModalRunner runModal) {
    m_rename = std::move(rename);
    m_runModal = std::move(runModal);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QTableView::customContextMenuRequested, this, &CDlgROMBrowser::ShowGameMenu);
}

void CDlgROMBrowser::ShowGameMenu(const QPoint& at) {
    const int game = SelectedRowGame();
    if (game < 0) return;
    QMenu menu(this);
    QAction* rename = menu.addAction(u"&Rename Game..."_s, QKeySequence(Qt::Key_F2), this,
                                     &CDlgROMBrowser::RenameSelectedGame);
    rename->setEnabled(m_romList.GetEntry(game)->addedByUser);
    menu.exec(m_list->viewport()->mapToGlobal(at));
}

// Only games the user added may be renamed; the ones Tarvo comes with keep
// their names.
void CDlgROMBrowser::RenameSelectedGame() {
    const int game = SelectedRowGame();
    const CGameEntry* entry = m_romList.GetEntry(game);
    if (!m_rename || !entry || !entry->addedByUser) return;
    CDlgRenameGame dialog(*entry, this);
    if (RunModal(m_runModal, dialog) != QDialog::Accepted) return;
    m_rename(game, dialog.Naming(), [browser = QPointer<CDlgROMBrowser>(this)](bool renamed) {
        if (renamed && browser) browser->Refresh(); // unless the browser closed meanwhile
    });
}

void CDlgROMBrowser::Rescan() {
    m_romList.ScanROMFolders();
    Refresh();
}

void CDlgROMBrowser::OpenFolderList() {
    CDlgPathList folders(m_romList, m_dialogs, this);
    folders.exec();
    if (!m_romList.IsScanned()) m_romList.ScanROMFolders();
    Refresh();
}

void CDlgROMBrowser::SelectionChanged() {
    const int game = SelectedRowGame();
    if (game < 0) {
        m_load->setEnabled(false);
        return;
    }
    m_selectedGame = game;
    m_load->setEnabled(AllowsMissing() || m_romList.IsAvailable(game));
}

void CDlgROMBrowser::SelectGame(int game) {
    const int row = m_model.RowOf(game);
    if (row < 0) return;
    m_list->selectionModel()->setCurrentIndex(
        m_model.index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    SelectionChanged();
}

void CDlgROMBrowser::accept() {
    if (m_load->isEnabled()) QDialog::accept();
}

} // namespace tarvo
