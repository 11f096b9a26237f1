// The main window's keys, pressed on the real window offscreen: F1, Ctrl+O, Ctrl+S, Ctrl+Q, F5,
// the Alt keys of the tabs and buttons, and Esc in the secondary windows.

#include "FakeBackend.h"

#include "ui/MainWindow.h"
#include "ui/pages/CommunicationPage.h"
#include "ui/pages/MeasurementPage.h"
#include "ui/pages/OutputsPage.h"
#include "ui/pages/SensorSettingsPage.h"
#include "ui/pages/SettingsPage.h"
#include "ui/windows/HelpWindow.h"
#include "ui/windows/AboutBox.h"
#include "ui/windows/LargeReadoutWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

class WindowKeys : public ::testing::Test {
protected:
    WindowKeys()
    {
        dev = backend.add(u"QMX80NET");
        window.setErrorBox([this](const QString& text) { errors << text; });
        window.setConfigFileDialogs(
            [this](const QString& proposed) {
                saveDialogs << proposed;
                return QString();
            },
            [this](const QString& proposed) {
                openDialogs << proposed;
                return QString();
            });
        window.attachWindows({&about, nullptr, &big, &help});
        window.link().onDeviceChange();
        window.show();
        QApplication::setActiveWindow(&window);
    }
    ~WindowKeys() override
    {
        for (QWidget* w : {static_cast<QWidget*>(&big), static_cast<QWidget*>(&help), static_cast<QWidget*>(&about)}) {
            w->hide();
        }
    }

    QPushButton* readButtonOf(QWidget* page) const
    {
        ui::SettingsPage& settings = *window.settingsPage;
        if (page == settings.sensorPage) {
            return settings.sensorPage->readSensorSettingsButton;
        }
        if (page == settings.communicationPage) {
            return settings.communicationPage->readIoSettingsButton;
        }
        return settings.outputsPage->readOutputsButton;
    }

    QTemporaryDir dir;
    QString config = dir.filePath(QStringLiteral("config.ini"));
    test::FakeBackend backend;
    std::shared_ptr<test::FakeDeviceState> dev;
    ui::MainWindow window{backend, config};
    ui::AboutBox about;
    ui::LargeReadoutWindow big;
    ui::HelpWindow help{dir.path()};
    QStringList errors;
    QStringList saveDialogs;
    QStringList openDialogs;
};

} // namespace

TEST_F(WindowKeys, F1OpensTheManual)
{
    ASSERT_FALSE(help.isVisible());
    QTest::keyClick(&window, Qt::Key_F1);
    EXPECT_TRUE(help.isVisible());
}

TEST_F(WindowKeys, CtrlOAndCtrlSOpenTheSettingsFileDialogs)
{
    QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(openDialogs, QStringList{QStringLiteral("qmx80_konfiguracja.conf")});
    EXPECT_TRUE(saveDialogs.isEmpty());
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(saveDialogs, QStringList{QStringLiteral("qmx80_konfiguracja.conf")});
    EXPECT_EQ(openDialogs.size(), 1);
}

TEST_F(WindowKeys, CtrlQEndsThroughTheClosingPath)
{
    big.show();
    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window.isVisible());
    // The closing path ran: preferences written and the other windows closed.
    EXPECT_TRUE(QFile::exists(config));
    EXPECT_FALSE(big.isVisible());
}

TEST_F(WindowKeys, F5ReadsTheSettingsOfTheInnerPageShownOnlyOnTheSettingsPage)
{
    ui::SettingsPage& settings = *window.settingsPage;
    const QList<QWidget*> pages{settings.sensorPage, settings.communicationPage, settings.outputsPage};
    for (QWidget* shown : pages) {
        SCOPED_TRACE(shown->objectName().toStdString());
        QList<std::shared_ptr<QSignalSpy>> spies;
        for (QWidget* page : pages) {
            spies << std::make_shared<QSignalSpy>(readButtonOf(page), &QPushButton::clicked);
        }
        // On another page F5 reads nothing.
        window.pageTabs->setCurrentIndex(0);
        settings.settingsTabs->setCurrentWidget(shown);
        QTest::keyClick(&window, Qt::Key_F5);
        for (const auto& spy : spies) {
            EXPECT_EQ(spy->count(), 0);
        }
        window.pageTabs->setCurrentWidget(window.settingsPage);
        settings.settingsTabs->setCurrentWidget(shown);
        ASSERT_TRUE(readButtonOf(shown)->isEnabled());
        QTest::keyClick(&window, Qt::Key_F5);
        for (int i = 0; i < pages.size(); ++i) {
            EXPECT_EQ(spies[i]->count(), pages[i] == shown ? 1 : 0) << pages[i]->objectName().toStdString();
        }
    }
}

