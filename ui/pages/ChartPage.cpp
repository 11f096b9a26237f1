#include "ChartPage.h"
#include "ui/widgets/Fonts.h"

#include "lang/StringTable.h"
#include "recording/chart/ChartRules.h"
#include "ui/ErrorBox.h"
#include "ui/icons/Icons.h"
#include "ui/review/ChartAnalysisPanel.h"
#include "ui/widgets/HeaderBar.h"
#include "ui/widgets/Indicators.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileDialog>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace qmx::ui {

namespace {

using recording::ChartValues;

constexpr int kPanel3Height = 120;
constexpr int kFieldPrecision = 8;
constexpr int kThresholdDecimals = 2;
constexpr QRgb kErrorColor = qRgb(253, 124, 102);
// Distance of the status field and the tips button from the chart's lower corners.
constexpr int kOverlayMargin = 4;
// Margins and spacing inside the three groups of the lower panel, which share a narrow width.
constexpr int kGroupMargin = 5;
constexpr int kGroupSpacing = 4;

const QString kWarningCaption = QStringLiteral("Warning");

// The threshold rules' messages and the texts that show them in the interface language.
struct ThresholdMessage {
    const char* ruleText;
    std::string_view id;
};
constexpr std::array<ThresholdMessage, 2> kThresholdMessages{{
    {recording::kStartBelowStopText, "IDS_ChartStartBelowStop"},
    {recording::kStopAboveStartText, "IDS_ChartStopAboveStart"},
}};

class MessageBoxChartDialogs : public ChartDialogs {
public:
    explicit MessageBoxChartDialogs(QWidget* parent) : m_parent(parent) {}

    bool confirm(const QString& caption, const QString& text) override
    {
        return QMessageBox::question(m_parent, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                                     QMessageBox::Ok) == QMessageBox::Ok;
    }
    void information(const QString& caption, const QString& text) override
    {
        QMessageBox::information(m_parent, caption, text, QMessageBox::Ok);
    }
    void warning(const QString& caption, const QString& text) override
    {
        QMessageBox::warning(m_parent, caption, text, QMessageBox::Ok);
    }
    void error(const QString& message) override { showErrorBox(m_parent, message); }
    void printerSetup(QPrinter& printer) override
    {
        QPrintDialog dialog(&printer, m_parent);
        // Accepting only stores the set-up; nothing is printed, so the button does not say so.
        if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
            if (QPushButton* accept = buttons->button(QDialogButtonBox::Ok)) {
                accept->setText(QStringLiteral("OK"));
            }
        }
        dialog.exec();
    }
    QString bitmapSaveName() override
    {
        // The filter's mask has no dot, as the chart's bitmap filter always had.
        return QFileDialog::getSaveFileName(m_parent, QString(), QString(), QStringLiteral("Bitmap (*bmp)"));
    }

private:
    QWidget* m_parent;
};

// A button as wide as its caption and picture need: the style's 80-pixel minimum would push the
// three groups of the lower panel past the window's minimum width. Buttons that may grow keep
// their unbounded maximum.
void setFittedCaption(QPushButton* b, const QString& text)
{
    if (b->text() == text && b->minimumWidth() > 0) {
        return;
    }
    b->setText(text);
    const int width = b->fontMetrics().horizontalAdvance(text) + b->iconSize().width() + 18;
    b->setMinimumWidth(width);
    if (b->maximumWidth() != QWIDGETSIZE_MAX) {
        b->setMaximumWidth(width);
    }
}

QPushButton* button(const char* name, ButtonPicture picture, QWidget* parent)
{
    auto* b = new QPushButton(buttonIcon(picture), QString(), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setMaximumWidth(0); // fitted to the caption when it is bound
    return b;
}

QComboBox* list(const char* name, int count, int selected, QWidget* parent)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    for (int i = 0; i < count; ++i) {
        c->addItem(QString());
    }
    c->setCurrentIndex(selected);
    return c;
}

void showRefused(QLineEdit* edit, bool refused)
{
    QPalette palette = edit->palette();
    const QColor wanted = refused ? QColor(kErrorColor) : QApplication::palette(edit).color(QPalette::Base);
    if (palette.color(QPalette::Base) != wanted) {
        palette.setColor(QPalette::Base, wanted);
        edit->setPalette(palette);
    }
}

} // namespace

