#include "FakeBackend.h"
#include "LinkTestSupport.h"
#include "ModalCatcher.h"
#include "QtPrinters.h"

#include "ui/MainWindow.h"
#include "ui/pages/ChartPage.h"
#include "ui/pages/RecordingPage.h"
#include "ui/pages/SettingsPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
        ui::TForm1 window(backend, path());
        EXPECT_FALSE(window.TabSheet3->dataAcquisition());
        EXPECT_TRUE(window.TabSheet3->Checkbox_SaveDate->isChecked());
        EXPECT_EQ(window.TabSheet3->dataAcquisitionSpeed(), 0);
        EXPECT_EQ(window.TabSheet3->Edit_FileName->text(), QStringLiteral("pomiary.csv"));
        EXPECT_TRUE(window.TabSheet2->seriesActive(0));
        EXPECT_FALSE(window.TabSheet2->seriesActive(4));
        EXPECT_EQ(window.TabSheet2->timeWindowIndex(), 1);
        EXPECT_EQ(window.TabSheet2->samplingIndex(), 2);
        EXPECT_EQ(window.TabSheet2->Edit_AutoStartVal->text(), QStringLiteral("50.00"));
        EXPECT_EQ(window.TabSheet5->Cb_Decp->currentIndex(), 1);
        EXPECT_EQ(window.ActiveLanguage(), lang::Language::Polish);
        window.show();
        EXPECT_TRUE(window.close());
    }
    const QString text = readAll(path());
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Options]\r\nCheckbox_DataAcquistion=0\r\nDataAcquistionSpeed=0\r\nSaveDate=1\r\n")))
        << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("FileName")));
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), 22); // the section and 21 keys
    EXPECT_TRUE(text.contains(QStringLiteral("TrigStartVal=50\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Language=0\r\n")));
}

TEST_F(PreferencesFixture, HandEditedValuesAreReadByTheirRulesAndCommentsSurvive)
{
    writeAll(path(), "; written by hand\r\n[options]\r\nDataAcquistionSpeed=0x3\r\nSaveDate=yes\r\n"
                     "savedatasummary=2\r\nTrigStartVal=12.5\r\nChartSeries5=1\r\nDecimalPoint=$3\r\n");
    {
        ui::TForm1 window(backend, path());
        EXPECT_EQ(window.TabSheet3->dataAcquisitionSpeed(), 3);
        EXPECT_TRUE(window.TabSheet3->Checkbox_SaveDate->isChecked()); // "yes" is not a number: default
        EXPECT_TRUE(window.TabSheet3->columns().sum);
        EXPECT_EQ(window.TabSheet2->trigStartVal(), 12.5F);
        EXPECT_TRUE(window.TabSheet2->seriesActive(4));
        EXPECT_EQ(window.TabSheet5->Cb_Decp->currentIndex(), 3);
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
    ui::TForm1 window(backend, path());
    EXPECT_EQ(window.ActiveLanguage(), lang::Language::English);
    EXPECT_EQ(window.Label19->text(), QStringLiteral("Connection status"));
}

TEST_F(PreferencesFixture, ADamagedLanguageIsReportedOnceAndStoredAsPolish)
{
    writeAll(path(), "[Options]\r\nLanguage=5\r\n");
    test::ModalCatcher boxes;
    {
        ui::TForm1 window(backend, path());
        ASSERT_EQ(boxes.texts.size(), 1);
        EXPECT_TRUE(boxes.texts[0].startsWith(QStringLiteral("TForm1: 0 - is not a valid property value!")));
        EXPECT_EQ(window.ActiveLanguage(), lang::Language::Polish);
        // The steps after the preferences still ran.
        EXPECT_EQ(window.TabSheet5->Cb_ModbusAddress->count(), 247);
        window.show();
        EXPECT_TRUE(window.close());
    }
    EXPECT_TRUE(readAll(path()).contains(QStringLiteral("Language=0\r\n")));
}

TEST_F(PreferencesFixture, ARefusedSaveShowsTheErrorAndKeepsTheWindowOpen)
{
    // A folder where the file should be: no write can replace it, whoever runs the test.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("config.ini")));
    QStringList errors;
    ui::TForm1 window(backend, path());
    window.setErrorBox([&](const QString& text) { errors << text; });
    window.show();
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Unable to write to "))) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains(QStringLiteral("config.ini")));
}

TEST_F(PreferencesFixture, AChosenRecordingFileIsStoredAtOnce)
{
    ui::TForm1 window(backend, path());
    const QString chosen = dir.filePath(QStringLiteral("pomiary ż.csv"));
    emit window.TabSheet3->fileNameChosen(chosen);
    EXPECT_TRUE(readAll(path()).contains(QStringLiteral("FileName=") + chosen));
    window.show();
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(readAll(path()).contains(QStringLiteral("FileName=") + chosen)); // closing keeps it
}

TEST_F(PreferencesFixture, AStoredRecordingSwitchStartsARun)
{
    const QString csv = dir.filePath(QStringLiteral("run.csv"));
    writeAll(path(), "[Options]\r\nCheckbox_DataAcquistion=1\r\nFileName=" + csv.toUtf8() + "\r\n");
    ui::TForm1 window(backend, path());
    EXPECT_TRUE(window.TabSheet3->dataAcquisition());
    EXPECT_EQ(window.TabSheet3->fileName(), csv);
}
