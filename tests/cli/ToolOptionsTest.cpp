// The tool's options, in-process: watch's formats, rounding, unit and status words; record's speed
// periods and its progress and summary texts; the help's exit-code list.

#include "cli/CliSession.h"
#include "cli/ExitCodes.h"
#include "cli/RecordCommand.h"
#include "cli/WatchCommand.h"
#include "sim/SimBackend.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <variant>

using namespace qmx;

namespace {

/// A measurement whose values are float32 readings with binary noise behind the shown digits.
link::Measurement noisyMeasurement()
{
    link::Measurement m;
    m.SumValue = 983.008118F;
    m.ChannelValue = {321.85F, -2.25F, 0.1F, 7.0F};
    m.ChannelStatus = {3, 2, 1, 4};
    m.InputState = 2;
    m.OutputState = 1;
    return m;
}

} // namespace

struct WatchLineCase {
    const char* name;
    cli::WatchLayout layout;
    const char* header;
    const char* line;
};

class WatchLines : public ::testing::TestWithParam<WatchLineCase> {};

TEST_P(WatchLines, AreRoundedToTheDecimalsAndNameTheUnit)
{
    const WatchLineCase& c = GetParam();
    EXPECT_EQ(cli::watchHeader(c.layout).toStdString(), c.header);
    EXPECT_EQ(cli::watchLine(1.5, noisyMeasurement(), c.layout).toStdString(), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, WatchLines,
    ::testing::Values(
        // Rounded half away from zero as the program's readouts: -2.25 to one place is -2.3.
        WatchLineCase{"TsvDefault",
                      {cli::WatchFormat::Tsv, 1, false, QStringLiteral("kN")},
                      "time_s\tsum[kN]\ts1[kN]\ts2[kN]\ts3[kN]\ts4[kN]\tstatus1\tstatus2\tstatus3\tstatus4\tin1\tin2\tout1\tout2",
                      "1.500\t983.0\t321.9\t-2.3\t0.1\t7.0\t3\t2\t1\t4\t0\t1\t1\t0"},
        WatchLineCase{"CsvThreeDecimalsWords",
                      {cli::WatchFormat::Csv, 3, true, QStringLiteral("N")},
                      "time_s,sum[N],s1[N],s2[N],s3[N],s4[N],status1,status2,status3,status4,in1,in2,out1,out2",
                      "1.500,983.008,321.850,-2.250,0.100,7.000,stable,unstable,no-sensor,overloaded,0,1,1,0"},
        WatchLineCase{"TsvNoDecimalsUnknownUnit",
                      {cli::WatchFormat::Tsv, 0, false, QString()},
                      "time_s\tsum\ts1\ts2\ts3\ts4\tstatus1\tstatus2\tstatus3\tstatus4\tin1\tin2\tout1\tout2",
                      "1.500\t983\t322\t-2\t0\t7\t3\t2\t1\t4\t0\t1\t1\t0"},
        WatchLineCase{"JsonWords",
                      {cli::WatchFormat::Json, 2, true, QStringLiteral("kg")},
                      "",
                      R"({"time_s":1.500,"unit":"kg","sum":983.01,"s1":321.85,"s2":-2.25,"s3":0.10,"s4":7.00,)"
                      R"("status1":"stable","status2":"unstable","status3":"no-sensor","status4":"overloaded",)"
                      R"("in1":0,"in2":1,"out1":1,"out2":0})"},
        WatchLineCase{"JsonCodes",
                      {cli::WatchFormat::Json, 1, false, QStringLiteral("N")},
                      "",
                      R"({"time_s":1.500,"unit":"N","sum":983.0,"s1":321.9,"s2":-2.3,"s3":0.1,"s4":7.0,)"
                      R"("status1":3,"status2":2,"status3":1,"status4":4,"in1":0,"in2":1,"out1":1,"out2":0})"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Watch, AValueThatIsNotFiniteIsNullInJson)
{
    link::Measurement m = noisyMeasurement();
    m.ChannelValue[0] = std::numeric_limits<float>::quiet_NaN();
    const QString line = cli::watchLine(0, m, {cli::WatchFormat::Json, 1, false, {}});
    EXPECT_TRUE(line.contains(QStringLiteral("\"s1\":null"))) << line.toStdString();
}

TEST(Watch, StatusWordsCoverEveryCodeAndNameUnknownOnes)
{
    const std::pair<std::uint8_t, const char*> cases[] = {
        {0, "converter-error"}, {1, "no-sensor"}, {2, "unstable"}, {3, "stable"}, {4, "overloaded"}, {9, "unknown-9"}};
    for (const auto& [code, word] : cases) {
        EXPECT_EQ(cli::statusWord(code).toStdString(), word);
    }
}

struct WatchArgsCase {
    QStringList args;
    bool good;
};

TEST(Watch, OptionsAreCheckedBeforeConnecting)
{
    const WatchArgsCase cases[] = {
        {{}, true},
        {{"--format", "json", "--status-words", "--decimals", "4", "--count", "3"}, true},
        {{"--format", "csv", "--seconds", "0.5"}, true},
        {{"--format", "xml"}, false},
        {{"--format"}, false},
        {{"--decimals", "5"}, false},
        {{"--decimals", "-1"}, false},
        {{"--count", "-2"}, false},
        {{"--seconds", "nan"}, false},
        {{"--status"}, false},
    };
    for (const auto& c : cases) {
        const auto parsed = cli::parseWatchArgs(c.args);
        EXPECT_EQ(std::holds_alternative<cli::WatchOptions>(parsed), c.good) << c.args.join(u' ').toStdString();
    }
    const auto parsed = std::get<cli::WatchOptions>(cli::parseWatchArgs({"--format", "json", "--status-words", "--decimals", "3"}));
    EXPECT_EQ(parsed.format, cli::WatchFormat::Json);
    EXPECT_TRUE(parsed.statusWords);
    EXPECT_EQ(parsed.decimals, 3);
    const auto defaults = std::get<cli::WatchOptions>(cli::parseWatchArgs({}));
    EXPECT_EQ(defaults.format, cli::WatchFormat::Tsv);
    EXPECT_FALSE(defaults.statusWords);
    EXPECT_EQ(defaults.decimals, 1);
}

TEST(Watch, TheHeaderNamesTheUnitTheTransducerIsSetTo)
{
    sim::SimBackend backend;
    auto sensor = backend.transducer().sensorSettings();
    sensor.Units = 1; // kN
    backend.transducer().setSensorSettings(sensor);
    cli::CliSession session(backend);
    ASSERT_EQ(session.connect(), cli::SessionError::None);
    cli::WatchOptions options;
    options.count = 2;
    testing::internal::CaptureStdout();
    EXPECT_EQ(cli::runWatch(session, options), 0);
    const QString out = QString::fromStdString(testing::internal::GetCapturedStdout());
    const QStringList lines = out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("time_s\tsum[kN]\ts1[kN]"))) << lines[0].toStdString();
    // Every value has exactly the default one decimal: no float noise.
    const QRegularExpression line(QStringLiteral(R"(^\d+\.\d{3}(\t-?\d+\.\d){5}(\t\d){8}$)"));
    EXPECT_TRUE(line.match(lines[1]).hasMatch()) << lines[1].toStdString();
    EXPECT_TRUE(line.match(lines[2]).hasMatch()) << lines[2].toStdString();
}

struct SpeedCase {
    const char* text;
    std::optional<int> index;
};

TEST(Record, ASpeedPeriodPicksTheSpeedWithThatPeriod)
{
    const SpeedCase cases[] = {
        {"0.01s", 0}, {"10ms", 0}, {"0.02s", 1}, {"40ms", 2}, {"0.1s", 3}, {".1s", 3}, {"100ms", 3},
        {"1s", 4},    {"6s", 5},   {"0.1min", 5}, {"60s", 6}, {"1min", 6}, {"0.3s", std::nullopt},
        {"2s", std::nullopt}, {"0.1", std::nullopt}, {"s", std::nullopt}, {"-1s", std::nullopt}, {"1 h", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cli::speedIndexForPeriod(QString::fromLatin1(c.text)), c.index) << c.text;
    }
}

TEST(Record, TheSpeedOptionTakesAnIndexOrAPeriodAndListsThePeriodsWhenRefused)
{
    const auto byIndex = cli::parseRecordArgs({"--out", "x.csv", "--speed", "2"});
    ASSERT_TRUE(std::holds_alternative<cli::RecordArgs>(byIndex));
    EXPECT_EQ(std::get<cli::RecordArgs>(byIndex).speed, 2);
    const auto byPeriod = cli::parseRecordArgs({"--out", "x.csv", "--speed", "0.1s"});
    ASSERT_TRUE(std::holds_alternative<cli::RecordArgs>(byPeriod));
    EXPECT_EQ(std::get<cli::RecordArgs>(byPeriod).speed, 3);
    for (const char* bad : {"0.3s", "7", "fast"}) {
        const auto refused = cli::parseRecordArgs({"--out", "x.csv", "--speed", bad});
        ASSERT_TRUE(std::holds_alternative<QString>(refused)) << bad;
        EXPECT_TRUE(std::get<QString>(refused).contains(QStringLiteral("0.01s, 0.02s, 0.04s, 0.1s, 1s, 6s, 60s")))
            << std::get<QString>(refused).toStdString();
    }
}

TEST(Record, ProgressAndSummaryTellLinesSizeAndElapsedTime)
{
    EXPECT_EQ(cli::recordProgressText(12, 900, 4'200).toStdString(), "recording: 12 lines, 900 B, 0:00:04");
    EXPECT_EQ(cli::recordProgressText(360000, 5 * 1024 * 1024 + 512 * 1024, 3'725'000).toStdString(),
              "recording: 360000 lines, 5.5 MiB, 1:02:05");
    EXPECT_EQ(cli::recordSummaryText(QStringLiteral("a.csv"), 30, 2048, 61'000).toStdString(),
              "recorded 30 lines in 0:01:01; a.csv is 2.0 KiB");
}

TEST(ExitCodes, TheHelpListsEveryCodeOnceWithItsMeaning)
{
    const QString help = cli::exitCodesHelp();
    const QStringList lines = help.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(cli::kExitCodes.size()) + 1);
    EXPECT_EQ(lines[0], QStringLiteral("exit codes:"));
    for (std::size_t i = 0; i < cli::kExitCodes.size(); ++i) {
        const auto& entry = cli::kExitCodes[i];
        const QString expected = QStringLiteral("%1  %2").arg(entry.code).arg(QLatin1String(entry.meaning));
        EXPECT_EQ(lines[static_cast<qsizetype>(i) + 1].trimmed(), expected);
    }
}
