// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DlgPathList.h"
#include "dialogs/DlgRenameGame.h"
#include "dialogs/DlgROMBrowser.h"
#include "ui/WindowFixture.h"

#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QTableView>

using namespace tarvo;
using namespace tarvo::test;
using namespace Qt::StringLiterals;

namespace {

class Browser : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        std::string folder = roms;
        window->ROMList().AddFolder(folder);
    }
    std::unique_ptr<CDlgROMBrowser> Open(bool allowMissing = false) {
        auto browser = std::make_unique<CDlgROMBrowser>(
            window->ROMList(), window->Settings().ROMFilter, dialogs, -1,
            allowMissing ? GameChoice::AnyGame : GameChoice::AvailableOnly);
        browser->Open();
        return browser;
    }
    void Click(CDlgROMBrowser& b, int game) {
        const int row = b.Model().RowOf(game);
        b.GameList()->selectionModel()->setCurrentIndex(b.Model().index(row, 0),
                                                        QItemSelectionModel::ClearAndSelect |
                                                            QItemSelectionModel::Rows);
    }
    QString Text(CDlgROMBrowser& b, int id) {
        return qobject_cast<QLineEdit*>(b.ControlById(id))->text();
    }
};

} // namespace

// The browser grows: its list takes the room, the buttons keep to the
// corner, and the size is kept for the next time it opens.
TEST_F(Browser, GrowsWithItsListAndOpensAgainAtItsSize) {
    auto browser = Open();
    browser->KeepSizeIn(window->Settings().GameBrowserSize);
    browser->show();
    const QSize layout = browser->size();
    QWidget* list = browser->GameList();
    QWidget* load = browser->ControlById(1);
    const QSize listBefore = list->size();
    const QPoint loadBefore = load->pos();
    browser->resize(layout + QSize(200, 120));
    EXPECT_EQ(list->size(), listBefore + QSize(200, 120));
    EXPECT_EQ(load->pos(), loadBefore + QPoint(200, 120));
    EXPECT_EQ(window->Settings().GameBrowserSize.width, layout.width() + 200);
    browser.reset();
    auto again = Open();
    again->KeepSizeIn(window->Settings().GameBrowserSize);
    EXPECT_EQ(again->size(), layout + QSize(200, 120));
}

// The main window's browser counts every game, lists the available ones by
// default and never chooses a missing one; its filter outlives a cancel.
TEST_F(Browser, CountsWithBothFiltersAndNeverChoosesAMissingGame) {
    auto browser = Open();
    EXPECT_EQ(Text(*browser, CDlgROMBrowser::kTotalGames), "3");
    EXPECT_EQ(Text(*browser, CDlgROMBrowser::kGamesFound), "2");
    EXPECT_EQ(browser->Model().rowCount(), 2);
    browser->FilterChanged(0);
    EXPECT_EQ(browser->Model().rowCount(), 3);
    EXPECT_EQ(Text(*browser, CDlgROMBrowser::kGamesFound), "2");
    browser->show();
    Click(*browser, 2);
    EXPECT_FALSE(browser->LoadButton()->isEnabled());
    browser->accept(); // a double click
    EXPECT_TRUE(browser->isVisible());
    browser->FilterChanged(1);
    EXPECT_TRUE(browser->GameList()->selectionModel()->selectedRows().isEmpty());
    EXPECT_FALSE(browser->LoadButton()->isEnabled());
    browser->reject();
    EXPECT_EQ(window->Settings().ROMFilter, 1);
    browser->FilterChanged(0);
    browser->reject();
    EXPECT_EQ(window->Settings().ROMFilter, 0);
}

