// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DlgPlaylist.h"
#include "dialogs/DlgROMBrowser.h"
#include "ui/WindowFixture.h"

#include <QKeyEvent>

using namespace tarvo;
using namespace tarvo::test;
using namespace Qt::StringLiterals;
namespace {

class Manager : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        for (int game : {0, 1})
            Clips(game).SetRange(0, 9);
        Clips(0).SetBlank(4, true);
        Clips(0).SetTitle(2, "Boss");
    }

    // A playlist as the main window hands it over: (game, clip) entries.
    CPlaylist Given(std::initializer_list<std::pair<int, int>> entries) {
        CPlaylist playlist;
        playlist.SetROMList(&window->ROMList());
        for (auto [game, clip] : entries)
            playlist.AddEntry(window->ROMList().GetEntry(game), clip);
        return playlist;
    }
    std::unique_ptr<CDlgPlaylist> Open(int shownGame, const CPlaylist& given = {},
                                       ModalRunner browser = {}) {
        auto manager =
            std::make_unique<CDlgPlaylist>(window->ROMList(), window->Settings().ROMFilter, dialogs,
                                           given, shownGame, std::move(browser));
        manager->Open();
        return manager;
    }
    // Selects exactly these rows of a list, the first of them as the mark.
    static void Select(CQtListView& list, std::initializer_list<int> rows) {
        list.Tree()->clearSelection();
        for (int row : rows)
            list.SetRowSelected(row, true);
        if (rows.size() > 0) list.SetSelectionMark(*rows.begin());
    }
    static bool Enabled(CDlgPlaylist& m, int id) { return m.ControlById(id)->isEnabled(); }
    static QString Text(CDlgPlaylist& m, int id) {
        return qobject_cast<QLineEdit*>(m.ControlById(id))->text();
    }
    static std::vector<std::string> Labels(CDlgPlaylist& m) {
        std::vector<std::string> labels;
        for (int row = 0; row < m.PlaylistList().RowCount(); ++row)
            labels.push_back(m.PlaylistList().Text(row, 0));
        return labels;
    }
};

} // namespace

TEST_F(Manager, ShowsAGamesClipsWithoutBlanksAndWithNoGameOnlyChangeROM) {
    auto manager = Open(-1);
    EXPECT_EQ(manager->ClipList().RowCount(), 0);
    for (int id : {int(CDlgPlaylist::kAdd), int(CDlgPlaylist::kClear), int(CDlgPlaylist::kSave),
                   int(CDlgPlaylist::kUseThisPlaylist), int(CDlgPlaylist::kRemove),
                   int(CDlgPlaylist::kLocate), int(kMoveDown), int(kMoveToTop)})
        EXPECT_FALSE(Enabled(*manager, id)) << id;
    EXPECT_TRUE(Enabled(*manager, CDlgPlaylist::kChangeROM));

    manager->ShowGame(0);
    EXPECT_EQ(Text(*manager, CDlgPlaylist::kShownROM), "alpha");
    EXPECT_EQ(manager->ClipList().RowCount(), 9); // 0..9 without the blank 4
    EXPECT_EQ(manager->ClipList().Text(2, 1), "Boss");
    manager->ShowGame(2);
    EXPECT_EQ(Text(*manager, CDlgPlaylist::kShownROM), "gone (missing)");
    manager->ShowGame(7); // no such game: emptied, the shown game stays
    EXPECT_TRUE(Text(*manager, CDlgPlaylist::kShownROM).isEmpty());
    EXPECT_EQ(manager->ShownGame(), 2);
}

// The clip list shows only the clips whose number or title holds every word
// typed; Escape in the search empties it first.
TEST_F(Manager, TheSearchShowsOnlyTheClipsFound) {
    Clips(0).SetTitle(3, "Caf\xc3\xa9 Theme");
    auto manager = Open(0);
    auto* find = qobject_cast<QLineEdit*>(manager->ControlById(CDlgPlaylist::kFind));
    const auto shown = [&] {
        std::vector<std::string> rows;
        for (int row = 0; row < manager->ClipList().RowCount(); ++row)
            if (!manager->ClipList().Tree()->topLevelItem(row)->isHidden())
                rows.push_back(manager->ClipList().Text(row, 0));
        return rows;
    };
    Select(manager->ClipList(), {1, 2});
    find->setText(u"cafe"_s);
    EXPECT_EQ(shown(), std::vector<std::string>{"003"});
    EXPECT_EQ(manager->ClipList().SelectedRows(), std::vector<int>{}); // clip 1 is not shown
    find->setText(u"boss 002"_s);
    EXPECT_EQ(shown(), std::vector<std::string>{"002"});
    manager->show();
    QApplication::setActiveWindow(manager.get());
    find->setFocus();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(find, &escape);
    EXPECT_TRUE(manager->isVisible());
    EXPECT_EQ(shown().size(), 9u);
}

