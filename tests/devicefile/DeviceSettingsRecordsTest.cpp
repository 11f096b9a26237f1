// Between the transducer's records and the values of a device settings file: real values are
// written with the digits they need, so a file read back gives the very same records.

#include "settings/devicefile/DeviceSettingsRecords.h"
#include "settings/profile/ProfileDocument.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <memory>

using namespace qmx;
using namespace qmx::settings;

namespace {

const display::NumberLocale kPoint = display::NumberLocale::c();
const display::NumberLocale kComma{u',', QChar(0x00A0)};

/// Records holding values that the display's decimals cannot show (0.75 with 1 decimal and so on).
std::pair<SensorSettings, IoSettings> awkwardRecords()
{
    SensorSettings s;
    s.Range = {1, 500, 2500, 100000000};
    s.Sens = {0.1F, 2.25F, 2.1234567F, 100000000.0F};
    s.SignBits = 0x05;
    s.Filter = 3;
    s.Rate = 6;
    s.Units = 4;
    s.SelTens = 2;
    s.SumOffset = 0.75F;
    s.StabSamplesNo = 200;
    s.StabMaxDiff = 0.75F;
    IoSettings io;
    io.Baudrate = 4;
    io.Address = 247;
    io.Parity = 2;
    io.IP = {10, 0, 0, 1};
    io.Mask = {255, 255, 254, 0};
    io.Gate = {10, 0, 0, 254};
    io.MAC = {0x02, 0x51, 0x4D, 0x58, 0x80, 0x01};
    io.Out1 = {1, 1, 0, 1, 5, 150.25F, -12.5F};
    io.Out2 = {2, 0, 1, 0, 3, 1e6F, 0.1F};
    io.IndicatorFlags = kOut2OverloadFlag;
    return {s, io};
}

/// The file text that the entries make, read back through the file reader.
DeviceSettingsValues throughFile(const DeviceSettingsValues& values)
{
    QByteArray file;
    for (const auto& e : deviceSettingsEntries(values)) {
        file += '[' + e.section.toUtf8() + "]\r\n" + e.key.toUtf8() + '=' + e.text.toUtf8() + "\r\n";
    }
    auto doc = std::make_shared<ProfileDocument>(ProfileDocument::fromBytes(file));
    return readDeviceSettings([doc](const QString& section, const QString& key) { return doc->value(section, key); });
}

struct FileCase {
    int decimals;
    const display::NumberLocale* locale;
};

class RecordsThroughAFile : public ::testing::TestWithParam<FileCase> {};

TEST_P(RecordsThroughAFile, ComeBackByteForByteWhateverTheDecimals)
{
    const auto [sensor, io] = awkwardRecords();
    const FileCase& c = GetParam();
    const auto values = valuesFromRecords(sensor, io, c.decimals, *c.locale);
    const auto back = recordsFromValues(throughFile(values), io.MAC, *c.locale);
    ASSERT_TRUE(back.problems.isEmpty()) << back.problems.join(u'\n').toStdString();
    EXPECT_EQ(encodeSensorSettingsRequest(*back.sensor), encodeSensorSettingsRequest(sensor));
    EXPECT_EQ(encodeIoSettingsRequest(*back.io), encodeIoSettingsRequest(io));
}

INSTANTIATE_TEST_SUITE_P(EveryDecp, RecordsThroughAFile,
                         ::testing::Values(FileCase{0, &kPoint}, FileCase{1, &kPoint}, FileCase{2, &kPoint},
                                           FileCase{3, &kPoint}, FileCase{4, &kPoint}, FileCase{0, &kComma},
                                           FileCase{1, &kComma}, FileCase{4, &kComma}));

TEST(RecordsToValues, RealValuesShowTheDecimalsOrMoreWhereTheValueNeedsThem)
{
    const auto [sensor, io] = awkwardRecords();
    const auto v = valuesFromRecords(sensor, io, 1, kPoint);
    EXPECT_EQ(v.StabMaxDiff, QStringLiteral("0.75"));
    EXPECT_EQ(v.SumOffset, QStringLiteral("0.75"));
    EXPECT_EQ(v.Tens[0].Sens, QStringLiteral("0.1000"));
    EXPECT_EQ(v.Tens[2].Sens, QStringLiteral("2.1234567"));
    EXPECT_EQ(v.Out1.number1, QStringLiteral("150.25"));
    EXPECT_EQ(v.Out1.number2, QStringLiteral("-12.5"));
    EXPECT_EQ(v.Out2.number1, QStringLiteral("1000000.0"));
    EXPECT_EQ(v.Out2.number2, QStringLiteral("0.1"));
    const auto none = valuesFromRecords(sensor, io, 0, kComma);
    EXPECT_EQ(none.Out1.number2, QStringLiteral("-12,5"));
    EXPECT_EQ(none.Out2.number1, QStringLiteral("1000000"));
}

TEST(ValuesToRecords, RefusalsShowTheBoundsAsTheyAre)
{
    const auto [sensor, io] = awkwardRecords();
    auto v = valuesFromRecords(sensor, io, 1, kPoint);
    v.Tens[0].Sens = QStringLiteral("0.05");
    v.StabMaxDiff = QStringLiteral("-1");
    v.Out2.number1 = QStringLiteral("2e8");
    const auto r = recordsFromValues(v, io.MAC, kPoint);
    EXPECT_FALSE(r.sensor.has_value());
    EXPECT_EQ(r.problems, (QStringList{
                              QStringLiteral("TensAllConfig/StabMaxDiff: '-1' is not a number from 0 to 100000000"),
                              QStringLiteral("Tens1Config/Sens: '0.05' is not a number from 0.1 to 100000000"),
                              QStringLiteral("Out2/number1: '2e8' is not a number from -100000000 to 100000000"),
                          }));
}

} // namespace
