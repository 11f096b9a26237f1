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
#include "windows/HelpWindow.h"
#include "windows/AboutBox.h"
#include "windows/AnalogCalibrationWindow.h"
#include "windows/LargeReadoutWindow.h"

#include <QAction>
#include <QActionGroup>
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

MainWindow::MainWindow(link::HidBackend& backend, QString settingsPath, QWidget* parent)
    : QMainWindow(parent), m_settingsPath(std::move(settingsPath))
{
    setObjectName(QStringLiteral("Form1"));
    m_errorBox = [this](const QString& message) { showErrorBox(this, message); };
    m_link = std::make_unique<link::LinkController>(backend, [this](std::string_view id) { return lookupText(id); });

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
    buildLanguageMenu(); // after the language list it mirrors

    pageTabs = new QTabWidget(central);
    pageTabs->setObjectName(QStringLiteral("PageControl1"));
    pageTabs->setIconSize(QSize(kTabIconSize, kTabIconSize));
    const TextBindings::Lookup lookup = [this](std::string_view id) { return lookupText(id); };
    measurementPage = new MeasurementPage(lookup, pageTabs);
    ChartPageSources chartSources;
    chartSources.measurement = [this]() -> const link::Measurement& { return m_link->measurement(); };
    chartSources.connected = [this] { return m_link->connected(); };
    chartSources.measurementLive = [this] { return m_link->measurementIsLive(); };
    chartSources.decimals = [this] { return Decp(); };
    chartSources.lookupText = [this](std::string_view id) { return lookupText(id); };
    chartSources.locale = m_numberLocale;
    chartPage = new ChartPage(std::move(chartSources), pageTabs);
    recordingPage = new RecordingPage(lookup, pageTabs);
    settingsPage = new SettingsPage(*m_link, lookup, pageTabs);
    connect(settingsPage, &SettingsPage::unitsTextChanged, this, [this](const QString& units) {
        m_unitsText = units;
        chartPage->chartAnalysis->setLiveUnit(units);
    });
    // The ampersands give each tab its Alt key (the letter is underlined, not shown as "&"), in
    // each language the letter its caption marks.
    pageTabs->addTab(measurementPage, imageListIcon(0), QString());
    pageTabs->addTab(chartPage, imageListIcon(1), QString());
    pageTabs->addTab(recordingPage, imageListIcon(2), QString());
    pageTabs->addTab(settingsPage, imageListIcon(3), QString());
    m_texts.bindTab(pageTabs, 0, "IDS_TabMeasurement");
    m_texts.bindTab(pageTabs, 1, "IDS_TabChart");
    m_texts.bindTab(pageTabs, 2, "IDS_TabRecording");
    m_texts.bindTab(pageTabs, 3, "IDS_TabSettings");
    pageTabs->setCurrentIndex(0);
    column->addWidget(pageTabs, 1);
    column->addWidget(buildStatusStrip());
    setCentralWidget(central);

    // The device list is kept in an invisible list box.
    deviceListBox = new QListWidget(this);
    deviceListBox->setObjectName(QStringLiteral("ListBox1"));
    deviceListBox->hide();

    // Until the window system reports a frame, the minimum applies to the window itself; the
    // initial client area does not count the menu bar, which Qt puts inside the window.
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(kInitialClientWidth, kInitialClientHeight + menuBar()->sizeHint().height());
    move(0, 0);

    connect(pageTabs, &QTabWidget::currentChanged, this, &MainWindow::onPageChanged);
    connect(m_link.get(), &link::LinkController::linkStatusChanged, this, &MainWindow::showLinkStatus);
    connect(m_link.get(), &link::LinkController::connectionTextChanged, this,
            [this](const QString& text) { connectionStatusEdit->setText(text); });
    connect(m_link.get(), &link::LinkController::statusMessage, this, [this](const QString& text) {
        showStatusLine(text, [this] { return m_link->statusMessageText(); });
    });
    connect(m_link.get(), &link::LinkController::deviceListChanged, this, [this] {
        deviceListBox->clear();
        for (const auto& entry : m_link->deviceList()) {
            deviceListBox->addItem(entry.text);
        }
    });

    fpsTimer.setInterval(1000);
    connect(&fpsTimer, &QTimer::timeout, this, &MainWindow::fpsTick);
    fpsTimer.start();
    displayTimer.setInterval(25);
    connect(&displayTimer, &QTimer::timeout, this, &MainWindow::displayTick);
    displayTimer.start();
    connectMeasurementPage();
    connectRecordingPage();
    connect(loadSettingsAction, &QAction::triggered, this, &MainWindow::loadSettingsFile);
    connect(saveSettingsAction, &QAction::triggered, this, &MainWindow::saveSettingsFile);
    connect(aboutAction, &QAction::triggered, this, &MainWindow::showAboutBox);

    m_qtTranslations.use(m_activeLanguage);
    startUp();

    // The first device search runs once the message loop is running.
    QTimer::singleShot(0, this, &MainWindow::onDeviceChange);
}

