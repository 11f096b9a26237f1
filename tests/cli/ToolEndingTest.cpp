// How the command-line tool ends, run as a program on the virtual transducer: signals end watch
// and record cleanly, a failed write to standard output is an error, a closed pipe stays quiet.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "SignalNames.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// Starts the tool with the virtual transducer. The child starts with the default action for the
/// signals under test, whatever the test runner ignores (a background job ignores SIGINT).
void startTool(QProcess& p, const QStringList& args, const std::function<void()>& childSetUp = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.setChildProcessModifier([childSetUp] {
        ::signal(SIGINT, SIG_DFL);
        ::signal(SIGTERM, SIG_DFL);
        ::signal(SIGHUP, SIG_DFL);
        ::signal(SIGPIPE, SIG_DFL);
        if (childSetUp) {
            childSetUp();
        }
    });
    p.start(QStringLiteral(QMX_CLI_PATH), QStringList{QStringLiteral("--simulate")} + args);
    ASSERT_TRUE(p.waitForStarted());
}

/// Reads standard output until it holds `lines` complete lines (or the tool ends).
QByteArray readLines(QProcess& p, int lines)
{
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    while (out.count('\n') < lines && clock.elapsed() < 30000 && p.state() == QProcess::Running) {
        p.waitForReadyRead(200);
        out += p.readAllStandardOutput();
    }
    return out;
}

using qmx::test::signalName;

class WatchSignal : public ::testing::TestWithParam<int> {};

TEST_P(WatchSignal, EndsTheVerbWithEveryPrintedLineWhole)
{
    QProcess p;
    startTool(p, {QStringLiteral("watch")});
    QByteArray out = readLines(p, 4);
    ASSERT_GE(out.count('\n'), 4) << p.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(p.processId()), GetParam());
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << signalName(GetParam());
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    out += p.readAllStandardOutput();
    ASSERT_TRUE(out.endsWith('\n'));
    const QList<QByteArray> lines = out.trimmed().split('\n');
    EXPECT_TRUE(lines.front().startsWith("time_s\tsum"));
    for (const QByteArray& line : lines) {
        EXPECT_EQ(line.count('\t'), 13) << line.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Signals, WatchSignal, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const auto& info) { return std::string(signalName(info.param)); });

class RecordSignal : public ::testing::TestWithParam<int> {};

TEST_P(RecordSignal, EndsTheRunWithTheFileWholeAndClosed)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("r.csv"));
    QProcess p;
    startTool(p, {QStringLiteral("record"), QStringLiteral("--out"), out});
    QElapsedTimer clock;
    clock.start();
    while (readAll(out).count("\r\n") < 2 && clock.elapsed() < 30000) {
        ASSERT_FALSE(p.waitForFinished(100)) << p.readAllStandardError().toStdString();
    }
    ::kill(static_cast<pid_t>(p.processId()), GetParam());
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << signalName(GetParam());
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QByteArray text = readAll(out);
    ASSERT_TRUE(text.endsWith("\r\n"));
    // Default columns: date, time, number; the last line is as whole as every other.
    const QList<QByteArray> lines = text.trimmed().split('\n');
    const QRegularExpression line(QStringLiteral(R"(^\d{1,2}-\d{1,2}-\d{4};\d{1,2}:\d{1,2}:\d{1,2}:\d{1,3};\d+;-?\d+\.\d;\r?$)"));
    ASSERT_GE(lines.size(), 2);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        EXPECT_TRUE(line.match(QString::fromUtf8(lines[i])).hasMatch()) << lines[i].toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Signals, RecordSignal, ::testing::Values(SIGTERM, SIGHUP),
                         [](const auto& info) { return std::string(signalName(info.param)); });

/// Whether the process is asleep opening a FIFO that has no reader yet.
bool blockedOpeningFifo(qint64 pid)
{
    return readAll(QStringLiteral("/proc/%1/wchan").arg(pid)).contains("wait_for_partner");
}

TEST(ToolSignals, AToolBlockedOnAFifoStillEnds)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.csv"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QProcess p;
    startTool(p, {QStringLiteral("record"), QStringLiteral("--out"), fifo});
    // Either the tool refuses the FIFO and ends by itself, or it sits in open() waiting for a
    // reader; then SIGTERM (a second one, if the first could not reach the event loop) ends it.
    QElapsedTimer clock;
    clock.start();
    while (p.state() == QProcess::Running && !blockedOpeningFifo(p.processId()) && clock.elapsed() < 30000) {
        p.waitForFinished(50);
    }
    for (int attempt = 0; attempt < 2 && p.state() == QProcess::Running; ++attempt) {
        ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
        p.waitForFinished(5000);
    }
    const bool ended = p.state() == QProcess::NotRunning;
    if (!ended) {
        p.kill();
        p.waitForFinished();
    }
    EXPECT_TRUE(ended);
}

