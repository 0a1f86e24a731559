// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/PlaylistMoves.h"

#include "library/ROMList.h"
#include "playlist/Playlist.h"

#include <gtest/gtest.h>

using namespace tarvo;

namespace {

struct PositionCase {
    PlaylistMove move;
    int position, index, expected;
};

// Five entries throughout.
class PositionAfterMoveTest : public ::testing::TestWithParam<PositionCase> {};

TEST_P(PositionAfterMoveTest, FollowsThePlayingEntry) {
    const PositionCase c = GetParam();
    EXPECT_EQ(PositionAfterMove(c.move, c.position, c.index, 5), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    EachMove, PositionAfterMoveTest,
    ::testing::Values(PositionCase{PlaylistMove::ToTop, 3, 3, 0},
                      PositionCase{PlaylistMove::ToTop, 1, 3, 2}, // above it: pushed down
                      PositionCase{PlaylistMove::ToTop, 4, 3, 4}, // below it: unchanged
                      PositionCase{PlaylistMove::Up, 2, 2, 1},
                      PositionCase{PlaylistMove::Up, 1, 2, 2}, // swapped with it
                      PositionCase{PlaylistMove::Up, 0, 2, 0},
                      PositionCase{PlaylistMove::Down, 2, 2, 3},
                      PositionCase{PlaylistMove::Down, 3, 2, 2}, // swapped with it
                      PositionCase{PlaylistMove::Down, 4, 2, 4},
                      PositionCase{PlaylistMove::ToBottom, 2, 2, 4},
                      PositionCase{PlaylistMove::ToBottom, 4, 2, 3}, // below it: pulled up
                      PositionCase{PlaylistMove::ToBottom, 0, 2, 0},
                      PositionCase{PlaylistMove::ToBottom, -1, 2, -1},
                      PositionCase{PlaylistMove::ToTop, -1, 2, -1}));

struct SelectionCase {
    PlaylistMove move;
    std::vector<int> selected;
    std::string order;              // the entries A..E after the move
    std::vector<int> selectedAfter; // where the moved entries are
};

class MoveSelectedEntriesTest : public ::testing::TestWithParam<SelectionCase> {
protected:
    void SetUp() override {
        CGameEntry game;
        game.romName = "abc";
        game.romPath = "/roms/abc.zip";
        game.clipInfo.SetRange(0, 10);
        romList.AddGameForTesting(game);
        for (int clip = 0; clip < 5; ++clip)
            playlist.AddEntry(romList.GetEntry(0), clip);
    }
    std::string Order() const {
        std::string order;
        for (const PlaylistEntry& entry : playlist.GetEntries())
            order += static_cast<char>('A' + entry.clip);
        return order;
    }

    CROMList romList;
    CPlaylist playlist;
};

TEST_P(MoveSelectedEntriesTest, MovesTheSelectedRowsTogether) {
    const SelectionCase& c = GetParam();
    EXPECT_EQ(MoveSelectedEntries(playlist, c.move, c.selected), c.selectedAfter);
    EXPECT_EQ(Order(), c.order);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, MoveSelectedEntriesTest,
    ::testing::Values(SelectionCase{PlaylistMove::Up, {0, 1}, "ABCDE", {0, 1}},
                      SelectionCase{PlaylistMove::Up, {1, 3}, "BADCE", {0, 2}},
                      SelectionCase{PlaylistMove::Up, {0, 2}, "ACBDE", {0, 1}},
                      SelectionCase{PlaylistMove::Down, {3, 4}, "ABCDE", {3, 4}},
                      SelectionCase{PlaylistMove::Down, {0, 2}, "BADCE", {1, 3}},
                      SelectionCase{PlaylistMove::Down, {2, 4}, "ABDCE", {3, 4}},
                      SelectionCase{PlaylistMove::ToTop, {1, 3}, "BDACE", {0, 1}},
                      SelectionCase{PlaylistMove::ToBottom, {1, 3}, "ACEBD", {3, 4}},
                      SelectionCase{PlaylistMove::ToBottom, {3, 4}, "ABCDE", {3, 4}},
                      SelectionCase{PlaylistMove::ToTop, {0, 1, 2, 3, 4}, "ABCDE", {0, 1, 2, 3, 4}},
                      SelectionCase{PlaylistMove::ToTop, {}, "ABCDE", {}}));

} // namespace
