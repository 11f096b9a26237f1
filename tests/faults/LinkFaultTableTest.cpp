// The link fault campaign: every fault the virtual transducer can play, against the real main
// window (offscreen) and against each verb of the command-line tool. Each row of the tables names
// the fault, where it hits, and what the user must be shown; the tests walk the tables.
//
// The transducer streams faster than a real one (1000 measurements a second, for 0.1 s after each
// poll), the link polls every 50 ms and its watch times are cut to 60-150 ms, so no row waits for
// seconds.

#include "FaultTestSupport.h"

#include "cli/ToolCommand.h"
#include "link/Protocol.h"
#include "sim/SimBackend.h"
#include "ui/MainWindow.h"
#include "ui/pages/MeasurementPage.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>

using namespace qmx;
using namespace std::chrono_literals;
using qmx::test::waitFor;

namespace {

constexpr int kSilenceLimitMs = 150;
constexpr int kStartupRetryMs = 60;
constexpr double kPollSeconds = 0.05;
/// The tool's wait for the start-up exchange, which takes a few milliseconds when it works.
constexpr int kToolStartupMs = 150;
constexpr double kStreamRate = 1000.0;
/// The transducer streams this long after a poll (2 s in the real one): a poll that no longer
/// reaches it soon shows.
constexpr auto kKeepAlive = 100ms;

/// When a fault begins: before the window or the tool looks for the transducer, once the
/// identification request or a settings write has reached the transducer, or once measurements
/// flow.
enum class When { BeforeStartUp, AtIdentification, WhileStreaming, AtSettingsWrite };

struct LinkFault {
    const char* name;
    When when;
    std::function<void(sim::SimBackend&)> inject;
    /// Set up before the start, for a fault that begins later.
    std::function<void(sim::SimBackend&)> prepare = {};
};

std::vector<std::uint8_t> report(std::initializer_list<std::uint8_t> bytes, std::size_t length = 0)
{
    std::vector<std::uint8_t> r(bytes);
    if (r.size() < length) {
        r.resize(length, 0);
    }
    return r;
}

// --- the faults ---------------------------------------------------------------------------------

const LinkFault kNoReply{"a transducer that answers nothing", When::BeforeStartUp, [](sim::SimBackend& s) {
                             s.transducer().dropNextReplies(INT_MAX);
                             s.transducer().dropRepliesTo(link::CMD_GET_MEASUREMENT, INT_MAX);
                         }};

const LinkFault kWrongCodeForIdentification{
    "the identification is answered with an unknown code", When::BeforeStartUp, [](sim::SimBackend& s) {
        s.transducer().dropRepliesTo(link::CMD_GET_INFO, INT_MAX);
        s.transducer().injectInputReport(report({1, 0x7E, 'Q', 'M', 'X'}, 65));
    }};

const LinkFault kTruncatedIdentification{"the identification reply is cut to its code", When::BeforeStartUp,
                                         [](sim::SimBackend& s) {
                                             s.transducer().truncateNextReplyTo(link::CMD_GET_INFO, 1);
                                         }};

const LinkFault kTruncatedSensorSettings{"the sensor settings reply is cut to 5 bytes", When::BeforeStartUp,
                                         [](sim::SimBackend& s) {
                                             s.transducer().truncateNextReplyTo(link::CMD_GET_SENSOR_SETTINGS, 5);
                                         }};

const LinkFault kNoSettingsReply{"the I/O settings are never answered", When::BeforeStartUp, [](sim::SimBackend& s) {
                                     s.transducer().dropRepliesTo(link::CMD_GET_IO_SETTINGS, INT_MAX);
                                 }};

const LinkFault kLateReplies{"every reply comes 0.1 s late", When::BeforeStartUp,
                             [](sim::SimBackend& s) { s.transducer().setReplyDelay(100ms); }};

const LinkFault kNotPresent{"no transducer on the bus", When::BeforeStartUp,
                            [](sim::SimBackend& s) { s.setTransducerCount(0); }};

const LinkFault kOpenRefused{"the node cannot be opened", When::BeforeStartUp,
                             [](sim::SimBackend& s) { s.setOpenRefused(true, "Permission denied"); }};

const LinkFault kGarbage{"garbage reports amid the measurements", When::WhileStreaming, [](sim::SimBackend& s) {
                             auto& t = s.transducer();
                             t.injectInputReport(report({1, 0x7E, 0xFF, 0xFF}));          // unknown code
                             t.injectInputReport(report({0xAB, 0x01, 0x02}, 65));         // foreign report ID
                             t.injectInputReport(report({1, 0xFF}, 65));                  // unknown code, full length
                             t.injectInputReport(report({1}));                            // no payload at all
                             t.injectInputReport(report({1, link::CMD_SET_LINK_STATE})); // a reply nobody asked for
                             t.injectInputReport(report({1, 0x55, 0xAA, 0x55, 0xAA}, 300)); // longer than a report
                         }};

const LinkFault kUnsolicitedReports{"a report with an unknown code every 20 ms", When::WhileStreaming,
                                    [](sim::SimBackend& s) {
                                        s.transducer().injectInputReportEvery(report({1, 0x7E}, 65), 20ms);
                                    }};

const LinkFault kTruncatedMeasurement{"a measurement report cut to 10 bytes", When::WhileStreaming,
                                      [](sim::SimBackend& s) {
                                          s.transducer().truncateNextReplyTo(link::CMD_GET_MEASUREMENT, 10);
                                      }};

const LinkFault kFlood{"a flood of 5000 measurement reports at once", When::WhileStreaming, [](sim::SimBackend& s) {
                           auto m = report({1, link::CMD_GET_MEASUREMENT}, 65);
                           for (int i = 0; i < 5000; ++i) {
                               s.transducer().injectInputReport(m);
                           }
                       }};

const LinkFault kVanishes{"the node vanishes mid-stream", When::WhileStreaming,
                          [](sim::SimBackend& s) { s.unplug(); }};

const LinkFault kReaderFails{"the node fails mid-stream without a hot-plug notice", When::WhileStreaming,
                             [](sim::SimBackend& s) { s.transducer().setPlugged(false); }};

const LinkFault kVanishesAtStartUp{
    "the node vanishes during the start-up exchange", When::AtIdentification, [](sim::SimBackend& s) { s.unplug(); },
    [](sim::SimBackend& s) { s.transducer().dropRepliesTo(link::CMD_GET_INFO, INT_MAX); }};

const LinkFault kVanishesAtSettingsWrite{
    "the node vanishes as the settings are written", When::AtSettingsWrite, [](sim::SimBackend& s) { s.unplug(); },
    [](sim::SimBackend& s) { s.transducer().dropRepliesTo(link::CMD_SET_SENSOR_SETTINGS, INT_MAX); }};

const LinkFault kWritesFail{"every write fails mid-stream", When::WhileStreaming,
                            [](sim::SimBackend& s) { s.transducer().failNextWrites(INT_MAX); }};

const LinkFault kStopsStreaming{"the transducer stops streaming", When::WhileStreaming, [](sim::SimBackend& s) {
                                    s.transducer().dropRepliesTo(link::CMD_GET_MEASUREMENT, INT_MAX);
                                }};

// --- the window ---------------------------------------------------------------------------------

const QString kHyphens = QStringLiteral("----------");

/// What the window shows once the fault has had its effect.
struct WindowOutcome {
    const char* connectionField; ///< the connection field starts with this
    /// The status line contains this; kNothingTold and kCleared are matched exactly; nullptr: not
    /// checked (it varies).
    const char* statusLine;
    bool hyphens;                ///< the sum readout shows hyphens instead of a value
    bool linkLost;               ///< the link is declared lost at least once
};

struct WindowRow {
    const LinkFault& fault;
    WindowOutcome expected;
};

const char* const kConnected = "Połączono z QMX80NET : 1.05 virtual";
const char* const kNoConnection = "Brak połączenia";
/// Linked to the transducer, whose identification has not come.
const char* const kLinkedOnly = "Połączony";
/// The status line as the window starts: nothing was told.
const char* const kNothingTold = "...";
/// The status line emptied: what it told is over.
const char* const kCleared = "";

const WindowRow kWindowRows[] = {
    {kNoReply, {kLinkedOnly, "Przetwornik QMX80NET nie odpowiada; ponowna próba połączenia co 0.06 s", true, false}},
    // The measurements that do come are shown.
    {kWrongCodeForIdentification,
     {kLinkedOnly, "Przetwornik QMX80NET nie odpowiada; ponowna próba połączenia co 0.06 s", false, false}},
    // The identification is asked for again; the second reply is whole and the status line emptied.
    {kTruncatedIdentification, {kConnected, kCleared, false, false}},
    {kTruncatedSensorSettings, {kConnected, "Za krótka odpowiedź przetwornika na polecenie 0x02: 5 z ", false, false}},
    // The unanswered request lets polling resume, as any request without a reply does.
    {kNoSettingsReply, {kConnected, kNothingTold, false, false}},
    {kLateReplies, {kConnected, kCleared, false, false}},
    {kNotPresent, {kNoConnection, kNothingTold, true, false}},
    {kOpenRefused, {kNoConnection, "Permission denied", true, false}},
    {kGarbage, {kConnected, "Za krótka odpowiedź przetwornika na polecenie 0x85: 1 z 2 bajtów", false, false}},
    {kUnsolicitedReports, {kConnected, kNothingTold, false, false}},
    {kTruncatedMeasurement, {kConnected, "Za krótka odpowiedź przetwornika na polecenie 0x01: 10 z ", false, false}},
    // Whether the window had to drop reports of the flood depends on its speed: not checked.
    {kFlood, {kConnected, nullptr, false, false}},
    // The hot-plug notice ends the link before the reader fails: the connection field tells.
    {kVanishes, {kNoConnection, kNothingTold, true, false}},
    {kReaderFails,
     {kNoConnection, "Utracono połączenie z przetwornikiem QMX80NET: błąd odczytu urządzenia", true, true}},
    // After the loss the search finds the transducer again, which now hears nothing.
    {kWritesFail, {kLinkedOnly, "Przetwornik QMX80NET nie odpowiada; ponowna próba połączenia co 0.06 s", true, true}},
    {kStopsStreaming, {kConnected, "Utracono połączenie z przetwornikiem QMX80NET: brak pomiarów od 0.15 s", true, true}},
};

/// The main window against one virtual transducer, with the link's watch times cut short.
class WindowRig {
public:
    WindowRig() : sim(sim::SimBackend::Clock::RealTime)
    {
        sim.transducer().setStreamRate(kStreamRate);
        sim.transducer().setStreamKeepAlive(kKeepAlive);
    }

