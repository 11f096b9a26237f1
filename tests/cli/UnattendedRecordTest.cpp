// The record verb as an unattended logger, in-process against the virtual transducer: files
// rotated on a simulated clock, a transducer unplugged and plugged again, and a full disk that
// empties again. Each run goes as fast as the virtual transducer streams.

#include "cli/CliSession.h"
#include "cli/RecordCommand.h"
#include "recording/recorder/RecordFormat.h"
#include "sim/SimBackend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>

#include <fcntl.h>
#include <unistd.h>

using namespace qmx;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// The date and time fields a line of kDateTimeCount starts with, for `stamp`.
QString stampFields(const QDateTime& stamp)
{
    recording::RecordValues v;
    v.stamp = stamp;
    return recording::recordFields(recording::RecordColumns{true, true, false, false, {}}, v,
                                   display::NumberLocale::system());
}

/// The line clock of the test: simulated local time that starts at `start` and runs `scale` times
/// as fast as the virtual transducer's model time, never the same twice. It notes every time it
/// hands out; the recorder reads it exactly once per line.
struct SimulatedLineClock {
    sim::SimBackend* backend = nullptr;
    QDateTime start;
    qint64 scale = 1;
    std::vector<QDateTime> handedOut;

    recording::Recorder::Clock function()
    {
        return [this] {
            const qint64 modelMs = std::chrono::duration_cast<std::chrono::milliseconds>(backend->transducer().now()).count();
            QDateTime t = start.addMSecs(modelMs * scale);
            if (!handedOut.empty() && t <= handedOut.back()) {
                t = handedOut.back().addMSecs(1);
            }
            handedOut.push_back(t);
            return t;
        };
    }
};

/// The lines of every file in the folder, by file name; checks that each file starts with the
/// header and numbers its lines from 0 without a gap.
std::map<QString, QList<QByteArray>> filesOf(const QString& dir)
{
    std::map<QString, QList<QByteArray>> files;
    for (const QString& name : QDir(dir).entryList(QDir::Files, QDir::Name)) {
        QList<QByteArray> lines = readAll(QDir(dir).filePath(name)).split('\n');
        EXPECT_TRUE(lines.last().isEmpty()) << name.toStdString() << ": a torn last line";
        lines.removeLast();
        EXPECT_EQ(lines.value(0), QByteArray("Date;Time;No.;Canal 1;\r")) << name.toStdString();
        for (qsizetype i = 1; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].split(';').value(2).toLongLong(), i - 1) << name.toStdString() << " line " << i;
        }
        files[name] = lines.mid(1);
    }
    return files;
}

/// The date and time fields of every line of every file, files in the order of their first line.
QStringList stampsInFiles(const std::map<QString, QList<QByteArray>>& files, const std::vector<QDateTime>& handedOut)
{
    std::map<qsizetype, QStringList> byFirst;
    QStringList all;
    for (const QDateTime& t : handedOut) {
        all << stampFields(t);
    }
    for (const auto& [name, lines] : files) {
        QStringList stamps;
        for (const QByteArray& line : lines) {
            const QList<QByteArray> f = line.split(';');
            stamps << QString::fromUtf8(f.value(0) + ';' + f.value(1) + ';');
        }
        byFirst[stamps.isEmpty() ? -1 : all.indexOf(stamps.front())] = stamps;
    }
    QStringList result;
    for (const auto& [first, stamps] : byFirst) {
        result << stamps;
    }
    return result;
}

QStringList loggerArgs(const QString& dir, const QString& rotate, const QString& seconds)
{
    QStringList args{QStringLiteral("--dir"), dir, QStringLiteral("--speed"), QStringLiteral("0"),
                     QStringLiteral("--columns"), QStringLiteral("date,time,count,s1"), QStringLiteral("--seconds"), seconds};
    if (!rotate.isEmpty()) {
        args << QStringLiteral("--rotate") << rotate;
    }
    return args;
}

