#include "VUMeter.h"

#include <algorithm>
#include <QPainter>
#include <QPalette>
#include <QWidget>

namespace tarvo {

void CVUMeter::Attach(QWidget* parent, QWidget* placeholder) {
    QRect rect = placeholder->rect();
    rect.moveTopLeft(placeholder->mapTo(parent, QPoint(0, 0)));
    placeholder->hide();
    AttachRect(parent, rect);
}

void CVUMeter::AttachRect(QWidget* parent, const QRect& rect) {
    m_parent = parent;
    m_frameRect = m_controlRect = rect;
    m_segmentHeight = rect.height() - 4;
    SetSegmentWidth(m_segmentWidth);
}

void CVUMeter::SetSegmentWidth(int width) {
    m_segmentWidth = std::clamp(width, 0, 20);
    // Too small a placeholder for two segments shows an empty frame rather
    // than dividing by zero.
    const int count = (m_controlRect.width() - 4) / (m_segmentWidth + 1);
    m_segmentCount = count >= 2 ? count : 0;
    m_levelPerSegment = m_segmentCount ? kFullScale / m_segmentCount : 0;
    m_frameRect.setRight(m_frameRect.left() + m_segmentCount * (m_segmentWidth + 1) + 3 - 1);
    ComputeColors();
}

void CVUMeter::SetColors(bool gradient, QColor left, QColor mid, QColor right) {
    m_useGradient = gradient;
    m_leftColor = left;
    m_midColor = mid;
    m_rightColor = right;
    ComputeColors();
}

void CVUMeter::ComputeColors() {
    const int n = m_segmentCount;
    m_litColors.assign(static_cast<size_t>(n), QColor());
    m_dimColors.assign(static_cast<size_t>(n), QColor());
    const int h = n / 2;
    auto blend = [](int from, int to, int halves, int i) {
        const float step = static_cast<float>(to - from) * (1.0f / static_cast<float>(halves));
        return static_cast<int>(static_cast<float>(from) + step * static_cast<float>(i));
    };
    for (int i = 0; i < n; ++i) {
        QColor c;
        if (!m_useGradient) {
            const int t1 = 2 * n / 5, t2 = 4 * n / 5;
            c = i <= t1 ? m_leftColor : i <= t2 ? m_midColor : m_rightColor;
        } else if (i < h) {
            c = QColor(blend(m_leftColor.red(), m_midColor.red(), h, i),
                       blend(m_leftColor.green(), m_midColor.green(), h, i),
                       blend(m_leftColor.blue(), m_midColor.blue(), h, i));
        } else {
            c = QColor(blend(m_midColor.red(), m_rightColor.red(), h, i - h),
                       blend(m_midColor.green(), m_rightColor.green(), h, i - h),
                       blend(m_midColor.blue(), m_rightColor.blue(), h, i - h));
        }
        m_litColors[i] = c;
        m_dimColors[i] = QColor(c.red() / 3, c.green() / 3, c.blue() / 3);
    }
    Invalidate(m_controlRect);
}

void CVUMeter::SetLevel(int sample) {
    m_level = std::max(0, m_level - kDecayPerCall);
    if (sample > m_level) {
        m_level = sample;
        if (sample >= m_peak) {
            m_peak = sample;
            m_peakAge = 0;
        }
    }
    if (m_peak > 0 && m_peakAge++ > kPeakHoldCalls) m_peak = 0;
    Invalidate(m_frameRect);
}

bool CVUMeter::IsLit(int segment) const {
    const int low = m_levelPerSegment * segment;
    return m_level > low || (low < m_peak && m_peak < m_levelPerSegment * (segment + 1));
}

void CVUMeter::Invalidate(const QRect& rect) const {
    if (m_parent && !rect.isEmpty()) m_parent->update(rect);
}

void CVUMeter::Draw(QPainter& painter) const {
    if (m_controlRect.isEmpty()) return;
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    // A two-pixel black border around the segments.
    painter.drawRect(m_frameRect.adjusted(0, 0, -1, -1));
    painter.drawRect(m_frameRect.adjusted(1, 1, -2, -2));
    const int width = m_segmentWidth ? m_segmentWidth : 1;
    const int top = m_frameRect.top() + 2;
    for (int i = 0; i < m_segmentCount; ++i) {
        const int left = m_frameRect.left() + 2 + i * (m_segmentWidth + 1);
        painter.fillRect(QRect(left, top, width, m_segmentHeight),
                         IsLit(i) ? m_litColors[i] : m_dimColors[i]);
        if (m_segmentWidth > 0)
            painter.fillRect(QRect(left + m_segmentWidth, top, 1, m_segmentHeight), Qt::black);
    }
    const QRect rest(QPoint(m_frameRect.right() + 1, m_frameRect.top()),
                     QPoint(m_controlRect.right(), m_frameRect.bottom()));
    if (rest.width() > 0 && m_parent)
        painter.fillRect(rest, m_parent->palette().color(QPalette::Button));
}

} // namespace tarvo