TEST_F(WindowKeys, AltKeysChooseTheTabsInEachLanguage)
{
    // The letter a tab's caption marks in the language shown; each key is pressed from a page
    // whose own buttons do not use it.
    struct Round {
        int languagePosition;
        std::vector<std::pair<Qt::Key, int>> keys;
        QStringList captions;
    };
    const Round rounds[] = {
        {0,
         {{Qt::Key_W, 1}, {Qt::Key_R, 2}, {Qt::Key_U, 3}, {Qt::Key_P, 0}},
         {QStringLiteral("&Pomiary"), QStringLiteral("&Wykres"), QStringLiteral("&Rejestracja"),
          QStringLiteral("&Ustawienia")}},
        {1,
         {{Qt::Key_C, 1}, {Qt::Key_S, 3}, {Qt::Key_R, 2}, {Qt::Key_C, 1}, {Qt::Key_M, 0}},
         {QStringLiteral("&Measurement"), QStringLiteral("&Chart"), QStringLiteral("&Recording"),
          QStringLiteral("&Settings")}},
        {0, {{Qt::Key_U, 3}, {Qt::Key_W, 1}, {Qt::Key_P, 0}}, {}},
    };
    for (const Round& round : rounds) {
        window.languageList->setCurrentIndex(round.languagePosition);
        window.applySelectedLanguage();
        ASSERT_EQ(window.activeLanguage(), static_cast<lang::Language>(round.languagePosition + 1));
        for (int tab = 0; tab < round.captions.size(); ++tab) {
            EXPECT_EQ(window.pageTabs->tabText(tab), round.captions[tab]);
        }
        for (const auto& [key, index] : round.keys) {
            QTest::keyClick(&window, key, Qt::AltModifier);
            EXPECT_EQ(window.pageTabs->currentIndex(), index)
                << "language " << round.languagePosition + 1 << ", tab " << index;
        }
    }
}

TEST_F(WindowKeys, AltKeysPressTheMainButtonsOfThePageShown)
{
    // A button's Alt key presses it as a click does: down at once, clicked when it comes up.
    ui::MeasurementPage& measurement = *window.measurementPage;
    QSignalSpy tare(measurement.tareButton, &QPushButton::clicked);
    QTest::keyClick(&window, Qt::Key_T, Qt::AltModifier);
    EXPECT_TRUE(measurement.tareButton->isDown());
    EXPECT_FALSE(measurement.resetMaxButton->isDown());
    EXPECT_FALSE(measurement.largeReadoutButton->isDown());
    EXPECT_TRUE(tare.count() == 1 || tare.wait(5000));
    QSignalSpy resetMax(measurement.resetMaxButton, &QPushButton::clicked);
    QTest::keyClick(&window, Qt::Key_M, Qt::AltModifier);
    EXPECT_TRUE(resetMax.count() == 1 || resetMax.wait(5000));
    EXPECT_EQ(tare.count(), 1);

    window.pageTabs->setCurrentWidget(window.settingsPage);
    window.settingsPage->settingsTabs->setCurrentWidget(window.settingsPage->communicationPage);
    QSignalSpy read(window.settingsPage->communicationPage->readIoSettingsButton, &QPushButton::clicked);
    QTest::keyClick(&window, Qt::Key_O, Qt::AltModifier);
    // The "Odczytaj" buttons of the hidden inner pages take no key.
    EXPECT_TRUE(window.settingsPage->communicationPage->readIoSettingsButton->isDown());
    EXPECT_FALSE(window.settingsPage->sensorPage->readSensorSettingsButton->isDown());
    EXPECT_FALSE(window.settingsPage->outputsPage->readOutputsButton->isDown());
    EXPECT_TRUE(read.count() == 1 || read.wait(5000));
}

TEST_F(WindowKeys, EscClosesTheSecondaryWindows)
{
    for (QWidget* secondary : {static_cast<QWidget*>(&big), static_cast<QWidget*>(&help),
                               static_cast<QWidget*>(&about)}) {
        SCOPED_TRACE(secondary->objectName().toStdString());
        secondary->show();
        QApplication::setActiveWindow(secondary);
        QTest::keyClick(secondary, Qt::Key_Escape);
        EXPECT_FALSE(secondary->isVisible());
        EXPECT_TRUE(window.isVisible()) << "Esc never closes the main window";
    }
    // Esc in the main window closes nothing.
    QApplication::setActiveWindow(&window);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
}
