// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/IListView.h"

#include <vector>

class QTreeWidget;

namespace tarvo {

// The model's list-view interface on a real QTreeWidget: item data in
// Qt::UserRole, the selection mark as the current item.
class CQtListView : public IListView {
public:
    explicit CQtListView(QTreeWidget* tree) : m_tree(tree) {}
    QTreeWidget* Tree() const { return m_tree; }
    // The selected rows, from the top.
    std::vector<int> SelectedRows() const;
    // Makes exactly these rows (ascending) selected, in one step however many.
    void SelectRows(const std::vector<int>& rows);

    int RowCount() const override;
    void DeleteAllRows() override;
    void DeleteRow(int row) override;
    int InsertRow(int row, const std::string& column0, const std::string& column1,
                  int itemData) override;
    void SetText(int row, int column, const std::string& text) override;
    std::string Text(int row, int column) const override;
    int ItemData(int row) const override;
    int SelectionMark() const override;
    void SetSelectionMark(int row) override;
    void SetRowSelected(int row, bool selected) override;
    void EnsureVisible(int row) override;
    void DeleteAllColumns() override;
    void InsertColumn(int column, int width) override;
    int ClientWidth() const override;
    int TextWidth(const std::string& text) const override;

private:
    QTreeWidget* m_tree;
};

} // namespace tarvo
