// The settings page inside the main window: start-up values and the unit suffix handed to the
// measurement display.

#include "FakeBackend.h"
#include "LinkTestSupport.h"

#include "link/Protocol.h"
#include "settings/core/SensorSettings.h"
#include "ui/MainWindow.h"
#include "ui/pages/SensorSettingsPage.h"
#include "ui/pages/SettingsPage.h"

#include <QComboBox>
#include <QLabel>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

TEST(MainWindowSettings, StartUpDerivesTheRateLabelsAndFillsTheAddressList)
{
    test::FakeBackend backend;
    ui::MainWindow window(backend);
    ui::SettingsPage& page = *window.settingsPage;
    EXPECT_EQ(page.modbusAddressList->count(), 247);
    EXPECT_EQ(page.sensorPage->adRateList->currentIndex(), 2);
    EXPECT_EQ(page.sensorPage->responseDelayLabel->text(), QStringLiteral("62 ms"));
    EXPECT_TRUE(page.sensorPage->stabilityTimeLabel->text().endsWith(QStringLiteral(" s")));
    EXPECT_TRUE(window.unitsText().isEmpty());
}

TEST(MainWindowSettings, SensorSettingsReplySetsTheDisplayUnits)
{
    test::FakeBackend backend;
    auto dev = backend.add(u"QMX80NET");
    ui::MainWindow window(backend);
    window.onDeviceChange();
    ASSERT_TRUE(window.link().connected());
    settings::SensorSettings s;
    s.Units = 3;
    auto frame = settings::encodeSensorSettingsRequest(s);
    std::vector<std::uint8_t> reply(frame.begin(), frame.end());
    reply[0] = link::CMD_GET_SENSOR_SETTINGS;
    reply.resize(64, 0);
    dev->inject(reply);
    EXPECT_TRUE(test::waitUntil([&] { return window.unitsText() == QStringLiteral(" kg"); }));
    EXPECT_EQ(window.settingsPage->unitsText(), QStringLiteral(" kg"));
}

} // namespace
