// The "Wykres" page driven offscreen with a scripted measurement source and scripted dialogs.

#include "ui/pages/ChartPage.h"

#include "ui/widgets/HeaderBar.h"
#include "ui/widgets/Indicators.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

namespace qmx::ui {
namespace {

struct ScriptedDialogs : ChartDialogs {
    struct Log {
        QStringList calls;
        bool confirmAnswer = true;
        QString saveName;
        QString pdfPath;
    };
    explicit ScriptedDialogs(Log& log) : log(log) {}

    bool confirm(const QString& caption, const QString& text) override
    {
        log.calls << QStringLiteral("confirm|%1|%2").arg(caption, text);
        return log.confirmAnswer;
    }
    void information(const QString& caption, const QString& text) override
    {
        log.calls << QStringLiteral("information|%1|%2").arg(caption, text);
    }
    void warning(const QString& caption, const QString& text) override
    {
        log.calls << QStringLiteral("warning|%1|%2").arg(caption, text);
    }
    void error(const QString& message) override { log.calls << QStringLiteral("error|%1").arg(message); }
    void printerSetup(QPrinter& printer) override
    {
        log.calls << QStringLiteral("printerSetup");
        if (log.pdfPath.isEmpty()) {
            // No printer at all: PDF output without a file, which cannot be opened.
            printer.setOutputFileName(QString());
            printer.setOutputFormat(QPrinter::PdfFormat);
            return;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(log.pdfPath);
    }
    QString bitmapSaveName() override
    {
        log.calls << QStringLiteral("bitmapSaveName");
        return log.saveName;
    }

    Log& log;
};

class ChartPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ChartPageSources sources;
        sources.measurement = [this]() -> const link::Measurement& { return measurement; };
        sources.connected = [this] { return connected; };
        sources.measurementLive = [this] { return measurementLive; };
        sources.decimals = [] { return 2; };
        sources.locale = display::NumberLocale::c();
        sources.clock = [this] { return clockNow; };
        page = std::make_unique<ChartPage>(std::move(sources), nullptr);
        page->chartTimer->stop(); // ticks are driven by the test
        page->setDialogs(std::make_unique<ScriptedDialogs>(log));
        page->resize(1000, 700);
        page->show();
    }

    void setValues(float c1, float c2, float c3, float c4, float sum)
    {
        measurement.ChannelValue = {c1, c2, c3, c4};
        measurement.SumValue = sum;
    }

    void leave(QLineEdit* edit)
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(edit, &out);
    }

    static QColor base(const QLineEdit* edit) { return edit->palette().color(QPalette::Base); }

    /// Moves the chart's clock on by `seconds`, then runs one sampling tick.
    void tickAfter(double seconds)
    {
        clockNow += std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(seconds));
        page->chartTick();
    }

    std::chrono::nanoseconds clockNow{std::chrono::seconds(1000)};
    link::Measurement measurement;
    bool connected = true;
    bool measurementLive = true;
    ScriptedDialogs::Log log;
    std::unique_ptr<ChartPage> page;
};

