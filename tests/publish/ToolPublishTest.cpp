// The tool's publish verb and record --publish run as a program against the virtual transducer and
// a real mosquitto broker: message content, retained flags, the last will after kill -9, the
// password kept off the output, and the options' usage errors.

#include "BrokerSupport.h"

#include "cli/ExitCodes.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using qmx::testing::MosquittoBroker;
using qmx::testing::ReceivedMessage;
using qmx::testing::Subscriber;
using qmx::testing::waitFor;

namespace {

QProcessEnvironment toolEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return env;
}

struct ToolRun {
    int exitCode = -1;
    QByteArray err;
};

ToolRun runTool(const QStringList& args)
{
    QProcess p;
    p.setProcessEnvironment(toolEnvironment());
    p.start(QStringLiteral(QMX_CLI_PATH), args);
    ToolRun run;
    if (p.waitForStarted() && p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit) {
        run.exitCode = p.exitCode();
        run.err = p.readAllStandardError();
    }
    return run;
}

bool isTopic(const ReceivedMessage& m, const char* topic)
{
    return m.topic == topic;
}

} // namespace

TEST(ToolPublish, PublishesMeasurementsAndLeavesALastWillWhenKilled)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.start());
    Subscriber sub(broker.port(), "t/kill/#");
    ASSERT_TRUE(sub.waitSubscribed());
    QProcess tool;
    tool.setProcessEnvironment(toolEnvironment());
    tool.start(QStringLiteral(QMX_CLI_PATH), {QStringLiteral("--simulate"), QStringLiteral("publish"), QStringLiteral("--broker"),
                                              broker.url(), QStringLiteral("--topic"), QStringLiteral("t/kill")});
    ASSERT_TRUE(tool.waitForStarted());
    ASSERT_TRUE(sub.waitForMessage([](const ReceivedMessage& m) { return isTopic(m, "t/kill/measurement"); }, 30000));
    ASSERT_TRUE(sub.waitForMessage([](const ReceivedMessage& m) { return m.payload == "online"; }));

    const QJsonObject first = QJsonDocument::fromJson(sub.on("t/kill/measurement").front().payload).object();
    static const QRegularExpression iso(QStringLiteral(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d$)"));
    EXPECT_TRUE(iso.match(first.value("time").toString()).hasMatch()) << first.value("time").toString().toStdString();
    for (const char* key : {"seq", "sum", "s1", "s2", "s3", "s4", "status1", "status4", "in1", "in2", "out1", "out2", "unit"}) {
        EXPECT_TRUE(first.contains(QLatin1String(key))) << key;
    }
    ASSERT_TRUE(sub.waitForMessage([](const ReceivedMessage& m) { return isTopic(m, "t/kill/settings"); }));
    ASSERT_TRUE(sub.waitForMessage([](const ReceivedMessage& m) { return isTopic(m, "t/kill/identification"); }));
    EXPECT_EQ(QJsonDocument::fromJson(sub.on("t/kill/identification").front().payload).object().value("device").toString(),
              QStringLiteral("QMX80NET"));
    EXPECT_GT(QJsonDocument::fromJson(sub.on("t/kill/settings").front().payload).object().size(), 5);

    tool.kill(); // SIGKILL: no goodbye, the broker sends the last will
    tool.waitForFinished();
    ASSERT_TRUE(sub.waitForMessage([](const ReceivedMessage& m) { return m.payload == "offline"; }));
    // The last will is retained: a dashboard that looks later sees the dead logger.
    Subscriber later(broker.port(), "t/kill/status");
    ASSERT_TRUE(later.waitForMessage([](const ReceivedMessage& m) { return m.retained; }));
    EXPECT_EQ(later.on("t/kill/status").front().payload, QByteArray("offline"));
}

TEST(ToolPublish, RecordPublishesBesideTheFileAndKeepsThePasswordPrivate)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.start());
    Subscriber sub(broker.port(), "t/rec/#");
    ASSERT_TRUE(sub.waitSubscribed());
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("run.csv"));
    const QString passwordFile = dir.filePath(QStringLiteral("password"));
    QFile pw(passwordFile);
    ASSERT_TRUE(pw.open(QIODevice::WriteOnly));
    pw.write("s3cret-word\n");
    pw.close();
    const ToolRun run = runTool({QStringLiteral("--simulate"), QStringLiteral("record"), QStringLiteral("--out"), csv,
                                 QStringLiteral("--seconds"), QStringLiteral("1.5"), QStringLiteral("--publish"),
                                 QStringLiteral("--broker"), broker.url(), QStringLiteral("--topic"), QStringLiteral("t/rec"),
                                 QStringLiteral("--user"), QStringLiteral("bench"), QStringLiteral("--password-file"), passwordFile});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_FALSE(run.err.contains("s3cret")) << run.err.constData();
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_GT(file.readAll().count('\n'), 10);
    // Every measurement was out before the tool ended, the status last of all.
    ASSERT_TRUE(sub.waitForMessage([](const ReceivedMessage& m) { return m.payload == "offline"; }));
    const auto measurements = sub.on("t/rec/measurement");
    ASSERT_GT(measurements.size(), 10U);
    for (std::size_t i = 0; i < measurements.size(); ++i) {
        EXPECT_EQ(QJsonDocument::fromJson(measurements[i].payload).object().value("seq").toInteger(), static_cast<qint64>(i));
    }
    EXPECT_TRUE(run.err.contains(QStringLiteral("published %1 measurements").arg(measurements.size()).toUtf8())) << run.err.constData();
}

