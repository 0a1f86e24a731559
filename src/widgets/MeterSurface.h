// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QRegion>
#include <QWidget>
#include <vector>

namespace tarvo {

class CVUMeter;

// The opaque area meters paint in: a child of the dialog over the meters'
// placeholders. Being opaque and its own, a repaint of it touches neither the
// dialog's background nor its other controls. Meters side by side share one,
// so that a tick that moves both repaints one rectangle once.
class CMeterSurface : public QWidget {
public:
    explicit CMeterSurface(QWidget* parent);

    // Paints `meter` too, and covers its place from now on.
    void Add(CVUMeter* meter);
    // Covers the meters' places again, after they moved.
    void Follow();
    // Asks for a repaint of `area`, in the parent's coordinates. What is asked
    // before the repaint comes is joined into one rectangle.
    void Invalidate(const QRect& area);
    // Between these two, what is asked is only collected; the second
    // repaints it at once, without a trip through the event loop.
    void Hold();
    void PaintHeld();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<CVUMeter*> m_meters;
    QRect m_pending;
    QRegion m_between; // covered by the surface but by none of its meters
    bool m_holding = false;
};

} // namespace tarvo
