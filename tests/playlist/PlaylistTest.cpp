// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/Playlist.h"

#include "library/ROMList.h"
#include "support/FakeListView.h"
#include "support/ScriptedDialogs.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace tarvo;

namespace {

class PlaylistTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"abc", "xyz", "gone"}) {
            CGameEntry game;
            game.romName = name;
            game.romPath = std::string("/roms/") + name + ".zip";
            game.clipInfo.SetRange(0, 200);
            list.AddGameForTesting(game);
        }
        list.GetEntry(2)->romPath.clear(); // the user has no archive for "gone"
        list.GetEntry(0)->clipInfo.SetTitle(5, "Theme");
        list.GetEntry(0)->clipInfo.SetBlank(6, true);
        playlist.SetROMList(&list);
    }

    const CGameEntry* Game(int i) { return list.GetEntry(i); }

    std::vector<std::string> Labels() {
        std::vector<std::string> labels;
        for (const PlaylistEntry& e : playlist.GetEntries())
            labels.push_back(e.GetLabel());
        return labels;
    }

    void Load(const std::string& text, bool append = false) {
        temp.Write("p.tvp", text);
        ASSERT_TRUE(playlist.LoadFromFile(
            temp.File("p.tvp"), {.append = append, .interactive = true, .rememberName = true},
            dialogs));
    }

    CROMList list;
    CPlaylist playlist;
    test::ScriptedDialogs dialogs;
    test::TempFolder temp;
};

} // namespace

// The file as written, read back to the same playlist; a quiet save (the
// crash copy) does not make the file the playlist's own.
TEST_F(PlaylistTest, WritesExactlyTheFileFormatAndReadsItBack) {
    playlist.title = "  spaced title ";
    playlist.AddEntry(Game(0), 5);
    playlist.AddEntry(Game(1), 120);
    playlist.AddEntry(Game(0), 5); // duplicates are allowed
    ASSERT_TRUE(playlist.SaveToFile(temp.File("crash.tvp"), Interaction::Quiet, dialogs));
    EXPECT_EQ(playlist.fileName, "");
    ASSERT_TRUE(playlist.SaveToFile(temp.File("demo.tvp"), Interaction::Interactive, dialogs));
    EXPECT_EQ(temp.Read("demo.tvp"), "; Tarvo Playlist File\nTitle=  spaced title \n\n"
                                     "Entry=abc 5\nEntry=xyz 120\nEntry=abc 5\n");
    EXPECT_EQ(playlist.fileName, temp.File("demo.tvp"));
    CPlaylist read;
    read.SetROMList(&list);
    ASSERT_TRUE(read.LoadFromFile(temp.File("demo.tvp"), {}, dialogs));
    EXPECT_EQ(read.title, playlist.title);
    EXPECT_EQ(read.GetEntries(), playlist.GetEntries());
}

TEST_F(PlaylistTest, ReadingRules) {
    Load("; comment\r\n"
         "title = My list\n"
         "ENTRY=ABC 7\n"
         "Entry=abc\n"      // clip 0
         "Entry=xyz -3\n"   // negative: dropped
         "Entry=nobody 3\n" // unknown game: dropped
         "Entry= abc 4\n"   // blank after "=": empty name, dropped
         "Entry=xyz 12 extra\n"
         "Entry=xyz 99999999999\n" // saturates, still a valid number
         "garbage line\n");
    EXPECT_EQ(playlist.title, " My list");
    EXPECT_EQ(Labels(),
              (std::vector<std::string>{"abc:007", "abc:000", "xyz:012", "xyz:2147483647"}));
}

TEST_F(PlaylistTest, TitleWithAppendAndWithout) {
    playlist.title = "Old";
    Load("Entry=abc 1\n", true);
    EXPECT_EQ(playlist.title, "Old");
    Load("Entry=abc 1\n", false);
    EXPECT_EQ(playlist.title, "");
}