int record(cli::CliSession& session, const QStringList& args, const cli::RecordHooks& hooks)
{
    const auto parsed = cli::parseRecordArgs(args);
    EXPECT_TRUE(std::holds_alternative<cli::RecordArgs>(parsed));
    if (!std::holds_alternative<cli::RecordArgs>(parsed)) {
        return -1;
    }
    return cli::runRecord(session, std::get<cli::RecordArgs>(parsed), hooks);
}

} // namespace

TEST(UnattendedRecord, TheLoggerOptionsAreReadOrRefusedInPlainWords)
{
    using K = recording::RotationPolicy::Kind;
    const auto parse = [](const char* line) { return cli::parseRecordArgs(QString::fromLatin1(line).split(u' ')); };
    const struct {
        const char* line;
        const char* error; // empty: accepted
    } cases[] = {
        {"--dir /tmp --rotate hourly", ""},
        {"--dir /tmp --rotate 100M --reconnect", ""},
        {"--out x.csv --reconnect", ""},
        {"--out x.csv --dir /tmp", "record: --out and --dir cannot be used together"},
        {"--out x.csv --rotate hourly", "record: --rotate needs --dir"},
        {"--dir /tmp --rotate weekly", "record: --rotate is hourly, daily or a size of at least 1K (e.g. 100M, 1G)"},
        {"--rotate daily", "record: --out FILE or --dir DIR is required"},
    };
    for (const auto& c : cases) {
        const auto parsed = parse(c.line);
        if (*c.error == '\0') {
            EXPECT_TRUE(std::holds_alternative<cli::RecordArgs>(parsed)) << c.line;
        } else {
            ASSERT_TRUE(std::holds_alternative<QString>(parsed)) << c.line;
            EXPECT_EQ(std::get<QString>(parsed).toStdString(), c.error) << c.line;
        }
    }
    const auto args = std::get<cli::RecordArgs>(parse("--dir /tmp --rotate 100M"));
    EXPECT_EQ(args.dir, QStringLiteral("/tmp"));
    EXPECT_EQ(args.rotation, (recording::RotationPolicy{K::Size, 100LL << 20}));
    EXPECT_FALSE(args.reconnect) << "--dir waits for the transducer by itself";
}

