#include "lang/StringTable.h"

#include <gtest/gtest.h>

using qmx::lang::Language;
using qmx::lang::lookupText;

TEST(StringTable, IdentifiersMatchWithoutRegardToCase)
{
    EXPECT_EQ(lookupText("ids_44", Language::Polish), QStringLiteral("Połączony"));
    EXPECT_EQ(lookupText("IdS_44", Language::English), QStringLiteral("Connected"));
}

TEST(StringTable, UnknownIdentifierGivesEmptyText)
{
    EXPECT_TRUE(lookupText("IDS_999", Language::Polish).isEmpty());
    EXPECT_TRUE(lookupText("", Language::English).isEmpty());
}

TEST(StringTable, ActiveLanguageSelectsTheText)
{
    struct Case {
        const char* id;
        const char* polish;
        const char* english;
    };
    const Case cases[] = {
        {"IDS_45", "Brak połączenia", "No connection"},
        {"IDS_46", "Rozłączony", "Disconnected"},
        {"IDS_49", "Wartość wytarowana", "Tare ok"},
        {"IDS_50", "Wartosc Min/Max zresetowana", "Min/max values reset"},
        {"IDS_68", "Warning", "Warning"},
        {"IDS_86", "Czujnik 1 + Czujnik 2 + Czujnik 3+ Offset", "Sensor 1 + Sensor 2 + Sensor 3+ Offset"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lookupText(c.id, Language::Polish), QString::fromUtf8(c.polish)) << c.id;
        EXPECT_EQ(lookupText(c.id, Language::English), QString::fromUtf8(c.english)) << c.id;
    }
}

TEST(StringTable, ChartTipsHaveExactlyTwoLines)
{
    for (auto lang : {Language::Polish, Language::English}) {
        const QString tips = lookupText("IDS_157", lang);
        EXPECT_EQ(tips.count(u'\n'), 1);
        EXPECT_FALSE(tips.endsWith(u'\n'));
    }
}

TEST(StringTable, IdentifiersAreUnique)
{
    const auto table = qmx::lang::stringTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        for (std::size_t j = i + 1; j < table.size(); ++j) {
            // Lookups ignore letter case, so two ids that differ only in case would hide one another.
            EXPECT_NE(QString::fromLatin1(table[i].id.data(), static_cast<qsizetype>(table[i].id.size())).toLower(),
                      QString::fromLatin1(table[j].id.data(), static_cast<qsizetype>(table[j].id.size())).toLower())
                << table[i].id;
        }
    }
}