// Entries of a missing game or of blank or unknown clips are asked about
// once: No keeps them, Yes removes them and keeps the order of the rest.
TEST_F(PlaylistTest, BadEntriesAreAskedAboutOnce) {
    for (bool remove : {false, true}) {
        dialogs = test::ScriptedDialogs();
        dialogs.answers = {remove};
        Load("Entry=abc 1\nEntry=gone 2\nEntry=abc 6\nEntry=xyz 3\nEntry=abc 999\n");
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].text.rfind("WARNING: The Playlist that was just loaded", 0), 0u);
        EXPECT_EQ(playlist.GetCount(), remove ? 2 : 5);
    }
    EXPECT_EQ(Labels(), (std::vector<std::string>{"abc:001", "xyz:003"}));
}

TEST_F(PlaylistTest, AGameNeverLoadedHereMakesNoBadEntry) {
    list.GetEntry(1)->clipInfo.SetRange(-1, -1); // no clip information for xyz at all
    Load("Entry=xyz 3\nEntry=xyz 450\n");
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(playlist.GetCount(), 2);
    test::FakeListView view;
    playlist.FillList(view);
    EXPECT_EQ(view.Text(1, 1), "Clip 450");
}

TEST_F(PlaylistTest, LoadFailuresLeaveThePlaylistAndSpeakOnlyWhenInteractive) {
    playlist.AddEntry(Game(0), 1);
    EXPECT_FALSE(playlist.LoadFromFile(temp.File("none.tvp"), {.rememberName = true}, dialogs));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_FALSE(playlist.LoadFromFile(temp.File("none.tvp"),
                                       {.interactive = true, .rememberName = true}, dialogs));
    EXPECT_EQ(dialogs.Texts(),
              std::vector<std::string>{"ERROR: Could not find " + temp.File("none.tvp")});
    EXPECT_FALSE(playlist.LoadFromFile(temp.Path(), {.interactive = true, .rememberName = true},
                                       dialogs)); // ends in "/"
    EXPECT_EQ(playlist.GetCount(), 1);

    CPlaylist orphan;
    EXPECT_FALSE(orphan.LoadFromFile(temp.File("none.tvp"),
                                     {.interactive = true, .rememberName = true}, dialogs));
    EXPECT_EQ(dialogs.shown.back().text.rfind("Internal Error: ", 0), 0u);
}

TEST_F(PlaylistTest, SaveFailureKeepsTheFileName) {
    playlist.fileName = "/kept.tvp";
    test::ScriptedDialogs quiet;
    EXPECT_FALSE(playlist.SaveToFile(temp.File("no/such/dir.tvp"), Interaction::Quiet, quiet));
    EXPECT_TRUE(quiet.shown.empty());
    EXPECT_FALSE(
        playlist.SaveToFile(temp.File("no/such/dir.tvp"), Interaction::Interactive, dialogs));
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{
                                   "ERROR: Could not create or open Playlist file for writing."});
    EXPECT_EQ(playlist.fileName, "/kept.tvp");
}

