// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/GameListModel.h"

#include <QDialog>
#include <QHash>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;

namespace tarvo {

class CROMList;
class IDialogs;

// "Tarvo Game Browser": every supported game with whether its archive was
// found, a filter written straight into the opener's setting, the counts, a
// rescan and the folder list. The chosen game is m_selectedGame.
class CDlgROMBrowser : public QDialog {
    Q_OBJECT
public:
    // The controls, by their numbers in the dialog's layout table.
    enum ControlId {
        kLoadGame = 1,
        kCancel = 2,
        kFolderList = 1032,
        kGameTable = 1034,
        kShow = 1035,
        kRescan = 1037,
        kTotalGames = 1046,
        kGamesFound = 1047,
    };

    CDlgROMBrowser(CROMList& romList, int& filter, IDialogs& dialogs, QWidget* parent = nullptr);

    int m_initialGame = -1;
    int m_selectedGame = -1;
    bool m_allowMissing = false;

    int exec() override;
    // Opening: scan when needed, counts, the filter, the list; no row selected.
    void Open();
    void Refresh();
    void FilterChanged(int index);
    void Rescan();
    void OpenFolderList();
    void SelectionChanged();
    void accept() override;

    QTableView* GameList() const { return m_list; }
    CGameListModel& Model() { return m_model; }
    QPushButton* LoadButton() const { return m_load; }
    QWidget* ControlById(int id) const { return m_controls.value(id); }

private:
    int SelectedRowGame() const;

    CROMList& m_romList;
    int& m_filter;
    IDialogs& m_dialogs;
    CGameListModel m_model;
    QHash<int, QWidget*> m_controls;
    QTableView* m_list;
    QComboBox* m_show;
    QPushButton* m_load;
    bool m_opened = false;
};

} // namespace tarvo
