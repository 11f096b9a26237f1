#pragma once
// The main window: menu, connection strip, the four pages and the status strip. It owns the link
// to the transducer and the program's live state for the life of the program.

#include "display/core/NumberFormat.h"
#include "lang/StringTable.h"
#include "link/HidBackend.h"
#include "link/LinkController.h"

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
class TFHelp;
class TForm2;
class TFormAnCalib;
class TFormBigDisplay;
class TFormCalib;
struct ChannelControls;

/// The secondary windows, created after the main window (program entry order).
struct SecondaryWindows {
    TForm2* about = nullptr;
    TFormCalib* calib = nullptr;
    TFormAnCalib* analogCalib = nullptr;
    TFormBigDisplay* bigDisplay = nullptr;
    TFHelp* help = nullptr;
};

/// Program version shown in the caption and the about box.
inline constexpr const char* kProgramVersion = "1.01";
/// Application title.
inline constexpr const char* kApplicationTitle = "QMX80NET";

/// Colours of the on/off and connection indicators.
inline const QColor kOnColor{175, 216, 135};
inline const QColor kOffColor{253, 124, 102};

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    /// `backend` supplies the HID devices; it must outlive the window. `settingsPath` is the
    /// preferences file; empty means none (every preference takes its default, nothing is saved).
    explicit TForm1(link::HidBackend& backend, QString settingsPath = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    /// The text of a string-table identifier in the active language.
    QString LookupText(std::string_view id) const;
    /// Shows the chart page and opens the recording `path` there for review (the file is read in
    /// the background; a file that cannot be read is reported in the error box).
    void openRecordingForReview(const QString& path);
    lang::Language ActiveLanguage() const { return m_activeLanguage; }

    link::LinkController& link() { return *m_link; }
    /// Shows an error in the standard error box (replaceable, so tests never block on a dialog).
    using ErrorBox = std::function<void(const QString& message)>;
    void setErrorBox(ErrorBox box) { m_errorBox = std::move(box); }
    /// File dialogs of the device settings file (replaceable for tests): given the proposed
    /// name, they return the chosen one, or an empty text when the user cancels.
    using FileDialog = std::function<QString(const QString& proposed)>;
    void setConfigFileDialogs(FileDialog save, FileDialog open);
    /// Switches the interface language to the language list's position plus one and applies the
    /// property table. A position outside the languages is refused with the error box.
    void siLangCombo1Change();

    /// Hands over the secondary windows once they exist.
    void attachWindows(const SecondaryWindows& windows);

    /// Number of decimals shown (the selected index of the decimals list).
    int Decp() const;
    /// Unit suffix with its leading blank; empty until the sensor settings arrive.
    const QString& UnitsText() const { return m_unitsText; }

    // Controls named as the program's forms name them.
    QLineEdit* ConnectionStatus = nullptr;
    QLabel* Label19 = nullptr;
    QLabel* Label20 = nullptr;
    QComboBox* siLangCombo1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label_Status = nullptr;
    QLabel* Label_FpsData = nullptr;
    QLabel* Label26 = nullptr;
    QLineEdit* StatusBarAcquisition = nullptr;
    QListWidget* ListBox1 = nullptr;
    QMenu* N1 = nullptr;
    QMenu* Pomoc1 = nullptr;
    QAction* Wczytajustawieniazpliku1 = nullptr;
    QAction* Wczytajustawieniazpliku2 = nullptr;
    QAction* Instrukcja1 = nullptr;
    QAction* Informacje1 = nullptr;

    MeasurementPage* TabSheet1 = nullptr;
    ChartPage* TabSheet2 = nullptr;
    RecordingPage* TabSheet3 = nullptr;
    SettingsPage* TabSheet5 = nullptr;

    QTimer TimFps;
    QTimer DisplayData;

public slots:
    void JvHidDeviceController1DeviceChange();
    void PageControl1Change(int index);
    void TimFpsTimer();
    void DisplayDataTimer();
    void BtnTaraClick();
    void Btn_ResetMinMaxClick();
    void Bit_BigWindowClick();
    /// "Wczytaj ustawienia z pliku": fills the settings pages from a device settings file.
    void Wczytajustawieniazpliku1Click();
    /// "Zapisz ustawienia do pliku": writes the settings pages to a device settings file.
    void Wczytajustawieniazpliku2Click();
    /// Loads the device settings file `path` into the pages (no dialog).
    void loadDeviceSettingsFile(const QString& path);
    /// Saves the pages to the device settings file `path` (no dialog); false after an error box.
    bool saveDeviceSettingsFile(const QString& path);
    /// "Pomoc" / "Informacje": shows the about box modally, centred over this window.
    void Informacje1Click();
    /// F5: on the "Ustawienia" page, reads the settings of the inner page shown, as its
    /// "Odczytaj" button does; nothing on the other pages.
    void readSettingsOfShownPage();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void FormCreate();
    bool FormClose();
    /// Closes every other visible window of the program (after the main window accepted closing).
    void closeOtherWindows();
    void LoadAppSettings();
    /// Writes the preferences. A failure is shown once in the error box and never keeps the window
    /// open, so the result is always true: the close may go on.
    bool SaveAppSettings();
    void connectRecordingPage();
    void writeRecordingFileName(const QString& fileName);
    void buildMenu();
    /// Keeps the outer size (frame included) from going below the window's minimum, once the
    /// window system has told the frame's size.
    void applyOuterMinimumSize();
    QWidget* buildConnectionStrip();
    QWidget* buildStatusStrip();
    void showLinkStatus(link::LinkStatus status, const QString& text);
    void ShowChannel(std::uint8_t status, std::uint16_t load, float value, ChannelControls& controls);
    void connectMeasurementPage();

    /// Places the large readout window as the preferences left it, if they hold its geometry.
    void restoreBigWindowGeometry();

    lang::Language m_activeLanguage = lang::Language::Polish;
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
    std::unique_ptr<link::LinkController> m_link;
};

} // namespace qmx::ui
