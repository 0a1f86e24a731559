// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <vector>

class QPainter;
class QWidget;

namespace tarvo {

class CMeterSurface;

// A horizontal segmented level meter with a held peak, in place of a
// placeholder control. Levels run from 0 to 32767. It paints on a surface of
// its own over the placeholder, only when what it shows changes, copying from
// two strips drawn once per setting: every segment lit, and every one dim.
class CVUMeter {
public:
    static constexpr int kFullScale = 32767;
    static constexpr int kDecayPerCall = 3200;
    static constexpr int kPeakHoldCalls = 45;

    // Takes the placeholder's place, on a surface of its own or on the one of
    // the meter `besides`, which it then shares.
    void Attach(QWidget* parent, QWidget* placeholder, CVUMeter* besides = nullptr);
    // Moves the meter, its surface with it, to this place in its parent.
    void MoveTo(const QPoint& topLeft);
    // For tests: the rectangle alone, without a surface.
    void AttachRect(const QRect& rect);
    void SetSegmentWidth(int width);
    void SetColors(bool gradient, QColor left, QColor mid, QColor right);
    void SetLevel(int sample);
    // Both meters' levels, at each tick of the player: on the surface they
    // share, what changed is painted at once, in one rectangle.
    static void SetLevels(CVUMeter& first, int firstSample, CVUMeter& second, int secondSample);
    // Paints what the meter shows; the surface calls it.
    void Draw(QPainter& painter);

    int Level() const { return m_level; }
    int Peak() const { return m_peak; }
    int SegmentCount() const { return m_segmentCount; }
    int LevelPerSegment() const { return m_levelPerSegment; }
    const QRect& FrameRect() const { return m_frameRect; }
    const QRect& ControlRect() const { return m_controlRect; }
    QColor LitColor(int segment) const { return m_litColors.at(static_cast<size_t>(segment)); }
    QColor DimColor(int segment) const { return m_dimColors.at(static_cast<size_t>(segment)); }
    bool IsLit(int segment) const;
    // How many times it has asked for a repaint: a level that changes no
    // segment asks for none.
    int RepaintsAsked() const { return m_repaintsAsked; }
    // The part of the meter the last request asked to repaint.
    const QRect& LastRepaint() const { return m_lastRepaint; }

private:
    void ComputeColors();
    void DrawStrips();
    void Invalidate(const QRect& rect);
    QRect ChangedSegments(int lit, int peak) const;
    QRect SegmentsRect(int first, int end) const;
    int LitCount() const;
    int PeakSegment() const;

    CMeterSurface* m_surface = nullptr;
    QColor m_background;
    QRect m_frameRect;
    QRect m_controlRect;
    bool m_useGradient = true;
    int m_level = 0;
    int m_peak = 0;
    int m_peakAge = 0;
    int m_segmentWidth = 5;
    int m_segmentCount = 0;
    int m_segmentHeight = 0;
    int m_levelPerSegment = 0;
    QColor m_leftColor{0, 255, 0};
    QColor m_midColor{255, 255, 0};
    QColor m_rightColor{255, 0, 0};
    std::vector<QColor> m_litColors;
    std::vector<QColor> m_dimColors;
    QImage m_litStrip; // the framed area with every segment lit
    QImage m_dimStrip; // ... and with none
    int m_shownLit = -1;
    int m_shownPeak = -1;
    int m_repaintsAsked = 0;
    QRect m_lastRepaint;
};

} // namespace tarvo
