// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/VUMeter.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>
#include <QWidget>

using tarvo::CVUMeter;

namespace {

CVUMeter Meter(int width, int segmentWidth, bool gradient = true) {
    CVUMeter meter;
    meter.AttachRect(QRect(10, 20, width, 8));
    meter.SetColors(gradient, QColor(0, 255, 0), QColor(255, 255, 0), QColor(255, 0, 0));
    meter.SetSegmentWidth(segmentWidth);
    return meter;
}

// The meter drawn on a white image.
QImage Drawn(CVUMeter& meter) {
    QImage image(400, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    meter.Draw(painter);
    return image;
}

} // namespace

TEST(VUMeter, TooSmallForTwoSegmentsShowsAnEmptyFrame) {
    CVUMeter meter = Meter(10, 5);
    EXPECT_EQ(meter.SegmentCount(), 0);
    meter.SetLevel(30000);
    const QImage image = Drawn(meter);
    for (int x = meter.FrameRect().left(); x <= meter.FrameRect().right(); ++x)
        EXPECT_EQ(image.pixelColor(x, meter.FrameRect().center().y()), QColor(Qt::black)) << x;
}

// A level lights the segments below it; the bar falls 3200 a call and the
// peak holds for the setting call and the next 45, lighting no extra segment
// when it stands on a boundary.
TEST(VUMeter, LevelsLightSegmentsThenFallAndThePeakHolds) {
    CVUMeter meter = Meter(304, 5);
    meter.SetLevel(1);
    EXPECT_TRUE(meter.IsLit(0));
    EXPECT_FALSE(meter.IsLit(1));
    meter.SetLevel(32767);
    EXPECT_TRUE(meter.IsLit(49));
    meter.SetLevel(0);
    EXPECT_EQ(meter.Level(), 32767 - 3200);
    for (int calls = 1; calls < 45; ++calls)
        meter.SetLevel(0);
    EXPECT_EQ(meter.Level(), 0);
    EXPECT_EQ(meter.Peak(), 32767);
    meter.SetLevel(0);
    EXPECT_EQ(meter.Peak(), 0); // cleared by the 47th

    CVUMeter boundary = Meter(304, 5);
    boundary.SetLevel(655 * 10);
    for (int i = 0; i < 3; ++i)
        boundary.SetLevel(0);
    EXPECT_FALSE(boundary.IsLit(10));
    EXPECT_FALSE(boundary.IsLit(9));
}

TEST(VUMeter, GradientAndBands) {
    const CVUMeter meter = Meter(4 + 31 * 6, 5);
    ASSERT_EQ(meter.SegmentCount(), 31);
    EXPECT_EQ(meter.LitColor(0), QColor(0, 255, 0));
    EXPECT_EQ(meter.LitColor(15), QColor(255, 255, 0));
    EXPECT_EQ(meter.LitColor(30), QColor(255, 0, 0));
    EXPECT_EQ(meter.DimColor(15), QColor(85, 85, 0));

    const CVUMeter bands = Meter(4 + 30 * 6, 5, false);
    ASSERT_EQ(bands.SegmentCount(), 30);
    EXPECT_EQ(bands.LitColor(12), QColor(0, 255, 0));
    EXPECT_EQ(bands.LitColor(13), QColor(255, 255, 0));
    EXPECT_EQ(bands.LitColor(24), QColor(255, 255, 0));
    EXPECT_EQ(bands.LitColor(25), QColor(255, 0, 0));
}

TEST(VUMeter, DrawsLitAndDimSegmentsInsideABlackBorder) {
    CVUMeter meter = Meter(304, 5);
    meter.SetLevel(16000);
    const QImage image = Drawn(meter);
    EXPECT_EQ(image.pixelColor(10, 20), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(11, 21), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(12, 22), meter.LitColor(0));
    EXPECT_EQ(image.pixelColor(17, 22), QColor(Qt::black)); // the gap after segment 0
    EXPECT_EQ(image.pixelColor(12 + 49 * 6, 22), meter.DimColor(49));
}

// A repaint is asked for only when a segment changes, and only for the
// segments that changed.
TEST(VUMeter, AsksForARepaintOnlyWhenItsSegmentsChange) {
    CVUMeter meter = Meter(304, 5); // 655 a segment
    QImage image(400, 40, QImage::Format_RGB32);
    QPainter painter(&image);
    meter.SetLevel(1300); // two segments lit, the peak inside them
    meter.Draw(painter);
    int asked = meter.RepaintsAsked();
    meter.SetLevel(1305); // the same two segments
    EXPECT_EQ(meter.RepaintsAsked(), asked);
    meter.SetLevel(0); // nothing lit, the held peak now a segment of its own
    EXPECT_EQ(meter.RepaintsAsked(), ++asked);
    const int top = meter.FrameRect().top(), height = meter.FrameRect().height();
    EXPECT_EQ(meter.LastRepaint(), QRect(12, top, 2 * 6, height)); // segments 0 and 1
    meter.Draw(painter);
    for (int call = 0; call < 44; ++call)
        meter.SetLevel(0); // the peak holds
    EXPECT_EQ(meter.RepaintsAsked(), asked);
    meter.SetLevel(0); // ... until it is cleared
    EXPECT_EQ(meter.RepaintsAsked(), ++asked);
    EXPECT_EQ(meter.LastRepaint(), QRect(18, top, 6, height)); // segment 1 alone
    EXPECT_EQ(meter.Peak(), 0);
}

// Meters that share a surface are painted on it, and the space between them
// is painted as the window's own.
TEST(VUMeter, MetersSharingASurfacePaintItAllTheSpaceBetweenToo) {
    QWidget window;
    window.resize(200, 60);
    QWidget top(&window), bottom(&window);
    top.setGeometry(10, 10, 100, 8);
    bottom.setGeometry(10, 30, 100, 8);
    CVUMeter first, second;
    first.Attach(&window, &top);
    second.Attach(&window, &bottom, &first);
    CVUMeter::SetLevels(first, 30000, second, 0);
    QWidget* surface = window.childAt(12, 12);
    ASSERT_EQ(window.childAt(12, 32), surface);
    const QImage shot =
        surface->grab().toImage(); // the surface alone: the window under it is not drawn
    EXPECT_EQ(shot.pixelColor(2, 2), first.LitColor(0));
    EXPECT_EQ(shot.pixelColor(2, 22), second.DimColor(0));
    EXPECT_EQ(shot.pixelColor(40, 14), window.palette().window().color());
}
