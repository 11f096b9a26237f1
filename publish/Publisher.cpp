#include "Publisher.h"

#include <QDateTime>

#include <chrono>

namespace qmx::publish {

namespace {

/// Measurements sent and not yet acknowledged, at most; beyond that they wait in the buffer,
/// where the bound and the dropping of the oldest apply.
constexpr std::size_t kInFlightWindow = 2000;
/// Measurements taken from the buffer at a time when not batching.
constexpr std::size_t kTakeAtOnce = 100;

} // namespace

Publisher::Publisher(PublisherOptions options) : m_options(std::move(options)), m_buffer(m_options.bufferSamples)
{
    MqttClient::Callbacks callbacks;
    callbacks.connected = [this] { onConnected(); };
    callbacks.disconnected = [this] {
        m_connected = false;
        wake();
    };
    callbacks.published = [this](int id) { onPublished(id); };
    m_client = std::make_unique<MqttClient>(m_options.broker, std::move(callbacks));
    m_client->setLastWill(m_options.topics.status(), kStatusOffline);
}

Publisher::~Publisher()
{
    finish(0);
}

QString Publisher::start()
{
    if (QString error = m_client->start(); !error.isEmpty()) {
        return error;
    }
    m_sender = std::thread([this] { sendLoop(); });
    return {};
}

void Publisher::enqueue(const Sample& sample)
{
    m_buffer.push(sample);
    wake();
}

void Publisher::wake()
{
    {
        // Taken only so a waiter cannot miss the wake-up between its check and its wait.
        const std::lock_guard lock(m_wakeMutex);
    }
    m_wake.notify_all();
}

void Publisher::setIdentification(const QByteArray& json)
{
    {
        const std::lock_guard lock(m_mutex);
        if (json == m_identification) {
            return;
        }
        m_identification = json;
    }
    if (m_connected) {
        publishRetained(m_options.topics.identification(), json);
    }
}

void Publisher::setSettings(const QByteArray& json)
{
    {
        const std::lock_guard lock(m_mutex);
        if (json == m_settings) {
            return;
        }
        m_settings = json;
    }
    if (m_connected) {
        publishRetained(m_options.topics.settings(), json);
    }
}

void Publisher::publishRetained(const QByteArray& topic, const QByteArray& payload)
{
    m_client->publish(topic, payload, 1, true);
}

void Publisher::onConnected()
{
    QByteArray identification;
    QByteArray settings;
    {
        const std::lock_guard lock(m_mutex);
        identification = m_identification;
        settings = m_settings;
    }
    publishRetained(m_options.topics.status(), kStatusOnline);
    if (!identification.isEmpty()) {
        publishRetained(m_options.topics.identification(), identification);
    }
    if (!settings.isEmpty()) {
        publishRetained(m_options.topics.settings(), settings);
    }
    ++m_connections;
    m_connected = true;
    wake();
}

void Publisher::onPublished(int messageId)
{
    {
        const std::lock_guard lock(m_mutex);
        if (messageId == m_offlineMessageId) {
            m_offlineAcknowledged = true;
        }
        const auto it = m_inFlight.find(messageId);
        if (it != m_inFlight.end()) {
            m_published += it->second;
            m_inFlightSamples -= it->second;
            m_inFlight.erase(it);
        }
    }
    wake();
}

bool Publisher::sendSamples(const std::vector<Sample>& samples)
{
    const auto send = [&](const QByteArray& topic, const QByteArray& payload, std::size_t count) {
        // The id is recorded under the lock before the acknowledgement can be handled.
        const std::lock_guard lock(m_mutex);
        int id = 0;
        if (!m_client->publish(topic, payload, m_options.qos, false, &id)) {
            return false;
        }
        m_inFlight[id] = count;
        m_inFlightSamples += count;
        return true;
    };
    if (m_options.batch) {
        if (!send(m_options.topics.measurements(), batchJson(samples, m_options.unit), samples.size())) {
            m_buffer.putBack(samples);
            return false;
        }
        return true;
    }
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (!send(m_options.topics.measurement(), measurementJson(samples[i], m_options.unit), 1)) {
            m_buffer.putBack(std::vector<Sample>(samples.begin() + static_cast<std::ptrdiff_t>(i), samples.end()));
            return false;
        }
    }
    return true;
}

void Publisher::sendLoop()
{
    for (;;) {
        bool stopping = false;
        {
            std::unique_lock lock(m_wakeMutex);
            m_wake.wait_for(lock, std::chrono::milliseconds(200), [&] {
                return m_stopping || (m_connected && m_inFlightSamples < kInFlightWindow && m_buffer.size() > 0);
            });
            stopping = m_stopping;
            if (!m_connected || m_inFlightSamples >= kInFlightWindow) {
                if (stopping) {
                    return;
                }
                continue;
            }
        }
        const std::vector<Sample> samples = m_options.batch
                                                ? m_buffer.takeSecond(QDateTime::currentMSecsSinceEpoch(), stopping || m_draining)
                                                : m_buffer.take(kTakeAtOnce);
        if (samples.empty()) {
            if (stopping) {
                return;
            }
            if (m_options.batch) {
                // The second being batched is not over yet: look again a little later rather
                // than at every new measurement.
                std::unique_lock lock(m_wakeMutex);
                m_wake.wait_for(lock, std::chrono::milliseconds(100), [&] { return m_stopping.load(); });
            }
            continue;
        }
        sendSamples(samples);
    }
}

bool Publisher::finish(int timeoutMs)
{
    if (m_finished) {
        return m_buffer.size() == 0;
    }
    m_finished = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    m_draining = true;
    wake();
    {
        // First everything buffered goes out and is acknowledged, as long as the time allows.
        std::unique_lock lock(m_wakeMutex);
        m_wake.wait_until(lock, deadline, [&] { return m_buffer.size() == 0 && m_inFlightSamples == 0; });
        m_stopping = true;
    }
    wake();
    if (m_sender.joinable()) {
        m_sender.join();
    }
    const bool allSent = m_buffer.size() == 0;
    if (m_connected) {
        bool sent = false;
        {
            const std::lock_guard lock(m_mutex); // the id is noted before its acknowledgement is handled
            int id = 0;
            sent = m_client->publish(m_options.topics.status(), kStatusOffline, 1, true, &id);
            m_offlineMessageId = sent ? id : -1;
        }
        if (sent) {
            // A short wait of its own: the goodbye should not be lost to a slow drain.
            std::unique_lock lock(m_wakeMutex);
            m_wake.wait_until(lock, std::max(deadline, std::chrono::steady_clock::now() + std::chrono::seconds(2)),
                              [&] { return m_offlineAcknowledged || !m_connected; });
        }
    }
    m_client->stop();
    return allSent;
}

} // namespace qmx::publish