TEST_F(ChartPageTest, ControlsCarryTheirNamesItemsAndTips)
{
    const char* names[] = {"GroupBox6", "Panel2", "JvHeader_Chart", "Chart1", "ChartStatus", "Btn_ChartTips",
                           "Panel3", "GroupBox16", "Btn_ChartStart", "Btn_ChartPause", "Btn_ChartReset",
                           "ComboB_ChartSampling", "Cb_ChartTimeWindow", "GroupBox17", "Btn_Print",
                           "Btn_CharPrintSetting", "Btn_SaveBmpChart", "GroupBox13", "Cb_ChartAutoStartStop",
                           "ComboBox_ChartAutoCh", "Label_ChartTrigActVal", "Edit_AutoStartVal", "Edit_AutoStopVal"};
    for (const char* name : names) {
        EXPECT_NE(page->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    }
    EXPECT_EQ(page->objectName(), QStringLiteral("TabSheet2"));
    EXPECT_EQ(page->chartControlPanel->height(), 120);
    EXPECT_EQ(page->chartSamplingList->count(), 8);
    EXPECT_EQ(page->chartSamplingList->itemText(1), QStringLiteral("50 /sek."));
    EXPECT_EQ(page->chartSamplingList->currentIndex(), 0);
    EXPECT_EQ(page->chartTimeWindowList->itemText(6), QStringLiteral("1 h."));
    EXPECT_EQ(page->chartTimeWindowList->currentIndex(), 1);
    EXPECT_EQ(page->autoChannelList->itemText(4), QStringLiteral("SUMA"));
    EXPECT_EQ(page->chartStatusEdit->text(), QStringLiteral("NIEAKTYWNY"));
    EXPECT_TRUE(page->chartStatusEdit->isReadOnly());
    EXPECT_EQ(page->chartHeader->caption(), QStringLiteral("Wykres"));
    EXPECT_EQ(page->autoStopEdit->toolTip(),
              QString::fromUtf8("Wartość siły poniżej której zakończy się rejestracjia pomiarów. Wartość powinna być "
                                "mniejsza od parametru \"Próg star\"."));
    EXPECT_TRUE(page->chartStartButton->toolTip().isEmpty());
}

TEST_F(ChartPageTest, TimerStartsAtTwentyMillisecondsAndFollowsTheSamplingList)
{
    ChartPage fresh;
    EXPECT_TRUE(fresh.chartTimer->isActive());
    EXPECT_EQ(fresh.chartTimer->timerType(), Qt::PreciseTimer);
    EXPECT_TRUE(fresh.chartTimer->isSingleShot());
    EXPECT_EQ(fresh.chartTimer->interval(), 20);
    fresh.applySamplingIndex(2);
    EXPECT_EQ(fresh.chartTimer->interval(), 40);
    fresh.applySamplingIndex(5);
    EXPECT_EQ(fresh.chartTimer->interval(), 60000);
    fresh.applySamplingIndex(42); // unknown index: period unchanged
    EXPECT_EQ(fresh.chartTimer->interval(), 60000);
}

TEST_F(ChartPageTest, StartTicksPauseAndReset)
{
    page->applySamplingIndex(0);
    page->applyTimeWindowIndex(1);
    page->chartStartButton->click();
    EXPECT_EQ(page->chartStatusEdit->text(), QStringLiteral("AKTYWNY"));
    EXPECT_EQ(base(page->chartStatusEdit), QColor(kIndicatorOnColor));
    EXPECT_EQ(page->chartHeader->caption(), QStringLiteral("Wykres aktywny"));
    EXPECT_EQ(page->chartHeader->gradientStart(), QColor(kHeaderOnStart));

    setValues(1, 2, 3, 4, 10);
    for (int i = 0; i < 3; ++i) {
        tickAfter(0.01);
    }
    ASSERT_EQ(page->chartPlot->chartData().size(), 3U);
    EXPECT_NEAR(page->chartPlot->chartData().x(2), 0.02, 1e-9);
    EXPECT_FLOAT_EQ(page->chartPlot->chartData().y(4, 2), 10.0F);
    EXPECT_EQ(page->chartPlot->leftRange(), (recording::AxisRange{-1.0, 11.0}));

    page->chartPauseButton->click();
    EXPECT_EQ(page->chartStatusEdit->text(), QStringLiteral("NIEAKTYWNY"));
    EXPECT_EQ(base(page->chartStatusEdit), QColor(kIndicatorOffColor));
    EXPECT_EQ(page->chartHeader->caption(), QStringLiteral("Wykres nieaktywny"));
    page->chartTick();
    EXPECT_EQ(page->chartPlot->chartData().size(), 3U);

    page->chartResetButton->click();
    EXPECT_TRUE(page->chartPlot->chartData().empty());
    EXPECT_EQ(page->chartPlot->bottomRange(), (recording::AxisRange{0.0, 10.0}));
    EXPECT_EQ(page->chartPlot->leftRange(), (recording::AxisRange{-1.0, 1.0}));
}

TEST_F(ChartPageTest, RowsAreTimedByTheClockAndStayApartAfterFortyEightHours)
{
    page->applySamplingIndex(0);
    page->applyTimeWindowIndex(1);
    page->chartStartButton->click();
    tickAfter(0.0);
    tickAfter(0.013); // a late tick is placed where it happened
    tickAfter(48.0 * 3600.0);
    tickAfter(0.01);
    const recording::ChartData& data = page->chartPlot->chartData();
    ASSERT_EQ(data.size(), 4U);
    EXPECT_EQ(data.x(0), 0.0);
    EXPECT_NEAR(data.x(1), 0.013, 1e-9);
    EXPECT_NEAR(data.x(3) - data.x(2), 0.01, 1e-6);
    EXPECT_LT(data.upperBound(data.x(2)), data.size()) << "neighbours must not share one time";
    // The view scrolls with the measured time: the newest row at the right edge.
    EXPECT_NEAR(page->chartPlot->bottomRange().upper, data.x(3), 1e-9);
    EXPECT_NEAR(page->chartPlot->bottomRange().lower, data.x(3) - 10.0, 1e-9);
}

TEST_F(ChartPageTest, ChangingTheWindowResetsTheChart)
{
    page->chartStartButton->click();
    page->chartTick();
    page->chartTimeWindowList->setCurrentIndex(6);
    EXPECT_EQ(page->model().chartWindow(), 3600U);
    EXPECT_TRUE(page->chartPlot->chartData().empty());
    EXPECT_EQ(page->chartPlot->bottomRange(), (recording::AxisRange{0.0, 3600.0}));
    EXPECT_TRUE(page->model().running());
}

TEST_F(ChartPageTest, LostLinkTurnsTheStatusOffButNotTheHeader)
{
    page->chartStartButton->click();
    connected = false;
    page->chartTick();
    EXPECT_EQ(page->chartStatusEdit->text(), QStringLiteral("NIEAKTYWNY"));
    EXPECT_EQ(page->chartHeader->caption(), QStringLiteral("Wykres aktywny"));
    EXPECT_TRUE(page->chartPlot->chartData().empty());
}

TEST_F(ChartPageTest, NothingIsPlottedFromTheOldRecordUntilAFreshMeasurementArrives)
{
    page->chartStartButton->click();
    setValues(7, 7, 7, 7, 28); // what the record held when the previous link ended
    measurementLive = false;
    tickAfter(0.01);
    tickAfter(0.01);
    EXPECT_TRUE(page->chartPlot->chartData().empty());
    EXPECT_EQ(page->chartStatusEdit->text(), QStringLiteral("AKTYWNY"));

    setValues(1, 2, 3, 4, 10);
    measurementLive = true;
    tickAfter(0.01);
    ASSERT_EQ(page->chartPlot->chartData().size(), 1U);
    EXPECT_FLOAT_EQ(page->chartPlot->chartData().y(4, 0), 10.0F);
}

TEST_F(ChartPageTest, AutoControlShowsTheWatchedValueAndStartsOverTheThreshold)
{
    page->setThresholds(50, 10);
    EXPECT_EQ(page->autoStartEdit->text(), QStringLiteral("50.00"));
    EXPECT_EQ(page->autoStopEdit->text(), QStringLiteral("10.00"));
    page->autoStartStopCheck->setChecked(true);
    page->autoChannelList->setCurrentIndex(4);
    setValues(0, 0, 0, 0, 60.5F);
    page->chartTick();
    EXPECT_EQ(page->triggerValueLabel->text(), QStringLiteral("60.50"));
    EXPECT_EQ(page->chartPlot->chartData().size(), 1U);
    // The indicators keep what the buttons last showed.
    EXPECT_EQ(page->chartStatusEdit->text(), QStringLiteral("NIEAKTYWNY"));
}

TEST_F(ChartPageTest, LegendCheckBoxSwitchesActiveForTheValueRange)
{
    page->chartPlot->replot();
    QCPAbstractLegendItem* item = page->chartPlot->legend->item(1);
    const QPoint centre = item->rect().center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(centre), page->chartPlot->mapToGlobal(QPointF(centre)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(page->chartPlot, &event);
    }
    EXPECT_FALSE(page->seriesActive(1));
    page->chartStartButton->click();
    setValues(0.5F, 1000, 0, 0, 0);
    page->chartTick();
    EXPECT_EQ(page->chartPlot->leftRange(), (recording::AxisRange{-1.0, 1.5}));
    EXPECT_FLOAT_EQ(page->chartPlot->chartData().y(1, 0), 1000.0F);
}

TEST_F(ChartPageTest, StartThresholdBelowStopIsRefusedOnLeavingTheEdit)
{
    page->setThresholds(50, 10);
    page->autoStartEdit->setText(QStringLiteral("5"));
    leave(page->autoStartEdit);
    EXPECT_EQ(page->trigStartVal(), 50.0F);
    EXPECT_EQ(page->autoStartEdit->text(), QStringLiteral("5.00"));
    EXPECT_EQ(base(page->autoStartEdit), QColor(253, 124, 102));
    EXPECT_EQ(log.calls,
              QStringList{QString::fromUtf8("warning|Warning|Wartość Próg start powinna być większa od Próg stop")});

    page->autoStartEdit->setText(QStringLiteral("60,5"));
    leave(page->autoStartEdit);
    EXPECT_EQ(page->trigStartVal(), 60.5F);
    EXPECT_NE(base(page->autoStartEdit), QColor(253, 124, 102));
}

TEST_F(ChartPageTest, StopThresholdAboveStartIsRefusedOnLeavingTheEdit)
{
    page->setThresholds(15, 10);
    page->autoStopEdit->setText(QStringLiteral("20"));
    leave(page->autoStopEdit);
    EXPECT_EQ(page->trigStopVal(), 10.0F);
    EXPECT_EQ(base(page->autoStopEdit), QColor(253, 124, 102));
    EXPECT_EQ(log.calls,
              QStringList{QString::fromUtf8("warning|Warning|Wartość Próg stop powinna być mniejsza od Próg start")});
}

TEST_F(ChartPageTest, PrintsAfterTheQuestionOnThePrinterChosenInSetup)
{
    QTemporaryDir dir;
    log.pdfPath = dir.filePath(QStringLiteral("chart.pdf"));
    page->printerSetupButton->click();
    log.confirmAnswer = false;
    page->chartPrintButton->click();
    EXPECT_FALSE(QFileInfo::exists(log.pdfPath));
    log.confirmAnswer = true;
    page->chartPrintButton->click();
    EXPECT_GT(QFileInfo(log.pdfPath).size(), 0);
    EXPECT_EQ(log.calls.value(1), QStringLiteral("confirm|Drukowanie|Wydrukowac wykres?"));
    EXPECT_EQ(log.calls.size(), 3);
}

TEST_F(ChartPageTest, AFailedPrintLeavesTheSetUpUsableForAPrintToPdf)
{
    page->printerSetupButton->click(); // no printer
    page->chartPrintButton->click();
    ASSERT_EQ(log.calls.size(), 3);
    EXPECT_TRUE(log.calls[2].startsWith(QStringLiteral("error|"))) << log.calls[2].toStdString();
    EXPECT_NE(page->printer().printerState(), QPrinter::Active);

    QTemporaryDir dir;
    log.pdfPath = dir.filePath(QStringLiteral("after-failure.pdf"));
    page->printerSetupButton->click();
    EXPECT_EQ(page->printer().outputFileName(), log.pdfPath) << "the set-up was taken";
    page->chartPrintButton->click();
    EXPECT_GT(QFileInfo(log.pdfPath).size(), 0);
    EXPECT_EQ(log.calls.size(), 5) << log.calls.join(u'\n').toStdString();
}

TEST_F(ChartPageTest, ASetUpCarriedOverAfterAFailureKeepsItsFileAndPage)
{
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("/tmp/x.pdf"));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setCopyCount(3);
    printer.setColorMode(QPrinter::GrayScale);
    const std::unique_ptr<QPrinter> copy = printerWithSetupOf(printer);
    EXPECT_EQ(copy->outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(copy->outputFileName(), QStringLiteral("/tmp/x.pdf"));
    EXPECT_EQ(copy->pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(copy->copyCount(), 3);
    EXPECT_EQ(copy->colorMode(), QPrinter::GrayScale);
}

TEST_F(ChartPageTest, ThePrintSetUpDialogAcceptsWithOkNotPrint)
{
    const std::unique_ptr<ChartDialogs> real = makeChartDialogs(page.get());
    QStringList acceptTexts;
    bool seen = false;
    QTimer watcher;
    watcher.setInterval(10);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        seen = true;
        if (auto* buttons = dialog->findChild<QDialogButtonBox*>()) {
            if (QPushButton* accept = buttons->button(QDialogButtonBox::Ok)) {
                acceptTexts << accept->text();
            }
        }
        dialog->reject();
    });
    watcher.start();
    QPrinter printer;
    real->printerSetup(printer);
    watcher.stop();
    ASSERT_TRUE(seen);
    ASSERT_EQ(acceptTexts.size(), 1);
    EXPECT_EQ(acceptTexts.front(), QStringLiteral("OK"));
}

