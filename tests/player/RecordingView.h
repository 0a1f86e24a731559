// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/GameEntry.h"
#include "player/IPlayerView.h"

#include <string>
#include <vector>

namespace tarvo::test {

// Records what the engine asks of the window.
class RecordingView : public IPlayerView {
public:
    std::vector<std::string> calls;
    PlayerFields shown;
    int leftLevel = -1, rightLevel = -1;
    int playIcon = 0, recIcon = 0;
    int iconSequence = -1;
    std::vector<int> refreshedRows;
    TickNeed tickNeed = TickNeed::Timer;
    std::vector<long long> seekedTo;
    int voiceChanges = 0;
    int personNeeded = 0; // the engine's ServePerson is the test's to call

    void ShowFields(const PlayerFields& fields) override { shown = fields; }
    void UpdateTransportButtons() override { calls.push_back("UpdateTransportButtons"); }
    void UpdateMenus() override { calls.push_back("UpdateMenus"); }
    void SelectClipRow(int row) override {
        calls.push_back("SelectClipRow " + std::to_string(row));
    }
    void RefreshClipRow(int clip) override { refreshedRows.push_back(clip); }
    void RefreshPlaylistRows() override { calls.push_back("RefreshPlaylistRows"); }
    void FillClipList(CGameEntry& game) override {
        calls.push_back("FillClipList " + game.romName);
    }
    void ClearClipList() override { calls.push_back("ClearClipList"); }
    void SelectIconSequence(int sequence) override { iconSequence = sequence; }
    void AdvanceWindowIcon() override {}
    void SetPlayIcon(int icon) override { playIcon = icon; }
    void SetRecIcon(int icon) override { recIcon = icon; }
    void SetTickNeed(TickNeed need) override { tickNeed = need; }
    void ClipSeeked(long long positionMs) override { seekedTo.push_back(positionMs); }
    void VoicesChanged() override { ++voiceChanges; }
    void PersonNeeded() override { ++personNeeded; }
    void SetMeterLevels(int left, int right) override {
        leftLevel = left;
        rightLevel = right;
    }
};

} // namespace tarvo::test
