// The lines of the tool's "settings show" verb.

#include "cli/SettingsCommand.h"
#include "link/Protocol.h"
#include "sim/FactoryDefaults.h"

#include <gtest/gtest.h>

using namespace qmx;

namespace {

template <std::size_t N>
std::vector<std::uint8_t> reply(std::uint8_t code, const std::array<std::uint8_t, N>& request)
{
    std::vector<std::uint8_t> r(request.begin(), request.end());
    r[0] = code;
    r.resize(64, 0);
    return r;
}

QString valueOf(const QStringList& lines, const QString& name)
{
    for (const QString& line : lines) {
        if (line.startsWith(name + u'\t')) {
            return line.mid(name.size() + 1);
        }
    }
    return QStringLiteral("<missing>");
}

TEST(SettingsShow, PrintsTheFactorySettingsFieldByField)
{
    const auto sensor = reply(link::CMD_GET_SENSOR_SETTINGS, settings::encodeSensorSettingsRequest(sim::factorySensorSettings()));
    const auto io = reply(link::CMD_GET_IO_SETTINGS, settings::encodeIoSettingsRequest(sim::factoryIoSettings()));
    const auto lines = cli::settingsShowLines(sensor, io);
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(lines->front(), QStringLiteral("Range1\t1000"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("Sens4")), QStringLiteral("2"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("SignInverted1")), QStringLiteral("no"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("Filter")), QStringLiteral("1"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("Rate")), QStringLiteral("16 / sek (16 samples/s)"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("Units")), QStringLiteral("N - niutony"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("SelTens")), QStringLiteral("1+2+3+4"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("StabSamplesNo")), QStringLiteral("50"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("StabMaxDiff")), QStringLiteral("0.5"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("Baudrate")), QStringLiteral("38400"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("Address")), QStringLiteral("1"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("Parity")), QStringLiteral("None"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("IP")), QStringLiteral("192.168.0.2"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("Mask")), QStringLiteral("255.255.255.0"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("MAC")), QStringLiteral("2:51:4d:58:80:1"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("Out2.Source")), QStringLiteral("Nieaktywne"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("Out2.condition")), QStringLiteral("---"));
    EXPECT_EQ(lines->back(), QStringLiteral("Out2OverloadIndicator\tno"));
    EXPECT_EQ(lines->size(), 4 * 3 + 7 + 7 + 2 * 7 + 2);
}

TEST(SettingsShow, NamesIndicesOutsideTheListsAndShowsRealRateAndExactFloats)
{
    settings::SensorSettings s = sim::factorySensorSettings();
    s.Rate = 5;
    s.Units = 9;
    s.SignBits = 0x0A;
    s.SumOffset = -12.5F;
    s.Sens[1] = 3.9876F;
    settings::IoSettings io = sim::factoryIoSettings();
    io.Out1.Source = 6;
    io.Out1.number2 = 100000000.0F;
    io.Address = 0;
    io.IndicatorFlags = 3;
    const auto lines = cli::settingsShowLines(reply(0x02, settings::encodeSensorSettingsRequest(s)),
                                              reply(0x03, settings::encodeIoSettingsRequest(io)));
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(valueOf(*lines, QStringLiteral("Rate")), QStringLiteral("62 / sek (60 samples/s)"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("Units")), QStringLiteral("(index 9 outside the list)"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("SignInverted2")), QStringLiteral("yes"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("SignInverted3")), QStringLiteral("no"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("SumOffset")), QStringLiteral("-12.5"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("Sens2")), QStringLiteral("3.9876"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("Out1.Source")), QStringLiteral("(index 6 outside the list)"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("Out1.number2")), QStringLiteral("100000000"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("Address")), QStringLiteral("(0 outside 1-247)"));
    EXPECT_EQ(valueOf(*lines, QStringLiteral("Out1StabilityIndicator")), QStringLiteral("yes"));
}

TEST(SettingsShow, ShortFrameGivesNoLines)
{
    const auto sensor = reply(0x02, settings::encodeSensorSettingsRequest(sim::factorySensorSettings()));
    const auto io = reply(0x03, settings::encodeIoSettingsRequest(sim::factoryIoSettings()));
    EXPECT_FALSE(cli::settingsShowLines(std::span(sensor).first(47), io).has_value());
    EXPECT_FALSE(cli::settingsShowLines(sensor, std::span(io).first(49)).has_value());
}

} // namespace