MainWindow::~MainWindow() = default;

void MainWindow::applySelectedLanguage()
{
    const int number = languageList->currentIndex() + 1;
    if (number < 1 || number > lang::kLanguageCount) {
        m_errorBox(lang::invalidLanguageText("TForm1", number));
        return;
    }
    const auto language = static_cast<lang::Language>(number);
    languageActions.at(number - 1)->setChecked(true);
    if (language == m_activeLanguage) {
        return;
    }
    // Whether the status line still shows what the link or the window wrote, before the property
    // table puts its caption there.
    const bool remakeStatusLine = m_remakeStatusLine && statusLabel->text() == m_statusLineShown;
    const bool remakeStatusToolTip = !m_statusToolTipShown.isEmpty() && statusLabel->toolTip() == m_statusToolTipShown;
    m_activeLanguage = language;
    m_qtTranslations.use(language);
    m_texts.apply();
    measurementPage->retranslate();
    chartPage->retranslate();
    recordingPage->retranslate();
    settingsPage->retranslate();
    applyLanguageToWindows();
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
    // Texts the link and the window's operations have written are shown again in the new language.
    connectionStatusEdit->setText(m_link->connectionFieldText());
    if (remakeStatusLine) {
        m_statusLineShown = m_remakeStatusLine();
        statusLabel->setText(m_statusLineShown);
    }
    if (remakeStatusToolTip) {
        const QString detail = m_link->statusDetailText();
        m_statusToolTipShown = detail.isEmpty() ? m_link->statusMessageText() : detail;
        statusLabel->setToolTip(m_statusToolTipShown);
    }
}

void MainWindow::applyLanguageToWindows()
{
    if (m_windows.help) {
        m_windows.help->setLanguage(m_activeLanguage); // the manual in this language from its next opening
    }
    if (m_windows.about) {
        m_windows.about->setLanguage(m_activeLanguage);
    }
    if (m_windows.analogCalib) {
        m_windows.analogCalib->setLanguage(m_activeLanguage);
    }
    if (m_windows.bigDisplay) {
        m_windows.bigDisplay->setLanguage(m_activeLanguage);
    }
}

void MainWindow::openRecordingForReview(const QString& path)
{
    pageTabs->setCurrentWidget(chartPage);
    chartPage->chartAnalysis->openRecording(path);
}

QString MainWindow::lookupText(std::string_view id) const
{
    return lang::lookupText(id, m_activeLanguage);
}

