// The tool's options run as a program: --version, --help with every exit code (and the README and
// the manual listing the same codes), list without devices, watch's formats, and record's progress
// line, shown only when standard error is a terminal.

#include "cli/ExitCodes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <set>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

ToolRun runTool(const QStringList& args, const std::function<void(QProcess&)>& setUp = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    if (setUp) {
        setUp(p);
    }
    p.start(QStringLiteral(QMX_CLI_PATH), args);
    ToolRun run;
    if (!p.waitForStarted() || !p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit) {
        return run;
    }
    run.exitCode = p.exitCode();
    run.out = p.readAllStandardOutput();
    run.err = p.readAllStandardError();
    return run;
}

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

/// The text of `document` from the line `from` up to the next line starting with `until`.
QString section(const QString& document, const QString& from, const QString& until)
{
    const qsizetype start = document.indexOf(from);
    if (start < 0) {
        return {};
    }
    const qsizetype end = document.indexOf(until, start + from.size());
    return document.mid(start, end < 0 ? -1 : end - start);
}

} // namespace

TEST(ToolOptions, VersionPrintsTheProgramsVersion)
{
    const ToolRun run = runTool({QStringLiteral("--version")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, QByteArray("qmx80net-cli " QMX_VERSION "\n"));
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
}

TEST(ToolOptions, HelpListsEveryExitCode)
{
    const ToolRun run = runTool({QStringLiteral("--help")});
    ASSERT_EQ(run.exitCode, 0);
    const QString help = QString::fromUtf8(run.out);
    const qsizetype block = help.indexOf(QStringLiteral("\nexit codes:\n"));
    ASSERT_GE(block, 0) << help.toStdString();
    const QStringList lines = help.mid(block).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(qmx::cli::kExitCodes.size()) + 1) << help.toStdString();
    for (std::size_t i = 0; i < qmx::cli::kExitCodes.size(); ++i) {
        const auto& entry = qmx::cli::kExitCodes[i];
        EXPECT_EQ(lines[static_cast<qsizetype>(i) + 1].trimmed(),
                  QStringLiteral("%1  %2").arg(entry.code).arg(QLatin1String(entry.meaning)));
    }
    // Every verb and the options added to watch and record are in the help.
    for (const char* word : {"list", "info", "watch", "record", "settings show", "--format tsv|csv|json",
                             "--status-words", "--speed INDEX|PERIOD", "--version", "stats FILE",
                             "plot FILE --out REPORT.pdf|png|svg", "--series s1,s2,s3,s4,sum"}) {
        EXPECT_TRUE(help.contains(QLatin1String(word))) << word;
    }
}

TEST(ToolOptions, TheReadmeListsTheSameExitCodesAsTheTool)
{
    const QString readme = section(readText(QStringLiteral(QMX_SOURCE_DIR "/README.md")),
                                   QStringLiteral("## Command-line tool"), QStringLiteral("\n## "));
    ASSERT_FALSE(readme.isEmpty());
    const QRegularExpression row(QStringLiteral(R"(^\| (\d+) \| (.+) \|$)"), QRegularExpression::MultilineOption);
    std::vector<std::pair<int, QString>> listed;
    for (auto it = row.globalMatch(readme); it.hasNext();) {
        const auto m = it.next();
        listed.emplace_back(m.captured(1).toInt(), m.captured(2));
    }
    ASSERT_EQ(listed.size(), qmx::cli::kExitCodes.size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
        EXPECT_EQ(listed[i].first, qmx::cli::kExitCodes[i].code);
        EXPECT_EQ(listed[i].second, QLatin1String(qmx::cli::kExitCodes[i].meaning));
    }
}

TEST(ToolOptions, TheManualListsTheSameExitCodesAsTheTool)
{
    const QString manual = section(readText(QStringLiteral(QMX_SOURCE_DIR "/doc/manual/instrukcja.html")),
                                   QStringLiteral("<a name=\"cli\">"), QStringLiteral("<h2>"));
    ASSERT_FALSE(manual.isEmpty());
    const QString table = section(manual, QStringLiteral("class=\"exit-codes\""), QStringLiteral("</table>"));
    ASSERT_FALSE(table.isEmpty());
    const QRegularExpression row(QStringLiteral(R"(<tr><td>(\d+)</td>)"));
    std::vector<int> listed;
    for (auto it = row.globalMatch(table); it.hasNext();) {
        listed.push_back(it.next().captured(1).toInt());
    }
    std::vector<int> codes;
    for (const auto& entry : qmx::cli::kExitCodes) {
        codes.push_back(entry.code);
    }
    EXPECT_EQ(listed, codes);
}

