#pragma once
// The main window: menu, connection strip, the four pages and the status strip. It owns the link
// to the transducer and the program's live state for the life of the program.

#include "display/core/NumberFormat.h"
#include "lang/StringTable.h"
#include "link/HidBackend.h"
#include "link/LinkController.h"
#include "ui/QtTranslations.h"
#include "ui/widgets/TextBindings.h"

#include <QMainWindow>
#include <QRect>
#include <QTimer>

#include <functional>
#include <memory>
#include <string_view>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QTabWidget;

namespace qmx::ui {

class ChartPage;
class MeasurementPage;
class RecordingPage;
class SettingsPage;
class HelpWindow;
class AboutBox;
class AnalogCalibrationWindow;
class LargeReadoutWindow;
struct ChannelControls;

/// The secondary windows, created after the main window (program entry order).
struct SecondaryWindows {
    AboutBox* about = nullptr;
    AnalogCalibrationWindow* analogCalib = nullptr;
    LargeReadoutWindow* bigDisplay = nullptr;
    HelpWindow* help = nullptr;
};

/// Program version shown in the caption and the about box.
inline constexpr const char* kProgramVersion = "1.01";
/// Application title.
inline constexpr const char* kApplicationTitle = "QMX80NET";

/// Colours of the on/off and connection indicators.
inline const QColor kOnColor{175, 216, 135};
inline const QColor kOffColor{253, 124, 102};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    /// `backend` supplies the HID devices; it must outlive the window. `settingsPath` is the
    /// preferences file; empty means none (every preference takes its default, nothing is saved).
    explicit MainWindow(link::HidBackend& backend, QString settingsPath = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// The text of a string-table identifier in the active language.
    QString lookupText(std::string_view id) const;
    /// Shows the chart page and opens the recording `path` there for review (the file is read in
    /// the background; a file that cannot be read is reported in the error box).
    void openRecordingForReview(const QString& path);
    lang::Language activeLanguage() const { return m_activeLanguage; }

    link::LinkController& link() { return *m_link; }
    /// Shows an error in the standard error box (replaceable, so tests never block on a dialog).
    using ErrorBox = std::function<void(const QString& message)>;
    void setErrorBox(ErrorBox box) { m_errorBox = std::move(box); }
    /// File dialogs of the device settings file (replaceable for tests): given the proposed
    /// name, they return the chosen one, or an empty text when the user cancels.
    using FileDialog = std::function<QString(const QString& proposed)>;
    void setConfigFileDialogs(FileDialog save, FileDialog open);
    /// Switches the interface language to the language list's position plus one and applies the
    /// property table and every page's and window's captions. A position outside the languages
    /// is refused with the error box.
    void applySelectedLanguage();

    /// Hands over the secondary windows once they exist.
    void attachWindows(const SecondaryWindows& windows);

    /// Number of decimals shown (the selected index of the decimals list).
    int Decp() const;
    /// Unit suffix with its leading blank; empty until the sensor settings arrive.
    const QString& unitsText() const { return m_unitsText; }

    // The window's controls. Each one's object name is the name the language, preferences and
    // tool-tip tables key on.
    QLineEdit* connectionStatusEdit = nullptr;
    QLabel* connectionCaptionLabel = nullptr;
    QLabel* languageCaptionLabel = nullptr;
    QComboBox* languageList = nullptr;
    QTabWidget* pageTabs = nullptr;
    QGroupBox* statusStrip = nullptr;
    QLabel* statusCaptionLabel = nullptr;
    QLabel* statusLabel = nullptr;
    QLabel* fpsLabel = nullptr;
    QLabel* recordingCaptionLabel = nullptr;
    QLineEdit* recordingStateEdit = nullptr;
    QListWidget* deviceListBox = nullptr;
    QMenu* configurationMenu = nullptr;
    QMenu* helpMenu = nullptr;
    QAction* loadSettingsAction = nullptr;
    QAction* saveSettingsAction = nullptr;
    QAction* manualAction = nullptr;
    QAction* aboutAction = nullptr;
    /// "Język": one checkable item per interface language, in the language list's order.
    QMenu* languageMenu = nullptr;
    QList<QAction*> languageActions;

    MeasurementPage* measurementPage = nullptr;
    ChartPage* chartPage = nullptr;
    RecordingPage* recordingPage = nullptr;
    SettingsPage* settingsPage = nullptr;

    QTimer fpsTimer;
    QTimer displayTimer;

public slots:
    void onDeviceChange();
    void onPageChanged(int index);
    void fpsTick();
    void displayTick();
    void tareSelected();
    void resetMaximum();
    void showLargeReadout();
    /// "Wczytaj ustawienia z pliku": fills the settings pages from a device settings file.
    void loadSettingsFile();
    /// "Zapisz ustawienia do pliku": writes the settings pages to a device settings file.
    void saveSettingsFile();
    /// Loads the device settings file `path` into the pages (no dialog).
    void loadDeviceSettingsFile(const QString& path);
    /// Saves the pages to the device settings file `path` (no dialog); false after an error box.
    bool saveDeviceSettingsFile(const QString& path);
    /// "Pomoc" / "Informacje": shows the about box modally, centred over this window.
    void showAboutBox();
    /// F5: on the "Ustawienia" page, reads the settings of the inner page shown, as its
    /// "Odczytaj" button does; nothing on the other pages.
    void readSettingsOfShownPage();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void startUp();
    bool mayClose();
    /// Closes every other visible window of the program (after the main window accepted closing).
    void closeOtherWindows();
    void loadPreferences();
    /// Writes the preferences. A failure is shown once in the error box and never keeps the window
    /// open, so the result is always true: the close may go on.
    bool savePreferences();
    void connectRecordingPage();
    void writeRecordingFileName(const QString& fileName);
    void buildMenu();
    /// The "Język" menu: choosing a language switches the whole interface at once.
    void buildLanguageMenu();
    /// Hands the active language to the secondary windows.
    void applyLanguageToWindows();
    /// Keeps the outer size (frame included) from going below the window's minimum, once the
    /// window system has told the frame's size.
    void applyOuterMinimumSize();
    /// Notes how far the client area lies from the frame's corner while the window is neither
    /// maximised nor full screen, to store the frame position it returns to when it is restored.
    void noteNormalFrameOffset();
    QWidget* buildConnectionStrip();
    QWidget* buildStatusStrip();
    void showLinkStatus(link::LinkStatus status, const QString& text);
    /// Puts `text` into the status line; `remake` makes it again after a change of the interface
    /// language, as long as no other text has replaced it meanwhile.
    void showStatusLine(const QString& text, std::function<QString()> remake);
    void showChannel(std::uint8_t status, std::uint16_t load, float value, ChannelControls& controls);
    void connectMeasurementPage();

    /// Places the large readout window as the preferences left it, if they hold its geometry.
    void restoreBigWindowGeometry();

    lang::Language m_activeLanguage = lang::Language::Polish;
    // Qt's own dialog texts follow m_activeLanguage.
    QtTranslations m_qtTranslations;
    display::NumberLocale m_numberLocale = display::NumberLocale::system();
    QString m_unitsText;
    SecondaryWindows m_windows;
    ErrorBox m_errorBox;
    QString m_settingsPath;
    FileDialog m_saveConfigDialog;
    FileDialog m_openConfigDialog;
    // Each settings file dialog proposes the file last chosen in it.
    QString m_lastOpenConfigFile = QStringLiteral("qmx80_konfiguracja.conf");
    QString m_lastSaveConfigFile = QStringLiteral("qmx80_konfiguracja.conf");
    // The preferences file could not be read at start (reported then): it is not written over.
    bool m_preferencesFileUnusable = false;
    // A failed save of the preferences has been shown; closing does not show it again.
    bool m_preferencesSaveErrorShown = false;
    // The large readout window's geometry as read from the preferences (frame position, client
    // size); empty when none is stored. Applied once the window is handed over.
    QRect m_storedBigWindowGeometry;
    // The client area's offset from the frame's corner in the normal (not maximised) state.
    QPoint m_normalFrameOffset;
    std::unique_ptr<link::LinkController> m_link;
    // The status line's text as the link or the window last wrote it, and how to make it again in
    // another language.
    QString m_statusLineShown;
    std::function<QString()> m_remakeStatusLine;
    // The status line's tool tip as the link last set it (the full text of its message).
    QString m_statusToolTipShown;
    // The window's own captions (menus, tabs, strips) in the active language.
    TextBindings m_texts{[this](std::string_view id) { return lookupText(id); }};
};

} // namespace qmx::ui
