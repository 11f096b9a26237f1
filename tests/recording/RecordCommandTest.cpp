// The record verb of the command-line tool, run as a program against the virtual transducer.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// Starts the tool's record verb. `inChild` runs in the child before exec, after the signal set-up
/// (a process has one child modifier, so a test's own set-up goes through here).
void startTool(QProcess& p, const QStringList& args, void (*inChild)() = nullptr)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8")); // "." as decimal separator
    p.setProcessEnvironment(env);
    // Ctrl-C is tested below: the tool keeps a signal that it was started with ignored (as a
    // background job of a script is), so the child starts with the default action.
    p.setChildProcessModifier([inChild] {
        ::signal(SIGINT, SIG_DFL);
        if (inChild != nullptr) {
            inChild();
        }
    });
    p.start(QStringLiteral(QMX_CLI_PATH), QStringList{QStringLiteral("--simulate"), QStringLiteral("record")} + args);
    ASSERT_TRUE(p.waitForStarted());
}

/// Checks the file's shape: one header line, then data lines numbered from 0 without gaps, every
/// line ending with ";" and CR LF. Returns the number of data lines.
long checkRecording(const QByteArray& text, const QByteArray& header, const QRegularExpression& line)
{
    EXPECT_TRUE(text.endsWith("\r\n"));
    QList<QByteArray> lines = text.split('\n');
    lines.removeLast(); // after the last CR LF
    EXPECT_FALSE(lines.isEmpty());
    if (lines.isEmpty()) {
        return 0;
    }
    EXPECT_EQ(lines.front(), header + '\r');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString l = QString::fromUtf8(lines[i]);
        const auto match = line.match(l);
        EXPECT_TRUE(match.hasMatch()) << i << ": " << l.toStdString();
        if (!match.hasMatch()) {
            return 0;
        }
        EXPECT_EQ(match.captured(QStringLiteral("no")).toLong(), i - 1);
    }
    return static_cast<long>(lines.size() - 1);
}

const QRegularExpression kDefaultLine(
    QStringLiteral(R"(^\d{1,2}-\d{1,2}-\d{4};\d{1,2}:\d{1,2}:\d{1,2}:\d{1,3};(?<no>\d+);-?\d+\.\d;\r$)"));

} // namespace

TEST(RecordCommand, ThreeSecondsAtTheFastestSpeedWriteAHeaderAndAboutThreeHundredLines)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("x.csv"));
    QProcess p;
    startTool(p, {QStringLiteral("--out"), out, QStringLiteral("--speed"), QStringLiteral("0"),
                  QStringLiteral("--seconds"), QStringLiteral("3")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const long lines = checkRecording(readAll(out), "Date;Time;No.;Canal 1;", kDefaultLine);
    EXPECT_GE(lines, 200);
    EXPECT_LE(lines, 320);
}

TEST(RecordCommand, ColumnsSpeedAndDecimalsFollowTheOptions)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("y"));
    QProcess p;
    startTool(p, {QStringLiteral("--out"), out, QStringLiteral("--speed"), QStringLiteral("3"),
                  QStringLiteral("--columns"), QStringLiteral("count,sum,s4"), QStringLiteral("--decimals"),
                  QStringLiteral("3"), QStringLiteral("--seconds"), QStringLiteral("1.5")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QRegularExpression line(QStringLiteral(R"(^(?<no>\d+);-?\d+\.\d{3};-?\d+\.\d{3};\r$)"));
    const long lines = checkRecording(readAll(out), "No.;Sum;Canal 4;", line);
    EXPECT_GE(lines, 8);
    EXPECT_LE(lines, 16);
}

TEST(RecordCommand, UsageErrorsExitWith64BeforeAnythingIsRecorded)
{
    const QStringList cases[] = {
        {},
        {QStringLiteral("--speed"), QStringLiteral("0")},
        {QStringLiteral("--out")},
        {QStringLiteral("--out"), QStringLiteral("a.csv"), QStringLiteral("--speed"), QStringLiteral("7")},
        {QStringLiteral("--out"), QStringLiteral("a.csv"), QStringLiteral("--speed"), QStringLiteral("x")},
        {QStringLiteral("--out"), QStringLiteral("a.csv"), QStringLiteral("--mode"), QStringLiteral("edge")},
        {QStringLiteral("--out"), QStringLiteral("a.csv"), QStringLiteral("--columns"), QStringLiteral("date,s5")},
        {QStringLiteral("--out"), QStringLiteral("a.csv"), QStringLiteral("--seconds"), QStringLiteral("-1")},
        {QStringLiteral("--out"), QStringLiteral("a.csv"), QStringLiteral("--decimals"), QStringLiteral("5")},
        {QStringLiteral("--out"), QStringLiteral("a.csv"), QStringLiteral("--loud"), QStringLiteral("1")},
    };
    QTemporaryDir dir;
    for (const QStringList& args : cases) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        startTool(p, args);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 64) << args.join(u' ').toStdString();
        EXPECT_FALSE(p.readAllStandardError().isEmpty());
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(RecordCommand, InterruptEndsTheRunWithEveryLineOnDisk)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("z.csv"));
    QProcess p;
    startTool(p, {QStringLiteral("--out"), out, QStringLiteral("--speed"), QStringLiteral("0")});
    // Wait until the first lines are on disk (the first one-second flush), then press Ctrl-C.
    QElapsedTimer clock;
    clock.start();
    while (readAll(out).count("\r\n") < 2 && clock.elapsed() < 20000) {
        ASSERT_FALSE(p.waitForFinished(100)) << p.readAllStandardError().toStdString();
    }
    const qsizetype before = readAll(out).size();
    ASSERT_GT(before, 0);
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QByteArray text = readAll(out);
    EXPECT_GE(text.size(), before);
    EXPECT_GT(checkRecording(text, "Date;Time;No.;Canal 1;", kDefaultLine), 0);
}

