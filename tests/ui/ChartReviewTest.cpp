// Reviewing a recording in the real main window: a file written with the recorder's own line
// builder is opened on the chart page, its runs offered, its values read under the cursors and in
// the statistics strip, exported, and left again with "Start". Cursor keys, cursor dragging and the
// wheel zoom are driven with real input events.

#include "LinkTestSupport.h"

#include "recording/chart/ChartPlot.h"
#include "recording/recorder/RecordFormat.h"
#include "sim/SimBackend.h"
#include "ui/MainWindow.h"
#include "ui/pages/ChartPage.h"
#include "ui/review/ChartAnalysisPanel.h"
#include "ui/widgets/HeaderBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

using namespace qmx;
using qmx::test::waitUntil;

namespace {

struct ScriptedReviewDialogs : ui::ReviewDialogs {
    struct Log {
        QString toOpen;
        QString exportName;
        QStringList errors;
    };
    explicit ScriptedReviewDialogs(Log& log) : log(log) {}
    QString recordingToOpen() override { return log.toOpen; }
    QString exportFileName() override { return log.exportName; }
    void error(const QString& message) override { log.errors << message; }
    Log& log;
};

/// Values of one recorded line, as the recorder gets them.
recording::RecordValues lineValues(const QDateTime& start, int index)
{
    recording::RecordValues v;
    v.stamp = start.addMSecs(10LL * index);
    v.number = index;
    v.decimals = 2;
    for (int c = 0; c < 4; ++c) {
        v.sensor[static_cast<std::size_t>(c)] =
            static_cast<float>(std::round((100.0 * std::sin(0.05 * index + c) + 7.0 * c) * 100.0) / 100.0);
    }
    v.sum = v.sensor[0] + v.sensor[1] + v.sensor[2] + v.sensor[3];
    return v;
}

class ChartReviewFixture : public ::testing::Test {
protected:
    static constexpr int kOldRunLines = 50;
    static constexpr int kNewRunLines = 200;

