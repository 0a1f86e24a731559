// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DlgPlaylist.h"
#include "dialogs/DlgROMBrowser.h"
#include "ui/WindowFixture.h"

using namespace tarvo;
using namespace tarvo::test;
namespace {

class PlaylistMode : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window->SetModalRunner([this](QDialog& dialog) { return RunScripted(dialog); });
        // Entries of a game without clip records count as bad.
        for (int game : {0, 1})
            window->ROMList().GetEntry(game)->clipInfo.SetRange(0, 20);
    }

    // The Playlist Manager returns what the test queued after applying its edit;
    // the Game Browser picks `browserPick`.
    int RunScripted(QDialog& dialog) {
        if (auto* manager = qobject_cast<CDlgPlaylist*>(&dialog)) {
            ++managerRuns;
            manager->Open();
            if (managerEdit) managerEdit(*manager);
            return managerResult;
        }
        auto& browser = static_cast<CDlgROMBrowser&>(dialog);
        browser.Open();
        browser.SelectGame(browserPick);
        return QDialog::Accepted;
    }

    const CGameEntry* Game(int game) { return window->ROMList().GetEntry(game); }
    // What a user does in the manager: shows a game, selects a clip, "Add >>".
    static void AddInManager(CDlgPlaylist& manager, int game, int clip) {
        manager.ShowGame(game);
        CQtListView& clips = manager.ClipList();
        for (int row = 0; row < clips.RowCount(); ++row)
            clips.SetRowSelected(row, clips.ItemData(row) == clip);
        manager.Add();
    }
    CPlaylist& Playlist() { return window->Playlist(); }
    void Add(int game, int clip) { Playlist().AddEntry(Game(game), clip); }
    bool InPlaylistMode() { return window->Engine().Status().playlistMode; }
    // The game, the clip and the playlist entry playing.
    std::tuple<int, int, int> Playing() {
        const CPlayerEngine& engine = window->Engine();
        return {engine.Status().currentGame, engine.Status().currentClip,
                engine.Status().playlistPos};
    }

    int managerRuns = 0;
    int managerResult = QDialog::Rejected;
    std::function<void(CDlgPlaylist&)> managerEdit;
    int browserPick = 0;
};

} // namespace

TEST_F(PlaylistMode, SwitchingChangesTheControls) {
    Add(0, 1);
    Add(1, 2);
    Playlist().title = "Mix";
    window->Mode().ToggleMode();
    EXPECT_TRUE(InPlaylistMode());
    EXPECT_EQ(Find<QPushButton>(kSwitchMode)->text(), "Switch to ROM Mode");
    EXPECT_EQ(Find<QGroupBox>(kBrowserGroup)->title(), "Playlist Browser");
    EXPECT_TRUE(Find<QCheckBox>(kShowBlanks)->isHidden());
    EXPECT_FALSE(Find<QCheckBox>(kShuffle)->isHidden());
    EXPECT_TRUE(Enabled(kPlay) && Enabled(kNext)); // PLAY and NEXT, though nothing is loaded
    EXPECT_EQ(Find<QLineEdit>(kBrowserTitle)->text(), "Mix");
    ASSERT_EQ(List()->topLevelItemCount(), 2);
    EXPECT_EQ(Row(1), "beta:002");
    EXPECT_TRUE(window->Action(kMenuPlaylistMode)->isChecked());

    window->Command(kMenuRomMode); // back to ROM mode, with no game loaded
    EXPECT_FALSE(InPlaylistMode());
    EXPECT_EQ(Find<QPushButton>(kSwitchMode)->text(), "Switch to Playlist Mode");
    EXPECT_EQ(Find<QGroupBox>(kBrowserGroup)->title(), "ROM SoundClip Browser");
    EXPECT_TRUE(Find<QCheckBox>(kShuffle)->isHidden());
    EXPECT_EQ(List()->topLevelItemCount(), 0);
    EXPECT_FALSE(Enabled(kPlay));
}

// The manager opens by itself for an empty playlist; what is done there
// stays after "Done", and the mode follows whether the playlist has entries.
TEST_F(PlaylistMode, TheManagerKeepsItsChangesAndTheModeFollowsThePlaylist) {
    managerEdit = [](CDlgPlaylist& manager) {
        AddInManager(manager, 0, 3);
        qobject_cast<QLineEdit*>(manager.ControlById(CDlgPlaylist::kTitle))->setText("Kept");
        manager.CommitTitle();
    };
    window->Command(kSwitchMode); // "Done"
    EXPECT_EQ(managerRuns, 1);
    EXPECT_FALSE(InPlaylistMode());
    EXPECT_EQ(Playlist().GetCount(), 1);
    EXPECT_EQ(Playlist().title, "Kept");
    EXPECT_TRUE(MenuEnabled(kSavePlaylist));

    Playlist().Clear();
    managerResult = QDialog::Accepted;
    managerEdit = [](CDlgPlaylist& manager) { AddInManager(manager, 1, 4); };
    window->Command(kMenuPlaylistMode);
    EXPECT_EQ(managerRuns, 2);
    EXPECT_TRUE(InPlaylistMode());

    managerEdit = [](CDlgPlaylist& manager) { manager.ClearPlaylist(false); };
    window->Command(kPlaylistManager);
    EXPECT_FALSE(InPlaylistMode());
}

