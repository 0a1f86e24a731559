// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <QWidget>

namespace tarvo {

// The opaque area a meter paints in: a child of the dialog over the meter's
// placeholder. Being opaque and its own, a repaint of it touches neither the
// dialog's background nor its other controls.
class CMeterSurface : public QWidget {
public:
    using Painter = std::function<void(QPainter&)>;

    // `paint` draws in the parent's coordinates; `area` is this surface's place there.
    CMeterSurface(QWidget* parent, const QRect& area, Painter paint);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Painter m_paint;
};

} // namespace tarvo