TEST_F(Browser, ThePlaylistManagersUseMayChooseAMissingGameUntilARescan) {
    auto browser = Open(true);
    browser->FilterChanged(0);
    Click(*browser, 2);
    EXPECT_TRUE(browser->LoadButton()->isEnabled());
    EXPECT_EQ(browser->SelectedGame(), 2);
    browser->Rescan();
    EXPECT_FALSE(browser->LoadButton()->isEnabled());
    browser->show();
    const QRect row = browser->GameList()->visualRect(browser->Model().index(2, 1));
    QTest::mouseClick(browser->GameList()->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_TRUE(browser->LoadButton()->isEnabled()); // the same row clicked again
}

TEST_F(Browser, ToolTipsNameTheGameAndWhetherItsArchiveWasFound) {
    EXPECT_EQ(CGameListModel::ToolTip(window->ROMList(), 1),
              "Game Title: Beta Run\nManufacturer: Tarvo Soft\nDriver: Test Driver\n"
              "Driver: 1990\nFilename: beta\nStatus: Good");
    EXPECT_TRUE(CGameListModel::ToolTip(window->ROMList(), 2).endsWith("Status: MISSING"));
    EXPECT_TRUE(CGameListModel::ToolTip(window->ROMList(), 9).isEmpty());
}

TEST_F(Browser, FolderListAddsRemovesAndClears) {
    window->ROMList().ClearFolders();
    std::string first = temp.MakeFolder("a");
    std::string second = temp.MakeFolder("more");
    std::string third = temp.MakeFolder("zmore");
    CDlgPathList folders(window->ROMList(), dialogs);
    QListWidget* list = folders.FolderList();
    ASSERT_EQ(list->count(), 0);
    EXPECT_FALSE(folders.ControlById(CDlgPathList::kClear)->isEnabled());

    dialogs.paths = {second.substr(0, second.size() - 1),
                     third,
                     first,
                     temp.Path() + "MORE",
                     temp.Path() + "nowhere",
                     ""};
    for (int i = 0; i < 6; ++i)
        folders.AddFolder();
    ASSERT_EQ(list->count(),
              3); // a trailing "/" is added; other case, missing and cancelled are refused
    EXPECT_EQ(list->item(0)->text().toStdString(), first); // shown sorted
    EXPECT_EQ(window->ROMList().GetFolders(), (std::vector<std::string>{second, third, first}));

    list->item(1)->setSelected(true);
    list->item(2)->setSelected(true);
    folders.RemoveSelected(); // two adjacent items
    EXPECT_EQ(window->ROMList().GetFolders(), std::vector<std::string>{first});

    dialogs.answers = {false};
    folders.ClearAll();
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Warning);

    list->item(0)->setSelected(true);
    folders.RemoveSelected();
    folders.done(QDialog::Rejected); // closing any way scans
    EXPECT_TRUE(window->ROMList().IsScanned());
    EXPECT_EQ(window->ROMList().CountAvailable(), 0);
}

TEST_F(Browser, ColumnsAreAsWideAsTheirWidestTextWithoutLayingOutRows) {
    auto browser = Open();
    const QFontMetrics metrics = browser->GameList()->fontMetrics();
    const auto widths = browser->Model().ColumnWidths(metrics);
    ASSERT_EQ(widths.size(), 5u);
    // The widest of each column counts whatever the filter: "Gone Game" is missing.
    EXPECT_GE(widths[0], metrics.horizontalAdvance("Alpha Story") + 20);
    EXPECT_LE(widths[0], metrics.horizontalAdvance("Alpha Story") + 24);
    EXPECT_GE(widths[1], metrics.horizontalAdvance("Filename") + 20);
    EXPECT_GE(widths[2], metrics.horizontalAdvance("Manufacturer") + 20);
    EXPECT_LE(widths[2], metrics.horizontalAdvance("Manufacturer") + 24);
}

