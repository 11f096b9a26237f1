#include "FakeBackend.h"
#include "LinkTestSupport.h"
#include "ModalCatcher.h"
#include "QtPrinters.h"

#include "ui/MainWindow.h"
#include "ui/pages/ChartPage.h"
#include "ui/pages/RecordingPage.h"
#include "ui/pages/SettingsPage.h"
#include "settings/profile/ProfileFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <unistd.h>

using namespace qmx;

namespace {

QString readAll(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QString::fromUtf8(f.readAll());
}

void writeAll(const QString& path, const QByteArray& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

class PreferencesFixture : public ::testing::Test {
protected:
    QString path() const { return dir.filePath(QStringLiteral("config.ini")); }
    QTemporaryDir dir;
    test::FakeBackend backend;
};

} // namespace

TEST_F(PreferencesFixture, FirstStartTakesTheDefaultsAndClosingWritesEveryKeyButFileName)
{
    {
        ui::MainWindow window(backend, path());
        EXPECT_FALSE(window.recordingPage->dataAcquisition());
        EXPECT_TRUE(window.recordingPage->saveDateCheck->isChecked());
        EXPECT_EQ(window.recordingPage->dataAcquisitionSpeed(), 0);
        // No name stored: the documents folder, by its full path.
        EXPECT_EQ(window.recordingPage->fileNameEdit->text(),
                  QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                      .absoluteFilePath(QStringLiteral("pomiary.csv")));
        EXPECT_TRUE(QDir::isAbsolutePath(window.recordingPage->fileNameEdit->text()));
        EXPECT_TRUE(window.chartPage->seriesActive(0));
        EXPECT_FALSE(window.chartPage->seriesActive(4));
        EXPECT_EQ(window.chartPage->timeWindowIndex(), 1);
        EXPECT_EQ(window.chartPage->samplingIndex(), 2);
        EXPECT_EQ(window.chartPage->autoStartEdit->text(), QStringLiteral("50.00"));
        EXPECT_EQ(window.settingsPage->decimalsList->currentIndex(), 1);
        EXPECT_EQ(window.activeLanguage(), lang::Language::Polish);
        window.show();
        EXPECT_TRUE(window.close());
    }
    const QString text = readAll(path());
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Options]\r\nCheckbox_DataAcquistion=0\r\nDataAcquistionSpeed=0\r\nSaveDate=1\r\n")))
        << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("FileName")));
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), 31); // the section and 30 keys
    EXPECT_TRUE(text.contains(QStringLiteral("TrigStartVal=50\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Language=0\r\n")));
}

TEST_F(PreferencesFixture, HandEditedValuesAreReadByTheirRulesAndCommentsSurvive)
{
    writeAll(path(), "; written by hand\r\n[options]\r\nDataAcquistionSpeed=0x3\r\nSaveDate=yes\r\n"
                     "savedatasummary=2\r\nTrigStartVal=12.5\r\nChartSeries5=1\r\nDecimalPoint=$3\r\n");
    {
        ui::MainWindow window(backend, path());
        EXPECT_EQ(window.recordingPage->dataAcquisitionSpeed(), 3);
        EXPECT_TRUE(window.recordingPage->saveDateCheck->isChecked()); // "yes" is not a number: default
        EXPECT_TRUE(window.recordingPage->columns().sum);
        EXPECT_EQ(window.chartPage->trigStartVal(), 12.5F);
        EXPECT_TRUE(window.chartPage->seriesActive(4));
        EXPECT_EQ(window.settingsPage->decimalsList->currentIndex(), 3);
        window.show();
        EXPECT_TRUE(window.close());
    }
    const QString text = readAll(path());
    EXPECT_TRUE(text.startsWith(QStringLiteral("; written by hand\r\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("DataAcquistionSpeed=3\r\n")));
    // The summary flag is written back as 1, on its own line.
    EXPECT_TRUE(text.contains(QStringLiteral("SaveDataSummary=1\r\n"), Qt::CaseInsensitive)) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("SaveDataSummary"), Qt::CaseInsensitive), 1);
    EXPECT_EQ(text.count(QStringLiteral("DataAcquistionSpeed")), 1); // replaced in place, not added
}

TEST_F(PreferencesFixture, EnglishIsAppliedAtStartUp)
{
    writeAll(path(), "[Options]\r\nLanguage=1\r\n");
    ui::MainWindow window(backend, path());
    EXPECT_EQ(window.activeLanguage(), lang::Language::English);
    EXPECT_EQ(window.connectionCaptionLabel->text(), QStringLiteral("Connection status"));
}

TEST_F(PreferencesFixture, ADamagedLanguageIsReportedOnceAndStoredAsPolish)
{
    writeAll(path(), "[Options]\r\nLanguage=5\r\n");
    test::ModalCatcher boxes;
    {
        ui::MainWindow window(backend, path());
        ASSERT_EQ(boxes.texts.size(), 1);
        EXPECT_EQ(boxes.texts[0], QStringLiteral("Language=5 in %1 is not a known language; Polish is used.")
                                      .arg(QDir::toNativeSeparators(path())));
        EXPECT_EQ(window.activeLanguage(), lang::Language::Polish);
        // The steps after the preferences still ran.
        EXPECT_EQ(window.settingsPage->modbusAddressList->count(), 247);
        window.show();
        EXPECT_TRUE(window.close());
    }
    EXPECT_TRUE(readAll(path()).contains(QStringLiteral("Language=0\r\n")));
}

TEST_F(PreferencesFixture, AFailedSaveAtClosingIsShownOnceAndTheWindowCloses)
{
    QStringList errors;
    ui::MainWindow window(backend, path());
    window.setErrorBox([&](const QString& text) { errors << text; });
    // The file becomes impossible to replace while the program runs: a folder takes its place.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("config.ini")));
    window.show();
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Unable to write to "))) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains(QStringLiteral("config.ini")));
    EXPECT_TRUE(errors[0].endsWith(QStringLiteral(": Is a directory"))) << errors[0].toStdString();

    // Closing again (a second close request) does not repeat the box.
    window.show();
    EXPECT_TRUE(window.close());
    EXPECT_EQ(errors.size(), 1);
}

TEST_F(PreferencesFixture, AReadOnlyPreferencesFileDoesNotKeepTheWindowOpen)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not apply to root";
    }
    writeAll(path(), "[Options]\r\nLanguage=0\r\n");
    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::ReadOwner));
    QStringList errors;
    ui::MainWindow window(backend, path());
    window.setErrorBox([&](const QString& text) { errors << text; });
    window.show();
    EXPECT_TRUE(window.close());
    QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].endsWith(QStringLiteral(": Permission denied"))) << errors[0].toStdString();
    EXPECT_EQ(readAll(path()), QStringLiteral("[Options]\r\nLanguage=0\r\n"));
}

