// The program's pictures: every drawing is present, renders sharp at 1x and 2x, and is not blank.

#include "ui/icons/Icons.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace qmx::ui;

namespace {

/// Share of the pixels that are drawn (not transparent).
double coverage(const QImage& image)
{
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            drawn += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return static_cast<double>(drawn) / (image.width() * image.height());
}

void expectSharpPictures(const QIcon& icon, int size)
{
    ASSERT_FALSE(icon.isNull());
    for (const qreal dpr : {1.0, 2.0}) {
        SCOPED_TRACE(dpr);
        const QPixmap pixmap = icon.pixmap(QSize(size, size), dpr);
        // Drawn for the scaling, not stretched from a smaller bitmap.
        EXPECT_EQ(pixmap.devicePixelRatio(), dpr);
        EXPECT_EQ(pixmap.size(), QSize(size, size) * dpr);
        const double drawn = coverage(pixmap.toImage());
        EXPECT_GT(drawn, 0.1) << "picture is (nearly) empty";
        EXPECT_LT(drawn, 1.0) << "picture fills its whole square";
    }
}

} // namespace

TEST(Icons, TheImageListHoldsSevenTabPictures)
{
    for (int i = 0; i < kImageListSize; ++i) {
        SCOPED_TRACE(i);
        expectSharpPictures(imageListIcon(i), kTabIconSize);
    }
    EXPECT_TRUE(imageListIcon(-1).isNull());
    EXPECT_TRUE(imageListIcon(kImageListSize).isNull());
}

TEST(Icons, TabPicturesDifferFromEachOther)
{
    for (int a = 0; a < kImageListSize; ++a) {
        for (int b = a + 1; b < kImageListSize; ++b) {
            EXPECT_NE(imageListIcon(a).pixmap(32).toImage(), imageListIcon(b).pixmap(32).toImage()) << a << " " << b;
        }
    }
}

TEST(Icons, EveryButtonPictureIsDrawn)
{
    for (const ButtonPicture picture : kButtonPictures) {
        SCOPED_TRACE(static_cast<int>(picture));
        expectSharpPictures(buttonIcon(picture), kButtonIconSize);
    }
}

TEST(Icons, ProgramIconCoversTheDesktopSizes)
{
    const QIcon icon = programIcon();
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        expectSharpPictures(icon, size);
    }
}

TEST(Icons, AMissingDrawingRendersNothing)
{
    EXPECT_TRUE(renderSvg(QStringLiteral(":/icons/no-such-picture.svg"), QSize(16, 16), 1.0).isNull());
    EXPECT_TRUE(renderSvg(programIconResource(), QSize(0, 16), 1.0).isNull());
    EXPECT_FALSE(renderSvg(programIconResource(), QSize(81, 81), 1.5).isNull());
}
