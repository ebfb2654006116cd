#include "imaging/GaugeGeometry.h"
#include "imaging/ui/Gauges.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QImage>
#include <QWindow>
#include <climits>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

using namespace parvane::imaging;

namespace {

constexpr QRgb kBlackPixel = 0xFF000000u;
constexpr QRgb kWhitePixel = 0xFFFFFFFFu;

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// The level window's gauge: 177 x 20 with a border.
void makeLevelGauge(TGauge& gauge) {
    gauge.setGeometry(8, 8, 177, 20);
}

// A shown window paints only once the platform has exposed it.
void waitUntilExposed(QWidget& widget) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000 && !(widget.windowHandle() && widget.windowHandle()->isExposed()))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents();
}

std::string failureOf(auto&& action) {
    try {
        action();
    } catch (const std::out_of_range& e) {
        return e.what();
    }
    return "no failure";
}

} // namespace

TEST(GaugeGeometry, PercentArithmetic) {
    EXPECT_EQ(ShareOfSize(50, 176), 88);
    EXPECT_EQ(ShareOfSize(33, 10), 3);
    EXPECT_EQ(ShareOfSize(100, 19), 19);
    EXPECT_EQ(PercentOf(5, 0), 0);
    EXPECT_EQ(PercentOf(1, 3), 33);
    EXPECT_EQ(PercentOf(999, 1000), 99);
    // Equal limits show 0 whatever the value.
    EXPECT_EQ(gaugeDisplayedPercent(7, 7, 7), 0);
    // The widest range does not overflow.
    EXPECT_EQ(gaugeDisplayedPercent(INT_MAX, INT_MIN, INT_MAX), 100);
    EXPECT_EQ(gaugeDisplayedPercent(-1, INT_MIN, INT_MAX), 49);
    EXPECT_EQ(gaugeDisplayedPercent(INT_MIN, INT_MIN, INT_MAX), 0);
}

TEST(GaugeGeometry, BarsOfTheLevelWindowGauge) {
    const Rect paint = gaugePaintRect(177, 20, TBorderStyle::bsSingle);
    EXPECT_EQ(paint, (Rect{1, 1, 176, 19}));
    EXPECT_EQ(gaugePaintRect(177, 20, TBorderStyle::bsNone), (Rect{0, 0, 177, 20}));

    // 50 % covers x 1 to 87 over the whole paint height.
    EXPECT_EQ(horizontalBarFill(paint, 50), (Rect{1, 1, 88, 19}));
    EXPECT_TRUE(horizontalBarFill(paint, 0).isEmpty());
    EXPECT_TRUE(horizontalBarFill(paint, 1).isEmpty()); // one pixel share is the left edge
    EXPECT_EQ(horizontalBarFill(paint, 2), (Rect{1, 1, 3, 19}));
    EXPECT_EQ(horizontalBarFill(paint, 100), paint);

    EXPECT_EQ(verticalBarFill(paint, 50), (Rect{1, 10, 176, 19}));
    EXPECT_EQ(verticalBarFill(paint, 100), paint);
    EXPECT_TRUE(verticalBarFill(paint, 0).isEmpty());

    EXPECT_EQ(gaugeTextOrigin(paint, 24, 13), (Point{76, 3}));
    EXPECT_EQ(gaugeTextOrigin(Rect{0, 0, 10, 10}, 30, 20), (Point{-9, -4}));
}

TEST(GaugeGeometry, PieAndNeedle) {
    const Rect paint{1, 1, 99, 99};
    const GaugeArc none = pieGeometry(paint, TBorderStyle::bsSingle, 0);
    EXPECT_EQ(none.box, (Rect{1, 1, 99, 99}));
    EXPECT_EQ(none.spanDegrees, 0);
    const GaugeArc quarter = pieGeometry(paint, TBorderStyle::bsSingle, 25);
    EXPECT_DOUBLE_EQ(quarter.startDegrees, 0.0);
    EXPECT_DOUBLE_EQ(quarter.spanDegrees, 90.0);
    EXPECT_DOUBLE_EQ(pieGeometry(paint, TBorderStyle::bsSingle, 100).spanDegrees, 360.0);

    const NeedleGeometry half = needleGeometry(paint, TBorderStyle::bsSingle, 100, 50);
    EXPECT_EQ(half.needleFrom, (Point{50, 98}));
    EXPECT_EQ(half.needleTo, (Point{50, 0}));
    EXPECT_EQ(needleGeometry(paint, TBorderStyle::bsSingle, 100, 0).needleTo, (Point{0, 98}));
    EXPECT_EQ(needleGeometry(paint, TBorderStyle::bsSingle, 100, 100).needleTo, (Point{100, 98}));
}