std::unique_ptr<ChartDialogs> makeChartDialogs(QWidget* parent)
{
    return std::make_unique<MessageBoxChartDialogs>(parent);
}

std::unique_ptr<QPrinter> printerWithSetupOf(const QPrinter& printer)
{
    auto copy = std::make_unique<QPrinter>();
    // The file name first: an empty one would switch the format back to the system's printers.
    if (!printer.outputFileName().isEmpty()) {
        copy->setOutputFileName(printer.outputFileName());
    }
    copy->setOutputFormat(printer.outputFormat());
    if (printer.outputFormat() == QPrinter::NativeFormat && !printer.printerName().isEmpty()) {
        copy->setPrinterName(printer.printerName());
    }
    copy->setPageLayout(printer.pageLayout());
    copy->setCopyCount(printer.copyCount());
    copy->setCollateCopies(printer.collateCopies());
    copy->setColorMode(printer.colorMode());
    copy->setDuplex(printer.duplex());
    copy->setPageOrder(printer.pageOrder());
    copy->setDocName(printer.docName());
    return copy;
}

ChartPage::ChartPage(QWidget* parent) : ChartPage(ChartPageSources{}, parent) {}

ChartPage::ChartPage(ChartPageSources sources, QWidget* parent)
    : QWidget(parent), m_sources(std::move(sources)), m_dialogs(makeChartDialogs(this)),
      m_printer(std::make_unique<QPrinter>()), m_texts([this](std::string_view id) { return lookup(id); })
{
    setObjectName(QStringLiteral("TabSheet2"));
    buildPage();
    chartAnalysis->setTexts({m_sources.lookupText, m_sources.decimals, m_sources.locale});
    chartPlot->setNumberLocale(m_sources.locale);
    m_model.setClock(m_sources.clock);

    chartTimer = new QTimer(this);
    chartTimer->setObjectName(QStringLiteral("ChartTimer"));
    chartTimer->setTimerType(Qt::PreciseTimer);
    chartTimer->setSingleShot(true);
    connect(chartTimer, &QTimer::timeout, this, &ChartPage::onChartTimeout);
    chartTimer->start(chartTimerIntervalMs());
}

ChartPage::~ChartPage() = default;

void ChartPage::setSources(ChartPageSources sources)
{
    m_sources = std::move(sources);
    chartAnalysis->setTexts({m_sources.lookupText, m_sources.decimals, m_sources.locale});
    chartPlot->setNumberLocale(m_sources.locale);
    m_model.setClock(m_sources.clock);
    retranslate(); // the lookup may be another one
}

void ChartPage::setDialogs(std::unique_ptr<ChartDialogs> dialogs)
{
    m_dialogs = std::move(dialogs);
}

