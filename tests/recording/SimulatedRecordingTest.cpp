// Ten minutes of recording from the virtual transducer on simulated time: every measurement report
// it sends becomes exactly one line, numbered without gaps.

#include "recording/recorder/Recorder.h"
#include "sim/VirtualTransducer.h"

#include "link/Protocol.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>

using namespace qmx;
using namespace std::chrono_literals;

TEST(SimulatedRecording, TenMinutesAtTheFastestSpeedGiveOneLinePerFrameSent)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pomiary.csv"));
    sim::VirtualTransducer device;
    QDateTime clock(QDate(2026, 12, 9), QTime(23, 55, 0, 0)); // crosses midnight on the way

    recording::Recorder recorder(display::NumberLocale::c(), [&clock] { return clock; });
    recorder.setDecimalsSource([] { return 2; });
    recording::RecordOptions options;
    options.speedIndex = 0;
    options.columns = recording::RecordColumns{true, true, true, true, {true, true, true, true}};
    options.fileName = path;
    recorder.setOptions(options);
    recorder.beginRun();

    long framesSent = 0;
    long lines = 0;
    std::vector<std::uint8_t> report;
    const std::array<std::uint8_t, 2> poll{sim::VirtualTransducer::kReportId, link::CMD_GET_MEASUREMENT};
    for (int second = 0; second < 600; ++second) {
        ASSERT_TRUE(device.handleOutputReport(poll)); // the poll timer's request, once a second
        for (int tick = 0; tick < 100; ++tick) {
            device.advance(10ms);
            while (device.popInputReport(report)) {
                link::Measurement m;
                const auto payload = std::span<const std::uint8_t>(report).subspan(1);
                if (payload.empty() || payload[0] != link::CMD_GET_MEASUREMENT || !link::decodeMeasurement(payload, m)) {
                    continue;
                }
                ++framesSent;
                clock = clock.addMSecs(10);
                const auto outcome = recorder.recordMeasurement(m);
                ASSERT_FALSE(outcome.error);
                lines += outcome.recorded ? 1 : 0;
            }
        }
        ASSERT_FALSE(recorder.flush()); // the one-second flush timer
    }
    ASSERT_FALSE(recorder.endRun());

    // 100 reports a second for 600 s of model time (the stream may start one tick after the poll).
    EXPECT_GE(framesSent, 59990);
    EXPECT_LE(framesSent, 60000);
    EXPECT_EQ(lines, framesSent);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> fileLines = f.readAll().split('\n');
    ASSERT_EQ(fileLines.size(), framesSent + 2) << "header, one line per frame, nothing after the last CR LF";
    EXPECT_EQ(fileLines.front(), QByteArray("Date;Time;No.;Sum;Canal 1;Canal 2;Canal 3;Canal 4;\r"));
    EXPECT_TRUE(fileLines.back().isEmpty());
    for (long i = 0; i < framesSent; ++i) {
        const QByteArray& line = fileLines[static_cast<qsizetype>(i + 1)];
        const QList<QByteArray> fields = line.split(';');
        ASSERT_EQ(fields.size(), 9) << i << ": " << line.toStdString();
        ASSERT_EQ(fields[2].toLong(), i) << "numbered without gaps";
        ASSERT_EQ(fields[8], QByteArray("\r"));
    }
    EXPECT_TRUE(fileLines[static_cast<qsizetype>(framesSent)].startsWith("10-12-2026;0:"));
}