TEST(Gauge, DefaultsAndClamping) {
    TGauge gauge;
    EXPECT_EQ(gauge.size(), QSize(100, 100));
    EXPECT_EQ(gauge.Kind(), TGaugeKind::gkHorizontalBar);
    EXPECT_TRUE(gauge.ShowText());
    EXPECT_EQ(gauge.BorderStyle(), TBorderStyle::bsSingle);
    EXPECT_EQ(gauge.ForeColor(), QColor(0, 0, 0));
    EXPECT_EQ(gauge.BackColor(), QColor(255, 255, 255));
    EXPECT_EQ(gauge.MinValue(), 0);
    EXPECT_EQ(gauge.MaxValue(), 100);
    EXPECT_EQ(gauge.Progress(), 0);

    gauge.setProgress(150);
    EXPECT_EQ(gauge.Progress(), 100);
    EXPECT_EQ(gauge.DisplayedPercent(), 100);
    gauge.setProgress(-3);
    EXPECT_EQ(gauge.Progress(), 0);

    // Moving a limit past the value drags the value along.
    gauge.setProgress(40);
    gauge.setMaxValue(30);
    EXPECT_EQ(gauge.Progress(), 30);
    gauge.setProgress(10);
    gauge.setMinValue(20);
    EXPECT_EQ(gauge.Progress(), 20);
    gauge.setMaxValue(20);
    EXPECT_EQ(gauge.DisplayedPercent(), 0); // equal limits
}

TEST(Gauge, LimitSettersRefuseCrossedRangesAndKeepTheirValues) {
    TGauge gauge;
    gauge.setProgress(60);
    EXPECT_EQ(failureOf([&] { gauge.setMinValue(101); }),
              "Value must be between -2147483647 and 99");
    EXPECT_EQ(failureOf([&] { gauge.setMaxValue(-1); }), "Value must be between 1 and 2147483647");
    EXPECT_EQ(gauge.MinValue(), 0);
    EXPECT_EQ(gauge.MaxValue(), 100);
    EXPECT_EQ(gauge.Progress(), 60);

    gauge.setMinValue(-50);
    EXPECT_EQ(failureOf([&] { gauge.setMaxValue(-51); }),
              "Value must be between -49 and 2147483647");
    EXPECT_EQ(failureOf([&] { gauge.setMaxValue(-50); }), "no failure");
}

TEST(Gauge, RepaintsAtOnceOnlyWhenTheShownPercentChanges) {
    TGauge gauge;
    makeLevelGauge(gauge);
    gauge.show();
    waitUntilExposed(gauge);
    PaintCounter counter;
    gauge.installEventFilter(&counter);

    gauge.setProgress(10);
    EXPECT_EQ(counter.count, 1); // painted before setProgress returned
    gauge.setProgress(10);
    EXPECT_EQ(counter.count, 1);

    gauge.setMaxValue(1000); // limit change repaints
    EXPECT_EQ(counter.count, 2);
    gauge.setProgress(11); // still 1 %
    EXPECT_EQ(gauge.DisplayedPercent(), 1);
    EXPECT_EQ(counter.count, 2);
    gauge.setProgress(20); // 2 %
    EXPECT_EQ(counter.count, 3);

    gauge.setKind(TGaugeKind::gkHorizontalBar); // unchanged: no repaint
    gauge.setShowText(true);
    EXPECT_EQ(counter.count, 3);
    gauge.setShowText(false);
    gauge.setBackColor(QColor(1, 2, 3));
    EXPECT_EQ(counter.count, 5);
}