void ChartPage::buildPage()
{
    auto* pageLayout = new QVBoxLayout(this);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    chartGroup = new QGroupBox(this);
    chartGroup->setObjectName(QStringLiteral("GroupBox6"));
    pageLayout->addWidget(chartGroup);
    auto* groupLayout = new QVBoxLayout(chartGroup);
    groupLayout->setContentsMargins(2, 2, 2, 2);
    groupLayout->setSpacing(2);

    chartPanel = new QFrame(chartGroup);
    chartPanel->setObjectName(QStringLiteral("Panel2"));
    auto* chartLayout = new QVBoxLayout(chartPanel);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->setSpacing(0);
    chartHeader = new HeaderBar(lookup("IDS_ChartTitle"), HeaderBar::kSmallCaption, chartPanel);
    chartHeader->setObjectName(QStringLiteral("JvHeader_Chart"));
    chartLayout->addWidget(chartHeader);
    chartPlot = new recording::ChartPlot(chartPanel);
    chartLayout->addWidget(chartPlot, 1);
    groupLayout->addWidget(chartPanel, 1);
    chartAnalysis = new ChartAnalysisPanel(*chartPlot, chartGroup);
    groupLayout->addWidget(chartAnalysis);
    connect(chartAnalysis, &ChartAnalysisPanel::reviewOpened, this, &ChartPage::onReviewOpened);

    // The status field and the tips button sit on the chart's surface, in its lower corners.
    chartStatusEdit = new QLineEdit(lookup("IDS_ChartStatusOff"), chartPlot);
    chartStatusEdit->setObjectName(QStringLiteral("ChartStatus"));
    chartStatusEdit->setReadOnly(true);
    chartStatusEdit->setFont(namedFont(NamedFont::Calibri, 12));
    chartStatusEdit->setFixedWidth(90);
    chartTipsButton = button("Btn_ChartTips", ButtonPicture::Help, chartPlot);
    m_texts.bindCustom([this](const TextBindings::Lookup& text) {
        setFittedCaption(chartTipsButton, text("IDS_ChartTipsButton"));
        if (chartPlot->width() > 0) {
            placeChartOverlays();
        }
    });
    chartPlot->installEventFilter(this);
    // The legend row keeps the chart's full width and stands above the two corner controls, so
    // that all five entries stay readable at the window's minimum width.
    if (auto* legendRow = qobject_cast<QCPLayoutGrid*>(chartPlot->plotLayout()->element(1, 0))) {
        const int cornerHeight =
            std::max(chartStatusEdit->sizeHint().height(), chartTipsButton->sizeHint().height()) + 2 * kOverlayMargin;
        legendRow->setMargins(QMargins(5, 0, 5, cornerHeight));
    }

    chartControlPanel = new QFrame(chartGroup);
    chartControlPanel->setObjectName(QStringLiteral("Panel3"));
    chartControlPanel->setFixedHeight(kPanel3Height);
    auto* controls = new QHBoxLayout(chartControlPanel);
    controls->setContentsMargins(0, 0, 0, 0);
    controls->setSpacing(kGroupSpacing);
    controls->addWidget(buildRunGroup(), 0, Qt::AlignBottom);
    controls->addWidget(buildAutoGroup(), 0, Qt::AlignBottom);
    controls->addWidget(buildOutputGroup(), 0, Qt::AlignBottom);
    controls->addStretch(1);
    groupLayout->addWidget(chartControlPanel);

    connect(chartPlot, &recording::ChartPlot::seriesActiveToggled, this, &ChartPage::onSeriesToggled);
}

QGroupBox* ChartPage::buildRunGroup()
{
    chartRunGroup = new QGroupBox(chartControlPanel);
    chartRunGroup->setObjectName(QStringLiteral("GroupBox16"));
    auto* grid = new QGridLayout(chartRunGroup);
    grid->setContentsMargins(kGroupMargin, kGroupMargin, kGroupMargin, kGroupMargin);
    grid->setSpacing(kGroupSpacing);
    chartStartButton = boundButton("Btn_ChartStart", "IDS_ChartStart", ButtonPicture::Start, chartRunGroup);
    chartPauseButton = boundButton("Btn_ChartPause", "IDS_ChartPause", ButtonPicture::Pause, chartRunGroup);
    chartResetButton = boundButton("Btn_ChartReset", "IDS_ChartReset", ButtonPicture::ChartReset, chartRunGroup);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(kGroupSpacing);
    buttons->addWidget(chartStartButton);
    buttons->addWidget(chartPauseButton);
    buttons->addWidget(chartResetButton);
    grid->addLayout(buttons, 0, 0, 1, 2);

    chartSamplingList = list("ComboB_ChartSampling", 8, 0, chartRunGroup);
    m_texts.bindItems(chartSamplingList,
                      {"IDS_ChartSampling100PerSecond", "IDS_ChartSampling50PerSecond", "IDS_ChartSampling25PerSecond",
                       "IDS_ChartSampling10PerSecond", "IDS_ChartSampling1PerSecond", "IDS_ChartSampling1PerMinute",
                       "IDS_ChartSampling10PerMinute", "IDS_ChartSampling10PerHour"});
    m_texts.bind(chartSamplingList, &QWidget::setToolTip, "IDS_ChartSamplingTip");
    chartTimeWindowList = list("Cb_ChartTimeWindow", 7, 1, chartRunGroup);
    m_texts.bindItems(chartTimeWindowList,
                      {"IDS_ChartWindow1Second", "IDS_ChartWindow10Seconds", "IDS_ChartWindow1Minute",
                       "IDS_ChartWindow5Minutes", "IDS_ChartWindow10Minutes", "IDS_ChartWindow30Minutes",
                       "IDS_ChartWindow1Hour"});
    m_texts.bind(chartTimeWindowList, &QWidget::setToolTip, "IDS_ChartWindowTip");
    grid->addWidget(boundCaption("IDS_ChartSamplingCaption", chartRunGroup), 1, 0);
    grid->addWidget(boundCaption("IDS_ChartWindowCaption", chartRunGroup), 1, 1);
    grid->addWidget(chartSamplingList, 2, 0);
    grid->addWidget(chartTimeWindowList, 2, 1);

    connect(chartStartButton, &QPushButton::clicked, this, &ChartPage::startChart);
    connect(chartPauseButton, &QPushButton::clicked, this, &ChartPage::pauseChart);
    connect(chartResetButton, &QPushButton::clicked, this, &ChartPage::resetChart);
    connect(chartSamplingList, &QComboBox::currentIndexChanged, this, &ChartPage::samplingChanged);
    connect(chartTimeWindowList, &QComboBox::currentIndexChanged, this, &ChartPage::timeWindowChanged);
    return chartRunGroup;
}

