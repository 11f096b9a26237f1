#include "WidgetTestSupport.h"
#include "ui/widgets/LoadGauge.h"

#include <QImage>

#include <gtest/gtest.h>

using qmx::ui::LoadGauge;

namespace {

constexpr int kInnerWidth = 200; // a 202-pixel gauge has a 1-pixel frame on each side

QImage render(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Pixels of the middle row inside the frame that carry `color`.
int countInRow(const QImage& image, const QColor& color)
{
    const int y = image.height() / 2;
    int count = 0;
    for (int x = 1; x < image.width() - 1; ++x) {
        count += image.pixelColor(x, y) == color ? 1 : 0;
    }
    return count;
}

struct GaugeCase {
    int maximum;
    int requested;
    int position;  // after clamping
    int barPixels; // of kInnerWidth
};

class LoadGaugeFill : public ::testing::TestWithParam<GaugeCase> {};

TEST_P(LoadGaugeFill, FillsInProportionToPositionOverMaximum)
{
    const GaugeCase& c = GetParam();
    LoadGauge gauge;
    gauge.resize(kInnerWidth + 2, 17);
    gauge.setMaximum(c.maximum);
    gauge.setBarColor(QColor(255, 191, 0));
    gauge.setPosition(c.requested);
    EXPECT_EQ(gauge.position(), c.position);

    const QImage image = render(gauge);
    EXPECT_EQ(countInRow(image, QColor(255, 191, 0)), c.barPixels);
    EXPECT_EQ(countInRow(image, Qt::white), kInnerWidth - c.barPixels);
    if (c.barPixels > 0) {
        EXPECT_EQ(image.pixelColor(1, 8), QColor(255, 191, 0)) << "the bar grows from the left";
    }
}

INSTANTIATE_TEST_SUITE_P(LoadGauge, LoadGaugeFill,
                         ::testing::Values(GaugeCase{50, 30, 30, 120}, GaugeCase{50, -5, 0, 0},
                                           GaugeCase{50, 70, 50, 200}, GaugeCase{50, 0, 0, 0},
                                           GaugeCase{50, 25, 25, 100}, GaugeCase{100, 100, 100, 200},
                                           GaugeCase{100, 1, 1, 2}, GaugeCase{100, 33, 33, 66},
                                           GaugeCase{3, 1, 1, 67}));

TEST(LoadGauge, FrameIsSunkenAroundTheWhiteBackground)
{
    LoadGauge gauge;
    gauge.resize(100, 17);
    const QImage image = render(gauge);
    const QColor topLeft = image.pixelColor(0, 0);
    const QColor bottomRight = image.pixelColor(99, 16);
    EXPECT_NE(topLeft, QColor(Qt::white));
    // Sunken: shadow on the top and left edges, light on the bottom and right ones.
    EXPECT_LT(topLeft.lightness(), bottomRight.lightness());
    EXPECT_EQ(image.pixelColor(50, 8), QColor(Qt::white));
}

TEST(LoadGauge, LoweringTheMaximumClampsThePosition)
{
    LoadGauge gauge;
    gauge.setMaximum(100);
    gauge.setPosition(80);
    gauge.setMaximum(50);
    EXPECT_EQ(gauge.position(), 50);
    gauge.setMaximum(0);
    EXPECT_EQ(gauge.maximum(), 1);
    EXPECT_EQ(gauge.position(), 1);
    gauge.setMaximum(-7);
    EXPECT_EQ(gauge.maximum(), 1);
}

TEST(LoadGauge, BarColourIsUsedForTheFill)
{
    LoadGauge gauge;
    gauge.resize(kInnerWidth + 2, 15);
    gauge.setMaximum(100);
    gauge.setPosition(50);
    EXPECT_EQ(countInRow(render(gauge), QColor(38, 217, 38)), 100) << "default colour";
    gauge.setBarColor(QColor(255, 0, 0));
    EXPECT_EQ(gauge.barColor(), QColor(255, 0, 0));
    const QImage image = render(gauge);
    EXPECT_EQ(countInRow(image, QColor(255, 0, 0)), 100);
    EXPECT_EQ(countInRow(image, QColor(38, 217, 38)), 0);
}

TEST(LoadGauge, RepaintsOnlyWhenPositionOrColourChange)
{
    LoadGauge gauge;
    gauge.resize(150, 17);
    gauge.setMaximum(50);
    gauge.setPosition(20);
    qmx::test::PaintCounter paints(&gauge);
    paints.showAndSettle();

    gauge.setPosition(20);
    gauge.setMaximum(50);
    gauge.setBarColor(QColor(38, 217, 38));
    EXPECT_EQ(paints.settle(), 0) << "nothing changed";

    gauge.setPosition(-1);
    const int afterChange = paints.settle();
    EXPECT_GE(afterChange, 1) << "20 -> 0";

    gauge.setPosition(-9);
    gauge.setPosition(0);
    EXPECT_EQ(paints.settle(), afterChange) << "still clamped to 0";

    gauge.setBarColor(QColor(255, 0, 0));
    EXPECT_GT(paints.settle(), afterChange) << "new colour";
}

} // namespace
