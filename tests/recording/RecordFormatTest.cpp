// Texts of the recorder: header, data lines, the speed list, the countdown label and file names.

#include "recording/recorder/RecordFormat.h"

#include <gtest/gtest.h>

#include <limits>

using namespace qmx;
using namespace qmx::recording;

namespace {

const display::NumberLocale kComma{u',', u'\u00A0'};
const display::NumberLocale kPoint = display::NumberLocale::c();

RecordColumns allColumns()
{
    return RecordColumns{true, true, true, true, {true, true, true, true}};
}

RecordValues sampleValues()
{
    RecordValues v;
    v.stamp = QDateTime(QDate(2026, 12, 9), QTime(14, 3, 7, 42));
    v.number = 0;
    v.sum = 12.5F;
    v.sensor = {3.1F, -0.004F, 1234.5F, 0.0F};
    v.decimals = 2;
    return v;
}

} // namespace

TEST(RecordFormat, FirstRecordOfARunIsHeaderThenDataLineEachEndingWithSemicolonAndCrLf)
{
    const QByteArray bytes = buildRecordLine(allColumns(), sampleValues(), true, kComma);
    EXPECT_EQ(bytes, QByteArray("Date;Time;No.;Sum;Canal 1;Canal 2;Canal 3;Canal 4;\r\n"
                                "9-12-2026;14:3:7:42;0;12,50;3,10;0,00;1234,50;0,00;\r\n"));
}

TEST(RecordFormat, LaterRecordsHaveNoHeader)
{
    RecordValues v = sampleValues();
    v.number = 17;
    EXPECT_EQ(buildRecordLine(allColumns(), v, false, kPoint),
              QByteArray("9-12-2026;14:3:7:42;17;12.50;3.10;0.00;1234.50;0.00;\r\n"));
}

TEST(RecordFormat, ColumnsFollowTheTickedBoxesInFixedOrder)
{
    struct Case {
        RecordColumns columns;
        const char* header;
        const char* fields;
    };
    const Case cases[] = {
        {RecordColumns{false, false, false, false, {true, false, false, false}}, "Canal 1;", "3,10;"},
        {RecordColumns{false, false, false, true, {false, false, false, true}}, "Sum;Canal 4;", "12,50;0,00;"},
        {RecordColumns{false, true, true, false, {false, true, false, false}}, "Time;No.;Canal 2;", "14:3:7:42;0;0,00;"},
        {RecordColumns{true, false, false, false, {false, false, true, false}}, "Date;Canal 3;", "9-12-2026;1234,50;"},
        {RecordColumns{}, "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(recordHeader(c.columns), QString::fromLatin1(c.header));
        EXPECT_EQ(recordFields(c.columns, sampleValues(), kComma), QString::fromLatin1(c.fields));
    }
}

TEST(RecordFormat, NoColumnTickedGivesEmptyLines)
{
    EXPECT_EQ(buildRecordLine(RecordColumns{}, sampleValues(), true, kPoint), QByteArray("\r\n\r\n"));
}

TEST(RecordFormat, DateAndTimeHaveNoLeadingZeros)
{
    const RecordColumns dateTime{true, true, false, false, {}};
    struct Case {
        QDateTime stamp;
        const char* text;
    };
    const Case cases[] = {
        {QDateTime(QDate(2027, 1, 2), QTime(0, 0, 0, 0)), "2-1-2027;0:0:0:0;"},
        {QDateTime(QDate(2026, 10, 31), QTime(23, 59, 59, 999)), "31-10-2026;23:59:59:999;"},
        {QDateTime(QDate(2026, 3, 5), QTime(9, 8, 7, 6)), "5-3-2026;9:8:7:6;"},
    };
    for (const Case& c : cases) {
        RecordValues v = sampleValues();
        v.stamp = c.stamp;
        EXPECT_EQ(recordFields(dateTime, v, kPoint), QString::fromLatin1(c.text));
    }
}

TEST(RecordFormat, ValuesUseTheDisplayDecimalsWithoutGroupingOrUnit)
{
    const RecordColumns sumOnly{false, false, false, true, {}};
    struct Case {
        float value;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {12345.678F, 0, "12346;"},
        {12345.678F, 1, "12345,7;"},
        {-1.5F, 3, "-1,500;"},
        {123456789.0F, 2, "1,2345679E+8;"},
        {std::numeric_limits<float>::quiet_NaN(), 2, "NAN;"},
    };
    for (const Case& c : cases) {
        RecordValues v = sampleValues();
        v.sum = c.value;
        v.decimals = c.decimals;
        EXPECT_EQ(recordFields(sumOnly, v, kComma), QString::fromLatin1(c.text)) << c.value;
    }
}

TEST(RecordFormat, RecordNumbersBeyond32BitsStayPositive)
{
    RecordValues v = sampleValues();
    v.number = 2147483648LL;
    EXPECT_EQ(recordFields(RecordColumns{false, false, true, false, {}}, v, kPoint), QStringLiteral("2147483648;"));
}

TEST(RecordFormat, SpeedIndexGivesFramesPerRecordAndOutsideTheListRecordsAsTenPerSecond)
{
    const std::pair<int, std::uint32_t> cases[] = {{0, 1},   {1, 2},    {2, 4},  {3, 10}, {4, 100},
                                                   {5, 600}, {6, 6000}, {-1, 10}, {7, 10}, {1000, 10}};
    for (const auto& [index, frames] : cases) {
        EXPECT_EQ(framesPerRecord(index), frames) << index;
    }
}

TEST(RecordFormat, TimeToNextRecordIsThreeSignificantDigitsWithTwoDecimals)
{
    const std::pair<std::uint32_t, const char*> cases[] = {
        {9, "0,09 s"}, {1, "0,01 s"}, {0, "0,00 s"}, {5999, "60,00 s"}, {599, "5,99 s"}, {5990, "59,90 s"}, {1234, "12,30 s"}};
    for (const auto& [frames, text] : cases) {
        EXPECT_EQ(timeToNextRecordText(frames, kComma), QString::fromUtf8(text)) << frames;
    }
    EXPECT_EQ(timeToNextRecordText(9, kPoint), QStringLiteral("0.09 s"));
}

TEST(RecordFormat, ChosenFileNameGetsCsvUnlessItsExtensionIsExactlyCsv)
{
    const std::pair<const char*, const char*> cases[] = {
        {"dane.csv", "dane.csv"},
        {"dane.txt", "dane.txt.csv"},
        {"dane.CSV", "dane.CSV.csv"},
        {"dane", "dane.csv"},
        {"/home/u/pomiary.v2/dane", "/home/u/pomiary.v2/dane.csv"},
        {"/home/u/pomiary.v2/dane.csv", "/home/u/pomiary.v2/dane.csv"},
        {"dane.csv.bak", "dane.csv.bak.csv"},
        {"/tmp/.csv", "/tmp/.csv"},
    };
    for (const auto& [chosen, kept] : cases) {
        EXPECT_EQ(withCsvExtension(QString::fromUtf8(chosen)), QString::fromUtf8(kept)) << chosen;
    }
}
