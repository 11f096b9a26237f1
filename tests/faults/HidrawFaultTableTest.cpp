// The link fault campaign through the real hidapi library: the main window (offscreen) against an
// emulated hidraw node whose answers carry the fault. Here the faults pass the real reader, its
// report lengths and the node's removal, which the virtual transducer does not go through. Each row
// names the fault and what the window must show; the test walks the table.

#include "EmulatedHidraw.h"
#include "FaultTestSupport.h"

#include "link/Measurement.h"
#include "link/Protocol.h"
#include "link/hidapi/HidapiBackend.h"
#include "settings/core/IoSettings.h"
#include "settings/core/SensorSettings.h"
#include "sim/FactoryDefaults.h"
#include "ui/MainWindow.h"
#include "ui/pages/MeasurementPage.h"

#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

using namespace qmx;
using qmx::test::waitFor;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kReportLength = 65;
constexpr int kSilenceLimitMs = 300;
constexpr int kStartupRetryMs = 100;

/// One input report: report ID 1, then the payload, padded with zeros to a whole report.
Bytes inputReport(const Bytes& payload)
{
    Bytes report(std::max(kReportLength, payload.size() + 1), 0);
    report[0] = 0x01;
    std::copy(payload.begin(), payload.end(), report.begin() + 1);
    return report;
}

Bytes measurementReport()
{
    link::Measurement m;
    m.ChannelValue[0] = 12.5F;
    m.SumValue = 12.5F;
    Bytes payload(link::kMeasurementLength, 0);
    link::encodeMeasurement(m, payload);
    payload[0] = link::CMD_GET_MEASUREMENT;
    return inputReport(payload);
}

/// How the emulated transducer misbehaves. It answers the start-up exchange and one measurement
/// report per poll, except where the fault says otherwise. The responder runs on umockdev's thread.
struct Behaviour {
    bool answersNothing = false;
    std::size_t sensorReplyLength = 0;  ///< non-zero: the sensor settings reply is cut to this
    bool garbageBeforeEachReply = false; ///< every reply follows an unknown code and a foreign report
    int measurementsPerPoll = 1;
    std::atomic<int> pollsAnswered{0};
    std::atomic<int> stopStreamingAfter{-1}; ///< polls answered before the measurements stop
};

std::vector<Bytes> respond(Behaviour& b, std::span<const std::uint8_t> request)
{
    if (b.answersNothing || request.size() < 2 || request[0] != link::kOutputReportId) {
        return {};
    }
    std::vector<Bytes> replies;
    if (b.garbageBeforeEachReply) {
        replies.push_back(inputReport({0x7E, 0xFF, 0x00, 0x13}));
        replies.push_back(Bytes(kReportLength, 0xAB)); // another report ID
    }
    switch (request[1]) {
    case link::CMD_SET_LINK_STATE:
        replies.push_back(inputReport({link::CMD_SET_LINK_STATE, request.size() > 2 ? request[2] : std::uint8_t(0)}));
        break;
    case link::CMD_GET_INFO:
        replies.push_back(inputReport({link::CMD_GET_INFO, 105, 'h', 'i', 'd', 'r', 'a', 'w', 0}));
        break;
    case link::CMD_GET_SENSOR_SETTINGS: {
        Bytes payload(64, 0);
        payload[0] = link::CMD_GET_SENSOR_SETTINGS;
        settings::encodeSensorSettings(sim::factorySensorSettings(), std::span(payload).subspan(1));
        Bytes report = inputReport(payload);
        if (b.sensorReplyLength > 0) {
            report.resize(b.sensorReplyLength + 1); // the report ID and the first bytes only
        }
        replies.push_back(report);
        break;
    }
    case link::CMD_GET_IO_SETTINGS: {
        Bytes payload(64, 0);
        payload[0] = link::CMD_GET_IO_SETTINGS;
        settings::encodeIoSettings(sim::factoryIoSettings(), std::span(payload).subspan(1));
        replies.push_back(inputReport(payload));
        break;
    }
    case link::CMD_GET_MEASUREMENT: {
        const int answered = b.pollsAnswered.fetch_add(1);
        const int stopAfter = b.stopStreamingAfter.load();
        if (stopAfter < 0 || answered < stopAfter) {
            for (int i = 0; i < b.measurementsPerPoll; ++i) {
                replies.push_back(measurementReport());
            }
        }
        break;
    }
    default:
        replies.push_back(inputReport({request[1]}));
        break;
    }
    return replies;
}

