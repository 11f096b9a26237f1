#include "BrokerSupport.h"

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>

#include <mosquitto.h>

#include <chrono>

#include <pwd.h>
#include <unistd.h>
#include <thread>

namespace qmx::testing {

bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

namespace {

/// A port the system just handed out is free; the broker takes it a moment later.
int freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

MosquittoBroker::MosquittoBroker(bool persistent)
{
    m_port = freePort();
    QFile config(m_dir.filePath(QStringLiteral("mosquitto.conf")));
    if (config.open(QIODevice::WriteOnly)) {
        // The broker keeps the tests' user: started as root it would otherwise become "mosquitto"
        // and could read neither the test's key files nor write its persistence folder.
        const passwd* user = ::getpwuid(::geteuid());
        QByteArray text = user ? "user " + QByteArray(user->pw_name) + '\n' : QByteArray();
        text += "listener " + QByteArray::number(m_port) + " 127.0.0.1\nallow_anonymous true\n";
        text += persistent ? "persistence true\npersistence_location " + m_dir.path().toUtf8() + "/\n" : "persistence false\n";
        config.write(text);
    }
    // The broker's log stays in the temporary folder, for a look when a test fails.
    m_process.setStandardOutputFile(m_dir.filePath(QStringLiteral("mosquitto.log")));
    m_process.setStandardErrorFile(m_dir.filePath(QStringLiteral("mosquitto.log")), QIODevice::Append);
}

MosquittoBroker::~MosquittoBroker()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
}

bool MosquittoBroker::addTlsListener()
{
    const auto run = [this](const QStringList& args) {
        QProcess p;
        p.setWorkingDirectory(m_dir.path());
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
        p.start(QStringLiteral("openssl"), args);
        return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    };
    QFile extensions(m_dir.filePath(QStringLiteral("san.ext")));
    if (!extensions.open(QIODevice::WriteOnly) || extensions.write("subjectAltName=DNS:localhost,IP:127.0.0.1\n") < 0) {
        return false;
    }
    extensions.close();
    const bool made =
        run(QStringList{"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.crt", "-subj", "/CN=qmx test ca", "-days", "2"}) &&
        run(QStringList{"req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=localhost"}) &&
        run(QStringList{"x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key", "-CAcreateserial", "-out",
                        "server.crt", "-days", "2", "-extfile", "san.ext"});
    if (!made) {
        return false;
    }
    m_tlsPort = freePort();
    QFile config(m_dir.filePath(QStringLiteral("mosquitto.conf")));
    if (!config.open(QIODevice::Append)) {
        return false;
    }
    const QByteArray dir = m_dir.path().toUtf8() + '/';
    config.write("listener " + QByteArray::number(m_tlsPort) + " 127.0.0.1\ncafile " + dir + "ca.crt\ncertfile " + dir +
                 "server.crt\nkeyfile " + dir + "server.key\n");
    return true;
}

bool MosquittoBroker::start()
{
    m_process.start(QStringLiteral("/usr/sbin/mosquitto"), {QStringLiteral("-c"), m_dir.filePath(QStringLiteral("mosquitto.conf"))});
    if (!m_process.waitForStarted(10000)) {
        return false;
    }
    return waitFor([this] {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(m_port));
        return socket.waitForConnected(200);
    });
}

void MosquittoBroker::stop()
{
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
}

Subscriber::Subscriber(int port, const QByteArray& topicFilter, const QByteArray& clientId) : m_filter(topicFilter)
{
    mosquitto_lib_init();
    m_mosq = mosquitto_new(clientId.isEmpty() ? nullptr : clientId.constData(), clientId.isEmpty(), this);
    mosquitto_connect_callback_set(m_mosq, &Subscriber::onConnect);
    mosquitto_subscribe_callback_set(m_mosq, &Subscriber::onSubscribe);
    mosquitto_message_callback_set(m_mosq, &Subscriber::onMessage);
    mosquitto_reconnect_delay_set(m_mosq, 1, 1, false);
    mosquitto_connect_async(m_mosq, "127.0.0.1", port, 30);
    mosquitto_loop_start(m_mosq);
}

Subscriber::~Subscriber()
{
    mosquitto_disconnect(m_mosq);
    mosquitto_loop_stop(m_mosq, false);
    mosquitto_destroy(m_mosq);
}

void Subscriber::onConnect(mosquitto* mosq, void* self, int rc)
{
    if (rc == 0) {
        mosquitto_subscribe(mosq, nullptr, static_cast<Subscriber*>(self)->m_filter.constData(), 1);
    }
}

void Subscriber::onSubscribe(mosquitto*, void* self, int, int, const int*)
{
    auto* s = static_cast<Subscriber*>(self);
    {
        const std::lock_guard lock(s->m_mutex);
        s->m_subscribed = true;
    }
    s->m_changed.notify_all();
}

void Subscriber::onMessage(mosquitto*, void* self, const mosquitto_message* message)
{
    auto* s = static_cast<Subscriber*>(self);
    {
        const std::lock_guard lock(s->m_mutex);
        s->m_messages.push_back({QByteArray(message->topic),
                                 QByteArray(static_cast<const char*>(message->payload), message->payloadlen), message->retain});
    }
    s->m_changed.notify_all();
}

bool Subscriber::waitSubscribed(int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_subscribed; });
}

std::vector<ReceivedMessage> Subscriber::messages() const
{
    const std::lock_guard lock(m_mutex);
    return m_messages;
}

bool Subscriber::waitForMessage(const std::function<bool(const ReceivedMessage&)>& match, int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return std::any_of(m_messages.begin(), m_messages.end(), match);
    });
}

std::vector<ReceivedMessage> Subscriber::on(const QByteArray& topic) const
{
    std::vector<ReceivedMessage> out;
    for (const ReceivedMessage& m : messages()) {
        if (m.topic == topic) {
            out.push_back(m);
        }
    }
    return out;
}

} // namespace qmx::testing
