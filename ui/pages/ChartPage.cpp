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

const QString kStatusOn = QStringLiteral("AKTYWNY");
const QString kStatusOff = QStringLiteral("NIEAKTYWNY");
const QString kHeaderOn = QStringLiteral("Wykres aktywny");
const QString kHeaderOff = QStringLiteral("Wykres nieaktywny");
const QString kWarningCaption = QStringLiteral("Warning");

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

QLabel* caption(const QString& text, QWidget* parent)
{
    return new QLabel(text, parent);
}

QPushButton* button(const char* name, const QString& text, ButtonPicture picture, QWidget* parent)
{
    auto* b = new QPushButton(buttonIcon(picture), text, parent);
    b->setObjectName(QString::fromLatin1(name));
    // As wide as caption and picture need: the style's 80-pixel minimum would push the three
    // groups of the lower panel past the window's minimum width.
    const int width = b->fontMetrics().horizontalAdvance(text) + b->iconSize().width() + 18;
    b->setMinimumWidth(width);
    b->setMaximumWidth(width);
    return b;
}

QComboBox* list(const char* name, const QStringList& items, int selected, QWidget* parent)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->addItems(items);
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
      m_printer(std::make_unique<QPrinter>())
{
    setObjectName(QStringLiteral("TabSheet2"));
    buildPage();
    chartAnalysis->setTexts({m_sources.lookupText, m_sources.decimals, m_sources.locale});
    Chart1->setNumberLocale(m_sources.locale);
    m_model.setClock(m_sources.clock);

    ChartTimer = new QTimer(this);
    ChartTimer->setObjectName(QStringLiteral("ChartTimer"));
    ChartTimer->setTimerType(Qt::PreciseTimer);
    ChartTimer->setSingleShot(true);
    connect(ChartTimer, &QTimer::timeout, this, &ChartPage::onChartTimeout);
    ChartTimer->start(chartTimerIntervalMs());
}

ChartPage::~ChartPage() = default;

void ChartPage::setSources(ChartPageSources sources)
{
    m_sources = std::move(sources);
    chartAnalysis->setTexts({m_sources.lookupText, m_sources.decimals, m_sources.locale});
    Chart1->setNumberLocale(m_sources.locale);
    m_model.setClock(m_sources.clock);
}

void ChartPage::setDialogs(std::unique_ptr<ChartDialogs> dialogs)
{
    m_dialogs = std::move(dialogs);
}

void ChartPage::buildPage()
{
    auto* pageLayout = new QVBoxLayout(this);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    GroupBox6 = new QGroupBox(this);
    GroupBox6->setObjectName(QStringLiteral("GroupBox6"));
    pageLayout->addWidget(GroupBox6);
    auto* groupLayout = new QVBoxLayout(GroupBox6);
    groupLayout->setContentsMargins(2, 2, 2, 2);
    groupLayout->setSpacing(2);

    Panel2 = new QFrame(GroupBox6);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    auto* chartLayout = new QVBoxLayout(Panel2);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->setSpacing(0);
    JvHeader_Chart = new HeaderBar(QStringLiteral("Wykres"), HeaderBar::kSmallCaption, Panel2);
    JvHeader_Chart->setObjectName(QStringLiteral("JvHeader_Chart"));
    chartLayout->addWidget(JvHeader_Chart);
    Chart1 = new recording::ChartPlot(Panel2);
    chartLayout->addWidget(Chart1, 1);
    groupLayout->addWidget(Panel2, 1);
    chartAnalysis = new ChartAnalysisPanel(*Chart1, GroupBox6);
    groupLayout->addWidget(chartAnalysis);
    connect(chartAnalysis, &ChartAnalysisPanel::reviewOpened, this, &ChartPage::onReviewOpened);

    // The status field and the tips button sit on the chart's surface, in its lower corners.
    ChartStatus = new QLineEdit(kStatusOff, Chart1);
    ChartStatus->setObjectName(QStringLiteral("ChartStatus"));
    ChartStatus->setReadOnly(true);
    ChartStatus->setFont(namedFont(NamedFont::Calibri, 12));
    ChartStatus->setFixedWidth(90);
    Btn_ChartTips = button("Btn_ChartTips", QStringLiteral("Pomoc"), ButtonPicture::Help, Chart1);
    Chart1->installEventFilter(this);
    // The legend row keeps the chart's full width and stands above the two corner controls, so
    // that all five entries stay readable at the window's minimum width.
    if (auto* legendRow = qobject_cast<QCPLayoutGrid*>(Chart1->plotLayout()->element(1, 0))) {
        const int cornerHeight =
            std::max(ChartStatus->sizeHint().height(), Btn_ChartTips->sizeHint().height()) + 2 * kOverlayMargin;
        legendRow->setMargins(QMargins(5, 0, 5, cornerHeight));
    }

    Panel3 = new QFrame(GroupBox6);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFixedHeight(kPanel3Height);
    auto* controls = new QHBoxLayout(Panel3);
    controls->setContentsMargins(0, 0, 0, 0);
    controls->setSpacing(kGroupSpacing);
    controls->addWidget(buildRunGroup(), 0, Qt::AlignBottom);
    controls->addWidget(buildAutoGroup(), 0, Qt::AlignBottom);
    controls->addWidget(buildOutputGroup(), 0, Qt::AlignBottom);
    controls->addStretch(1);
    groupLayout->addWidget(Panel3);

    connect(Chart1, &recording::ChartPlot::seriesActiveToggled, this, &ChartPage::onSeriesToggled);
}

