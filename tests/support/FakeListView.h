// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/IListView.h"

#include <string>
#include <vector>

namespace tarvo::test {

// A list view in memory; text widths are 7 pixels a byte so tests can compute them.
class FakeListView : public IListView {
public:
    struct Row {
        std::string column0;
        std::string column1;
        std::string column2;
        int data = kNoData;
        bool selected = false;
    };

    std::vector<Row> rows;
    std::vector<int> columnWidths;
    int selectionMark = -1;
    int lastVisible = -1;
    int clientWidth = 300;

    int RowCount() const override { return static_cast<int>(rows.size()); }
    void DeleteAllRows() override { rows.clear(); }
    void DeleteRow(int row) override;
    int InsertRow(int row, const std::string& column0, const std::string& column1,
                  int itemData) override;
    void SetText(int row, int column, const std::string& text) override;
    std::string Text(int row, int column) const override;
    int ItemData(int row) const override;
    int SelectionMark() const override { return selectionMark; }
    void SetSelectionMark(int row) override { selectionMark = row; }
    void SetRowSelected(int row, bool selected) override;
    void EnsureVisible(int row) override { lastVisible = row; }
    void DeleteAllColumns() override { columnWidths.clear(); }
    void InsertColumn(int column, int width) override;
    int ClientWidth() const override { return clientWidth; }
    int TextWidth(const std::string& text) const override {
        return static_cast<int>(text.size()) * 7;
    }

    std::vector<std::string> Column(int column) const;
    std::vector<int> SelectedRows() const;
};

} // namespace tarvo::test