// NEXT plays the entries in their order across games, a game's first load
// relabels its rows with the titles it tells, and a keyboard user keeps the
// transport: the focus starts on the clip list and stays on NEXT while NEXT
// loads another game, though the button is disabled while the core works.
TEST_F(PlaylistMode, PlayingFollowsThePlaylistAcrossGamesAndTheFocusStays) {
    window->show();
    QApplication::setActiveWindow(window.get());
    EXPECT_EQ(QApplication::focusWidget(), List());
    Add(0, 1);
    Add(1, 2);
    window->Mode().ToggleMode();
    EXPECT_EQ(QApplication::focusWidget(), List());
    EXPECT_EQ(Row(1, 1), "Clip 2");
    Find<QPushButton>(kNext)->setFocus(Qt::TabFocusReason);
    window->Command(kNext); // NEXT from Idle starts entry 0
    EXPECT_EQ(Playing(), std::tuple(0, 1, 0));
    core.tellsTunes = true;
    core.tunes = {"", "", "Quiet Village"};
    window->Command(kNext); // another game
    EXPECT_EQ(Playing(), std::tuple(1, 2, 1));
    EXPECT_EQ(QApplication::focusWidget(), Find<QPushButton>(kNext));
    EXPECT_EQ(List()->currentItem(), List()->topLevelItem(1));
    EXPECT_EQ(Find<QLineEdit>(kClipTitle)->text(), "Quiet Village");
    EXPECT_EQ(Row(1, 1), "Quiet Village");
    SelectRow(0);
    window->Clips().PlaySelected();
    EXPECT_EQ(window->Engine().Status().currentGame, 0);
}

TEST_F(PlaylistMode, EnteringTheModeFindsThePlayingClipOrStartsThePlaylist) {
    Add(0, 1);
    Add(0, 3);
    Load(0, 3);
    window->Mode().ToggleMode();
    EXPECT_EQ(window->Engine().Status().playlistPos, 1);
    EXPECT_EQ(List()->currentItem(), List()->topLevelItem(1));

    window->Mode().ToggleMode(); // back in ROM mode the game's clips and the playing one are shown
    EXPECT_EQ(List()->currentItem()->data(0, Qt::UserRole).toInt(), 3);
    EXPECT_EQ(Find<QLineEdit>(kBrowserTitle)->text(), "Alpha Story");

    Playlist().Clear();
    Add(1, 2);
    window->Mode().ToggleMode(); // another clip plays: the playlist starts
    EXPECT_EQ(Playing(), std::tuple(1, 2, 0));
}

TEST_F(PlaylistMode, MoveButtonsKeepThePlayingPosition) {
    for (int clip = 0; clip < 5; ++clip)
        Add(0, clip);
    window->Mode().ToggleMode();
    EXPECT_EQ(List()->currentItem(), List()->topLevelItem(0)); // nothing plays: row 0
    window->Engine().PlayChosen(4);
    SelectRow(2);
    EXPECT_TRUE(Enabled(kMoveToBottom));
    window->Command(kMoveToBottom);
    EXPECT_EQ(window->Engine().Status().playlistPos, 3);
    EXPECT_EQ(Row(4), "alpha:002");
    EXPECT_EQ(List()->selectedItems(), QList<QTreeWidgetItem*>{List()->topLevelItem(4)});

    window->Engine().PlayChosen(0);
    SelectRow(2);
    window->Command(kMoveToBottom);
    EXPECT_EQ(window->Engine().Status().playlistPos, 0);

    SelectRow(0);
    window->Command(kMoveUp); // the first cannot move up
    EXPECT_EQ(window->Engine().Status().playlistPos, 0);
    window->Command(kMoveDown);
    EXPECT_EQ(window->Engine().Status().playlistPos, 1);
    EXPECT_EQ(Row(1), "alpha:000");
}

TEST_F(PlaylistMode, ChoosingAGameInTheBrowserLeavesTheMode) {
    Add(0, 1);
    window->Mode().ToggleMode();
    browserPick = 1;
    window->Windows().OpenBrowser();
    EXPECT_FALSE(InPlaylistMode());
    EXPECT_EQ(window->Engine().Status().currentGame, 1);
    EXPECT_GT(List()->topLevelItemCount(), 0); // the game's clips
}