TEST(ToolOptions, ListWithoutDevicesSaysSoOnStandardError)
{
    if (!QDir(QStringLiteral("/dev")).entryList({QStringLiteral("hidraw*")}, QDir::System).isEmpty()) {
        GTEST_SKIP() << "this machine has HID devices";
    }
    const ToolRun run = runTool({QStringLiteral("list")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_EQ(run.err, QByteArray("qmx80net-cli: no HID devices found\n"));
}

TEST(ToolOptions, WatchWritesJsonLinesWithStatusWords)
{
    const ToolRun run = runTool({QStringLiteral("--simulate"), QStringLiteral("watch"), QStringLiteral("--count"),
                                 QStringLiteral("3"), QStringLiteral("--format"), QStringLiteral("json"),
                                 QStringLiteral("--status-words")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3) << run.out.toStdString();
    const QRegularExpression object(QStringLiteral(
        R"(^\{"time_s":\d+\.\d{3},"unit":"N","sum":-?\d+\.\d(,"s\d":-?\d+\.\d){4}(,"status\d":"[a-z-]+"){4}(,"(in|out)\d":[01]){4}\}$)"));
    for (const QByteArray& line : lines) {
        EXPECT_TRUE(object.match(QString::fromUtf8(line)).hasMatch()) << line.toStdString();
    }
}

TEST(ToolOptions, UnknownWatchOptionsAreUsageErrors)
{
    for (const QStringList& args : {QStringList{"--format", "xml"}, QStringList{"--decimals", "9"}, QStringList{"--bogus"}}) {
        const ToolRun run = runTool(QStringList{QStringLiteral("--simulate"), QStringLiteral("watch")} + args);
        EXPECT_EQ(run.exitCode, qmx::cli::kExitUsage) << args.join(u' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

namespace {

QStringList shortRecording(const QTemporaryDir& dir)
{
    return {QStringLiteral("--simulate"), QStringLiteral("record"), QStringLiteral("--out"),
            dir.filePath(QStringLiteral("r.csv")), QStringLiteral("--speed"), QStringLiteral("10ms"),
            QStringLiteral("--seconds"), QStringLiteral("0.8")};
}

} // namespace

TEST(ToolOptions, RecordShowsNoProgressLineWhenStandardErrorIsNotATerminal)
{
    QTemporaryDir dir;
    const ToolRun run = runTool(shortRecording(dir));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains('\r'));
    EXPECT_FALSE(run.err.contains("recording:"));
    // Only the summary, one line.
    const QRegularExpression summary(QStringLiteral(R"(^qmx80net-cli: recorded \d+ lines in 0:00:0\d; .*r\.csv is \d+(\.\d)? (B|KiB)\n$)"));
    EXPECT_TRUE(summary.match(QString::fromUtf8(run.err)).hasMatch()) << run.err.toStdString();
}

TEST(ToolOptions, RecordShowsAProgressLineOnATerminal)
{
    int master = -1;
    int replica = -1;
    ASSERT_EQ(::openpty(&master, &replica, nullptr, nullptr, nullptr), 0);
    QTemporaryDir dir;
    const ToolRun run = runTool(shortRecording(dir), [replica](QProcess& p) {
        p.setChildProcessModifier([replica] { ::dup2(replica, STDERR_FILENO); });
    });
    ::close(replica);
    QByteArray terminal;
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0) {
            break; // drained (EAGAIN) or the terminal's other end is closed (EIO)
        }
        terminal.append(buffer, n);
    }
    ::close(master);
    ASSERT_EQ(run.exitCode, 0) << terminal.toStdString();
    EXPECT_TRUE(terminal.contains("\rrecording: ")) << terminal.toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(recording: \d+ lines, \d+(\.\d)? (B|KiB), 0:00:0\d)"))
                    .match(QString::fromUtf8(terminal))
                    .hasMatch())
        << terminal.toStdString();
    // The progress line is cleared before the summary.
    EXPECT_TRUE(terminal.contains("\r\033[Kqmx80net-cli: recorded ")) << terminal.toStdString();
}