TEST(Gauge, HalfBarCoversTheLeftHalfInsideABlackBorder) {
    TGauge gauge;
    makeLevelGauge(gauge);
    gauge.setShowText(false);
    gauge.setProgress(50);
    const QImage image = gauge.renderImage();
    ASSERT_EQ(image.size(), QSize(177, 20));
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 177; ++x) {
            const bool border = x == 0 || y == 0 || x == 176 || y == 19;
            const QRgb expected = border ? kBlackPixel : (x <= 87 ? kBlackPixel : kWhitePixel);
            ASSERT_EQ(image.pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST(Gauge, TextIsTheExclusiveOrOfWhatLiesUnder) {
    TGauge gauge;
    makeLevelGauge(gauge);
    for (const int value : {0, 50, 100}) {
        gauge.setProgress(value);
        gauge.setShowText(false);
        const QImage plain = gauge.renderImage();
        gauge.setShowText(true);
        const QImage withText = gauge.renderImage();

        int textPixels = 0;
        int whiteText = 0;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 177; ++x) {
                const QRgb a = plain.pixel(x, y);
                const QRgb b = withText.pixel(x, y);
                if (a == b)
                    continue;
                ++textPixels;
                ASSERT_EQ(b, (a ^ 0x00FFFFFFu)) << x << "," << y;
                ASSERT_TRUE(x >= 1 && x <= 175 && y >= 1 && y <= 18) << "text outside";
                if (b == kWhitePixel)
                    ++whiteText;
            }
        }
        EXPECT_GT(textPixels, 10) << value;
        if (value == 0) {
            EXPECT_EQ(whiteText, 0); // black digits on the white empty bar
        }
        if (value == 100) {
            EXPECT_EQ(whiteText, textPixels); // white digits on the full bar
        }
    }
}

TEST(Gauge, FullBarFillsThePaintRectangle) {
    TGauge gauge;
    makeLevelGauge(gauge);
    gauge.setShowText(false);
    gauge.setProgress(100);
    const QImage image = gauge.renderImage();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 177; ++x)
            ASSERT_EQ(image.pixel(x, y), kBlackPixel) << x << "," << y;
    gauge.setProgress(0);
    EXPECT_EQ(gauge.renderImage().pixel(1, 1), kWhitePixel);
    EXPECT_EQ(gauge.renderImage().pixel(175, 18), kWhitePixel);
}

TEST(Gauge, OtherKinds) {
    TGauge gauge;
    gauge.resize(100, 100);
    gauge.setShowText(false);
    gauge.setForeColor(QColor(255, 0, 0));
    gauge.setBackColor(QColor(0, 0, 255));
    gauge.setProgress(50);
    const QRgb fore = 0xFFFF0000u;
    const QRgb back = 0xFF0000FFu;

    gauge.setKind(TGaugeKind::gkVerticalBar);
    QImage image = gauge.renderImage();
    EXPECT_EQ(image.pixel(50, 20), back);
    EXPECT_EQ(image.pixel(50, 80), fore);

    gauge.setKind(TGaugeKind::gkText);
    image = gauge.renderImage();
    EXPECT_EQ(image.pixel(50, 80), back);
    EXPECT_EQ(image.pixel(0, 0), kBlackPixel);

    // At 25 % the pie's slice is the quarter between twelve and three o'clock.
    gauge.setKind(TGaugeKind::gkPie);
    gauge.setProgress(25);
    image = gauge.renderImage();
    EXPECT_EQ(image.pixel(70, 30), fore);
    EXPECT_EQ(image.pixel(30, 30), back);
    EXPECT_EQ(image.pixel(30, 70), back);
    EXPECT_EQ(image.pixel(70, 70), back);
    gauge.setProgress(0);
    EXPECT_EQ(gauge.renderImage().pixel(70, 30), back);

    // At 50 % the needle stands straight up from the middle of the base.
    gauge.setKind(TGaugeKind::gkNeedle);
    gauge.setProgress(50);
    image = gauge.renderImage();
    EXPECT_EQ(image.pixel(50, 60), fore);
    EXPECT_EQ(image.pixel(40, 60), back);
    gauge.setProgress(0);
    EXPECT_EQ(gauge.renderImage().pixel(50, 60), back);
}

TEST(Gauge, TinySizesDrawEveryKindWithoutFault) {
    TGauge gauge;
    gauge.setProgress(73);
    for (const TGaugeKind kind :
         {TGaugeKind::gkText, TGaugeKind::gkHorizontalBar, TGaugeKind::gkVerticalBar,
          TGaugeKind::gkPie, TGaugeKind::gkNeedle}) {
        gauge.setKind(kind);
        for (const TBorderStyle border : {TBorderStyle::bsNone, TBorderStyle::bsSingle}) {
            gauge.setBorderStyle(border);
            for (const int side : {0, 1, 2, 3}) {
                gauge.resize(side, side);
                const QImage image = gauge.renderImage();
                EXPECT_EQ(image.size(), QSize(side, side));
                if (border == TBorderStyle::bsSingle && side > 0) {
                    EXPECT_EQ(image.pixel(0, 0), kBlackPixel); // the border stays black
                }
            }
        }
    }
}
