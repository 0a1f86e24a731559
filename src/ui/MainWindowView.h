// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "player/IPlayerView.h"

namespace tarvo {

class CPlayerDlg;

// The main window as the engine sees it: the fields, the transport buttons,
// the window icon, the meters, the timers and the clip list, each handed to
// the part of the window that shows it.
class CMainWindowView : public IPlayerView {
public:
    explicit CMainWindowView(CPlayerDlg& window) : m_window(window) {}

    void ShowFields(const PlayerFields& fields) override;
    void UpdateTransportButtons() override;
    void UpdateMenus() override;
    void SelectClipRow(int clipOrPosition) override;
    void RefreshClipRow(int clip) override;
    void FillClipList(CGameEntry& game) override;
    void ClearClipList() override;
    void RefreshPlaylistRows() override;
    void SelectIconSequence(int sequence) override;
    void AdvanceWindowIcon() override;
    void SetPlayIcon(int icon) override;
    void SetRecIcon(int icon) override;
    void SetMeterLevels(int left, int right) override;
    void SetTickNeed(TickNeed need) override;
    void ClipSeeked(long long positionMs) override;
    void VoicesChanged() override;
    void PersonNeeded() override;

private:
    void EnableTransportControls(bool active, bool sounding);

    CPlayerDlg& m_window;
};

} // namespace tarvo
