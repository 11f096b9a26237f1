// The publisher against a real mosquitto broker: retained status, identification and settings,
// measurements in order, no measurement lost across a broker restart within the buffer, and a full
// buffer dropping the oldest with a count.

#include "BrokerSupport.h"

#include "publish/Publisher.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <set>

using namespace qmx;
using namespace qmx::publish;
using qmx::testing::MosquittoBroker;
using qmx::testing::ReceivedMessage;
using qmx::testing::Subscriber;
using qmx::testing::waitFor;

namespace {

PublisherOptions optionsFor(const MosquittoBroker& broker, const QString& prefix)
{
    PublisherOptions o;
    o.broker.host = QStringLiteral("127.0.0.1");
    o.broker.port = broker.port();
    o.broker.reconnectMinSeconds = 1;
    o.broker.reconnectMaxSeconds = 1;
    o.topics.prefix = prefix;
    o.unit = QStringLiteral("kN");
    return o;
}

Sample sample(std::uint64_t seq)
{
    Sample s = stampSample(seq, {});
    s.measurement.SumValue = static_cast<float>(seq);
    return s;
}

/// The sequence numbers of the measurement messages received (batches unpacked).
std::set<qint64> sequences(const Subscriber& sub, const QByteArray& topic)
{
    std::set<qint64> seqs;
    for (const ReceivedMessage& m : sub.on(topic)) {
        const QJsonDocument doc = QJsonDocument::fromJson(m.payload);
        if (doc.isArray()) {
            for (const auto& v : doc.array()) {
                seqs.insert(v.toObject().value("seq").toInteger(-1));
            }
        } else {
            seqs.insert(doc.object().value("seq").toInteger(-1));
        }
    }
    return seqs;
}

std::set<qint64> range(qint64 from, qint64 to)
{
    std::set<qint64> r;
    for (qint64 i = from; i < to; ++i) {
        r.insert(i);
    }
    return r;
}

} // namespace

TEST(PublisherBroker, RetainedMessagesAndMeasurementsInOrder)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.start());
    Publisher publisher(optionsFor(broker, QStringLiteral("t/retained")));
    publisher.setIdentification(R"({"device":"QMX80NET"})");
    publisher.setSettings(R"({"Units":"kN"})");
    ASSERT_TRUE(publisher.start().isEmpty());
    for (std::uint64_t i = 0; i < 50; ++i) {
        publisher.enqueue(sample(i));
    }
    ASSERT_TRUE(waitFor([&] { return publisher.published() == 50; }));

    // A subscriber that comes later gets the retained messages with the retain flag.
    Subscriber late(broker.port(), "t/retained/#");
    ASSERT_TRUE(late.waitForMessage([](const ReceivedMessage& m) { return m.topic == "t/retained/settings"; }));
    ASSERT_TRUE(late.waitForMessage([](const ReceivedMessage& m) { return m.topic == "t/retained/identification"; }));
    ASSERT_TRUE(late.waitForMessage([](const ReceivedMessage& m) { return m.topic == "t/retained/status"; }));
    EXPECT_EQ(late.on("t/retained/status").front().payload, QByteArray("online"));
    for (const char* topic : {"t/retained/status", "t/retained/identification", "t/retained/settings"}) {
        EXPECT_TRUE(late.on(topic).front().retained) << topic;
    }
    EXPECT_EQ(late.on("t/retained/settings").front().payload, QByteArray(R"({"Units":"kN"})"));
    EXPECT_TRUE(late.on("t/retained/measurement").empty()); // measurements are not retained

    // Changed settings go out again at once; unchanged ones do not.
    publisher.setSettings(R"({"Units":"kN"})");
    publisher.setSettings(R"({"Units":"N"})");
    ASSERT_TRUE(late.waitForMessage([](const ReceivedMessage& m) { return m.payload == R"({"Units":"N"})"; }));
    EXPECT_EQ(late.on("t/retained/settings").size(), 2U);

    // Measurements arrive in order with their content.
    Subscriber sub(broker.port(), "t/retained/measurement");
    ASSERT_TRUE(sub.waitSubscribed());
    for (std::uint64_t i = 50; i < 60; ++i) {
        publisher.enqueue(sample(i));
    }
    ASSERT_TRUE(waitFor([&] { return sub.on("t/retained/measurement").size() == 10; }));
    const auto received = sub.on("t/retained/measurement");
    for (std::size_t i = 0; i < received.size(); ++i) {
        const QJsonObject o = QJsonDocument::fromJson(received[i].payload).object();
        EXPECT_EQ(o.value("seq").toInteger(), static_cast<qint64>(50 + i));
        EXPECT_EQ(o.value("sum").toDouble(), static_cast<double>(50 + i));
        EXPECT_EQ(o.value("unit").toString(), QStringLiteral("kN"));
        EXPECT_FALSE(received[i].retained);
    }

    // A clean end says "offline", retained.
    EXPECT_TRUE(publisher.finish(10000));
    Subscriber after(broker.port(), "t/retained/status");
    ASSERT_TRUE(after.waitForMessage([](const ReceivedMessage& m) { return m.retained; }));
    EXPECT_EQ(after.on("t/retained/status").front().payload, QByteArray("offline"));
}

