#include "MainWindow.h"
#include "ui/widgets/Fonts.h"

#include "pages/ChartPage.h"
#include "review/ChartAnalysisPanel.h"
#include "pages/CommunicationPage.h"
#include "pages/MeasurementPage.h"
#include "pages/OutputsPage.h"
#include "pages/RecordingPage.h"
#include "pages/SensorSettingsPage.h"
#include "pages/SettingsPage.h"

#include "ErrorBox.h"
#include "icons/Icons.h"
#include "lang/PropertyTable.h"
#include "windows/TForm2.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMoveEvent>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qmx::ui {

namespace {
constexpr int kMinimumWidth = 682;
constexpr int kMinimumHeight = 672;
constexpr int kInitialClientWidth = 666;
constexpr int kInitialClientHeight = 614;
constexpr int kSettingsPageIndex = 3;
constexpr int kModbusAddresses = 247;

void setBackground(QLineEdit* edit, const QColor& colour)
{
    QPalette palette = edit->palette();
    if (palette.color(QPalette::Base) != colour) {
        palette.setColor(QPalette::Base, colour);
        edit->setPalette(palette);
    }
}
} // namespace

TForm1::TForm1(link::HidBackend& backend, QString settingsPath, QWidget* parent)
    : QMainWindow(parent), m_settingsPath(std::move(settingsPath))
{
    setObjectName(QStringLiteral("Form1"));
    m_errorBox = [this](const QString& message) { showErrorBox(this, message); };
    m_link = std::make_unique<link::LinkController>(backend, [this](std::string_view id) { return LookupText(id); });

    // The window is laid out for Tahoma's narrow letters; where Tahoma is missing, fonts of similar
    // width keep the captions within their places rather than the system's wider default.
    setFont(namedFont(NamedFont::Tahoma, 11));
    setWindowIcon(programIcon());

    buildMenu();
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(3, 3, 3, 0);
    column->setSpacing(3);
    column->addWidget(buildConnectionStrip());

    PageControl1 = new QTabWidget(central);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setIconSize(QSize(kTabIconSize, kTabIconSize));
    TabSheet1 = new MeasurementPage(PageControl1);
    ChartPageSources chartSources;
    chartSources.measurement = [this]() -> const link::Measurement& { return m_link->measurement(); };
    chartSources.connected = [this] { return m_link->connected(); };
    chartSources.measurementLive = [this] { return m_link->measurementIsLive(); };
    chartSources.decimals = [this] { return Decp(); };
    chartSources.lookupText = [this](std::string_view id) { return LookupText(id); };
    chartSources.locale = m_numberLocale;
    TabSheet2 = new ChartPage(std::move(chartSources), PageControl1);
    TabSheet3 = new RecordingPage(PageControl1);
    TabSheet5 = new SettingsPage(*m_link, [this](std::string_view id) { return LookupText(id); }, PageControl1);
    connect(TabSheet5, &SettingsPage::unitsTextChanged, this, [this](const QString& units) {
        m_unitsText = units;
        TabSheet2->chartAnalysis->setLiveUnit(units);
    });
    // The ampersands give each tab its Alt key (the letter is underlined, not shown as "&").
    PageControl1->addTab(TabSheet1, imageListIcon(0), QStringLiteral("&Pomiary"));
    PageControl1->addTab(TabSheet2, imageListIcon(1), QStringLiteral("&Wykres"));
    PageControl1->addTab(TabSheet3, imageListIcon(2), QStringLiteral("&Rejestracja"));
    PageControl1->addTab(TabSheet5, imageListIcon(3), QStringLiteral("&Ustawienia"));
    PageControl1->setCurrentIndex(0);
    column->addWidget(PageControl1, 1);
    column->addWidget(buildStatusStrip());
    setCentralWidget(central);

    // The device list is kept in an invisible list box.
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->hide();

    // Until the window system reports a frame, the minimum applies to the window itself; the
    // initial client area does not count the menu bar, which Qt puts inside the window.
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(kInitialClientWidth, kInitialClientHeight + menuBar()->sizeHint().height());
    move(0, 0);

    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::PageControl1Change);
    connect(m_link.get(), &link::LinkController::linkStatusChanged, this, &TForm1::showLinkStatus);
    connect(m_link.get(), &link::LinkController::connectionTextChanged, this,
            [this](const QString& text) { ConnectionStatus->setText(text); });
    connect(m_link.get(), &link::LinkController::statusMessage, this,
            [this](const QString& text) { Label_Status->setText(text); });
    connect(m_link.get(), &link::LinkController::deviceListChanged, this, [this] {
        ListBox1->clear();
        for (const auto& entry : m_link->deviceList()) {
            ListBox1->addItem(entry.text);
        }
    });

    TimFps.setInterval(1000);
    connect(&TimFps, &QTimer::timeout, this, &TForm1::TimFpsTimer);
    TimFps.start();
    DisplayData.setInterval(25);
    connect(&DisplayData, &QTimer::timeout, this, &TForm1::DisplayDataTimer);
    DisplayData.start();
    connectMeasurementPage();
    connectRecordingPage();
    connect(Wczytajustawieniazpliku1, &QAction::triggered, this, &TForm1::Wczytajustawieniazpliku1Click);
    connect(Wczytajustawieniazpliku2, &QAction::triggered, this, &TForm1::Wczytajustawieniazpliku2Click);
    connect(Informacje1, &QAction::triggered, this, &TForm1::Informacje1Click);

    FormCreate();

    // The first device search runs once the message loop is running.
    QTimer::singleShot(0, this, &TForm1::JvHidDeviceController1DeviceChange);
}

