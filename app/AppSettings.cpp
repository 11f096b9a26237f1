#include "AppSettings.h"

#include "settings/profile/ProfileValues.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <variant>

namespace qmx::app {

namespace {

/// Where a key's value lives in the record.
using Field = std::variant<bool AppSettings::*, int AppSettings::*, float AppSettings::*, QString AppSettings::*,
                           std::size_t /* chart series index */>;

struct Key {
    const char* name;
    Field field;
};

// The key table, in the order of reading and writing.
const std::array<Key, 31> kKeys{{
    {"Checkbox_DataAcquistion", &AppSettings::Checkbox_DataAcquistion},
    {"DataAcquistionSpeed", &AppSettings::DataAcquistionSpeed},
    {"FileName", &AppSettings::FileName},
    {"SaveDate", &AppSettings::SaveDate},
    {"SaveTime", &AppSettings::SaveTime},
    {"SaveDataCnt", &AppSettings::SaveDataCnt},
    {"SaveDataSummary", &AppSettings::SaveDataSummary},
    {"SaveDataSens1", &AppSettings::SaveDataSens1},
    {"SaveDataSens2", &AppSettings::SaveDataSens2},
    {"SaveDataSens3", &AppSettings::SaveDataSens3},
    {"SaveDataSens4", &AppSettings::SaveDataSens4},
    {"ChartSeries1", std::size_t{0}},
    {"ChartSeries2", std::size_t{1}},
    {"ChartSeries3", std::size_t{2}},
    {"ChartSeries4", std::size_t{3}},
    {"ChartSeries5", std::size_t{4}},
    {"TimeSize", &AppSettings::TimeSize},
    {"Sampling", &AppSettings::Sampling},
    {"TrigStartVal", &AppSettings::TrigStartVal},
    {"TrigStopVal", &AppSettings::TrigStopVal},
    {"DecimalPoint", &AppSettings::DecimalPoint},
    {"Language", &AppSettings::Language},
    {"WindowLeft", &AppSettings::WindowLeft},
    {"WindowTop", &AppSettings::WindowTop},
    {"WindowWidth", &AppSettings::WindowWidth},
    {"WindowHeight", &AppSettings::WindowHeight},
    {"LastTab", &AppSettings::LastTab},
    {"BigWindowLeft", &AppSettings::BigWindowLeft},
    {"BigWindowTop", &AppSettings::BigWindowTop},
    {"BigWindowWidth", &AppSettings::BigWindowWidth},
    {"BigWindowHeight", &AppSettings::BigWindowHeight},
}};

// How much of a window must lie on a screen for the user to grab its title bar and move it.
constexpr int kGrabbableWidth = 100;
constexpr int kGrabbableHeight = 30;

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

} // namespace

AppSettings readAppSettings(const KeyReader& read, const display::NumberLocale& locale)
{
    AppSettings s;
    for (const Key& key : kKeys) {
        const auto text = read(QString::fromLatin1(key.name));
        std::visit(Overloaded{
                       [&](bool AppSettings::*f) { s.*f = settings::readBool(text, s.*f); },
                       [&](int AppSettings::*f) { s.*f = settings::readInteger(text, s.*f); },
                       [&](float AppSettings::*f) {
                           // A value beyond the float range ("1e39") or not a number is as
                           // unreadable as any other text that is no real.
                           if (text) {
                               if (const auto v = display::parseReal(*text, locale)) {
                                   const auto narrowed = static_cast<float>(*v);
                                   if (std::isfinite(*v) && std::isfinite(narrowed)) {
                                       s.*f = narrowed;
                                   }
                               }
                           }
                       },
                       [&](QString AppSettings::*f) { s.*f = settings::readString(text, s.*f); },
                       [&](std::size_t series) { s.ChartSeries[series] = settings::readBool(text, s.ChartSeries[series]); },
                   },
                   key.field);
    }
    return s;
}

std::vector<std::pair<QString, QString>> appSettingsEntries(const AppSettings& s, const display::NumberLocale& locale)
{
    std::vector<std::pair<QString, QString>> entries;
    for (const Key& key : kKeys) {
        QString text;
        bool skip = false;
        std::visit(Overloaded{
                       [&](bool AppSettings::*f) { text = settings::flagText(s.*f); },
                       [&](int AppSettings::*f) { text = settings::integerText(s.*f); },
                       [&](float AppSettings::*f) { text = display::formatGeneral(static_cast<double>(s.*f), locale); },
                       [&](QString AppSettings::*) { skip = true; }, // FileName is written by the recorder only
                       [&](std::size_t series) { text = settings::flagText(s.ChartSeries[series]); },
                   },
                   key.field);
        if (!skip) {
            entries.emplace_back(QString::fromLatin1(key.name), text);
        }
    }
    return entries;
}

bool isSystemProgramFolder(const QString& folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    const QString path = canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
    static const QStringList prefixes{QStringLiteral("/usr"),   QStringLiteral("/opt"),   QStringLiteral("/bin"),
                                      QStringLiteral("/sbin"),  QStringLiteral("/lib"),   QStringLiteral("/lib32"),
                                      QStringLiteral("/lib64"), QStringLiteral("/libx32")};
    return std::any_of(prefixes.begin(), prefixes.end(), [&path](const QString& prefix) {
        return path == prefix || path.startsWith(prefix + u'/');
    });
}

QString defaultRecordingFileName(const QString& documentsFolder)
{
    const QString folder = documentsFolder.isEmpty() ? QDir::homePath() : documentsFolder;
    return QDir(folder).absoluteFilePath(QStringLiteral("pomiary.csv"));
}

QRect keptOnScreen(const QRect& stored, const QList<QRect>& screens, const QRect& primary)
{
    // The title bar runs along the window's top edge: that strip must be reachable.
    const QRect titleStrip(stored.left(), stored.top(), stored.width(), std::min(stored.height(), kGrabbableHeight));
    for (const QRect& screen : screens) {
        const QRect visible = screen.intersected(titleStrip);
        if (visible.width() >= std::min(kGrabbableWidth, stored.width()) &&
            visible.height() >= std::min(kGrabbableHeight, stored.height())) {
            return stored;
        }
    }
    if (primary.isEmpty()) {
        return stored;
    }
    return QRect(primary.topLeft(), stored.size().boundedTo(primary.size()));
}

QString appSettingsPath(const QString& executableFolder, const QString& userConfigFolder)
{
    const QString besideExecutable = QDir(executableFolder).filePath(QStringLiteral("config.ini"));
    // The file beside the executable is used only when closing can write it: a read-only or
    // oversized file there would fail every close. An installed program never keeps it there,
    // even run by the superuser, who could write into the package's folder.
    if (!isSystemProgramFolder(executableFolder) && !settings::checkReplaceable(besideExecutable)) {
        return besideExecutable;
    }
    QDir().mkpath(userConfigFolder);
    return QDir(userConfigFolder).filePath(QStringLiteral("config.ini"));
}

std::optional<settings::ReadError> unreadableFileBesideExecutable(const QString& executableFolder,
                                                                  const QString& chosenPath)
{
    const QString besideExecutable = QDir(executableFolder).filePath(QStringLiteral("config.ini"));
    if (QFileInfo(besideExecutable) == QFileInfo(chosenPath)) {
        return std::nullopt;
    }
    return settings::readProfile(besideExecutable).failure;
}

} // namespace qmx::app
