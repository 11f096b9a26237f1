// Reading back files the recorder itself wrote: every column set, both decimal separators, runs
// appended to one file, damaged and torn lines, and files the recorder did not write.

#include "recording/recorder/Recorder.h"
#include "recording/review/RecordingReader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace qmx;
using namespace qmx::recording;

namespace {

const display::NumberLocale kPoint{u'.', u','};
const display::NumberLocale kComma{u',', u'\u00A0'};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// Sensor ch (0..3) of frame i, and the sum.
float sensorValue(int i, int ch) { return static_cast<float>(i) * 1.25F - 3.5F + static_cast<float>(ch) * 100.0F; }
float sumValue(int i) { return static_cast<float>(i) * -0.5F + 7.0F; }

/// Records `frames` frames, one per 10 ms of the clock starting at `start`, as one run of `path`.
void recordRun(const QString& path, const RecordColumns& columns, const display::NumberLocale& locale, int frames,
               QDateTime start)
{
    QDateTime now = start;
    Recorder recorder(locale, [&now] { return now; });
    recorder.setDecimalsSource([] { return 2; });
    RecordOptions o;
    o.speedIndex = 0;
    o.columns = columns;
    o.fileName = path;
    recorder.setOptions(o);
    ASSERT_FALSE(recorder.beginRun());
    for (int i = 0; i < frames; ++i) {
        link::Measurement m;
        for (int ch = 0; ch < 4; ++ch) {
            m.ChannelValue[static_cast<std::size_t>(ch)] = sensorValue(i, ch);
        }
        m.SumValue = sumValue(i);
        ASSERT_FALSE(recorder.recordMeasurement(m).error);
        now = now.addMSecs(10);
    }
    ASSERT_FALSE(recorder.endRun());
}

struct ColumnCase {
    const char* name;
    RecordColumns columns;
    ReviewTimeBase timeBase;
};

const ColumnCase kColumnCases[] = {
    {"all", {true, true, true, true, {true, true, true, true}}, ReviewTimeBase::ClockTime},
    {"sumOnly", {false, false, false, true, {false, false, false, false}}, ReviewTimeBase::RecordPeriod},
    {"timeAndChannel3", {false, true, false, false, {false, false, true, false}}, ReviewTimeBase::TimeOfDay},
    {"dateAndNumberAndChannels2And4", {true, false, true, false, {false, true, false, true}},
     ReviewTimeBase::RecordPeriod},
    {"numberAndSumAndChannel1", {false, false, true, true, {true, false, false, false}}, ReviewTimeBase::RecordPeriod},
};

class ReaderColumnsTest : public ::testing::TestWithParam<std::tuple<ColumnCase, bool>> {};

} // namespace

