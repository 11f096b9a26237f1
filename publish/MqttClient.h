#pragma once
// A connection to an MQTT broker over libmosquitto: made and released with the object, run by
// libmosquitto's own network thread, reconnecting with a growing delay after the broker goes away.
// The callbacks run on that network thread.

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

struct mosquitto;

namespace qmx::publish {

/// Where and how to connect.
struct BrokerOptions {
    QString host;
    int port = 1883;
    bool tls = false;
    QString caFile; ///< with tls: the certificate authorities to trust; empty: the system's
    QString user;   ///< empty: no user name
    QString password;
    int keepAliveSeconds = 30;
    /// Delay before the first reconnection attempt; it doubles up to the maximum.
    int reconnectMinSeconds = 1;
    int reconnectMaxSeconds = 30;
};

/// Where a broker is: "mqtt://HOST[:PORT]" (port 1883) or "mqtts://HOST[:PORT]" (TLS, port 8883).
struct BrokerAddress {
    QString host;
    int port = 1883;
    bool tls = false;
};
/// Reads a broker address; nothing when it is not one of the forms above.
std::optional<BrokerAddress> parseBrokerUrl(const QString& url);

class MqttClient {
public:
    struct Callbacks {
        std::function<void()> connected;
        std::function<void()> disconnected;
        /// A message was handed to the broker (QoS 0) or acknowledged by it (QoS 1).
        std::function<void(int messageId)> published;
    };

    MqttClient(BrokerOptions options, Callbacks callbacks);
    ~MqttClient();
    MqttClient(const MqttClient&) = delete;
    MqttClient& operator=(const MqttClient&) = delete;

    /// The message the broker publishes for this client when the connection breaks without a
    /// proper goodbye (retained, QoS 1). Set before start().
    void setLastWill(const QByteArray& topic, const QByteArray& payload);
    /// Sets up TLS and credentials, starts the network thread and the first connection attempt;
    /// a broker that is not there yet is tried again with the back-off. Returns an error in plain
    /// words when the options cannot be used (an unreadable CA file), else an empty string.
    QString start();
    /// Queues a message; `messageId` receives its id. Returns false when it was not taken (no
    /// connection for QoS 0, or another error).
    bool publish(const QByteArray& topic, const QByteArray& payload, int qos, bool retain, int* messageId = nullptr);
    /// Says goodbye to the broker (no last will) and stops the network thread.
    void stop();

private:
    static void onConnect(mosquitto*, void* self, int rc);
    static void onDisconnect(mosquitto*, void* self, int rc);
    static void onPublish(mosquitto*, void* self, int mid);

    BrokerOptions m_options;
    Callbacks m_callbacks;
    mosquitto* m_mosq = nullptr;
    bool m_started = false;
};

} // namespace qmx::publish
