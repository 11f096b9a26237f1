// Values, status, sum, zero and tare, maximum, inputs and outputs of the model's measurement.

#include "SimTestSupport.h"

#include "link/Protocol.h"

#include <cmath>
#include <functional>
#include <set>

using namespace qmx;
using namespace std::chrono_literals;
using link::kStatusConverterError;
using link::kStatusNoSensor;
using link::kStatusOverloaded;
using link::kStatusStable;
using link::kStatusUnstable;
using qmx::test::ModelTest;
using qmx::test::QuietModelTest;

class SignalsTest : public QuietModelTest {
protected:
    void configure(const std::function<void(settings::SensorSettings&)>& change)
    {
        auto s = model.sensorSettings();
        change(s);
        model.setSensorSettings(s);
        settle();
    }
};

TEST_F(SignalsTest, ValuesAreShownInTheChosenUnit)
{
    struct Case {
        std::uint8_t units;
        float expected;
    };
    setLoads(980.665, 0, 0, 0);
    for (const auto& c : {Case{0, 980.665F}, Case{1, 0.980665F}, Case{2, 100000.0F}, Case{3, 100.0F},
                          Case{4, 0.980665F}}) {
        configure([&](auto& s) { s.Units = c.units; });
        EXPECT_NEAR(now().ChannelValue[0], c.expected, std::abs(c.expected) * 1e-5) << int(c.units);
    }
}

TEST_F(SignalsTest, ReportsCarryTheCurrentMeasurement)
{
    setLoads(10, 20, 30, 40);
    send({link::CMD_GET_MEASUREMENT});
    model.advance(10ms);
    link::Measurement m;
    ASSERT_TRUE(link::decodeMeasurement(next(), m));
    EXPECT_EQ(m.ChannelValue, (std::array<float, 4>{10, 20, 30, 40}));
    EXPECT_FLOAT_EQ(m.SumValue, 100.0F);
    EXPECT_EQ(m.ChannelStatus, (std::array<std::uint8_t, 4>{3, 3, 3, 3}));
}

TEST_F(SignalsTest, SumAddsTheSelectedChannelsAndTheOffset)
{
    setLoads(1, 2, 4, 8);
    for (const auto& [selTens, expected] : {std::pair{0, 1.5F}, {1, 3.5F}, {2, 7.5F}, {3, 15.5F}}) {
        configure([&](auto& s) {
            s.SelTens = static_cast<std::uint8_t>(selTens);
            s.SumOffset = 0.5F;
        });
        EXPECT_FLOAT_EQ(now().SumValue, expected) << selTens;
    }
}

TEST_F(SignalsTest, SignBitsInvertTheirSensorsAndTheSum)
{
    setLoads(10, 20, 30, 40);
    configure([](auto& s) { s.SignBits = 0x05; });
    EXPECT_EQ(now().ChannelValue, (std::array<float, 4>{-10, 20, -30, 40}));
    EXPECT_FLOAT_EQ(now().SumValue, 20.0F);
}

TEST_F(SignalsTest, ZeroingASensorTakesItsPresentValueAsZero)
{
    setLoads(100, 200, 0, 0);
    send({link::CMD_ZERO_SENSOR1});
    EXPECT_FLOAT_EQ(now().ChannelValue[0], 0.0F) << "at once, before the next sample";
    EXPECT_FLOAT_EQ(now().ChannelValue[1], 200.0F);
    model.setLoad(0, 150);
    settle();
    EXPECT_FLOAT_EQ(now().ChannelValue[0], 50.0F);
}

TEST_F(SignalsTest, ZeroAllZeroesEverySensor)
{
    setLoads(1, 2, 3, 4);
    send({link::CMD_ZERO_ALL_SENSORS});
    EXPECT_EQ(now().ChannelValue, (std::array<float, 4>{0, 0, 0, 0}));
}

TEST_F(SignalsTest, TareMakesTheSumReadZeroAndFollowsLaterChanges)
{
    setLoads(10, 20, 30, 40);
    configure([](auto& s) { s.SumOffset = 5.0F; });
    EXPECT_FLOAT_EQ(now().SumValue, 105.0F);
    send({link::CMD_TARE_SUM});
    EXPECT_FLOAT_EQ(now().SumValue, 0.0F);
    EXPECT_FLOAT_EQ(now().ChannelValue[0], 10.0F) << "taring the sum leaves the channels alone";
    model.setLoad(0, 20);
    settle();
    EXPECT_FLOAT_EQ(now().SumValue, 10.0F);
}