QGroupBox* ChartPage::buildRunGroup()
{
    GroupBox16 = new QGroupBox(Panel3);
    GroupBox16->setObjectName(QStringLiteral("GroupBox16"));
    auto* grid = new QGridLayout(GroupBox16);
    grid->setContentsMargins(kGroupMargin, kGroupMargin, kGroupMargin, kGroupMargin);
    grid->setSpacing(kGroupSpacing);
    Btn_ChartStart = button("Btn_ChartStart", QStringLiteral("Start"), ButtonPicture::Start, GroupBox16);
    Btn_ChartPause = button("Btn_ChartPause", QStringLiteral("Pauza"), ButtonPicture::Pause, GroupBox16);
    Btn_ChartReset = button("Btn_ChartReset", QStringLiteral("Reset"), ButtonPicture::ChartReset, GroupBox16);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(kGroupSpacing);
    buttons->addWidget(Btn_ChartStart);
    buttons->addWidget(Btn_ChartPause);
    buttons->addWidget(Btn_ChartReset);
    grid->addLayout(buttons, 0, 0, 1, 2);

    ComboB_ChartSampling = list("ComboB_ChartSampling",
                                {QStringLiteral("100/sek."), QStringLiteral("50 /sek."), QStringLiteral("25 /sek."),
                                 QStringLiteral("10/sek."), QStringLiteral("1/sek."), QStringLiteral("1/min."),
                                 QStringLiteral("10/min."), QStringLiteral("10/h.")},
                                0, GroupBox16);
    ComboB_ChartSampling->setToolTip(QStringLiteral("Okresla czestotliwosc dodawania nowych pomiarow do wykresu"));
    Cb_ChartTimeWindow = list("Cb_ChartTimeWindow",
                              {QStringLiteral("1 sek."), QStringLiteral("10 sek."), QStringLiteral("1 min."),
                               QStringLiteral("5 min."), QStringLiteral("10 min."), QStringLiteral("30 min."),
                               QStringLiteral("1 h.")},
                              1, GroupBox16);
    Cb_ChartTimeWindow->setToolTip(QStringLiteral(
        "Okresla czas zapelnienia okna wykresu pomiarami. Po przekroczeniu czasu okno jest przesuwane."));
    grid->addWidget(caption(QStringLiteral("Próbkowanie:"), GroupBox16), 1, 0);
    grid->addWidget(caption(QStringLiteral("Czas okna"), GroupBox16), 1, 1);
    grid->addWidget(ComboB_ChartSampling, 2, 0);
    grid->addWidget(Cb_ChartTimeWindow, 2, 1);

    connect(Btn_ChartStart, &QPushButton::clicked, this, &ChartPage::Btn_ChartStartClick);
    connect(Btn_ChartPause, &QPushButton::clicked, this, &ChartPage::Btn_ChartPauseClick);
    connect(Btn_ChartReset, &QPushButton::clicked, this, &ChartPage::Btn_ChartResetClick);
    connect(ComboB_ChartSampling, &QComboBox::currentIndexChanged, this, &ChartPage::ComboB_ChartSamplingChange);
    connect(Cb_ChartTimeWindow, &QComboBox::currentIndexChanged, this, &ChartPage::Cb_ChartTimeWindowChange);
    return GroupBox16;
}