void MainWindow::buildMenu()
{
    configurationMenu = menuBar()->addMenu(QString());
    configurationMenu->setObjectName(QStringLiteral("N1"));
    m_texts.bind(configurationMenu, &QMenu::setTitle, "IDS_MenuConfiguration");
    loadSettingsAction = configurationMenu->addAction(QString());
    loadSettingsAction->setObjectName(QStringLiteral("Wczytajustawieniazpliku1"));
    m_texts.bind(loadSettingsAction, &QAction::setText, "IDS_MenuLoadSettingsFile");
    saveSettingsAction = configurationMenu->addAction(QString());
    saveSettingsAction->setObjectName(QStringLiteral("Wczytajustawieniazpliku2"));
    m_texts.bind(saveSettingsAction, &QAction::setText, "IDS_MenuSaveSettingsFile");
    helpMenu = menuBar()->addMenu(QString());
    helpMenu->setObjectName(QStringLiteral("Pomoc1"));
    m_texts.bind(helpMenu, &QMenu::setTitle, "IDS_MenuHelp");
    manualAction = helpMenu->addAction(QString());
    manualAction->setObjectName(QStringLiteral("Instrukcja1"));
    m_texts.bind(manualAction, &QAction::setText, "IDS_MenuManual");
    aboutAction = helpMenu->addAction(QString());
    aboutAction->setObjectName(QStringLiteral("Informacje1"));
    m_texts.bind(aboutAction, &QAction::setText, "IDS_MenuAbout");

    // Keys of the menu items; the ends of the window's other keys are not in a menu.
    loadSettingsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    saveSettingsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    manualAction->setShortcut(QKeySequence(Qt::Key_F1));
    auto* quit = new QAction(this);
    quit->setObjectName(QStringLiteral("quitAction"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Ends through the close button's path: preferences written, recording closed, link released.
    connect(quit, &QAction::triggered, this, &QWidget::close);
    addAction(quit);
    auto* readShownPage = new QAction(this);
    readShownPage->setObjectName(QStringLiteral("readShownPageAction"));
    readShownPage->setShortcut(QKeySequence(Qt::Key_F5));
    connect(readShownPage, &QAction::triggered, this, &MainWindow::readSettingsOfShownPage);
    addAction(readShownPage);
}

void MainWindow::buildLanguageMenu()
{
    languageMenu = configurationMenu->addMenu(QString());
    languageMenu->setObjectName(QStringLiteral("languageMenu"));
    m_texts.bind(languageMenu, &QMenu::setTitle, "IDS_MenuLanguage");
    auto* choices = new QActionGroup(languageMenu);
    choices->setExclusive(true);
    // Each language is named in its own language, so that a user who cannot read the other one
    // still finds their own.
    for (int position = 0; position < languageList->count(); ++position) {
        QAction* choice = languageMenu->addAction(languageList->itemText(position));
        choice->setObjectName(position == 0 ? QStringLiteral("languagePolishAction") : QStringLiteral("languageEnglishAction"));
        choice->setCheckable(true);
        choice->setChecked(position + 1 == static_cast<int>(m_activeLanguage));
        choices->addAction(choice);
        // The switch takes effect at once; the choice is kept in the preferences at the end.
        connect(choice, &QAction::triggered, this, [this, position] {
            languageList->setCurrentIndex(position);
            applySelectedLanguage();
        });
        languageActions.append(choice);
    }
}

void MainWindow::readSettingsOfShownPage()
{
    if (pageTabs->currentIndex() != kSettingsPageIndex) {
        return;
    }
    QWidget* shown = settingsPage->settingsTabs->currentWidget();
    QPushButton* read = nullptr;
    if (shown == settingsPage->sensorPage) {
        read = settingsPage->sensorPage->readSensorSettingsButton;
    } else if (shown == settingsPage->communicationPage) {
        read = settingsPage->communicationPage->readIoSettingsButton;
    } else if (shown == settingsPage->outputsPage) {
        read = settingsPage->outputsPage->readOutputsButton;
    }
    // A button locked while the transducer is busy or absent refuses the key as it refuses a click.
    if (read != nullptr && read->isEnabled()) {
        read->click();
    }
}

QWidget* MainWindow::buildConnectionStrip()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(3, 3, 3, 3);
    connectionCaptionLabel = new QLabel(QStringLiteral("Status połączenia"), panel);
    connectionCaptionLabel->setObjectName(QStringLiteral("Label19"));
    connectionStatusEdit = new QLineEdit(panel);
    connectionStatusEdit->setObjectName(QStringLiteral("ConnectionStatus"));
    connectionStatusEdit->setReadOnly(true);
    connectionStatusEdit->setFixedWidth(246);
    connectionStatusEdit->setAutoFillBackground(true);
    languageCaptionLabel = new QLabel(QStringLiteral("Język"), panel);
    languageCaptionLabel->setObjectName(QStringLiteral("Label20"));
    languageCaptionLabel->hide();
    languageList = new QComboBox(panel);
    languageList->setObjectName(QStringLiteral("siLangCombo1"));
    languageList->addItems({QStringLiteral("Polski"), QStringLiteral("English")});
    languageList->hide();
    row->addWidget(connectionCaptionLabel);
    row->addWidget(connectionStatusEdit);
    row->addStretch(1);
    return panel;
}

QWidget* MainWindow::buildStatusStrip()
{
    statusStrip = new QGroupBox(this);
    statusStrip->setObjectName(QStringLiteral("GroupBox1"));
    statusStrip->setFixedHeight(25);
    auto* row = new QHBoxLayout(statusStrip);
    row->setContentsMargins(4, 0, 4, 0);
    statusCaptionLabel = new QLabel(QStringLiteral("Status:"), statusStrip);
    statusCaptionLabel->setObjectName(QStringLiteral("Label1"));
    statusLabel = new QLabel(QStringLiteral("..."), statusStrip);
    statusLabel->setObjectName(QStringLiteral("Label_Status"));
    fpsLabel = new QLabel(lookupText("IDS_StatusFrameRate") + u'0', statusStrip);
    fpsLabel->setObjectName(QStringLiteral("Label_FpsData"));
    recordingCaptionLabel = new QLabel(QStringLiteral("Rejestracja do pliku:"), statusStrip);
    recordingCaptionLabel->setObjectName(QStringLiteral("Label26"));
    recordingStateEdit = new QLineEdit(QStringLiteral("NIEAKTYWNA"), statusStrip);
    recordingStateEdit->setObjectName(QStringLiteral("StatusBarAcquisition"));
    recordingStateEdit->setReadOnly(true);
    recordingStateEdit->setFixedWidth(80);
    recordingStateEdit->setFont(namedFont(NamedFont::Calibri, 11));
    row->addWidget(statusCaptionLabel);
    row->addWidget(statusLabel, 1);
    row->addWidget(fpsLabel);
    row->addSpacing(12);
    row->addWidget(recordingCaptionLabel);
    row->addWidget(recordingStateEdit);
    return statusStrip;
}

void MainWindow::startUp()
{
    // 1. No transducer yet; the first device search follows when the message loop runs.
    showLinkStatus(link::LinkStatus::NoConnection, lookupText("IDS_45"));
    // 2. Caption.
    setWindowTitle(QStringLiteral("QMX80NET-PC") + QStringLiteral("  ver.: ") + QString::fromLatin1(kProgramVersion));
    // 3. Application settings, ending with the interface language.
    loadPreferences();
    // 4. The Modbus address list: "1" to "247", item index = address - 1.
    QComboBox* addresses = settingsPage->modbusAddressList;
    addresses->clear();
    for (int address = 1; address <= kModbusAddresses; ++address) {
        addresses->addItem(QString::number(address));
    }
    // 5. First items of the filter and address lists.
    settingsPage->filterLevelList->setCurrentIndex(0);
    addresses->setCurrentIndex(0);
    // 6. Values derived from the rate and filter lists and from the chart lists.
    settingsPage->adRateChanged();
    chartPage->samplingChanged();
    chartPage->timeWindowChanged();
}

bool MainWindow::mayClose()
{
    return savePreferences();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (mayClose()) {
        event->accept();
        closeOtherWindows();
    } else {
        event->ignore();
    }
}

void MainWindow::closeOtherWindows()
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

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    applyOuterMinimumSize();
    noteNormalFrameOffset();
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    applyOuterMinimumSize();
    noteNormalFrameOffset();
}

