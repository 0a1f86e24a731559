// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>

namespace tarvo {

class CDlgVoices;
class CPlayerDlg;

// The windows and programs the main window opens: the Game Browser, the
// options, About, the Voices window beside it, and an outside volume mixer.
class CSecondaryWindows {
public:
    explicit CSecondaryWindows(CPlayerDlg& window) : m_window(window) {}

    void OpenBrowser();
    void OpenOptions();
    void ShowAbout();
    void PrankCall();
    bool PrankAllowed() const { return m_prankCount < 3; }
    void StartVolumeControl();
    void OpenVoices();
    // The Voices window while it is open, else null.
    CDlgVoices* VoicesWindow() const;
    // Another clip or game: the Voices window lists its voices.
    void VoicesChanged();

private:
    CPlayerDlg& m_window;
    QPointer<CDlgVoices> m_voices;
    int m_prankCount = 0;
};

} // namespace tarvo
