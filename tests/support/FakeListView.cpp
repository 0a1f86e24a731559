// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FakeListView.h"

namespace tarvo::test {

void FakeListView::DeleteRow(int row) {
    if (row >= 0 && row < RowCount()) rows.erase(rows.begin() + row);
}

int FakeListView::InsertRow(int row, const std::string& column0, const std::string& column1,
                            int itemData) {
    if (row < 0 || row > RowCount()) row = RowCount();
    rows.insert(rows.begin() + row, Row{column0, column1, {}, itemData, false});
    return row;
}

void FakeListView::SetText(int row, int column, const std::string& text) {
    if (row < 0 || row >= RowCount()) return;
    (column == 0 ? rows[row].column0 : column == 1 ? rows[row].column1 : rows[row].column2) = text;
}

std::string FakeListView::Text(int row, int column) const {
    if (row < 0 || row >= RowCount()) return {};
    return column == 0 ? rows[row].column0 : column == 1 ? rows[row].column1 : rows[row].column2;
}

int FakeListView::ItemData(int row) const {
    return row >= 0 && row < RowCount() ? rows[row].data : kNoData;
}

void FakeListView::SetRowSelected(int row, bool selected) {
    if (row >= 0 && row < RowCount()) rows[row].selected = selected;
}

void FakeListView::InsertColumn(int column, int width) {
    if (column < 0 || column > static_cast<int>(columnWidths.size()))
        column = static_cast<int>(columnWidths.size());
    columnWidths.insert(columnWidths.begin() + column, width);
}

std::vector<std::string> FakeListView::Column(int column) const {
    std::vector<std::string> texts;
    for (int row = 0; row < RowCount(); ++row)
        texts.push_back(Text(row, column));
    return texts;
}

std::vector<int> FakeListView::SelectedRows() const {
    std::vector<int> selected;
    for (int row = 0; row < RowCount(); ++row)
        if (rows[row].selected) selected.push_back(row);
    return selected;
}

} // namespace tarvo::test
