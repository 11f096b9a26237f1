// The chart page in both interface languages: with English chosen the page shows no Polish text,
// running or reviewing a recording, in its captions, lists, tool tips, chart legend and axes,
// states and messages; with Polish chosen again it shows exactly the texts it showed before.
// What the page writes to files does not change with the language, except the words painted into
// report pictures.

#include "ShownTexts.h"

#include "lang/StringTable.h"
#include "recording/chart/ChartPlot.h"
#include "recording/chart/ChartRules.h"
#include "recording/recorder/RecordFormat.h"
#include "recording/review/ReviewReport.h"
#include "ui/pages/ChartPage.h"
#include "ui/review/ChartAnalysisPanel.h"
#include "ui/widgets/HeaderBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <optional>

namespace qmx::ui {
namespace {

using lang::Language;
using test::polishTextsIn;
using test::polishWordsShownBy;
using test::shownTexts;

/// Every message the page's dialogs were asked to show, as "caption|text".
struct RecordingChartDialogs : ChartDialogs {
    explicit RecordingChartDialogs(QStringList& shown) : shown(shown) {}
    bool confirm(const QString& caption, const QString& text) override
    {
        shown << caption + u'|' + text;
        return false; // nothing is printed
    }
    void information(const QString& caption, const QString& text) override { shown << caption + u'|' + text; }
    void warning(const QString& caption, const QString& text) override { shown << caption + u'|' + text; }
    void error(const QString& message) override { shown << message; }
    void printerSetup(QPrinter&) override {}
    QString bitmapSaveName() override { return QStringLiteral("/no/such/folder/chart"); }
    QStringList& shown;
};

struct RecordingReviewDialogs : ReviewDialogs {
    explicit RecordingReviewDialogs(QStringList& shown) : shown(shown) {}
    QString recordingToOpen() override { return {}; }
    QString exportFileName() override { return {}; }
    void error(const QString& message) override { shown << message; }
    QStringList& shown;
};

/// The texts shown, as "where: text" lines in the order the widgets are found, once the chart has
/// drawn what it holds (the statistics follow each drawing).
QStringList snapshot(ChartPage* root)
{
    root->chartPlot->replot();
    QStringList lines;
    for (const auto& shown : shownTexts(root)) {
        lines << shown.where + QStringLiteral(": ") + shown.text;
    }
    return lines;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ChartPageLanguageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ChartPageSources sources;
        sources.measurement = [this]() -> const link::Measurement& { return measurement; };
        sources.connected = [] { return true; };
        sources.measurementLive = [] { return true; };
        sources.decimals = [] { return 2; };
        sources.lookupText = [this](std::string_view id) { return lang::lookupText(id, language); };
        sources.locale = display::NumberLocale::c();
        sources.clock = [this] { return clockNow; };
        page = std::make_unique<ChartPage>(std::move(sources), nullptr);
        page->chartTimer->stop(); // ticks are driven by the test
        page->setDialogs(std::make_unique<RecordingChartDialogs>(messages));
        page->chartAnalysis->setDialogs(std::make_unique<RecordingReviewDialogs>(messages));
        page->setSeriesActive(4, true);
        page->resize(1000, 700);
        page->show();
    }

    void switchTo(Language chosen)
    {
        language = chosen;
        page->retranslate();
    }

    void tick(float value)
    {
        measurement.ChannelValue = {value, value + 1, value + 2, value + 3};
        measurement.SumValue = 4 * value + 6;
        clockNow += std::chrono::milliseconds(10);
        page->chartTick();
    }

