// SPDX-License-Identifier: GPL-3.0-or-later
// The Game Browser with 50,000 games from the scripted core: opening it and
// switching its filter.
#include "library/ROMList.h"
#include "support/FakeCore.h"
#include "support/ScriptedDialogs.h"
#include "support/TempFolder.h"
#include "ui/DlgROMBrowser.h"

#include <benchmark/benchmark.h>
#include <fstream>
#include <QApplication>

namespace {

constexpr int kGames = 50000;

tarvo::CROMList& Collection() {
    static tarvo::test::TempFolder temp;
    static tarvo::CROMList list = [] {
        std::vector<tarvo::test::FakeGame> games;
        std::string roms = temp.MakeFolder("roms");
        for (int i = 0; i < kGames; ++i) {
            games.push_back({"game" + std::to_string(i),
                             "A Game Called Number " + std::to_string(i),
                             "Maker " + std::to_string(i % 300), "", 0});
            if (i % 3 == 0) std::ofstream(roms + "game" + std::to_string(i) + ".zip");
        }
        tarvo::test::FakeCore core;
        core.SetCatalogue(std::move(games));
        core.recordCalls = false;
        tarvo::CROMList l;
        l.BuildFromCore(core);
        l.AddFolder(roms);
        l.ScanROMFolders();
        return l;
    }();
    return list;
}

void BM_OpenGameBrowser(benchmark::State& state) {
    tarvo::CROMList& list = Collection();
    tarvo::test::ScriptedDialogs dialogs;
    int filter = 0;
    for (auto _ : state) {
        tarvo::CDlgROMBrowser browser(list, filter, dialogs, -1, tarvo::GameChoice::AvailableOnly);
        browser.Open();
        if (state.range(0)) {
            browser.show();
            QApplication::processEvents();
        }
    }
}
BENCHMARK(BM_OpenGameBrowser)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SwitchFilter(benchmark::State& state) {
    tarvo::CROMList& list = Collection();
    tarvo::test::ScriptedDialogs dialogs;
    int filter = 0;
    tarvo::CDlgROMBrowser browser(list, filter, dialogs, -1, tarvo::GameChoice::AvailableOnly);
    browser.Open();
    browser.show();
    int next = 1;
    for (auto _ : state) {
        browser.FilterChanged(next);
        QApplication::processEvents();
        next = 1 - next;
    }
}
BENCHMARK(BM_SwitchFilter)->Unit(benchmark::kMillisecond);

} // namespace
