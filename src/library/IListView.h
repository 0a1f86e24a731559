// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tarvo {

// The report-style list a model fills: rows of text columns with an item
// number attached. The windows implement it on real Qt lists; the model never
// sees Qt.
class IListView {
public:
    static constexpr int kNoData = -1;

    virtual ~IListView() = default;

    virtual int RowCount() const = 0;
    virtual void DeleteAllRows() = 0;
    virtual void DeleteRow(int row) = 0;
    // Inserts a row at `row` (RowCount() appends) and returns its index.
    virtual int InsertRow(int row, const std::string& column0, const std::string& column1,
                          int itemData) = 0;
    virtual void SetText(int row, int column, const std::string& text) = 0;
    virtual std::string Text(int row, int column) const = 0;
    virtual int ItemData(int row) const = 0;

    virtual int SelectionMark() const = 0;
    virtual void SetSelectionMark(int row) = 0;
    virtual void SetRowSelected(int row, bool selected) = 0;
    virtual void EnsureVisible(int row) = 0;

    // Column layout: widths in pixels, measured in the list's own font.
    virtual void DeleteAllColumns() = 0;
    virtual void InsertColumn(int column, int width) = 0;
    virtual int ClientWidth() const = 0;
    virtual int TextWidth(const std::string& text) const = 0;
};

} // namespace tarvo