TEST(UnattendedRecord, HourlyFilesOnTheSimulatedClockHoldEveryLineExactlyOnce)
{
    sim::SimBackend backend;
    cli::CliSession session(backend);
    ASSERT_EQ(session.connect(), cli::SessionError::None);
    QTemporaryDir dir;
    // An hour of simulated time per simulated second of the transducer: 2.5 s cross two or three
    // hour boundaries, one of them midnight.
    SimulatedLineClock clock{&backend, QDateTime(QDate(2026, 12, 10), QTime(23, 0, 0).addMSecs(-1500), Qt::UTC), 3600, {}};
    cli::RecordHooks hooks;
    hooks.clock = clock.function();
    EXPECT_EQ(record(session, loggerArgs(dir.path(), QStringLiteral("hourly"), QStringLiteral("2.5")), hooks), 0);

    const auto files = filesOf(dir.path());
    ASSERT_GE(files.size(), 3U);
    ASSERT_GT(clock.handedOut.size(), 50U);
    QStringList expected;
    for (const QDateTime& t : clock.handedOut) {
        expected << stampFields(t);
    }
    EXPECT_EQ(stampsInFiles(files, clock.handedOut), expected) << "every line in exactly one file, in order";
    // Each file is named by its first line's time and holds only lines of that hour.
    for (const auto& [name, lines] : files) {
        const QDateTime start = QDateTime::fromString(name.mid(9, 19), QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
        ASSERT_TRUE(start.isValid()) << name.toStdString();
        const QString firstFields = QString::fromUtf8(lines.value(0).split(';').value(0) + ';' + lines.value(0).split(';').value(1) + ';');
        bool found = false;
        for (const QDateTime& t : clock.handedOut) {
            if (stampFields(t) == firstFields) {
                found = true;
                EXPECT_EQ(t.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")), name.mid(9, 19));
                break;
            }
        }
        EXPECT_TRUE(found) << name.toStdString();
    }
}

TEST(UnattendedRecord, SizeLimitedFilesHoldEveryLineExactlyOnce)
{
    sim::SimBackend backend;
    cli::CliSession session(backend);
    ASSERT_EQ(session.connect(), cli::SessionError::None);
    QTemporaryDir dir;
    SimulatedLineClock clock{&backend, QDateTime(QDate(2026, 12, 10), QTime(8, 0, 0), Qt::UTC), 1, {}};
    cli::RecordHooks hooks;
    hooks.clock = clock.function();
    EXPECT_EQ(record(session, loggerArgs(dir.path(), QStringLiteral("2K"), QStringLiteral("2")), hooks), 0);
    const auto files = filesOf(dir.path());
    ASSERT_GE(files.size(), 3U);
    QStringList expected;
    for (const QDateTime& t : clock.handedOut) {
        expected << stampFields(t);
    }
    EXPECT_EQ(stampsInFiles(files, clock.handedOut), expected);
    for (const auto& [name, lines] : files) {
        EXPECT_LE(QFileInfo(dir.filePath(name)).size(), 2048) << name.toStdString();
    }
}

TEST(UnattendedRecord, UnpluggedAndPluggedAgainTheLoggerGoesOnWithoutAMark)
{
    sim::SimBackend backend;
    cli::CliSession session(backend);
    ASSERT_EQ(session.connect(), cli::SessionError::None);
    session.link().setMeasurementSilenceLimit(300);
    QTemporaryDir dir;
    SimulatedLineClock clock{&backend, QDateTime(QDate(2026, 12, 10), QTime(8, 0, 0), Qt::UTC), 1, {}};
    cli::RecordHooks hooks;
    hooks.clock = clock.function();
    std::size_t linesBeforeUnplug = 0;
    std::size_t linesAtReplug = 0;
    QTimer::singleShot(600, [&] {
        linesBeforeUnplug = clock.handedOut.size();
        backend.unplug();
    });
    QTimer::singleShot(1600, [&] {
        linesAtReplug = clock.handedOut.size();
        backend.replug();
    });
    EXPECT_EQ(record(session, loggerArgs(dir.path(), QString(), QStringLiteral("3.5")), hooks), 0);
    EXPECT_GT(linesBeforeUnplug, 0U);
    EXPECT_GT(clock.handedOut.size(), linesAtReplug + 20) << "lines go on after the transducer came back";
    const auto files = filesOf(dir.path());
    ASSERT_EQ(files.size(), 1U) << "one file, no gap mark, no new header";
    QStringList expected;
    for (const QDateTime& t : clock.handedOut) {
        expected << stampFields(t);
    }
    EXPECT_EQ(stampsInFiles(files, clock.handedOut), expected);
    // The gap shows only as a later time on the next line.
    qint64 widest = 0;
    for (std::size_t i = 1; i < clock.handedOut.size(); ++i) {
        widest = std::max(widest, clock.handedOut[i - 1].msecsTo(clock.handedOut[i]));
    }
    EXPECT_GE(widest, 500);
}

TEST(UnattendedRecord, WithoutReconnectALostLinkStillEndsWithExitThree)
{
    sim::SimBackend backend;
    cli::CliSession session(backend);
    ASSERT_EQ(session.connect(), cli::SessionError::None);
    QTemporaryDir dir;
    QTimer::singleShot(300, [&] { backend.unplug(); });
    QTimer::singleShot(800, [&] { backend.replug(); });
    const auto args = QStringList{QStringLiteral("--out"), dir.filePath(QStringLiteral("x.csv")), QStringLiteral("--seconds"),
                                  QStringLiteral("3")};
    EXPECT_EQ(record(session, args, {}), 3);
}

TEST(UnattendedRecord, ReconnectKeepsOneOutFileGoing)
{
    sim::SimBackend backend;
    cli::CliSession session(backend);
    ASSERT_EQ(session.connect(), cli::SessionError::None);
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("x.csv"));
    QTimer::singleShot(300, [&] { backend.unplug(); });
    QTimer::singleShot(800, [&] { backend.replug(); });
    std::size_t linesAtReplug = 0;
    QTimer::singleShot(800, [&] { linesAtReplug = static_cast<std::size_t>(readAll(out).count('\n')); });
    const auto args = QStringList{QStringLiteral("--out"), out, QStringLiteral("--speed"), QStringLiteral("0"),
                                  QStringLiteral("--seconds"), QStringLiteral("2.5"), QStringLiteral("--reconnect")};
    EXPECT_EQ(record(session, args, {}), 0);
    const QByteArray text = readAll(out);
    EXPECT_EQ(text.count("Date;"), 1) << "one header";
    EXPECT_GT(static_cast<std::size_t>(text.count('\n')), linesAtReplug + 20);
}

namespace {

/// A disk that takes `room` more bytes and then answers ENOSPC, writing the last piece short, as a
/// full file system does. The test gives it space again through freeBytes().
struct FillingDisk {
    std::atomic<std::int64_t> room{0};
    int spaceChecks = 0;
    int checksUntilSpace = 3;
    std::int64_t bytesWritten = 0;

    recording::RecordFile::WriteFunction write()
    {
        return [this](int fd, const char* data, std::size_t size) -> long {
            const std::int64_t left = room.load();
            if (left <= 0) {
                errno = ENOSPC;
                return -1;
            }
            const auto n = static_cast<std::size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(size)));
            const long written = static_cast<long>(::write(fd, data, n));
            if (written > 0) {
                room -= written;
            }
            return written;
        };
    }

    std::function<std::int64_t(const QString&)> freeBytes()
    {
        return [this](const QString&) -> std::int64_t {
            if (++spaceChecks == checksUntilSpace) {
                room = std::int64_t{1} << 30; // someone cleared the disk
            }
            return room.load();
        };
    }
};

} // namespace

