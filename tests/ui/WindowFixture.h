#pragma once

#include "FakeCore.h"
#include "PlayerDlg.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace tarvo::test {

// The main window over the scripted core, which answers like the real one.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeCore& core = FakeCore::Get();
        core.Reset();
        core.SetCatalogue({{"alpha", "Alpha Story", "Tarvo Soft", "", 0},
                           {"beta", "Beta Run", "Tarvo Soft", "1990", 0},
                           {"gone", "Gone Game", "Elsewhere", "", 0}},
                          {"Test Driver"});
        core.onOption = [](int code, int value) {
            if (code == CORE_OPT_GAME) FakeCore::Get().loadedGame = value;
            if (code == CORE_OPT_RECORD && value)
                FakeCore::Get().SendPathRequest(CORE_MSG_WAV_PATH, "");
        };
        core.onCommand = [](int code, int argument) {
            FakeCore& c = FakeCore::Get();
            if (code == CORE_CMD_START_GAME) {
                c.Send(CORE_MSG_BUSY);
                c.SendText(CORE_MSG_GAME_LOADED, c.games[c.loadedGame].title);
                c.SendText(CORE_MSG_DRIVER_INFO, "SN76489");
                c.currentClip = argument < 0 ? 0 : argument;
                if (argument >= 0)
                    c.Send(CORE_MSG_CLIP_STARTED, nullptr, argument);
                else
                    c.Send(CORE_MSG_STOPPED);
            } else if (code == CORE_CMD_PLAY_CLIP) {
                if (argument != CORE_SILENCE_CLIP) c.currentClip = argument;
                c.Send(CORE_MSG_CLIP_STARTED, nullptr, argument);
            } else if (code == CORE_CMD_UNLOAD) {
                c.Send(CORE_MSG_GAME_GONE);
            }
        };
        roms = temp.MakeFolder("roms");
        temp.Write("roms/alpha.zip", "z");
        temp.Write("roms/beta.zip", "z");
        EngineClock clock;
        clock.now = [this] { return now; };
        window = std::make_unique<CPlayerDlg>(temp.Path(), dialogs, clock);
        window->StartUp();
    }
    void TearDown() override {
        window.reset();
        FakeCore::Get().Reset();
    }

    template <typename T> T* Find(int id) { return qobject_cast<T*>(window->ControlById(id)); }
    bool Enabled(int id) { return window->ControlById(id)->isEnabled(); }
    bool MenuEnabled(int id) { return window->Action(id)->isEnabled(); }
    void Load(int game, int clip) { window->Engine().LoadGame(game, clip); }

    long long now = 5000;
    TempFolder temp;
    std::string roms;
    ScriptedDialogs dialogs;
    std::unique_ptr<CPlayerDlg> window;
};

} // namespace tarvo::test
