// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "kit/SearchWords.h"

#include <QAbstractTableModel>
#include <QFontMetrics>
#include <vector>

namespace tarvo {

class CROMList;

// The Game Browser's rows: the games of the list in its order, all of them or
// only the available ones. A model, so fifty thousand games fill at once.
class CGameListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CGameListModel(const CROMList& romList, QObject* parent = nullptr);

    // The games the availability filter and the search words let through:
    // every word must stand in a game's title, name, maker, year or system,
    // case and accents aside.
    void FillGameList(int filter);
    void SetSearch(const QString& words);
    int GameAt(int row) const;
    int RowOf(int game) const;
    // The rows in the order of a column (year as a number, texts by their
    // words, case and accents aside, ties in the catalogue's order), or in
    // the catalogue's with a column of -1. A fill keeps the order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    // Each column as wide as its widest text over every game, plus 20.
    std::vector<int> ColumnWidths(const QFontMetrics& metrics) const;
    static QString ToolTip(const CROMList& romList, int game);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    bool Matches(int game);
    void SortRows();
    // The key a column sorts a game by, made once for every game.
    const std::vector<QString>& SortKeys(int column);

    const CROMList& m_romList;
    std::vector<int> m_rows;
    std::vector<int> m_rowOfGame;
    CSearchWords m_words;
    std::vector<QString> m_searched;              // each game's searched texts, folded, made once
    std::vector<std::vector<QString>> m_sortKeys; // by column, then game
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace tarvo