TEST_F(SignalsTest, FactorySensorRestoreForgetsZeroPointsAndTare)
{
    setLoads(10, 20, 30, 40);
    send({link::CMD_ZERO_SENSOR2});
    send({link::CMD_TARE_SUM});
    send({link::CMD_FACTORY_SENSOR_SETTINGS});
    EXPECT_FLOAT_EQ(now().ChannelValue[1], 20.0F);
    EXPECT_FLOAT_EQ(now().SumValue, 100.0F);
}

TEST_F(SignalsTest, DeviceMaxHoldsTheLargestSumUntilReset)
{
    send({link::CMD_RESET_MIN_MAX}); // forget the automatic loads the model started with
    setLoads(50, 50, 0, 0);
    setLoads(20, 10, 0, 0);
    EXPECT_FLOAT_EQ(now().DeviceMax, 100.0F);
    send({link::CMD_RESET_MIN_MAX});
    EXPECT_FLOAT_EQ(now().DeviceMax, 30.0F);
    setLoads(40, 0, 0, 0);
    EXPECT_FLOAT_EQ(now().DeviceMax, 40.0F);
}

TEST_F(SignalsTest, LoadIsThePercentOfRangeAndSaturates)
{
    configure([](auto& s) { s.Range = {1000, 200, 1000, 1000}; });
    setLoads(250, -50, 700000, 0);
    const auto m = now();
    EXPECT_EQ(m.ChannelLoad[0], 25);
    EXPECT_EQ(m.ChannelLoad[1], 25) << "a negative value loads the sensor as well";
    EXPECT_EQ(m.ChannelLoad[2], 65535);
    EXPECT_EQ(m.ChannelLoad[3], 0);
}

TEST_F(SignalsTest, OverloadIsMoreThanOneAndAHalfRanges)
{
    setLoads(1500, 1501, -1600, 0);
    const auto m = now();
    EXPECT_EQ(m.ChannelStatus[0], kStatusStable);
    EXPECT_EQ(m.ChannelStatus[1], kStatusOverloaded);
    EXPECT_EQ(m.ChannelStatus[2], kStatusOverloaded);
}

TEST_F(SignalsTest, ZeroingDoesNotHideAnOverload)
{
    setLoads(1600, 0, 0, 0);
    send({link::CMD_ZERO_SENSOR1});
    EXPECT_EQ(now().ChannelStatus[0], kStatusOverloaded);
}

TEST_F(SignalsTest, ChangingLoadIsUnstableUntilTheSamplesSettle)
{
    setLoads(100, 100, 0, 0);
    model.setLoad(0, 110);
    model.advance(500ms); // 8 samples at 16 per second: fewer than the 50 examined
    EXPECT_EQ(now().ChannelStatus[0], kStatusUnstable);
    EXPECT_EQ(now().ChannelStatus[1], kStatusStable);
    model.advance(3200ms); // 50 further samples at the new load
    EXPECT_EQ(now().ChannelStatus[0], kStatusStable);
}

TEST_F(SignalsTest, StabilityUsesTheDifferenceInTheChosenUnit)
{
    setLoads(100, 0, 0, 0);
    configure([](auto& s) {
        s.Units = 1;           // kN
        s.StabMaxDiff = 0.02F; // 20 N
    });
    model.setLoad(0, 110);
    model.advance(500ms);
    EXPECT_EQ(now().ChannelStatus[0], kStatusStable) << "10 N is within 0.02 kN";
    model.setLoad(0, 140);
    model.advance(500ms);
    EXPECT_EQ(now().ChannelStatus[0], kStatusUnstable) << "40 N (100 to 140) is not";
}

TEST_F(SignalsTest, NoSamplesExaminedMeansAlwaysStable)
{
    configure([](auto& s) { s.StabSamplesNo = 0; });
    model.setLoad(0, 500);
    model.advance(100ms);
    EXPECT_EQ(now().ChannelStatus[0], kStatusStable);
}

TEST_F(SignalsTest, AbsentSensorReadsZeroAndStaysOutOfTheSum)
{
    setLoads(10, 20, 30, 40);
    model.setChannelPresent(2, false);
    const auto m = now();
    EXPECT_EQ(m.ChannelStatus[2], kStatusNoSensor);
    EXPECT_FLOAT_EQ(m.ChannelValue[2], 0.0F);
    EXPECT_EQ(m.ChannelLoad[2], 0);
    EXPECT_FLOAT_EQ(m.SumValue, 70.0F);
    model.setChannelPresent(2, true);
    EXPECT_EQ(now().ChannelStatus[2], kStatusStable);
}