// A header click sorts by its column (a year as a number, an unknown one
// last whichever the way; texts case and accents aside), the selected game
// stays selected, and the next opening finds the order and the widths the
// user left.
TEST_F(Browser, HeadersSortAndTheOrderAndWidthsAreKept) {
    TableView view;
    const auto open = [&] {
        auto browser = std::make_unique<CDlgROMBrowser>(
            window->ROMList(), window->Settings().ROMFilter, dialogs, -1, GameChoice::AnyGame);
        browser->KeepViewIn(view);
        browser->Open();
        browser->FilterChanged(0);
        return browser;
    };
    auto browser = open();
    const auto listed = [](CDlgROMBrowser& b) {
        std::vector<int> games;
        for (int row = 0; row < b.Model().rowCount(); ++row)
            games.push_back(b.Model().GameAt(row));
        return games;
    };
    EXPECT_EQ(listed(*browser), (std::vector<int>{0, 1, 2})); // the catalogue's order
    Click(*browser, 1);
    QHeaderView* header = browser->GameList()->horizontalHeader();
    const struct {
        int column;
        Qt::SortOrder order;
        std::vector<int> games;
    } sorts[] = {{0, Qt::DescendingOrder, {2, 1, 0}},
                 {3, Qt::AscendingOrder, {1, 0, 2}},
                 {3, Qt::DescendingOrder, {1, 0, 2}},
                 {2, Qt::AscendingOrder, {2, 0, 1}}};
    for (const auto& sort : sorts) {
        SCOPED_TRACE(sort.column);
        header->setSortIndicator(sort.column, sort.order);
        EXPECT_EQ(listed(*browser), sort.games);
        EXPECT_EQ(browser->SelectedGame(), 1);
        EXPECT_EQ(browser->GameList()->selectionModel()->selectedRows().first().row(),
                  browser->Model().RowOf(1));
    }
    header->resizeSection(0, 333);
    EXPECT_EQ(view.sortColumn, 2);
    EXPECT_FALSE(view.descending);
    ASSERT_EQ(view.widths.size(), 5u);
    EXPECT_EQ(view.widths[0], 333);

    browser.reset();
    auto again = open();
    EXPECT_EQ(listed(*again), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(again->GameList()->columnWidth(0), 333);
    EXPECT_EQ(again->GameList()->horizontalHeader()->sortIndicatorSection(), 2);
}

// Typing narrows the list at once to the games holding every word typed in
// their title, name, maker, year or system, case and accents aside; Escape
// in a filter that holds words empties it, and only then closes the browser.
TEST_F(Browser, TheFilterFindsGamesByEveryWordTyped) {
    auto browser = Open();
    browser->FilterChanged(0);
    auto* find = qobject_cast<QLineEdit*>(browser->ControlById(CDlgROMBrowser::kFind));
    const auto listed = [&] {
        std::vector<int> games;
        for (int row = 0; row < browser->Model().rowCount(); ++row)
            games.push_back(browser->Model().GameAt(row));
        return games;
    };
    struct Case {
        const char* typed;
        std::vector<int> games;
    } cases[] = {{"beta", {1}},
                 {"TARVO  run", {1}},
                 {"soft", {0, 1}},
                 {"1990", {1}},
                 {"elsewhere gone", {2}},
                 {"\xc3\x85lpha", {0}},
                 {"test driver", {0, 1, 2}},
                 {"alpha beta", {}},
                 {"", {0, 1, 2}}};
    for (const Case& c : cases) {
        find->setText(QString::fromUtf8(c.typed));
        EXPECT_EQ(listed(), c.games) << c.typed;
    }
    EXPECT_EQ(CSearchWords::Folded(u"Caf\u00e9 \u00c9T\u00c9"_s), u"cafe ete"_s);

    browser->show();
    QApplication::setActiveWindow(browser.get());
    find->setFocus();
    find->setText(u"beta"_s);
    if (const char* shot = std::getenv("TARVO_BROWSER_SCREENSHOT")) browser->grab().save(shot);
    QTest::keyClick(find, Qt::Key_Escape);
    EXPECT_TRUE(find->text().isEmpty());
    EXPECT_TRUE(browser->isVisible());
    QTest::keyClick(find, Qt::Key_Escape);
    EXPECT_FALSE(browser->isVisible());
}

// By keyboard: the browser opens in Find with the game it was opened for
// selected; "Games Found" counts the games Find leaves; Enter loads the one
// game found; Down goes to the list, which selects the row it shows.
TEST_F(Browser, TheKeyboardFindsAndLoadsAGame) {
    auto browser = std::make_unique<CDlgROMBrowser>(window->ROMList(), window->Settings().ROMFilter,
                                                    dialogs, 1, GameChoice::AvailableOnly);
    browser->Open();
    browser->show();
    QApplication::setActiveWindow(browser.get());
    auto* find = qobject_cast<QLineEdit*>(browser->ControlById(CDlgROMBrowser::kFind));
    EXPECT_TRUE(find->hasFocus());
    EXPECT_EQ(browser->SelectedGame(), 1);
    EXPECT_TRUE(browser->LoadButton()->isEnabled());

    find->setText(u"alpha"_s);
    EXPECT_EQ(Text(*browser, CDlgROMBrowser::kGamesFound), "1");
    find->clear();
    browser->GameList()->selectionModel()->clearSelection();
    QTest::keyClick(find, Qt::Key_Down);
    EXPECT_TRUE(browser->GameList()->hasFocus());
    EXPECT_EQ(browser->SelectedGame(), browser->Model().GameAt(0));

    find->setFocus();
    find->setText(u"alpha"_s);
    QTest::keyClick(find, Qt::Key_Return);
    EXPECT_FALSE(browser->isVisible());
    EXPECT_EQ(browser->result(), QDialog::Accepted);
    EXPECT_EQ(browser->SelectedGame(), 0);
}

// F2 renames a game the user added, through the dialog's fields; the games
// Tarvo comes with are not offered for it.
TEST_F(Browser, F2RenamesOnlyAGameTheUserAdded) {
    window->ROMList().GetEntry(1)->addedByUser = true;
    window->ROMList().GetEntry(1)->extraInfo = "1990, added by tarvo-add from beta.vgm";
    auto browser = Open();
    std::vector<std::string> renamed;
    std::string shownYear;
    browser->AllowRenaming(
        [&](int game, const GameNaming& naming, CDlgROMBrowser::Renamed done) {
            renamed.push_back(std::to_string(game) + " " + naming.title + "/" + naming.maker + "/" +
                              naming.year);
            done(true);
        },
        [&](QDialog& dialog) {
            auto& rename = static_cast<CDlgRenameGame&>(dialog);
            auto field = [&](int id) { return qobject_cast<QLineEdit*>(rename.ControlById(id)); };
            shownYear = field(CDlgRenameGame::kYear)->text().toStdString();
            field(CDlgRenameGame::kTitle)->setText(u" Beta Run II "_s);
            rename.accept();
            return dialog.result();
        });
    for (int game : {0, 1}) {
        Click(*browser, game);
        QTest::keyClick(browser.get(), Qt::Key_F2);
    }
    EXPECT_EQ(shownYear, "1990");
    EXPECT_EQ(renamed, std::vector<std::string>{"1 Beta Run II/Tarvo Soft/1990"});
}