TEST(PublisherBroker, BatchesHoldOneSecondEach)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.start());
    Subscriber sub(broker.port(), "t/batch/measurements");
    ASSERT_TRUE(sub.waitSubscribed());
    auto options = optionsFor(broker, QStringLiteral("t/batch"));
    options.batch = true;
    Publisher publisher(options);
    // Three seconds' worth, stamped in the past: each second is complete.
    const qint64 start = (QDateTime::currentMSecsSinceEpoch() / 1000 - 10) * 1000;
    for (std::uint64_t i = 0; i < 30; ++i) {
        Sample s = sample(i);
        s.msSinceEpoch = start + static_cast<qint64>(i) * 100;
        publisher.enqueue(s);
    }
    ASSERT_TRUE(publisher.start().isEmpty());
    ASSERT_TRUE(waitFor([&] { return sub.on("t/batch/measurements").size() == 3; }));
    for (const ReceivedMessage& m : sub.on("t/batch/measurements")) {
        EXPECT_EQ(QJsonDocument::fromJson(m.payload).array().size(), 10);
    }
    EXPECT_EQ(sequences(sub, "t/batch/measurements"), range(0, 30));
}

TEST(PublisherBroker, NoMeasurementLostAcrossABrokerRestart)
{
    MosquittoBroker broker(/*persistent=*/true);
    ASSERT_TRUE(broker.start());
    // A named subscriber: the restarted broker keeps its subscription and queues for it.
    Subscriber sub(broker.port(), "t/restart/measurement", "restart-subscriber");
    ASSERT_TRUE(sub.waitSubscribed());
    Publisher publisher(optionsFor(broker, QStringLiteral("t/restart")));
    ASSERT_TRUE(publisher.start().isEmpty());
    std::uint64_t seq = 0;
    for (; seq < 100; ++seq) {
        publisher.enqueue(sample(seq));
    }
    ASSERT_TRUE(waitFor([&] { return sequences(sub, "t/restart/measurement").size() == 100; }));

    broker.stop();
    ASSERT_TRUE(waitFor([&] { return !publisher.connected(); }));
    for (; seq < 300; ++seq) { // while the broker is away
        publisher.enqueue(sample(seq));
    }
    EXPECT_EQ(publisher.buffered(), 200U); // nothing goes out without a broker
    ASSERT_TRUE(broker.start());
    ASSERT_TRUE(waitFor([&] { return publisher.connections() >= 2; }, 30000));
    for (; seq < 350; ++seq) {
        publisher.enqueue(sample(seq));
    }
    ASSERT_TRUE(waitFor([&] { return sequences(sub, "t/restart/measurement").size() == 350; }, 30000))
        << sequences(sub, "t/restart/measurement").size();
    EXPECT_EQ(sequences(sub, "t/restart/measurement"), range(0, 350));
    EXPECT_EQ(publisher.dropped(), 0U);
}

TEST(PublisherBroker, FullBufferDropsTheOldestAndCountsThem)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.start());
    Subscriber sub(broker.port(), "t/full/measurement");
    ASSERT_TRUE(sub.waitSubscribed());
    auto options = optionsFor(broker, QStringLiteral("t/full"));
    options.bufferSamples = 10;
    Publisher publisher(options);
    // Not connected yet: 25 measurements into room for 10.
    for (std::uint64_t i = 0; i < 25; ++i) {
        publisher.enqueue(sample(i));
    }
    EXPECT_EQ(publisher.dropped(), 15U);
    ASSERT_TRUE(publisher.start().isEmpty());
    ASSERT_TRUE(waitFor([&] { return publisher.published() == 10; }));
    ASSERT_TRUE(waitFor([&] { return sub.on("t/full/measurement").size() == 10; }));
    EXPECT_EQ(sequences(sub, "t/full/measurement"), range(15, 25));
}

TEST(PublisherBroker, QosZeroPublishesToo)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.start());
    Subscriber sub(broker.port(), "t/qos0/measurement");
    ASSERT_TRUE(sub.waitSubscribed());
    auto options = optionsFor(broker, QStringLiteral("t/qos0"));
    options.qos = 0;
    Publisher publisher(options);
    ASSERT_TRUE(publisher.start().isEmpty());
    ASSERT_TRUE(waitFor([&] { return publisher.connected(); }));
    for (std::uint64_t i = 0; i < 20; ++i) {
        publisher.enqueue(sample(i));
    }
    ASSERT_TRUE(waitFor([&] { return sub.on("t/qos0/measurement").size() == 20; }));
    EXPECT_EQ(sequences(sub, "t/qos0/measurement"), range(0, 20));
    EXPECT_TRUE(waitFor([&] { return publisher.published() == 20; }));
}
