#include "WidgetTestSupport.h"
#include "ui/widgets/HeaderBar.h"

#include <QImage>

#include <gtest/gtest.h>

#include <set>

using qmx::ui::HeaderBar;

namespace {

QImage render(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QColor at(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y);
}

TEST(HeaderBar, DefaultGradientRunsFromGreyAtTheTopToBlackAtTheBottom)
{
    HeaderBar bar;
    bar.resize(120, 64);
    const QImage image = render(bar);
    EXPECT_EQ(at(image, 10, 0), QColor(111, 104, 104));
    EXPECT_EQ(at(image, 10, 63), QColor(0, 0, 0));
    int previousRed = 256;
    for (int y = 0; y < 64; ++y) {
        EXPECT_LE(at(image, 10, y).red(), previousRed) << "row " << y;
        previousRed = at(image, 10, y).red();
    }
}

TEST(HeaderBar, TallBarIsPaintedInThirtyTwoFlatBands)
{
    HeaderBar bar;
    bar.resize(50, 96);
    const QImage image = render(bar);
    std::set<QRgb> colors;
    for (int y = 0; y < 96; ++y) {
        colors.insert(image.pixel(5, y));
        // Each band is three rows of one colour.
        EXPECT_EQ(image.pixel(5, y), image.pixel(5, y - y % 3)) << "row " << y;
        EXPECT_EQ(image.pixel(5, y), image.pixel(45, y)) << "row " << y;
    }
    EXPECT_EQ(colors.size(), 32U);
}

TEST(HeaderBar, LowBarStillStartsAndEndsWithItsColours)
{
    for (const int height : {21, 23, 24}) {
        HeaderBar bar;
        bar.setGradient(QColor(0, 255, 0), QColor(0, 128, 0));
        bar.resize(80, height);
        const QImage image = render(bar);
        EXPECT_EQ(at(image, 3, 0), QColor(0, 255, 0)) << "height " << height;
        EXPECT_EQ(at(image, 3, height - 1), QColor(0, 128, 0)) << "height " << height;
    }
}

TEST(HeaderBar, BandColoursInterpolateBetweenStartAndEnd)
{
    const QColor start(111, 104, 104);
    const QColor end(0, 0, 0);
    EXPECT_EQ(HeaderBar::bandColor(start, end, 0), start);
    EXPECT_EQ(HeaderBar::bandColor(start, end, 31), end);
    for (int band = 0; band < HeaderBar::kBandCount; ++band) {
        const QColor c = HeaderBar::bandColor(start, end, band);
        const double share = 1.0 - band / 31.0;
        EXPECT_NEAR(c.red(), 111 * share, 0.5) << "band " << band;
        EXPECT_NEAR(c.green(), 104 * share, 0.5) << "band " << band;
        EXPECT_NEAR(c.blue(), 104 * share, 0.5) << "band " << band;
    }
    EXPECT_EQ(HeaderBar::bandColor(QColor(0, 255, 0), QColor(0, 128, 0), 31), QColor(0, 128, 0));
    EXPECT_EQ(HeaderBar::bandColor(start, std::nullopt, 20), start);
}

TEST(HeaderBar, WithoutEndColourTheBarIsOneFlatFill)
{
    HeaderBar bar;
    bar.setGradient(QColor(111, 104, 104), std::nullopt);
    bar.resize(60, 40);
    const QImage image = render(bar);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 60; x += 7) {
            ASSERT_EQ(at(image, x, y), QColor(111, 104, 104)) << x << "," << y;
        }
    }
    EXPECT_EQ(bar.gradientEnd(), std::nullopt);
}

TEST(HeaderBar, CaptionIsWhiteAndCentred)
{
    HeaderBar bar(QStringLiteral("Wartość sumaryczna"), HeaderBar::kLargeCaption);
    bar.resize(400, 30);
    const QImage image = render(bar);
    int left = image.width();
    int right = -1;
    int top = image.height();
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = at(image, x, y);
            if (c.red() > 230 && c.green() > 230 && c.blue() > 230) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    ASSERT_GE(right, 0) << "no white caption pixels";
    EXPECT_GT(right - left, 80) << "caption too narrow for its text";
    EXPECT_NEAR((left + right) / 2.0, 200.0, 4.0);
    EXPECT_NEAR((top + bottom) / 2.0, 15.0, 4.0);
    EXPECT_LE(bottom - top + 1, HeaderBar::kLargeCaption + 4);
}

TEST(HeaderBar, HeightHintIsCaptionHeightPlusEight)
{
    for (const int pixels : {HeaderBar::kLargeCaption, HeaderBar::kChannelCaption, HeaderBar::kSmallCaption}) {
        HeaderBar bar(QStringLiteral("Kanał 1:"), pixels);
        EXPECT_EQ(bar.sizeHint().height(), pixels + 8);
        EXPECT_GT(bar.sizeHint().width(), 16);
    }
    HeaderBar wide(QStringLiteral("Rejestracja pomiarów do pliku"));
    HeaderBar narrow(QStringLiteral("Max:"));
    EXPECT_GT(wide.sizeHint().width(), narrow.sizeHint().width());
}

TEST(HeaderBar, RepaintsOnlyWhenCaptionOrColoursChange)
{
    HeaderBar bar(QStringLiteral("Zapis do pliku"));
    bar.resize(200, 24);
    qmx::test::PaintCounter paints(&bar);
    paints.showAndSettle();

    bar.setCaption(QStringLiteral("Zapis do pliku"));
    bar.setGradient(QColor(HeaderBar::kDefaultStart), QColor(HeaderBar::kDefaultEnd));
    EXPECT_EQ(paints.settle(), 0);

    bar.setCaption(QStringLiteral("Zapis do pliku aktywowany"));
    EXPECT_GE(paints.settle(), 1);
    EXPECT_EQ(bar.caption(), QStringLiteral("Zapis do pliku aktywowany"));
}

} // namespace