TEST_F(PlaylistTest, Moves) {
    struct Case {
        const char* name;
        bool (CPlaylist::*move)(int, IListView*);
        int index;
        bool moved;
        std::vector<std::string> order;
    } cases[] = {
        {"up from 0", &CPlaylist::MoveUp, 0, false, {"P", "Q", "R"}},
        {"top from 0", &CPlaylist::MoveToTop, 0, false, {"P", "Q", "R"}},
        {"down from last", &CPlaylist::MoveDown, 2, false, {"P", "Q", "R"}},
        {"bottom from last", &CPlaylist::MoveToBottom, 2, false, {"P", "Q", "R"}},
        {"bottom from 0", &CPlaylist::MoveToBottom, 0, true, {"Q", "R", "P"}},
        {"top from 2", &CPlaylist::MoveToTop, 2, true, {"R", "P", "Q"}},
        {"up from 1", &CPlaylist::MoveUp, 1, true, {"Q", "P", "R"}},
        {"down from 1", &CPlaylist::MoveDown, 1, true, {"P", "R", "Q"}},
        {"out of range", &CPlaylist::MoveDown, 7, false, {"P", "Q", "R"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        playlist.Clear();
        list.GetEntry(0)->clipInfo.SetTitle(1, "P");
        list.GetEntry(0)->clipInfo.SetTitle(2, "Q");
        list.GetEntry(0)->clipInfo.SetTitle(3, "R");
        test::FakeListView view;
        for (int clip = 1; clip <= 3; ++clip)
            playlist.AddEntry(Game(0), clip, &view);
        EXPECT_EQ((playlist.*c.move)(c.index, &view), c.moved);
        EXPECT_EQ(view.Column(1), c.order);
        if (c.moved) {
            EXPECT_EQ(view.SelectedRows().size(), 1u);
            EXPECT_EQ(view.selectionMark, view.SelectedRows().front());
        }
    }
}

// The label column is wide enough for the widest label (or a wide one when
// there is none), the length column for "00:00", and the columns fill the
// list without a scroll bar; a length shows once its game has told it.
TEST_F(PlaylistTest, RowsAndColumns) {
    test::FakeListView view;
    playlist.SetupListColumns(view);
    EXPECT_GE(view.columnWidths.at(0), view.TextWidth("wwwwwwww:999"));
    playlist.AddEntry(Game(0), 5);
    playlist.AddEntry(Game(0), 6);
    playlist.AddEntry(Game(1), 1234);
    playlist.AddEntry(nullptr, 3);
    playlist.FillList(view);
    EXPECT_EQ(view.Column(0), (std::vector<std::string>{"abc:005", "abc:006", "xyz:1234", ""}));
    EXPECT_EQ(view.Column(1),
              (std::vector<std::string>{"Theme", "-- blank --", "-- blank --", "-- blank --"}));
    EXPECT_EQ(view.Column(2), (std::vector<std::string>{"", "", "", ""}));
    list.GetEntry(0)->knownLengthsMs = {-1, -1, -1, -1, -1, 125000};
    playlist.UpdateRows(view, 0, 3);
    EXPECT_EQ(view.Column(2), (std::vector<std::string>{"2:05", "", "", ""}));
    playlist.SetupListColumns(view);
    EXPECT_GE(view.columnWidths.at(0), view.TextWidth("xyz:1234"));
    EXPECT_LT(view.columnWidths.at(0), view.TextWidth("wwwwwwww:999"));
    ASSERT_EQ(view.columnWidths.size(), 3u);
    EXPECT_GE(view.columnWidths.at(2), view.TextWidth("00:00"));
    EXPECT_LE(view.columnWidths.at(0) + view.columnWidths.at(1) + view.columnWidths.at(2),
              view.ClientWidth());
}

TEST_F(PlaylistTest, FindEntryAndRemove) {
    playlist.AddEntry(nullptr, 3);
    playlist.AddEntry(Game(1), 3);
    EXPECT_EQ(playlist.FindEntry(nullptr, 3), -1);
    EXPECT_EQ(playlist.FindEntry(Game(1), 3), 1);
    playlist.RemoveEntry(5);
    playlist.RemoveEntry(0);
    EXPECT_EQ(playlist.GetCount(), 1);
    EXPECT_EQ(playlist.GetClip(9), -1);
    EXPECT_EQ(playlist.GetGame(-1), nullptr);
}

TEST_F(PlaylistTest, CopyFromKeepsEverything) {
    playlist.title = "T";
    playlist.fileName = "/f.tvp";
    playlist.AddEntry(Game(1), 2);
    CPlaylist copy;
    copy.CopyFrom(playlist);
    EXPECT_EQ(copy.title, "T");
    EXPECT_EQ(copy.fileName, "/f.tvp");
    EXPECT_EQ(copy.GetROMList(), &list);
    EXPECT_EQ(copy.GetEntries(), playlist.GetEntries());
}