TEST_F(Manager, AddTakesTheSelectedClipsFromTheTop) {
    auto manager = Open(0);
    Select(manager->ClipList(), {5, 1}); // row 5 is clip 6, past the blank
    EXPECT_TRUE(Enabled(*manager, CDlgPlaylist::kAdd));
    manager->Add();
    EXPECT_EQ(Labels(*manager), (std::vector<std::string>{"alpha:001", "alpha:006"}));
    EXPECT_TRUE(Enabled(*manager, CDlgPlaylist::kUseThisPlaylist) &&
                Enabled(*manager, CDlgPlaylist::kClear) && Enabled(*manager, CDlgPlaylist::kSave));
    Select(manager->PlaylistList(), {0});
    EXPECT_TRUE(Enabled(*manager, CDlgPlaylist::kLocate) &&
                Enabled(*manager, CDlgPlaylist::kRemove));
    Select(manager->PlaylistList(), {0, 1});
    EXPECT_FALSE(Enabled(*manager, CDlgPlaylist::kLocate)); // Locate needs exactly one row
}

// Clear asks first; removing the last rows one by one clears the playlist,
// its title and its file name without a question.
TEST_F(Manager, ClearAsksButRemovingEveryRowClearsWithoutAQuestion) {
    CPlaylist given = Given({{0, 1}, {0, 2}, {0, 3}});
    given.title = "Gone soon";
    given.fileName = "/somewhere.tvp";
    auto manager = Open(0, given);
    manager->ClearPlaylist(true); // answered No
    EXPECT_EQ(
        dialogs.Texts(),
        std::vector<std::string>{"Are you sure you want to remove all entries in your Playlist?"});
    Select(manager->PlaylistList(), {0, 2});
    manager->Remove();
    EXPECT_EQ(Labels(*manager), std::vector<std::string>{"alpha:002"});
    Select(manager->PlaylistList(), {0});
    manager->Remove();
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(manager->Playlist().GetCount(), 0);
    EXPECT_TRUE(manager->Playlist().title.empty());
    EXPECT_TRUE(manager->Playlist().fileName.empty());
    EXPECT_TRUE(Text(*manager, CDlgPlaylist::kTitle).isEmpty());
    EXPECT_FALSE(Enabled(*manager, CDlgPlaylist::kUseThisPlaylist));
}

TEST_F(Manager, MoveButtonsMoveTheSelectedRowsOfTheRealList) {
    auto manager = Open(0, Given({{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 5}}));
    Select(manager->PlaylistList(), {1, 3});
    qobject_cast<QPushButton*>(manager->ControlById(kMoveToTop))->click();
    EXPECT_EQ(Labels(*manager), (std::vector<std::string>{"alpha:001", "alpha:003", "alpha:000",
                                                          "alpha:002", "alpha:005"}));
    EXPECT_EQ(manager->PlaylistList().SelectedRows(), (std::vector<int>{0, 1}));
    qobject_cast<QPushButton*>(manager->ControlById(kMoveToBottom))->click();
    EXPECT_EQ(manager->PlaylistList().SelectedRows(), (std::vector<int>{3, 4}));
    EXPECT_EQ(Labels(*manager).back(), "alpha:003");
}

TEST_F(Manager, LocateShowsTheEntrysGameAndClip) {
    auto manager = Open(-1, Given({{1, 7}, {0, 4}})); // alpha 4 is blank: no row on the left
    Select(manager->PlaylistList(), {0});
    manager->Locate();
    EXPECT_EQ(Text(*manager, CDlgPlaylist::kShownROM), "beta");
    EXPECT_EQ(manager->ClipList().SelectedRows(), std::vector<int>{7});
    EXPECT_EQ(manager->ClipList().SelectionMark(), 7);

    Select(manager->PlaylistList(), {1});
    manager->Locate();
    EXPECT_EQ(Text(*manager, CDlgPlaylist::kShownROM), "alpha");
    EXPECT_TRUE(manager->ClipList().SelectedRows().empty());
}

TEST_F(Manager, ChangeROMMayChooseAMissingGame) {
    auto manager = Open(0, {}, [](QDialog& dialog) {
        auto& browser = static_cast<CDlgROMBrowser&>(dialog);
        EXPECT_TRUE(browser.AllowsMissing());
        EXPECT_EQ(browser.InitialGame(), 0);
        browser.Open();
        browser.FilterChanged(0); // every game, the missing one too
        browser.SelectGame(2);
        return static_cast<int>(QDialog::Accepted);
    });
    manager->ChangeROM();
    EXPECT_EQ(manager->ShownGame(), 2);
    EXPECT_EQ(Text(*manager, CDlgPlaylist::kShownROM), "gone (missing)");
}