    void open()
    {
        window = std::make_unique<ui::MainWindow>(sim);
        window->resize(1400, 900); // the status line holds a whole message
        window->show();
        auto& controller = window->link();
        controller.setDecimalSeparator(u'.');
        controller.setMeasurementSilenceLimit(kSilenceLimitMs);
        controller.setStartupRetryInterval(kStartupRetryMs);
        controller.setReplyTimeout(kSilenceLimitMs);
        controller.pollTimer().setInterval(kPollSeconds);
        QObject::connect(&controller, &link::LinkController::linkLost, [this] { ++linkLosses; });
    }

    /// Polls once and waits until measurements are shown.
    bool streaming()
    {
        if (!waitFor([&] { return window->connectionStatusEdit->text() == QString::fromUtf8(kConnected) &&
                                  window->link().pollTimer().isEnabled(); })) {
            return false;
        }
        window->link().pollTick();
        return waitFor([&] { return window->link().measurementIsLive() && showsValue(); });
    }

    bool showsValue()
    {
        window->displayTick();
        return window->measurementPage->sumReadout->text() != kHyphens;
    }

    bool shows(const WindowOutcome& e)
    {
        window->displayTick();
        const bool hyphens = window->measurementPage->sumReadout->text() == kHyphens &&
                             window->measurementPage->channels[0].valueLabel->text() == QStringLiteral("---");
        const QString status = window->statusLabel->text();
        const QString expected = QString::fromUtf8(e.statusLine);
        const bool exact = e.statusLine == kNothingTold || e.statusLine == kCleared;
        const bool statusOk = e.statusLine == nullptr || (exact ? status == expected : status.contains(expected));
        return window->connectionStatusEdit->text().startsWith(QString::fromUtf8(e.connectionField)) && statusOk &&
               hyphens == e.hyphens && (linkLosses > 0) == e.linkLost;
    }

