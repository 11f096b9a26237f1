#pragma once
// Publishes measurements to an MQTT broker without ever holding up the reading of the transducer:
// the reader only adds each measurement to a bounded buffer; a sender thread of its own takes
// them from there while the broker is connected. The status ("online", with "offline" as last
// will), identification and settings go out retained on every connection.

#include "MqttClient.h"
#include "MqttMessages.h"
#include "SampleBuffer.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace qmx::publish {

struct PublisherOptions {
    BrokerOptions broker;
    Topics topics;
    int qos = 1;
    /// One message per second holding that second's measurements, instead of one per measurement.
    bool batch = false;
    std::size_t bufferSamples = kDefaultBufferSamples;
    QString unit;
};

class Publisher {
public:
    explicit Publisher(PublisherOptions options);
    ~Publisher();
    Publisher(const Publisher&) = delete;
    Publisher& operator=(const Publisher&) = delete;

    /// Starts connecting (see MqttClient::start); an error in plain words, or empty.
    QString start();
    /// Adds a measurement to the buffer. Never waits for the broker.
    void enqueue(const Sample& sample);
    /// The retained identification and settings messages; each goes out at once when it differs
    /// from the one sent before, and again on every new connection.
    void setIdentification(const QByteArray& json);
    void setSettings(const QByteArray& json);
    /// Sends what is buffered (waiting at most `timeoutMs` for the broker), sets the status to
    /// "offline" and disconnects. Returns true when every buffered measurement went out.
    bool finish(int timeoutMs);

    bool connected() const { return m_connected.load(); }
    /// Times a connection to the broker was made.
    std::uint64_t connections() const { return m_connections.load(); }
    /// Measurements handed to the broker (QoS 0) or acknowledged by it (QoS 1).
    std::uint64_t published() const { return m_published.load(); }
    std::uint64_t dropped() const { return m_buffer.dropped(); }
    std::size_t buffered() const { return m_buffer.size(); }

private:
    void sendLoop();
    bool sendSamples(const std::vector<Sample>& samples);
    void publishRetained(const QByteArray& topic, const QByteArray& payload);
    void onConnected();
    void onPublished(int messageId);
    /// Wakes whoever waits on m_wake, without a lost wake-up.
    void wake();

    PublisherOptions m_options;
    SampleBuffer m_buffer;
    std::unique_ptr<MqttClient> m_client;
    // Guards the retained payloads and the messages in flight; held by the sender while it hands
    // a message to libmosquitto, never by enqueue().
    std::mutex m_mutex;
    QByteArray m_identification;           // guarded by m_mutex
    QByteArray m_settings;                 // guarded by m_mutex
    std::map<int, std::size_t> m_inFlight; // message id -> measurements in it; guarded by m_mutex
    int m_offlineMessageId = -1;           // guarded by m_mutex
    // Only for waiting and waking: enqueue() takes it for an instant, nobody holds it for long.
    std::mutex m_wakeMutex;
    std::condition_variable m_wake;
    std::atomic<std::size_t> m_inFlightSamples{0};
    std::atomic<bool> m_offlineAcknowledged{false};
    std::atomic<bool> m_draining{false}; ///< finish() began: a batch need not wait for its second to end
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_connected{false};
    std::atomic<std::uint64_t> m_connections{0};
    std::atomic<std::uint64_t> m_published{0};
    std::thread m_sender;
    bool m_finished = false;
};

} // namespace qmx::publish
