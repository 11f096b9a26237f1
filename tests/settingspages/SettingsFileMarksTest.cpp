// Loading a device settings file into the window's settings pages takes the refusal mark off the
// fields that the file fills with valid values, and only off those.

#include "FakeBackend.h"

#include "ui/MainWindow.h"
#include "ui/pages/CommunicationPage.h"
#include "ui/pages/OutputsPage.h"
#include "ui/pages/SensorSettingsPage.h"
#include "ui/pages/SettingsPage.h"
#include "ui/pages/SettingsWidgets.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qmx;
using ui::settingswidgets::isMarkedRefused;
using ui::settingswidgets::markRefused;

namespace {

TEST(SettingsFileMarks, AFileFillingAFieldWithAValidValueTakesItsMarkOff)
{
    test::FakeBackend backend;
    ui::MainWindow window(backend);
    window.setErrorBox([](const QString& message) { ADD_FAILURE() << message.toStdString(); });
    ui::SensorSettingsPage& sensors = *window.settingsPage->sensorPage;
    ui::CommunicationPage& comm = *window.settingsPage->communicationPage;
    ui::OutputsPage& outputs = *window.settingsPage->outputsPage;

    sensors.sumOffsetEdit->setText(QStringLiteral("1.5"));
    sensors.sensors[0].sens->setText(QStringLiteral("abc"));
    sensors.sensors[1].range->setText(QStringLiteral("0"));
    sensors.adRateList->setCurrentIndex(3);
    comm.ipAddressEdit->setText(QStringLiteral("10.1"));
    outputs.out1.number1->setText(QStringLiteral("5"));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("marks.conf"));
    ASSERT_TRUE(window.saveDeviceSettingsFile(file));

    // Fields refused by earlier writes.
    sensors.sumOffsetEdit->setText(QStringLiteral("x"));
    sensors.adRateList->setCurrentIndex(-1);
    comm.ipAddressEdit->setText(QStringLiteral("1.2.3.4.5"));
    outputs.out1.number1->setText(QStringLiteral("y"));
    for (QWidget* field : std::initializer_list<QWidget*>{sensors.sumOffsetEdit, sensors.sensors[0].sens,
                                                          sensors.adRateList, comm.ipAddressEdit,
                                                          outputs.out1.number1}) {
        markRefused(field, true);
    }

    window.loadDeviceSettingsFile(file);
    EXPECT_EQ(sensors.sumOffsetEdit->text(), QStringLiteral("1.5"));
    EXPECT_FALSE(isMarkedRefused(sensors.sumOffsetEdit));
    EXPECT_FALSE(isMarkedRefused(sensors.adRateList));
    EXPECT_FALSE(isMarkedRefused(comm.ipAddressEdit));
    EXPECT_FALSE(isMarkedRefused(outputs.out1.number1));
    // Still not a number: the mark stays. Loaded values are not checked, so nothing new is marked.
    EXPECT_TRUE(isMarkedRefused(sensors.sensors[0].sens));
    EXPECT_FALSE(isMarkedRefused(sensors.sensors[1].range));
}

} // namespace