void MainWindow::noteNormalFrameOffset()
{
    if ((windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) == 0) {
        m_normalFrameOffset = geometry().topLeft() - pos();
    }
}

void MainWindow::applyOuterMinimumSize()
{
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize wanted(kMinimumWidth - std::max(0, frame.width()), kMinimumHeight - std::max(0, frame.height()));
    if (minimumSize() != wanted) {
        setMinimumSize(wanted);
    }
}

void MainWindow::showAboutBox()
{
    if (AboutBox* about = m_windows.about) {
        about->showModalOver(this);
    }
}

void MainWindow::showStatusLine(const QString& text, std::function<QString()> remake)
{
    statusLabel->setText(text);
    m_statusLineShown = text;
    m_remakeStatusLine = std::move(remake);
}

void MainWindow::showLinkStatus(link::LinkStatus status, const QString& text)
{
    connectionStatusEdit->setText(text);
    setBackground(connectionStatusEdit, status == link::LinkStatus::Connected ? kOnColor : kOffColor);
}

void MainWindow::onDeviceChange()
{
    m_link->onDeviceChange();
}

void MainWindow::onPageChanged(int index)
{
    if (index != kSettingsPageIndex) {
        m_link->pollTimer().start();
    }
}

void MainWindow::fpsTick()
{
    fpsLabel->setText(lookupText("IDS_StatusFrameRate") + QString::number(m_link->takeFrameCount()) + QStringLiteral("/s"));
}

} // namespace qmx::ui