TEST_F(Manager, LoadAddPlaylistAndSave) {
    temp.Write("one.tvp", "Title=One\nEntry=alpha 1\n");
    temp.Write("two.tvp", "Title=Two\nEntry=beta 2\n");
    auto manager = Open(0);
    dialogs.paths = {temp.File("one.tvp"), temp.File("two.tvp"), temp.File("both.tvp")};
    manager->Load();
    manager->AddPlaylist();
    EXPECT_EQ(Labels(*manager), (std::vector<std::string>{"alpha:001", "beta:002"}));
    EXPECT_EQ(Text(*manager, CDlgPlaylist::kTitle), "Two");
    EXPECT_EQ(manager->Playlist().fileName, temp.File("two.tvp"));
    manager->Save();
    EXPECT_EQ(dialogs.pickerTitles,
              (std::vector<std::string>{"Load Playlist...", "Add Playlist To Current List...",
                                        "Save Playlist..."}));
    EXPECT_EQ(dialogs.initialNames, std::vector<std::string>{temp.File("two.tvp")});
    EXPECT_EQ(temp.Read("both.tvp").find("; Tarvo Playlist File"), 0u);
    EXPECT_EQ(manager->Playlist().fileName, temp.File("both.tvp"));

    manager->Load(); // cancelled: nothing changes
    EXPECT_EQ(manager->Playlist().GetCount(), 2);
}

TEST_F(Manager, EnterInTheTitleStoresItAndKeepsTheDialogOpen) {
    auto manager = Open(0, Given({{0, 1}}));
    manager->show();
    QApplication::setActiveWindow(manager.get());
    auto* title = qobject_cast<QLineEdit*>(manager->ControlById(CDlgPlaylist::kTitle));
    title->setFocus();
    title->setText("Evening");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(title, &enter);
    EXPECT_TRUE(manager->isVisible());
    EXPECT_EQ(manager->Playlist().title, "Evening");
    EXPECT_TRUE(manager->PlaylistList().Tree()->hasFocus());

    title->setFocus();
    title->setText("Night");
    auto* use = qobject_cast<QPushButton*>(manager->ControlById(CDlgPlaylist::kUseThisPlaylist));
    use->setFocus(Qt::MouseFocusReason); // a mouse press takes the focus first
    use->click();
    EXPECT_FALSE(manager->isVisible());
    EXPECT_EQ(manager->result(), QDialog::Accepted);
    EXPECT_EQ(manager->Playlist().title, "Night");
}

// Only the core's tune table knows a game's clips, and only for the game it
// has loaded: the range a list offers before that is no clip information.
TEST_F(Manager, AGameFirstSeenInTheManagerStillTakesItsTunesAtItsFirstLoad) {
    EXPECT_EQ(Open(2)->ClipList().RowCount(), CClipInfo::kDefaultLastClip + 1);
    window->ROMList().SaveClipInfo(temp.File("tarvoclips.dat"), CROMList::Lines::WithUnsupported,
                                   dialogs);
    EXPECT_EQ(temp.Read("tarvoclips.dat").find("gone:"), std::string::npos);

    core.tellsTunes = true;
    core.tunes = {"", "Intro", "", "Boss"};
    window->Engine().LoadGame(2, -1);
    EXPECT_EQ(Clips(2).lastClip, 3);
    EXPECT_EQ(Clips(2).GetTitle(3), "Boss");
    EXPECT_TRUE(Clips(2).IsBlank(2));
    window->ROMList().SaveClipInfo(temp.File("tarvoclips.dat"), CROMList::Lines::WithUnsupported,
                                   dialogs);
    EXPECT_NE(temp.Read("tarvoclips.dat").find("gone:range 0 3"), std::string::npos);
}

// The manager opens at the size kept from before; its two lists share the
// growth in width, and the buttons below and beside them follow.
TEST_F(Manager, OpensAtItsKeptSizeAndItsListsShareTheGrowth) {
    const auto fresh = Open(0);
    const QSize layout = fresh->size();
    auto place = [&fresh](int id) { return fresh->ControlById(id)->geometry(); };
    const QRect clips = place(CDlgPlaylist::kClips), entries = place(CDlgPlaylist::kEntries),
                done = place(CDlgPlaylist::kDone);
    WindowSize kept{layout.width() + 60, layout.height() + 40};
    const auto sized = Open(0);
    sized->KeepSizeIn(kept);
    sized->show();
    QApplication::processEvents();
    auto sizedPlace = [&sized](int id) { return sized->ControlById(id)->geometry(); };
    EXPECT_EQ(sized->size(), layout + QSize(60, 40));
    EXPECT_EQ(sizedPlace(CDlgPlaylist::kClips).size(), clips.size() + QSize(30, 40));
    EXPECT_EQ(sizedPlace(CDlgPlaylist::kEntries),
              QRect(entries.topLeft() + QPoint(30, 0), entries.size() + QSize(30, 40)));
    EXPECT_EQ(sizedPlace(CDlgPlaylist::kDone).topLeft(), done.topLeft() + QPoint(60, 40));
    WindowSize huge{5000, 4000}; // kept on a larger screen: no larger than this one
    const auto big = Open(0);
    big->KeepSizeIn(huge);
    EXPECT_EQ(big->size(), big->screen()->availableGeometry().size());
}