TForm1::~TForm1() = default;

void TForm1::siLangCombo1Change()
{
    const int number = siLangCombo1->currentIndex() + 1;
    if (number < 1 || number > lang::kLanguageCount) {
        m_errorBox(lang::invalidLanguageText("TForm1", number));
        return;
    }
    const auto language = static_cast<lang::Language>(number);
    if (language == m_activeLanguage) {
        return;
    }
    m_activeLanguage = language;
    TabSheet2->chartAnalysis->retranslate();
    for (const auto& entry : lang::propertyTable()) {
        const auto text = lang::propertyText(entry, language);
        if (!text) {
            continue;
        }
        const QString name = QString::fromLatin1(entry.control.data(), static_cast<qsizetype>(entry.control.size()));
        if (auto* label = findChild<QLabel*>(name)) {
            label->setText(*text);
        } else if (auto* edit = findChild<QLineEdit*>(name)) {
            edit->setText(*text);
        }
    }
}

void TForm1::openRecordingForReview(const QString& path)
{
    PageControl1->setCurrentWidget(TabSheet2);
    TabSheet2->chartAnalysis->openRecording(path);
}

QString TForm1::LookupText(std::string_view id) const
{
    return lang::lookupText(id, m_activeLanguage);
}

void TForm1::buildMenu()
{
    N1 = menuBar()->addMenu(QStringLiteral("Konfiguracja"));
    N1->setObjectName(QStringLiteral("N1"));
    Wczytajustawieniazpliku1 = N1->addAction(QStringLiteral("Wczytaj ustawienia z pliku"));
    Wczytajustawieniazpliku1->setObjectName(QStringLiteral("Wczytajustawieniazpliku1"));
    Wczytajustawieniazpliku2 = N1->addAction(QStringLiteral("Zapisz ustawienia do pliku"));
    Wczytajustawieniazpliku2->setObjectName(QStringLiteral("Wczytajustawieniazpliku2"));
    Pomoc1 = menuBar()->addMenu(QStringLiteral("Pomoc"));
    Pomoc1->setObjectName(QStringLiteral("Pomoc1"));
    Instrukcja1 = Pomoc1->addAction(QStringLiteral("Instrukcja obsługi"));
    Instrukcja1->setObjectName(QStringLiteral("Instrukcja1"));
    Informacje1 = Pomoc1->addAction(QStringLiteral("Informacje"));
    Informacje1->setObjectName(QStringLiteral("Informacje1"));

    // Keys of the menu items; the ends of the window's other keys are not in a menu.
    Wczytajustawieniazpliku1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Wczytajustawieniazpliku2->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Instrukcja1->setShortcut(QKeySequence(Qt::Key_F1));
    auto* quit = new QAction(this);
    quit->setObjectName(QStringLiteral("quitAction"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Ends through the close button's path: preferences written, recording closed, link released.
    connect(quit, &QAction::triggered, this, &QWidget::close);
    addAction(quit);
    auto* readShownPage = new QAction(this);
    readShownPage->setObjectName(QStringLiteral("readShownPageAction"));
    readShownPage->setShortcut(QKeySequence(Qt::Key_F5));
    connect(readShownPage, &QAction::triggered, this, &TForm1::readSettingsOfShownPage);
    addAction(readShownPage);
}

void TForm1::readSettingsOfShownPage()
{
    if (PageControl1->currentIndex() != kSettingsPageIndex) {
        return;
    }
    QWidget* shown = TabSheet5->PageControl2->currentWidget();
    QPushButton* read = nullptr;
    if (shown == TabSheet5->TabSheet6) {
        read = TabSheet5->TabSheet6->Btn_ReadTensSettings;
    } else if (shown == TabSheet5->TabSheet7) {
        read = TabSheet5->TabSheet7->Btn_ReadIOettings;
    } else if (shown == TabSheet5->TabSheet4) {
        read = TabSheet5->TabSheet4->BitBtn5;
    }
    // A button locked while the transducer is busy or absent refuses the key as it refuses a click.
    if (read != nullptr && read->isEnabled()) {
        read->click();
    }
}

QWidget* TForm1::buildConnectionStrip()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(3, 3, 3, 3);
    Label19 = new QLabel(QStringLiteral("Status połączenia"), panel);
    Label19->setObjectName(QStringLiteral("Label19"));
    ConnectionStatus = new QLineEdit(panel);
    ConnectionStatus->setObjectName(QStringLiteral("ConnectionStatus"));
    ConnectionStatus->setReadOnly(true);
    ConnectionStatus->setFixedWidth(246);
    ConnectionStatus->setAutoFillBackground(true);
    Label20 = new QLabel(QStringLiteral("Język"), panel);
    Label20->setObjectName(QStringLiteral("Label20"));
    Label20->hide();
    siLangCombo1 = new QComboBox(panel);
    siLangCombo1->setObjectName(QStringLiteral("siLangCombo1"));
    siLangCombo1->addItems({QStringLiteral("Polski"), QStringLiteral("English")});
    siLangCombo1->hide();
    row->addWidget(Label19);
    row->addWidget(ConnectionStatus);
    row->addStretch(1);
    return panel;
}

QWidget* TForm1::buildStatusStrip()
{
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setFixedHeight(25);
    auto* row = new QHBoxLayout(GroupBox1);
    row->setContentsMargins(4, 0, 4, 0);
    Label1 = new QLabel(QStringLiteral("Status:"), GroupBox1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label_Status = new QLabel(QStringLiteral("..."), GroupBox1);
    Label_Status->setObjectName(QStringLiteral("Label_Status"));
    Label_FpsData = new QLabel(QStringLiteral("Fps: 0"), GroupBox1);
    Label_FpsData->setObjectName(QStringLiteral("Label_FpsData"));
    Label26 = new QLabel(QStringLiteral("Rejestracja do pliku:"), GroupBox1);
    Label26->setObjectName(QStringLiteral("Label26"));
    StatusBarAcquisition = new QLineEdit(QStringLiteral("NIEAKTYWNA"), GroupBox1);
    StatusBarAcquisition->setObjectName(QStringLiteral("StatusBarAcquisition"));
    StatusBarAcquisition->setReadOnly(true);
    StatusBarAcquisition->setFixedWidth(80);
    StatusBarAcquisition->setFont(namedFont(NamedFont::Calibri, 11));
    row->addWidget(Label1);
    row->addWidget(Label_Status, 1);
    row->addWidget(Label_FpsData);
    row->addSpacing(12);
    row->addWidget(Label26);
    row->addWidget(StatusBarAcquisition);
    return GroupBox1;
}

void TForm1::FormCreate()
{
    // 1. No transducer yet; the first device search follows when the message loop runs.
    showLinkStatus(link::LinkStatus::NoConnection, LookupText("IDS_45"));
    // 2. Caption.
    setWindowTitle(QStringLiteral("QMX80NET-PC") + QStringLiteral("  ver.: ") + QString::fromLatin1(kProgramVersion));
    // 3. Application settings, ending with the interface language.
    LoadAppSettings();
    // 4. The Modbus address list: "1" to "247", item index = address - 1.
    QComboBox* addresses = TabSheet5->Cb_ModbusAddress;
    addresses->clear();
    for (int address = 1; address <= kModbusAddresses; ++address) {
        addresses->addItem(QString::number(address));
    }
    // 5. First items of the filter and address lists.
    TabSheet5->Cb_FiltLevel->setCurrentIndex(0);
    addresses->setCurrentIndex(0);
    // 6. Values derived from the rate and filter lists and from the chart lists.
    TabSheet5->Cb_AdRateChange();
    TabSheet2->ComboB_ChartSamplingChange();
    TabSheet2->Cb_ChartTimeWindowChange();
}

bool TForm1::FormClose()
{
    return SaveAppSettings();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (FormClose()) {
        event->accept();
        closeOtherWindows();
    } else {
        event->ignore();
    }
}

void TForm1::closeOtherWindows()
{
    // The program ends with its main window: a secondary window left open (the large display,
    // the calibration window, a dialog) would otherwise keep it running with the link alive and
    // a recording going. Each window gets its own close, so it can finish what it has started.
    QList<QPointer<QWidget>> others;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible()) {
            others.append(window);
        }
    }
    // Closing one window may delete another (a window that deletes itself and its children).
    for (const QPointer<QWidget>& window : others) {
        if (window) {
            window->close();
        }
    }
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    applyOuterMinimumSize();
}

void TForm1::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    applyOuterMinimumSize();
}

void TForm1::applyOuterMinimumSize()
{
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize wanted(kMinimumWidth - std::max(0, frame.width()), kMinimumHeight - std::max(0, frame.height()));
    if (minimumSize() != wanted) {
        setMinimumSize(wanted);
    }
}

void TForm1::Informacje1Click()
{
    if (TForm2* about = m_windows.about) {
        about->showModalOver(this);
    }
}

void TForm1::showLinkStatus(link::LinkStatus status, const QString& text)
{
    ConnectionStatus->setText(text);
    setBackground(ConnectionStatus, status == link::LinkStatus::Connected ? kOnColor : kOffColor);
}

void TForm1::JvHidDeviceController1DeviceChange()
{
    m_link->JvHidDeviceController1DeviceChange();
}

void TForm1::PageControl1Change(int index)
{
    if (index != kSettingsPageIndex) {
        m_link->ZylTimer_ReadData().start();
    }
}

void TForm1::TimFpsTimer()
{
    Label_FpsData->setText(QStringLiteral("Fps: ") + QString::number(m_link->takeFrameCount()) + QStringLiteral("/s"));
}

} // namespace qmx::ui
