// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit/QtListView.h"

#include <algorithm>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelection>
#include <QTreeWidget>

namespace tarvo {

std::vector<int> CQtListView::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : m_tree->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CQtListView::SelectRows(const std::vector<int>& rows) {
    QAbstractItemModel* model = m_tree->model();
    const int lastColumn = model->columnCount() - 1;
    QItemSelection selection;
    for (size_t i = 0; i < rows.size();) {
        size_t end = i + 1;
        while (end < rows.size() && rows[end] == rows[end - 1] + 1)
            ++end;
        selection.select(model->index(rows[i], 0), model->index(rows[end - 1], lastColumn));
        i = end;
    }
    m_tree->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

int CQtListView::RowCount() const {
    return m_tree->topLevelItemCount();
}

void CQtListView::DeleteAllRows() {
    m_tree->clear();
}

void CQtListView::DeleteRow(int row) {
    delete m_tree->takeTopLevelItem(row);
}

int CQtListView::InsertRow(int row, const std::string& column0, const std::string& column1,
                           int itemData) {
    if (row < 0 || row > RowCount()) row = RowCount();
    auto* item =
        new QTreeWidgetItem({QString::fromStdString(column0), QString::fromStdString(column1)});
    item->setData(0, Qt::UserRole, itemData);
    m_tree->insertTopLevelItem(row, item);
    return row;
}

// Columns after the second hold figures (a length): aligned right.
void CQtListView::SetText(int row, int column, const std::string& text) {
    QTreeWidgetItem* item = m_tree->topLevelItem(row);
    if (!item) return;
    item->setText(column, QString::fromStdString(text));
    if (column >= 2) item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
}

std::string CQtListView::Text(int row, int column) const {
    QTreeWidgetItem* item = m_tree->topLevelItem(row);
    return item ? item->text(column).toStdString() : std::string();
}

int CQtListView::ItemData(int row) const {
    QTreeWidgetItem* item = m_tree->topLevelItem(row);
    return item ? item->data(0, Qt::UserRole).toInt() : kNoData;
}

int CQtListView::SelectionMark() const {
    QTreeWidgetItem* item = m_tree->currentItem();
    return item ? m_tree->indexOfTopLevelItem(item) : -1;
}

void CQtListView::SetSelectionMark(int row) {
    QTreeWidgetItem* item = m_tree->topLevelItem(row);
    m_tree->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
}

void CQtListView::SetRowSelected(int row, bool selected) {
    if (QTreeWidgetItem* item = m_tree->topLevelItem(row)) item->setSelected(selected);
}

void CQtListView::EnsureVisible(int row) {
    if (QTreeWidgetItem* item = m_tree->topLevelItem(row)) m_tree->scrollToItem(item);
}

void CQtListView::DeleteAllColumns() {
    m_tree->clear();
    m_tree->setColumnCount(0);
}

// The second column (the titles) takes what the others leave, as the list
// grows or shrinks.
void CQtListView::InsertColumn(int column, int width) {
    m_tree->setColumnCount(column + 1);
    QHeaderView* header = m_tree->header();
    header->setStretchLastSection(column == 0); // a list of one column fills the width
    header->setSectionResizeMode(column,
                                 column == 1 ? QHeaderView::Stretch : QHeaderView::Interactive);
    header->resizeSection(column, width);
}

int CQtListView::ClientWidth() const {
    return m_tree->viewport()->width();
}

int CQtListView::TextWidth(const std::string& text) const {
    return m_tree->fontMetrics().horizontalAdvance(QString::fromStdString(text));
}

} // namespace tarvo
