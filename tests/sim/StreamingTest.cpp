// The measurement stream over simulated time: its rate, its keep-alive after each poll, and its
// independence of the sensors' sample rate.

#include "SimTestSupport.h"

#include "link/Protocol.h"

#include <set>

using namespace qmx;
using namespace std::chrono_literals;
using qmx::test::ModelTest;

class StreamingTest : public ModelTest {
protected:
    /// Reports taken from the queue, checking each is a whole measurement report.
    std::size_t takeMeasurements()
    {
        std::size_t count = 0;
        for (auto p = next(); !p.empty(); p = next()) {
            EXPECT_EQ(p.size(), 64u);
            EXPECT_EQ(p[0], link::CMD_GET_MEASUREMENT);
            ++count;
        }
        return count;
    }
};

TEST_F(StreamingTest, PollEverySecondKeepsTheStreamUnbrokenForTenMinutes)
{
    std::size_t received = 0;
    for (int second = 0; second < 600; ++second) {
        send({link::CMD_GET_MEASUREMENT});
        model.advance(1s);
        received += takeMeasurements();
    }
    EXPECT_EQ(received, 60000u);
    EXPECT_EQ(model.measurementReportsQueued(), 60000u);
    EXPECT_EQ(model.overflowedInputReports(), 0u);
}

TEST_F(StreamingTest, StreamEndsTwoSecondsAfterTheLastPoll)
{
    send({link::CMD_GET_MEASUREMENT});
    model.advance(1500ms);
    EXPECT_TRUE(model.streaming());
    EXPECT_EQ(takeMeasurements(), 150u);
    model.advance(10s);
    EXPECT_EQ(takeMeasurements(), 50u);
    EXPECT_FALSE(model.streaming());
}

TEST_F(StreamingTest, NothingIsStreamedWithoutAPoll)
{
    model.advance(30s);
    EXPECT_EQ(takeMeasurements(), 0u);
    EXPECT_EQ(model.measurementReportsQueued(), 0u);
}

TEST_F(StreamingTest, PollAfterTheStreamEndedStartsItAgain)
{
    send({link::CMD_GET_MEASUREMENT});
    model.advance(5s);
    EXPECT_EQ(takeMeasurements(), 200u);
    send({link::CMD_GET_MEASUREMENT});
    model.advance(1s);
    EXPECT_EQ(takeMeasurements(), 100u);
}

TEST_F(StreamingTest, ConfiguredRateOfAThousandPerSecondIsKept)
{
    model.setStreamRate(1000.0);
    for (int second = 0; second < 5; ++second) {
        send({link::CMD_GET_MEASUREMENT});
        model.advance(1s);
        EXPECT_EQ(takeMeasurements(), 1000u) << "second " << second;
    }
}

TEST_F(StreamingTest, ImpossibleRatesAreRefused)
{
    for (const double rate : {0.0, -5.0, 20000.0, std::numeric_limits<double>::quiet_NaN()}) {
        model.setStreamRate(rate);
        EXPECT_EQ(model.streamRate(), 100.0) << rate;
    }
}

TEST_F(StreamingTest, SensorRateChangesSamplesButNotTheReportRate)
{
    auto s = model.sensorSettings();
    s.Rate = 0; // 4 samples per second
    model.setSensorSettings(s);
    send({link::CMD_GET_MEASUREMENT});
    model.advance(1s);
    std::set<float> values;
    std::size_t reports = 0;
    for (auto p = next(); !p.empty(); p = next()) {
        link::Measurement m;
        ASSERT_TRUE(link::decodeMeasurement(p, m));
        values.insert(m.ChannelValue[0]);
        ++reports;
    }
    EXPECT_EQ(reports, 100u);
    EXPECT_LE(values.size(), 5u) << "the value changes only with each of the 4 samples a second";
    EXPECT_GE(values.size(), 3u);
}

TEST_F(StreamingTest, FullQueueLosesTheNewestReports)
{
    model.setInputQueueCapacity(50);
    send({link::CMD_GET_MEASUREMENT});
    model.advance(1s);
    EXPECT_EQ(model.pendingInputReports(), 50u);
    EXPECT_EQ(model.overflowedInputReports(), 50u);
    EXPECT_EQ(model.measurementReportsQueued(), 50u);
}