TEST_F(SignalsTest, ConverterErrorIsReportedAsSuch)
{
    setLoads(10, 20, 30, 40);
    model.setConverterError(1, true);
    EXPECT_EQ(now().ChannelStatus[1], kStatusConverterError);
    EXPECT_FLOAT_EQ(now().ChannelValue[1], 0.0F);
}

TEST_F(SignalsTest, FilterSpreadsAStepOverSeveralSamples)
{
    configure([](auto& s) { s.Filter = 3; }); // 8 samples
    setLoads(0, 0, 0, 0);
    model.setLoad(0, 80);
    model.advance(62500us); // one sample
    const float afterOne = now().ChannelValue[0];
    EXPECT_GT(afterOne, 0.0F);
    EXPECT_LT(afterOne, 80.0F);
    model.advance(10s);
    EXPECT_NEAR(now().ChannelValue[0], 80.0F, 0.01F);
}

TEST_F(SignalsTest, InputsCanBeHeldByTheTest)
{
    model.setInputs(0x02);
    send({link::CMD_GET_MEASUREMENT});
    model.advance(1s);
    for (const auto& p : drain()) {
        ASSERT_EQ(p[1], 0x02);
    }
}

TEST_F(SignalsTest, InputTwoIsASlowSquareWaveOfItsOwn)
{
    model.setAutomaticInputs();
    std::set<std::uint8_t> in2;
    for (int i = 0; i < 8; ++i) {
        model.advance(1s);
        in2.insert(now().InputState & 0x02);
    }
    EXPECT_EQ(in2.size(), 2u);
}

TEST_F(SignalsTest, OutputFollowsItsConditionsOnTheChosenValue)
{
    auto io = model.ioSettings();
    io.Out1 = {0, 1, 0, 1, 1, 50.0F, 0.0F}; // sensor 1 > 50, active
    io.Out2 = {0, 1, 0, 0, 5, 50.0F, 0.0F}; // sum > 50, inverted
    model.setIoSettings(io);
    setLoads(60, 0, 0, 0);
    EXPECT_EQ(now().OutputState, 0x01);
    setLoads(40, 0, 0, 0);
    EXPECT_EQ(now().OutputState, 0x02);
}

TEST_F(SignalsTest, IndicatorFlagsTurnTheOutputsIntoStabilityAndOverloadSignals)
{
    auto io = model.ioSettings();
    io.IndicatorFlags = 0x03;
    io.Out1 = {0, 1, 0, 1, 1, -1e8F, 0.0F}; // would be on by its conditions; the flag wins
    model.setIoSettings(io);
    configure([](auto& s) { s.SelTens = 1; });
    setLoads(10, 10, 0, 0);
    EXPECT_EQ(now().OutputState, 0x01) << "summed channels stable, nothing overloaded";
    model.setLoad(1, 30);
    model.advance(200ms);
    EXPECT_EQ(now().OutputState & 0x01, 0) << "channel 2 unstable";
    model.setLoad(3, 2000);
    settle();
    EXPECT_EQ(now().OutputState, 0x03) << "channel 4 overloaded, even though it is not summed";
}

TEST(SignalModelTest, AutomaticSignalsRepeatWithTheSeedAndStayBelievable)
{
    sim::VirtualTransducer a(7);
    sim::VirtualTransducer b(7);
    sim::VirtualTransducer c(8);
    bool differs = false;
    float lowest = 1e9F;
    float highest = -1e9F;
    for (int i = 0; i < 600; ++i) {
        a.advance(100ms);
        b.advance(100ms);
        c.advance(100ms);
        const auto ma = a.currentMeasurement();
        ASSERT_EQ(ma.ChannelValue, b.currentMeasurement().ChannelValue);
        differs = differs || ma.ChannelValue != c.currentMeasurement().ChannelValue;
        for (const float v : ma.ChannelValue) {
            lowest = std::min(lowest, v);
            highest = std::max(highest, v);
        }
        for (const auto status : ma.ChannelStatus) {
            ASSERT_TRUE(status == kStatusStable || status == kStatusUnstable);
        }
    }
    EXPECT_TRUE(differs);
    EXPECT_GT(lowest, -20.0F);
    EXPECT_LT(highest, 1000.0F);
    EXPECT_GT(highest - lowest, 100.0F) << "loads change over a minute";
}
