// Settings writes, their checks, factory restores and the analog-output commands.

#include "SimTestSupport.h"

#include "link/Protocol.h"
#include "settings/core/AnalogFrames.h"
#include "sim/FactoryDefaults.h"

#include <cmath>
#include <functional>
#include <limits>

using namespace qmx;
using namespace std::chrono_literals;
using namespace qmx::settings;
using qmx::test::ModelTest;

namespace {

SensorSettings customSensor()
{
    SensorSettings s;
    s.Range = {500, 2000, 100000000, 1};
    s.Sens = {1.5F, 2.5F, 0.1F, 100000000.0F};
    s.SignBits = 0x05;
    s.Filter = 3;
    s.Rate = 6;
    s.Units = 1;
    s.SelTens = 1;
    s.SumOffset = -12.25F;
    s.StabSamplesNo = 200;
    s.StabMaxDiff = 0.0F;
    return s;
}

IoSettings customIo()
{
    IoSettings s = sim::factoryIoSettings();
    s.Baudrate = 4;
    s.Address = 247;
    s.Parity = 2;
    s.IP = {10, 0, 0, 7};
    s.Mask = {255, 0, 0, 0};
    s.Gate = {10, 0, 0, 1};
    s.Out1 = {1, 1, 0, 1, 5, 100.0F, 200.0F};
    s.Out2 = {2, 0, 1, 0, 2, -5.0F, 5.0F};
    s.IndicatorFlags = 0x02;
    return s;
}

} // namespace

class SettingsTest : public ModelTest {
protected:
    std::optional<SensorSettings> readSensor()
    {
        send({link::CMD_GET_SENSOR_SETTINGS});
        return decodeSensorSettings(next());
    }
    std::optional<IoSettings> readIo()
    {
        send({link::CMD_GET_IO_SETTINGS});
        return decodeIoSettings(next());
    }
    /// Sends a write and checks that it is acknowledged with its code alone.
    void write(std::span<const std::uint8_t> frame)
    {
        ASSERT_TRUE(send(frame));
        const auto ack = next();
        ASSERT_EQ(ack.size(), 64u);
        EXPECT_EQ(ack[0], frame[0]);
        EXPECT_TRUE(std::all_of(ack.begin() + 1, ack.end(), [](auto b) { return b == 0; }));
    }
};

TEST_F(SettingsTest, WrittenSensorBlockIsStoredAndReadBack)
{
    write(encodeSensorSettingsRequest(customSensor()));
    EXPECT_EQ(readSensor(), customSensor());
    EXPECT_EQ(model.rejectedWrites(), 0u);
}

TEST_F(SettingsTest, SensorBlocksOutsideTheLimitsAreAcknowledgedButNotStored)
{
    const std::vector<std::pair<const char*, std::function<void(SensorSettings&)>>> cases{
        {"range 0", [](auto& s) { s.Range[1] = 0; }},
        {"range above 1e8", [](auto& s) { s.Range[3] = 100000001; }},
        {"negative range", [](auto& s) { s.Range[0] = -1000; }},
        {"constant 0.09", [](auto& s) { s.Sens[2] = 0.09F; }},
        {"constant NaN", [](auto& s) { s.Sens[0] = std::numeric_limits<float>::quiet_NaN(); }},
        {"filter 8", [](auto& s) { s.Filter = 8; }},
        {"rate 7", [](auto& s) { s.Rate = 7; }},
        {"units 5", [](auto& s) { s.Units = 5; }},
        {"summed channels 4", [](auto& s) { s.SelTens = 4; }},
        {"offset 2e8", [](auto& s) { s.SumOffset = 2e8F; }},
        {"offset infinite", [](auto& s) { s.SumOffset = -std::numeric_limits<float>::infinity(); }},
        {"201 samples", [](auto& s) { s.StabSamplesNo = 201; }},
        {"negative difference", [](auto& s) { s.StabMaxDiff = -1.0F; }},
    };
    std::uint64_t rejected = 0;
    for (const auto& [name, spoil] : cases) {
        SensorSettings s = customSensor();
        spoil(s);
        write(encodeSensorSettingsRequest(s));
        EXPECT_EQ(readSensor(), sim::factorySensorSettings()) << name;
        EXPECT_EQ(model.rejectedWrites(), ++rejected) << name;
    }
}

TEST_F(SettingsTest, SignBitsBeyondTheFourSensorsAreDropped)
{
    SensorSettings s = customSensor();
    s.SignBits = 0xF8;
    write(encodeSensorSettingsRequest(s));
    EXPECT_EQ(readSensor()->SignBits, 0x08);
}

TEST_F(SettingsTest, SensorWriteWithoutItsRecordIsRefused)
{
    write(std::array<std::uint8_t, 1>{link::CMD_SET_SENSOR_SETTINGS});
    EXPECT_EQ(readSensor(), sim::factorySensorSettings());
    EXPECT_EQ(model.rejectedWrites(), 1u);
}

