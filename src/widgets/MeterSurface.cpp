// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/MeterSurface.h"

#include "widgets/VUMeter.h"

#include <QPainter>

namespace tarvo {

CMeterSurface::CMeterSurface(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void CMeterSurface::Add(CVUMeter* meter) {
    m_meters.push_back(meter);
    Follow();
    show();
}

void CMeterSurface::Follow() {
    QRect area;
    for (const CVUMeter* meter : m_meters)
        area |= meter->ControlRect();
    setGeometry(area);
    m_between = QRegion(area);
    for (const CVUMeter* meter : m_meters)
        m_between -= meter->ControlRect();
}

void CMeterSurface::Invalidate(const QRect& area) {
    m_pending |= area;
    if (!m_holding) update(m_pending.translated(-pos()));
}

void CMeterSurface::Hold() {
    m_holding = true;
}

void CMeterSurface::PaintHeld() {
    m_holding = false;
    if (!m_pending.isEmpty()) repaint(m_pending.translated(-pos()));
}

void CMeterSurface::paintEvent(QPaintEvent*) {
    m_pending = QRect();
    QPainter painter(this);
    painter.translate(-pos());
    // Opaque, the surface paints the space between meters apart too.
    for (const QRect& space : m_between)
        painter.fillRect(space, palette().window());
    for (CVUMeter* meter : m_meters)
        meter->Draw(painter);
}

} // namespace tarvo
