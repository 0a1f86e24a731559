// SPDX-License-Identifier: GPL-3.0-or-later
// The Game Browser with 50,000 games from the scripted core: opening it,
// switching its filter, and a key press in its search field (the list
// narrowed and shown again), beside switching the filter on the same list.
#include "dialogs/DlgROMBrowser.h"
#include "library/ROMList.h"
#include "support/FakeCore.h"
#include "support/ScriptedDialogs.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <fstream>
#include <memory>
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

// The browser over the whole collection, shown, as a user opens it.
std::unique_ptr<tarvo::CDlgROMBrowser> ShownBrowser(int& filter, tarvo::IDialogs& dialogs) {
    auto browser = std::make_unique<tarvo::CDlgROMBrowser>(Collection(), filter, dialogs, -1,
                                                           tarvo::GameChoice::AvailableOnly);
    browser->Open();
    browser->show();
    return browser;
}

void BM_SwitchFilter(benchmark::State& state) {
    tarvo::test::ScriptedDialogs dialogs;
    int filter = 0;
    auto shown = ShownBrowser(filter, dialogs);
    tarvo::CDlgROMBrowser& browser = *shown;
    int next = 1;
    for (auto _ : state) {
        browser.FilterChanged(next);
        QApplication::processEvents();
        next = 1 - next;
    }
}
BENCHMARK(BM_SwitchFilter)->Unit(benchmark::kMillisecond);

double FilterSwitchMs(tarvo::CDlgROMBrowser& browser) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 10; ++i) {
        browser.FilterChanged(i % 2);
        QApplication::processEvents();
    }
    browser.FilterChanged(0);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
               .count() /
           10;
}

// Typing "number 4" one key after the other, then clearing it: a key press
// narrows the list among every game.
void BM_KeyPressInTheSearch(benchmark::State& state) {
    tarvo::test::ScriptedDialogs dialogs;
    int filter = 0;
    auto shown = ShownBrowser(filter, dialogs);
    tarvo::CDlgROMBrowser& browser = *shown;
    browser.Search(QStringLiteral("warm up")); // the folded texts, made once
    const QString typed = QStringLiteral("number 4");
    int keys = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (qsizetype length = 1; length <= typed.size(); ++length) {
            browser.Search(typed.left(length));
            QApplication::processEvents();
            ++keys;
        }
        browser.Search({});
        QApplication::processEvents();
        ++keys;
    }
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    state.counters["per_key_ms"] = took.count() / keys;
    // Beside switching the availability filter, which walks the same list.
    state.counters["vs_filter_switch"] = took.count() / keys / FilterSwitchMs(browser);
}
BENCHMARK(BM_KeyPressInTheSearch)->Unit(benchmark::kMillisecond);

} // namespace
