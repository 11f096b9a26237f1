#pragma once
// The "publish" verb and the publishing beside "record --publish": measurements, identification,
// settings and an online/offline status to an MQTT broker (see publish/MqttMessages.h for the
// topics and messages).

#include "CliSession.h"

#include "publish/MqttClient.h"
#include "publish/SampleBuffer.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <variant>

namespace qmx::link {
class HidBackend;
struct Measurement;
}

namespace qmx::publish {
class Publisher;
}

namespace qmx::cli {

/// The options publish and record --publish share.
struct PublishArgs {
    std::optional<publish::BrokerAddress> broker; ///< --broker mqtt://HOST[:PORT] (required)
    bool tls = false;                              ///< --tls, or an mqtts:// broker
    QString caFile;                                ///< --cafile F
    QString user;                                  ///< --user U
    QString passwordFile;                          ///< --password-file F; the password is its first line
    QString topicPrefix;                           ///< --topic PREFIX; empty: qmx80net/<host name>
    int qos = 1;                                   ///< --qos 0|1
    std::optional<double> rate;                    ///< --rate N: at most N measurements a second
    bool batch = false;                            ///< --batch: one message per second
    std::size_t bufferSamples = publish::kDefaultBufferSamples; ///< --buffer N
};

/// Options of the publish verb.
struct PublishVerbArgs {
    PublishArgs publish;
    std::optional<double> seconds; ///< --seconds S; none: until interrupted
};

/// Usage lines of the verb, for the tool's help text.
QString publishUsage();

/// What takePublishOption() did with an option.
enum class PublishOption { NotOurs, Taken };
/// When `option` is one of the shared publish options, takes its value from the front of `args`
/// into `into`. Returns a usage error in plain words (prefixed with `verb`) when its value is wrong.
std::variant<PublishOption, QString> takePublishOption(const QString& verb, const QString& option, QStringList& args,
                                                       PublishArgs& into);
/// Checks the shared options as a whole (a broker given, a password file only with a user, a CA
/// file only with TLS). Returns a usage error, or nothing.
std::optional<QString> checkPublishArgs(const QString& verb, const PublishArgs& args);

/// The publishing another verb does on request (record --publish ...).
struct OptionalPublishArgs {
    bool requested = false; ///< --publish was given
    bool optionGiven = false; ///< some other publish option was given
    PublishArgs args;
};
/// Takes "--publish" or one of the shared publish options (see takePublishOption()).
std::variant<PublishOption, QString> takeOptionalPublishOption(const QString& verb, const QString& option,
                                                               QStringList& args, OptionalPublishArgs& into);
/// A usage error when publish options were given without --publish, or when --publish was given
/// and checkPublishArgs() refuses them; else nothing.
std::optional<QString> checkOptionalPublishArgs(const QString& verb, const OptionalPublishArgs& args);

/// Reads the verb's options. Returns the options, or a usage error in plain words.
std::variant<PublishVerbArgs, QString> parsePublishArgs(const QStringList& args);

/// Publishing beside a reader of the session: started with start(), fed with offer() from the
/// measurement observer, reporting connection changes and dropped measurements on standard error.
class PublishRun {
public:
    ~PublishRun();
    /// Reads the password file, connects (in the background) and publishes identification and
    /// settings. On failure returns the exit code after printing why.
    static std::variant<std::unique_ptr<PublishRun>, int> start(CliSession& session, const PublishArgs& args);
    /// Hands a measurement to the publisher (thinned to --rate); never waits for the broker.
    void offer(const link::Measurement& m);
    /// Sends what is buffered (waiting a few seconds at most), says "offline" and prints a summary.
    void finish();

private:
    PublishRun() = default;
    /// Says on standard error when the broker connection changed and how many measurements were
    /// dropped; `final` reports a changed drop count even when it was reported a moment ago.
    void report(bool final);

    std::unique_ptr<publish::Publisher> m_publisher;
    std::unique_ptr<QObject> m_context; // owns the timer and the signal connections
    QString m_brokerText;
    std::optional<publish::RateLimiter> m_rateLimiter;
    std::uint64_t m_sequence = 0;
    bool m_wasConnected = false;
    bool m_everConnected = false;
    bool m_saidUnreachable = false;
    QElapsedTimer m_startClock;
    std::uint64_t m_reportedDropped = 0;
    QElapsedTimer m_dropReportClock;
    QByteArray m_sensorFrame;
    QByteArray m_ioFrame;
};

/// Starts publishing when it was requested: the run, or no run when not requested, or the exit
/// code after a failure was printed.
std::variant<std::unique_ptr<PublishRun>, int> startOptionalPublishing(CliSession& session, const OptionalPublishArgs& args);

/// Publishes on a connected session until --seconds passed, the tool is interrupted, or the
/// transducer goes away (exit 3). Returns the exit code.
int runPublish(CliSession& session, const PublishVerbArgs& args);
/// The whole verb: parses `args` (exit 64 on a usage error), connects to the transducer (exit 2
/// when none answers) and publishes.
int runPublishVerb(link::HidBackend& backend, const QStringList& args, const SessionLimits& limits = {});

} // namespace qmx::cli
