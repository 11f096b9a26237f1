// The settings pages against the virtual transducer: every field edited, written, stored by the
// device and read back into the pages. Set QMX_SETTINGS_SCREENSHOTS to a folder to also save
// pictures of the pages and of the calibration window filled from the device.

#include "PagesFixture.h"

#include "link/Protocol.h"
#include "sim/FactoryDefaults.h"
#include "sim/SimBackend.h"
#include "ui/pages/CommunicationPage.h"
#include "ui/pages/OutputsPage.h"
#include "ui/pages/SensorSettingsPage.h"
#include "ui/windows/AnalogCalibrationWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

using namespace qmx;
using namespace qmx::test;

namespace {

class RoundTrip : public ::testing::Test {
protected:
    RoundTrip() : sim(sim::SimBackend::Clock::Manual), link(sim, polish), page(link, polish)
    {
        page.setNumberLocale(display::NumberLocale::c());
        page.setPrompts(std::make_unique<RecordingPrompts>(events, confirmAnswer,
                                                           [this] { return device().receivedRequests().size(); }));
        page.setAnalogCalibrationWindow(&calib);
        page.fillModbusAddressList();
        page.decimalsList->setCurrentIndex(1); // the program's default number of decimals
        page.adRateChanged();
        QObject::connect(&link, &link::LinkController::ioSettingsReceived, [this] { ioReplies += 1; });
        QObject::connect(&link, &link::LinkController::replyDispatched, [this](std::uint8_t code) {
            // A read-out ends with the acknowledgement of the link-state request after 0x03.
            if (code == link::CMD_SET_LINK_STATE && ioReplies > 0) {
                readOutsDone += 1;
            }
        });
        link.onDeviceChange();
        EXPECT_TRUE(link.connected());
        EXPECT_TRUE(waitForReadOut());
    }
    ~RoundTrip() override { link.pollTimer().stop(); }

    sim::VirtualTransducer& device() { return sim.transducer(0); }
    ui::SensorSettingsPage& s() { return *page.sensorPage; }
    ui::CommunicationPage& comm() { return *page.communicationPage; }
    ui::OutputsPage& outs() { return *page.outputsPage; }

    /// Waits until one more read-out (settings reply 0x03 and its link-state acknowledgement) ends.
    bool waitForReadOut()
    {
        const int target = readOutsDone + 1;
        return waitUntil([&] { return readOutsDone >= target; });
    }

    /// Requests other than the measurement poll received by the device.
    std::vector<std::uint8_t> requestCodes()
    {
        std::vector<std::uint8_t> codes;
        for (std::uint8_t c : device().receivedCodes()) {
            if (c != link::CMD_GET_MEASUREMENT) {
                codes.push_back(c);
            }
        }
        return codes;
    }

    void saveScreenshots()
    {
        const QByteArray dir = qgetenv("QMX_SETTINGS_SCREENSHOTS");
        if (dir.isEmpty()) {
            return;
        }
        QDir().mkpath(QString::fromLocal8Bit(dir));
        const auto path = [&](const char* name) { return QString::fromLocal8Bit(dir) + u'/' + QString::fromLatin1(name); };
        // The main window's font, and about the room its settings page gets.
        QFont tahoma(QStringLiteral("Tahoma"));
        tahoma.setPixelSize(11);
        page.setFont(tahoma);
        calib.setFont(tahoma);
        page.resize(650, 500);
        page.show();
        const std::array<std::pair<QWidget*, const char*>, 3> tabs{
            {{page.sensorPage, "settings-sensors.png"}, {page.communicationPage, "settings-communication.png"},
             {page.outputsPage, "settings-outputs.png"}}};
        for (const auto& [tab, name] : tabs) {
            page.settingsTabs->setCurrentWidget(tab);
            QCoreApplication::processEvents();
            EXPECT_TRUE(page.grab().save(path(name)));
        }
        calib.resize(calib.sizeHint().expandedTo(QSize(460, 0)));
        calib.show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(calib.grab().save(path("analog-calibration.png")));
    }

