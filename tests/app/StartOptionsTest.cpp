// The program's start-up options, run as the built program: help and version print and end, an
// unknown option or argument is refused with a message and the usage exit code, and Qt's own
// options still reach Qt.

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ProgramRun runProgram(const QStringList& arguments)
{
    QTemporaryDir home;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QMX_PROGRAM_PATH), arguments);
    ProgramRun run;
    if (!p.waitForStarted() || !p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return run;
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(p.readAllStandardError());
    return run;
}

TEST(StartOptions, HelpListsTheOptionsAndEnds)
{
    for (const char* option : {"--help", "-h", "--help-all"}) {
        const ProgramRun run = runProgram({QString::fromLatin1(option)});
        EXPECT_EQ(run.exitCode, 0) << option << ": " << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(QStringLiteral("--simulate"))) << option << ": " << run.out.toStdString();
        EXPECT_TRUE(run.out.contains(QStringLiteral("--version"))) << option;
        EXPECT_TRUE(run.out.contains(QStringLiteral("-platform"))) << option;
    }
}

TEST(StartOptions, VersionPrintsTheProgramVersionAndEnds)
{
    const ProgramRun run = runProgram({QStringLiteral("--version")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("qmx80net-pc 1.01\n"));
}

TEST(StartOptions, QtsOwnOptionsAreTakenBeforeTheProgramsOptions)
{
    // -platform is Qt's: it must not be refused as unknown.
    const ProgramRun run = runProgram({QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--simulate"),
                                QStringLiteral("--version")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("qmx80net-pc 1.01\n"));
}

struct Refused {
    QStringList arguments;
    const char* named; ///< what the message names
};

class RefusedStart : public ::testing::TestWithParam<Refused> {};

TEST_P(RefusedStart, IsRefusedOnStandardErrorWithTheUsageCode)
{
    const ProgramRun run = runProgram(GetParam().arguments);
    EXPECT_EQ(run.exitCode, 64);
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(QString::fromLatin1(GetParam().named))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("--help"))) << run.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(StartOptions, RefusedStart,
                         ::testing::Values(Refused{{QStringLiteral("--bogus")}, "bogus"},
                                           Refused{{QStringLiteral("--simulate"), QStringLiteral("-x")}, "x"},
                                           // One file is a recording to open; a second one is refused.
                                           Refused{{QStringLiteral("run.csv"), QStringLiteral("stray.csv")},
                                                   "stray.csv"}));

} // namespace
