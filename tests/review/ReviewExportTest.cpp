// A range of a reviewed run written back as CSV in the recorder's format reads back as the same rows.

#include "recording/recorder/Recorder.h"
#include "recording/review/RecordingReader.h"
#include "recording/review/ReviewReport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace qmx;
using namespace qmx::recording;

TEST(ReviewExport, ARangeWrittenAsCsvReadsBackAsTheSameRowsAndClock)
{
    QByteArray file = "Date;Time;No.;Sum;Canal 2;\r\n";
    for (int i = 0; i < 500; ++i) {
        const int ms = 50 * i; // 25 s from 23:59:50 on: across midnight
        const int total = (23 * 3600 + 59 * 60 + 50) * 1000 + ms;
        const int day = total / 86400000;
        const int t = total % 86400000;
        file += QStringLiteral("%1-12-2026;%2:%3:%4:%5;%6;%7;%8;\r\n")
                    .arg(9 + day)
                    .arg(t / 3600000)
                    .arg(t / 60000 % 60)
                    .arg(t / 1000 % 60)
                    .arg(t % 1000)
                    .arg(i)
                    .arg(i % 7 == 3 ? QStringLiteral("---") : QString::number(i * 0.25, 'f', 2))
                    .arg(QString::number(-i * 0.5, 'f', 2))
                    .toUtf8();
    }
    const ReviewReadResult r = readRecording(file, 0, {}, QStringLiteral("in.csv"));
    ASSERT_TRUE(r.recording) << r.error->text().toStdString();
    const ReviewRecording& rec = *r.recording;
    ASSERT_EQ(rec.data->size(), 500U);

    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("part.csv"));
    const double from = rec.data->x(100);
    const double to = rec.data->x(399);
    ASSERT_FALSE(exportRecordingCsv(rec, to, from, out, display::NumberLocale{u',', u' '}));
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray written = f.readAll();
    EXPECT_TRUE(written.startsWith("Date;Time;No.;Sum;Canal 2;\r\n"));
    EXPECT_TRUE(written.contains("\r\n9-12-2026;23:59:55:0;0;25,00;-50,00;\r\n")) << written.left(200).toStdString();

    const ReviewReadResult back = readRecording(written);
    ASSERT_TRUE(back.recording) << back.error->text().toStdString();
    const ReviewRecording& b = *back.recording;
    ASSERT_EQ(b.data->size(), 300U);
    EXPECT_EQ(b.columns, rec.columns);
    EXPECT_EQ(b.decimalSeparator, ',');
    for (std::size_t row = 0; row < 300; ++row) {
        EXPECT_EQ(b.clockAt(row), rec.clockAt(row + 100)) << row;
        for (int s = 0; s < kChartSeriesCount; ++s) {
            const float want = rec.data->y(s, row + 100);
            const float got = b.data->y(s, row);
            EXPECT_TRUE(std::isnan(want) ? std::isnan(got) : got == want) << row << " " << s;
        }
    }
    EXPECT_TRUE(exportRecordingCsv(rec, 0, 1e12, dir.filePath(QStringLiteral("no/such/dir.csv")), {}));
}
