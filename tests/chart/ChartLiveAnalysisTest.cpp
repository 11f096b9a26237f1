// The analysis strip over live data: statistics follow the running chart, the value axis can be
// autoscaled without zero, held at manual limits, fitted to all samples, and titled with the unit.

#include "ui/pages/ChartPage.h"
#include "ui/review/ChartAnalysisPanel.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

namespace qmx::ui {
namespace {

constexpr int kSumRow = 5; // statistics rows: time, channels 1..4, sum

class ChartLiveAnalysisTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ChartPageSources sources;
        sources.measurement = [this]() -> const link::Measurement& { return measurement; };
        sources.connected = [] { return true; };
        sources.measurementLive = [] { return true; };
        sources.decimals = [] { return 2; };
        sources.locale = display::NumberLocale::c();
        sources.clock = [this] { return clockNow; };
        page = std::make_unique<ChartPage>(std::move(sources), nullptr);
        page->chartTimer->stop(); // ticks are driven by the test
        page->resize(1000, 700);
        page->show();
    }

    ChartAnalysisPanel& panel() { return *page->chartAnalysis; }

    /// One sampling tick with every series at `value`, 10 ms after the last.
    void tickWith(float value)
    {
        measurement.ChannelValue = {value, value, value, value};
        measurement.SumValue = value;
        clockNow += std::chrono::milliseconds(10);
        page->chartTick();
    }

    /// Exports to `file` and waits until it was written; the result tells whether it was.
    bool exportTo(const QString& file)
    {
        std::optional<bool> written;
        const auto connection = QObject::connect(&panel(), &ChartAnalysisPanel::exportFinished,
                                                 [&](bool ok) { written = ok; });
        panel().exportTo(file);
        QElapsedTimer clock;
        clock.start();
        while (!written && clock.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QObject::disconnect(connection);
        return written.value_or(false);
    }

    double tableNumber(int row, int column) { return panel().statisticsTable->item(row, column)->text().toDouble(); }

    std::chrono::nanoseconds clockNow{std::chrono::seconds(1000)};
    link::Measurement measurement;
    std::unique_ptr<ChartPage> page;
};

TEST_F(ChartLiveAnalysisTest, StatisticsFollowTheRunningChartWithoutPausing)
{
    page->startChart();
    for (int i = 1; i <= 10; ++i) {
        tickWith(static_cast<float>(i));
    }
    page->chartPlot->replot();
    EXPECT_EQ(panel().statisticsTable->item(kSumRow, ChartAnalysisPanel::Points)->text(), QStringLiteral("10"));
    EXPECT_DOUBLE_EQ(tableNumber(kSumRow, ChartAnalysisPanel::Mean), 5.5);
    EXPECT_DOUBLE_EQ(tableNumber(kSumRow, ChartAnalysisPanel::PeakToPeak), 9.0);
    tickWith(21.0F);
    page->chartPlot->replot();
    EXPECT_TRUE(page->model().running());
    EXPECT_EQ(panel().statisticsTable->item(kSumRow, ChartAnalysisPanel::Points)->text(), QStringLiteral("11"));
    EXPECT_DOUBLE_EQ(tableNumber(kSumRow, ChartAnalysisPanel::Max), 21.0);
}

TEST_F(ChartLiveAnalysisTest, AutoscaleFitsTheValuesWithoutForcingZero)
{
    page->startChart();
    tickWith(100.0F);
    tickWith(110.0F);
    EXPECT_DOUBLE_EQ(page->chartPlot->leftRange().lower, -1.0); // the chart's own rule includes zero
    panel().autoscaleToggle->setChecked(true);
    EXPECT_NEAR(page->chartPlot->leftRange().lower, 99.5, 1e-6);
    EXPECT_NEAR(page->chartPlot->leftRange().upper, 110.5, 1e-6);
    tickWith(120.0F);
    EXPECT_NEAR(page->chartPlot->leftRange().lower, 99.0, 1e-6);
    EXPECT_NEAR(page->chartPlot->leftRange().upper, 121.0, 1e-6);
    panel().autoscaleToggle->setChecked(false);
    tickWith(120.0F);
    EXPECT_DOUBLE_EQ(page->chartPlot->leftRange().lower, -1.0);
}

TEST_F(ChartLiveAnalysisTest, ManualValueLimitsHoldWhileTheChartRuns)
{
    page->startChart();
    tickWith(3.0F);
    panel().valueMinimumEdit->setText(QStringLiteral("-5"));
    panel().valueMaximumEdit->setText(QStringLiteral("20"));
    emit panel().valueMaximumEdit->editingFinished();
    tickWith(50.0F);
    EXPECT_DOUBLE_EQ(page->chartPlot->leftRange().lower, -5.0);
    EXPECT_DOUBLE_EQ(page->chartPlot->leftRange().upper, 20.0);
    // An upper limit below the lower one is not taken.
    panel().valueMaximumEdit->setText(QStringLiteral("-10"));
    emit panel().valueMaximumEdit->editingFinished();
    EXPECT_DOUBLE_EQ(page->chartPlot->leftRange().upper, 20.0);
    // Both limits cleared: the chart's own rule (from below zero to above the largest value).
    panel().valueMinimumEdit->clear();
    panel().valueMaximumEdit->clear();
    emit panel().valueMaximumEdit->editingFinished();
    tickWith(50.0F);
    EXPECT_DOUBLE_EQ(page->chartPlot->leftRange().lower, -1.0);
    EXPECT_DOUBLE_EQ(page->chartPlot->leftRange().upper, 51.0);
}

TEST_F(ChartLiveAnalysisTest, FitAllShowsEverySampleAndTheAxisCarriesTheUnit)
{
    page->applyTimeWindowIndex(0); // a one-second window that scrolls
    page->startChart();
    for (int i = 0; i < 300; ++i) {
        tickWith(static_cast<float>(i));
    }
    EXPECT_GT(page->chartPlot->bottomRange().lower, 1.0);
    page->pauseChart();
    panel().fitAllButton->click();
    EXPECT_DOUBLE_EQ(page->chartPlot->bottomRange().lower, page->chartPlot->chartData().x(0));
    EXPECT_DOUBLE_EQ(page->chartPlot->bottomRange().upper, page->chartPlot->chartData().x(299));
    panel().setLiveUnit(QStringLiteral(" kN"));
    EXPECT_EQ(page->chartPlot->yAxis->label(), QStringLiteral("Wartosc pomiaru [kN]"));
}

TEST_F(ChartLiveAnalysisTest, VisibleLiveRangeIsExportedInTheRecordersFormat)
{
    page->startChart();
    for (int i = 0; i < 40; ++i) {
        tickWith(static_cast<float>(i));
    }
    // Rows 10..29 in view (times 0.10 .. 0.29 s).
    page->chartPlot->setBottomRange({0.095, 0.295});
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("na-zywo.csv"));
    ASSERT_TRUE(exportTo(csv));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    EXPECT_EQ(lines.value(0).trimmed(), QByteArrayLiteral("No.;Sum;Canal 1;Canal 2;Canal 3;Canal 4;"));
    ASSERT_EQ(lines.size(), 1 + 20 + 1);
    EXPECT_TRUE(lines[1].contains(";10.00;10.00;")) << lines[1].toStdString();
    const QString png = dir.filePath(QStringLiteral("na-zywo.png"));
    EXPECT_TRUE(exportTo(png));
    EXPECT_GT(QFileInfo(png).size(), 500);
}

} // namespace
} // namespace qmx::ui
