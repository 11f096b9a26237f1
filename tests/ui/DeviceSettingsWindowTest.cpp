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

#include <optional>

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

TEST_F(SettingsFileFixture, MissingKeysLoadTheDefaultsWithoutDerivedUpdatesAndTheStatusLineNamesThem)
{
    const QString delayBefore = sensors().Label_ResponseDelay->text();
    chosen = dir.filePath(QStringLiteral("czesciowy.conf"));
    QFile f(chosen);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[TensAllConfig]\r\nSelTens=2\r\n");
    f.close();
    window.Wczytajustawieniazpliku1Click();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(sensors().Cb_SelTens->currentIndex(), 2);
    EXPECT_EQ(sensors().Cb_AdRate->currentIndex(), 0);
    EXPECT_EQ(sensors().Cb_Decp->currentIndex(), 1);
    EXPECT_EQ(comm().MaskEdit_IP_Addr->text(), QStringLiteral("192.168.0.102"));
    for (const auto& s : sensors().sensors) {
        EXPECT_EQ(s.sens->text(), QStringLiteral("2.000"));
    }
    EXPECT_EQ(outputs().out1.number2->text(), QStringLiteral("200"));
    EXPECT_EQ(comm().Cb_ModbusBaud->currentIndex(), 2);
    EXPECT_EQ(sensors().Label_ResponseDelay->text(), delayBefore); // no change reaction ran
    EXPECT_EQ(window.Label_Status->text(),
              QStringLiteral("Plik czesciowy.conf: brak 41 kluczy: TensAllConfig/SumOffset, TensAllConfig/Rate, "
                             "TensAllConfig/Filter, … (przyjęto wartości domyślne)"));
}

TEST_F(SettingsFileFixture, AFileHoldingNoneOfTheSectionsIsRefusedNamingIt)
{
    QByteArray utf16("\xFF\xFE", 2);
    for (const char c : QByteArray("[TensAllConfig]\r\nSelTens=2\r\n")) {
        utf16.append(c).append('\0');
    }
    struct Case {
        const char* name;
        std::optional<QByteArray> contents; // nothing: no file at all
        const char* reason;
    };
    const Case cases[] = {
        {"no file", std::nullopt, "No such file or directory"},
        {"empty", QByteArray(), "none of the sections"},
        {"a word", QByteArray("garbage"), "none of the sections"},
        {"other sections", QByteArray("[Moje]\r\nIP=10.0.0.1\r\n"), "none of the sections"},
        {"UTF-16", utf16, "UTF-16"},
    };
    sensors().Cb_SelTens->setCurrentIndex(3);
    comm().MaskEdit_IP_Addr->setText(QStringLiteral("10.9.8.7"));
    window.Label_Status->setText(QStringLiteral("przed"));
    for (const Case& c : cases) {
        chosen = dir.filePath(QStringLiteral("obcy %1.conf").arg(QString::fromLatin1(c.name)));
        if (c.contents) {
            QFile f(chosen);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(*c.contents);
        }
        errors.clear();
        window.Wczytajustawieniazpliku1Click();
        ASSERT_EQ(errors.size(), 1) << c.name;
        EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Unable to read ") + QDir::toNativeSeparators(chosen)))
            << errors[0].toStdString();
        EXPECT_TRUE(errors[0].contains(QString::fromLatin1(c.reason))) << errors[0].toStdString();
        EXPECT_EQ(sensors().Cb_SelTens->currentIndex(), 3) << c.name;
        EXPECT_EQ(comm().MaskEdit_IP_Addr->text(), QStringLiteral("10.9.8.7")) << c.name;
        EXPECT_EQ(window.Label_Status->text(), QStringLiteral("przed")) << c.name;
    }
}

TEST_F(SettingsFileFixture, EachDialogProposesTheFileLastChosenInIt)
{
    QStringList proposedToSave;
    QStringList proposedToOpen;
    window.setConfigFileDialogs(
        [&](const QString& proposed) {
            proposedToSave << proposed;
            return chosen;
        },
        [&](const QString& proposed) {
            proposedToOpen << proposed;
            return chosen;
        });
    const QString saved = dir.filePath(QStringLiteral("zapisany.conf"));
    const QString opened = dir.filePath(QStringLiteral("otwarty.conf"));
    chosen = saved;
    window.Wczytajustawieniazpliku2Click();
    QFile::copy(saved, opened);
    chosen = opened;
    window.Wczytajustawieniazpliku1Click();
    chosen.clear(); // cancel both
    window.Wczytajustawieniazpliku2Click();
    window.Wczytajustawieniazpliku1Click();
    EXPECT_EQ(proposedToSave, (QStringList{QStringLiteral("qmx80_konfiguracja.conf"), saved}));
    EXPECT_EQ(proposedToOpen, (QStringList{QStringLiteral("qmx80_konfiguracja.conf"), opened}));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(SettingsFileFixture, SavingIntoAWindows1250FileKeepsTheLinesItDoesNotWrite)
{
    chosen = dir.filePath(QStringLiteral("stary.conf"));
    const QByteArray mine("[Moje]\r\nopis=za\xBF\xF3\xB3\xE6\r\n");
    QFile f(chosen);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(mine + "[Ethernet]\r\nIP=1.2.3.4\r\n");
    f.close();
    comm().MaskEdit_IP_Addr->setText(QStringLiteral("10.0.0.5"));
    window.Wczytajustawieniazpliku2Click();
    ASSERT_TRUE(errors.isEmpty());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray written = f.readAll();
    EXPECT_TRUE(written.startsWith(mine + "[Ethernet]\r\nIP=10.0.0.5\r\n")) << written.constData();
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