TEST_F(SettingsTest, WrittenIoBlockIsStoredButTheMacStaysTheDevicesOwn)
{
    IoSettings s = customIo();
    s.MAC = {0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x01};
    s.IndicatorFlags = 0xFE;
    write(encodeIoSettingsRequest(s));
    IoSettings expected = customIo();
    expected.IndicatorFlags = 0x02;
    EXPECT_EQ(readIo(), expected);
}

TEST_F(SettingsTest, IoBlocksOutsideTheLimitsAreAcknowledgedButNotStored)
{
    const std::vector<std::pair<const char*, std::function<void(IoSettings&)>>> cases{
        {"baud index 5", [](auto& s) { s.Baudrate = 5; }},
        {"address 0", [](auto& s) { s.Address = 0; }},
        {"address 248", [](auto& s) { s.Address = 248; }},
        {"parity 3", [](auto& s) { s.Parity = 3; }},
        {"condition 3", [](auto& s) { s.Out1.condition = 3; }},
        {"mode 2", [](auto& s) { s.Out2.mode2 = 2; }},
        {"state 2", [](auto& s) { s.Out2.state = 2; }},
        {"source 6", [](auto& s) { s.Out1.Source = 6; }},
        {"threshold 2e8", [](auto& s) { s.Out2.number2 = 2e8F; }},
        {"threshold NaN", [](auto& s) { s.Out1.number1 = std::numeric_limits<float>::quiet_NaN(); }},
    };
    for (const auto& [name, spoil] : cases) {
        IoSettings s = customIo();
        spoil(s);
        write(encodeIoSettingsRequest(s));
        EXPECT_EQ(readIo(), sim::factoryIoSettings()) << name;
    }
    EXPECT_EQ(model.rejectedWrites(), cases.size());
}

TEST_F(SettingsTest, FactorySensorRestoreLeavesTheIoBlockAlone)
{
    model.setSensorSettings(customSensor());
    model.setIoSettings(customIo());
    write(std::array<std::uint8_t, 1>{link::CMD_FACTORY_SENSOR_SETTINGS});
    EXPECT_EQ(readSensor(), sim::factorySensorSettings());
    EXPECT_EQ(readIo(), customIo());
}

TEST_F(SettingsTest, FactoryCommRestoreResetsCommunicationOnlyAndKeepsTheMac)
{
    IoSettings custom = customIo();
    custom.MAC = {0x02, 0, 0, 0, 0, 0x09};
    model.setIoSettings(custom);
    model.setSensorSettings(customSensor());
    write(std::array<std::uint8_t, 1>{link::CMD_FACTORY_COMM_SETTINGS});
    IoSettings expected = sim::factoryIoSettings(custom.MAC);
    expected.Out1 = custom.Out1;
    expected.Out2 = custom.Out2;
    expected.IndicatorFlags = custom.IndicatorFlags;
    EXPECT_EQ(readIo(), expected);
    EXPECT_EQ(readSensor(), customSensor());
}

TEST_F(SettingsTest, FactoryOutputRestoreResetsOutputsOnly)
{
    model.setIoSettings(customIo());
    write(std::array<std::uint8_t, 1>{link::CMD_FACTORY_OUTPUT_SETTINGS});
    IoSettings expected = customIo();
    expected.Out1 = {};
    expected.Out2 = {};
    expected.IndicatorFlags = 0;
    EXPECT_EQ(readIo(), expected);
}

TEST_F(SettingsTest, AnalogTestStartsAndStops)
{
    write(analogTestStartFrame(kAnalogCurrent, true));
    auto state = model.analogOutput();
    EXPECT_TRUE(state.testActive);
    EXPECT_EQ(state.channel, kAnalogCurrent);
    EXPECT_TRUE(state.testFlag);
    EXPECT_FLOAT_EQ(state.testLevel, 18.0F);

    write(analogTestStartFrame(kAnalogVoltage, false));
    state = model.analogOutput();
    EXPECT_EQ(state.channel, kAnalogVoltage);
    EXPECT_FALSE(state.testFlag);
    EXPECT_FLOAT_EQ(state.testLevel, 9.0F);

    write(std::array<std::uint8_t, 1>{link::CMD_ANALOG_TEST_STOP});
    EXPECT_FALSE(model.analogOutput().testActive);
}

TEST_F(SettingsTest, CalibrationStoresAFactorPerRange)
{
    write(analogCalibrateFrame(kAnalogVoltage, 9.012F));
    write(analogCalibrateFrame(kAnalogCurrent, 17.5F));
    const auto state = model.analogOutput();
    EXPECT_FLOAT_EQ(state.measured[0], 9.012F);
    EXPECT_FLOAT_EQ(state.factor[0], 9.0F / 9.012F);
    EXPECT_FLOAT_EQ(state.measured[1], 17.5F);
    EXPECT_FLOAT_EQ(state.factor[1], 18.0F / 17.5F);
}

TEST_F(SettingsTest, UnusableCalibrationValuesAreNotStored)
{
    for (const float bad : {0.0F, -3.0F, std::numeric_limits<float>::quiet_NaN()}) {
        write(analogCalibrateFrame(kAnalogVoltage, bad));
    }
    EXPECT_EQ(model.analogOutput(), sim::AnalogOutputState{});
}
