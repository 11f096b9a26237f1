#include "SensorSettings.h"

#include "link/Bytes.h"
#include "link/Protocol.h"


namespace qmx::settings {

using link::readFloatLe;
using link::readU16Le;
using link::readU32Le;
using link::writeFloatLe;
using link::writeU16Le;
using link::writeU32Le;

std::optional<SensorSettings> decodeSensorSettings(std::span<const std::uint8_t> frame)
{
    if (frame.size() < 1 + kSensorSettingsSize) {
        return std::nullopt;
    }
    SensorSettings s;
    for (std::size_t i = 0; i < 4; ++i) {
        s.Range[i] = static_cast<std::int32_t>(readU32Le(frame, kSensRangeOffset + 4 * i));
        s.Sens[i] = readFloatLe(frame, kSensSensOffset + 4 * i);
    }
    s.SignBits = frame[kSensSignBitsOffset];
    s.Filter = frame[kSensFilterOffset];
    s.Rate = frame[kSensRateOffset];
    s.Units = frame[kSensUnitsOffset];
    s.SelTens = frame[kSensSelTensOffset];
    s.SumOffset = readFloatLe(frame, kSensSumOffsetOffset);
    s.StabSamplesNo = readU16Le(frame, kSensStabSamplesOffset);
    s.StabMaxDiff = readFloatLe(frame, kSensStabMaxDiffOffset);
    return s;
}

bool encodeSensorSettings(const SensorSettings& s, std::span<std::uint8_t> record)
{
    if (record.size() < kSensorSettingsSize) {
        return false;
    }
    // The frame offsets are used throughout; the record starts one byte after the code.
    auto at = [](std::size_t frameOffset) { return frameOffset - 1; };
    for (std::size_t i = 0; i < 4; ++i) {
        writeU32Le(record, at(kSensRangeOffset + 4 * i), static_cast<std::uint32_t>(s.Range[i]));
        writeFloatLe(record, at(kSensSensOffset + 4 * i), s.Sens[i]);
    }
    record[at(kSensSignBitsOffset)] = s.SignBits;
    record[at(kSensFilterOffset)] = s.Filter;
    record[at(kSensRateOffset)] = s.Rate;
    record[at(kSensUnitsOffset)] = s.Units;
    record[at(kSensSelTensOffset)] = s.SelTens;
    writeFloatLe(record, at(kSensSumOffsetOffset), s.SumOffset);
    writeU16Le(record, at(kSensStabSamplesOffset), s.StabSamplesNo);
    writeFloatLe(record, at(kSensStabMaxDiffOffset), s.StabMaxDiff);
    return true;
}

std::array<std::uint8_t, 63> encodeSensorSettingsRequest(const SensorSettings& settings)
{
    std::array<std::uint8_t, 63> frame{};
    frame[0] = link::CMD_SET_SENSOR_SETTINGS;
    encodeSensorSettings(settings, std::span(frame).subspan(1, kSensorSettingsSize));
    return frame;
}

std::string_view unitsSuffix(std::uint8_t units)
{
    return units < kUnitsSuffixes.size() ? kUnitsSuffixes[units] : std::string_view{};
}

std::optional<int> sampleRate(std::uint8_t rate)
{
    if (rate >= kSampleRates.size()) {
        return std::nullopt;
    }
    return kSampleRates[rate];
}

} // namespace qmx::settings