    std::string state()
    {
        window->displayTick();
        return "connection field '" + window->connectionStatusEdit->text().toStdString() + "', status line '" +
               window->statusLabel->text().toStdString() + "', sum '" +
               window->measurementPage->sumReadout->text().toStdString() + "', links lost " + std::to_string(linkLosses);
    }

    sim::SimBackend sim;
    std::unique_ptr<ui::MainWindow> window;
    int linkLosses = 0;
};

} // namespace

TEST(LinkFaultTable, TheWindowShowsEachFaultAsTheTableSays)
{
    for (const WindowRow& row : kWindowRows) {
        SCOPED_TRACE(row.fault.name);
        WindowRig rig;
        if (row.fault.when == When::BeforeStartUp) {
            row.fault.inject(rig.sim);
            rig.open();
        } else {
            rig.open();
            ASSERT_TRUE(rig.streaming()) << rig.state();
            row.fault.inject(rig.sim);
            rig.window->link().pollTick(); // a poll after the fault, as the poll timer sends
        }
        EXPECT_TRUE(waitFor([&] { return rig.shows(row.expected); })) << rig.state();
        if (!row.expected.linkLost) {
            // The outcome holds: no link loss follows later, and values shown keep coming after
            // the stream of the last poll ran out.
            waitFor([] { return false; }, kSilenceLimitMs);
            const int frames = rig.window->link().frameCount();
            waitFor([] { return false; }, kSilenceLimitMs);
            EXPECT_TRUE(rig.shows(row.expected)) << rig.state();
            if (!row.expected.hyphens) {
                EXPECT_GT(rig.window->link().frameCount(), frames) << "the values shown are not refreshed";
            }
        }
    }
}

