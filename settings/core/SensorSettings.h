#pragma once
// The transducer's sensor-input settings block: the reply to CMD_GET_SENSOR_SETTINGS (0x02) and the
// request CMD_SET_SENSOR_SETTINGS (0x8A) carry it with the same 47-byte layout. The struct is a
// plain value type; the byte-exact wire layout lives only in the codec below.

#include "ListItems.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace qmx::settings {

/// Sensor-input settings of the transducer. Arrays hold sensor 1 first.
struct SensorSettings {
    std::array<std::int32_t, 4> Range{}; ///< sensor range in newtons
    std::array<float, 4> Sens{};         ///< sensor constant in mV/V
    std::uint8_t SignBits = 0;           ///< bit n set: sensor n+1 sign inverted
    std::uint8_t Filter = 0;             ///< index into kFiltLevelItems
    std::uint8_t Rate = 0;               ///< index into kAdRateItems / kSampleRates
    std::uint8_t Units = 0;              ///< index into kUnitsItems
    std::uint8_t SelTens = 0;            ///< 0 = sensor 1 summed ... 3 = sensors 1-4
    float SumOffset = 0.0F;              ///< added to the sum of the selected channels
    std::uint16_t StabSamplesNo = 0;     ///< samples examined for stability
    float StabMaxDiff = 0.0F;            ///< largest spread of those samples that counts as stable

    friend bool operator==(const SensorSettings&, const SensorSettings&) = default;
};

/// Bytes of the record on the wire.
inline constexpr std::size_t kSensorSettingsSize = 47;

/// Frame offsets of the fields (offset 0 is the command code).
inline constexpr std::size_t kSensRangeOffset = 1;      // 4 x int32
inline constexpr std::size_t kSensSensOffset = 17;      // 4 x float32
inline constexpr std::size_t kSensSignBitsOffset = 33;
inline constexpr std::size_t kSensFilterOffset = 34;
inline constexpr std::size_t kSensRateOffset = 35;
inline constexpr std::size_t kSensUnitsOffset = 36;
inline constexpr std::size_t kSensSelTensOffset = 37;
inline constexpr std::size_t kSensSumOffsetOffset = 38; // float32, unaligned
inline constexpr std::size_t kSensStabSamplesOffset = 42; // uint16
inline constexpr std::size_t kSensStabMaxDiffOffset = 44; // float32
static_assert(kSensStabMaxDiffOffset + 4 == 1 + kSensorSettingsSize, "record ends at frame byte 47");

/// Limits of the fields that the settings page enforces (bounds inclusive).
inline constexpr std::int32_t kRangeMin = 1;
inline constexpr std::int32_t kRangeMax = 100000000;
inline constexpr float kSensMin = 0.1F;
inline constexpr float kSensMax = 100000000.0F;
inline constexpr float kSumOffsetMin = -100000000.0F;
inline constexpr float kSumOffsetMax = 100000000.0F;
inline constexpr std::uint16_t kStabSamplesMax = 200;
inline constexpr float kStabMaxDiffMin = 0.0F;
inline constexpr float kStabMaxDiffMax = 100000000.0F;
/// Only the four low bits of SignBits name sensors.
inline constexpr std::uint8_t kSignBitsMask = 0x0F;

/// Decodes the record from a reply or request frame (code at offset 0, record at bytes 1..47).
/// Returns nothing when the frame is shorter than 48 bytes; bytes after 47 are ignored.
std::optional<SensorSettings> decodeSensorSettings(std::span<const std::uint8_t> frame);

/// Writes the 47-byte record into `record` (record byte 0 = frame byte 1). Returns false and
/// writes nothing when `record` is shorter than 47 bytes.
bool encodeSensorSettings(const SensorSettings& settings, std::span<std::uint8_t> record);

/// The 63-byte request CMD_SET_SENSOR_SETTINGS: 0x8A, the record, then zeros.
std::array<std::uint8_t, 63> encodeSensorSettingsRequest(const SensorSettings& settings);

/// The unit suffix (" N", " kN", ...) for a `Units` index; empty for an index outside the list.
std::string_view unitsSuffix(std::uint8_t units);

/// Samples per second for a `Rate` index; nothing for an index outside the list.
std::optional<int> sampleRate(std::uint8_t rate);

} // namespace qmx::settings
