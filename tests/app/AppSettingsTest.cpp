#include "settings/preferences/AppSettings.h"
#include "settings/profile/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <map>

#include <unistd.h>

using namespace qmx;
using qmx::settings::AppSettings;

namespace {

const display::NumberLocale kPoint{u'.', u','};
const display::NumberLocale kComma{u',', QChar(0x00A0)};

settings::KeyReader readerOf(std::map<QString, QString> values)
{
    return [values = std::move(values)](const QString& key) -> std::optional<QString> {
        // Key names are matched without regard to case by the profile layer; the table's own
        // spelling is what is asked for here.
        const auto it = values.find(key);
        return it == values.end() ? std::nullopt : std::optional<QString>(it->second);
    };
}

} // namespace

TEST(AppSettings, FirstStartTakesEveryDefault)
{
    const AppSettings s = settings::readAppSettings(readerOf({}), kPoint);
    EXPECT_EQ(s, AppSettings{});
    EXPECT_FALSE(s.Checkbox_DataAcquistion);
    EXPECT_TRUE(s.SaveDate && s.SaveTime && s.SaveDataCnt && s.SaveDataSens1);
    EXPECT_FALSE(s.SaveDataSummary || s.SaveDataSens2 || s.SaveDataSens3 || s.SaveDataSens4);
    EXPECT_EQ(s.ChartSeries, (std::array<bool, 5>{true, false, false, false, false}));
    EXPECT_EQ(s.TimeSize, 1);
    EXPECT_EQ(s.Sampling, 2);
    EXPECT_EQ(s.TrigStartVal, 50.0F);
    EXPECT_EQ(s.TrigStopVal, 10.0F);
    EXPECT_EQ(s.DecimalPoint, 1);
    EXPECT_EQ(s.Language, 0);
    EXPECT_EQ(s.FileName, QStringLiteral("pomiary.csv"));
}

TEST(AppSettings, ValuesAreReadByTheirType)
{
    const AppSettings s = settings::readAppSettings(readerOf({
                                                   {"DataAcquistionSpeed", "0x3"},
                                                   {"SaveDate", "yes"},
                                                   {"SaveDataSummary", "2"},
                                                   {"ChartSeries3", "1"},
                                                   {"Sampling", "$A"},
                                                   {"DecimalPoint", "nope"},
                                                   {"FileName", "C:/dane/x.csv"},
                                               }),
                                               kPoint);
    EXPECT_EQ(s.DataAcquistionSpeed, 3);
    EXPECT_TRUE(s.SaveDate); // not a number: its default
    EXPECT_TRUE(s.SaveDataSummary);
    EXPECT_TRUE(s.ChartSeries[2]);
    EXPECT_EQ(s.Sampling, 10);
    EXPECT_EQ(s.DecimalPoint, 1);
    EXPECT_EQ(s.FileName, QStringLiteral("C:/dane/x.csv"));
}

TEST(AppSettings, RealsUseTheLocaleDecimalSeparator)
{
    const auto reader = readerOf({{"TrigStartVal", "12,5"}, {"TrigStopVal", "3.25"}});
    const AppSettings comma = settings::readAppSettings(reader, kComma);
    EXPECT_EQ(comma.TrigStartVal, 12.5F);
    EXPECT_EQ(comma.TrigStopVal, 10.0F); // a point does not read where the comma is the separator
    const AppSettings point = settings::readAppSettings(reader, kPoint);
    EXPECT_EQ(point.TrigStartVal, 50.0F);
    EXPECT_EQ(point.TrigStopVal, 3.25F);
}

TEST(AppSettings, RealsBeyondTheFloatRangeOrNotANumberTakeTheirDefaults)
{
    for (const char* text : {"1e39", "-1e39", "1e400", "inf", "-inf", "nan", "NaN", "infinity"}) {
        const AppSettings s = settings::readAppSettings(readerOf({{"TrigStartVal", text}, {"TrigStopVal", text}}), kPoint);
        EXPECT_EQ(s.TrigStartVal, 50.0F) << text;
        EXPECT_EQ(s.TrigStopVal, 10.0F) << text;
    }
    // The largest values a float holds still read.
    const AppSettings big = settings::readAppSettings(readerOf({{"TrigStopVal", "3e38"}}), kPoint);
    EXPECT_EQ(big.TrigStopVal, 3e38F);
}

