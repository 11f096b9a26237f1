// The MQTT messages as pure functions: times, measurement and batch JSON, identification and
// settings, topic prefixes and broker addresses; and the bounded sample buffer.

#include "publish/MqttClient.h"
#include "publish/MqttMessages.h"
#include "publish/SampleBuffer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <limits>

using namespace qmx;
using namespace qmx::publish;

namespace {

Sample sampleAt(std::uint64_t seq, qint64 ms)
{
    Sample s;
    s.sequence = seq;
    s.msSinceEpoch = ms;
    return s;
}

QJsonObject parseObject(const QByteArray& json)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << json.constData();
    return doc.object();
}

} // namespace

TEST(MqttMessages, IsoTimeHasMillisecondsAndTheOffset)
{
    struct Case {
        qint64 ms;
        int offset;
        const char* expected;
    };
    // 2026-12-10T19:20:01.007Z
    const qint64 t = 1796930401007;
    for (const Case& c : {Case{t, 0, "2026-12-10T19:20:01.007+00:00"}, Case{t, 3600, "2026-12-10T20:20:01.007+01:00"},
                          Case{t, -12600, "2026-12-10T15:50:01.007-03:30"}, Case{t + 993, 20700, "2026-12-11T01:05:02.000+05:45"}}) {
        EXPECT_EQ(isoTime(c.ms, c.offset).toStdString(), c.expected);
    }
}

TEST(MqttMessages, MeasurementCarriesEveryValueStatusAndBit)
{
    Sample s = sampleAt(42, 1796930401007);
    s.utcOffsetSeconds = 3600;
    s.measurement.SumValue = 983.0081F;
    s.measurement.ChannelValue = {321.85F, -2.25F, std::numeric_limits<float>::quiet_NaN(), 7.0F};
    s.measurement.ChannelStatus = {3, 2, 1, 4};
    s.measurement.InputState = 2;
    s.measurement.OutputState = 1;
    const QJsonObject o = parseObject(measurementJson(s, QStringLiteral("kN")));
    EXPECT_EQ(o.value("seq").toInteger(), 42);
    EXPECT_EQ(o.value("time").toString(), QStringLiteral("2026-12-10T20:20:01.007+01:00"));
    EXPECT_EQ(o.value("unit").toString(), QStringLiteral("kN"));
    EXPECT_FLOAT_EQ(static_cast<float>(o.value("sum").toDouble()), 983.0081F);
    EXPECT_FLOAT_EQ(static_cast<float>(o.value("s1").toDouble()), 321.85F);
    EXPECT_DOUBLE_EQ(o.value("s2").toDouble(), -2.25);
    EXPECT_TRUE(o.value("s3").isNull());
    EXPECT_DOUBLE_EQ(o.value("s4").toDouble(), 7.0);
    EXPECT_EQ(o.value("status1").toInt(), 3);
    EXPECT_EQ(o.value("status2").toInt(), 2);
    EXPECT_EQ(o.value("status3").toInt(), 1);
    EXPECT_EQ(o.value("status4").toInt(), 4);
    EXPECT_EQ(o.value("in1").toInt(), 0);
    EXPECT_EQ(o.value("in2").toInt(), 1);
    EXPECT_EQ(o.value("out1").toInt(), 1);
    EXPECT_EQ(o.value("out2").toInt(), 0);
    EXPECT_FALSE(parseObject(measurementJson(s, {})).contains("unit"));
}

TEST(MqttMessages, BatchIsAnArrayOfTheMeasurementsInOrder)
{
    const std::vector<Sample> samples{sampleAt(7, 1000), sampleAt(8, 1010), sampleAt(9, 1020)};
    const QJsonDocument doc = QJsonDocument::fromJson(batchJson(samples, QStringLiteral("N")));
    ASSERT_TRUE(doc.isArray());
    ASSERT_EQ(doc.array().size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(doc.array().at(i).toObject().value("seq").toInteger(), 7 + i);
    }
    EXPECT_EQ(batchJson({}, {}), QByteArray("[]"));
}

TEST(MqttMessages, IdentificationAndSettingsAreJsonWithEscapedTexts)
{
    const QJsonObject id = parseObject(identificationJson(QStringLiteral("1.05"), QStringLiteral("stand \"A\"\\1"),
                                                          QStringLiteral("Połączono"), QStringLiteral("bench"), QStringLiteral("qmx80net-cli 1.01")));
    EXPECT_EQ(id.value("device").toString(), QStringLiteral("QMX80NET"));
    EXPECT_EQ(id.value("firmware").toString(), QStringLiteral("1.05"));
    EXPECT_EQ(id.value("description").toString(), QStringLiteral("stand \"A\"\\1"));
    EXPECT_EQ(id.value("connection").toString(), QStringLiteral("Połączono"));
    const QJsonObject settings = parseObject(settingsJson({QStringLiteral("Units\tkN"), QStringLiteral("Filter\t4\t2"), QStringLiteral("Bare")}));
    EXPECT_EQ(settings.value("Units").toString(), QStringLiteral("kN"));
    EXPECT_EQ(settings.value("Filter").toString(), QStringLiteral("4\t2"));
    EXPECT_EQ(settings.value("Bare").toString(), QString());
}