// --- the tool -------------------------------------------------------------------------------------

namespace {

/// What one verb of the tool ends with under a fault.
struct ToolRow {
    const LinkFault& fault;
    QStringList command;  ///< the verb and its options; "@" stands for a file in a fresh folder
    int exitCode;
    const char* errorText;  ///< standard error contains this; "" for nothing on standard error
    const char* outputText; ///< standard output contains this; nullptr: not checked
};

const char* const kNoAnswerText = "qmx80net-cli: the transducer did not complete the start-up exchange";
const char* const kReaderFailedText = "qmx80net-cli: lost the link to the transducer: reading from the device failed";
const char* const kSilenceText = "qmx80net-cli: lost the link to the transducer: no measurement for 0.15 s while polling";
const char* const kWentAwayText = "qmx80net-cli: the transducer went away";

const QStringList kList{QStringLiteral("list")};
const QStringList kInfo{QStringLiteral("info")};
const QStringList kWatch{QStringLiteral("watch"), QStringLiteral("--count"), QStringLiteral("100")};
/// Watches until the link is lost (a few seconds at most).
const QStringList kWatchUntilLost{QStringLiteral("watch"), QStringLiteral("--seconds"), QStringLiteral("3")};
const QStringList kRecord{QStringLiteral("record"), QStringLiteral("--out"), QStringLiteral("@"),
                          QStringLiteral("--seconds"), QStringLiteral("0.3")};
const QStringList kShow{QStringLiteral("settings"), QStringLiteral("show")};
const QStringList kSave{QStringLiteral("settings"), QStringLiteral("save"), QStringLiteral("@")};
const QStringList kApply{QStringLiteral("settings"), QStringLiteral("apply"), QStringLiteral("@")};

const ToolRow kToolRows[] = {
    {kNoReply, kList, 0, "", "QMX80NET"},
    {kNoReply, kInfo, 2, kNoAnswerText, ""},
    {kNoReply, kWatch, 2, kNoAnswerText, ""},
    {kNoReply, kRecord, 2, kNoAnswerText, ""},
    {kNoReply, kShow, 2, kNoAnswerText, ""},
    {kNoReply, kSave, 2, kNoAnswerText, ""},
    {kNoReply, kApply, 2, kNoAnswerText, ""},
    {kWrongCodeForIdentification, kInfo, 2, kNoAnswerText, ""},
    {kTruncatedIdentification, kInfo, 2, kNoAnswerText, ""},
    {kTruncatedSensorSettings, kShow, 2, kNoAnswerText, ""},
    {kTruncatedSensorSettings, kSave, 2, kNoAnswerText, ""},
    {kNoSettingsReply, kShow, 2, kNoAnswerText, ""},
    {kNoSettingsReply, kApply, 2, kNoAnswerText, ""},
    {kNotPresent, kList, 0, "qmx80net-cli: no HID devices found", ""},
    {kNotPresent, kInfo, 2, "qmx80net-cli: no QMX80NET transducer found", ""},
    {kNotPresent, kWatch, 2, "qmx80net-cli: no QMX80NET transducer found", ""},
    {kOpenRefused, kInfo, 2, "qmx80net-cli: the transducer cannot be opened for reading and writing: ", ""},
    {kOpenRefused, kShow, 2, "Permission denied", ""},
    {kGarbage, kWatch, 0, "", nullptr},
    {kGarbage, kRecord, 0, "qmx80net-cli: recorded ", nullptr},
    {kTruncatedMeasurement, kWatch, 0, "", nullptr},
    {kFlood, kWatch, 0, "", nullptr},
    // The hot-plug notice comes before the reader fails.
    {kVanishes, kWatchUntilLost, 3, kWentAwayText, nullptr},
    {kVanishes, kRecord, 3, "qmx80net-cli: the transducer went away; ", nullptr},
    {kReaderFails, kWatchUntilLost, 3, kReaderFailedText, nullptr},
    {kReaderFails, kRecord, 3, kReaderFailedText, nullptr},
    {kVanishesAtStartUp, kInfo, 2, "qmx80net-cli: the transducer went away during the start-up exchange", ""},
    {kVanishesAtStartUp, kWatch, 2, "qmx80net-cli: the transducer went away during the start-up exchange", ""},
    {kVanishesAtSettingsWrite, kApply, 3,
     "qmx80net-cli: settings: the transducer went away before it confirmed the sensor settings", ""},
    {kWritesFail, kWatchUntilLost, 3, kSilenceText, nullptr},
    {kStopsStreaming, kWatchUntilLost, 3, kSilenceText, nullptr},
    {kStopsStreaming, kRecord, 3, kSilenceText, nullptr},
};

} // namespace

