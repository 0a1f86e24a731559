// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/ROMList.h"
#include "player/PlayerEngine.h"
#include "player/RecordingView.h"
#include "playlist/Playlist.h"
#include "settings/SettingsFile.h"
#include "support/FakeCore.h"
#include "support/ScriptedDialogs.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <memory>

namespace tarvo::test {

// An engine over the scripted core, with the clock and the random generator
// in the test's hands. The core answers like the real one: loading sends
// 6, 1, 3 and then 5 or 7; playing a clip sends 5; unloading sends 0.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;

    void LoadGameAt(int game, int clip);
    void Tick(int ticks);
    void ClockTicks(int clockTicks) { Tick(clockTicks * 7); }
    void SendLevels(int peak, int reports = 1);
    void Silence(int reports);

    FakeCore core;
    long long now = 1000000;
    std::deque<int> randoms;
    TempFolder temp;
    CROMList romList;
    CPlaylist playlist;
    Config config;
    ScriptedDialogs dialogs;
    RecordingView view;
    std::unique_ptr<CSettingsFile> settings;
    std::unique_ptr<CPlayerEngine> engine;
};

} // namespace tarvo::test
