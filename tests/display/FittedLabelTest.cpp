#include "ui/widgets/FittedLabel.h"
#include "ui/widgets/Fonts.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

using qmx::ui::FittedLabel;

namespace {

int widthOf(const QFont& font, const QString& text)
{
    const QFontMetrics metrics(font);
    return std::max(metrics.horizontalAdvance(text), metrics.boundingRect(text).width());
}

} // namespace

TEST(FittedLabel, TheLargestFontThatHoldsTheWholeTextIsChosen)
{
    struct Case {
        const char* text;
        int width;
        int height;
    };
    const Case cases[] = {
        {"00.0", 400, 0},          {"1,105.4 N", 120, 0},   {"-12,345,678.9000 kN", 200, 0},
        {"1.23457E+10", 60, 0},    {"----------", 90, 40},  {"1,102.8439 N", 2000, 30},
    };
    const QFont design = qmx::ui::namedFont(qmx::ui::NamedFont::Arial, 80, true);
    for (const auto& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        const QFont font = FittedLabel::fittedFont(design, text, c.width, c.height);
        SCOPED_TRACE(c.text);
        EXPECT_LE(widthOf(font, text), c.width);
        if (c.height > 0) {
            EXPECT_LE(QFontMetrics(font).height(), c.height);
        }
        if (widthOf(design, text) <= c.width && (c.height == 0 || QFontMetrics(design).height() <= c.height)) {
            EXPECT_EQ(font, design); // what fits keeps the designed font
        } else {
            // One pixel larger would no longer fit: the text is not made smaller than it must be.
            QFont larger = font;
            larger.setPixelSize(font.pixelSize() + 1);
            EXPECT_TRUE(widthOf(larger, text) > c.width ||
                        (c.height > 0 && QFontMetrics(larger).height() > c.height));
            EXPECT_EQ(font.family(), design.family());
            EXPECT_EQ(font.bold(), design.bold());
        }
    }
}

TEST(FittedLabel, AShortTextAfterALongOneGetsTheDesignedFontBack)
{
    FittedLabel label(QStringLiteral("0"));
    label.setDesignFont(qmx::ui::namedFont(qmx::ui::NamedFont::Arial, 40, true));
    label.setFixedSize(150, 60);
    label.show();
    label.setFittedText(QStringLiteral("-1,234,567.89 kN"));
    EXPECT_NE(label.font(), label.designFont());
    EXPECT_LE(widthOf(label.font(), label.text()), label.contentsRect().width());
    label.setFittedText(QStringLiteral("----------"));
    label.setFittedText(QStringLiteral("1.0"));
    EXPECT_EQ(label.font(), label.designFont());
    // The label asks for the room of its designed font, whatever size it draws in now.
    label.setFittedText(QStringLiteral("-1,234,567.89 kN"));
    EXPECT_EQ(label.sizeHint().height(), QFontMetrics(label.designFont()).height() + 2 * label.frameWidth());
}

TEST(FittedLabel, GrowsWithItsHeightUpToTheProportionalSizeAndStillFitsItsWidth)
{
    FittedLabel label(QStringLiteral("0"));
    label.setDesignFont(qmx::ui::namedFont(qmx::ui::NamedFont::Arial, 20, true));
    label.setGrowBeyondHeight(40);
    label.show();
    struct Case {
        int width;
        int height;
        const char* text;
        int pixels; // expected size; 0: smaller than the grown size, only the width decides
    };
    const Case cases[] = {
        {400, 40, "12.5", 20},  // the designed height: the designed font
        {400, 30, "12.5", 20},  // lower than designed: never below the designed font for that
        {400, 80, "12.5", 40},  // twice the height: twice the size
        {400, 100, "12.5", 50},
        {120, 100, "-1,234,567.89 kN", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " " << c.text);
        label.setFixedSize(c.width, c.height);
        label.setFittedText(QString::fromLatin1(c.text));
        const int pixels = QFontInfo(label.font()).pixelSize();
        if (c.pixels > 0) {
            EXPECT_EQ(pixels, c.pixels);
        } else {
            EXPECT_LT(pixels, 50);
        }
        EXPECT_LE(widthOf(label.font(), label.text()), label.contentsRect().width() - 4);
    }
    // Switched off: the designed font is the largest again.
    label.setGrowBeyondHeight(0);
    label.setFittedText(QStringLiteral("1"));
    EXPECT_EQ(label.font(), label.designFont());
}
