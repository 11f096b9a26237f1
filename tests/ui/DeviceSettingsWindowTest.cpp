#include "FakeBackend.h"
#include "QtPrinters.h"

#include "ui/MainWindow.h"
#include "ui/pages/CommunicationPage.h"
#include "ui/pages/OutputsPage.h"
#include "ui/pages/SensorSettingsPage.h"
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

class SettingsFileFixture : public ::testing::Test {
protected:
    SettingsFileFixture() : window(backend)
    {
        window.setErrorBox([this](const QString& text) { errors << text; });
        window.setConfigFileDialogs([this](const QString&) { return chosen; }, [this](const QString&) { return chosen; });
    }
    ui::SensorSettingsPage& sensors() { return *window.TabSheet5->TabSheet6; }
    ui::CommunicationPage& comm() { return *window.TabSheet5->TabSheet7; }
    ui::OutputsPage& outputs() { return *window.TabSheet5->TabSheet4; }

    QTemporaryDir dir;
    test::FakeBackend backend;
    ui::TForm1 window;
    QStringList errors;
    QString chosen;
};

} // namespace

TEST_F(SettingsFileFixture, SaveThenLoadRestoresAllValuesIncludingNoSelectionAndOddTexts)
{
    sensors().Cb_SelTens->setCurrentIndex(2);
    sensors().Edit_SumOffset->setText(QStringLiteral("2,5"));
    sensors().Cb_AdRate->setCurrentIndex(-1);
    sensors().Edit_StabilityMaxDifference->setText(QStringLiteral("abc"));
    sensors().sensors[2].range->setText(QStringLiteral("1e3"));
    sensors().sensors[3].sign->setChecked(true);
    comm().Cb_ModbusAddress->setCurrentIndex(246);
    comm().MaskEdit_IP_Addr->setText(QStringLiteral("10.1"));
    outputs().Cb_Out2OverloadIndicator->setChecked(true);
    outputs().out1.source->setCurrentIndex(5);
    outputs().out1.number2->setText(QStringLiteral("-7,25"));

    chosen = dir.filePath(QStringLiteral("zapis konfiguracji ą.conf"));
    window.Wczytajustawieniazpliku2Click();
    ASSERT_TRUE(errors.isEmpty());

    // Change everything back, then load.
    sensors().Cb_SelTens->setCurrentIndex(0);
    sensors().Edit_SumOffset->setText(QStringLiteral("0"));
    sensors().Cb_AdRate->setCurrentIndex(3);
    sensors().sensors[2].range->setText(QStringLiteral("5"));
    sensors().sensors[3].sign->setChecked(false);
    comm().Cb_ModbusAddress->setCurrentIndex(0);
    outputs().Cb_Out2OverloadIndicator->setChecked(false);
    outputs().out1.source->setCurrentIndex(0);
    window.Wczytajustawieniazpliku1Click();

    EXPECT_EQ(sensors().Cb_SelTens->currentIndex(), 2);
    EXPECT_EQ(sensors().Edit_SumOffset->text(), QStringLiteral("2,5"));
    EXPECT_EQ(sensors().Cb_AdRate->currentIndex(), -1);
    EXPECT_EQ(sensors().Cb_AdRate->currentText(), QString());
    EXPECT_EQ(sensors().Edit_StabilityMaxDifference->text(), QStringLiteral("abc"));
    EXPECT_EQ(sensors().sensors[2].range->text(), QStringLiteral("1e3"));
    EXPECT_TRUE(sensors().sensors[3].sign->isChecked());
    EXPECT_EQ(comm().Cb_ModbusAddress->currentText(), QStringLiteral("247"));
    EXPECT_EQ(comm().MaskEdit_IP_Addr->text(), QStringLiteral("10.1"));
    EXPECT_TRUE(outputs().Cb_Out2OverloadIndicator->isChecked());
    EXPECT_FALSE(outputs().out2.source->isEnabled()); // the indicator reaction ran
    EXPECT_EQ(outputs().out1.source->currentIndex(), 5);
    EXPECT_EQ(outputs().out1.number2->text(), QStringLiteral("-7,25"));
}

TEST_F(SettingsFileFixture, AMissingFileLoadsTheDefaultsWithoutDerivedUpdates)
{
    const QString delayBefore = sensors().Label_ResponseDelay->text();
    chosen = dir.filePath(QStringLiteral("nie ma.conf"));
    window.Wczytajustawieniazpliku1Click();
    EXPECT_EQ(sensors().Cb_AdRate->currentIndex(), 0);
    EXPECT_EQ(sensors().Cb_Decp->currentIndex(), 1);
    EXPECT_EQ(comm().MaskEdit_IP_Addr->text(), QStringLiteral("192.168.0.102"));
    for (const auto& s : sensors().sensors) {
        EXPECT_EQ(s.sens->text(), QStringLiteral("2.000"));
    }
    EXPECT_EQ(outputs().out1.number2->text(), QStringLiteral("200"));
    EXPECT_EQ(comm().Cb_ModbusBaud->currentIndex(), 2);
    EXPECT_EQ(sensors().Label_ResponseDelay->text(), delayBefore); // no change reaction ran
    EXPECT_FALSE(QFile::exists(chosen));
}

TEST_F(SettingsFileFixture, OutOfListIndicesLeaveNoSelection)
{
    chosen = dir.filePath(QStringLiteral("x.conf"));
    QFile f(chosen);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[ModbusRtu]\r\nBaudrate=7\r\n[tensallconfig]\r\nselTENS=3\r\nRate=$3\r\n");
    f.close();
    window.Wczytajustawieniazpliku1Click();
    EXPECT_EQ(comm().Cb_ModbusBaud->currentIndex(), -1);
    EXPECT_EQ(sensors().Cb_SelTens->currentIndex(), 3);
    EXPECT_EQ(sensors().Cb_AdRate->currentText(), QStringLiteral("33 / sek"));
}

TEST_F(SettingsFileFixture, SavingKeepsOtherSectionsAndARefusedSaveChangesNothing)
{
    chosen = dir.filePath(QStringLiteral("shared.conf"));
    QFile f(chosen);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Moje]\r\nklucz=wartosc\r\n[ModbusRtu]\r\nParity=2\r\n");
    f.close();
    window.Wczytajustawieniazpliku2Click();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    f.close();
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Moje]\r\nklucz=wartosc\r\n[ModbusRtu]\r\nParity=0\r\n"))) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("[ModbusRtu]")), 1);

    chosen = dir.filePath(QStringLiteral("folder.conf"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.conf")));
    window.Wczytajustawieniazpliku2Click();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Unable to write to ")));
}

TEST_F(SettingsFileFixture, CancellingADialogChangesNothing)
{
    sensors().Edit_SumOffset->setText(QStringLiteral("7"));
    chosen.clear();
    window.Wczytajustawieniazpliku1Click();
    window.Wczytajustawieniazpliku2Click();
    EXPECT_EQ(sensors().Edit_SumOffset->text(), QStringLiteral("7"));
    EXPECT_TRUE(errors.isEmpty());
}
