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
    ui::TForm1 window(backend);
    window.setErrorBox([](const QString& message) { ADD_FAILURE() << message.toStdString(); });
    ui::SensorSettingsPage& sensors = *window.TabSheet5->TabSheet6;
    ui::CommunicationPage& comm = *window.TabSheet5->TabSheet7;
    ui::OutputsPage& outputs = *window.TabSheet5->TabSheet4;

    sensors.Edit_SumOffset->setText(QStringLiteral("1.5"));
    sensors.sensors[0].sens->setText(QStringLiteral("abc"));
    sensors.sensors[1].range->setText(QStringLiteral("0"));
    sensors.Cb_AdRate->setCurrentIndex(3);
    comm.MaskEdit_IP_Addr->setText(QStringLiteral("10.1"));
    outputs.out1.number1->setText(QStringLiteral("5"));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("marks.conf"));
    ASSERT_TRUE(window.saveDeviceSettingsFile(file));

    // Fields refused by earlier writes.
    sensors.Edit_SumOffset->setText(QStringLiteral("x"));
    sensors.Cb_AdRate->setCurrentIndex(-1);
    comm.MaskEdit_IP_Addr->setText(QStringLiteral("1.2.3.4.5"));
    outputs.out1.number1->setText(QStringLiteral("y"));
    for (QWidget* field : std::initializer_list<QWidget*>{sensors.Edit_SumOffset, sensors.sensors[0].sens,
                                                          sensors.Cb_AdRate, comm.MaskEdit_IP_Addr,
                                                          outputs.out1.number1}) {
        markRefused(field, true);
    }

    window.loadDeviceSettingsFile(file);
    EXPECT_EQ(sensors.Edit_SumOffset->text(), QStringLiteral("1.5"));
    EXPECT_FALSE(isMarkedRefused(sensors.Edit_SumOffset));
    EXPECT_FALSE(isMarkedRefused(sensors.Cb_AdRate));
    EXPECT_FALSE(isMarkedRefused(comm.MaskEdit_IP_Addr));
    EXPECT_FALSE(isMarkedRefused(outputs.out1.number1));
    // Still not a number: the mark stays. Loaded values are not checked, so nothing new is marked.
    EXPECT_TRUE(isMarkedRefused(sensors.sensors[0].sens));
    EXPECT_FALSE(isMarkedRefused(sensors.sensors[1].range));
}

} // namespace