TEST(RecordCommand, AFileThatCannotBeOpenedEndsWithExit74AndNamesIt)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("missing/x.csv"));
    QProcess p;
    startTool(p, {QStringLiteral("--out"), out, QStringLiteral("--seconds"), QStringLiteral("5")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 74);
    EXPECT_TRUE(QString::fromLocal8Bit(p.readAllStandardError()).contains(out));
}

TEST(RecordCommand, AFifoIsRefusedAtOnceWithExit74)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.csv"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QProcess p;
    startTool(p, {QStringLiteral("--out"), fifo, QStringLiteral("--seconds"), QStringLiteral("5")});
    const bool finished = p.waitForFinished(30000);
    if (!finished) {
        p.kill();
        p.waitForFinished();
    }
    ASSERT_TRUE(finished) << "the tool hung on the pipe";
    EXPECT_EQ(p.exitCode(), 74);
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    EXPECT_TRUE(err.contains(fifo)) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("not a regular file"))) << err.toStdString();
}

TEST(RecordCommand, ASymbolicLinkIsWrittenThroughOnlyWithFollowSymlinks)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("passwd"));
    {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("root:x:0:0::/root:/bin/sh\n");
    }
    const QString link = dir.filePath(QStringLiteral("out.csv"));
    ASSERT_TRUE(QFile::link(target, link));
    {
        QProcess p;
        startTool(p, {QStringLiteral("--out"), link, QStringLiteral("--seconds"), QStringLiteral("1")});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 74);
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        EXPECT_TRUE(err.contains(QStringLiteral("symbolic link"))) << err.toStdString();
        EXPECT_TRUE(err.contains(QStringLiteral("--follow-symlinks"))) << err.toStdString();
        EXPECT_EQ(readAll(target), QByteArray("root:x:0:0::/root:/bin/sh\n"));
    }
    {
        QProcess p;
        startTool(p, {QStringLiteral("--out"), link, QStringLiteral("--follow-symlinks"), QStringLiteral("--speed"),
                      QStringLiteral("4"), QStringLiteral("--seconds"), QStringLiteral("1.5")});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        EXPECT_TRUE(readAll(target).startsWith("root:x:0:0::/root:/bin/sh\nDate;Time;No.;Canal 1;\r\n"));
    }
}

TEST(RecordCommand, AFullDiskLeavesOnlyWholeLinesAndCountsTheLinesNotWritten)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("full.csv"));
    constexpr rlim_t kRoom = 3000; // bytes the "disk" takes: about a second of lines at 100/s
    QProcess p;
    // In the child before exec: a file-size limit stands in for a full disk.
    startTool(p,
              {QStringLiteral("--out"), out, QStringLiteral("--speed"), QStringLiteral("0"), QStringLiteral("--seconds"),
               QStringLiteral("10")},
              [] {
                  ::signal(SIGXFSZ, SIG_IGN);
                  rlimit limit{kRoom, kRoom};
                  ::setrlimit(RLIMIT_FSIZE, &limit);
              });
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 74);
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    const QRegularExpressionMatch counted = QRegularExpression(QStringLiteral(R"((\d+) lines not written)")).match(err);
    ASSERT_TRUE(counted.hasMatch()) << err.toStdString();
    EXPECT_GT(counted.captured(1).toLong(), 0);
    const QByteArray text = readAll(out);
    EXPECT_LE(text.size(), static_cast<qsizetype>(kRoom));
    EXPECT_GT(checkRecording(text, "Date;Time;No.;Canal 1;", kDefaultLine), 0) << "no torn last line";
}

TEST(RecordCommand, TheLoggerWaitsOutAFullDiskAndResumesInANewFileWithOnlyWholeLines)
{
    QTemporaryDir dir;
    constexpr rlim_t kRoom = 3000; // each file takes about a second of lines at 100/s
    QProcess p;
    // As above, a file-size limit stands in for a full disk; the folder itself still has space, so
    // the logger's check after 10 s lets it go on in a new file, which fills up in turn.
    startTool(p,
              {QStringLiteral("--dir"), dir.path(), QStringLiteral("--speed"), QStringLiteral("0"), QStringLiteral("--seconds"),
               QStringLiteral("11.5")},
              [] {
                  ::signal(SIGXFSZ, SIG_IGN);
                  rlimit limit{kRoom, kRoom};
                  ::setrlimit(RLIMIT_FSIZE, &limit);
              });
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 0) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("writing stopped: cannot write "))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("writing resumed;"))) << err.toStdString();
    const QStringList names = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(names.size(), 2) << names.join(u' ').toStdString();
    for (const QString& name : names) {
        const QByteArray text = readAll(dir.filePath(name));
        EXPECT_LE(text.size(), static_cast<qsizetype>(kRoom));
        EXPECT_GT(checkRecording(text, "Date;Time;No.;Canal 1;", kDefaultLine), 0) << name.toStdString();
    }
}
