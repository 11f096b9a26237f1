// The recorder with real files: runs, headers, numbering, buffering, flushing and file failures.

#include "recording/recorder/Recorder.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <QDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace qmx;
using namespace qmx::recording;

namespace {

const display::NumberLocale kComma{u',', u'\u00A0'};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

link::Measurement frame(float sensor1, bool in2 = false)
{
    link::Measurement m;
    m.ChannelValue = {sensor1, 0.0F, 0.0F, 0.0F};
    m.SumValue = sensor1;
    m.InputState = in2 ? 0x02 : 0x00;
    return m;
}

class RecorderTest : public ::testing::Test {
protected:
    RecorderTest()
    {
        recorder.setDecimalsSource([this] { return decimals; });
        RecordOptions o;
        o.speedIndex = 0;
        o.columns = RecordColumns{false, false, true, false, {true, false, false, false}};
        o.fileName = path;
        recorder.setOptions(o);
    }

    void setFileName(const QString& name)
    {
        RecordOptions o = recorder.options();
        o.fileName = name;
        recorder.setOptions(o);
    }

    /// Feeds frames whose sensor 1 values are `first`, `first + 1`, ...; returns the frames recorded.
    int feed(int frames, float first = 1.0F)
    {
        int recorded = 0;
        for (int i = 0; i < frames; ++i) {
            const FrameOutcome o = recorder.recordMeasurement(frame(first + static_cast<float>(i)));
            EXPECT_FALSE(o.error) << o.error->fileName.toStdString() << ": " << o.error->reason.toStdString();
            recorded += o.recorded ? 1 : 0;
        }
        return recorded;
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("pomiary.csv"));
    int decimals = 1;
    QDateTime now{QDate(2026, 12, 9), QTime(14, 3, 7, 42)};
    Recorder recorder{kComma, [this] { return now; }};
};

} // namespace

TEST_F(RecorderTest, EachRunWritesItsOwnHeaderAndNumbersFromZero)
{
    recorder.beginRun();
    EXPECT_EQ(feed(3), 3);
    EXPECT_FALSE(recorder.endRun());
    EXPECT_FALSE(recorder.fileOpen());
    feed(4); // no run: nothing is written
    recorder.beginRun();
    feed(2, 10.0F);
    EXPECT_FALSE(recorder.endRun());
    EXPECT_EQ(readAll(path), QByteArray("No.;Canal 1;\r\n0;1,0;\r\n1;2,0;\r\n2;3,0;\r\n"
                                        "No.;Canal 1;\r\n0;10,0;\r\n1;11,0;\r\n"));
}

TEST_F(RecorderTest, AnExistingFileIsAppendedToAndNeverTruncated)
{
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier;\r\n");
    }
    recorder.beginRun();
    feed(1);
    recorder.endRun();
    EXPECT_EQ(readAll(path), QByteArray("earlier;\r\nNo.;Canal 1;\r\n0;1,0;\r\n"));
}

TEST_F(RecorderTest, LinesWaitInTheBufferUntilFlushed)
{
    recorder.beginRun();
    feed(5);
    EXPECT_TRUE(recorder.fileOpen());
    EXPECT_TRUE(readAll(path).isEmpty()) << "no flush per line";
    EXPECT_FALSE(recorder.flushAndWait());
    EXPECT_EQ(readAll(path).count("\r\n"), 6);
    feed(2, 6.0F);
    EXPECT_EQ(readAll(path).count("\r\n"), 6);
    EXPECT_FALSE(recorder.flush());
    EXPECT_FALSE(recorder.flushAndWait());
    EXPECT_TRUE(readAll(path).endsWith("6;7,0;\r\n"));
}

TEST_F(RecorderTest, DecimalsAndColumnsAreReadAtEachRecordWithoutANewHeader)
{
    recorder.beginRun();
    feed(1, 1.25F);
    decimals = 3;
    RecordOptions o = recorder.options();
    o.columns.sensor = {false, true, false, false};
    o.columns.sum = true;
    recorder.setOptions(o);
    feed(1, 1.25F);
    recorder.endRun();
    EXPECT_EQ(readAll(path), QByteArray("No.;Canal 1;\r\n0;1,3;\r\n1;1,250;0,000;\r\n"));
}

