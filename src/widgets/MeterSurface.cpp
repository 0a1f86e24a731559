// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/MeterSurface.h"

#include <QPainter>

namespace tarvo {

CMeterSurface::CMeterSurface(QWidget* parent, const QRect& area, Painter paint)
    : QWidget(parent), m_paint(std::move(paint)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(area);
    show();
}

void CMeterSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.translate(-pos());
    m_paint(painter);
}

} // namespace tarvo