TEST(ToolPublish, UsageErrors)
{
    struct Case {
        QStringList args;
        int exitCode;
        const char* message;
    };
    const QString broker = QStringLiteral("mqtt://127.0.0.1:1");
    const QList<Case> cases{
        {{"publish"}, qmx::cli::kExitUsage, "--broker mqtt://HOST[:PORT] is required"},
        {{"publish", "--broker", "tcp://x"}, qmx::cli::kExitUsage, "--broker is mqtt://"},
        {{"publish", "--broker", broker, "--password", "x"}, qmx::cli::kExitUsage, "never taken from the command line"},
        {{"publish", "--broker", broker, "--password-file", "/etc/hostname"}, qmx::cli::kExitUsage, "--password-file needs --user"},
        {{"publish", "--broker", broker, "--cafile", "/etc/hostname"}, qmx::cli::kExitUsage, "--cafile needs --tls"},
        {{"publish", "--broker", broker, "--qos", "2"}, qmx::cli::kExitUsage, "--qos is 0 or 1"},
        {{"publish", "--broker", broker, "--topic", "a/#"}, qmx::cli::kExitUsage, "--topic is a topic"},
        {{"publish", "--broker", broker, "--rate", "0"}, qmx::cli::kExitUsage, "--rate takes"},
        {{"publish", "--broker", broker, "--buffer", "0"}, qmx::cli::kExitUsage, "--buffer takes"},
        {{"publish", "--broker"}, qmx::cli::kExitUsage, "--broker needs a value"},
        {{"record", "--out", "/tmp/x.csv", "--broker", broker}, qmx::cli::kExitUsage, "the MQTT options need --publish"},
        {{"record", "--out", "/tmp/x.csv", "--publish"}, qmx::cli::kExitUsage, "record: --broker mqtt://HOST[:PORT] is required"},
        {{"--simulate", "publish", "--broker", broker, "--tls", "--cafile", "/nonexistent/ca.pem", "--seconds", "0"},
         qmx::cli::kExitFileError, "cannot use the CA file /nonexistent/ca.pem"},
        {{"--simulate", "publish", "--broker", broker, "--user", "u", "--password-file", "/nonexistent/pw", "--seconds", "0"},
         qmx::cli::kExitFileError, "cannot read the password file"},
    };
    for (const Case& c : cases) {
        const ToolRun run = runTool(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(run.err.contains(c.message)) << c.args.join(u' ').toStdString() << ": " << run.err.constData();
    }
}

TEST(ToolPublish, AFullBufferWhileTheBrokerIsAwayIsReportedWithItsCount)
{
    // Nothing listens on port 1: every measurement waits, and the buffer holds only 20.
    const ToolRun run = runTool({QStringLiteral("--simulate"), QStringLiteral("publish"), QStringLiteral("--broker"),
                                 QStringLiteral("mqtt://127.0.0.1:1"), QStringLiteral("--buffer"), QStringLiteral("20"),
                                 QStringLiteral("--seconds"), QStringLiteral("1.5")});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    static const QRegularExpression summary(QStringLiteral(R"(published 0 measurements to the MQTT broker; (\d+) dropped, 20 not sent)"));
    const auto match = summary.match(QString::fromUtf8(run.err));
    ASSERT_TRUE(match.hasMatch()) << run.err.constData();
    EXPECT_GT(match.captured(1).toInt(), 0);
    EXPECT_TRUE(run.err.contains(QStringLiteral("MQTT buffer full: %1 measurements dropped so far").arg(match.captured(1)).toUtf8()))
        << run.err.constData();
}

TEST(ToolPublish, PublishesOverTlsTrustingTheGivenCertificateAuthority)
{
    MosquittoBroker broker;
    if (!broker.addTlsListener()) {
        GTEST_SKIP() << "openssl cannot make the test certificates";
    }
    ASSERT_TRUE(broker.start());
    Subscriber sub(broker.port(), "t/tls/#"); // on the plain listener of the same broker
    ASSERT_TRUE(sub.waitSubscribed());
    const QString url = QStringLiteral("mqtts://localhost:%1").arg(broker.tlsPort());
    const ToolRun run = runTool({QStringLiteral("--simulate"), QStringLiteral("publish"), QStringLiteral("--broker"), url,
                                 QStringLiteral("--cafile"), broker.caFile(), QStringLiteral("--topic"), QStringLiteral("t/tls"),
                                 QStringLiteral("--seconds"), QStringLiteral("1")});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.err.contains("connected to the MQTT broker")) << run.err.constData();
    EXPECT_FALSE(sub.on("t/tls/measurement").empty());

    // Without the test's authority the broker's certificate is not trusted: nothing goes out.
    const ToolRun untrusted = runTool({QStringLiteral("--simulate"), QStringLiteral("publish"), QStringLiteral("--broker"), url,
                                       QStringLiteral("--topic"), QStringLiteral("t/untrusted"), QStringLiteral("--seconds"),
                                       QStringLiteral("1")});
    EXPECT_EQ(untrusted.exitCode, 0) << untrusted.err.constData();
    EXPECT_TRUE(untrusted.err.contains("published 0 measurements")) << untrusted.err.constData();
    EXPECT_TRUE(sub.on("t/untrusted/measurement").empty());
}