QGroupBox* ChartPage::buildOutputGroup()
{
    chartOutputGroup = new QGroupBox(chartControlPanel);
    chartOutputGroup->setObjectName(QStringLiteral("GroupBox17"));
    auto* grid = new QGridLayout(chartOutputGroup);
    grid->setContentsMargins(kGroupMargin, kGroupMargin, kGroupMargin, kGroupMargin);
    grid->setSpacing(kGroupSpacing);
    chartPrintButton = boundButton("Btn_Print", "IDS_ChartPrint", ButtonPicture::Print, chartOutputGroup);
    printerSetupButton =
        boundButton("Btn_CharPrintSetting", "IDS_ChartPrintSetup", ButtonPicture::PrintSetup, chartOutputGroup);
    chartImageButton =
        boundButton("Btn_SaveBmpChart", "IDS_ChartSaveImage", ButtonPicture::SaveImage, chartOutputGroup);
    chartImageButton->setMaximumWidth(QWIDGETSIZE_MAX);
    // One column: the lower panel is too narrow for the two print buttons side by side once the
    // captions are wider than Tahoma's.
    grid->addWidget(chartPrintButton, 0, 0);
    grid->addWidget(printerSetupButton, 1, 0);
    grid->addWidget(chartImageButton, 2, 0);
    for (QPushButton* b : {chartPrintButton, printerSetupButton}) {
        b->setMaximumWidth(QWIDGETSIZE_MAX);
    }

    connect(chartPrintButton, &QPushButton::clicked, this, &ChartPage::printChartPage);
    connect(printerSetupButton, &QPushButton::clicked, this, &ChartPage::choosePrinter);
    connect(chartImageButton, &QPushButton::clicked, this, &ChartPage::saveChartImage);
    connect(chartTipsButton, &QPushButton::clicked, this, &ChartPage::showChartTips);
    return chartOutputGroup;
}

