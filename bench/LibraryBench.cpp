// SPDX-License-Identifier: GPL-3.0-or-later
// The game library at the scale of a large collection: 50,000 games, a
// 200,000-line clip information file, 5 ROM folders of 10,000 archives and a
// playlist of 10,000 entries.
#include "library/ROMList.h"
#include "playlist/Playlist.h"
#include "support/FakeCore.h"
#include "support/ScriptedDialogs.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>
#include <fstream>
#include <sstream>

using namespace tarvo;

namespace {

constexpr int kGames = 50000;

// A core that knows 50,000 games.
test::FakeCore& Catalogue() {
    static test::FakeCore core = [] {
        test::FakeCore made;
        std::vector<test::FakeGame> games;
        games.reserve(kGames);
        for (int i = 0; i < kGames; ++i)
            games.push_back({"game" + std::to_string(i), "Game Number " + std::to_string(i),
                             "Maker " + std::to_string(i % 97), i % 5 ? "" : "1990", i % 4});
        made.SetCatalogue(std::move(games), {"A", "B", "C", "D"});
        made.recordCalls = false;
        return made;
    }();
    return core;
}

CROMList& BuiltList() {
    static CROMList list = [] {
        CROMList l;
        l.BuildFromCore(Catalogue());
        return l;
    }();
    return list;
}

// 200,000 lines: a range line and three clip lines for each of 50,000 games.
std::string ClipInfoText() {
    std::ostringstream out;
    for (int i = 0; i < kGames; ++i) {
        const std::string name = "game" + std::to_string(i);
        out << name << ":range 0 40\n"
            << name << ":title 1 Opening Theme\n"
            << name << ":blank 2\n"
            << name << ":title 3 Stage " << i << "\n";
    }
    return out.str();
}

void BM_BuildFromCore(benchmark::State& state) {
    for (auto _ : state) {
        CROMList list;
        list.BuildFromCore(Catalogue());
        benchmark::DoNotOptimize(list.GetCount());
    }
}
BENCHMARK(BM_BuildFromCore)->Unit(benchmark::kMillisecond);

void BM_LoadClipInfo(benchmark::State& state) {
    test::TempFolder temp;
    temp.Write("clips.dat", ClipInfoText());
    for (auto _ : state) {
        state.PauseTiming();
        CROMList list;
        list.BuildFromCore(Catalogue());
        state.ResumeTiming();
        list.LoadClipInfo(temp.File("clips.dat"));
    }
}
BENCHMARK(BM_LoadClipInfo)->Unit(benchmark::kMillisecond);

// Edit > Import Clip Data on a 100 MB file of titles: the window processes its
// events every 16,384 lines meanwhile, so what matters is the whole time.
void BM_Import100MBOfTitles(benchmark::State& state) {
    test::TempFolder temp;
    {
        std::ofstream out(temp.File("huge.dat"), std::ios::binary);
        const std::string title(60, 't');
        for (long long bytes = 0; bytes < 100'000'000;) {
            const std::string line = "game" + std::to_string(bytes % kGames) + ":title " +
                                     std::to_string(bytes % 40) + " " + title + "\n";
            out << line;
            bytes += static_cast<long long>(line.size());
        }
    }
    CROMList& list = BuiltList();
    for (auto _ : state)
        list.LoadClipInfo(temp.File("huge.dat"));
}
BENCHMARK(BM_Import100MBOfTitles)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SaveClipInfo(benchmark::State& state) {
    test::TempFolder temp;
    temp.Write("clips.dat", ClipInfoText());
    CROMList& list = BuiltList();
    list.LoadClipInfo(temp.File("clips.dat"));
    test::ScriptedDialogs dialogs;
    for (auto _ : state)
        list.SaveClipInfo(temp.File("out.dat"), CROMList::Lines::WithUnsupported, dialogs);
}
BENCHMARK(BM_SaveClipInfo)->Unit(benchmark::kMillisecond);

void BM_ScanROMFolders(benchmark::State& state) {
    test::TempFolder temp;
    CROMList list;
    list.BuildFromCore(Catalogue());
    for (int f = 0; f < 5; ++f) {
        std::string folder = temp.MakeFolder("roms" + std::to_string(f));
        for (int i = 0; i < 10000; ++i)
            std::ofstream(folder + "game" + std::to_string(f * 10000 + i) + ".zip");
        list.AddFolder(folder);
    }
    for (auto _ : state) {
        list.ScanROMFolders();
        benchmark::DoNotOptimize(list.CountAvailable());
    }
}
BENCHMARK(BM_ScanROMFolders)->Unit(benchmark::kMillisecond);

void BM_PlaylistRoundTrip(benchmark::State& state) {
    CROMList& list = BuiltList();
    CPlaylist playlist;
    playlist.SetROMList(&list);
    for (int i = 0; i < 10000; ++i)
        playlist.AddEntry(list.GetEntry(i * 5), i % 40);
    std::ostringstream out;
    playlist.WriteTo(out);
    const std::string text = out.str();
    for (auto _ : state) {
        std::ostringstream written;
        playlist.WriteTo(written);
        std::istringstream in(text);
        CPlaylist read;
        read.SetROMList(&list);
        read.ReadFrom(in);
        benchmark::DoNotOptimize(read.GetCount());
    }
}
BENCHMARK(BM_PlaylistRoundTrip)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
