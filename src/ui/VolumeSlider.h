// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSlider;

namespace tarvo {

// The Player group's volume slider: the listener's volume, 0 to 100 %, which
// the core applies to what the device plays. Keys and the wheel over the
// meters step it 5 % at a time.
class CVolumeSlider : public QObject {
    Q_OBJECT
public:
    static constexpr int kStep = 5;

    CVolumeSlider(QSlider* slider, int percent, QObject* parent);
    int Percent() const;
    void SetPercent(int percent);
    // Up (positive) or down by so many steps.
    void Step(int steps);

Q_SIGNALS:
    void Changed(int percent);

private:
    void ShowPercent(int percent);

    QSlider* m_slider;
};

} // namespace tarvo
