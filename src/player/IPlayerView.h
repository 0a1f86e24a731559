// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tarvo {

struct CGameEntry;

// The copies of the main window's data controls that the engine fills.
struct PlayerFields {
    std::string browserTitle; // the title above the clip list (ROM mode)
    std::string gameName;
    std::string romFile;
    std::string parent;
    std::string manufacturer;
    std::string driverText;
    int clipNumber = -1;
    std::string clipTitle;
    std::string elapsed; // "01:12 / 02:45", or the elapsed time alone when the length is unknown
    // The position bar: where the clip is and its length in seconds (-1
    // unknown), and whether it can be moved.
    int positionSeconds = 0;
    int lengthSeconds = -1;
    int rangeSeconds = 0; // how far the bar reaches: the length, or the loop limit
    bool canSeek = false;
};

// How often the engine wants its timer: every 30 ms while sound plays, a load
// or a clip is pending or the meters are still falling; every clock tick while
// paused, for the blink; not at all when idle.
enum class TickNeed { None, Clock, Timer };

// What the engine asks of the main window.
class IPlayerView {
public:
    virtual ~IPlayerView() = default;

    virtual void ShowFields(const PlayerFields& fields) = 0;
    virtual void UpdateTransportButtons() = 0;
    virtual void UpdateMenus() = 0;
    virtual void SelectClipRow(int clipOrPosition) = 0;
    virtual void RefreshClipRow(int clip) = 0;
    virtual void FillClipList(CGameEntry& game) = 0;
    virtual void ClearClipList() = 0;
    // The playlist's rows again, after the clip information learned titles.
    virtual void RefreshPlaylistRows() = 0;
    virtual void SelectIconSequence(int sequence) = 0;
    virtual void AdvanceWindowIcon() = 0;
    // The blinking of the PLAY and REC buttons while paused or recording.
    virtual void SetPlayIcon(int icon) = 0;
    virtual void SetRecIcon(int icon) = 0;
    virtual void SetMeterLevels(int left, int right) = 0;
    // Runs the timer at this cadence: TimerTick every 30 ms, or ClockTick
    // every clock tick, or none.
    virtual void SetTickNeed(TickNeed need) = 0;
    // The clip went elsewhere than playing on would have taken it (a seek).
    virtual void ClipSeeked(long long positionMs) = 0;
    // Another clip or game: its voices may be others.
    virtual void VoicesChanged() = 0;
    // Something waits for a person: the window calls the engine's
    // ServePerson from its event loop, outside the tick.
    virtual void PersonNeeded() = 0;
};

} // namespace tarvo