QGroupBox* ChartPage::buildAutoGroup()
{
    chartAutoGroup = new QGroupBox(chartControlPanel);
    chartAutoGroup->setObjectName(QStringLiteral("GroupBox13"));
    auto* grid = new QGridLayout(chartAutoGroup);
    grid->setContentsMargins(kGroupMargin, kGroupMargin, kGroupMargin, kGroupMargin);
    grid->setSpacing(kGroupSpacing);
    autoStartStopCheck = new QCheckBox(chartAutoGroup);
    autoStartStopCheck->setObjectName(QStringLiteral("Cb_ChartAutoStartStop"));
    m_texts.bind(autoStartStopCheck, &QAbstractButton::setText, "IDS_ChartAutoStartStop");
    m_texts.bind(autoStartStopCheck, &QWidget::setToolTip, "IDS_ChartAutoStartStopTip");
    // Channels 1..4 are numbers in every language; the sum is a word.
    autoChannelList = list("ComboBox_ChartAutoCh", 5, 0, chartAutoGroup);
    for (int i = 0; i < 4; ++i) {
        autoChannelList->setItemText(i, QString::number(i + 1));
    }
    m_texts.bindCustom([this](const TextBindings::Lookup& text) {
        autoChannelList->setItemText(4, text("IDS_ChartAutoChannelSum"));
    });
    m_texts.bind(autoChannelList, &QWidget::setToolTip, "IDS_ChartAutoChannelTip");
    triggerValueLabel = new QLabel(QStringLiteral("0"), chartAutoGroup);
    triggerValueLabel->setObjectName(QStringLiteral("Label_ChartTrigActVal"));
    autoStartEdit = new QLineEdit(QStringLiteral("0"), chartAutoGroup);
    autoStartEdit->setObjectName(QStringLiteral("Edit_AutoStartVal"));
    m_texts.bind(autoStartEdit, &QWidget::setToolTip, "IDS_ChartStartLevelTip");
    autoStopEdit = new QLineEdit(QStringLiteral("0"), chartAutoGroup);
    autoStopEdit->setObjectName(QStringLiteral("Edit_AutoStopVal"));
    m_texts.bind(autoStopEdit, &QWidget::setToolTip, "IDS_ChartStopLevelTip");
    autoStartEdit->setFixedWidth(58);
    autoStopEdit->setFixedWidth(58);

    grid->addWidget(autoStartStopCheck, 0, 0, 1, 4);
    grid->addWidget(boundCaption("IDS_ChartAutoChannelCaption", chartAutoGroup), 1, 0);
    grid->addWidget(boundCaption("IDS_ChartTriggerValueCaption", chartAutoGroup), 1, 1);
    grid->addWidget(boundCaption("IDS_ChartStartLevelCaption", chartAutoGroup), 1, 2);
    grid->addWidget(boundCaption("IDS_ChartStopLevelCaption", chartAutoGroup), 1, 3);
    grid->addWidget(autoChannelList, 2, 0);
    grid->addWidget(triggerValueLabel, 2, 1);
    grid->addWidget(autoStartEdit, 2, 2);
    grid->addWidget(autoStopEdit, 2, 3);

    // The channel list shares the sampling list's change handler.
    connect(autoChannelList, &QComboBox::currentIndexChanged, this, &ChartPage::samplingChanged);
    // The threshold edits react when they lose the focus, changed or not.
    autoStartEdit->installEventFilter(this);
    autoStopEdit->installEventFilter(this);
    return chartAutoGroup;
}