TEST_P(ReaderColumnsTest, ReadsBackEveryValueAndTheTimeOfARecorderFile)
{
    const auto& [c, comma] = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.csv"));
    const QDateTime start(QDate(2026, 12, 9), QTime(14, 3, 7, 42));
    const int frames = 300;
    recordRun(path, c.columns, comma ? kComma : kPoint, frames, start);

    const ReviewReadResult r = openRecording(path, 0, ReviewReadOptions{0.01});
    ASSERT_FALSE(r.error) << r.error->text().toStdString();
    ASSERT_TRUE(r.recording);
    const ReviewRecording& rec = *r.recording;
    EXPECT_EQ(rec.columns, c.columns);
    EXPECT_EQ(rec.timeBase, c.timeBase);
    EXPECT_EQ(rec.runCount, 1);
    EXPECT_EQ(rec.damagedLines, 0);
    EXPECT_EQ(rec.tornLines, 0);
    EXPECT_EQ(rec.decimals, 2);
    ASSERT_EQ(rec.data->size(), static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; i += 37) {
        const auto row = static_cast<std::size_t>(i);
        for (int ch = 0; ch < 4; ++ch) {
            const float v = rec.data->y(ch, row);
            if (c.columns.sensor[static_cast<std::size_t>(ch)]) {
                EXPECT_FLOAT_EQ(v, sensorValue(i, ch)) << "row " << i << " channel " << ch;
            } else {
                EXPECT_TRUE(std::isnan(v));
            }
        }
        if (c.columns.sum) {
            EXPECT_FLOAT_EQ(rec.data->y(4, row), sumValue(i));
        } else {
            EXPECT_TRUE(std::isnan(rec.data->y(4, row)));
        }
        const QDateTime when = start.addMSecs(10LL * i);
        switch (c.timeBase) {
        case ReviewTimeBase::ClockTime:
            EXPECT_EQ(rec.clockAt(row), QDateTime(when.date(), when.time())) << i;
            break;
        case ReviewTimeBase::TimeOfDay:
            EXPECT_NEAR(rec.data->x(row), when.time().msecsSinceStartOfDay() / 1000.0, 1e-6);
            break;
        case ReviewTimeBase::RecordPeriod:
            EXPECT_NEAR(rec.data->x(row), i * 0.01, 1e-9);
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(RecorderFiles, ReaderColumnsTest,
                         ::testing::Combine(::testing::ValuesIn(kColumnCases), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "Comma" : "Point");
                         });

TEST(RecordingReader, AppendedRunsAreOfferedNewestFirstEachWithItsOwnColumns)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("runs.csv"));
    const RecordColumns first{false, false, true, false, {true, false, false, false}};
    const RecordColumns second{true, true, false, true, {false, false, false, false}};
    recordRun(path, first, kPoint, 50, QDateTime(QDate(2026, 1, 2), QTime(8, 0)));
    recordRun(path, second, kComma, 20, QDateTime(QDate(2026, 1, 3), QTime(9, 0)));

    const ReviewReadResult newest = openRecording(path);
    ASSERT_TRUE(newest.recording);
    ASSERT_EQ(newest.runs.size(), 2U);
    EXPECT_EQ(newest.runs[0].headerLine, 52); // header, 50 lines, then the second header
    EXPECT_EQ(newest.runs[0].lineCount, 20);
    EXPECT_EQ(newest.runs[1].headerLine, 1);
    EXPECT_EQ(newest.recording->columns, second);
    EXPECT_EQ(newest.recording->data->size(), 20U);
    EXPECT_EQ(newest.recording->decimalSeparator, ',');
    EXPECT_EQ(newest.recording->clockAt(0), QDateTime(QDate(2026, 1, 3), QTime(9, 0)));

    const ReviewReadResult older = openRecording(path, 1);
    ASSERT_TRUE(older.recording);
    EXPECT_EQ(older.recording->columns, first);
    EXPECT_EQ(older.recording->data->size(), 50U);
    EXPECT_FLOAT_EQ(older.recording->data->y(0, 49), sensorValue(49, 0));
    EXPECT_EQ(older.recording->runIndex, 1);
    EXPECT_EQ(older.recording->runCount, 2);

    EXPECT_TRUE(openRecording(path, 2).error);
}

TEST(RecordingReader, ClockTimeGoesOnAcrossMidnightWithAndWithoutTheDate)
{
    QTemporaryDir dir;
    for (const bool withDate : {true, false}) {
        const QString path = dir.filePath(withDate ? QStringLiteral("d.csv") : QStringLiteral("t.csv"));
        const RecordColumns columns{withDate, true, false, true, {false, false, false, false}};
        recordRun(path, columns, kPoint, 400, QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58)));
        const ReviewReadResult r = openRecording(path);
        ASSERT_TRUE(r.recording) << r.error->text().toStdString();
        const ChartData& d = *r.recording->data;
        ASSERT_EQ(d.size(), 400U);
        // 4 s in 10 ms steps, 2 s of them after midnight: the time only grows.
        EXPECT_NEAR(d.x(399) - d.x(0), 3.99, 1e-6) << withDate;
        EXPECT_EQ(r.recording->clockAt(399).time(), QTime(0, 0, 1, 990));
        if (withDate) {
            EXPECT_EQ(r.recording->clockAt(399).date(), QDate(2027, 1, 1));
        }
    }
}

