// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/DlgRenameGame.h"
#include "dialogs/GameListModel.h"
#include "kit/ModalRunner.h"
#include "kit/ResizableDialog.h"
#include "settings/Config.h"

#include <functional>
#include <QDialog>
#include <QHash>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;

namespace tarvo {

class CROMList;
class IDialogs;

// Which games the browser may choose: the main window plays only a game whose
// archive was found; the Playlist Manager may list the clips of any.
enum class GameChoice { AvailableOnly, AnyGame };

// "Tarvo Game Browser": every supported game with whether its archive was
// found, a filter written straight into the opener's setting, the counts, a
// rescan and the folder list.
class CDlgROMBrowser : public CResizableDialog {
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
        kFind = 1048,
    };

    // `initialGame` is the opener's game, chosen until the user picks another.
    CDlgROMBrowser(CROMList& romList, int& filter, IDialogs& dialogs, int initialGame,
                   GameChoice choice, QWidget* parent = nullptr);

    // The columns' widths and the order the user leaves, kept in `view`
    // and found there on opening.
    void KeepViewIn(TableView& view) { m_view = &view; }

    int InitialGame() const { return m_initialGame; }
    bool AllowsMissing() const { return m_choice == GameChoice::AnyGame; }
    int SelectedGame() const { return m_selectedGame; }
    // Selects the game's row, as a click on it does.
    void SelectGame(int game);

    int exec() override;
    // Opening: scan when needed, counts, the filter, the list, with the game
    // it was opened for selected; the keyboard in Find.
    void Open();
    void Refresh();
    void FilterChanged(int index);
    void Rescan();
    void OpenFolderList();
    void SelectionChanged();
    void Search(const QString& words);
    void accept() override;

    QTableView* GameList() const { return m_list; }
    CGameListModel& Model() { return m_model; }
    QPushButton* LoadButton() const { return m_load; }
    QWidget* ControlById(int id) const { return m_controls.value(id); }

    // Renaming a game the user added: `rename` starts the change and calls
    // `done` when it is made (false when it could not, having said why), so
    // the window waits for nothing meanwhile; `runModal` shows the dialog.
    using Renamed = std::function<void(bool renamed)>;
    using Renamer = std::function<void(int game, const GameNaming& naming, Renamed done)>;
    void AllowRenaming(Renamer rename, ModalRunner runModal = {});
    // The selected game's rename dialog (F2 and the list's right-click menu).
    void RenameSelectedGame();

protected:
    // Escape in a filter that holds words empties it, and goes no further.
    void keyPressEvent(QKeyEvent* event) override;
    // Find: Enter loads the one game found (or the one selected), Down goes
    // to the list. The list, reached by Tab, selects the row it shows.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int SelectedRowGame() const;
    void ShowView();
    void KeepWidths();
    void ShowGameMenu(const QPoint& at);

    CROMList& m_romList;
    int& m_filter;
    const int m_initialGame;
    const GameChoice m_choice;
    int m_selectedGame = -1;
    IDialogs& m_dialogs;
    Renamer m_rename;
    ModalRunner m_runModal;
    CGameListModel m_model;
    QHash<int, QWidget*> m_controls;
    QTableView* m_list;
    QComboBox* m_show;
    QLineEdit* m_find;
    QPushButton* m_load;
    bool m_opened = false;
    TableView* m_view = nullptr;
};

} // namespace tarvo
