#include "settings/devicefile/DeviceSettingsFile.h"
#include "settings/profile/ProfileDocument.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <set>

using namespace qmx::settings;

namespace {

SectionKeyReader readerOf(const QByteArray& fileText)
{
    auto doc = std::make_shared<ProfileDocument>(ProfileDocument::fromBytes(fileText));
    return [doc](const QString& section, const QString& key) { return doc->value(section, key); };
}

} // namespace

TEST(DeviceSettingsFile, WritesFortyTwoValuesInTenSectionsInTheFileOrder)
{
    const auto entries = deviceSettingsEntries(DeviceSettingsValues{});
    ASSERT_EQ(entries.size(), 42U);
    std::vector<QString> sections;
    for (const auto& e : entries) {
        if (sections.empty() || sections.back() != e.section) {
            sections.push_back(e.section);
        }
    }
    const std::vector<QString> expected{"TensAllConfig", "Tens1Config", "Tens2Config", "Tens3Config", "Tens4Config",
                                        "ModbusRtu",     "Ethernet",    "Out",         "Out1",        "Out2"};
    EXPECT_EQ(sections, expected);
    EXPECT_EQ(entries[0].key, QStringLiteral("SelTens"));
    EXPECT_EQ(entries[7].key, QStringLiteral("Decp"));
    EXPECT_EQ(entries[8].key, QStringLiteral("Range"));
    EXPECT_EQ(entries[10].key, QStringLiteral("Sign"));
    EXPECT_EQ(entries[19].key, QStringLiteral("Sign"));
    EXPECT_EQ(entries[20].key, QStringLiteral("Baudrate"));
    EXPECT_EQ(entries[22].key, QStringLiteral("Address"));
    EXPECT_EQ(entries.back().key, QStringLiteral("state"));
}

TEST(DeviceSettingsFile, MissingFileGivesTheLoadDefaults)
{
    const auto v = readDeviceSettings(readerOf({}));
    EXPECT_EQ(v, DeviceSettingsValues{});
    EXPECT_EQ(v.Rate, 0);
    EXPECT_EQ(v.Decp, 1);
    EXPECT_EQ(v.IP, QStringLiteral("192.168.0.102"));
    EXPECT_EQ(v.Tens[3].Sens, QStringLiteral("2.000"));
    EXPECT_EQ(v.Out1.number2, QStringLiteral("200"));
    EXPECT_EQ(v.Baudrate, 2);
}

TEST(DeviceSettingsFile, SaveThenLoadRestoresEveryValueIncludingNoSelectionAndOddTexts)
{
    DeviceSettingsValues v;
    v.SelTens = 3;
    v.SumOffset = QStringLiteral("2,5");
    v.Rate = -1; // a list without a selection
    v.Filter = 7;
    v.StabMaxDiff = QStringLiteral("abc");
    v.StabSamplesNo = QString();
    v.Units = 4;
    v.Decp = 0;
    v.Tens[1] = {QStringLiteral("1e3"), QStringLiteral("2.5"), true};
    v.Tens[3].Sign = true;
    v.Baudrate = 4;
    v.Parity = 2;
    v.Address = 246;
    v.IP = QStringLiteral("10.1");
    v.Mask = QStringLiteral("not an address");
    v.Out1Stab = true;
    v.Out2 = {5, 1, QStringLiteral("-1.5"), 2, 1, QStringLiteral("x"), 1};

    QByteArray file;
    for (const auto& e : deviceSettingsEntries(v)) {
        file += '[' + e.section.toUtf8() + "]\r\n" + e.key.toUtf8() + '=' + e.text.toUtf8() + "\r\n";
    }
    EXPECT_EQ(readDeviceSettings(readerOf(file)), v);
}

TEST(DeviceSettingsFile, IndicesAndFlagsAreReadAsIntegersOrTakeTheirDefaults)
{
    struct Case {
        const char* line;
        int rate;
        bool sign;
    };
    const Case cases[] = {
        {"Rate=0x3\r\nSign=1", 3, true},   {"Rate=$3\r\nSign=-5", 3, true}, {"Rate=abc\r\nSign=true", 0, false},
        {"Rate= 5 \r\nSign=", 5, false},    {"Rate=7\r\nSign=0", 7, false},  {"Rate=0x\r\nSign=2", 0, true},
    };
    for (const auto& c : cases) {
        const QByteArray text = QByteArray(c.line);
        const QByteArray file = "[TensAllConfig]\r\n" + text.left(text.indexOf('\r')) + "\r\n[Tens1Config]\r\n" +
                                text.mid(text.indexOf('\n') + 1) + "\r\n";
        const auto v = readDeviceSettings(readerOf(file));
        EXPECT_EQ(v.Rate, c.rate) << c.line;
        EXPECT_EQ(v.Tens[0].Sign, c.sign) << c.line;
    }
}

TEST(DeviceSettingsFile, SectionsAndKeysMatchWithoutRegardToCase)
{
    const auto v = readDeviceSettings(readerOf("[tensallconfig]\r\nselTENS=3\r\n[MODBUSRTU]\r\naddress=246\r\n"));
    EXPECT_EQ(v.SelTens, 3);
    EXPECT_EQ(v.Address, 246);
}

TEST(DeviceSettingsFile, TheReportNamesMissingAndUnreadableKeysAndCountsSections)
{
    QByteArray complete;
    for (const auto& e : deviceSettingsEntries(DeviceSettingsValues{})) {
        complete += '[' + e.section.toUtf8() + "]\r\n" + e.key.toUtf8() + '=' + e.text.toUtf8() + "\r\n";
    }
    const DeviceSettingsRead full = readDeviceSettingsReport(ProfileDocument::fromBytes(complete));
    EXPECT_TRUE(full.missingKeys.isEmpty());
    EXPECT_TRUE(full.unreadableKeys.isEmpty());
    EXPECT_EQ(full.sectionsFound, 10);
    EXPECT_EQ(full.values, DeviceSettingsValues{});

    const DeviceSettingsRead partial =
        readDeviceSettingsReport(ProfileDocument::fromBytes("[ModbusRtu]\r\nAddress=4\r\n[TensAllConfig]\r\nRate=abc\r\n"
                                                            "[Tens2Config]\r\nSign=true\r\n"));
    EXPECT_EQ(partial.sectionsFound, 3);
    EXPECT_EQ(partial.values.Address, 4);
    EXPECT_EQ(partial.missingKeys.size(), 42 - 3);
    EXPECT_TRUE(partial.missingKeys.contains(QStringLiteral("Ethernet/IP")));
    EXPECT_FALSE(partial.missingKeys.contains(QStringLiteral("ModbusRtu/Address")));
    EXPECT_EQ(partial.unreadableKeys,
              (QStringList{QStringLiteral("TensAllConfig/Rate: 'abc' is not a whole number"),
                           QStringLiteral("Tens2Config/Sign: 'true' is not a whole number")}));

    for (const char* garbage : {"", "garbage", "[Moje]\r\nklucz=1\r\n"}) {
        const DeviceSettingsRead none = readDeviceSettingsReport(ProfileDocument::fromBytes(garbage));
        EXPECT_EQ(none.sectionsFound, 0) << garbage;
        EXPECT_EQ(none.missingKeys.size(), 42) << garbage;
    }
}
