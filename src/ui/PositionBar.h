// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "player/ClipListening.h"

#include <QList>
#include <QObject>

class QShortcut;
class QSlider;

namespace tarvo {

// The main window's position bar, which shows where the clip is and moves
// it, and the Left and Right keys that move it by a step.
class CPositionBar : public QObject {
    Q_OBJECT
public:
    // How far the arrow keys and the bar's own steps move a clip.
    static constexpr int kSeekStepSeconds = 5;

    CPositionBar(QSlider* bar, QWidget* window, CClipListening& listening);
    // The bar follows the clip, except while the user holds it.
    void Show(const PlayerFields& fields);
    // The arrows seek unless `focus` moves with them itself: a field its
    // cursor, the bar its knob. (The clip list, a column of rows, moves with
    // Up and Down alone.)
    void LetArrowsSeek(QWidget* focus);

private:
    void SeekFromBar(int action);

    QSlider* m_bar;
    CClipListening& m_listening;
    QList<QShortcut*> m_seekKeys;
};

} // namespace tarvo