TEST(UnattendedRecord, AFullDiskStopsWritingKeepsWholeLinesAndResumesInANewFile)
{
    sim::SimBackend backend;
    cli::CliSession session(backend);
    ASSERT_EQ(session.connect(), cli::SessionError::None);
    QTemporaryDir dir;
    SimulatedLineClock clock{&backend, QDateTime(QDate(2026, 12, 10), QTime(8, 0, 0), Qt::UTC), 1, {}};
    FillingDisk disk;
    disk.room = 1500; // a header and a few dozen lines, the last one torn
    cli::RecordHooks hooks;
    hooks.clock = clock.function();
    hooks.write = disk.write();
    hooks.freeBytes = disk.freeBytes();
    hooks.spaceCheckMs = 200;

    // Standard error goes to a file for the time of the run, to read what the logger said.
    QTemporaryDir errDir;
    const QString errPath = errDir.filePath(QStringLiteral("stderr"));
    std::fflush(stderr);
    const int savedErr = ::dup(STDERR_FILENO);
    const int errFile = ::open(QFile::encodeName(errPath).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(errFile, STDERR_FILENO);
    const int code = record(session, loggerArgs(dir.path(), QString(), QStringLiteral("3")), hooks);
    std::fflush(stderr);
    ::dup2(savedErr, STDERR_FILENO);
    ::close(savedErr);
    ::close(errFile);
    const QString err = QString::fromLocal8Bit(readAll(errPath));

    EXPECT_EQ(code, 0) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("writing stopped: cannot write "))) << err.toStdString();
    EXPECT_TRUE(err.contains(QString::fromLocal8Bit(std::strerror(ENOSPC)))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("writing resumed;"))) << err.toStdString();
    EXPECT_GE(disk.spaceChecks, 3);

    // Two files, both whole: the first cut back to its last complete line, the second with its own
    // header. filesOf() checks the headers, the numbering and that no line is torn.
    const auto files = filesOf(dir.path());
    ASSERT_EQ(files.size(), 2U);
    EXPECT_LE(QFileInfo(dir.filePath(files.begin()->first)).size(), 1500);
    EXPECT_GT(files.begin()->second.size(), 5);
    EXPECT_GT(std::next(files.begin())->second.size(), 20);
}
