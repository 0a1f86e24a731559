// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "kit/MoveButtons.h"
#include "support/FakeCore.h"
#include "support/ScriptedDialogs.h"
#include "support/TempFolder.h"
#include "ui/MainWindowIds.h"
#include "ui/PlayerDlg.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>

namespace tarvo::test {

// The main window over the scripted core, which answers like the real one.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        core.SetCatalogue({{"alpha", "Alpha Story", "Tarvo Soft", "", 0},
                           {"beta", "Beta Run", "Tarvo Soft", "1990", 0},
                           {"gone", "Gone Game", "Elsewhere", "", 0}},
                          {"Test Driver"});
        core.AnswerLikeTheCore();
        roms = temp.MakeFolder("roms");
        temp.Write("roms/alpha.zip", "z");
        temp.Write("roms/beta.zip", "z");
        window = MakeWindow(dialogs);
        window->StartUp();
    }
    void TearDown() override { window.reset(); }

    // A window over this test's core and folder, not yet started.
    std::unique_ptr<CPlayerDlg> MakeWindow(IDialogs& answering) {
        EngineClock clock;
        clock.now = [this] { return now; };
        return std::make_unique<CPlayerDlg>(temp.Path(), core, answering, clock);
    }

    template <typename T> T* Find(int id) { return qobject_cast<T*>(window->ControlById(id)); }
    bool Enabled(int id) { return window->ControlById(id)->isEnabled(); }
    bool MenuEnabled(int id) { return window->Action(id)->isEnabled(); }
    void Load(int game, int clip) { window->Engine().LoadGame(game, clip); }
    CClipInfo& Clips(int game = 0) { return window->ROMList().GetEntry(game)->clipInfo; }
    QTreeWidget* List() { return Find<QTreeWidget>(kClipList); }
    std::string Row(int row, int column = 0) {
        return List()->topLevelItem(row)->text(column).toStdString();
    }
    void SelectRow(int row) { List()->setCurrentItem(List()->topLevelItem(row)); }
    // Brings the player to `state` as a user and the core would.
    void Reach(PlayerState state) {
        CPlayerEngine& engine = window->Engine();
        if (state == PlayerState::Idle || state == PlayerState::Busy) {
            engine.Unload();
            if (state == PlayerState::Busy) core.Send(CORE_MSG_BUSY);
            return;
        }
        Load(0, 3);
        if (state == PlayerState::Stopped) engine.StopPlayer();
        if (state == PlayerState::Paused || state == PlayerState::RecordingPaused) engine.Play();
        if (state == PlayerState::Recording || state == PlayerState::RecordingPaused) engine.Rec();
    }

    FakeCore core;
    long long now = 5000;
    TempFolder temp;
    std::string roms;
    ScriptedDialogs dialogs;
    std::unique_ptr<CPlayerDlg> window;
};

} // namespace tarvo::test
