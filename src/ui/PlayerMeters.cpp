// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PlayerMeters.h"

#include "settings/Config.h"

#include <QWidget>

namespace tarvo {

namespace {

QColor ToQColor(const RgbColor& c) {
    return QColor(c.red, c.green, c.blue);
}

} // namespace

void CPlayerMeters::Attach(QWidget* window, QWidget* leftPlaceholder, QWidget* rightPlaceholder) {
    m_left.Attach(window, leftPlaceholder);
    m_right.Attach(window, rightPlaceholder, &m_left);
}

void CPlayerMeters::Apply(const Config& settings) {
    for (CVUMeter* meter : {&m_left, &m_right}) {
        meter->SetSegmentWidth(settings.VUSegmentWidth);
        meter->SetColors(settings.UseVUGradient != 0, ToQColor(settings.VULeftColor),
                         ToQColor(settings.VUMidColor), ToQColor(settings.VURightColor));
    }
}

void CPlayerMeters::SetLevels(int left, int right) {
    CVUMeter::SetLevels(m_left, left, m_right, right);
}

void CPlayerMeters::Follow(const QWidget* leftPlaceholder, const QWidget* rightPlaceholder) {
    m_left.MoveTo(leftPlaceholder->pos());
    m_right.MoveTo(rightPlaceholder->pos());
}

bool CPlayerMeters::Contains(const QPoint& point) const {
    return m_left.FrameRect().contains(point) || m_right.FrameRect().contains(point);
}

} // namespace tarvo
