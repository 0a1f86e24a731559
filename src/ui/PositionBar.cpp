// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PositionBar.h"

#include "player/TimeText.h"

#include <algorithm>
#include <QCursor>
#include <QLineEdit>
#include <QShortcut>
#include <QSlider>
#include <QStyle>
#include <QToolTip>

namespace tarvo {

CPositionBar::CPositionBar(QSlider* bar, QWidget* window, CClipListening& listening)
    : QObject(window), m_bar(bar), m_listening(listening) {
    m_bar->setSingleStep(kSeekStepSeconds);
    m_bar->setPageStep(kSeekStepSeconds);
    m_bar->setEnabled(false);
    m_bar->setToolTip(tr("Where the clip is; drag or click to move it"));
    connect(m_bar, &QSlider::actionTriggered, this, &CPositionBar::SeekFromBar);
    connect(m_bar, &QSlider::sliderReleased, this,
            [this] { m_listening.SeekTo(m_bar->sliderPosition() * 1000LL); });
    // While dragging, the place the clip would go is shown beside the knob.
    connect(m_bar, &QSlider::sliderMoved, this, [this](int seconds) {
        QToolTip::showText(QCursor::pos(), QString::fromStdString(FormatTime(seconds, false)),
                           m_bar);
    });
    for (auto [key, step] :
         {std::pair{Qt::Key_Left, -kSeekStepSeconds}, std::pair{Qt::Key_Right, kSeekStepSeconds}}) {
        auto* shortcut = new QShortcut(QKeySequence(key), window);
        connect(shortcut, &QShortcut::activated, this, [this, step] { m_listening.SeekBy(step); });
        m_seekKeys.push_back(shortcut);
    }
}

void CPositionBar::LetArrowsSeek(QWidget* focus) {
    const bool taken = focus == m_bar || qobject_cast<QLineEdit*>(focus);
    for (QShortcut* shortcut : m_seekKeys)
        shortcut->setEnabled(!taken);
}

void CPositionBar::Show(const PlayerFields& fields) {
    const int range = std::max(fields.rangeSeconds, 0);
    if (m_bar->maximum() != range) m_bar->setRange(0, range);
    if (m_bar->isEnabled() != fields.canSeek) m_bar->setEnabled(fields.canSeek);
    if (!m_bar->isSliderDown() && m_bar->value() != fields.positionSeconds)
        m_bar->setValue(fields.positionSeconds);
}

// A click on the bar goes where it was clicked rather than a step that way;
// a drag goes where it is let go.
void CPositionBar::SeekFromBar(int action) {
    if (action == QAbstractSlider::SliderMove) return;
    if (action == QAbstractSlider::SliderPageStepAdd ||
        action == QAbstractSlider::SliderPageStepSub) {
        const int x = m_bar->mapFromGlobal(QCursor::pos()).x();
        m_bar->setSliderPosition(
            QStyle::sliderValueFromPosition(m_bar->minimum(), m_bar->maximum(), x, m_bar->width()));
    }
    m_listening.SeekTo(m_bar->sliderPosition() * 1000LL);
}

} // namespace tarvo
