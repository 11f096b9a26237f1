#include "settings/core/ListItems.h"

#include <gtest/gtest.h>

using namespace qmx::settings;

TEST(ListItems, PolishItemTextsSurviveAsUnicode)
{
    const QStringList items = toStringList(kOutSourceItems);
    ASSERT_EQ(items.size(), 6);
    EXPECT_EQ(items[1], QStringLiteral("Wejście 1"));
    EXPECT_EQ(items[5], QStringLiteral("Suma"));
}

TEST(ListItems, ModbusAddressListRunsFromOneTo247)
{
    const QStringList items = modbusAddressItems();
    ASSERT_EQ(items.size(), 247);
    EXPECT_EQ(items.front(), QStringLiteral("1"));
    EXPECT_EQ(items.back(), QStringLiteral("247"));
}
