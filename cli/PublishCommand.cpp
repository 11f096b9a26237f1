#include "PublishCommand.h"

#include "ExitCodes.h"
#include "StandardOutput.h"
#include "SettingsCommand.h"
#include "WatchCommand.h"

#include "process/ShutdownSignals.h"
#include "publish/MqttMessages.h"
#include "publish/Publisher.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QSysInfo>
#include <QTimer>

#include <cstdio>

namespace qmx::cli {

namespace {

/// How long the end of a run waits for the buffer to drain to the broker.
constexpr int kFinishTimeoutMs = 5000;

QByteArray settingsMessage(const QByteArray& sensorFrame, const QByteArray& ioFrame)
{
    const auto bytes = [](const QByteArray& a) {
        return std::span(reinterpret_cast<const std::uint8_t*>(a.constData()), static_cast<std::size_t>(a.size()));
    };
    const auto lines = settingsShowLines(bytes(sensorFrame), bytes(ioFrame));
    return lines ? publish::settingsJson(*lines) : QByteArray();
}

} // namespace

QString publishUsage()
{
    return QStringLiteral(
        "  publish --broker mqtt://HOST[:PORT] [--tls [--cafile F]] [--user U [--password-file F]]\n"
        "          [--topic PREFIX] [--qos 0|1] [--rate N] [--batch] [--buffer N] [--seconds S]\n"
        "          publish measurements to an MQTT broker as JSON under PREFIX/measurement (with\n"
        "          --batch one array a second under PREFIX/measurements), the identification and\n"
        "          settings retained under PREFIX/identification and PREFIX/settings, and\n"
        "          online/offline retained under PREFIX/status (offline also as last will);\n"
        "          PREFIX defaults to qmx80net/<host name>; mqtts:// or --tls uses TLS (port 8883);\n"
        "          the password is read from the first line of a file; at most N measurements a\n"
        "          second; while the broker is away up to N measurements (default 360000, an hour\n"
        "          at 100/s) wait, the oldest dropped first; record --publish takes the same options\n");
}

std::variant<PublishOption, QString> takePublishOption(const QString& verb, const QString& option, QStringList& args,
                                                       PublishArgs& into)
{
    if (option == QLatin1String("--tls")) {
        into.tls = true;
        return PublishOption::Taken;
    }
    if (option == QLatin1String("--batch")) {
        into.batch = true;
        return PublishOption::Taken;
    }
    if (option == QLatin1String("--password")) {
        return QStringLiteral("%1: a password is never taken from the command line; use --password-file F").arg(verb);
    }
    static const QStringList withValue{QStringLiteral("--broker"), QStringLiteral("--cafile"), QStringLiteral("--user"),
                                       QStringLiteral("--password-file"), QStringLiteral("--topic"), QStringLiteral("--qos"),
                                       QStringLiteral("--rate"), QStringLiteral("--buffer")};
    if (!withValue.contains(option)) {
        return PublishOption::NotOurs;
    }
    if (args.isEmpty()) {
        return QStringLiteral("%1: %2 needs a value").arg(verb, option);
    }
    const QString value = args.takeFirst();
    bool ok = false;
    if (option == QLatin1String("--broker")) {
        into.broker = publish::parseBrokerUrl(value);
        if (!into.broker) {
            return QStringLiteral("%1: --broker is mqtt://HOST[:PORT] or mqtts://HOST[:PORT]").arg(verb);
        }
    } else if (option == QLatin1String("--cafile") || option == QLatin1String("--password-file")) {
        if (value.isEmpty()) {
            return QStringLiteral("%1: %2 needs a file name").arg(verb, option);
        }
        (option == QLatin1String("--cafile") ? into.caFile : into.passwordFile) = value;
    } else if (option == QLatin1String("--user")) {
        if (value.isEmpty()) {
            return QStringLiteral("%1: --user needs a name").arg(verb);
        }
        into.user = value;
    } else if (option == QLatin1String("--topic")) {
        if (!publish::isValidTopicPrefix(value)) {
            return QStringLiteral("%1: --topic is a topic without + or # and without a leading or trailing /").arg(verb);
        }
        into.topicPrefix = value;
    } else if (option == QLatin1String("--qos")) {
        into.qos = value.toInt(&ok);
        if (!ok || (into.qos != 0 && into.qos != 1)) {
            return QStringLiteral("%1: --qos is 0 or 1").arg(verb);
        }
    } else if (option == QLatin1String("--rate")) {
        const double rate = value.toDouble(&ok);
        if (!ok || !(rate > 0) || rate > 1e6) {
            return QStringLiteral("%1: --rate takes a positive number of measurements a second").arg(verb);
        }
        into.rate = rate;
    } else { // --buffer
        const qulonglong samples = value.toULongLong(&ok);
        if (!ok || samples == 0 || samples > 100'000'000) {
            return QStringLiteral("%1: --buffer takes a number of measurements from 1 to 100000000").arg(verb);
        }
        into.bufferSamples = static_cast<std::size_t>(samples);
    }
    return PublishOption::Taken;
}

std::optional<QString> checkPublishArgs(const QString& verb, const PublishArgs& args)
{
    if (!args.broker) {
        return QStringLiteral("%1: --broker mqtt://HOST[:PORT] is required").arg(verb);
    }
    if (!args.passwordFile.isEmpty() && args.user.isEmpty()) {
        return QStringLiteral("%1: --password-file needs --user").arg(verb);
    }
    if (!args.caFile.isEmpty() && !args.tls && !args.broker->tls) {
        return QStringLiteral("%1: --cafile needs --tls or an mqtts:// broker").arg(verb);
    }
    return std::nullopt;
}

std::variant<PublishOption, QString> takeOptionalPublishOption(const QString& verb, const QString& option,
                                                               QStringList& args, OptionalPublishArgs& into)
{
    if (option == QLatin1String("--publish")) {
        into.requested = true;
        return PublishOption::Taken;
    }
    auto taken = takePublishOption(verb, option, args, into.args);
    if (std::holds_alternative<QString>(taken) || std::get<PublishOption>(taken) == PublishOption::Taken) {
        into.optionGiven = true;
    }
    return taken;
}

std::optional<QString> checkOptionalPublishArgs(const QString& verb, const OptionalPublishArgs& args)
{
    if (!args.requested) {
        return args.optionGiven ? std::optional(QStringLiteral("%1: the MQTT options need --publish").arg(verb)) : std::nullopt;
    }
    return checkPublishArgs(verb, args.args);
}

std::variant<std::unique_ptr<PublishRun>, int> startOptionalPublishing(CliSession& session, const OptionalPublishArgs& args)
{
    if (!args.requested) {
        return std::unique_ptr<PublishRun>();
    }
    return PublishRun::start(session, args.args);
}

std::variant<PublishVerbArgs, QString> parsePublishArgs(const QStringList& argsIn)
{
    const QString verb = QStringLiteral("publish");
    PublishVerbArgs result;
    QStringList args = argsIn;
    while (!args.isEmpty()) {
        const QString option = args.takeFirst();
        const auto taken = takePublishOption(verb, option, args, result.publish);
        if (const auto* error = std::get_if<QString>(&taken)) {
            return *error;
        }
        if (std::get<PublishOption>(taken) == PublishOption::Taken) {
            continue;
        }
        if (option != QLatin1String("--seconds")) {
            return QStringLiteral("publish: unknown option '%1'").arg(option);
        }
        bool ok = false;
        const double seconds = args.isEmpty() ? -1 : args.takeFirst().toDouble(&ok);
        if (!ok || !(seconds >= 0)) {
            return QStringLiteral("publish: --seconds takes a non-negative number");
        }
        result.seconds = seconds;
    }
    if (const auto error = checkPublishArgs(verb, result.publish)) {
        return *error;
    }
    return result;
}

PublishRun::~PublishRun()
{
    finish();
}

std::variant<std::unique_ptr<PublishRun>, int> PublishRun::start(CliSession& session, const PublishArgs& args)
{
    publish::PublisherOptions options;
    options.broker.host = args.broker->host;
    options.broker.port = args.broker->port;
    options.broker.tls = args.tls || args.broker->tls;
    if (args.tls && !args.broker->tls && args.broker->port == 1883) {
        options.broker.port = 8883; // --tls on an address without a port: the TLS port
    }
    options.broker.caFile = args.caFile;
    options.broker.user = args.user;
    if (!args.passwordFile.isEmpty()) {
        QFile file(args.passwordFile);
        if (!file.open(QIODevice::ReadOnly)) {
            printError(QStringLiteral("cannot read the password file %1: %2").arg(args.passwordFile, file.errorString()));
            return kExitFileError;
        }
        options.broker.password = QString::fromUtf8(file.readLine()).remove(u'\n').remove(u'\r');
    }
    const QString host = QSysInfo::machineHostName();
    options.topics.prefix = args.topicPrefix.isEmpty() ? publish::defaultTopicPrefix(host) : args.topicPrefix;
    options.qos = args.qos;
    options.batch = args.batch;
    options.bufferSamples = args.bufferSamples;
    options.unit = transducerUnit(session);

    std::unique_ptr<PublishRun> run(new PublishRun);
    run->m_brokerText = QStringLiteral("%1:%2").arg(options.broker.host).arg(options.broker.port);
    if (args.rate) {
        run->m_rateLimiter.emplace(*args.rate);
    }
    run->m_publisher = std::make_unique<publish::Publisher>(options);
    const link::DeviceInfo& info = session.link().deviceInfo();
    run->m_publisher->setIdentification(publish::identificationJson(
        QString::number(static_cast<double>(info.FirmwareVersion), 'f', 2), info.Description, session.connectionText(), host,
        QStringLiteral("qmx80net-cli " QMX_CLI_VERSION)));
    run->m_sensorFrame = session.sensorSettingsFrame();
    run->m_ioFrame = session.ioSettingsFrame();
    run->m_publisher->setSettings(settingsMessage(run->m_sensorFrame, run->m_ioFrame));
    if (const QString error = run->m_publisher->start(); !error.isEmpty()) {
        printError(error);
        return options.broker.tls ? kExitFileError : kExitUsage;
    }
    printError(QStringLiteral("publishing to the MQTT broker %1 under %2").arg(run->m_brokerText, options.topics.prefix));
    run->m_startClock.start();

    // Settings read again from the transducer go out again when they changed.
    run->m_context = std::make_unique<QObject>();
    PublishRun* self = run.get();
    QObject::connect(&session.link(), &link::LinkController::sensorSettingsReceived, run->m_context.get(), [self](const QByteArray& frame) {
        self->m_sensorFrame = frame;
        self->m_publisher->setSettings(settingsMessage(self->m_sensorFrame, self->m_ioFrame));
    });
    QObject::connect(&session.link(), &link::LinkController::ioSettingsReceived, run->m_context.get(), [self](const QByteArray& frame) {
        self->m_ioFrame = frame;
        self->m_publisher->setSettings(settingsMessage(self->m_sensorFrame, self->m_ioFrame));
    });
    auto* timer = new QTimer(run->m_context.get());
    QObject::connect(timer, &QTimer::timeout, [self] { self->report(false); });
    timer->start(1000);
    return run;
}

void PublishRun::offer(const link::Measurement& m)
{
    const publish::Sample sample = publish::stampSample(m_sequence, m);
    if (m_rateLimiter && !m_rateLimiter->admit(sample.msSinceEpoch)) {
        return;
    }
    ++m_sequence;
    m_publisher->enqueue(sample);
}

void PublishRun::report(bool final)
{
    const bool connected = m_publisher->connected();
    if (!connected && !m_everConnected && !m_saidUnreachable && m_startClock.elapsed() >= 5000) {
        m_saidUnreachable = true;
        printError(QStringLiteral("cannot reach the MQTT broker %1 yet; buffering and trying again").arg(m_brokerText));
    }
    m_everConnected = m_everConnected || connected;
    if (connected != m_wasConnected) {
        m_wasConnected = connected;
        printError(connected ? QStringLiteral("connected to the MQTT broker %1").arg(m_brokerText)
                             : QStringLiteral("lost the MQTT broker %1; buffering and reconnecting").arg(m_brokerText));
    }
    // Dropping goes on every second while the broker stays away: said once every ten seconds.
    const bool dueAgain = !m_dropReportClock.isValid() || m_dropReportClock.elapsed() >= 10000;
    if (const std::uint64_t dropped = m_publisher->dropped(); dropped != m_reportedDropped && (dueAgain || final)) {
        m_reportedDropped = dropped;
        m_dropReportClock.start();
        printError(QStringLiteral("MQTT buffer full: %1 measurements dropped so far, the oldest first").arg(dropped));
    }
}

void PublishRun::finish()
{
    if (!m_publisher) {
        return;
    }
    m_context.reset();
    report(true);
    m_publisher->finish(kFinishTimeoutMs);
    const std::uint64_t notSent = m_publisher->buffered();
    printError(QStringLiteral("published %1 measurements to the MQTT broker; %2 dropped, %3 not sent")
                   .arg(m_publisher->published())
                   .arg(m_publisher->dropped())
                   .arg(notSent));
    m_publisher.reset();
}

int runPublish(CliSession& session, const PublishVerbArgs& args)
{
    // SIGINT, SIGTERM and SIGHUP end the run through the event loop; the buffer is sent first.
    const process::ShutdownSignals interrupt;
    auto started = PublishRun::start(session, args.publish);
    if (const int* code = std::get_if<int>(&started)) {
        return *code;
    }
    auto& run = *std::get<std::unique_ptr<PublishRun>>(started);
    session.link().setMeasurementObserver([&](const link::Measurement& m) { run.offer(m); });
    QElapsedTimer clock;
    clock.start();
    // Ask for measurements at once instead of waiting for the first tick of the poll timer.
    session.link().pollTick();
    bool gone = false;
    const auto done = [&] {
        gone = session.linkLost() || !session.link().connected();
        return interrupt.requested() || gone || (args.seconds && static_cast<double>(clock.elapsed()) / 1000.0 >= *args.seconds);
    };
    while (!done()) {
        runUntil(done, 200);
    }
    session.link().setMeasurementObserver({});
    run.finish();
    if (gone) {
        if (!session.linkLost()) {
            printError(QStringLiteral("the transducer went away"));
        }
        return kExitDeviceGone;
    }
    return kExitDone;
}

int runPublishVerb(link::HidBackend& backend, const QStringList& args, const SessionLimits& limits)
{
    return runWithTransducer(backend, limits, parsePublishArgs(args),
                             [](CliSession& session, const PublishVerbArgs& parsed) { return runPublish(session, parsed); });
}

} // namespace qmx::cli
