// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/VUMeter.h"

#include "widgets/MeterSurface.h"

#include <algorithm>
#include <QPainter>
#include <QPalette>
#include <QWidget>

namespace tarvo {

void CVUMeter::Attach(QWidget* parent, QWidget* placeholder, CVUMeter* besides) {
    QRect rect = placeholder->rect();
    rect.moveTopLeft(placeholder->mapTo(parent, QPoint(0, 0)));
    placeholder->hide();
    m_background = parent->palette().color(QPalette::Button);
    AttachRect(rect);
    m_surface = besides && besides->m_surface ? besides->m_surface : new CMeterSurface(parent);
    m_surface->Add(this);
}

void CVUMeter::MoveTo(const QPoint& topLeft) {
    const QPoint by = topLeft - m_controlRect.topLeft();
    m_controlRect.translate(by);
    m_frameRect.translate(by);
    if (m_surface) m_surface->Follow();
}

void CVUMeter::SetLevels(CVUMeter& first, int firstSample, CVUMeter& second, int secondSample) {
    CMeterSurface* shared = first.m_surface == second.m_surface ? first.m_surface : nullptr;
    if (shared) shared->Hold();
    first.SetLevel(firstSample);
    second.SetLevel(secondSample);
    if (shared) shared->PaintHeld();
}

void CVUMeter::AttachRect(const QRect& rect) {
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
    DrawStrips();
    Invalidate(m_controlRect);
}

// The framed area twice, with a two-pixel black border and the gaps: once
// with every segment lit and once with every segment dim. Painting then only
// copies spans of them.
void CVUMeter::DrawStrips() {
    if (m_frameRect.isEmpty()) return;
    const QSize size = m_frameRect.size();
    for (QImage* strip : {&m_litStrip, &m_dimStrip}) {
        *strip = QImage(size, QImage::Format_RGB32);
        strip->fill(Qt::black);
        QPainter painter(strip);
        const std::vector<QColor>& colors = strip == &m_litStrip ? m_litColors : m_dimColors;
        const int width = m_segmentWidth ? m_segmentWidth : 1;
        for (int i = 0; i < m_segmentCount; ++i)
            painter.fillRect(QRect(2 + i * (m_segmentWidth + 1), 2, width, m_segmentHeight),
                             colors[i]);
    }
}

int CVUMeter::LitCount() const {
    if (m_level <= 0 || m_levelPerSegment <= 0) return 0;
    return std::min(m_segmentCount, (m_level + m_levelPerSegment - 1) / m_levelPerSegment);
}

// The one segment that holds the peak, when the peak is not on a boundary and
// beyond the lit ones; -1 otherwise.
int CVUMeter::PeakSegment() const {
    if (m_levelPerSegment <= 0 || m_peak <= 0 || m_peak % m_levelPerSegment == 0) return -1;
    const int segment = m_peak / m_levelPerSegment;
    return segment >= LitCount() && segment < m_segmentCount ? segment : -1;
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
    const int lit = LitCount(), peak = PeakSegment();
    if (lit == m_shownLit && peak == m_shownPeak) return;
    Invalidate(ChangedSegments(lit, peak));
}

// What looks different from the meter last drawn: the segments between the
// lit counts, and the held peak's old and new segments; all of it before the
// first drawing.
QRect CVUMeter::ChangedSegments(int lit, int peak) const {
    if (m_shownLit < 0) return m_frameRect;
    QRect changed;
    if (lit != m_shownLit)
        changed |= SegmentsRect(std::min(lit, m_shownLit), std::max(lit, m_shownLit));
    if (peak != m_shownPeak)
        for (int segment : {m_shownPeak, peak})
            if (segment >= 0) changed |= SegmentsRect(segment, segment + 1);
    return changed;
}

QRect CVUMeter::SegmentsRect(int first, int end) const {
    const int step = m_segmentWidth + 1;
    return {m_frameRect.left() + 2 + first * step, m_frameRect.top(), (end - first) * step,
            m_frameRect.height()};
}

bool CVUMeter::IsLit(int segment) const {
    const int low = m_levelPerSegment * segment;
    return m_level > low || (low < m_peak && m_peak < m_levelPerSegment * (segment + 1));
}

void CVUMeter::Invalidate(const QRect& rect) {
    ++m_repaintsAsked;
    m_lastRepaint = rect;
    if (m_surface && !rect.isEmpty()) m_surface->Invalidate(rect);
}

void CVUMeter::Draw(QPainter& painter) {
    if (m_controlRect.isEmpty()) return;
    m_shownLit = LitCount();
    m_shownPeak = PeakSegment();
    const QPoint at = m_frameRect.topLeft();
    const int litWidth = m_shownLit ? 2 + m_shownLit * (m_segmentWidth + 1) : 0;
    painter.drawImage(at, m_dimStrip);
    if (litWidth) painter.drawImage(at, m_litStrip, QRect(0, 0, litWidth, m_frameRect.height()));
    if (m_shownPeak >= 0) {
        const int left = 2 + m_shownPeak * (m_segmentWidth + 1);
        painter.drawImage(at + QPoint(left, 0), m_litStrip,
                          QRect(left, 0, m_segmentWidth + 1, m_frameRect.height()));
    }
    const QRect rest(QPoint(m_frameRect.right() + 1, m_frameRect.top()),
                     QPoint(m_controlRect.right(), m_controlRect.bottom()));
    if (rest.width() > 0) painter.fillRect(rest, m_background);
}

} // namespace tarvo