    /// A recording of two runs written with the recorder's own line builder; the newer run has the
    /// recorded clock as its time base.
    QString writeRecording()
    {
        QByteArray bytes;
        recording::RecordColumns columns;
        columns.date = columns.time = columns.count = columns.sum = true;
        columns.sensor = {true, true, true, true};
        const auto locale = display::NumberLocale::c();
        for (const int lines : {20, 50}) {
            const QDateTime start(QDate(2026, 12, 9), QTime(lines == 20 ? 10 : 11, 0, 0));
            for (int i = 0; i < lines; ++i) {
                recording::RecordValues v;
                v.stamp = start.addMSecs(10LL * i);
                v.number = i;
                v.decimals = 2;
                for (int c = 0; c < 4; ++c) {
                    v.sensor[static_cast<std::size_t>(c)] = static_cast<float>(std::round(100.0 * std::sin(0.1 * i + c)));
                }
                v.sum = v.sensor[0] + v.sensor[1] + v.sensor[2] + v.sensor[3];
                bytes += recording::buildRecordLine(columns, v, i == 0, locale);
            }
        }
        // A name without words: a file's own name is the user's, the same in every language.
        const QString path = dir.filePath(QStringLiteral("r1"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    /// Opens `path` for review and waits until it was read; the result tells whether it is shown.
    bool open(const QString& path)
    {
        std::optional<bool> loaded;
        const auto connection = QObject::connect(page->chartAnalysis, &ChartAnalysisPanel::recordingLoaded,
                                                 [&](bool shown) { loaded = shown; });
        page->chartAnalysis->openRecording(path);
        QElapsedTimer clock;
        clock.start();
        while (!loaded && clock.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QObject::disconnect(connection);
        return loaded.value_or(false);
    }

    bool exportTo(const QString& path)
    {
        std::optional<bool> written;
        const auto connection = QObject::connect(page->chartAnalysis, &ChartAnalysisPanel::exportFinished,
                                                 [&](bool ok) { written = ok; });
        page->chartAnalysis->exportTo(path);
        QElapsedTimer clock;
        clock.start();
        while (!written && clock.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QObject::disconnect(connection);
        return written.value_or(false);
    }

    Language language = Language::Polish;
    std::chrono::nanoseconds clockNow{std::chrono::seconds(1000)};
    link::Measurement measurement;
    QStringList messages;
    QTemporaryDir dir;
    std::unique_ptr<ChartPage> page;
};

TEST_F(ChartPageLanguageTest, RunningChartIsEnglishAfterTheSwitchAndPolishAgainAfterTheSwitchBack)
{
    page->startChart();
    page->chartAnalysis->cursorsToggle->setChecked(true);
    for (int i = 0; i < 20; ++i) {
        tick(static_cast<float>(i));
    }
    const QStringList polish = snapshot(page.get());
    const QSet<QString> polishWords = polishWordsShownBy({page.get()});

    switchTo(Language::English);
    EXPECT_EQ(polishTextsIn(page.get(), polishWords).join(u'\n').toStdString(), "");
    // The states written by the start are re-shown at once, not at their next change.
    EXPECT_EQ(page->chartStatusEdit->text(), QStringLiteral("ACTIVE"));
    EXPECT_EQ(page->chartHeader->caption(), QStringLiteral("Chart active"));
    EXPECT_EQ(page->chartPlot->chartSeries(4)->name(), QStringLiteral("Sum"));
    EXPECT_EQ(page->chartPlot->xAxis->label(), QStringLiteral("Time [s]"));

    switchTo(Language::Polish);
    EXPECT_EQ(snapshot(page.get()).join(u'\n').toStdString(), polish.join(u'\n').toStdString());
}

TEST_F(ChartPageLanguageTest, StatesAndMessagesWrittenWithEnglishChosenAreEnglish)
{
    const QSet<QString> polishWords = polishWordsShownBy({page.get()});
    switchTo(Language::English);
    EXPECT_EQ(page->chartHeader->caption(), QStringLiteral("Chart"));
    EXPECT_EQ(page->chartStatusEdit->text(), QStringLiteral("INACTIVE"));
    page->startChart();
    tick(1.0F);
    page->pauseChart();
    EXPECT_EQ(page->chartStatusEdit->text(), QStringLiteral("INACTIVE"));
    EXPECT_EQ(page->chartHeader->caption(), QStringLiteral("Chart inactive"));

    // Both threshold warnings, the tips, the print question and a bitmap that could not be saved.
    page->setThresholds(10.0F, 0.0F);
    page->autoStopEdit->setText(QStringLiteral("50"));
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(page->autoStopEdit, &out);
    page->autoStartEdit->setText(QStringLiteral("-5"));
    QCoreApplication::sendEvent(page->autoStartEdit, &out);
    page->showChartTips();
    page->printChartPage();
    page->saveChartImage();
    // A recording that cannot be opened.
    EXPECT_FALSE(open(dir.filePath(QStringLiteral("r2"))));
    ASSERT_EQ(messages.size(), 6) << messages.join(u'\n').toStdString();
    for (const QString& message : messages) {
        EXPECT_FALSE(test::looksPolish(message, polishWords)) << message.toStdString();
    }
    EXPECT_EQ(messages[0], QStringLiteral("Warning|The \"Stop at\" value should be less than \"Start at\""));
}

TEST_F(ChartPageLanguageTest, ReviewedRecordingIsEnglishAfterTheSwitchAndPolishAgainAfterTheSwitchBack)
{
    ASSERT_TRUE(open(writeRecording()));
    page->chartAnalysis->cursorsToggle->setChecked(true);
    const QStringList polish = snapshot(page.get());
    const QSet<QString> polishWords = polishWordsShownBy({page.get()});
    ASSERT_TRUE(polish.contains(QStringLiteral("JvHeader_Chart.caption: Rejestracja: r1")));

    switchTo(Language::English);
    EXPECT_EQ(polishTextsIn(page.get(), polishWords).join(u'\n').toStdString(), "");
    EXPECT_EQ(page->chartHeader->caption(), QStringLiteral("Recording: r1"));
    EXPECT_EQ(page->chartPlot->xAxis->label(), QStringLiteral("Time (9.12.2026)"));

    switchTo(Language::Polish);
    EXPECT_EQ(snapshot(page.get()).join(u'\n').toStdString(), polish.join(u'\n').toStdString());

    // Back to live: the live time axis title in the language chosen then.
    switchTo(Language::English);
    page->startChart();
    EXPECT_EQ(page->chartPlot->xAxis->label(), QStringLiteral("Time [s]"));
    EXPECT_EQ(page->chartHeader->caption(), QStringLiteral("Chart active"));
}

TEST_F(ChartPageLanguageTest, ExportedRowsAreTheSameInBothLanguagesAndPicturesCarryTheWindowsWords)
{
    ASSERT_TRUE(open(writeRecording()));
    const QString polishCsv = dir.filePath(QStringLiteral("pl.csv"));
    const QString polishSvg = dir.filePath(QStringLiteral("pl.svg"));
    ASSERT_TRUE(exportTo(polishCsv));
    ASSERT_TRUE(exportTo(polishSvg));
    switchTo(Language::English);
    const QString englishCsv = dir.filePath(QStringLiteral("en.csv"));
    const QString englishSvg = dir.filePath(QStringLiteral("en.svg"));
    ASSERT_TRUE(exportTo(englishCsv));
    ASSERT_TRUE(exportTo(englishSvg));

    EXPECT_FALSE(fileBytes(polishCsv).isEmpty());
    EXPECT_EQ(fileBytes(englishCsv), fileBytes(polishCsv));

    const QString polishPicture = QString::fromUtf8(fileBytes(polishSvg));
    const QString englishPicture = QString::fromUtf8(fileBytes(englishSvg));
    for (const char* word : {"Czujnik 1", "Suma", "średnia", "odch. std."}) {
        EXPECT_TRUE(polishPicture.contains(QString::fromUtf8(word))) << word;
        EXPECT_FALSE(englishPicture.contains(QString::fromUtf8(word))) << word;
    }
    for (const char* word : {"Sensor 1", "Sum", "mean", "std. dev."}) {
        EXPECT_TRUE(englishPicture.contains(QString::fromUtf8(word))) << word;
    }
}

// The page's Polish texts are the ones the chart's own parts use when no language is given (the
// plot alone, the threshold rules, the tool's reports): the two can never drift apart.
TEST(ChartTexts, PolishTableTextsAreThoseOfTheChartsOwnParts)
{
    const auto polish = [](std::string_view id) { return lang::lookupText(id, Language::Polish); };
    EXPECT_EQ(polish("IDS_ChartStartBelowStop"), QString::fromUtf8(recording::kStartBelowStopText));
    EXPECT_EQ(polish("IDS_ChartStopAboveStart"), QString::fromUtf8(recording::kStopAboveStartText));

    recording::ChartPlot plot;
    EXPECT_EQ(polish("IDS_ChartStatTime"), plot.xAxis->label());
    EXPECT_EQ(polish("IDS_ChartAxisValue"), plot.yAxis->label());
    const std::array<std::string_view, recording::kChartSeriesCount> series{
        "IDS_Sensor1", "IDS_Sensor2", "IDS_Sensor3", "IDS_Sensor4",
        "IDS_Sum"};
    const recording::ReportTexts reportDefaults;
    for (int i = 0; i < recording::kChartSeriesCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        EXPECT_EQ(polish(series[index]), QString::fromUtf8(recording::kChartSeriesStyles[index].legendText)) << i;
        EXPECT_EQ(polish(series[index]), plot.chartSeries(i)->name()) << i;
        EXPECT_EQ(polish(series[index]), reportDefaults.series[index]) << i;
    }
    EXPECT_EQ(polish("IDS_ChartReportMean"), reportDefaults.mean);
    EXPECT_EQ(polish("IDS_ChartReportDeviation"), reportDefaults.deviation);
}

} // namespace
} // namespace qmx::ui