TEST_F(PlaylistMode, LoadingSavesTheNamedPlaylistFirstAndAnEmptyOneLeavesTheMode) {
    Add(0, 1);
    Playlist().fileName = temp.File("old.tvp");
    temp.Write("new.tvp", "Title=New\nEntry=beta 7\nEntry=BETA 8\n");
    dialogs.paths = {temp.File("new.tvp")};
    window->Command(kLoadPlaylist);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_NE(temp.Read("old.tvp").find("Entry=alpha 1"), std::string::npos);
    EXPECT_EQ(dialogs.pickerTitles, std::vector<std::string>{"Open Playlist..."});
    EXPECT_TRUE(InPlaylistMode());
    EXPECT_EQ(Playlist().fileName, temp.File("new.tvp"));
    ASSERT_EQ(List()->topLevelItemCount(), 2);
    EXPECT_EQ(Row(1), "beta:008");
    EXPECT_EQ(Find<QLineEdit>(kBrowserTitle)->text(), "New");

    temp.Write("empty.tvp", "; Tarvo Playlist File\nTitle=\n\n");
    dialogs.paths = {temp.File("empty.tvp")};
    window->Mode().LoadPlaylistCommand();
    EXPECT_FALSE(InPlaylistMode());
}

// The question itself is the playlist's; the window shows what is kept.
TEST_F(PlaylistMode, TheBadEntryQuestionOnLoad) {
    temp.Write("bad.tvp", "Entry=gone 1\nEntry=alpha 2\nEntry=gone 3\n");
    dialogs.answers = {true};
    dialogs.paths = {temp.File("bad.tvp")};
    window->Mode().LoadPlaylistCommand();
    EXPECT_EQ(dialogs.shown.at(0).text.rfind("WARNING: The Playlist that was just loaded", 0), 0u);
    ASSERT_EQ(List()->topLevelItemCount(), 1);
    EXPECT_EQ(Row(0), "alpha:002");
}

TEST_F(PlaylistMode, SaveCurrentPlaylistProposesItsName) {
    EXPECT_FALSE(MenuEnabled(kSavePlaylist));
    Add(0, 5);
    window->UpdateMenus();
    EXPECT_TRUE(MenuEnabled(kSavePlaylist));
    Playlist().fileName = temp.File("was.tvp");
    dialogs.paths = {temp.File("now")};
    window->Command(kSavePlaylist);
    EXPECT_EQ(dialogs.initialNames, std::vector<std::string>{temp.File("was.tvp")});
    // A name without an extension gets ".tvp", so the Load picker's filter shows it.
    EXPECT_EQ(Playlist().fileName, temp.File("now.tvp"));
    EXPECT_NE(temp.Read("now.tvp").find("Entry=alpha 5"), std::string::npos);

    // The picker asked about "now" only: replacing "now.tvp" is asked again,
    // and No opens the picker once more.
    dialogs.paths = {temp.File("now"), temp.File("list.txt")};
    dialogs.answers = {false};
    window->Command(kSavePlaylist);
    EXPECT_EQ(dialogs.shown.back().text, "now.tvp already exists.\nDo you want to replace it?");
    EXPECT_EQ(dialogs.initialNames.back(), temp.File("now.tvp"));
    EXPECT_EQ(Playlist().fileName, temp.File("list.txt")); // any extension is kept as typed
}

TEST_F(PlaylistMode, ACrashLeavesACopyThatTheNextStartReloads) {
    Add(0, 1);
    Add(1, 2);
    Playlist().fileName = temp.File("named.tvp");
    window->Mode().ToggleMode();
    ASSERT_TRUE(window->Timers().AutosaveTimer().isActive());
    EXPECT_EQ(window->Timers().AutosaveTimer().interval(), CPlayerEngine::kAutosavePeriodMs);
    window->Engine().Setup().Autosave();   // as the timer does
    EXPECT_EQ(temp.Read("named.tvp"), ""); // the user's own file is not touched

    window.reset(); // no close sequence: the program died
    window = MakeWindow(dialogs);
    window->StartUp();
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.back().text.rfind("Oops!", 0), 0u);
    EXPECT_TRUE(InPlaylistMode());
    EXPECT_EQ(Playlist().GetCount(), 2);
    EXPECT_TRUE(Playlist().fileName.empty()); // unnamed: the close asks where to save it
    EXPECT_EQ(List()->topLevelItemCount(), 2);
}

// A named playlist is saved at close without a question and named for the
// next start, which comes back in playlist mode; an empty one is neither.
TEST_F(PlaylistMode, ANormalCloseSavesANamedPlaylistForTheNextStartAndIgnoresAnEmptyOne) {
    window->CloseSequence();
    EXPECT_EQ(temp.Read("Tarvo.ini").find("PlaylistFile"), std::string::npos);
    Add(0, 1);
    Playlist().fileName = temp.File("named.tvp");
    window->Mode().ToggleMode();
    window->CloseSequence();
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(dialogs.pickerTitles.empty());
    EXPECT_NE(temp.Read("named.tvp").find("Entry=alpha 1"), std::string::npos);
    window = MakeWindow(dialogs);
    window->StartUp();
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(InPlaylistMode());
    EXPECT_EQ(Playlist().fileName, temp.File("named.tvp"));
}