TEST(AppSettings, WrittenEntriesFollowTheTableWithoutFileName)
{
    AppSettings s;
    s.SaveDataSummary = true;
    s.TrigStartVal = 12.3F;
    s.Language = -1;
    const auto entries = settings::appSettingsEntries(s, kPoint);
    ASSERT_EQ(entries.size(), 30U);
    EXPECT_EQ(entries.front().first, QStringLiteral("Checkbox_DataAcquistion"));
    EXPECT_EQ(entries[20].first, QStringLiteral("Language"));
    // The window keys come after every older key, so those keep their places in the file.
    EXPECT_EQ(entries[21].first, QStringLiteral("WindowLeft"));
    EXPECT_EQ(entries.back().first, QStringLiteral("BigWindowHeight"));
    std::map<QString, QString> byKey(entries.begin(), entries.end());
    EXPECT_EQ(byKey.count(QStringLiteral("FileName")), 0U);
    EXPECT_EQ(byKey[QStringLiteral("SaveDataSummary")], QStringLiteral("1"));
    EXPECT_EQ(byKey[QStringLiteral("SaveDataSens2")], QStringLiteral("0"));
    EXPECT_EQ(byKey[QStringLiteral("TrigStartVal")], QStringLiteral("12.3000001907349"));
    EXPECT_EQ(byKey[QStringLiteral("TrigStopVal")], QStringLiteral("10"));
    EXPECT_EQ(byKey[QStringLiteral("Language")], QStringLiteral("-1"));

    // What is written reads back as the same settings, window places off the origin included.
    s.WindowLeft = -1200;
    s.WindowTop = 40;
    s.WindowWidth = 900;
    s.WindowHeight = 700;
    s.LastTab = 3;
    s.BigWindowLeft = 15;
    s.BigWindowTop = -20;
    s.BigWindowWidth = 640;
    s.BigWindowHeight = 200;
    const auto withWindows = settings::appSettingsEntries(s, kPoint);
    std::map<QString, QString> stored(withWindows.begin(), withWindows.end());
    EXPECT_EQ(stored[QStringLiteral("WindowLeft")], QStringLiteral("-1200"));
    EXPECT_EQ(stored[QStringLiteral("LastTab")], QStringLiteral("3"));
    stored[QStringLiteral("FileName")] = s.FileName;
    EXPECT_EQ(settings::readAppSettings(readerOf(stored), kPoint), s);
}

TEST(AppSettings, FileGoesBesideTheExecutableOnlyWhenThatFolderIsWritable)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString exeDir = root.filePath(QStringLiteral("bin"));
    const QString userDir = root.filePath(QStringLiteral("config/QMX80NET"));
    QDir().mkpath(exeDir);
    EXPECT_EQ(settings::appSettingsPath(exeDir, userDir), QDir(exeDir).filePath(QStringLiteral("config.ini")));
    EXPECT_TRUE(QDir(exeDir).entryList(QDir::Files | QDir::Hidden).isEmpty()); // the probe is gone

    // A "folder" that is really a file cannot hold the settings, even for root.
    const QString notAFolder = root.filePath(QStringLiteral("file"));
    QFile f(notAFolder);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(settings::appSettingsPath(notAFolder, userDir), QDir(userDir).filePath(QStringLiteral("config.ini")));
    EXPECT_TRUE(QDir(userDir).exists());
}

TEST(AppSettings, AFileBesideTheExecutableThatCannotBeWrittenSendsThePreferencesToTheUser)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString exeDir = root.filePath(QStringLiteral("bin"));
    const QString userDir = root.filePath(QStringLiteral("config/QMX80NET"));
    QDir().mkpath(exeDir);
    const QString beside = QDir(exeDir).filePath(QStringLiteral("config.ini"));
    const QString user = QDir(userDir).filePath(QStringLiteral("config.ini"));

    // A usable file stays where it is.
    {
        QFile f(beside);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Options]\r\nLanguage=0\r\n");
    }
    EXPECT_EQ(settings::appSettingsPath(exeDir, userDir), beside);

    // Over the size limit (sparse, so cheap to make): a save would refuse it at every close.
    {
        QFile f(beside);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.resize(settings::kMaxProfileFileSize + 1));
    }
    EXPECT_EQ(settings::appSettingsPath(exeDir, userDir), user);

    // A folder in the file's place.
    ASSERT_TRUE(QFile::remove(beside));
    ASSERT_TRUE(QDir(exeDir).mkdir(QStringLiteral("config.ini")));
    EXPECT_EQ(settings::appSettingsPath(exeDir, userDir), user);
    ASSERT_TRUE(QDir(exeDir).rmdir(QStringLiteral("config.ini")));

    // A write-protected file in a writable folder; permission bits do not stop the superuser.
    if (geteuid() != 0) {
        QFile f(beside);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        ASSERT_TRUE(QFile::setPermissions(beside, QFileDevice::ReadOwner));
        EXPECT_EQ(settings::appSettingsPath(exeDir, userDir), user);
        QFile::setPermissions(beside, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
}

TEST(AppSettings, AnUnreadableFileBesideTheExecutableIsToldWhenItIsPassedOver)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString exeDir = root.filePath(QStringLiteral("bin"));
    const QString userDir = root.filePath(QStringLiteral("config/QMX80NET"));
    QDir().mkpath(exeDir);
    const QString beside = QDir(exeDir).filePath(QStringLiteral("config.ini"));

    // None there: nothing to tell.
    EXPECT_FALSE(settings::unreadableFileBesideExecutable(exeDir, settings::appSettingsPath(exeDir, userDir)).has_value());

    {
        QFile f(beside);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(settings::kMaxProfileFileSize + 1));
    }
    const QString chosen = settings::appSettingsPath(exeDir, userDir);
    ASSERT_NE(chosen, beside);
    const auto told = settings::unreadableFileBesideExecutable(exeDir, chosen);
    ASSERT_TRUE(told.has_value());
    EXPECT_EQ(told->reason, settings::ReadError::Reason::TooLarge);
    EXPECT_TRUE(told->message().contains(QStringLiteral("config.ini")));

    // The chosen file itself is reported by whoever reads it, not here.
    EXPECT_FALSE(settings::unreadableFileBesideExecutable(exeDir, beside).has_value());
}

