#include "WidgetTestSupport.h"
#include "ui/widgets/HeaderBar.h"
#include "ui/widgets/Indicators.h"

#include <QImage>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace qmx::ui;

namespace {

QColor baseOf(const QLineEdit& edit)
{
    return edit.palette().color(QPalette::Base);
}

TEST(setStateEdit, ShowsOnTextOnGreenAndOffTextOnRed)
{
    QLineEdit edit;
    edit.setReadOnly(true);
    edit.resize(100, 22);

    setStateEdit(&edit, QStringLiteral("ON"), QStringLiteral("OFF"), true);
    EXPECT_EQ(edit.text(), QStringLiteral("ON"));
    EXPECT_EQ(baseOf(edit), QColor(175, 216, 135));
    // The style paints the field with the palette's base colour (right end, clear of the text).
    EXPECT_EQ(edit.grab().toImage().pixelColor(90, 11), QColor(175, 216, 135));

    setStateEdit(&edit, QStringLiteral("ON"), QStringLiteral("OFF"), false);
    EXPECT_EQ(edit.text(), QStringLiteral("OFF"));
    EXPECT_EQ(baseOf(edit), QColor(253, 124, 102));
    EXPECT_EQ(edit.grab().toImage().pixelColor(90, 11), QColor(253, 124, 102));
}

TEST(setStateEdit, RepeatedStateTouchesNeitherTextNorPalette)
{
    QLineEdit edit;
    int textChanges = 0;
    QObject::connect(&edit, &QLineEdit::textChanged, [&textChanges] { ++textChanges; });
    setStateEdit(&edit, QStringLiteral("ZAPIS"), QStringLiteral("..."), true);
    edit.setCursorPosition(2);
    const qint64 paletteKey = edit.palette().cacheKey();

    for (int tick = 0; tick < 5; ++tick) {
        setStateEdit(&edit, QStringLiteral("ZAPIS"), QStringLiteral("..."), true);
    }
    EXPECT_EQ(textChanges, 1);
    EXPECT_EQ(edit.cursorPosition(), 2);
    EXPECT_EQ(edit.palette().cacheKey(), paletteKey);

    setStateEdit(&edit, QStringLiteral("ZAPIS"), QStringLiteral("..."), false);
    EXPECT_EQ(textChanges, 2);
}

TEST(setStateEdit, SameTextInBothStatesStillChangesColour)
{
    QLineEdit edit;
    setStateEdit(&edit, QStringLiteral("AKTYWNY"), QStringLiteral("AKTYWNY"), true);
    setStateEdit(&edit, QStringLiteral("AKTYWNY"), QStringLiteral("AKTYWNY"), false);
    EXPECT_EQ(edit.text(), QStringLiteral("AKTYWNY"));
    EXPECT_EQ(baseOf(edit), QColor(253, 124, 102));
}

TEST(setStateHeader, OnIsAGreenGradientOffIsFlatGrey)
{
    HeaderBar header(QStringLiteral("Wykres"));
    header.resize(200, 64);

    setStateHeader(&header, QStringLiteral("Wykres aktywny"), QStringLiteral("Wykres nieaktywny"), true);
    EXPECT_EQ(header.caption(), QStringLiteral("Wykres aktywny"));
    EXPECT_EQ(header.gradientStart(), QColor(0, 255, 0));
    EXPECT_EQ(header.gradientEnd(), QColor(0, 128, 0));
    QImage image = header.grab().toImage();
    EXPECT_EQ(image.pixelColor(2, 0), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(2, 63), QColor(0, 128, 0));

    setStateHeader(&header, QStringLiteral("Wykres aktywny"), QStringLiteral("Wykres nieaktywny"), false);
    EXPECT_EQ(header.caption(), QStringLiteral("Wykres nieaktywny"));
    EXPECT_EQ(header.gradientStart(), QColor(111, 104, 104));
    EXPECT_EQ(header.gradientEnd(), std::nullopt);
    image = header.grab().toImage();
    EXPECT_EQ(image.pixelColor(2, 0), QColor(111, 104, 104));
    EXPECT_EQ(image.pixelColor(2, 63), QColor(111, 104, 104));
}

TEST(setStateHeader, RepeatedStateDoesNotRepaint)
{
    HeaderBar header;
    header.resize(200, 24);
    setStateHeader(&header, QStringLiteral("Zapis do pliku aktywowany"), QStringLiteral("Zapis do pliku"), false);
    qmx::test::PaintCounter paints(&header);
    paints.showAndSettle();
    for (int tick = 0; tick < 5; ++tick) {
        setStateHeader(&header, QStringLiteral("Zapis do pliku aktywowany"), QStringLiteral("Zapis do pliku"),
                       false);
    }
    EXPECT_EQ(paints.settle(), 0);
    setStateHeader(&header, QStringLiteral("Zapis do pliku aktywowany"), QStringLiteral("Zapis do pliku"), true);
    EXPECT_GE(paints.settle(), 1);
}

} // namespace
