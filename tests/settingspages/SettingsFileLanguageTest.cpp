// The device settings file does not depend on the interface language: saved with English chosen
// it holds the same bytes as saved with Polish, and a file loads the same in English.

#include "FakeBackend.h"

#include "ui/MainWindow.h"
#include "ui/pages/CommunicationPage.h"
#include "ui/pages/OutputsPage.h"
#include "ui/pages/SensorSettingsPage.h"
#include "ui/pages/SettingsPage.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

class SettingsFileLanguage : public ::testing::Test {
protected:
    SettingsFileLanguage() : window(backend)
    {
        window.setErrorBox([this](const QString& text) { errors << text; });
        const auto dialog = [this](const QString&) { return chosen; };
        window.setConfigFileDialogs(dialog, dialog);
    }
    ui::SensorSettingsPage& sensors() { return *window.settingsPage->sensorPage; }

    void choose(const char* actionName)
    {
        auto* action = window.findChild<QAction*>(QString::fromLatin1(actionName));
        ASSERT_NE(action, nullptr) << actionName;
        action->trigger();
    }
    QByteArray save(const QString& name)
    {
        chosen = dir.filePath(name);
        window.saveSettingsFile();
        QFile f(chosen);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        return f.readAll();
    }

    QTemporaryDir dir;
    test::FakeBackend backend;
    ui::MainWindow window;
    QStringList errors;
    QString chosen;
};

} // namespace

TEST_F(SettingsFileLanguage, EnglishSavesTheSameBytesAsPolishAndLoadsTheSameValues)
{
    // Every list of the sensor page away from its first item, so that an item text written in
    // place of its index would show.
    sensors().sumSelectionList->setCurrentIndex(2);
    sensors().adRateList->setCurrentIndex(5);
    sensors().filterLevelList->setCurrentIndex(3);
    sensors().unitsList->setCurrentIndex(1);
    sensors().decimalsList->setCurrentIndex(2);
    sensors().sumOffsetEdit->setText(QStringLiteral("12.5"));
    sensors().sensors[1].sign->setChecked(true);
    window.settingsPage->communicationPage->modbusParityList->setCurrentIndex(2);
    window.settingsPage->outputsPage->out1.source->setCurrentIndex(5);
    window.settingsPage->outputsPage->out2.condition->setCurrentIndex(1);

    const QByteArray polish = save(QStringLiteral("polski.conf"));
    choose("languageEnglishAction");
    ASSERT_EQ(window.activeLanguage(), lang::Language::English);
    ASSERT_EQ(sensors().unitsList->currentText(), QStringLiteral("kN - kilonewtons"));
    const QByteArray english = save(QStringLiteral("english.conf"));
    ASSERT_FALSE(polish.isEmpty());
    EXPECT_EQ(english, polish);
    EXPECT_TRUE(polish.contains("Units=1")) << polish.toStdString();
    EXPECT_TRUE(polish.contains("Rate=5")) << polish.toStdString();

    // Loading in English selects the items by the indexes of the file.
    sensors().sumSelectionList->setCurrentIndex(0);
    sensors().adRateList->setCurrentIndex(0);
    sensors().unitsList->setCurrentIndex(4);
    sensors().sensors[1].sign->setChecked(false);
    chosen = dir.filePath(QStringLiteral("polski.conf"));
    window.loadSettingsFile();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    EXPECT_EQ(sensors().sumSelectionList->currentIndex(), 2);
    EXPECT_EQ(sensors().adRateList->currentIndex(), 5);
    EXPECT_EQ(sensors().adRateList->currentText(), QStringLiteral("62 / s"));
    EXPECT_EQ(sensors().unitsList->currentIndex(), 1);
    EXPECT_TRUE(sensors().sensors[1].sign->isChecked());
    EXPECT_EQ(sensors().sumOffsetEdit->text(), QStringLiteral("12.5"));
    EXPECT_EQ(save(QStringLiteral("again.conf")), polish);
}