TEST(RecordingReader, DamagedLinesAreSkippedAndCountedAndGapsStayGaps)
{
    const QByteArray file = "No.;Sum;Canal 1;\r\n"
                            "0;1.5;2.5;\r\n"
                            "1;---;NAN;\r\n"
                            "2;x;1;\r\n"          // not a number
                            "3;1.5;\r\n"          // a field missing
                            "4;1.5;2.5;9;\r\n"    // a field too many
                            "\r\n"                // empty line
                            "7;3,25;INF;\r\n"
                            "8;4.5;-1.5;";        // torn: no line end
    const ReviewReadResult r = readRecording(file, 0, {}, QStringLiteral("f.csv"));
    ASSERT_TRUE(r.recording) << r.error->text().toStdString();
    const ReviewRecording& rec = *r.recording;
    EXPECT_EQ(rec.data->size(), 3U);
    EXPECT_EQ(rec.damagedLines, 4);
    EXPECT_EQ(rec.firstDamagedLine, 4);
    EXPECT_EQ(rec.tornLines, 1);
    EXPECT_TRUE(std::isnan(rec.data->y(4, 1)));
    EXPECT_TRUE(std::isnan(rec.data->y(0, 1)));
    EXPECT_FLOAT_EQ(rec.data->y(4, 2), 3.25F);
    EXPECT_TRUE(std::isinf(rec.data->y(0, 2)));
}

TEST(RecordingReader, ForeignAndBrokenFilesGiveAnErrorNamingTheLine)
{
    struct Case {
        QByteArray bytes;
        std::int64_t line;
    };
    const Case cases[] = {
        {"a,b,c\n1,2,3\n", 1},
        {"Date;Time;Sum\r\n1-1-2026;1:2:3:4;5\r\n", 1},        // header without its last ';'
        {"Sum;Canal 1;Sum;\r\n1;2;3;\r\n", 1},                // a column twice
        {"Sum;Canal 1;\r\nfoo;bar;\r\nbaz;\r\n", 2},          // no line of the run can be read
        {"Time;Sum;\r\n25:0:0:0;1;\r\n", 2},                  // hour out of range
        {"Sum;\r\n", 2},                                      // no records
        {"Sum;\r\n1.5;", 2},                                  // only a torn line
        {QByteArray("\x00\x01\x02\xff", 4), 1},
        {"", 0},
    };
    for (const Case& c : cases) {
        const ReviewReadResult r = readRecording(c.bytes, 0, {}, QStringLiteral("x.csv"));
        ASSERT_TRUE(r.error) << c.bytes.toStdString();
        EXPECT_FALSE(r.recording);
        EXPECT_EQ(r.error->line, c.line) << c.bytes.toStdString();
        if (c.line > 0) {
            EXPECT_TRUE(r.error->text().startsWith(QStringLiteral("x.csv, line %1: ").arg(c.line)))
                << r.error->text().toStdString();
        }
    }
    EXPECT_TRUE(openRecording(QStringLiteral("/nonexistent/dir/none.csv")).error);
}

TEST(RecordingReader, EveryTruncationOfARecorderFileIsReadWithoutCrashing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cut.csv"));
    recordRun(path, RecordColumns{true, true, true, true, {true, true, true, true}}, kComma, 6,
              QDateTime(QDate(2026, 5, 5), QTime(5, 5)));
    const QByteArray whole = readAll(path);
    ASSERT_FALSE(whole.isEmpty());
    std::int64_t lastRows = 0;
    for (qsizetype n = 0; n <= whole.size(); ++n) {
        const ReviewReadResult r = readRecording(QByteArrayView(whole.constData(), n));
        ASSERT_TRUE(r.recording || r.error);
        if (r.recording) {
            const auto rows = static_cast<std::int64_t>(r.recording->data->size());
            EXPECT_GE(rows, lastRows); // a longer prefix never reads fewer rows
            EXPECT_EQ(r.recording->damagedLines, 0) << n;
            lastRows = rows;
        }
    }
    EXPECT_EQ(lastRows, 6);
}