TEST_F(ChartPageTest, SavesABitmapUnderTheNameRule)
{
    QTemporaryDir dir;
    log.saveName = dir.filePath(QStringLiteral("wykres.BMP"));
    page->chartImageButton->click();
    const QString written = dir.filePath(QStringLiteral("wykres.BMP.bmp"));
    ASSERT_TRUE(QFileInfo::exists(written));
    EXPECT_EQ(QImage(written).size(), page->chartPlot->size());

    log.saveName.clear(); // cancelled
    page->chartImageButton->click();
    EXPECT_EQ(log.calls.size(), 2);
}

TEST_F(ChartPageTest, BitmapThatCannotBeWrittenIsReported)
{
    log.saveName = QStringLiteral("/nonexistent-folder/wykres");
    page->chartImageButton->click();
    ASSERT_EQ(log.calls.size(), 2);
    EXPECT_TRUE(log.calls[1].startsWith(QStringLiteral("warning|Warning|"))) << log.calls[1].toStdString();
}

TEST_F(ChartPageTest, TipsBoxShowsTheChartTips)
{
    page->chartTipsButton->click();
    ASSERT_EQ(log.calls.size(), 1);
    EXPECT_TRUE(log.calls[0].startsWith(QStringLiteral("information|Porady dla wykresu|Lewy przycisk myszy")));
}

