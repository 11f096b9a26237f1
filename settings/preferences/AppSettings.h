#pragma once
// The program's own preferences (section "Options" of its settings file): the values, their
// defaults, and the key table that reads and writes them in one fixed order.

#include "display/core/NumberFormat.h"
#include "settings/profile/ProfileFile.h"

#include <QList>
#include <QRect>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace qmx::settings {

/// The preferences as the window's controls hold them. Indices are list positions, unchecked.
struct AppSettings {
    bool Checkbox_DataAcquistion = false;
    int DataAcquistionSpeed = 0;
    QString FileName = QStringLiteral("pomiary.csv");
    bool SaveDate = true;
    bool SaveTime = true;
    bool SaveDataCnt = true;
    bool SaveDataSummary = false;
    bool SaveDataSens1 = true;
    bool SaveDataSens2 = false;
    bool SaveDataSens3 = false;
    bool SaveDataSens4 = false;
    std::array<bool, 5> ChartSeries{true, false, false, false, false};
    int TimeSize = 1;
    int Sampling = 2;
    float TrigStartVal = 50.0F;
    float TrigStopVal = 10.0F;
    int DecimalPoint = 1;
    int Language = 0;
    // The main window's place and size (frame position, client size) and its last page; a width
    // or height of 0 means none is stored and the window opens where it always did.
    int WindowLeft = 0;
    int WindowTop = 0;
    int WindowWidth = 0;
    int WindowHeight = 0;
    int LastTab = 0;
    // The large readout window's place and size, the same way.
    int BigWindowLeft = 0;
    int BigWindowTop = 0;
    int BigWindowWidth = 0;
    int BigWindowHeight = 0;
    // Whether the main window was maximised; its place and size above are then those it returns
    // to when it is restored.
    bool WindowMaximized = false;

    friend bool operator==(const AppSettings&, const AppSettings&) = default;
};

/// The recording file used when the preferences name none: "pomiary.csv" in the user's
/// documents folder (in the home folder when the system names no documents folder), as an
/// absolute path.
QString defaultRecordingFileName(const QString& documentsFolder);

/// Where a window whose outer rectangle was stored as `stored` opens on the screens there are
/// now (their available areas, `primary` among them). A window that still shows enough of itself
/// on some screen to be grabbed and moved stays where it was; one that lies off every screen is
/// moved to the primary screen's top left corner, shrunk to fit it where needed.
QRect keptOnScreen(const QRect& stored, const QList<QRect>& screens, const QRect& primary);

/// The section that holds every key.
inline const QString kOptionsSection = QStringLiteral("Options");

/// Reads the value of a key of the "Options" section; nullopt when missing.
using KeyReader = std::function<std::optional<QString>(const QString& key)>;

/// Reads every key in table order; a missing or unreadable value takes the key's default. Reals
/// are read with the locale's decimal separator; one that is infinite or not a number as a
/// float32 is unreadable.
AppSettings readAppSettings(const KeyReader& read, const display::NumberLocale& locale);

/// The keys and texts written on close, in table order: every key but "FileName". Flags are "1"
/// and "0"; the thresholds are widened to double precision and written with up to 15 digits.
std::vector<std::pair<QString, QString>> appSettingsEntries(const AppSettings& settings,
                                                            const display::NumberLocale& locale);

/// True when `folder` (symbolic links resolved) lies under a prefix where packages install programs:
/// /usr (with /usr/local), /opt, /bin, /sbin, /lib, /lib32, /lib64 or /libx32. Such a folder is an
/// installed copy, never a portable one, even when the superuser could write into it.
bool isSystemProgramFolder(const QString& folder);

/// Where the settings file lives: beside the executable when the program is a portable copy (its
/// folder is not a system program folder) and a save can replace the file there (its folder can be
/// written and the file, if any, is a regular file the user may read and write, within the size
/// limit), otherwise in the user's configuration folder for the program.
QString appSettingsPath(const QString& executableFolder, const QString& userConfigFolder);

/// Why the settings file beside the executable, which exists, was passed over for `chosenPath`
/// because it cannot be read (too large, not readable, not text). Nothing when it is the chosen
/// file, is missing, or can be read (a write-protected file is passed over without a word).
std::optional<ReadError> unreadableFileBesideExecutable(const QString& executableFolder,
                                                                  const QString& chosenPath);

} // namespace qmx::settings