TEST(LinkFaultTable, EachToolVerbEndsAsTheTableSays)
{
    const cli::SessionLimits limits{kToolStartupMs, kSilenceLimitMs, kPollSeconds};
    for (const ToolRow& row : kToolRows) {
        SCOPED_TRACE(std::string(row.fault.name) + " / " + row.command.join(u' ').toStdString());
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("file.conf"));
        QStringList command = row.command;
        command.replaceInStrings(QStringLiteral("@"), file);
        if (row.command.contains(QStringLiteral("apply"))) {
            // A whole settings file, saved from a sound transducer.
            sim::SimBackend source(sim::SimBackend::Clock::RealTime);
            const auto save = test::captureTool([&] {
                return cli::runToolCommand(source, {QStringLiteral("settings"), QStringLiteral("save"), file});
            });
            ASSERT_EQ(save.exitCode, 0) << save.err.toStdString();
        }
        sim::SimBackend sim(sim::SimBackend::Clock::RealTime);
        sim.transducer().setStreamRate(kStreamRate);
        sim.transducer().setStreamKeepAlive(kKeepAlive);
        QTimer trigger;
        if (row.fault.prepare) {
            row.fault.prepare(sim);
        }
        if (row.fault.when == When::BeforeStartUp) {
            row.fault.inject(sim);
        } else {
            // The fault begins once a few measurements have gone out, or once the settings write
            // has reached the transducer.
            const auto due = [&sim, &row] {
                if (row.fault.when == When::WhileStreaming) {
                    return sim.transducer().measurementReportsQueued() >= 20;
                }
                const std::uint8_t code =
                    row.fault.when == When::AtIdentification ? link::CMD_GET_INFO : link::CMD_SET_SENSOR_SETTINGS;
                const auto codes = sim.transducer().receivedCodes();
                return std::find(codes.begin(), codes.end(), code) != codes.end();
            };
            trigger.setInterval(1);
            QObject::connect(&trigger, &QTimer::timeout, [&sim, &trigger, &row, due] {
                if (due()) {
                    trigger.stop();
                    row.fault.inject(sim);
                }
            });
            trigger.start();
        }
        const auto run = test::captureTool([&] { return cli::runToolCommand(sim, command, limits); });
        EXPECT_EQ(run.exitCode, row.exitCode) << run.err.toStdString();
        if (*row.errorText == '\0') {
            EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        } else {
            EXPECT_TRUE(run.err.contains(QString::fromUtf8(row.errorText))) << run.err.toStdString();
        }
        if (row.outputText != nullptr) {
            if (*row.outputText == '\0') {
                EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
            } else {
                EXPECT_TRUE(run.out.contains(QString::fromUtf8(row.outputText))) << run.out.toStdString();
            }
        }
        if (row.fault.when != When::BeforeStartUp) {
            EXPECT_FALSE(trigger.isActive()) << "the fault was never injected";
        }
        // Whatever the fault, nothing is written to the transducer's settings but by apply.
        const auto codes = sim.transducer().receivedCodes();
        if (row.fault.when != When::AtSettingsWrite) {
            EXPECT_EQ(std::count(codes.begin(), codes.end(), link::CMD_SET_SENSOR_SETTINGS), 0);
        }
        EXPECT_EQ(std::count(codes.begin(), codes.end(), link::CMD_SET_IO_SETTINGS), 0);
        // A recording cut short by the fault holds whole lines only.
        QFile recorded(file);
        if (row.command.first() == QLatin1String("record") && recorded.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = recorded.readAll();
            EXPECT_TRUE(bytes.isEmpty() || bytes.endsWith('\n')) << bytes.right(80).toStdString();
        }
    }
}