TEST_F(ChartPageTest, StatusAndTipsStayInTheChartCornersWhenItResizes)
{
    for (const QSize size : {QSize(1000, 700), QSize(1400, 900)}) {
        page->resize(size);
        QApplication::processEvents();
        const QRect chart = page->chartPlot->rect();
        EXPECT_LE(chart.bottom() - page->chartStatusEdit->geometry().bottom(), 6);
        EXPECT_LE(page->chartStatusEdit->geometry().left(), 6);
        EXPECT_LE(chart.right() - page->chartTipsButton->geometry().right(), 6);
        EXPECT_LE(chart.bottom() - page->chartTipsButton->geometry().bottom(), 6);
    }
}

TEST_F(ChartPageTest, PageWithSeveralThousandPointsRendersToAnImage)
{
    page->applySamplingIndex(0);
    page->applyTimeWindowIndex(1);
    for (int i = 0; i < recording::kChartSeriesCount; ++i) {
        page->setSeriesActive(i, true);
    }
    page->chartStartButton->click();
    for (int i = 0; i < 4000; ++i) {
        const float t = static_cast<float>(i) * 0.01F;
        setValues(20 * std::sin(t), 15 * std::cos(t * 0.7F), 8 + 5 * std::sin(t * 3.0F), -10 + (i % 50) * 0.2F,
                  20 * std::sin(t) + 15 * std::cos(t * 0.7F));
        tickAfter(0.01);
    }
    page->chartPlot->replot();
    const QImage image = page->grab().toImage();
    ASSERT_FALSE(image.isNull());
    image.save(QStringLiteral("/tmp/chart.png"));
    // The orange of Series1 is on the picture.
    bool orange = false;
    for (int y = 0; y < image.height() && !orange; ++y) {
        for (int x = 0; x < image.width() && !orange; ++x) {
            orange = image.pixelColor(x, y) == QColor(231, 112, 24);
        }
    }
    EXPECT_TRUE(orange);
}

} // namespace
} // namespace qmx::ui