TEST_F(RecorderTest, DateAndTimeComeFromOneClockReadingPerLine)
{
    RecordOptions o = recorder.options();
    o.columns = RecordColumns{true, true, false, false, {}};
    recorder.setOptions(o);
    recorder.beginRun();
    feed(1);
    now = QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0, 5));
    feed(1);
    recorder.endRun();
    EXPECT_EQ(readAll(path), QByteArray("Date;Time;\r\n9-12-2026;14:3:7:42;\r\n1-1-2027;0:0:0:5;\r\n"));
}

TEST_F(RecorderTest, AFileThatCannotBeOpenedEndsTheRunAndNamesTheFile)
{
    const QString missing = dir.filePath(QStringLiteral("no-such-folder/pomiary.csv"));
    setFileName(missing);
    recorder.beginRun();
    const FrameOutcome first = recorder.recordMeasurement(frame(1.0F));
    ASSERT_TRUE(first.error);
    EXPECT_EQ(first.error->fileName, missing);
    EXPECT_FALSE(first.error->reason.isEmpty());
    EXPECT_FALSE(first.recorded);
    EXPECT_FALSE(recorder.isRunning());
    EXPECT_FALSE(recorder.fileOpen());
    const FrameOutcome next = recorder.recordMeasurement(frame(2.0F));
    EXPECT_FALSE(next.error) << "the ended run reports its failure once";
    EXPECT_FALSE(next.recorded);
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(RecorderTest, AnUnnamedFileIsRefusedBeforeTheRunBegins)
{
    setFileName(QString());
    ASSERT_TRUE(recorder.beginRun());
    EXPECT_FALSE(recorder.isRunning());
    EXPECT_FALSE(recorder.recordMeasurement(frame(1.0F)).recorded);
}

TEST_F(RecorderTest, ANameThatIsNotARegularFileIsRefusedBeforeTheRunBegins)
{
    const QString fifo = dir.filePath(QStringLiteral("fifo.csv"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = dir.filePath(QStringLiteral("folder.csv"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString target = dir.filePath(QStringLiteral("target.csv"));
    const QString link = dir.filePath(QStringLiteral("link.csv"));
    ASSERT_TRUE(QFile::link(target, link));
    struct Case {
        QString name;
        bool followSymlinks;
        const char* reason; // nullptr: accepted
    };
    const Case cases[] = {
        {fifo, true, kNotARegularFile},
        {QStringLiteral("/dev/null"), true, kNotARegularFile},
        {folder, true, kNotARegularFile},
        {link, false, kIsASymbolicLink},
        {link, true, nullptr},                                    // to a file yet to be created
        {dir.filePath(QStringLiteral("new.csv")), false, nullptr}, // created at the first line
    };
    for (const Case& c : cases) {
        RecordOptions o = recorder.options();
        o.fileName = c.name;
        o.followSymlinks = c.followSymlinks;
        recorder.setOptions(o);
        const auto refused = recorder.beginRun();
        if (c.reason == nullptr) {
            EXPECT_FALSE(refused) << c.name.toStdString() << ": " << refused->reason.toStdString();
            EXPECT_TRUE(recorder.isRunning());
        } else {
            ASSERT_TRUE(refused) << c.name.toStdString();
            EXPECT_EQ(refused->reason, QLatin1String(c.reason)) << c.name.toStdString();
            EXPECT_EQ(refused->fileName, c.name);
            EXPECT_FALSE(recorder.isRunning()) << c.name.toStdString();
        }
        recorder.endRun();
    }
    EXPECT_FALSE(QFile::exists(target)) << "nothing was opened";
}

// A file-size limit makes the writes past it fail (EFBIG), as a full disk does (ENOSPC): the
// system writes what fits and refuses the rest.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tight = m_old;
        tight.rlim_cur = static_cast<rlim_t>(bytes);
        m_set = setrlimit(RLIMIT_FSIZE, &tight) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool set() const { return m_set; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = SIG_DFL;
    bool m_set = false;
};

TEST_F(RecorderTest, AWriteErrorCutsTheFileBackToItsLastCompleteLineAndCountsTheLinesNotWritten)
{
    // (whole lines that still fit after the first flush, bytes of the next line that fit too)
    const std::pair<int, int> cases[] = {{0, 4}, {2, 3}, {5, 1}, {0, 0}};
    for (const auto& [wholeLines, partBytes] : cases) {
        QFile::remove(path);
        recorder.beginRun();
        feed(3);
        ASSERT_FALSE(recorder.flushAndWait());
        const QByteArray before = readAll(path);
        // The lines the second batch holds: numbers 3..22 with values 4..23.
        QList<QByteArray> lines;
        for (int i = 0; i < 20; ++i) {
            lines << QByteArray::number(3 + i) + ';' + QByteArray::number(4 + i) + ",0;\r\n";
        }
        QByteArray fits = before;
        for (int i = 0; i < wholeLines; ++i) {
            fits += lines[i];
        }
        {
            const FileSizeLimit limit(fits.size() + partBytes);
            ASSERT_TRUE(limit.set());
            feed(20, 4.0F);
            const auto error = recorder.flushAndWait();
            ASSERT_TRUE(error) << wholeLines << "+" << partBytes;
            EXPECT_EQ(error->fileName, path);
            EXPECT_FALSE(error->reason.isEmpty());
            EXPECT_EQ(error->linesNotWritten, 20 - wholeLines) << wholeLines << "+" << partBytes;
        }
        EXPECT_FALSE(recorder.isRunning());
        EXPECT_FALSE(recorder.fileOpen());
        EXPECT_EQ(readAll(path), fits) << wholeLines << "+" << partBytes;
        EXPECT_FALSE(recorder.recordMeasurement(frame(1.0F)).recorded);
        EXPECT_FALSE(recorder.flush());
        recorder.endRun();
    }
}

TEST_F(RecorderTest, LinesRecordedAfterAnUnnoticedWriteErrorAreCountedToo)
{
    recorder.beginRun();
    feed(1);
    ASSERT_FALSE(recorder.flushAndWait());
    const QByteArray before = readAll(path);
    const FileSizeLimit limit(before.size());
    ASSERT_TRUE(limit.set());
    feed(5, 2.0F);
    EXPECT_FALSE(recorder.flush()) << "handed over; the writer has not answered yet";
    // The failure shows at a later record or at the end of the run, with every line it lost.
    std::optional<FileError> error;
    int attempted = 5;
    for (int i = 0; i < 3 && !error; ++i) {
        ++attempted;
        error = recorder.recordMeasurement(frame(7.0F + static_cast<float>(i))).error;
    }
    if (!error) {
        error = recorder.endRun();
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(error->linesNotWritten, attempted);
    EXPECT_FALSE(recorder.isRunning());
    EXPECT_EQ(readAll(path), before);
}

TEST_F(RecorderTest, EndingTheRunFlushesEveryLine)
{
    recorder.beginRun();
    feed(250);
    EXPECT_FALSE(recorder.endRun());
    const QByteArray text = readAll(path);
    EXPECT_EQ(text.count("\r\n"), 251);
    EXPECT_TRUE(text.endsWith("249;250,0;\r\n"));
}

TEST_F(RecorderTest, DestroyingTheRecorderWritesAnOpenFileOut)
{
    {
        Recorder local(kComma);
        RecordOptions o = recorder.options();
        local.setOptions(o);
        local.beginRun();
        local.recordMeasurement(frame(1.0F));
    }
    EXPECT_EQ(readAll(path), QByteArray("No.;Canal 1;\r\n0;1;\r\n"));
}

TEST_F(RecorderTest, IndicationShowsWritingForElevenTicksAfterARecord)
{
    EXPECT_EQ(recorder.showTick(true), RecordIndication::Idle) << "nothing recorded since start-up";
    recorder.beginRun();
    EXPECT_EQ(recorder.showTick(true), RecordIndication::Active);
    EXPECT_EQ(recorder.showTick(false), RecordIndication::Idle) << "not connected";
    feed(1);
    for (std::uint32_t i = 0; i < kWritingTicks; ++i) {
        EXPECT_EQ(recorder.showTick(true), RecordIndication::Writing) << i;
    }
    EXPECT_EQ(recorder.showTick(true), RecordIndication::Active);
    recorder.endRun();
    EXPECT_EQ(recorder.showTick(true), RecordIndication::Idle);
}