    sim::SimBackend sim;
    link::LinkController link;
    ui::SettingsPage page;
    ui::AnalogCalibrationWindow calib;
    std::vector<PromptEvent> events;
    bool confirmAnswer = true;
    int ioReplies = 0;
    int readOutsDone = 0;
};

TEST_F(RoundTrip, StartUpFillsThePagesWithTheFactorySettings)
{
    const auto factory = sim::factorySensorSettings();
    EXPECT_EQ(s().sensors[0].range->text(), QString::number(factory.Range[0]));
    EXPECT_EQ(s().sensors[3].sens->text(), QStringLiteral("2.0000"));
    EXPECT_EQ(s().sumSelectionList->currentIndex(), factory.SelTens);
    EXPECT_EQ(s().stabilitySamplesEdit->text(), QStringLiteral("50"));
    EXPECT_EQ(page.unitsText(), QStringLiteral(" N"));
    EXPECT_EQ(comm().ipAddressEdit->text(), QStringLiteral("192.168.0.2"));
    EXPECT_EQ(comm().macAddressEdit->text(), QStringLiteral("2:51:4d:58:80:1"));
    EXPECT_EQ(comm().modbusBaudList->currentText(), QStringLiteral("38400"));
}

TEST_F(RoundTrip, EveryEditedFieldIsStoredByTheDeviceAndShownAfterTheReadBack)
{
    s().decimalsList->setCurrentIndex(2);
    const std::array<const char*, 4> ranges{"500", "2000", "$3E8", "100000000"};
    const std::array<const char*, 4> constants{"1.5", "2,25", "0.1", "3.9876"};
    for (std::size_t i = 0; i < 4; ++i) {
        s().sensors[i].range->setText(QString::fromLatin1(ranges[i]));
        s().sensors[i].sens->setText(QString::fromLatin1(constants[i]));
        s().sensors[i].sign->setChecked(i % 2 == 1);
    }
    s().filterLevelList->setCurrentIndex(4);
    s().adRateList->setCurrentIndex(5);
    s().unitsList->setCurrentIndex(1);
    s().sumSelectionList->setCurrentIndex(1);
    s().sumOffsetEdit->setText(QStringLiteral("-12,5"));
    s().stabilitySamplesEdit->setText(QStringLiteral("120"));
    s().stabilityMaxDifferenceEdit->setText(QStringLiteral("0.75"));

    device().clearReceivedRequests();
    s().writeSensorSettingsButton->click();
    ASSERT_TRUE(waitForReadOut());
    EXPECT_EQ(requestCodes(), (std::vector<std::uint8_t>{0x8A, 0x02, 0x03, 0x85}));
    EXPECT_TRUE(events.empty());

    const settings::SensorSettings stored = device().sensorSettings();
    EXPECT_EQ(stored.Range, (std::array<std::int32_t, 4>{500, 2000, 1000, 100000000}));
    EXPECT_EQ(stored.Sens, (std::array<float, 4>{1.5F, 2.25F, 0.1F, 3.9876F}));
    EXPECT_EQ(stored.SignBits, 0x0A);
    EXPECT_EQ(stored.Filter, 4);
    EXPECT_EQ(stored.Rate, 5);
    EXPECT_EQ(stored.Units, 1);
    EXPECT_EQ(stored.SelTens, 1);
    EXPECT_EQ(stored.SumOffset, -12.5F);
    EXPECT_EQ(stored.StabSamplesNo, 120);
    EXPECT_EQ(stored.StabMaxDiff, 0.75F);

    const auto& loc = display::NumberLocale::c();
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(s().sensors[i].range->text(), display::formatInteger(stored.Range[i]));
        EXPECT_EQ(s().sensors[i].sens->text(), display::formatFixed(stored.Sens[i], 8, 4, loc));
        EXPECT_EQ(s().sensors[i].sign->isChecked(), (stored.SignBits >> i & 1U) != 0);
    }
    EXPECT_EQ(s().filterLevelList->currentIndex(), stored.Filter);
    EXPECT_EQ(s().adRateList->currentIndex(), stored.Rate);
    EXPECT_EQ(s().unitsList->currentIndex(), stored.Units);
    EXPECT_EQ(s().sumSelectionList->currentIndex(), stored.SelTens);
    EXPECT_EQ(s().sumOffsetEdit->text(), QStringLiteral("-12.50"));
    EXPECT_EQ(s().stabilitySamplesEdit->text(), QStringLiteral("120"));
    EXPECT_EQ(s().stabilityMaxDifferenceEdit->text(), QStringLiteral("0.75"));
    EXPECT_EQ(page.unitsText(), QStringLiteral(" kN"));
    EXPECT_EQ(s().responseDelayLabel->text(), QStringLiteral("256 ms")); // filter 16 at 60/s
    EXPECT_EQ(s().stabilityTimeLabel->text(), QStringLiteral("2.00 s"));

