// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/VolumeSlider.h"

#include <algorithm>
#include <QSlider>

namespace tarvo {

CVolumeSlider::CVolumeSlider(QSlider* slider, int percent, QObject* parent)
    : QObject(parent), m_slider(slider) {
    m_slider->setRange(0, 100);
    m_slider->setSingleStep(kStep);
    m_slider->setPageStep(2 * kStep);
    m_slider->setAccessibleName(tr("Volume"));
    m_slider->setValue(std::clamp(percent, 0, 100));
    ShowPercent(m_slider->value());
    connect(m_slider, &QSlider::valueChanged, this, [this](int value) {
        ShowPercent(value);
        Q_EMIT Changed(value);
    });
}

int CVolumeSlider::Percent() const {
    return m_slider->value();
}

void CVolumeSlider::SetPercent(int percent) {
    m_slider->setValue(std::clamp(percent, 0, 100));
}

void CVolumeSlider::Step(int steps) {
    SetPercent(Percent() + steps * kStep);
}

void CVolumeSlider::ShowPercent(int percent) {
    m_slider->setToolTip(tr("Volume: %1 %").arg(percent));
}

} // namespace tarvo
