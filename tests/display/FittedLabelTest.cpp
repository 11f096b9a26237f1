#include "ui/widgets/FittedLabel.h"
#include "ui/widgets/Fonts.h"

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