const QString kHyphens = QStringLiteral("----------");

struct HidrawRow {
    const char* fault;
    std::function<void(Behaviour&)> before;                              ///< the fault from the start
    std::function<void(Behaviour&, test::EmulatedHidraw&)> midStream; ///< or once measurements are shown
    const char* connectionField; ///< the connection field starts with this
    const char* statusLine;      ///< the status line contains this ("..." exactly: nothing told)
    bool hyphens;                ///< the sum readout shows hyphens
};

const char* const kConnected = "Połączono z QMX80NET : 1.05 hidraw";

const HidrawRow kRows[] = {
    {"a node that answers nothing", [](Behaviour& b) { b.answersNothing = true; }, {}, "Połączony",
     "Przetwornik QMX80NET nie odpowiada; ponowna próba połączenia co 0.1 s", true},
    {"the sensor settings reply is 6 bytes long", [](Behaviour& b) { b.sensorReplyLength = 5; }, {}, kConnected,
     "Za krótka odpowiedź przetwornika na polecenie 0x02: 5 z ", false},
    // Unknown codes and foreign reports are passed over without a word.
    {"garbage before every reply", [](Behaviour& b) { b.garbageBeforeEachReply = true; }, {}, kConnected, "...", false},
    {"a flood of 300 measurement reports per poll", {},
     [](Behaviour& b, test::EmulatedHidraw&) { b.measurementsPerPoll = 300; }, kConnected, nullptr, false},
    {"the transducer stops streaming", {},
     [](Behaviour& b, test::EmulatedHidraw&) { b.stopStreamingAfter = b.pollsAnswered.load(); }, kConnected,
     "Utracono połączenie z przetwornikiem QMX80NET: brak pomiarów od 0.3 s", true},
    {"the node vanishes mid-stream", {}, [](Behaviour&, test::EmulatedHidraw& h) { h.remove(0); }, "Brak połączenia",
     nullptr, true},
};

} // namespace

TEST(HidrawFaultTable, TheWindowShowsEachFaultOfARealReaderAsTheTableSays)
{
    for (const HidrawRow& row : kRows) {
        SCOPED_TRACE(row.fault);
        test::EmulatedHidraw hidraw;
        auto behaviour = std::make_shared<Behaviour>();
        if (row.before) {
            row.before(*behaviour);
        }
        hidraw.add({}, [behaviour](std::span<const std::uint8_t> request) { return respond(*behaviour, request); });
        link::HidapiBackend backend(link::HotplugSource::UdevMonitor, link::HidapiBackend::kDefaultPollInterval);
        ui::MainWindow window(backend);
        window.resize(1400, 900);
        window.show();
        auto& controller = window.link();
        controller.setDecimalSeparator(u'.');
        controller.setMeasurementSilenceLimit(kSilenceLimitMs);
        controller.setStartupRetryInterval(kStartupRetryMs);
        controller.setReplyTimeout(kSilenceLimitMs);
        controller.pollTimer().setInterval(0.05);

        const auto sumShown = [&] {
            window.displayTick();
            return window.measurementPage->sumReadout->text();
        };
        if (row.midStream) {
            ASSERT_TRUE(waitFor([&] { return sumShown() != kHyphens; }, 5000))
                << window.connectionStatusEdit->text().toStdString();
            row.midStream(*behaviour, hidraw);
        }
        const auto shows = [&] {
            const QString status = window.statusLabel->text();
            const QString expected = QString::fromUtf8(row.statusLine);
            const bool statusOk = row.statusLine == nullptr ||
                                  (expected == QStringLiteral("...") ? status == expected : status.contains(expected));
            return window.connectionStatusEdit->text().startsWith(QString::fromUtf8(row.connectionField)) && statusOk &&
                   (sumShown() == kHyphens) == row.hyphens;
        };
        EXPECT_TRUE(waitFor(shows, 5000)) << "connection field '" << window.connectionStatusEdit->text().toStdString()
                                          << "', status line '" << window.statusLabel->text().toStdString()
                                          << "', sum '" << sumShown().toStdString() << "'";
    }
}