QGroupBox* ChartPage::buildOutputGroup()
{
    GroupBox17 = new QGroupBox(Panel3);
    GroupBox17->setObjectName(QStringLiteral("GroupBox17"));
    auto* grid = new QGridLayout(GroupBox17);
    grid->setContentsMargins(kGroupMargin, kGroupMargin, kGroupMargin, kGroupMargin);
    grid->setSpacing(kGroupSpacing);
    Btn_Print = button("Btn_Print", QStringLiteral("Drukuj"), ButtonPicture::Print, GroupBox17);
    Btn_CharPrintSetting =
        button("Btn_CharPrintSetting", QStringLiteral("Opcje wydruku"), ButtonPicture::PrintSetup, GroupBox17);
    Btn_SaveBmpChart =
        button("Btn_SaveBmpChart", QStringLiteral("Zapisz jako obraz"), ButtonPicture::SaveImage, GroupBox17);
    Btn_SaveBmpChart->setMaximumWidth(QWIDGETSIZE_MAX);
    // One column: the lower panel is too narrow for the two print buttons side by side once the
    // captions are wider than Tahoma's.
    grid->addWidget(Btn_Print, 0, 0);
    grid->addWidget(Btn_CharPrintSetting, 1, 0);
    grid->addWidget(Btn_SaveBmpChart, 2, 0);
    for (QPushButton* b : {Btn_Print, Btn_CharPrintSetting}) {
        b->setMaximumWidth(QWIDGETSIZE_MAX);
    }

    connect(Btn_Print, &QPushButton::clicked, this, &ChartPage::Btn_PrintClick);
    connect(Btn_CharPrintSetting, &QPushButton::clicked, this, &ChartPage::Btn_CharPrintSettingClick);
    connect(Btn_SaveBmpChart, &QPushButton::clicked, this, &ChartPage::Btn_SaveBmpChartClick);
    connect(Btn_ChartTips, &QPushButton::clicked, this, &ChartPage::Btn_ChartTipsClick);
    return GroupBox17;
}

QGroupBox* ChartPage::buildAutoGroup()
{
    GroupBox13 = new QGroupBox(Panel3);
    GroupBox13->setObjectName(QStringLiteral("GroupBox13"));
    auto* grid = new QGridLayout(GroupBox13);
    grid->setContentsMargins(kGroupMargin, kGroupMargin, kGroupMargin, kGroupMargin);
    grid->setSpacing(kGroupSpacing);
    Cb_ChartAutoStartStop = new QCheckBox(QStringLiteral("Auto start/stop"), GroupBox13);
    Cb_ChartAutoStartStop->setObjectName(QStringLiteral("Cb_ChartAutoStartStop"));
    Cb_ChartAutoStartStop->setToolTip(
        QStringLiteral("Automatyczne rozpoczęcie i zatrzymanie rejestracji pomiarów na wykresie."));
    ComboBox_ChartAutoCh = list("ComboBox_ChartAutoCh",
                                {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                                 QStringLiteral("SUMA")},
                                0, GroupBox13);
    ComboBox_ChartAutoCh->setToolTip(
        QStringLiteral("Wybór kanału sterującego rozpoczęciem / zatrzymaniem rejestracji pomiarów."));
    Label_ChartTrigActVal = new QLabel(QStringLiteral("0"), GroupBox13);
    Label_ChartTrigActVal->setObjectName(QStringLiteral("Label_ChartTrigActVal"));
    Edit_AutoStartVal = new QLineEdit(QStringLiteral("0"), GroupBox13);
    Edit_AutoStartVal->setObjectName(QStringLiteral("Edit_AutoStartVal"));
    Edit_AutoStartVal->setToolTip(QStringLiteral("Wartość siły powyżej której rozpocznie się rejestracjia pomiarów. "
                                                 "Wartość powinna być większa od parametru \"Próg stop\"."));
    Edit_AutoStopVal = new QLineEdit(QStringLiteral("0"), GroupBox13);
    Edit_AutoStopVal->setObjectName(QStringLiteral("Edit_AutoStopVal"));
    Edit_AutoStopVal->setToolTip(QStringLiteral("Wartość siły poniżej której zakończy się rejestracjia pomiarów. "
                                                "Wartość powinna być mniejsza od parametru \"Próg star\"."));
    Edit_AutoStartVal->setFixedWidth(58);
    Edit_AutoStopVal->setFixedWidth(58);

    grid->addWidget(Cb_ChartAutoStartStop, 0, 0, 1, 4);
    grid->addWidget(caption(QStringLiteral("Kanał:"), GroupBox13), 1, 0);
    grid->addWidget(caption(QStringLiteral("Wartość akt."), GroupBox13), 1, 1);
    grid->addWidget(caption(QStringLiteral("Próg start:"), GroupBox13), 1, 2);
    grid->addWidget(caption(QStringLiteral("Próg stop:"), GroupBox13), 1, 3);
    grid->addWidget(ComboBox_ChartAutoCh, 2, 0);
    grid->addWidget(Label_ChartTrigActVal, 2, 1);
    grid->addWidget(Edit_AutoStartVal, 2, 2);
    grid->addWidget(Edit_AutoStopVal, 2, 3);

    // The channel list shares the sampling list's change handler.
    connect(ComboBox_ChartAutoCh, &QComboBox::currentIndexChanged, this, &ChartPage::ComboB_ChartSamplingChange);
    // The threshold edits react when they lose the focus, changed or not.
    Edit_AutoStartVal->installEventFilter(this);
    Edit_AutoStopVal->installEventFilter(this);
    return GroupBox13;
}

