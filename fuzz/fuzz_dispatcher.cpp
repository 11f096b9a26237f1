// Fuzz target: the receive dispatcher of a connected link, fed a sequence of input reports.
// Input: reports as [length byte][payload]; the payload's first byte is the reply code.
// Invariants: every report the link sends back is a command of the table in an output report of
// the device's length; a measurement report updates the record to exactly what it carries; a
// settings reply long enough for its record is handed on byte for byte (and decodes to a record
// that encodes back to the same bytes); a shorter one is never handed on.

#include "FuzzCheck.h"

#include "FakeBackend.h"

#include "lang/StringTable.h"
#include "link/DeviceInfo.h"
#include "link/LinkController.h"
#include "link/Measurement.h"
#include "link/Protocol.h"
#include "settings/core/IoSettings.h"
#include "settings/core/SensorSettings.h"

#include <QByteArray>
#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace {

using namespace qmx;

struct Harness {
    test::FakeBackend backend;
    std::shared_ptr<test::FakeDeviceState> device = backend.add(u"QMX80NET");
    link::LinkController controller{backend, [](std::string_view id) { return lang::lookupText(id, lang::Language::English); }};
    std::optional<QByteArray> sensorFrame;
    std::optional<QByteArray> ioFrame;

    Harness()
    {
        QObject::connect(&controller, &link::LinkController::sensorSettingsReceived,
                         [this](const QByteArray& frame) { sensorFrame = frame; });
        QObject::connect(&controller, &link::LinkController::ioSettingsReceived,
                         [this](const QByteArray& frame) { ioFrame = frame; });
        controller.onDeviceChange();
        FUZZ_CHECK(controller.connected());
        // The poll worker would send measurement requests on its own; the target drives the link alone.
        controller.pollTimer().setInterval(3600.0);
    }
};

Harness* harness = nullptr;

bool sameBytes(const QByteArray& a, std::span<const std::uint8_t> b)
{
    return static_cast<std::size_t>(a.size()) == b.size() &&
           std::equal(b.begin(), b.end(), reinterpret_cast<const std::uint8_t*>(a.constData()));
}

void checkMeasurement(std::span<const std::uint8_t> payload)
{
    const link::Measurement& m = harness->controller.measurement();
    std::array<std::uint8_t, link::kMeasurementLength> encoded{};
    link::encodeMeasurement(m, encoded);
    for (std::size_t i = 1; i < link::kMeasurementLength; ++i) {
        std::uint8_t expected = payload[i];
        if (i == link::kMeasInputState || i == link::kMeasOutputState) {
            expected &= 0x03; // two inputs, two outputs
        } else if (i >= link::kMeasValue + 16 && i < link::kMeasRs485Fps) {
            expected = 0; // bytes the record does not carry
        }
        FUZZ_CHECK(encoded[i] == expected);
    }
    FUZZ_CHECK(harness->controller.measurementIsLive());
}

void checkSettingsRoundTrip(const QByteArray& frame, bool sensor)
{
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(frame.constData()),
                                              static_cast<std::size_t>(frame.size()));
    std::array<std::uint8_t, 63> record{};
    if (sensor) {
        const auto decoded = settings::decodeSensorSettings(bytes);
        FUZZ_CHECK(decoded.has_value());
        FUZZ_CHECK(settings::encodeSensorSettings(*decoded, std::span(record).subspan(1)));
        FUZZ_CHECK(std::equal(record.begin() + 1, record.begin() + 1 + settings::kSensorSettingsSize, bytes.begin() + 1));
    } else {
        const auto decoded = settings::decodeIoSettings(bytes);
        FUZZ_CHECK(decoded.has_value());
        FUZZ_CHECK(settings::encodeIoSettings(*decoded, std::span(record).subspan(1)));
        for (std::size_t i = 1; i <= settings::kIoSettingsSize; ++i) {
            const std::uint8_t expected = i == settings::kIoReservedOffset ? 0 : bytes[i];
            FUZZ_CHECK(record[i] == expected);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    harness = new Harness;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> input(data, size);
    std::size_t at = 0;
    while (at < input.size()) {
        const std::size_t length = std::min<std::size_t>(input[at], input.size() - at - 1);
        const auto payload = input.subspan(at + 1, length);
        at += 1 + length;

        harness->device->clearWrites();
        harness->sensorFrame.reset();
        harness->ioFrame.reset();
        harness->controller.dispatchReport(link::kOutputReportId, payload);

        FUZZ_CHECK(harness->controller.connected());
        for (const auto& written : harness->device->writes()) {
            FUZZ_CHECK(written.size() == harness->device->reportLength);
            FUZZ_CHECK(written[0] == link::kOutputReportId);
            FUZZ_CHECK(link::findCommand(written[1]) != nullptr);
        }
        if (payload.empty()) {
            continue;
        }
        const std::uint8_t code = payload[0];
        if (code == link::CMD_GET_MEASUREMENT && payload.size() >= link::kMeasurementLength) {
            checkMeasurement(payload);
        }
        const bool sensorReplyComplete = payload.size() >= 1 + settings::kSensorSettingsSize;
        const bool ioReplyComplete = payload.size() >= 1 + settings::kIoSettingsSize;
        FUZZ_CHECK(harness->sensorFrame.has_value() == (code == link::CMD_GET_SENSOR_SETTINGS && sensorReplyComplete));
        FUZZ_CHECK(harness->ioFrame.has_value() == (code == link::CMD_GET_IO_SETTINGS && ioReplyComplete));
        if (harness->sensorFrame) {
            FUZZ_CHECK(sameBytes(*harness->sensorFrame, payload));
            checkSettingsRoundTrip(*harness->sensorFrame, true);
            // The next request asks for the other settings block (a poll tick may come in between).
            auto codes = harness->device->codes();
            std::erase(codes, link::CMD_GET_MEASUREMENT);
            FUZZ_CHECK(!codes.empty() && codes.back() == link::CMD_GET_IO_SETTINGS);
        }
        if (harness->ioFrame) {
            FUZZ_CHECK(sameBytes(*harness->ioFrame, payload));
            checkSettingsRoundTrip(*harness->ioFrame, false);
        }
        if (code == link::CMD_GET_INFO && payload.size() >= 2) {
            const auto info = link::decodeDeviceInfo(payload);
            FUZZ_CHECK(info.has_value());
            FUZZ_CHECK(info->Description.size() <= static_cast<qsizetype>(payload.size() - 2));
            for (const QChar c : info->Description) {
                FUZZ_CHECK(c.unicode() >= 0x20 && c.unicode() != 0x7F && !(c.unicode() >= 0x80 && c.unicode() < 0xA0));
            }
        }
    }
    return 0;
}
