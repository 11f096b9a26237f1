// The stats and plot verbs of the command-line tool, run as a program on recordings.

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

ToolRun runTool(const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QMX_CLI_PATH), args);
    ToolRun run;
    if (!p.waitForFinished(60000)) {
        return run;
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = p.readAllStandardOutput();
    run.err = p.readAllStandardError();
    return run;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// Two runs: an older one of 10 lines, then 100 lines 10 ms apart with channel 1 = 0..99 and the
/// sum = 2 except for gaps on every tenth line.
QString writeRecording(const QTemporaryDir& dir)
{
    QByteArray text = "No.;Canal 1;\r\n";
    for (int i = 0; i < 10; ++i) {
        text += QByteArray::number(i) + ";1000;\r\n";
    }
    text += "Date;Time;Sum;Canal 1;\r\n";
    for (int i = 0; i < 100; ++i) {
        text += "3-4-2026;10:0:" + QByteArray::number(i / 100) + ":" + QByteArray::number(i % 100 * 10) + ";" +
                (i % 10 == 0 ? QByteArray("---") : QByteArray("2,0")) + ";" + QByteArray::number(i) + ",0;\r\n";
    }
    const QString path = dir.filePath(QStringLiteral("rec.csv"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text);
    return path;
}

} // namespace

TEST(ReviewCommand, StatsPrintsOneTsvLinePerSeriesOfTheNewestRun)
{
    QTemporaryDir dir;
    const QString path = writeRecording(dir);
    const ToolRun run = runTool({QStringLiteral("stats"), path});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    // Channel 1: 0..99, mean 49.5, sample standard deviation sqrt(841.6667). Sum: 90 values of 2.
    EXPECT_EQ(run.out, QByteArray("series\tpoints\tmin\tmax\tmean\tstddev\tpeak_to_peak\n"
                                  "s1\t100\t0\t99\t49.5\t29.011492\t99\n"
                                  "sum\t90\t2\t2\t2\t0\t0\n"));

    const ToolRun older = runTool({QStringLiteral("stats"), path, QStringLiteral("--run"), QStringLiteral("2")});
    ASSERT_EQ(older.exitCode, 0) << older.err.toStdString();
    EXPECT_EQ(older.out, QByteArray("series\tpoints\tmin\tmax\tmean\tstddev\tpeak_to_peak\n"
                                    "s1\t10\t1000\t1000\t1000\t0\t0\n"));

    // 0.1 s to 10:00:00.290 (a clock time): rows 10..29.
    const ToolRun part = runTool({QStringLiteral("stats"), path, QStringLiteral("--from"), QStringLiteral("0.1"),
                                  QStringLiteral("--to"), QStringLiteral("10:00:00.290")});
    ASSERT_EQ(part.exitCode, 0) << part.err.toStdString();
    EXPECT_TRUE(part.out.contains("\ns1\t20\t10\t29\t19.5\t")) << part.out.toStdString();
    EXPECT_TRUE(part.out.contains("\nsum\t18\t2\t2\t2\t0\t0\n")) << part.out.toStdString();
}

TEST(ReviewCommand, PlotWritesEachReportFormat)
{
    QTemporaryDir dir;
    const QString path = writeRecording(dir);
    for (const char* name : {"r.png", "r.svg", "r.pdf"}) {
        const QString out = dir.filePath(QLatin1String(name));
        const ToolRun run = runTool({QStringLiteral("plot"), path, QStringLiteral("--out"), out,
                                     QStringLiteral("--series"), QStringLiteral("s1,sum"), QStringLiteral("--unit"),
                                     QStringLiteral("kN")});
        ASSERT_EQ(run.exitCode, 0) << name << run.err.toStdString();
        const QByteArray bytes = readAll(out);
        ASSERT_GT(bytes.size(), 1000) << name;
        if (QByteArray(name).endsWith("png")) {
            const QImage image = QImage::fromData(bytes, "PNG");
            EXPECT_EQ(image.size(), QSize(1600, 1000));
        } else if (QByteArray(name).endsWith("svg")) {
            EXPECT_TRUE(bytes.contains("<svg"));
            EXPECT_TRUE(bytes.contains("kN"));
        } else {
            EXPECT_TRUE(bytes.startsWith("%PDF"));
        }
    }
}

TEST(ReviewCommand, ErrorsEndWithTheirExitCodes)
{
    QTemporaryDir dir;
    const QString path = writeRecording(dir);
    const QString foreign = dir.filePath(QStringLiteral("foreign.csv"));
    QFile f(foreign);
    f.open(QIODevice::WriteOnly);
    f.write("time,force\n0,1\n");
    f.close();
    struct Case {
        QStringList args;
        int exitCode;
        QByteArray err;
    };
    const Case cases[] = {
        {{QStringLiteral("stats"), foreign}, 65, "foreign.csv, line 1: not a recording"},
        {{QStringLiteral("stats"), dir.filePath(QStringLiteral("none.csv"))}, 74, "none.csv"},
        {{QStringLiteral("stats"), path, QStringLiteral("--run"), QStringLiteral("3")}, 65, "2 runs"},
        {{QStringLiteral("stats")}, 64, "expected a recording FILE"},
        {{QStringLiteral("plot"), path}, 64, "--out"},
        {{QStringLiteral("plot"), path, QStringLiteral("--out"), dir.filePath(QStringLiteral("r.bmp"))}, 64, ".pdf"},
        {{QStringLiteral("plot"), path, QStringLiteral("--out"), dir.filePath(QStringLiteral("r.png")),
          QStringLiteral("--series"), QStringLiteral("s5")},
         64,
         "--series"},
        {{QStringLiteral("plot"), path, QStringLiteral("--out"), dir.filePath(QStringLiteral("no/dir/r.png"))}, 74, "r.png"},
    };
    for (const Case& c : cases) {
        const ToolRun run = runTool(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(u' ').toStdString() << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.err)) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST(ReviewCommand, SkippedLinesAreReportedAndTheRestIsCounted)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("damaged.csv"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("Sum;\r\n1.0;\r\ngarbage\r\n3.0;\r\n5.0");
    f.close();
    const ToolRun run = runTool({QStringLiteral("stats"), path});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QByteArray("series\tpoints\tmin\tmax\tmean\tstddev\tpeak_to_peak\n"
                                  "sum\t2\t1\t3\t2\t1.41421356\t2\n"));
    EXPECT_TRUE(run.err.contains("1 damaged lines skipped (the first is line 3), 1 cut-off last line skipped"))
        << run.err.toStdString();
}

TEST(ReviewCommand, StatsShowsRecordedValuesAsWrittenWithoutFloatNoise)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tenths.csv"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("Sum;\r\n983.2;\r\n983.0;\r\n321.9;\r\n");
    f.close();
    const ToolRun run = runTool({QStringLiteral("stats"), path});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    // Before: "321.899994" and "983.200012", and a peak-to-peak of "661.300018".
    EXPECT_TRUE(run.out.startsWith("series\tpoints\tmin\tmax\tmean\tstddev\tpeak_to_peak\nsum\t3\t321.9\t983.2\t"))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.endsWith("\t661.3\n")) << run.out.toStdString();
}
