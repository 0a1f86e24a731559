// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's news of seeks and the Voices window.
#include "dialogs/DlgVoices.h"
#include "ui/PlayerDlg.h"

namespace tarvo {

void CPlayerDlg::ClipSeeked(long long positionMs) {
    Q_EMIT ClipMoved(positionMs);
}

void CPlayerDlg::VoicesChanged() {
    if (m_voices) m_voices->Refresh();
}

CDlgVoices* CPlayerDlg::VoicesWindow() const {
    return m_voices;
}

void CPlayerDlg::OpenVoices() {
    if (!m_voices) {
        m_voices = new CDlgVoices(m_engine->Listening(), this);
        m_voices->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_voices->show();
    m_voices->raise();
    m_voices->activateWindow();
}

} // namespace tarvo
