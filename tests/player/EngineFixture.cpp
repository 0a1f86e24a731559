#include "EngineFixture.h"

namespace tarvo::test {

void EngineTest::SetUp() {
    FakeCore& core = FakeCore::Get();
    core.Reset();
    core.SetCatalogue(
        {{"alpha", "Alpha Story", "Tarvo Soft", "", 0}, {"beta", "Beta Run", "Tarvo Soft", "", 0}},
        {"Test Driver"});
    romList.BuildFromCore();
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
    engine = std::make_unique<CPlayerEngine>(romList, playlist, config, *settings, dialogs, view,
                                             temp.Path(), clock);
    core.callback = &CoreMessage;
    core.user = static_cast<ICoreListener*>(engine.get());
    core.onCommand = [this](int code, int argument) {
        FakeCore& c = FakeCore::Get();
        if (!coreAnswers) return;
        if (code == CORE_CMD_START_GAME) {
            c.Send(CORE_MSG_BUSY);
            c.SendText(CORE_MSG_GAME_LOADED, c.games[c.loadedGame].title);
            c.SendText(CORE_MSG_DRIVER_INFO, "SN76489");
            if (argument >= 0) {
                c.currentClip = argument;
                c.Send(CORE_MSG_CLIP_STARTED, nullptr, argument);
            } else {
                c.currentClip = 0;
                c.Send(CORE_MSG_STOPPED);
            }
        } else if (code == CORE_CMD_PLAY_CLIP) {
            if (argument != CORE_SILENCE_CLIP) c.currentClip = argument;
            c.Send(CORE_MSG_CLIP_STARTED, nullptr, argument);
        } else if (code == CORE_CMD_UNLOAD) {
            c.loadedGame = -1;
            c.Send(CORE_MSG_GAME_GONE);
        }
    };
    core.onOption = [](int code, int value) {
        if (code == CORE_OPT_GAME) FakeCore::Get().loadedGame = value;
    };
    engine->Start();
}

void EngineTest::LoadGameAt(int game, int clip) {
    engine->LoadGame(game, clip);
    FakeCore::Get().calls.clear();
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
        FakeCore::Get().Send(CORE_MSG_LEVELS, frames.data(), 100);
}

void EngineTest::Silence(int reports) {
    for (int i = 0; i < reports; ++i)
        FakeCore::Get().Send(CORE_MSG_SILENCE);
}

} // namespace tarvo::test
