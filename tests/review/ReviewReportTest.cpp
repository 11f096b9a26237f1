// The report painting: the chosen series are drawn in their colours inside the chart, the others
// and gaps are not, and the statistics table lists the chosen series.

#include "recording/review/ReviewReport.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace qmx::recording;

namespace {

int countColour(const QImage& image, QRgb colour, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
        }
    }
    return n;
}

} // namespace

TEST(ReviewReport, DrawsTheChosenSeriesInTheirColoursAndLeavesGapsEmpty)
{
    ChartData data;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (int r = 0; r < 2000; ++r) {
        // Channel 1 a sine over the first half, a gap over the second; channel 2 everywhere.
        const float s = r < 1000 ? 10.0F * std::sin(static_cast<float>(r) * 0.01F) : nan;
        data.append(r * 0.01, ChartValues{s, 5.0F, 0.0F, 0.0F, 0.0F});
    }
    ReportRequest request;
    request.data = &data;
    request.series = {true, false, false, false, false};
    request.fromX = 0.0;
    request.toX = data.x(data.size() - 1);
    request.source = QStringLiteral("test.csv");
    request.pixelSize = QSize(800, 500);
    QImage image(request.pixelSize, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        paintReport(painter, QRectF(0, 0, 800, 500), request);
    }
    const QRgb orange = qRgb(231, 112, 24);
    const QRgb green = qRgb(12, 175, 24);
    // The chart takes the lower part of the page, below the header and the table.
    const QRect left(100, 200, 330, 280);
    const QRect right(470, 200, 320, 280);
    EXPECT_GT(countColour(image, orange, left), 200);  // the sine
    EXPECT_EQ(countColour(image, orange, right), 0);   // the gap
    EXPECT_EQ(countColour(image, green, QRect(0, 0, 800, 500)), 0); // not chosen

    QTemporaryDir dir;
    for (const char* name : {"a.png", "a.svg", "a.pdf"}) {
        const QString path = dir.filePath(QLatin1String(name));
        ASSERT_FALSE(writeReport(request, path, *reportFormatForFileName(path))) << name;
    }
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("a.png"))).size(), QSize(800, 500));
    EXPECT_TRUE(writeReport(request, dir.filePath(QStringLiteral("none/a.png")), ReportFormat::Png));
    EXPECT_FALSE(reportFormatForFileName(QStringLiteral("a.bmp")));
    EXPECT_EQ(reportFormatForFileName(QStringLiteral("A.PDF")), ReportFormat::Pdf);
}
