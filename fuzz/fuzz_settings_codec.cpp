// Fuzz target: the settings records as the transducer sends them (replies 0x02 and 0x03), the
// measurement record and the identification reply.
// Invariants: a decoded record encodes back to the bytes it came from (the reserved byte of the I/O
// record as 0); a measurement re-encodes to the bytes it carries; the texts the settings pages show
// for a record read back as exactly that record, and a record whose every value is within the
// pages' rules is accepted; an accepted record never holds a non-finite value.

#include "FuzzCheck.h"

#include "display/core/NumberFormat.h"
#include "link/DeviceInfo.h"
#include "link/Measurement.h"
#include "settings/core/ListItems.h"
#include "settings/core/IoSettings.h"
#include "settings/core/SensorSettings.h"
#include "settings/devicefile/DeviceSettingsRecords.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace {

using namespace qmx;
using namespace qmx::settings;

bool within(float value, float lower, float upper)
{
    return std::isfinite(value) && value >= lower && value <= upper;
}

bool addressAccepted(const std::array<std::uint8_t, 4>& a)
{
    return !std::all_of(a.begin(), a.end(), [](std::uint8_t b) { return b == 0xFF; });
}

bool rowWithinRules(const OutputSettings& o)
{
    return o.Source < kOutSourceItems.size() && o.mode1 < kOutModeItems.size() && o.mode2 < kOutModeItems.size() &&
           o.condition < kOutConditionItems.size() && o.state < kOutStateItems.size() &&
           within(o.number1, kThresholdMin, kThresholdMax) && within(o.number2, kThresholdMin, kThresholdMax);
}

bool withinRules(const SensorSettings& s, const IoSettings& io)
{
    bool ok = s.SelTens < kSelTensItems.size() && s.Rate < kAdRateItems.size() && s.Filter < kFiltLevelItems.size() &&
              s.Units < kUnitsItems.size() && s.StabSamplesNo <= kStabSamplesMax &&
              within(s.SumOffset, kSumOffsetMin, kSumOffsetMax) && within(s.StabMaxDiff, kStabMaxDiffMin, kStabMaxDiffMax);
    for (std::size_t i = 0; i < 4; ++i) {
        ok = ok && s.Range[i] >= kRangeMin && s.Range[i] <= kRangeMax && within(s.Sens[i], kSensMin, kSensMax);
    }
    return ok && io.Baudrate < kModbusBaudItems.size() && io.Parity < kModbusParityItems.size() &&
           io.Address >= kModbusAddressMin && io.Address <= kModbusAddressMax && addressAccepted(io.IP) &&
           addressAccepted(io.Mask) && addressAccepted(io.Gate) && rowWithinRules(io.Out1) && rowWithinRules(io.Out2);
}

void checkFileRoundTrip(const SensorSettings& sensor, const IoSettings& io, int decimals,
                        const display::NumberLocale& locale)
{
    const DeviceSettingsValues values = valuesFromRecords(sensor, io, decimals, locale);
    const RecordsFromValues back = recordsFromValues(values, io.MAC, locale);
    FUZZ_CHECK(back.sensor.has_value() == back.io.has_value());
    FUZZ_CHECK(back.sensor.has_value() == back.problems.isEmpty());
    FUZZ_CHECK(back.sensor.has_value() == withinRules(sensor, io));
    if (!back.sensor) {
        return;
    }
    SensorSettings expectedSensor = sensor;
    expectedSensor.SignBits &= kSignBitsMask;
    IoSettings expectedIo = io;
    expectedIo.IndicatorFlags &= kOut1StabFlag | kOut2OverloadFlag;
    FUZZ_CHECK(*back.sensor == expectedSensor);
    FUZZ_CHECK(*back.io == expectedIo);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) {
        return 0;
    }
    // The first byte chooses the decimals and the locale; the rest is the frame.
    const int decimals = data[0] % 5;
    const display::NumberLocale locale = (data[0] & 0x80) != 0 ? display::NumberLocale{u',', u'\u00A0'}
                                                               : display::NumberLocale::c();
    const std::span<const std::uint8_t> frame(data + 1, size - 1);

    const auto sensor = decodeSensorSettings(frame);
    FUZZ_CHECK(sensor.has_value() == (frame.size() >= 1 + kSensorSettingsSize));
    if (sensor) {
        std::array<std::uint8_t, kSensorSettingsSize> record{};
        FUZZ_CHECK(encodeSensorSettings(*sensor, record));
        FUZZ_CHECK(std::equal(record.begin(), record.end(), frame.begin() + 1));
        const auto request = encodeSensorSettingsRequest(*sensor);
        FUZZ_CHECK(request[0] == 0x8A && std::equal(record.begin(), record.end(), request.begin() + 1));
    }
    const auto io = decodeIoSettings(frame);
    FUZZ_CHECK(io.has_value() == (frame.size() >= 1 + kIoSettingsSize));
    if (io) {
        std::array<std::uint8_t, kIoSettingsSize> record{};
        FUZZ_CHECK(encodeIoSettings(*io, record));
        for (std::size_t i = 0; i < kIoSettingsSize; ++i) {
            const std::uint8_t expected = i + 1 == kIoReservedOffset ? 0 : frame[i + 1];
            FUZZ_CHECK(record[i] == expected);
        }
        const auto request = encodeIoSettingsRequest(*io);
        FUZZ_CHECK(request[0] == 0x8B && std::equal(record.begin(), record.end(), request.begin() + 1));
    }
    if (sensor && io) {
        // One frame supplies both records: the sensor record from its bytes, the I/O record from its own.
        checkFileRoundTrip(*sensor, *io, decimals, locale);
    }

    link::Measurement measurement;
    if (link::decodeMeasurement(frame, measurement)) {
        std::vector<std::uint8_t> encoded(link::kMeasurementLength);
        link::encodeMeasurement(measurement, encoded);
        FUZZ_CHECK(encoded[link::kMeasInputState] == (frame[link::kMeasInputState] & 0x03));
        FUZZ_CHECK(encoded[link::kMeasOutputState] == (frame[link::kMeasOutputState] & 0x03));
        FUZZ_CHECK(std::equal(encoded.begin() + link::kMeasSum, encoded.begin() + link::kMeasValue + 16,
                              frame.begin() + link::kMeasSum));
        FUZZ_CHECK(std::equal(encoded.begin() + link::kMeasRs485Fps, encoded.end(), frame.begin() + link::kMeasRs485Fps));
    } else {
        FUZZ_CHECK(frame.size() < link::kMeasurementLength);
    }

    if (const auto info = link::decodeDeviceInfo(frame)) {
        const QString text = link::connectionText(*info, locale.decimalPoint);
        FUZZ_CHECK(text.endsWith(info->Description));
        FUZZ_CHECK(std::isfinite(info->FirmwareVersion));
    }
    return 0;
}
