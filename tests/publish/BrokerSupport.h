#pragma once
// A real mosquitto broker on a free local port for the tests, stopped when the object goes, and a
// subscriber on libmosquitto that collects what arrives.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

struct mosquitto;
struct mosquitto_message;

namespace qmx::testing {

/// Waits until `done()` holds, checking every few milliseconds; false when `timeoutMs` passed first.
bool waitFor(const std::function<bool()>& done, int timeoutMs = 20000);

class MosquittoBroker {
public:
    /// Picks a free port; `persistent` keeps sessions and queued messages across a restart.
    explicit MosquittoBroker(bool persistent = false);
    ~MosquittoBroker();
    MosquittoBroker(const MosquittoBroker&) = delete;
    MosquittoBroker& operator=(const MosquittoBroker&) = delete;

    /// Adds a second listener on another free port that speaks TLS only, with a certificate for
    /// "localhost" signed by a certificate authority made for the test (openssl); call before
    /// start(). Returns false when the certificates cannot be made.
    bool addTlsListener();
    int tlsPort() const { return m_tlsPort; }
    /// The certificate authority that signed the broker's certificate.
    QString caFile() const { return m_dir.filePath(QStringLiteral("ca.crt")); }

    /// Starts the broker and waits until it accepts connections.
    bool start();
    /// Stops it with SIGTERM (a persistent broker saves its state) and waits for it to end.
    void stop();
    int port() const { return m_port; }
    QString url() const { return QStringLiteral("mqtt://127.0.0.1:%1").arg(m_port); }

private:
    QTemporaryDir m_dir;
    int m_port = 0;
    int m_tlsPort = 0;
    QProcess m_process;
};

struct ReceivedMessage {
    QByteArray topic;
    QByteArray payload;
    bool retained = false;
};

class Subscriber {
public:
    /// Subscribes to `topicFilter` at QoS 1. A named client keeps its session (and the messages
    /// queued for it) across reconnections; it reconnects by itself after the broker restarts.
    Subscriber(int port, const QByteArray& topicFilter, const QByteArray& clientId = {});
    ~Subscriber();
    Subscriber(const Subscriber&) = delete;
    Subscriber& operator=(const Subscriber&) = delete;

    bool waitSubscribed(int timeoutMs = 20000);
    std::vector<ReceivedMessage> messages() const;
    /// Waits until some received message satisfies `match`.
    bool waitForMessage(const std::function<bool(const ReceivedMessage&)>& match, int timeoutMs = 20000) const;
    /// The received messages on `topic`.
    std::vector<ReceivedMessage> on(const QByteArray& topic) const;

private:
    static void onConnect(mosquitto*, void* self, int rc);
    static void onSubscribe(mosquitto*, void* self, int, int, const int*);
    static void onMessage(mosquitto*, void* self, const mosquitto_message* message);

    mosquitto* m_mosq = nullptr;
    QByteArray m_filter;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<ReceivedMessage> m_messages;
    bool m_subscribed = false;
};

} // namespace qmx::testing
