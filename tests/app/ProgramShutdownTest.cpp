// The program, run as it is installed (a copy in a folder of its own, so its preferences file lies
// beside it), with the virtual transducer and a recording running: a logout's SIGTERM, Ctrl-C's
// SIGINT and a closed terminal's SIGHUP close it as its close button does.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "SignalNames.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

using qmx::test::signalName;

class ProgramSignal : public ::testing::TestWithParam<int> {};

TEST_P(ProgramSignal, ClosesInOrderWithPreferencesWrittenAndTheRecordingWhole)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program = dir.filePath(QStringLiteral("qmx80net-pc"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QMX_PROGRAM_PATH), program));
    const QString recording = dir.filePath(QStringLiteral("pomiary.csv"));
    const QString config = dir.filePath(QStringLiteral("config.ini"));
    {
        // Recording on at start, at the fastest speed; every other key takes its default.
        QFile f(config);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Options]\r\nCheckbox_DataAcquistion=1\r\nDataAcquistionSpeed=0\r\nFileName=" +
                QFile::encodeName(recording) + "\r\n");
    }

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("HOME"), dir.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral(".config")));
    p.setProcessEnvironment(env);
    // The default action for the signals under test, whatever the test runner ignores.
    p.setChildProcessModifier([] {
        ::signal(SIGINT, SIG_DFL);
        ::signal(SIGTERM, SIG_DFL);
        ::signal(SIGHUP, SIG_DFL);
    });
    p.start(program, {QStringLiteral("--simulate")});
    ASSERT_TRUE(p.waitForStarted());

    // Wait until the recording has lines on disk (the once-a-second flush).
    QElapsedTimer clock;
    clock.start();
    while (readAll(recording).count("\r\n") < 3 && clock.elapsed() < 30000) {
        ASSERT_FALSE(p.waitForFinished(100)) << p.readAllStandardError().toStdString();
    }
    ASSERT_GE(readAll(recording).count("\r\n"), 3);
    ::kill(static_cast<pid_t>(p.processId()), GetParam());
    const bool ended = p.waitForFinished(30000);
    if (!ended) {
        p.kill();
        p.waitForFinished();
    }
    ASSERT_TRUE(ended);
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << signalName(GetParam());
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();

    // The preferences were written at closing: the keys the file lacked are there now, and the
    // recording switch is stored as it was when the program closed.
    const QByteArray preferences = readAll(config);
    for (const char* key : {"SaveDate=1", "ChartSeries1=1", "TimeSize=1", "Language=0", "Checkbox_DataAcquistion=1"}) {
        EXPECT_TRUE(preferences.contains(key)) << key << "\n" << preferences.toStdString();
    }
    EXPECT_TRUE(preferences.contains("FileName=" + QFile::encodeName(recording)));

    // The recording ends with a whole line, numbered on from the one before.
    const QByteArray text = readAll(recording);
    ASSERT_TRUE(text.endsWith("\r\n"));
    QList<QByteArray> lines = text.split('\n');
    lines.removeLast();
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.front(), "Date;Time;No.;Canal 1;\r");
    const QRegularExpression line(
        QStringLiteral(R"(^\d{1,2}-\d{1,2}-\d{4};\d{1,2}:\d{1,2}:\d{1,2}:\d{1,3};(?<no>\d+);-?\d+\.\d;\r$)"));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const auto match = line.match(QString::fromUtf8(lines[i]));
        ASSERT_TRUE(match.hasMatch()) << i << ": " << lines[i].toStdString();
        EXPECT_EQ(match.captured(QStringLiteral("no")).toLong(), i - 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Signals, ProgramSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto& info) { return std::string(signalName(info.param)); });

} // namespace
