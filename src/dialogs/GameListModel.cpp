// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/GameListModel.h"

#include "kit/IconLibrary.h"
#include "library/ROMList.h"
#include "library/TextUtils.h"

#include <algorithm>
#include <QFontMetrics>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

const QString kHeadings[] = {u"Title"_s, u"Filename"_s, u"Manufacturer"_s, u"Year"_s, u"System"_s};
constexpr int kColumns = static_cast<int>(std::size(kHeadings));
constexpr int kYearColumn = 3;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The catalogue's year leads its extra text ("1999, Prototype"); its system
// is the driver's name without the chips ("Sega Master System (SN76489 VGM)").
std::string ColumnText(const CGameEntry& game, int column) {
    switch (column) {
    case 0:
        return game.title;
    case 1:
        return game.romName;
    case 2:
        return game.manufacturer;
    case 3:
        return game.extraInfo.substr(0, game.extraInfo.find(','));
    default:
        return game.driverName.substr(0, game.driverName.find(" ("));
    }
}

} // namespace

CGameListModel::CGameListModel(const CROMList& romList, QObject* parent)
    : QAbstractTableModel(parent), m_romList(romList) {}

void CGameListModel::SetSearch(const QString& words) {
    m_words = CSearchWords(words);
}

bool CGameListModel::Matches(int game) {
    if (m_words.IsEmpty()) return true;
    if (m_searched.size() != static_cast<size_t>(m_romList.GetCount())) {
        m_searched.clear();
        for (int g = 0; g < m_romList.GetCount(); ++g) {
            QString text;
            for (int column = 0; column < kColumns; ++column)
                text += Q(ColumnText(*m_romList.GetEntry(g), column)) + u'\n';
            m_searched.push_back(CSearchWords::Folded(text));
        }
    }
    return m_words.FoundIn(m_searched[static_cast<size_t>(game)]);
}

void CGameListModel::FillGameList(int filter) {
    beginResetModel();
    m_rows.clear();
    m_rowOfGame.assign(static_cast<size_t>(m_romList.GetCount()), -1);
    for (int game = 0; game < m_romList.GetCount(); ++game)
        if ((filter == 0 || m_romList.IsAvailable(game)) && Matches(game)) m_rows.push_back(game);
    SortRows();
    endResetModel();
}

void CGameListModel::sort(int column, Qt::SortOrder order) {
    m_sortColumn = column >= 0 && column < kColumns ? column : -1;
    m_sortOrder = order;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> games;
    for (const QModelIndex& index : before)
        games.push_back(GameAt(index.row()));
    SortRows();
    QModelIndexList after;
    for (size_t i = 0; i < games.size(); ++i)
        after.push_back(index(RowOf(games[i]), before[static_cast<int>(i)].column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CGameListModel::SortRows() {
    std::sort(m_rows.begin(), m_rows.end());
    if (m_sortColumn >= 0) {
        const std::vector<QString>& keys = SortKeys(m_sortColumn);
        const bool down = m_sortOrder == Qt::DescendingOrder;
        std::stable_sort(m_rows.begin(), m_rows.end(), [&keys, down](int a, int b) {
            const QString& first = keys[static_cast<size_t>(a)];
            const QString& second = keys[static_cast<size_t>(b)];
            if (first.isEmpty() || second.isEmpty()) return second.isEmpty() && !first.isEmpty();
            const int order = first.compare(second);
            return down ? order > 0 : order < 0;
        });
    }
    for (size_t row = 0; row < m_rows.size(); ++row)
        m_rowOfGame[static_cast<size_t>(m_rows[row])] = static_cast<int>(row);
}

// A year sorts as its number; texts sort folded, so "Émile" stands beside
// "emile". What is not known (an empty key) comes after everything known,
// whichever the way.
const std::vector<QString>& CGameListModel::SortKeys(int column) {
    m_sortKeys.resize(kColumns);
    std::vector<QString>& keys = m_sortKeys[static_cast<size_t>(column)];
    if (keys.size() == static_cast<size_t>(m_romList.GetCount())) return keys;
    keys.clear();
    for (int game = 0; game < m_romList.GetCount(); ++game) {
        const std::string text = ColumnText(*m_romList.GetEntry(game), column);
        if (column == kYearColumn) {
            const int year = ParseInt(text);
            keys.push_back(year > 0 ? QString::number(year).rightJustified(10, u'0') : QString());
        } else {
            keys.push_back(CSearchWords::Folded(Q(text)));
        }
    }
    return keys;
}

int CGameListModel::GameAt(int row) const {
    return row >= 0 && row < static_cast<int>(m_rows.size()) ? m_rows[row] : -1;
}

int CGameListModel::RowOf(int game) const {
    return game >= 0 && game < static_cast<int>(m_rowOfGame.size()) ? m_rowOfGame[game] : -1;
}

std::vector<int> CGameListModel::ColumnWidths(const QFontMetrics& metrics) const {
    // Plain ASCII texts are measured by adding up their characters' advances,
    // fast enough for a large collection; other texts are shaped in full.
    int advance[128];
    for (int c = 0; c < 128; ++c)
        advance[c] = metrics.horizontalAdvance(QChar(c));
    auto width = [&](const std::string& text) {
        int sum = 0;
        for (unsigned char c : text) {
            if (c >= 128) return metrics.horizontalAdvance(Q(text));
            sum += advance[c];
        }
        return sum;
    };
    std::vector<int> widths;
    for (int column = 0; column < kColumns; ++column) {
        int widest = metrics.horizontalAdvance(kHeadings[column]);
        for (int game = 0; game < m_romList.GetCount(); ++game)
            widest = std::max(widest, width(ColumnText(*m_romList.GetEntry(game), column)));
        widths.push_back(widest + 20);
    }
    return widths;
}

QString CGameListModel::ToolTip(const CROMList& romList, int game) {
    const CGameEntry* entry = romList.GetEntry(game);
    if (!entry) return {};
    QString text = u"Game Title: "_s + Q(entry->title) + u"\nManufacturer: "_s +
                   Q(entry->manufacturer) + u"\nDriver: "_s + Q(entry->driverName) + u"\n"_s;
    if (!entry->extraInfo.empty()) text += u"Driver: "_s + Q(entry->extraInfo) + u"\n"_s;
    return text + u"Filename: "_s + Q(entry->romName) + u"\nStatus: "_s +
           (entry->IsAvailable() ? u"Good"_s : u"MISSING"_s);
}

int CGameListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CGameListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant CGameListModel::data(const QModelIndex& index, int role) const {
    const int game = GameAt(index.row());
    const CGameEntry* entry = m_romList.GetEntry(game);
    if (!entry) return {};
    switch (role) {
    case Qt::DisplayRole:
        return Q(ColumnText(*entry, index.column()));
    case Qt::DecorationRole:
        if (index.column() == 0)
            return CIconLibrary::Icon(entry->IsAvailable() ? u"note16"_s : u"missing16"_s);
        return {};
    case Qt::ToolTipRole:
        return ToolTip(m_romList, game);
    case Qt::UserRole:
        return game;
    default:
        return {};
    }
}

QVariant CGameListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < kColumns)
        return kHeadings[section];
    return {};
}

} // namespace tarvo
