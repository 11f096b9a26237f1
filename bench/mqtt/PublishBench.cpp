// Publishing at 1000 measurements a second at QoS 1 to a local mosquitto broker: the tool's own
// publish verb runs in this process on the virtual transducer streaming at 1000 reports a second;
// a subscriber (libmosquitto, in this process too) notes when each message arrives. Prints the CPU
// seconds per second of the tool (the whole process less the subscriber's thread; it includes the
// virtual transducer's pump, which a real transducer does not need) and the end-to-end delay,
// receive time less the measurement's own "time" (which has millisecond resolution, so delays read
// up to 1 ms long).
//
//   qmx_bench_mqtt [seconds]

#include "cli/CliSession.h"
#include "cli/PublishCommand.h"
#include "sim/SimBackend.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <mosquitto.h>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <thread>
#include <vector>

namespace {

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return s(usage.ru_utime) + s(usage.ru_stime);
}

double clockSeconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct Received {
    std::mutex mutex;
    std::vector<double> delaysMs;
    std::atomic<double> subscriberCpu{0};
};

void onMessage(mosquitto*, void* context, const mosquitto_message* message)
{
    const double now = clockSeconds(CLOCK_REALTIME);
    auto* received = static_cast<Received*>(context);
    const QByteArray payload(static_cast<const char*>(message->payload), message->payloadlen);
    const qsizetype at = payload.indexOf("\"time\":\"");
    if (at >= 0) {
        const QByteArray text = payload.mid(at + 8, 29);
        const QDateTime time = QDateTime::fromString(QString::fromLatin1(text), Qt::ISODateWithMs);
        const std::lock_guard lock(received->mutex);
        received->delaysMs.push_back((now - static_cast<double>(time.toMSecsSinceEpoch()) / 1000.0) * 1000.0);
    }
    received->subscriberCpu = clockSeconds(CLOCK_THREAD_CPUTIME_ID);
}

void onConnect(mosquitto* mosq, void*, int rc)
{
    if (rc == 0) {
        mosquitto_subscribe(mosq, nullptr, "bench/measurement", 1);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const double runSeconds = argc > 1 ? std::atof(argv[1]) : 10.0;

    QTemporaryDir dir;
    int port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    QFile config(dir.filePath(QStringLiteral("mosquitto.conf")));
    if (!config.open(QIODevice::WriteOnly)) {
        return 1;
    }
    config.write("listener " + QByteArray::number(port) + " 127.0.0.1\nallow_anonymous true\npersistence false\n");
    config.close();
    QProcess broker;
    broker.setStandardErrorFile(QProcess::nullDevice());
    broker.start(QStringLiteral("/usr/sbin/mosquitto"), {QStringLiteral("-c"), config.fileName()});
    for (int i = 0; i < 500; ++i) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
        if (socket.waitForConnected(100)) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    Received received;
    mosquitto_lib_init();
    mosquitto* sub = mosquitto_new(nullptr, true, &received);
    mosquitto_connect_callback_set(sub, onConnect);
    mosquitto_message_callback_set(sub, onMessage);
    mosquitto_connect(sub, "127.0.0.1", port, 30);
    mosquitto_loop_start(sub);
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // the subscription is made

    qmx::sim::SimBackend sim(qmx::sim::SimBackend::Clock::RealTime);
    sim.transducer().setStreamRate(1000.0);
    qmx::cli::CliSession session(sim);
    if (session.connect() != qmx::cli::SessionError::None) {
        std::fprintf(stderr, "no connection to the virtual transducer\n");
        return 1;
    }
    const auto parsed = qmx::cli::parsePublishArgs({QStringLiteral("--broker"), QStringLiteral("mqtt://127.0.0.1:%1").arg(port),
                                                    QStringLiteral("--topic"), QStringLiteral("bench"), QStringLiteral("--qos"),
                                                    QStringLiteral("1"), QStringLiteral("--seconds"), QString::number(runSeconds)});
    const double processStart = cpuSeconds(RUSAGE_SELF);
    const double subscriberStart = received.subscriberCpu;
    const double wallStart = clockSeconds(CLOCK_MONOTONIC);
    const int code = qmx::cli::runPublish(session, std::get<qmx::cli::PublishVerbArgs>(parsed));
    const double wall = clockSeconds(CLOCK_MONOTONIC) - wallStart;
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // the last messages arrive
    const double toolCpu = (cpuSeconds(RUSAGE_SELF) - processStart) - (received.subscriberCpu - subscriberStart);

    mosquitto_disconnect(sub);
    mosquitto_loop_stop(sub, false);
    mosquitto_destroy(sub);
    broker.terminate();
    broker.waitForFinished();

    std::vector<double> delays;
    {
        const std::lock_guard lock(received.mutex);
        delays = received.delaysMs;
    }
    if (code != 0 || delays.empty()) {
        std::fprintf(stderr, "the run failed (exit %d, %zu messages)\n", code, delays.size());
        return 1;
    }
    std::sort(delays.begin(), delays.end());
    const auto percentile = [&](double p) { return delays[static_cast<std::size_t>(p * static_cast<double>(delays.size() - 1))]; };
    std::printf("messages received: %zu in %.1f s (%.0f/s)\n", delays.size(), wall, static_cast<double>(delays.size()) / wall);
    std::printf("tool CPU: %.1f %% of one core (process less the subscriber's thread)\n", toolCpu / wall * 100.0);
    std::printf("end-to-end delay: median %.1f ms, 95th percentile %.1f ms, max %.1f ms\n", percentile(0.5), percentile(0.95),
                delays.back());
    return 0;
}
