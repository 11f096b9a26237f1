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
    ui::SensorSettingsPage& sensors() { return *window.settingsPage->sensorPage; }
    ui::CommunicationPage& comm() { return *window.settingsPage->communicationPage; }
    ui::OutputsPage& outputs() { return *window.settingsPage->outputsPage; }

    QTemporaryDir dir;
    test::FakeBackend backend;
    ui::MainWindow window;
    QStringList errors;
    QString chosen;
};

} // namespace

TEST_F(SettingsFileFixture, SaveThenLoadRestoresAllValuesIncludingNoSelectionAndOddTexts)
{
    sensors().sumSelectionList->setCurrentIndex(2);
    sensors().sumOffsetEdit->setText(QStringLiteral("2,5"));
    sensors().adRateList->setCurrentIndex(-1);
    sensors().stabilityMaxDifferenceEdit->setText(QStringLiteral("abc"));
    sensors().sensors[2].range->setText(QStringLiteral("1e3"));
    sensors().sensors[3].sign->setChecked(true);
    comm().modbusAddressList->setCurrentIndex(246);
    comm().ipAddressEdit->setText(QStringLiteral("10.1"));
    outputs().overloadIndicatorCheck->setChecked(true);
    outputs().out1.source->setCurrentIndex(5);
    outputs().out1.number2->setText(QStringLiteral("-7,25"));

    chosen = dir.filePath(QStringLiteral("zapis konfiguracji ą.conf"));
    window.saveSettingsFile();
    ASSERT_TRUE(errors.isEmpty());

    // Change everything back, then load.
    sensors().sumSelectionList->setCurrentIndex(0);
    sensors().sumOffsetEdit->setText(QStringLiteral("0"));
    sensors().adRateList->setCurrentIndex(3);
    sensors().sensors[2].range->setText(QStringLiteral("5"));
    sensors().sensors[3].sign->setChecked(false);
    comm().modbusAddressList->setCurrentIndex(0);
    outputs().overloadIndicatorCheck->setChecked(false);
    outputs().out1.source->setCurrentIndex(0);
    window.loadSettingsFile();

    EXPECT_EQ(sensors().sumSelectionList->currentIndex(), 2);
    EXPECT_EQ(sensors().sumOffsetEdit->text(), QStringLiteral("2,5"));
    EXPECT_EQ(sensors().adRateList->currentIndex(), -1);
    EXPECT_EQ(sensors().adRateList->currentText(), QString());
    EXPECT_EQ(sensors().stabilityMaxDifferenceEdit->text(), QStringLiteral("abc"));
    EXPECT_EQ(sensors().sensors[2].range->text(), QStringLiteral("1e3"));
    EXPECT_TRUE(sensors().sensors[3].sign->isChecked());
    EXPECT_EQ(comm().modbusAddressList->currentText(), QStringLiteral("247"));
    EXPECT_EQ(comm().ipAddressEdit->text(), QStringLiteral("10.1"));
    EXPECT_TRUE(outputs().overloadIndicatorCheck->isChecked());
    EXPECT_FALSE(outputs().out2.source->isEnabled()); // the indicator reaction ran
    EXPECT_EQ(outputs().out1.source->currentIndex(), 5);
    EXPECT_EQ(outputs().out1.number2->text(), QStringLiteral("-7,25"));
}

TEST_F(SettingsFileFixture, MissingKeysLoadTheDefaultsWithoutDerivedUpdatesAndTheStatusLineNamesThem)
{
    const QString delayBefore = sensors().responseDelayLabel->text();
    chosen = dir.filePath(QStringLiteral("czesciowy.conf"));
    QFile f(chosen);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[TensAllConfig]\r\nSelTens=2\r\n");
    f.close();
    window.loadSettingsFile();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(sensors().sumSelectionList->currentIndex(), 2);
    EXPECT_EQ(sensors().adRateList->currentIndex(), 0);
    EXPECT_EQ(sensors().decimalsList->currentIndex(), 1);
    EXPECT_EQ(comm().ipAddressEdit->text(), QStringLiteral("192.168.0.102"));
    for (const auto& s : sensors().sensors) {
        EXPECT_EQ(s.sens->text(), QStringLiteral("2.000"));
    }
    EXPECT_EQ(outputs().out1.number2->text(), QStringLiteral("200"));
    EXPECT_EQ(comm().modbusBaudList->currentIndex(), 2);
    EXPECT_EQ(sensors().responseDelayLabel->text(), delayBefore); // no change reaction ran
    EXPECT_EQ(window.statusLabel->text(),
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
    sensors().sumSelectionList->setCurrentIndex(3);
    comm().ipAddressEdit->setText(QStringLiteral("10.9.8.7"));
    window.statusLabel->setText(QStringLiteral("przed"));
    for (const Case& c : cases) {
        chosen = dir.filePath(QStringLiteral("obcy %1.conf").arg(QString::fromLatin1(c.name)));
        if (c.contents) {
            QFile f(chosen);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(*c.contents);
        }
        errors.clear();
        window.loadSettingsFile();
        ASSERT_EQ(errors.size(), 1) << c.name;
        EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Unable to read ") + QDir::toNativeSeparators(chosen)))
            << errors[0].toStdString();
        EXPECT_TRUE(errors[0].contains(QString::fromLatin1(c.reason))) << errors[0].toStdString();
        EXPECT_EQ(sensors().sumSelectionList->currentIndex(), 3) << c.name;
        EXPECT_EQ(comm().ipAddressEdit->text(), QStringLiteral("10.9.8.7")) << c.name;
        EXPECT_EQ(window.statusLabel->text(), QStringLiteral("przed")) << c.name;
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
    window.saveSettingsFile();
    QFile::copy(saved, opened);
    chosen = opened;
    window.loadSettingsFile();
    chosen.clear(); // cancel both
    window.saveSettingsFile();
    window.loadSettingsFile();
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
    comm().ipAddressEdit->setText(QStringLiteral("10.0.0.5"));
    window.saveSettingsFile();
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
    window.loadSettingsFile();
    EXPECT_EQ(comm().modbusBaudList->currentIndex(), -1);
    EXPECT_EQ(sensors().sumSelectionList->currentIndex(), 3);
    EXPECT_EQ(sensors().adRateList->currentText(), QStringLiteral("33 / sek"));
}

TEST_F(SettingsFileFixture, SavingKeepsOtherSectionsAndARefusedSaveChangesNothing)
{
    chosen = dir.filePath(QStringLiteral("shared.conf"));
    QFile f(chosen);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Moje]\r\nklucz=wartosc\r\n[ModbusRtu]\r\nParity=2\r\n");
    f.close();
    window.saveSettingsFile();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    f.close();
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Moje]\r\nklucz=wartosc\r\n[ModbusRtu]\r\nParity=0\r\n"))) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("[ModbusRtu]")), 1);

    chosen = dir.filePath(QStringLiteral("folder.conf"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.conf")));
    window.saveSettingsFile();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Unable to write to ")));
}

TEST_F(SettingsFileFixture, CancellingADialogChangesNothing)
{
    sensors().sumOffsetEdit->setText(QStringLiteral("7"));
    chosen.clear();
    window.loadSettingsFile();
    window.saveSettingsFile();
    EXPECT_EQ(sensors().sumOffsetEdit->text(), QStringLiteral("7"));
    EXPECT_TRUE(errors.isEmpty());
}