TEST(MqttMessages, TopicPrefixes)
{
    EXPECT_EQ(defaultTopicPrefix(QStringLiteral("line-3.bench_2")), QStringLiteral("qmx80net/line-3.bench_2"));
    EXPECT_EQ(defaultTopicPrefix(QStringLiteral("a b/c#+")), QStringLiteral("qmx80net/a_b_c__"));
    EXPECT_EQ(defaultTopicPrefix({}), QStringLiteral("qmx80net/unknown-host"));
    struct Case {
        const char* prefix;
        bool valid;
    };
    for (const Case& c : {Case{"plant/line3/stand2", true}, Case{"x", true}, Case{"", false}, Case{"/a", false},
                          Case{"a/", false}, Case{"a/+/b", false}, Case{"a/#", false}}) {
        EXPECT_EQ(isValidTopicPrefix(QString::fromUtf8(c.prefix)), c.valid) << c.prefix;
    }
    const Topics t{QStringLiteral("p/q")};
    EXPECT_EQ(t.status(), QByteArray("p/q/status"));
    EXPECT_EQ(t.measurements(), QByteArray("p/q/measurements"));
}

TEST(MqttMessages, BrokerAddresses)
{
    struct Case {
        const char* url;
        bool ok;
        const char* host;
        int port;
        bool tls;
    };
    for (const Case& c : {Case{"mqtt://broker.plant", true, "broker.plant", 1883, false},
                          Case{"mqtt://127.0.0.1:18830", true, "127.0.0.1", 18830, false},
                          Case{"mqtts://broker", true, "broker", 8883, true},
                          Case{"mqtts://broker:9999/", true, "broker", 9999, true},
                          Case{"mqtt://[::1]:1884", true, "::1", 1884, false},
                          Case{"http://broker", false, "", 0, false}, Case{"broker:1883", false, "", 0, false},
                          Case{"mqtt://", false, "", 0, false}, Case{"mqtt://user:pw@broker", false, "", 0, false},
                          Case{"mqtt://broker/topic", false, "", 0, false}, Case{"mqtt://broker:0", false, "", 0, false},
                          Case{"mqtt://broker:99999", false, "", 0, false}}) {
        const auto a = parseBrokerUrl(QString::fromUtf8(c.url));
        ASSERT_EQ(a.has_value(), c.ok) << c.url;
        if (a) {
            EXPECT_EQ(a->host.toStdString(), c.host);
            EXPECT_EQ(a->port, c.port);
            EXPECT_EQ(a->tls, c.tls);
        }
    }
}

TEST(SampleBuffer, FullBufferDropsTheOldestAndCountsThem)
{
    SampleBuffer buffer(3);
    for (std::uint64_t i = 0; i < 8; ++i) {
        buffer.push(sampleAt(i, 0));
    }
    EXPECT_EQ(buffer.dropped(), 5U);
    const auto taken = buffer.take(10);
    ASSERT_EQ(taken.size(), 3U);
    EXPECT_EQ(taken.front().sequence, 5U);
    EXPECT_EQ(taken.back().sequence, 7U);
}

TEST(SampleBuffer, PutBackKeepsOrderAndNewerSamples)
{
    SampleBuffer buffer(4);
    buffer.push(sampleAt(0, 0));
    buffer.push(sampleAt(1, 0));
    buffer.push(sampleAt(2, 0));
    auto taken = buffer.take(3);
    buffer.push(sampleAt(3, 0));
    buffer.push(sampleAt(4, 0));
    buffer.putBack(taken); // room for two: the oldest one gives way
    EXPECT_EQ(buffer.dropped(), 1U);
    std::vector<std::uint64_t> order;
    for (const Sample& s : buffer.take(10)) {
        order.push_back(s.sequence);
    }
    EXPECT_EQ(order, (std::vector<std::uint64_t>{1, 2, 3, 4}));
}

TEST(SampleBuffer, TakeSecondWaitsUntilTheSecondIsOver)
{
    SampleBuffer buffer;
    buffer.push(sampleAt(0, 5000));
    buffer.push(sampleAt(1, 5990));
    EXPECT_TRUE(buffer.takeSecond(5995, false).empty());
    EXPECT_EQ(buffer.takeSecond(6600, false).size(), 2U); // half a second past its end
    buffer.push(sampleAt(2, 7000));
    buffer.push(sampleAt(3, 7500));
    buffer.push(sampleAt(4, 8000));
    const auto second = buffer.takeSecond(8001, false); // a later second has begun
    ASSERT_EQ(second.size(), 2U);
    EXPECT_EQ(second.back().sequence, 3U);
    EXPECT_TRUE(buffer.takeSecond(8001, false).empty());
    EXPECT_EQ(buffer.takeSecond(8001, true).size(), 1U);
}

TEST(RateLimiter, LetsThroughAtMostTheRateWithoutDrift)
{
    struct Case {
        double perSecond;
        qint64 stepMs;   ///< between measurements
        int measurements;
        int admitted;
    };
    for (const Case& c : {Case{10, 10, 1000, 100},   // 100/s thinned to 10/s for 10 s
                          Case{10, 1, 10000, 100},   // 1000/s thinned to 10/s
                          Case{3, 10, 1000, 30},     // a period (333.3 ms) that is no whole number of steps
                          Case{1000, 10, 100, 100},  // a rate above the measurements' lets all through
                          Case{0.5, 100, 100, 5}}) { // one every two seconds
        RateLimiter limiter(c.perSecond);
        int admitted = 0;
        for (int i = 0; i < c.measurements; ++i) {
            admitted += limiter.admit(1'000'000 + i * c.stepMs) ? 1 : 0;
        }
        EXPECT_EQ(admitted, c.admitted) << c.perSecond << "/s, every " << c.stepMs << " ms";
    }
    // After a pause the grid starts again from the next measurement, without a burst.
    RateLimiter limiter(10);
    EXPECT_TRUE(limiter.admit(0));
    EXPECT_TRUE(limiter.admit(60'000));
    EXPECT_FALSE(limiter.admit(60'050));
    EXPECT_TRUE(limiter.admit(60'100));
}
