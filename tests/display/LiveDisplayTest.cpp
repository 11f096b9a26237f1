#include "display/LiveDisplay.h"

#include "link/Protocol.h"

#include <gtest/gtest.h>

using namespace qmx::display;
using qmx::link::Measurement;

TEST(LiveDisplay, GaugesSplitTheLoadIntoRatedWorkingAndLimit)
{
    struct Case {
        int load;
        int rated, working, limit;
    };
    const Case cases[] = {
        {0, 0, 0, 0},     {100, 100, 0, 0},  {130, 100, 30, 0},    {175, 100, 50, 25},
        {250, 100, 50, 50}, {65535, 100, 50, 50}, {1, 1, 0, 0}, {150, 100, 50, 0},
    };
    for (const auto& c : cases) {
        const auto g = gaugePositions(static_cast<std::uint16_t>(c.load));
        EXPECT_EQ(g.rated, c.rated) << c.load;
        EXPECT_EQ(g.working, c.working) << c.load;
        EXPECT_EQ(g.limit, c.limit) << c.load;
    }
}

TEST(LiveDisplay, StatusCodesHaveTheirTextsColoursAndValueRule)
{
    struct Case {
        std::uint8_t status;
        const char* text;
        QColor colour;
        bool showsValue;
    };
    const Case cases[] = {
        {0, "Błąd przetwornika", QColor(255, 0, 0), false},
        {1, "Brak czujnika", QColor(211, 211, 211), false},
        {2, "Pomiar niestabilny", QColor(255, 165, 0), true},
        {3, "Pomiar stabilny", QColor(165, 255, 0), true},
        {4, "Czujnik przeciążony", QColor(255, 0, 0), true},
    };
    for (const auto& c : cases) {
        const auto a = channelStatusAppearance(c.status);
        ASSERT_TRUE(a) << int(c.status);
        EXPECT_EQ(a->text, QString::fromUtf8(c.text));
        EXPECT_EQ(a->colour, c.colour);
        EXPECT_EQ(channelShowsValue(c.status), c.showsValue);
    }
    for (int unknown : {5, 9, 255}) {
        EXPECT_FALSE(channelStatusAppearance(static_cast<std::uint8_t>(unknown)));
        EXPECT_TRUE(channelShowsValue(static_cast<std::uint8_t>(unknown)));
    }
}

TEST(LiveDisplay, SelectionDecidesValueTareCommandAndCaption)
{
    Measurement m;
    m.SumValue = 10.0F;
    m.ChannelValue = {1.0F, 2.0F, 3.0F, 4.0F};
    struct Case {
        DisplaySelection selection;
        float value;
        std::uint8_t command;
        const char* caption;
    };
    const Case cases[] = {
        {DisplaySelection::Sum, 10.0F, qmx::link::CMD_TARE_SUM, "Wartość sumaryczna"},
        {DisplaySelection::Sensor1, 1.0F, qmx::link::CMD_ZERO_SENSOR1, "Czujnik 1"},
        {DisplaySelection::Sensor2, 2.0F, qmx::link::CMD_ZERO_SENSOR2, "Czujnik 2"},
        {DisplaySelection::Sensor3, 3.0F, qmx::link::CMD_ZERO_SENSOR3, "Czujnik 3"},
        {DisplaySelection::Sensor4, 4.0F, qmx::link::CMD_ZERO_SENSOR4, "Czujnik 4"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(selectedValue(m, c.selection), c.value);
        EXPECT_EQ(tareCommand(c.selection), c.command);
        EXPECT_EQ(selectionCaption(c.selection), QString::fromUtf8(c.caption));
    }
}

TEST(LiveDisplay, StatesAndCaptionsFollowTheLanguageAndAreRecognisedInEither)
{
    using qmx::lang::Language;
    struct StateCase {
        std::uint8_t status;
        const char* polish;
        const char* english;
    };
    const StateCase states[] = {
        {0, "Błąd przetwornika", "Converter error"}, {1, "Brak czujnika", "No sensor"},
        {2, "Pomiar niestabilny", "Unstable"},       {3, "Pomiar stabilny", "Stable"},
        {4, "Czujnik przeciążony", "Sensor overloaded"},
    };
    for (const auto& c : states) {
        const auto polish = channelStatusAppearance(c.status, Language::Polish);
        const auto english = channelStatusAppearance(c.status, Language::English);
        ASSERT_TRUE(polish && english) << int(c.status);
        EXPECT_EQ(polish->text, QString::fromUtf8(c.polish));
        EXPECT_EQ(english->text, QString::fromUtf8(c.english));
        EXPECT_EQ(english->colour, polish->colour) << "the colour does not depend on the language";
    }
    EXPECT_FALSE(channelStatusAppearance(5, Language::English));

    struct CaptionCase {
        DisplaySelection selection;
        const char* polish;
        const char* english;
    };
    const CaptionCase captions[] = {
        {DisplaySelection::Sum, "Wartość sumaryczna", "Sum value"}, {DisplaySelection::Sensor1, "Czujnik 1", "Sensor 1"},
        {DisplaySelection::Sensor2, "Czujnik 2", "Sensor 2"},       {DisplaySelection::Sensor3, "Czujnik 3", "Sensor 3"},
        {DisplaySelection::Sensor4, "Czujnik 4", "Sensor 4"},
    };
    for (const auto& c : captions) {
        EXPECT_EQ(selectionCaption(c.selection, Language::Polish), QString::fromUtf8(c.polish));
        EXPECT_EQ(selectionCaption(c.selection, Language::English), QString::fromUtf8(c.english));
    }
}