    ChartReviewFixture() : sim(sim::SimBackend::Clock::Manual), window(sim)
    {
        page().chartAnalysis->setDialogs(std::make_unique<ScriptedReviewDialogs>(log));
        // The legend's choices are the user's: the sum is switched on as a user would.
        page().setSeriesActive(4, true);
        window.resize(window.minimumSize());
        window.show();
        // The newest run crosses midnight: its x axis is the recorded clock.
        newStart = QDateTime(QDate(2026, 12, 9), QTime(23, 59, 59, 500));
        const QDateTime oldStart(QDate(2026, 12, 9), QTime(10, 0, 0));
        QByteArray bytes;
        recording::RecordColumns columns;
        columns.date = columns.time = columns.count = columns.sum = true;
        columns.sensor = {true, true, true, true};
        const auto locale = display::NumberLocale::c();
        for (int i = 0; i < kOldRunLines; ++i) {
            bytes += recording::buildRecordLine(columns, lineValues(oldStart, i), i == 0, locale);
        }
        for (int i = 0; i < kNewRunLines; ++i) {
            bytes += recording::buildRecordLine(columns, lineValues(newStart, i), i == 0, locale);
        }
        // An interrupted recording: the last line was cut off.
        bytes += recording::buildRecordLine(columns, lineValues(newStart, kNewRunLines), false, locale).left(12);
        path = dir.filePath(QStringLiteral("proba.csv"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    ui::ChartPage& page() { return *window.chartPage; }
    ui::ChartAnalysisPanel& panel() { return *page().chartAnalysis; }
    recording::ChartPlot& chart() { return *page().chartPlot; }

    /// Opens `file` the way the command line does and waits until it was read.
    bool open(const QString& file)
    {
        int loads = 0;
        const auto connection = QObject::connect(&panel(), &ui::ChartAnalysisPanel::recordingLoaded,
                                                 [&](bool) { ++loads; });
        window.openRecordingForReview(file);
        const bool done = waitUntil([&] { return loads > 0; }, 20000);
        QObject::disconnect(connection);
        return done;
    }

    /// Exports to `file` and waits until it was written; the result tells whether it was.
    bool exportTo(const QString& file)
    {
        std::optional<bool> written;
        const auto connection = QObject::connect(&panel(), &ui::ChartAnalysisPanel::exportFinished,
                                                 [&](bool ok) { written = ok; });
        panel().exportTo(file);
        waitUntil([&] { return written.has_value(); }, 20000);
        QObject::disconnect(connection);
        return written.value_or(false);
    }

    double tableNumber(int row, int column)
    {
        return panel().statisticsTable->item(row, column)->text().toDouble();
    }

    sim::SimBackend sim;
    ui::MainWindow window;
    ScriptedReviewDialogs::Log log;
    QTemporaryDir dir;
    QString path;
    QDateTime newStart;
};

constexpr int kSumRow = 5; // statistics rows: time, channels 1..4, sum

} // namespace

TEST_F(ChartReviewFixture, OpenedRecordingShowsItsNewestRunWithCursorValuesAndStatisticsOfTheFile)
{
    ASSERT_TRUE(open(path));
    EXPECT_TRUE(log.errors.isEmpty()) << log.errors.join(u'\n').toStdString();
    EXPECT_EQ(window.pageTabs->currentWidget(), &page());
    ASSERT_TRUE(panel().inReview());
    // The chart says which file it shows, and that the torn last line was skipped.
    EXPECT_TRUE(page().chartHeader->caption().contains(QStringLiteral("proba.csv")));
    EXPECT_TRUE(panel().statusLabel->text().contains(QStringLiteral("proba.csv")));
    EXPECT_TRUE(panel().statusLabel->text().contains(QStringLiteral("urwany")));
    // Both runs offered, the newest first and shown.
    ASSERT_EQ(panel().runList->count(), 2);
    EXPECT_EQ(panel().runList->currentIndex(), 0);
    const recording::ChartData& data = chart().chartData();
    ASSERT_EQ(data.size(), static_cast<std::size_t>(kNewRunLines));
    // Clock time across midnight: the rows stay 10 ms apart.
    EXPECT_NEAR(data.x(100) - data.x(40), 0.6, 1e-6);
    EXPECT_NEAR(chart().xAxis->range().lower, data.x(0), 1e-9);
    EXPECT_NEAR(chart().xAxis->range().upper, data.x(kNewRunLines - 1), 1e-9);

    // Cursors on rows 20 and 150 read the recorded values.
    panel().cursorsToggle->setChecked(true);
    panel().cursors().setPosition(0, data.x(20) + 0.003);
    panel().cursors().setPosition(1, data.x(150) - 0.004);
    EXPECT_EQ(panel().cursors().position(0), data.x(20));
    EXPECT_EQ(panel().cursors().position(1), data.x(150));
    const recording::RecordValues at20 = lineValues(newStart, 20);
    const recording::RecordValues at150 = lineValues(newStart, 150);
    EXPECT_NEAR(tableNumber(1, ui::ChartAnalysisPanel::Cursor1), at20.sensor[0], 1e-3);
    EXPECT_NEAR(tableNumber(kSumRow, ui::ChartAnalysisPanel::Cursor1), at20.sum, 1e-3);
    EXPECT_NEAR(tableNumber(kSumRow, ui::ChartAnalysisPanel::Cursor2), at150.sum, 1e-3);
    EXPECT_NEAR(tableNumber(kSumRow, ui::ChartAnalysisPanel::Difference), at150.sum - at20.sum, 1e-3);
    EXPECT_EQ(panel().statisticsTable->item(0, ui::ChartAnalysisPanel::Difference)->text(), QStringLiteral("1.300"));

    // Statistics between the cursors against a direct computation over the written values.
    double sum = 0.0;
    double minimum = 1e9;
    double maximum = -1e9;
    for (int i = 20; i <= 150; ++i) {
        const double v = lineValues(newStart, i).sum;
        sum += v;
        minimum = std::min(minimum, v);
        maximum = std::max(maximum, v);
    }
    const double mean = sum / 131.0;
    double squares = 0.0;
    for (int i = 20; i <= 150; ++i) {
        squares += std::pow(lineValues(newStart, i).sum - mean, 2);
    }
    EXPECT_EQ(panel().statisticsTable->item(kSumRow, ui::ChartAnalysisPanel::Points)->text(), QStringLiteral("131"));
    EXPECT_NEAR(tableNumber(kSumRow, ui::ChartAnalysisPanel::Min), minimum, 1e-3);
    EXPECT_NEAR(tableNumber(kSumRow, ui::ChartAnalysisPanel::Max), maximum, 1e-3);
    EXPECT_NEAR(tableNumber(kSumRow, ui::ChartAnalysisPanel::Mean), mean, 1e-3);
    EXPECT_NEAR(tableNumber(kSumRow, ui::ChartAnalysisPanel::PeakToPeak), maximum - minimum, 1e-3);
    EXPECT_NEAR(tableNumber(kSumRow, ui::ChartAnalysisPanel::Deviation), std::sqrt(squares / 130.0), 1e-3);

    // The visible range exported as CSV in the program's format holds the visible rows.
    const QString csv = dir.filePath(QStringLiteral("zakres.csv"));
    chart().setBottomRange({data.x(10), data.x(59)});
    log.exportName = csv;
    std::optional<bool> written;
    QObject::connect(&panel(), &ui::ChartAnalysisPanel::exportFinished, [&](bool ok) { written = ok; });
    panel().exportButton->click();
    ASSERT_TRUE(waitUntil([&] { return written.has_value(); }, 20000));
    EXPECT_TRUE(*written);
    EXPECT_TRUE(log.errors.isEmpty()) << log.errors.join(u'\n').toStdString();
    QFile exported(csv);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = exported.readAll().split('\n');
    EXPECT_EQ(lines.value(0).trimmed(), QByteArrayLiteral("Date;Time;No.;Sum;Canal 1;Canal 2;Canal 3;Canal 4;"));
    EXPECT_EQ(lines.size(), 1 + 50 + 1); // header, rows 10..59, nothing after the last line end
}

TEST_F(ChartReviewFixture, PictureExportsAreWrittenInEachFormat)
{
    ASSERT_TRUE(open(path));
    for (const char* name : {"wykres.png", "wykres.svg", "wykres.pdf"}) {
        const QString file = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(exportTo(file)) << name << ' ' << log.errors.join(u'\n').toStdString();
        EXPECT_GT(QFileInfo(file).size(), 500) << name;
    }
    if (const QString shots = qEnvironmentVariable("QMX_SCREENSHOT_DIR"); !shots.isEmpty()) {
        QFile::remove(shots + QStringLiteral("/chart-review-export.png"));
        EXPECT_TRUE(QFile::copy(dir.filePath(QStringLiteral("wykres.png")), shots + QStringLiteral("/chart-review-export.png")));
    }
    // A file that cannot be written is reported, naming it.
    const QString unwritable = dir.filePath(QStringLiteral("brak/wykres.png"));
    EXPECT_FALSE(exportTo(unwritable));
    ASSERT_EQ(log.errors.size(), 1);
    EXPECT_TRUE(log.errors[0].contains(unwritable)) << log.errors[0].toStdString();
}

TEST_F(ChartReviewFixture, OlderRunIsShownWhenChosen)
{
    ASSERT_TRUE(open(path));
    int loads = 0;
    QObject::connect(&panel(), &ui::ChartAnalysisPanel::recordingLoaded, [&](bool) { ++loads; });
    panel().runList->setCurrentIndex(1);
    emit panel().runList->activated(1);
    ASSERT_TRUE(waitUntil([&] { return loads > 0; }, 20000));
    EXPECT_EQ(chart().chartData().size(), static_cast<std::size_t>(kOldRunLines));
    EXPECT_EQ(panel().runList->currentIndex(), 1);
}

TEST_F(ChartReviewFixture, ForeignFileIsRefusedNamingItsLine)
{
    const QString foreign = dir.filePath(QStringLiteral("obcy.csv"));
    QFile file(foreign);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Name;Value\r\nx;1\r\n");
    file.close();
    ASSERT_TRUE(open(foreign));
    ASSERT_EQ(log.errors.size(), 1);
    EXPECT_TRUE(log.errors[0].contains(QStringLiteral("obcy.csv"))) << log.errors[0].toStdString();
    EXPECT_TRUE(log.errors[0].contains(QStringLiteral("wiersz 1 "))) << log.errors[0].toStdString();
    EXPECT_FALSE(panel().inReview());
}

TEST_F(ChartReviewFixture, StartReturnsToTheLiveChart)
{
    ASSERT_TRUE(open(path));
    ASSERT_TRUE(panel().inReview());
    // "Reset" clears the live samples only: the recording stays in view.
    page().chartResetButton->click();
    EXPECT_TRUE(panel().inReview());
    EXPECT_NEAR(chart().xAxis->range().lower, chart().chartData().x(0), 1e-9);
    page().chartStartButton->click();
    EXPECT_FALSE(panel().inReview());
    EXPECT_FALSE(chart().showsOtherStore());
    EXPECT_TRUE(chart().chartData().empty());
    EXPECT_EQ(page().chartHeader->caption(), QStringLiteral("Wykres aktywny"));
    EXPECT_TRUE(panel().statusLabel->text().isEmpty());
    EXPECT_FALSE(panel().runList->isVisible());
    EXPECT_EQ(chart().xAxis->label(), QStringLiteral("Czas [s]"));
}

TEST_F(ChartReviewFixture, ArrowKeysMoveTheActiveCursorFromSampleToSample)
{
    ASSERT_TRUE(open(path));
    panel().cursorsToggle->setChecked(true);
    const recording::ChartData& data = chart().chartData();
    panel().cursors().setPosition(0, data.x(30));
    panel().cursors().setActiveCursor(0);
    QTest::keyClick(&chart(), Qt::Key_Right);
    EXPECT_EQ(panel().cursors().position(0), data.x(31));
    QTest::keyClick(&chart(), Qt::Key_Left);
    QTest::keyClick(&chart(), Qt::Key_Left);
    EXPECT_EQ(panel().cursors().position(0), data.x(29));
    // Down picks the second cursor; the first stays.
    const double second = panel().cursors().position(1);
    QTest::keyClick(&chart(), Qt::Key_Down);
    QTest::keyClick(&chart(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(panel().cursors().position(0), data.x(29));
    EXPECT_EQ(panel().cursors().position(1), data.x(static_cast<std::size_t>(std::lround((second - data.x(0)) / 0.01)) + 10));
}

TEST_F(ChartReviewFixture, DraggingACursorMovesItToTheSampleUnderThePointer)
{
    ASSERT_TRUE(open(path));
    panel().cursorsToggle->setChecked(true);
    const recording::ChartData& data = chart().chartData();
    const QPoint from(static_cast<int>(std::lround(chart().xAxis->coordToPixel(panel().cursors().position(0)))),
                      chart().axisRect()->rect().center().y());
    const QPoint to(chart().axisRect()->rect().left() + 10, from.y());
    QTest::mousePress(&chart(), Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(&chart(), to);
    QTest::mouseRelease(&chart(), Qt::LeftButton, Qt::NoModifier, to);
    const double wanted = chart().xAxis->pixelToCoord(to.x());
    const double got = panel().cursors().position(0);
    EXPECT_NEAR(got, wanted, 0.006);
    EXPECT_EQ(got, data.x(static_cast<std::size_t>(std::lround((got - data.x(0)) / 0.01))));
    // The drag moved the cursor, it did not zoom.
    EXPECT_NEAR(chart().xAxis->range().lower, data.x(0), 1e-9);
}

TEST_F(ChartReviewFixture, WheelZoomKeepsThePointUnderThePointer)
{
    ASSERT_TRUE(open(path));
    const QRect area = chart().axisRect()->rect();
    const QPointF pointer(area.left() + area.width() * 0.3, area.center().y());
    const double before = chart().xAxis->pixelToCoord(pointer.x());
    const double span = chart().xAxis->range().size();
    QWheelEvent wheel(pointer, chart().mapToGlobal(pointer), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&chart(), &wheel);
    EXPECT_NEAR(chart().xAxis->pixelToCoord(pointer.x()), before, 1e-9);
    EXPECT_NEAR(chart().xAxis->range().size(), span * ui::ChartCursors::kWheelZoomStep, 1e-9);
    QWheelEvent back(pointer, chart().mapToGlobal(pointer), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(&chart(), &back);
    EXPECT_NEAR(chart().xAxis->range().size(), span, 1e-9);
}

TEST_F(ChartReviewFixture, ReviewStripFitsThePageAtTheWindowsMinimumSize)
{
    ASSERT_TRUE(open(path));
    panel().cursorsToggle->setChecked(true);
    window.resize(window.minimumSize());
    QApplication::processEvents();
    chart().replot();
    const QRect pageRect = page().rect();
    for (QWidget* w : panel().findChildren<QWidget*>()) {
        // Labels that elide (ignored width) may be narrower than their text.
        if (!w->isVisible() || w->parentWidget() != &panel() ||
            w->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored) {
            continue;
        }
        const QRect onPage(w->mapTo(&page(), QPoint(0, 0)), w->size());
        EXPECT_TRUE(pageRect.contains(onPage)) << w->objectName().toStdString();
        EXPECT_GE(w->width(), w->minimumSizeHint().width() - 1) << w->objectName().toStdString();
    }
    // Every statistics row is readable: the table is as tall as its header and rows.
    const QTableWidget& table = *panel().statisticsTable;
    EXPECT_GE(table.viewport()->height(), table.rowViewportPosition(table.rowCount() - 1) + table.rowHeight(0));
    // The chart keeps a usable height beside the strip.
    EXPECT_GE(chart().axisRect()->rect().height(), 120);
    // Set QMX_SCREENSHOT_DIR to keep a picture of the page for a look by eye.
    if (const QString shots = qEnvironmentVariable("QMX_SCREENSHOT_DIR"); !shots.isEmpty()) {
        EXPECT_TRUE(page().grab().save(shots + QStringLiteral("/chart-review-minimum.png")));
        window.resize(1100, 800);
        QApplication::processEvents();
        chart().replot();
        EXPECT_TRUE(page().grab().save(shots + QStringLiteral("/chart-review-large.png")));
    }
}

TEST_F(ChartReviewFixture, LiveChartWithEverySeriesKeepsAPlotAtTheMinimumSize)
{
    window.pageTabs->setCurrentWidget(&page());
    for (int i = 0; i < recording::kChartSeriesCount; ++i) {
        page().setSeriesActive(i, true);
    }
    panel().cursorsToggle->setChecked(true);
    window.resize(window.minimumSize());
    QApplication::processEvents();
    chart().replot();
    // Every statistics row shown, and still a plot to look at.
    EXPECT_FALSE(panel().statisticsTable->isRowHidden(recording::kChartSeriesCount));
    EXPECT_GE(chart().axisRect()->rect().height(), 80);
    if (const QString shots = qEnvironmentVariable("QMX_SCREENSHOT_DIR"); !shots.isEmpty()) {
        EXPECT_TRUE(page().grab().save(shots + QStringLiteral("/chart-live-all-series-minimum.png")));
    }
}

TEST_F(ChartReviewFixture, StripTextsFollowTheWindowsLanguage)
{
    window.languageList->setCurrentIndex(1);
    window.applySelectedLanguage();
    EXPECT_EQ(panel().openButton->text(), QStringLiteral("Open recording…"));
    EXPECT_EQ(panel().statisticsTable->horizontalHeaderItem(ui::ChartAnalysisPanel::Mean)->text(), QStringLiteral("Mean"));
    window.languageList->setCurrentIndex(0);
    window.applySelectedLanguage();
    EXPECT_EQ(panel().openButton->text(), QStringLiteral("Otwórz rejestrację…"));
    EXPECT_EQ(panel().statisticsTable->horizontalHeaderItem(ui::ChartAnalysisPanel::Mean)->text(), QStringLiteral("Średnia"));
}

TEST_F(ChartReviewFixture, DamagedLineIsNamedAndTheRestOfTheRunShown)
{
    recording::RecordColumns columns;
    columns.count = columns.sum = true;
    const auto locale = display::NumberLocale::c();
    const QDateTime start(QDate(2026, 12, 9), QTime(8, 0));
    QByteArray bytes;
    for (int i = 0; i < 3; ++i) {
        bytes += recording::buildRecordLine(columns, lineValues(start, i), i == 0, locale);
    }
    bytes += "12;zepsute;\r\n"; // line 5
    bytes += recording::buildRecordLine(columns, lineValues(start, 3), false, locale);
    const QString damaged = dir.filePath(QStringLiteral("uszkodzony.csv"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    ASSERT_TRUE(open(damaged));
    ASSERT_EQ(log.errors.size(), 1);
    EXPECT_TRUE(log.errors[0].contains(QStringLiteral("uszkodzony.csv"))) << log.errors[0].toStdString();
    EXPECT_TRUE(log.errors[0].contains(QStringLiteral("wiersza 5"))) << log.errors[0].toStdString();
    ASSERT_TRUE(panel().inReview());
    EXPECT_EQ(chart().chartData().size(), 4U);
}
