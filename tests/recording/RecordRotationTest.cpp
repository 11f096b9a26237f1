// Rotation of unattended recordings: the policy and the names as pure functions, then the recorder
// switching files on a simulated clock through hour boundaries, midnight and size limits.

#include "recording/recorder/RecordRotation.h"
#include "recording/recorder/Recorder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace qmx;
using namespace qmx::recording;

namespace {

QDateTime at(int year, int month, int day, int h, int m, int s, int ms = 0)
{
    return QDateTime(QDate(year, month, day), QTime(h, m, s, ms), Qt::UTC);
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(RecordRotation, RotationTextsAreReadOrRefused)
{
    using K = RotationPolicy::Kind;
    const struct {
        const char* text;
        std::optional<RotationPolicy> expected;
    } cases[] = {
        {"hourly", RotationPolicy{K::Hourly, 0}},
        {"daily", RotationPolicy{K::Daily, 0}},
        {"100M", RotationPolicy{K::Size, 100LL << 20}},
        {"1G", RotationPolicy{K::Size, 1LL << 30}},
        {"2k", RotationPolicy{K::Size, 2048}},
        {"65536", RotationPolicy{K::Size, 65536}},
        {"1023", std::nullopt}, // hardly more than a header
        {"0M", std::nullopt},
        {"1.5G", std::nullopt},
        {"10T", std::nullopt},
        {"-1M", std::nullopt},
        {"Hourly", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseRotation(QString::fromLatin1(c.text)), c.expected) << c.text;
    }
}

TEST(RecordRotation, ANewFileStartsAtTheHourMidnightOrBeforeTheSizeLimit)
{
    const RotationPolicy hourly{RotationPolicy::Kind::Hourly, 0};
    const RotationPolicy daily{RotationPolicy::Kind::Daily, 0};
    const RotationPolicy size{RotationPolicy::Kind::Size, 1000};
    const RotationPolicy none{};
    const QDateTime start = at(2026, 12, 31, 23, 59, 58, 500);
    const struct {
        const char* name;
        RotationPolicy policy;
        std::int64_t fileBytes;
        std::int64_t fileLines;
        QDateTime line;
        std::int64_t lineBytes;
        bool expected;
    } cases[] = {
        {"hourly, same hour", hourly, 10, 1, at(2026, 12, 31, 23, 59, 59, 999), 10, false},
        {"hourly, on the hour", hourly, 10, 1, at(2027, 1, 1, 0, 0, 0), 10, true},
        {"hourly, hours later", hourly, 10, 1, at(2027, 1, 1, 5, 0, 0), 10, true},
        {"hourly, empty file never switches", hourly, 10, 0, at(2027, 1, 1, 5, 0, 0), 10, false},
        {"daily, before midnight", daily, 10, 1, at(2026, 12, 31, 23, 59, 59, 999), 10, false},
        {"daily, at midnight", daily, 10, 1, at(2027, 1, 1, 0, 0, 0), 10, true},
        {"size, line fits exactly", size, 990, 5, start, 10, false},
        {"size, line would pass the limit", size, 991, 5, start, 10, true},
        {"size, one long line in an empty file", size, 30, 0, start, 5000, false},
        {"none", none, 1LL << 40, 1000, at(2030, 1, 1, 0, 0, 0), 10, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(startsNewFile(c.policy, start, c.fileBytes, c.fileLines, c.line, c.lineBytes), c.expected) << c.name;
    }
    EXPECT_EQ(nextRotationTime(hourly, start), at(2027, 1, 1, 0, 0, 0));
    EXPECT_EQ(nextRotationTime(daily, at(2026, 3, 5, 0, 0, 0)), at(2026, 3, 6, 0, 0, 0));
    EXPECT_EQ(nextRotationTime(size, start), std::nullopt);
}

TEST(RecordRotation, FilesAreNamedByTheirStartTime)
{
    EXPECT_EQ(rotatedFileName(at(2026, 1, 2, 3, 4, 5, 678)), QStringLiteral("qmx80net-2026-01-02_03-04-05.csv"));
    EXPECT_EQ(rotatedFileName(at(2026, 12, 31, 23, 0, 0), 2), QStringLiteral("qmx80net-2026-12-31_23-00-00-2.csv"));
}

namespace {

/// A recorder writing into a folder with sensor-1 values 1, 2, 3 ... so that every line can be
/// traced to the frame it came from.
struct FolderRecording {
    QTemporaryDir dir;
    Recorder recorder;
    QDateTime now;
    qint64 stepMs = 0;

    FolderRecording(RotationPolicy policy, QDateTime start, qint64 step) : now(std::move(start)), stepMs(step)
    {
        recorder.setClock([this] {
            const QDateTime stamp = now;
            now = now.addMSecs(stepMs);
            return stamp;
        });
        RecordOptions o;
        o.speedIndex = 0; // a record per frame
        o.columns = RecordColumns{false, true, true, false, {true, false, false, false}};
        o.directory = dir.path();
        o.rotation = policy;
        o.followSymlinks = false;
        recorder.setOptions(o);
    }

    void record(int frames)
    {
        EXPECT_FALSE(recorder.beginRun());
        for (int i = 1; i <= frames; ++i) {
            link::Measurement m;
            m.ChannelValue = {static_cast<float>(i), 0.0F, 0.0F, 0.0F};
            EXPECT_FALSE(recorder.recordMeasurement(m).error);
        }
        EXPECT_FALSE(recorder.endRun());
        EXPECT_FALSE(recorder.waitForClosedFiles());
    }

    /// Every file by name, checked for its header and its own numbering from 0; returns the
    /// sensor-1 values of all files in name order.
    std::vector<int> valuesInNameOrder(std::map<QString, QList<QByteArray>>& files)
    {
        std::vector<int> values;
        const QStringList names = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
        for (const QString& name : names) {
            QList<QByteArray> lines = readAll(dir.filePath(name)).split('\n');
            EXPECT_TRUE(lines.last().isEmpty()) << name.toStdString() << ": ends inside a line";
            lines.removeLast();
            EXPECT_GE(lines.size(), 2) << name.toStdString();
            EXPECT_EQ(lines.value(0), QByteArray("Time;No.;Canal 1;\r")) << name.toStdString();
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const QList<QByteArray> fields = lines[i].split(';');
                EXPECT_EQ(fields.value(1).toLongLong(), i - 1) << name.toStdString();
                values.push_back(fields.value(2).toInt());
            }
            files[name] = lines.mid(1);
        }
        return values;
    }
};

std::vector<int> oneTo(int n)
{
    std::vector<int> v;
    for (int i = 1; i <= n; ++i) {
        v.push_back(i);
    }
    return v;
}

} // namespace

TEST(RecordRotation, HourlyFilesThroughMidnightHoldEveryLineOnceUnderTheirStartTime)
{
    // 36 simulated seconds a line from 22:58:30: 400 lines run past 02:58, through four hour
    // boundaries, one of them midnight.
    FolderRecording r({RotationPolicy::Kind::Hourly, 0}, at(2026, 12, 10, 22, 58, 30), 36'000);
    r.record(400);
    std::map<QString, QList<QByteArray>> files;
    EXPECT_EQ(r.valuesInNameOrder(files), oneTo(400));
    std::vector<QString> names;
    for (const auto& [name, lines] : files) {
        names.push_back(name);
        // Every line of a file lies in the file's hour: the time column starts with its hour.
        const QString hour = name.mid(20, 2);
        for (const QByteArray& line : lines) {
            EXPECT_TRUE(line.startsWith(hour.toLatin1() + ':') || line.startsWith(QByteArray::number(hour.toInt()) + ':'))
                << name.toStdString() << ": " << line.toStdString();
        }
    }
    const std::vector<QString> expected{
        QStringLiteral("qmx80net-2026-12-10_22-58-30.csv"), QStringLiteral("qmx80net-2026-12-10_23-00-18.csv"),
        QStringLiteral("qmx80net-2026-12-11_00-00-18.csv"), QStringLiteral("qmx80net-2026-12-11_01-00-18.csv"),
        QStringLiteral("qmx80net-2026-12-11_02-00-18.csv")};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(r.recorder.filesStarted(), 5);
}

TEST(RecordRotation, DailyFilesSwitchAtMidnightOnly)
{
    FolderRecording r({RotationPolicy::Kind::Daily, 0}, at(2026, 12, 10, 12, 0, 0), 3'600'000); // an hour a line
    r.record(30);
    std::map<QString, QList<QByteArray>> files;
    EXPECT_EQ(r.valuesInNameOrder(files), oneTo(30));
    ASSERT_EQ(files.size(), 2U);
    EXPECT_EQ(files.begin()->first, QStringLiteral("qmx80net-2026-12-10_12-00-00.csv"));
    EXPECT_EQ(files.begin()->second.size(), 12); // 12:00 ... 23:00
    EXPECT_EQ(std::next(files.begin())->first, QStringLiteral("qmx80net-2026-12-11_00-00-00.csv"));
}

TEST(RecordRotation, SizeLimitedFilesStayUnderTheLimitAndClashingNamesGetANumber)
{
    // 10 ms a line: many files start within one second and need "-1", "-2" ... to stay apart.
    FolderRecording r({RotationPolicy::Kind::Size, 1024}, at(2026, 12, 10, 8, 0, 0), 10);
    r.record(600);
    std::map<QString, QList<QByteArray>> files;
    std::vector<int> values = r.valuesInNameOrder(files);
    std::sort(values.begin(), values.end());
    EXPECT_EQ(values, oneTo(600)) << "every line in exactly one file";
    EXPECT_GT(files.size(), 10U);
    for (const auto& [name, lines] : files) {
        EXPECT_LE(QFileInfo(r.dir.filePath(name)).size(), 1024) << name.toStdString();
    }
    EXPECT_TRUE(files.count(QStringLiteral("qmx80net-2026-12-10_08-00-00.csv")));
    EXPECT_TRUE(files.count(QStringLiteral("qmx80net-2026-12-10_08-00-00-1.csv")));
}