bool ChartPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == chartPlot && event->type() == QEvent::Resize) {
        placeChartOverlays();
    } else if (event->type() == QEvent::FocusOut) {
        // Focus moving to another window (a message box included) is not leaving the field.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == autoStartEdit) {
                checkAutoStartValue();
            } else if (watched == autoStopEdit) {
                checkAutoStopValue();
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ChartPage::placeChartOverlays()
{
    const QSize status = chartStatusEdit->sizeHint().expandedTo(QSize(chartStatusEdit->width(), 0));
    chartStatusEdit->setGeometry(kOverlayMargin, chartPlot->height() - status.height() - kOverlayMargin, chartStatusEdit->width(),
                             status.height());
    const QSize tips =
        chartTipsButton->sizeHint().expandedTo(chartTipsButton->minimumSize()).boundedTo(chartTipsButton->maximumSize());
    chartTipsButton->setGeometry(chartPlot->width() - tips.width() - kOverlayMargin,
                               chartPlot->height() - tips.height() - kOverlayMargin, tips.width(), tips.height());
}

int ChartPage::decimals() const
{
    return m_sources.decimals ? std::max(0, m_sources.decimals()) : 1;
}

QString ChartPage::lookup(std::string_view id) const
{
    return m_sources.lookupText ? m_sources.lookupText(id) : lang::lookupText(id, lang::Language::Polish);
}

int ChartPage::chartTimerIntervalMs() const
{
    return std::max(1, static_cast<int>(std::lround(m_model.period() * 1000.0)));
}

void ChartPage::onChartTimeout()
{
    chartTick();
    // Re-armed after the tick: the next tick comes one period after this one ended.
    chartTimer->start(chartTimerIntervalMs());
}

void ChartPage::chartTick()
{
    if (chartAnalysis->inReview()) {
        return; // a recording is shown: live samples wait until "Start" returns to live
    }
    m_model.setAutoEnabled(autoStartStopCheck->isChecked());
    m_model.setAutoChannel(autoChannelList->currentIndex());
    const link::Measurement measurement = m_sources.measurement ? m_sources.measurement() : link::Measurement{};
    const bool connected = m_sources.connected && m_sources.connected();
    if (connected && m_sources.measurementLive && !m_sources.measurementLive()) {
        return; // no fresh measurement yet: plotting the old record would look live
    }

    const recording::ChartTickResult tick = m_model.tick(measurement, connected);
    if (tick.watchedValue) {
        triggerValueLabel->setText(
            display::formatFixed(static_cast<double>(*tick.watchedValue), kFieldPrecision, decimals(), m_sources.locale));
    }
    if (tick.stoppedByLink) {
        showStatus(false);
    }
    if (tick.appended) {
        chartPlot->appendSample(tick.x, tick.values);
    }
    if (tick.bottomRange) {
        chartPlot->setBottomRange(*tick.bottomRange);
    }
    if (tick.leftRange && chartAnalysis->leftRangeFollowsProgram()) {
        chartPlot->setLeftRange(*tick.leftRange);
    }
    if (tick.appended) {
        chartAnalysis->onSampleAppended();
    }
}

void ChartPage::showStatus(bool on)
{
    m_statusShownOn = on;
    setStateEdit(chartStatusEdit, lookup("IDS_101"), lookup("IDS_ChartStatusOff"), on);
}

void ChartPage::showHeader()
{
    switch (m_headerShows) {
    case HeaderShows::Title:
        chartHeader->setCaption(lookup("IDS_ChartTitle"));
        break;
    case HeaderShows::RunState:
        setStateHeader(chartHeader, lookup("IDS_ChartHeaderOn"), lookup("IDS_ChartHeaderOff"), m_model.headerOn());
        break;
    case HeaderShows::Review:
        chartHeader->setCaption(chartAnalysis->reviewHeader());
        break;
    }
}

void ChartPage::showRunState()
{
    showStatus(m_model.statusOn());
    m_headerShows = HeaderShows::RunState;
    showHeader();
}

void ChartPage::startChart()
{
    if (chartAnalysis->inReview()) {
        // Back to live: the recording leaves the chart, which starts afresh from time 0.
        chartAnalysis->leaveReview();
        resetChart();
    }
    m_model.start();
    showRunState();
}

void ChartPage::pauseChart()
{
    m_model.pause();
    showRunState();
}

void ChartPage::applyResetView(const recording::ChartResetView& view)
{
    chartPlot->clearSamples();
    chartPlot->setBottomRange(view.bottom);
    chartPlot->setLeftRange(view.left);
}

void ChartPage::resetChart()
{
    applyResetView(m_model.reset());
    if (chartAnalysis->inReview()) {
        chartAnalysis->fitAll(); // the live samples went; the recording stays in view
    }
}

void ChartPage::samplingChanged()
{
    if (m_model.applySamplingIndex(chartSamplingList->currentIndex()) && chartTimer && chartTimer->isActive()) {
        // A long period already armed would otherwise delay the new one by up to six minutes.
        chartTimer->start(chartTimerIntervalMs());
    }
}

void ChartPage::timeWindowChanged()
{
    m_model.applyWindowIndex(chartTimeWindowList->currentIndex());
    resetChart();
}

void ChartPage::checkAutoStartValue()
{
    const recording::RealFieldCheck check =
        recording::checkRealField(autoStartEdit->text(), decimals(), recording::kThresholdLowerBound,
                                  recording::kThresholdUpperBound, m_sources.locale);
    autoStartEdit->setText(check.text);
    const recording::ThresholdExit exit =
        recording::autoStartValExit(check, m_model.trigStartVal(), m_model.trigStopVal());
    showRefused(autoStartEdit, exit.refused);
    m_model.setTrigStartVal(exit.trigStartVal);
    m_model.setTrigStopVal(exit.trigStopVal);
    for (const QString& message : exit.messages) {
        m_dialogs->warning(kWarningCaption, thresholdMessageText(message));
    }
}

void ChartPage::checkAutoStopValue()
{
    const recording::RealFieldCheck check =
        recording::checkRealField(autoStopEdit->text(), decimals(), recording::kThresholdLowerBound,
                                  recording::kThresholdUpperBound, m_sources.locale);
    autoStopEdit->setText(check.text);
    const recording::ThresholdExit exit =
        recording::autoStopValExit(check, m_model.trigStartVal(), m_model.trigStopVal());
    showRefused(autoStopEdit, exit.refused);
    m_model.setTrigStartVal(exit.trigStartVal);
    m_model.setTrigStopVal(exit.trigStopVal);
    for (const QString& message : exit.messages) {
        m_dialogs->warning(kWarningCaption, thresholdMessageText(message));
    }
}

void ChartPage::printChartPage()
{
    if (!m_dialogs->confirm(lookup("IDS_98"), lookup("IDS_97"))) {
        return;
    }
    if (!chartPlot->printChart(*m_printer)) {
        // A print that could not start may leave the printer in its printing state, which refuses
        // every later set-up and print; carry the set-up over to a fresh one instead.
        m_printer = printerWithSetupOf(*m_printer);
        m_dialogs->error(QStringLiteral("Printing failed: the printer could not be opened"));
    }
}

void ChartPage::choosePrinter()
{
    m_dialogs->printerSetup(*m_printer);
}

void ChartPage::saveChartImage()
{
    const QString chosen = m_dialogs->bitmapSaveName();
    if (chosen.isEmpty()) {
        return;
    }
    const QString fileName = recording::bitmapFileName(chosen);
    // A file that could not be written is reported: the user would otherwise believe it saved.
    if (!chartPlot->saveBitmap(fileName)) {
        m_dialogs->warning(kWarningCaption, lookup("IDS_ChartImageNotSaved").arg(fileName));
    }
}

void ChartPage::showChartTips()
{
    m_dialogs->information(lookup("IDS_158"), lookup("IDS_157"));
}

void ChartPage::onReviewOpened(const QString& header)
{
    m_model.pause();
    showRunState();
    m_headerShows = HeaderShows::Review;
    chartHeader->setCaption(header);
}

void ChartPage::onSeriesToggled(int index, bool active)
{
    m_model.setActive(index, active);
}

bool ChartPage::seriesActive(int index) const
{
    return m_model.active(index);
}

void ChartPage::setSeriesActive(int index, bool active)
{
    m_model.setActive(index, active);
    chartPlot->setSeriesActive(index, active);
}

int ChartPage::samplingIndex() const
{
    return chartSamplingList->currentIndex();
}

void ChartPage::applySamplingIndex(int index)
{
    {
        const QSignalBlocker blocker(chartSamplingList);
        chartSamplingList->setCurrentIndex(index);
    }
    samplingChanged();
}

int ChartPage::timeWindowIndex() const
{
    return chartTimeWindowList->currentIndex();
}

void ChartPage::applyTimeWindowIndex(int index)
{
    {
        const QSignalBlocker blocker(chartTimeWindowList);
        chartTimeWindowList->setCurrentIndex(index);
    }
    timeWindowChanged();
}

float ChartPage::trigStartVal() const
{
    return m_model.trigStartVal();
}

float ChartPage::trigStopVal() const
{
    return m_model.trigStopVal();
}

void ChartPage::setThresholds(float trigStartVal, float trigStopVal)
{
    m_model.setTrigStartVal(trigStartVal);
    m_model.setTrigStopVal(trigStopVal);
    autoStartEdit->setText(
        display::formatFixed(static_cast<double>(trigStartVal), kFieldPrecision, kThresholdDecimals, m_sources.locale));
    autoStopEdit->setText(
        display::formatFixed(static_cast<double>(trigStopVal), kFieldPrecision, kThresholdDecimals, m_sources.locale));
}

QString ChartPage::thresholdMessageText(const QString& message) const
{
    for (const ThresholdMessage& known : kThresholdMessages) {
        if (message == QString::fromUtf8(known.ruleText)) {
            return lookup(known.id);
        }
    }
    return message;
}

QLabel* ChartPage::boundCaption(std::string_view id, QWidget* parent)
{
    auto* label = new QLabel(parent);
    m_texts.bind(label, &QLabel::setText, id);
    return label;
}

QPushButton* ChartPage::boundButton(const char* name, std::string_view id, ButtonPicture picture, QWidget* parent)
{
    QPushButton* b = button(name, picture, parent);
    m_texts.bindCustom([b = QPointer<QPushButton>(b), id](const TextBindings::Lookup& text) {
        if (b) {
            setFittedCaption(b, text(id));
        }
    });
    return b;
}

void ChartPage::retranslate()
{
    m_texts.apply();
    chartAnalysis->retranslate();
    // The states the page wrote, again in the language chosen now (their colours stay).
    const QString status = lookup(m_statusShownOn ? "IDS_101" : "IDS_ChartStatusOff");
    if (chartStatusEdit->text() != status) {
        chartStatusEdit->setText(status);
    }
    showHeader();
}

} // namespace qmx::ui
