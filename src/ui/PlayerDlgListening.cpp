// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's position bar, which shows where the clip is and moves
// it, and the Voices window.
#include "dialogs/DlgVoices.h"
#include "kit/DialogLayout.h"
#include "ui/MainWindowIds.h"
#include "ui/PlayerDlg.h"

#include <QCursor>
#include <QLineEdit>
#include <QShortcut>
#include <QSlider>
#include <QStyle>
#include <QTreeWidget>

namespace tarvo {

void CPlayerDlg::SetupPositionBar() {
    m_positionBar = Control<QSlider>(m_controls, kPositionBar);
    m_positionBar->setSingleStep(kSeekStepSeconds);
    m_positionBar->setPageStep(kSeekStepSeconds);
    m_positionBar->setEnabled(false);
    m_positionBar->setToolTip(tr("Where the clip is; drag or click to move it"));
    connect(m_positionBar, &QSlider::actionTriggered, this, &CPlayerDlg::SeekFromBar);
    connect(m_positionBar, &QSlider::sliderReleased, this,
            [this] { m_engine->SeekTo(m_positionBar->sliderPosition() * 1000LL); });
    for (auto [key, step] :
         {std::pair{Qt::Key_Left, -kSeekStepSeconds}, std::pair{Qt::Key_Right, kSeekStepSeconds}}) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, [this, step] { m_engine->SeekBy(step); });
        m_seekKeys.push_back(shortcut);
    }
}

// The clip list moves its selection with them, a field its cursor, and the
// position bar seeks by itself.
void CPlayerDlg::LetArrowsSeek(QWidget* focus) {
    const bool taken =
        focus == m_clipTree || focus == m_positionBar || qobject_cast<QLineEdit*>(focus);
    for (QShortcut* shortcut : m_seekKeys)
        shortcut->setEnabled(!taken);
}

// The bar follows the clip, except while the user holds it.
void CPlayerDlg::ShowPosition(const PlayerFields& fields) {
    const int range = std::max(fields.rangeSeconds, 0);
    if (m_positionBar->maximum() != range) m_positionBar->setRange(0, range);
    if (m_positionBar->isEnabled() != fields.canSeek) m_positionBar->setEnabled(fields.canSeek);
    if (!m_positionBar->isSliderDown() && m_positionBar->value() != fields.positionSeconds)
        m_positionBar->setValue(fields.positionSeconds);
}

// A click on the bar goes where it was clicked rather than a step that way;
// a drag goes where it is let go.
void CPlayerDlg::SeekFromBar(int action) {
    if (action == QAbstractSlider::SliderMove) return;
    if (action == QAbstractSlider::SliderPageStepAdd ||
        action == QAbstractSlider::SliderPageStepSub) {
        const int x = m_positionBar->mapFromGlobal(QCursor::pos()).x();
        m_positionBar->setSliderPosition(QStyle::sliderValueFromPosition(
            m_positionBar->minimum(), m_positionBar->maximum(), x, m_positionBar->width()));
    }
    m_engine->SeekTo(m_positionBar->sliderPosition() * 1000LL);
}

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
        m_voices = new CDlgVoices(*m_engine, this);
        m_voices->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_voices->show();
    m_voices->raise();
    m_voices->activateWindow();
}

} // namespace tarvo
