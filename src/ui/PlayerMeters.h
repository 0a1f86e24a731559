// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/VUMeter.h"

class QPoint;
class QWidget;

namespace tarvo {

struct Config;

// The Player group's two level meters, left and right, on one surface in
// place of their placeholders.
class CPlayerMeters {
public:
    void Attach(QWidget* window, QWidget* leftPlaceholder, QWidget* rightPlaceholder);
    void Apply(const Config& settings);
    void SetLevels(int left, int right);
    // Follows the placeholders when the window has moved them.
    void Follow(const QWidget* leftPlaceholder, const QWidget* rightPlaceholder);
    // Whether a point of the window lies on either meter.
    bool Contains(const QPoint& point) const;

    CVUMeter& Left() { return m_left; }
    CVUMeter& Right() { return m_right; }

private:
    CVUMeter m_left;
    CVUMeter m_right;
};

} // namespace tarvo