TEST(AppSettings, FoldersUnderASystemPrefixAreInstalledCopies)
{
    const std::pair<const char*, bool> cases[] = {
        {"/usr/lib/qmx80net-pc", true}, {"/usr/local/lib/qmx80net-pc", true}, {"/opt/qmx80net-pc", true},
        {"/usr", true},                 {"/bin", true},                        {"/lib64", true},
        {"/usr/../home/user/qmx", false}, {"/home/user/qmx80net-pc", false},   {"/usrlocal/qmx", false},
        {"/optional/qmx", false},       {"/media/stick/QMX80NET-PC", false},
    };
    for (const auto& [folder, system] : cases) {
        EXPECT_EQ(settings::isSystemProgramFolder(QString::fromLatin1(folder)), system) << folder;
    }
}

TEST(AppSettings, AnInstalledProgramKeepsItsPreferencesWithTheUserEvenForTheSuperuser)
{
    // /usr/lib exists and the superuser may write into it; an installed program still never puts
    // config.ini there. A folder reached through a symbolic link counts as the folder it names.
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString userDir = root.filePath(QStringLiteral("config/QMX80NET"));
    const QString user = QDir(userDir).filePath(QStringLiteral("config.ini"));
    const QString linked = root.filePath(QStringLiteral("program"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/usr/lib"), linked));
    for (const QString& folder : {QStringLiteral("/usr/lib"), linked}) {
        EXPECT_EQ(settings::appSettingsPath(folder, userDir), user) << folder.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/usr/lib/config.ini")));
}

TEST(AppSettings, WithoutAStoredNameTheRecordingGoesToTheDocumentsFolderByAnAbsolutePath)
{
    EXPECT_EQ(settings::defaultRecordingFileName(QStringLiteral("/home/ala/Dokumenty")),
              QStringLiteral("/home/ala/Dokumenty/pomiary.csv"));
    // No documents folder named by the system: the home folder, still absolute.
    const QString fallback = settings::defaultRecordingFileName(QString());
    EXPECT_TRUE(QDir::isAbsolutePath(fallback)) << fallback.toStdString();
    EXPECT_EQ(fallback, QDir(QDir::homePath()).filePath(QStringLiteral("pomiary.csv")));
}

struct ScreenCase {
    const char* what;
    QRect stored;
    QRect expected;
};

class KeptOnScreen : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(KeptOnScreen, AWindowOffEveryScreenIsMovedOntoThePrimaryOne)
{
    // A 1920 x 1040 primary screen and a 1280 x 1024 screen to its left.
    const QRect primary(0, 0, 1920, 1040);
    const QRect left(-1280, 0, 1280, 1024);
    EXPECT_EQ(settings::keptOnScreen(GetParam().stored, {primary, left}, primary), GetParam().expected)
        << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    AppSettings, KeptOnScreen,
    ::testing::Values(
        ScreenCase{"inside the primary screen", QRect(100, 80, 700, 680), QRect(100, 80, 700, 680)},
        ScreenCase{"on the second screen", QRect(-1200, 40, 700, 680), QRect(-1200, 40, 700, 680)},
        ScreenCase{"partly off, title bar still grabbable", QRect(1800, 900, 700, 680), QRect(1800, 900, 700, 680)},
        ScreenCase{"beyond the right edge", QRect(2500, 100, 700, 680), QRect(0, 0, 700, 680)},
        ScreenCase{"where a third screen was", QRect(-3000, -2000, 700, 680), QRect(0, 0, 700, 680)},
        ScreenCase{"title bar above every screen", QRect(100, -600, 700, 680), QRect(0, 0, 700, 680)},
        ScreenCase{"only a sliver showing", QRect(1890, 100, 700, 680), QRect(0, 0, 700, 680)},
        ScreenCase{"off screen and larger than the primary", QRect(5000, 0, 2560, 1600),
                   QRect(0, 0, 1920, 1040)}));