    comm().modbusBaudList->setCurrentIndex(4);
    comm().modbusAddressList->setCurrentIndex(246);
    comm().modbusParityList->setCurrentIndex(1);
    comm().ipAddressEdit->setText(QStringLiteral("10.1"));
    comm().ipMaskEdit->setText(QStringLiteral("255.255.254.0"));
    comm().ipGatewayEdit->setText(QStringLiteral("010.0.0.1"));
    const auto editRow = [](const ui::OutputRow& row, int source, int mode1, const char* n1, int cond, int mode2,
                            const char* n2, int state) {
        row.source->setCurrentIndex(source);
        row.mode1->setCurrentIndex(mode1);
        row.number1->setText(QString::fromLatin1(n1));
        row.condition->setCurrentIndex(cond);
        row.mode2->setCurrentIndex(mode2);
        row.number2->setText(QString::fromLatin1(n2));
        row.state->setCurrentIndex(state);
    };
    editRow(outs().out1, 5, 1, "150.25", 1, 0, "-20", 1);
    editRow(outs().out2, 3, 0, "100000000", 2, 1, "-100000000", 0);
    outs().overloadIndicatorCheck->setChecked(true);

    device().clearReceivedRequests();
    outs().writeOutputsButton->click();
    ASSERT_TRUE(waitForReadOut());
    EXPECT_EQ(requestCodes(), (std::vector<std::uint8_t>{0x8B, 0x03, 0x85}));
    ASSERT_EQ(events.size(), 1U);
    EXPECT_EQ(events[0].kind, PromptEvent::Kind::Information);

    const settings::IoSettings io = device().ioSettings();
    EXPECT_EQ(io.Baudrate, 4);
    EXPECT_EQ(io.Address, 247);
    EXPECT_EQ(io.Parity, 1);
    EXPECT_EQ(io.IP, (std::array<std::uint8_t, 4>{10, 0, 0, 1}));
    EXPECT_EQ(io.Mask, (std::array<std::uint8_t, 4>{255, 255, 254, 0}));
    EXPECT_EQ(io.Gate, (std::array<std::uint8_t, 4>{8, 0, 0, 1}));
    EXPECT_EQ(io.MAC, sim::kFactoryMac);
    EXPECT_EQ(io.Out1, (settings::OutputSettings{1, 1, 0, 1, 5, 150.25F, -20.0F}));
    EXPECT_EQ(io.Out2, (settings::OutputSettings{2, 0, 1, 0, 3, 1e8F, -1e8F}));
    EXPECT_EQ(io.IndicatorFlags, settings::kOut2OverloadFlag);

    EXPECT_EQ(comm().modbusBaudList->currentIndex(), io.Baudrate);
    EXPECT_EQ(comm().modbusAddressList->currentText(), QStringLiteral("247"));
    EXPECT_EQ(comm().modbusParityList->currentIndex(), io.Parity);
    EXPECT_EQ(comm().ipAddressEdit->text(), QStringLiteral("10.0.0.1"));
    EXPECT_EQ(comm().ipMaskEdit->text(), QStringLiteral("255.255.254.0"));
    EXPECT_EQ(comm().ipGatewayEdit->text(), QStringLiteral("8.0.0.1"));
    EXPECT_EQ(comm().macAddressEdit->text(), QStringLiteral("2:51:4d:58:80:1"));
    const auto expectRow = [&](const ui::OutputRow& row, const settings::OutputSettings& out) {
        EXPECT_EQ(row.source->currentIndex(), out.Source);
        EXPECT_EQ(row.mode1->currentIndex(), out.mode1);
        EXPECT_EQ(row.condition->currentIndex(), out.condition);
        EXPECT_EQ(row.mode2->currentIndex(), out.mode2);
        EXPECT_EQ(row.state->currentIndex(), out.state);
        EXPECT_EQ(row.number1->text(), display::formatFixed(out.number1, 8, 2, loc));
        EXPECT_EQ(row.number2->text(), display::formatFixed(out.number2, 8, 2, loc));
    };
    expectRow(outs().out1, io.Out1);
    expectRow(outs().out2, io.Out2);
    EXPECT_EQ(outs().out1.number1->text(), QStringLiteral("150.25"));
    EXPECT_FALSE(outs().stabilityIndicatorCheck->isChecked());
    EXPECT_TRUE(outs().overloadIndicatorCheck->isChecked());
    EXPECT_FALSE(outs().out2.number1->isEnabled());
    EXPECT_TRUE(outs().out1.number1->isEnabled());
}