bool ChartPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Chart1 && event->type() == QEvent::Resize) {
        placeChartOverlays();
    } else if (event->type() == QEvent::FocusOut) {
        // Focus moving to another window (a message box included) is not leaving the field.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == Edit_AutoStartVal) {
                Edit_AutoStartValExit();
            } else if (watched == Edit_AutoStopVal) {
                Edit_AutoStopValExit();
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ChartPage::placeChartOverlays()
{
    const QSize status = ChartStatus->sizeHint().expandedTo(QSize(ChartStatus->width(), 0));
    ChartStatus->setGeometry(kOverlayMargin, Chart1->height() - status.height() - kOverlayMargin, ChartStatus->width(),
                             status.height());
    const QSize tips =
        Btn_ChartTips->sizeHint().expandedTo(Btn_ChartTips->minimumSize()).boundedTo(Btn_ChartTips->maximumSize());
    Btn_ChartTips->setGeometry(Chart1->width() - tips.width() - kOverlayMargin,
                               Chart1->height() - tips.height() - kOverlayMargin, tips.width(), tips.height());
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
    ChartTimerTimer();
    // Re-armed after the tick: the next tick comes one period after this one ended.
    ChartTimer->start(chartTimerIntervalMs());
}

void ChartPage::ChartTimerTimer()
{
    if (chartAnalysis->inReview()) {
        return; // a recording is shown: live samples wait until "Start" returns to live
    }
    m_model.setAutoEnabled(Cb_ChartAutoStartStop->isChecked());
    m_model.setAutoChannel(ComboBox_ChartAutoCh->currentIndex());
    const link::Measurement measurement = m_sources.measurement ? m_sources.measurement() : link::Measurement{};
    const bool connected = m_sources.connected && m_sources.connected();
    if (connected && m_sources.measurementLive && !m_sources.measurementLive()) {
        return; // no fresh measurement yet: plotting the old record would look live
    }

    const recording::ChartTickResult tick = m_model.tick(measurement, connected);
    if (tick.watchedValue) {
        Label_ChartTrigActVal->setText(
            display::FormatFixed(static_cast<double>(*tick.watchedValue), kFieldPrecision, decimals(), m_sources.locale));
    }
    if (tick.stoppedByLink) {
        SetStateEdit(ChartStatus, kStatusOn, kStatusOff, false);
    }
    if (tick.appended) {
        Chart1->appendSample(tick.x, tick.values);
    }
    if (tick.bottomRange) {
        Chart1->setBottomRange(*tick.bottomRange);
    }
    if (tick.leftRange && chartAnalysis->leftRangeFollowsProgram()) {
        Chart1->setLeftRange(*tick.leftRange);
    }
    if (tick.appended) {
        chartAnalysis->onSampleAppended();
    }
}

void ChartPage::showRunState()
{
    SetStateEdit(ChartStatus, kStatusOn, kStatusOff, m_model.statusOn());
    SetStateHeader(JvHeader_Chart, kHeaderOn, kHeaderOff, m_model.headerOn());
}

void ChartPage::Btn_ChartStartClick()
{
    if (chartAnalysis->inReview()) {
        // Back to live: the recording leaves the chart, which starts afresh from time 0.
        chartAnalysis->leaveReview();
        Btn_ChartResetClick();
    }
    m_model.start();
    showRunState();
}

void ChartPage::Btn_ChartPauseClick()
{
    m_model.pause();
    showRunState();
}

void ChartPage::applyResetView(const recording::ChartResetView& view)
{
    Chart1->clearSamples();
    Chart1->setBottomRange(view.bottom);
    Chart1->setLeftRange(view.left);
}

void ChartPage::Btn_ChartResetClick()
{
    applyResetView(m_model.reset());
    if (chartAnalysis->inReview()) {
        chartAnalysis->fitAll(); // the live samples went; the recording stays in view
    }
}

void ChartPage::ComboB_ChartSamplingChange()
{
    if (m_model.applySamplingIndex(ComboB_ChartSampling->currentIndex()) && ChartTimer && ChartTimer->isActive()) {
        // A long period already armed would otherwise delay the new one by up to six minutes.
        ChartTimer->start(chartTimerIntervalMs());
    }
}

void ChartPage::Cb_ChartTimeWindowChange()
{
    m_model.applyWindowIndex(Cb_ChartTimeWindow->currentIndex());
    Btn_ChartResetClick();
}

void ChartPage::Edit_AutoStartValExit()
{
    const recording::RealFieldCheck check =
        recording::checkRealField(Edit_AutoStartVal->text(), decimals(), recording::kThresholdLowerBound,
                                  recording::kThresholdUpperBound, m_sources.locale);
    Edit_AutoStartVal->setText(check.text);
    const recording::ThresholdExit exit =
        recording::autoStartValExit(check, m_model.trigStartVal(), m_model.trigStopVal());
    showRefused(Edit_AutoStartVal, exit.refused);
    m_model.setTrigStartVal(exit.trigStartVal);
    m_model.setTrigStopVal(exit.trigStopVal);
    for (const QString& message : exit.messages) {
        m_dialogs->warning(kWarningCaption, message);
    }
}

void ChartPage::Edit_AutoStopValExit()
{
    const recording::RealFieldCheck check =
        recording::checkRealField(Edit_AutoStopVal->text(), decimals(), recording::kThresholdLowerBound,
                                  recording::kThresholdUpperBound, m_sources.locale);
    Edit_AutoStopVal->setText(check.text);
    const recording::ThresholdExit exit =
        recording::autoStopValExit(check, m_model.trigStartVal(), m_model.trigStopVal());
    showRefused(Edit_AutoStopVal, exit.refused);
    m_model.setTrigStartVal(exit.trigStartVal);
    m_model.setTrigStopVal(exit.trigStopVal);
    for (const QString& message : exit.messages) {
        m_dialogs->warning(kWarningCaption, message);
    }
}

void ChartPage::Btn_PrintClick()
{
    if (!m_dialogs->confirm(lookup("IDS_98"), lookup("IDS_97"))) {
        return;
    }
    if (!Chart1->printChart(*m_printer)) {
        // A print that could not start may leave the printer in its printing state, which refuses
        // every later set-up and print; carry the set-up over to a fresh one instead.
        m_printer = printerWithSetupOf(*m_printer);
        m_dialogs->error(QStringLiteral("Printing failed: the printer could not be opened"));
    }
}

void ChartPage::Btn_CharPrintSettingClick()
{
    m_dialogs->printerSetup(*m_printer);
}

void ChartPage::Btn_SaveBmpChartClick()
{
    const QString chosen = m_dialogs->bitmapSaveName();
    if (chosen.isEmpty()) {
        return;
    }
    const QString fileName = recording::bitmapFileName(chosen);
    // A file that could not be written is reported: the user would otherwise believe it saved.
    if (!Chart1->saveBitmap(fileName)) {
        m_dialogs->warning(kWarningCaption, QStringLiteral("Nie można zapisać obrazu do pliku %1").arg(fileName));
    }
}

void ChartPage::Btn_ChartTipsClick()
{
    m_dialogs->information(lookup("IDS_158"), lookup("IDS_157"));
}

void ChartPage::onReviewOpened(const QString& header)
{
    m_model.pause();
    showRunState();
    JvHeader_Chart->setCaption(header);
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
    Chart1->setSeriesActive(index, active);
}

int ChartPage::samplingIndex() const
{
    return ComboB_ChartSampling->currentIndex();
}

void ChartPage::applySamplingIndex(int index)
{
    {
        const QSignalBlocker blocker(ComboB_ChartSampling);
        ComboB_ChartSampling->setCurrentIndex(index);
    }
    ComboB_ChartSamplingChange();
}

int ChartPage::timeWindowIndex() const
{
    return Cb_ChartTimeWindow->currentIndex();
}

void ChartPage::applyTimeWindowIndex(int index)
{
    {
        const QSignalBlocker blocker(Cb_ChartTimeWindow);
        Cb_ChartTimeWindow->setCurrentIndex(index);
    }
    Cb_ChartTimeWindowChange();
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
    Edit_AutoStartVal->setText(
        display::FormatFixed(static_cast<double>(trigStartVal), kFieldPrecision, kThresholdDecimals, m_sources.locale));
    Edit_AutoStopVal->setText(
        display::FormatFixed(static_cast<double>(trigStopVal), kFieldPrecision, kThresholdDecimals, m_sources.locale));
}

} // namespace qmx::ui
