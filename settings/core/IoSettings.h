#pragma once
// The transducer's communication and output settings block: the reply to CMD_GET_IO_SETTINGS (0x03)
// and the request CMD_SET_IO_SETTINGS (0x8B) carry it with the same 49-byte layout, holding two
// 13-byte output blocks. Plain value types; the wire layout lives only in the codec.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace qmx::settings {

/// Conditions that switch one digital output. Field order is the wire order.
struct OutputSettings {
    std::uint8_t condition = 0; ///< 0 "---" condition 1 only, 1 "ORAZ" and, 2 "LUB" or
    std::uint8_t mode1 = 0;     ///< comparison of condition 1: 0 '<', 1 '>'
    std::uint8_t mode2 = 0;     ///< comparison of condition 2: 0 '<', 1 '>'
    std::uint8_t state = 0;     ///< 0 "Nieaktywne", 1 "Aktywne": output state while conditions hold
    std::uint8_t Source = 0;    ///< 0 none, 1-4 sensor 1-4, 5 the sum
    float number1 = 0.0F;       ///< threshold of condition 1
    float number2 = 0.0F;       ///< threshold of condition 2

    friend bool operator==(const OutputSettings&, const OutputSettings&) = default;
};

/// Communication and output settings of the transducer. Addresses are held first byte first
/// (IP[0] is the first number of the dotted text).
struct IoSettings {
    std::uint8_t Baudrate = 0; ///< index into kModbusBaudItems
    std::uint8_t Address = 0;  ///< Modbus address 1-247
    std::uint8_t Parity = 0;   ///< index into kModbusParityItems
    std::array<std::uint8_t, 4> IP{};
    std::array<std::uint8_t, 4> Mask{};
    std::array<std::uint8_t, 4> Gate{};
    std::array<std::uint8_t, 6> MAC{};
    OutputSettings Out1;
    OutputSettings Out2;
    std::uint8_t IndicatorFlags = 0; ///< bit 0 OUT1 signals stability, bit 1 OUT2 signals overload

    friend bool operator==(const IoSettings&, const IoSettings&) = default;
};

inline constexpr std::size_t kOutputSettingsSize = 13;
inline constexpr std::size_t kIoSettingsSize = 49;

/// Frame offsets (offset 0 is the command code).
inline constexpr std::size_t kIoBaudrateOffset = 1;
inline constexpr std::size_t kIoAddressOffset = 2;
inline constexpr std::size_t kIoParityOffset = 3;
inline constexpr std::size_t kIoIpOffset = 4;
inline constexpr std::size_t kIoMaskOffset = 8;
inline constexpr std::size_t kIoGateOffset = 12;
inline constexpr std::size_t kIoMacOffset = 16;
inline constexpr std::size_t kIoReservedOffset = 22; ///< ignored in replies, 0 in requests
inline constexpr std::size_t kIoOut1Offset = 23;
inline constexpr std::size_t kIoOut2Offset = 36;
inline constexpr std::size_t kIoIndicatorFlagsOffset = 49;
static_assert(kIoOut2Offset == kIoOut1Offset + kOutputSettingsSize);
static_assert(kIoIndicatorFlagsOffset == kIoOut2Offset + kOutputSettingsSize);
static_assert(kIoIndicatorFlagsOffset == kIoSettingsSize, "record ends at frame byte 49");

/// Offsets within an output block.
inline constexpr std::size_t kOutConditionOffset = 0;
inline constexpr std::size_t kOutMode1Offset = 1;
inline constexpr std::size_t kOutMode2Offset = 2;
inline constexpr std::size_t kOutStateOffset = 3;
inline constexpr std::size_t kOutSourceOffset = 4;
inline constexpr std::size_t kOutNumber1Offset = 5;
inline constexpr std::size_t kOutNumber2Offset = 9;
static_assert(kOutNumber2Offset + 4 == kOutputSettingsSize);

/// Limits of the output thresholds (inclusive).
inline constexpr float kThresholdMin = -100000000.0F;
inline constexpr float kThresholdMax = 100000000.0F;
/// Bits of IndicatorFlags.
inline constexpr std::uint8_t kOut1StabFlag = 0x01;
inline constexpr std::uint8_t kOut2OverloadFlag = 0x02;

/// Decodes an output block from its 13 bytes. Nothing when `block` is shorter.
std::optional<OutputSettings> decodeOutputSettings(std::span<const std::uint8_t> block);
/// Writes an output block into `block`; false, nothing written, when it is shorter than 13 bytes.
bool encodeOutputSettings(const OutputSettings& out, std::span<std::uint8_t> block);

/// Decodes the record from a reply or request frame (code at offset 0, record at bytes 1..49).
/// Returns nothing when the frame is shorter than 50 bytes; the reserved byte and bytes after 49
/// are ignored.
std::optional<IoSettings> decodeIoSettings(std::span<const std::uint8_t> frame);

/// Writes the 49-byte record into `record` (record byte 0 = frame byte 1), the reserved byte as
/// 0. Returns false and writes nothing when `record` is shorter than 49 bytes.
bool encodeIoSettings(const IoSettings& settings, std::span<std::uint8_t> record);

/// The 63-byte request CMD_SET_IO_SETTINGS: 0x8B, the record (byte 22 = 0), then zeros.
std::array<std::uint8_t, 63> encodeIoSettingsRequest(const IoSettings& settings);

} // namespace qmx::settings