TEST_F(RoundTrip, ReadingAndWritingWithoutEditsSendsTheBytesTheDeviceHolds)
{
    settings::SensorSettings sensor = device().sensorSettings();
    sensor.Sens = {0.1F, 2.25F, 2.1234567F, 3.9876F};
    sensor.SumOffset = -12.5F;
    sensor.StabMaxDiff = 0.75F;
    settings::IoSettings io = device().ioSettings();
    io.Out1.number1 = 150.25F;
    io.Out1.number2 = 0.75F;
    io.Out2.number1 = 1e6F;
    io.Out2.number2 = 0.1F;
    device().setSensorSettings(sensor);
    device().setIoSettings(io);

    const auto sentRecord = [this](std::uint8_t code) {
        for (const auto& request : device().receivedRequests()) {
            if (!request.empty() && request[0] == code) {
                return request;
            }
        }
        return std::vector<std::uint8_t>{};
    };
    const auto sameBytes = [](const std::vector<std::uint8_t>& sent, const auto& expected) {
        return sent.size() >= expected.size() && std::equal(expected.begin(), expected.end(), sent.begin()) &&
               std::all_of(sent.begin() + static_cast<std::ptrdiff_t>(expected.size()), sent.end(),
                           [](std::uint8_t b) { return b == 0; });
    };
    for (const int decp : {0, 1, 4}) {
        s().decimalsList->setCurrentIndex(decp);
        s().readSensorSettingsButton->click();
        ASSERT_TRUE(waitForReadOut());

        device().clearReceivedRequests();
        s().writeSensorSettingsButton->click();
        ASSERT_TRUE(waitForReadOut());
        outs().writeOutputsButton->click();
        ASSERT_TRUE(waitForReadOut());

        EXPECT_TRUE(sameBytes(sentRecord(link::CMD_SET_SENSOR_SETTINGS), settings::encodeSensorSettingsRequest(sensor)))
            << "Decp " << decp;
        EXPECT_TRUE(sameBytes(sentRecord(link::CMD_SET_IO_SETTINGS), settings::encodeIoSettingsRequest(io)))
            << "Decp " << decp;
        EXPECT_EQ(device().sensorSettings(), sensor) << "Decp " << decp;
        EXPECT_EQ(device().ioSettings(), io) << "Decp " << decp;
    }
    // Only the Ethernet notices were shown.
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                            [](const PromptEvent& e) { return e.kind != PromptEvent::Kind::Information; }),
              0);
}

TEST_F(RoundTrip, RefusedFieldsSendNothingAndTheDeviceKeepsItsSettings)
{
    const auto sensorBefore = device().sensorSettings();
    const auto ioBefore = device().ioSettings();
    device().clearReceivedRequests();

    s().sensors[2].range->setText(QStringLiteral("0"));
    s().writeSensorSettingsButton->click();
    outs().out1.number2->setText(QStringLiteral("2E8"));
    outs().writeOutputsButton->click();
    comm().ipGatewayEdit->setText(QStringLiteral("1.2.3.4.5"));
    comm().writeIoSettingsButton->click();
    s().sumSelectionList->setCurrentIndex(-1);
    s().sensors[2].range->setText(QStringLiteral("10"));
    s().writeSensorSettingsButton->click();

    QCoreApplication::processEvents();
    EXPECT_TRUE(requestCodes().empty());
    EXPECT_EQ(device().sensorSettings(), sensorBefore);
    EXPECT_EQ(device().ioSettings(), ioBefore);
    EXPECT_EQ(events.size(), 3U); // one refusal box per refused write; the unreadable gateway shows none
}

TEST_F(RoundTrip, CalibrationWindowDrivesTheTestLevelAndStoresTheMeasuredValue)
{
    calib.currentRadio->setChecked(true);
    calib.testStartButton->click();
    ASSERT_TRUE(waitUntil([&] { return device().analogOutput().testActive; }));
    EXPECT_EQ(device().analogOutput().channel, 1);
    EXPECT_EQ(device().analogOutput().testLevel, 18.0F);

    calib.currentEdit->setText(QStringLiteral("18.004"));
    calib.calibrateCurrentButton->click();
    ASSERT_TRUE(waitUntil([&] { return device().analogOutput().measured[1] != 0.0F; }));
    EXPECT_EQ(device().analogOutput().measured[1], 18.004F);

    calib.testStopButton->click();
    ASSERT_TRUE(waitUntil([&] { return !device().analogOutput().testActive; }));
    saveScreenshots();
}

} // namespace
