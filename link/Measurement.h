#pragma once
// The live measurement record, overwritten in place by every measurement report (code 0x01).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace qmx::link {

/// Channel status codes carried by measurement reports.
enum ChannelStatusCode : std::uint8_t {
    kStatusConverterError = 0,
    kStatusNoSensor = 1,
    kStatusUnstable = 2,
    kStatusStable = 3,
    kStatusOverloaded = 4,
};

/// The live measurement record. Values are in the unit set in the transducer.
struct Measurement {
    std::uint8_t InputState = 0;  ///< bit 0 = IN1, bit 1 = IN2
    std::uint8_t OutputState = 0; ///< bit 0 = OUT1, bit 1 = OUT2
    float SumValue = 0.0F;
    float DeviceMax = 0.0F;
    std::array<std::uint8_t, 4> ChannelStatus{};
    std::array<std::uint16_t, 4> ChannelLoad{}; ///< percent of the channel's range
    std::array<float, 4> ChannelValue{};
    std::uint16_t Rs485Fps = 0;
    std::uint16_t EthFps = 0;
};

/// Offsets of the measurement report (offset 0 = code).
inline constexpr std::size_t kMeasInputState = 1;
inline constexpr std::size_t kMeasOutputState = 2;
inline constexpr std::size_t kMeasSum = 3;
inline constexpr std::size_t kMeasMax = 7;
inline constexpr std::size_t kMeasStatus = 11;
inline constexpr std::size_t kMeasLoad = 15;
inline constexpr std::size_t kMeasValue = 23;
inline constexpr std::size_t kMeasRs485Fps = 56;
inline constexpr std::size_t kMeasEthFps = 58;
/// Bytes a measurement report must carry (offsets 0..59).
inline constexpr std::size_t kMeasurementLength = 60;

/// Decodes a measurement report into `out` without allocating. Returns false, leaving `out`
/// untouched, when the report is shorter than the offsets it must carry.
bool decodeMeasurement(std::span<const std::uint8_t> report, Measurement& out);

/// Encodes a record as a measurement report of `kMeasurementLength` bytes (used by the virtual
/// transducer and by tests); unused bytes are zero.
void encodeMeasurement(const Measurement& m, std::span<std::uint8_t> out);

} // namespace qmx::link
