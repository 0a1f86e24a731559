// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/EngineFixture.h"

namespace tarvo::test {

void EngineTest::SetUp() {
    core.SetCatalogue(
        {{"alpha", "Alpha Story", "Tarvo Soft", "", 0}, {"beta", "Beta Run", "Tarvo Soft", "", 0}},
        {"Test Driver"});
    core.AnswerLikeTheCore();
    core.onOption = [this](int code, int value) {
        if (code == CORE_OPT_GAME) core.loadedGame = value;
    };
    playlist.SetROMList(&romList);
    settings = std::make_unique<CSettingsFile>(temp.Path(), romList, playlist, dialogs);
    EngineClock clock;
    clock.now = [this] { return now; };
    clock.random = [this] {
        if (randoms.empty()) return 0;
        const int r = randoms.front();
        randoms.pop_front();
        return r;
    };
    engine = std::make_unique<CPlayerEngine>(core, romList, playlist, config, *settings, dialogs,
                                             view, temp.Path(), clock);
    engine->Setup().StartCore(*engine);
    engine->Start();
}

void EngineTest::LoadGameAt(int game, int clip) {
    engine->LoadGame(game, clip);
    core.calls.clear();
    view.calls.clear();
}

void EngineTest::Tick(int ticks) {
    for (int i = 0; i < ticks; ++i)
        engine->TimerTick();
}

void EngineTest::SendLevels(int peak, int reports) {
    std::vector<int16_t> frames(200, 0);
    frames[10] = static_cast<int16_t>(peak);
    frames[11] = static_cast<int16_t>(peak / 2);
    for (int i = 0; i < reports; ++i)
        core.Send(CORE_MSG_LEVELS, frames.data(), 100);
}

void EngineTest::Silence(int reports) {
    for (int i = 0; i < reports; ++i)
        core.Send(CORE_MSG_SILENCE);
}

} // namespace tarvo::test