/// Whether `signalNumber` was sent to the process and has not yet been delivered to a thread.
bool signalPending(qint64 pid, int signalNumber)
{
    for (const QByteArray& line : readAll(QStringLiteral("/proc/%1/status").arg(pid)).split('\n')) {
        if (line.startsWith("ShdPnd:")) {
            const auto mask = line.mid(7).trimmed().toULongLong(nullptr, 16);
            return ((mask >> (signalNumber - 1)) & 1U) != 0;
        }
    }
    return false;
}

TEST(ToolSignals, AToolBlockedWritingToASlowReaderEndsWithItsLastLineWhole)
{
    // Standard output is a small pipe that nobody reads until the tool is blocked writing to it.
    std::array<int, 2> fds{};
    ASSERT_EQ(::pipe2(fds.data(), O_CLOEXEC), 0);
    ASSERT_GT(::fcntl(fds[1], F_SETPIPE_SZ, 4096), 0);
    QProcess p;
    const int writeEnd = fds[1];
    startTool(p, {QStringLiteral("watch")}, [writeEnd] { ::dup2(writeEnd, STDOUT_FILENO); });
    ::close(fds[1]);
    QElapsedTimer clock;
    clock.start();
    while (p.state() == QProcess::Running && !readAll(QStringLiteral("/proc/%1/wchan").arg(p.processId())).contains("pipe_write") &&
           clock.elapsed() < 30000) {
        p.waitForFinished(20);
    }
    ASSERT_EQ(p.state(), QProcess::Running);
    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    // Read only once the signal has reached the tool, so it lands in the blocked write.
    clock.restart();
    while (signalPending(p.processId(), SIGTERM) && clock.elapsed() < 10000) {
        p.waitForFinished(5);
    }
    QByteArray out;
    std::array<char, 4096> buffer{};
    for (ssize_t n = 0; (n = ::read(fds[0], buffer.data(), buffer.size())) != 0;) {
        if (n > 0) {
            out.append(buffer.data(), n);
        } else if (errno != EINTR) {
            break;
        }
    }
    ::close(fds[0]);
    ASSERT_TRUE(p.state() == QProcess::NotRunning || p.waitForFinished(20000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    ASSERT_TRUE(out.endsWith('\n'));
    const QList<QByteArray> lines = out.trimmed().split('\n');
    EXPECT_GT(lines.size(), 2);
    for (const QByteArray& line : lines) {
        EXPECT_EQ(line.count('\t'), 13) << line.toStdString();
    }
}

// A write to standard output that fails (a full disk here) ends the tool with an error.
class FullOutput : public ::testing::TestWithParam<const char*> {};

TEST_P(FullOutput, EndsWithWriteErrorAndANonZeroExit)
{
    const QStringList args = QString::fromLatin1(GetParam()).split(u' ');
    QProcess p;
    p.setStandardOutputFile(QStringLiteral("/dev/full"));
    startTool(p, args);
    ASSERT_TRUE(p.waitForFinished(30000)) << GetParam();
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardError().contains("write error")) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Verbs, FullOutput, ::testing::Values("watch", "info", "settings show", "list"),
                         [](const auto& info) { return QString::fromLatin1(info.param).replace(u' ', u'_').toStdString(); });

TEST(ToolOutput, AReaderThatClosesThePipeEndsTheToolQuietly)
{
    // `qmx80net-cli --simulate watch | head -n 3`: head leaves after three lines.
    QProcess tool;
    QProcess head;
    tool.setStandardOutputProcess(&head);
    head.start(QStringLiteral("head"), {QStringLiteral("-n"), QStringLiteral("3")});
    ASSERT_TRUE(head.waitForStarted());
    startTool(tool, {QStringLiteral("watch")});
    ASSERT_TRUE(head.waitForFinished(30000));
    EXPECT_EQ(head.readAllStandardOutput().count('\n'), 3);
    const bool ended = tool.waitForFinished(20000);
    if (!ended) {
        tool.kill();
        tool.waitForFinished();
    }
    ASSERT_TRUE(ended);
    EXPECT_TRUE(tool.readAllStandardError().isEmpty());
}

} // namespace