TEST_F(PreferencesFixture, APreferencesFileThatCannotBeReadIsReportedOnceAndLeftAlone)
{
    struct Case {
        const char* name;
        std::function<void(const QString&)> make;
        const char* reason;
    };
    const Case cases[] = {
        {"over the size limit",
         [](const QString& file) {
             QFile f(file);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write("[Options]\r\nLanguage=1\r\n");
             ASSERT_TRUE(f.resize(settings::kMaxProfileFileSize + 1)); // sparse: cheap to make
         },
         ": File too large"},
        {"a folder", [](const QString& file) { ASSERT_TRUE(QDir().mkdir(file)); }, ": Is a directory"},
        {"UTF-16", [](const QString& file) { writeAll(file, QByteArray("\xFF\xFE[\0O\0]\0", 8)); }, "UTF-16"},
    };
    for (const Case& c : cases) {
        QTemporaryDir caseDir;
        const QString file = caseDir.filePath(QStringLiteral("config.ini"));
        c.make(file);
        const QFileInfo before(file);
        QStringList errors;
        {
            ui::MainWindow window(backend, file);
            window.setErrorBox([&](const QString& text) { errors << text; });
            QCoreApplication::processEvents(); // the report waits until the window runs
            ASSERT_EQ(errors.size(), 1) << c.name;
            EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Unable to read "))) << errors[0].toStdString();
            EXPECT_TRUE(errors[0].contains(QStringLiteral("config.ini"))) << c.name;
            EXPECT_TRUE(errors[0].contains(QString::fromLatin1(c.reason))) << errors[0].toStdString();
            EXPECT_EQ(window.activeLanguage(), lang::Language::Polish) << c.name; // defaults
            window.show();
            EXPECT_TRUE(window.close()) << c.name;
        }
        EXPECT_EQ(errors.size(), 1) << c.name; // closing says nothing more
        const QFileInfo after(file);
        EXPECT_EQ(after.size(), before.size()) << c.name;
        EXPECT_EQ(after.isDir(), before.isDir()) << c.name;
        EXPECT_EQ(after.lastModified(), before.lastModified()) << c.name;
    }
}

TEST_F(PreferencesFixture, APreferencesFileWithCarriageReturnLineEndsIsReadLineByLine)
{
    writeAll(path(), "[Options]\rLanguage=1\rSaveDataSummary=1\r");
    {
        ui::MainWindow window(backend, path());
        EXPECT_EQ(window.activeLanguage(), lang::Language::English);
        EXPECT_TRUE(window.recordingPage->columns().sum);
        window.show();
        EXPECT_TRUE(window.close());
    }
    const QString text = readAll(path());
    EXPECT_EQ(text.count(QStringLiteral("Language=")), 1) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("SaveDataSummary=")), 1) << text.toStdString();
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Options]\r\nLanguage=1\r\nSaveDataSummary=1\r\n"))) << text.toStdString();
}

TEST_F(PreferencesFixture, AChosenRecordingFileIsStoredAtOnce)
{
    ui::MainWindow window(backend, path());
    const QString chosen = dir.filePath(QStringLiteral("pomiary ż.csv"));
    emit window.recordingPage->fileNameChosen(chosen);
    EXPECT_TRUE(readAll(path()).contains(QStringLiteral("FileName=") + chosen));
    window.show();
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(readAll(path()).contains(QStringLiteral("FileName=") + chosen)); // closing keeps it
}

TEST_F(PreferencesFixture, AStoredRecordingSwitchStartsARun)
{
    const QString csv = dir.filePath(QStringLiteral("run.csv"));
    writeAll(path(), "[Options]\r\nCheckbox_DataAcquistion=1\r\nFileName=" + csv.toUtf8() + "\r\n");
    ui::MainWindow window(backend, path());
    EXPECT_TRUE(window.recordingPage->dataAcquisition());
    EXPECT_EQ(window.recordingPage->fileName(), csv);
}

TEST_F(PreferencesFixture, AStoredRelativeRecordingFileIsShownByItsFullPath)
{
    writeAll(path(), "[Options]\r\nFileName=dane/pomiary.csv\r\n");
    ui::MainWindow window(backend, path());
    EXPECT_EQ(window.recordingPage->fileNameEdit->text(),
              QDir::current().absoluteFilePath(QStringLiteral("dane/pomiary.csv")));
}
