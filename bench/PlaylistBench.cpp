// SPDX-License-Identifier: GPL-3.0-or-later
// A playlist of 10,000 entries from 200 games: loading it, filling the
// Playlist Manager's list, and moving a block of 500 selected rows.
#include "dialogs/DlgPlaylist.h"
#include "library/ROMList.h"
#include "playlist/Playlist.h"
#include "support/ScriptedDialogs.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>
#include <fstream>
#include <QApplication>
#include <QTreeWidget>

namespace {

constexpr int kGames = 200;
constexpr int kEntries = 10000;

struct Library {
    tarvo::test::TempFolder temp;
    tarvo::CROMList games;
    std::string playlistPath;

    Library() {
        for (int i = 0; i < kGames; ++i) {
            tarvo::CGameEntry game;
            game.romName = "game" + std::to_string(i);
            game.romPath = "/roms/" + game.romName + ".zip";
            game.clipInfo.SetRange(0, 99);
            game.clipInfo.SetTitle(i % 100, "A clip with a title");
            games.AddGameForTesting(std::move(game));
        }
        playlistPath = temp.File("big.tvp");
        std::ofstream out(playlistPath);
        out << "; Tarvo Playlist File\nTitle=Everything\n\n";
        for (int i = 0; i < kEntries; ++i)
            out << "Entry=game" << i % kGames << ' ' << i % 100 << '\n';
    }
};

Library& TheLibrary() {
    static Library library;
    return library;
}

tarvo::CPlaylist LoadedPlaylist() {
    tarvo::test::ScriptedDialogs dialogs;
    tarvo::CPlaylist playlist;
    playlist.SetROMList(&TheLibrary().games);
    playlist.LoadFromFile(TheLibrary().playlistPath, {.rememberName = true}, dialogs);
    return playlist;
}

void BM_LoadPlaylist(benchmark::State& state) {
    for (auto _ : state) {
        tarvo::CPlaylist playlist = LoadedPlaylist();
        if (playlist.GetCount() != kEntries) state.SkipWithError("entries lost");
    }
}
BENCHMARK(BM_LoadPlaylist)->Unit(benchmark::kMillisecond);

void BM_OpenManagerOnPlaylist(benchmark::State& state) {
    tarvo::test::ScriptedDialogs dialogs;
    int filter = 0;
    const tarvo::CPlaylist playlist = LoadedPlaylist();
    for (auto _ : state) {
        tarvo::CDlgPlaylist manager(TheLibrary().games, filter, dialogs, playlist, 0);
        manager.Open();
        manager.show();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_OpenManagerOnPlaylist)->Unit(benchmark::kMillisecond);

// A block of 500 rows from the middle goes to the top and back to the bottom.
void BM_MoveSelectedBlock(benchmark::State& state) {
    tarvo::test::ScriptedDialogs dialogs;
    int filter = 0;
    tarvo::CDlgPlaylist manager(TheLibrary().games, filter, dialogs, LoadedPlaylist());
    manager.Open();
    manager.show();
    tarvo::CQtListView& list = manager.PlaylistList();
    for (int row = 5000; row < 5500; ++row)
        list.SetRowSelected(row, true);
    auto move = tarvo::PlaylistMove::ToTop;
    for (auto _ : state) {
        manager.MoveSelected(move);
        QApplication::processEvents();
        move = move == tarvo::PlaylistMove::ToTop ? tarvo::PlaylistMove::ToBottom
                                                  : tarvo::PlaylistMove::ToTop;
    }
    if (list.SelectedRows().size() != 500) state.SkipWithError("selection lost");
}
BENCHMARK(BM_MoveSelectedBlock)->Unit(benchmark::kMillisecond);

// Every other row of a 1,000-row stretch removed at once.
void BM_RemoveSelectedRows(benchmark::State& state) {
    tarvo::test::ScriptedDialogs dialogs;
    int filter = 0;
    const tarvo::CPlaylist playlist = LoadedPlaylist();
    for (auto _ : state) {
        state.PauseTiming();
        tarvo::CDlgPlaylist manager(TheLibrary().games, filter, dialogs, playlist);
        manager.Open();
        for (int row = 4000; row < 5000; row += 2)
            manager.PlaylistList().SetRowSelected(row, true);
        state.ResumeTiming();
        manager.Remove();
        if (manager.Playlist().GetCount() != kEntries - 500) state.SkipWithError("wrong count");
    }
}
BENCHMARK(BM_RemoveSelectedRows)->Unit(benchmark::kMillisecond);

} // namespace
