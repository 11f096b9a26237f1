#include "MqttClient.h"

#include <QUrl>

#include <mosquitto.h>

#include <mutex>

namespace qmx::publish {

namespace {

void initLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

QString errorText(int rc)
{
    return QString::fromUtf8(mosquitto_strerror(rc));
}

} // namespace

std::optional<BrokerAddress> parseBrokerUrl(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || !url.userInfo().isEmpty() || !(url.path().isEmpty() || url.path() == QLatin1String("/")) ||
        url.hasQuery() || url.hasFragment()) {
        return std::nullopt;
    }
    BrokerAddress a;
    if (url.scheme() == QLatin1String("mqtt")) {
        a.port = 1883;
    } else if (url.scheme() == QLatin1String("mqtts")) {
        a.tls = true;
        a.port = 8883;
    } else {
        return std::nullopt;
    }
    a.host = url.host();
    if (url.port() == 0) {
        return std::nullopt;
    }
    if (url.port() > 0) {
        a.port = url.port();
    }
    return a;
}

MqttClient::MqttClient(BrokerOptions options, Callbacks callbacks)
    : m_options(std::move(options)), m_callbacks(std::move(callbacks))
{
    initLibrary();
    // A fresh session each time: the broker assigns the client id.
    m_mosq = mosquitto_new(nullptr, true, this);
    if (m_mosq) {
        mosquitto_connect_callback_set(m_mosq, &MqttClient::onConnect);
        mosquitto_disconnect_callback_set(m_mosq, &MqttClient::onDisconnect);
        mosquitto_publish_callback_set(m_mosq, &MqttClient::onPublish);
        mosquitto_reconnect_delay_set(m_mosq, static_cast<unsigned>(m_options.reconnectMinSeconds),
                                      static_cast<unsigned>(m_options.reconnectMaxSeconds), true);
        // Up to this many QoS 1 messages travel unacknowledged; more wait in libmosquitto's queue.
        mosquitto_max_inflight_messages_set(m_mosq, 200);
    }
}

MqttClient::~MqttClient()
{
    stop();
    if (m_mosq) {
        mosquitto_destroy(m_mosq);
    }
}

void MqttClient::setLastWill(const QByteArray& topic, const QByteArray& payload)
{
    if (m_mosq) {
        mosquitto_will_set(m_mosq, topic.constData(), static_cast<int>(payload.size()), payload.constData(), 1, true);
    }
}

QString MqttClient::start()
{
    if (!m_mosq) {
        return QStringLiteral("cannot make an MQTT client");
    }
    if (m_options.tls) {
        const QByteArray caFile = m_options.caFile.toLocal8Bit();
        const int rc = mosquitto_tls_set(m_mosq, caFile.isEmpty() ? nullptr : caFile.constData(),
                                         caFile.isEmpty() ? "/etc/ssl/certs" : nullptr, nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            return QStringLiteral("cannot use the CA file %1: %2").arg(m_options.caFile, errorText(rc));
        }
    }
    if (!m_options.user.isEmpty()) {
        const QByteArray user = m_options.user.toUtf8();
        const QByteArray password = m_options.password.toUtf8();
        mosquitto_username_pw_set(m_mosq, user.constData(), m_options.password.isEmpty() ? nullptr : password.constData());
    }
    const QByteArray host = m_options.host.toUtf8();
    // A broker that is not there yet is not an error: the network thread keeps trying.
    mosquitto_connect_async(m_mosq, host.constData(), m_options.port, m_options.keepAliveSeconds);
    const int rc = mosquitto_loop_start(m_mosq);
    if (rc != MOSQ_ERR_SUCCESS) {
        return QStringLiteral("cannot start the MQTT network thread: %1").arg(errorText(rc));
    }
    m_started = true;
    return {};
}

bool MqttClient::publish(const QByteArray& topic, const QByteArray& payload, int qos, bool retain, int* messageId)
{
    if (!m_mosq) {
        return false;
    }
    const int rc = mosquitto_publish(m_mosq, messageId, topic.constData(), static_cast<int>(payload.size()), payload.constData(), qos, retain);
    return rc == MOSQ_ERR_SUCCESS;
}

void MqttClient::stop()
{
    if (m_started) {
        m_started = false;
        mosquitto_disconnect(m_mosq);
        // The disconnect wakes the network thread from a reconnection delay too, so it ends soon.
        mosquitto_loop_stop(m_mosq, false);
    }
}

void MqttClient::onConnect(mosquitto*, void* self, int rc)
{
    auto* client = static_cast<MqttClient*>(self);
    if (rc == 0 && client->m_callbacks.connected) {
        client->m_callbacks.connected();
    }
}

void MqttClient::onDisconnect(mosquitto*, void* self, int)
{
    auto* client = static_cast<MqttClient*>(self);
    if (client->m_callbacks.disconnected) {
        client->m_callbacks.disconnected();
    }
}

void MqttClient::onPublish(mosquitto*, void* self, int mid)
{
    auto* client = static_cast<MqttClient*>(self);
    if (client->m_callbacks.published) {
        client->m_callbacks.published(mid);
    }
}

} // namespace qmx::publish
