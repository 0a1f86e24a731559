#pragma once

#include <QColor>
#include <QRect>
#include <vector>

class QPainter;
class QWidget;

namespace tarvo {

// A horizontal segmented level meter with a held peak, drawn by its parent in
// place of a placeholder control. Levels run from 0 to 32767.
class CVUMeter {
public:
    static constexpr int kFullScale = 32767;
    static constexpr int kDecayPerCall = 3200;
    static constexpr int kPeakHoldCalls = 45;

    void Attach(QWidget* parent, QWidget* placeholder);
    // For tests and previews: the rectangle alone, in the parent's coordinates.
    void AttachRect(QWidget* parent, const QRect& rect);
    void SetSegmentWidth(int width);
    void SetColors(bool gradient, QColor left, QColor mid, QColor right);
    void SetLevel(int sample);
    void Draw(QPainter& painter) const;

    int Level() const { return m_level; }
    int Peak() const { return m_peak; }
    int SegmentCount() const { return m_segmentCount; }
    int LevelPerSegment() const { return m_levelPerSegment; }
    const QRect& FrameRect() const { return m_frameRect; }
    QColor LitColor(int segment) const { return m_litColors.at(static_cast<size_t>(segment)); }
    QColor DimColor(int segment) const { return m_dimColors.at(static_cast<size_t>(segment)); }
    bool IsLit(int segment) const;

private:
    void ComputeColors();
    void Invalidate(const QRect& rect) const;

    QWidget* m_parent = nullptr;
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
};

} // namespace tarvo
