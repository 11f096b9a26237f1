#pragma once
// Command codes of the transducer's HID protocol and the facts of its report framing.
// Every request is one output report; the reply carries the same code in its first payload byte.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qmx::link {

inline constexpr std::uint8_t CMD_GET_INFO = 0x00;
inline constexpr std::uint8_t CMD_GET_MEASUREMENT = 0x01;
inline constexpr std::uint8_t CMD_GET_SENSOR_SETTINGS = 0x02;
inline constexpr std::uint8_t CMD_GET_IO_SETTINGS = 0x03;
inline constexpr std::uint8_t CMD_SET_LINK_STATE = 0x85;
inline constexpr std::uint8_t CMD_SET_SENSOR_SETTINGS = 0x8A;
inline constexpr std::uint8_t CMD_SET_IO_SETTINGS = 0x8B;
inline constexpr std::uint8_t CMD_ZERO_SENSOR1 = 0x8C;
inline constexpr std::uint8_t CMD_ZERO_SENSOR2 = 0x8D;
inline constexpr std::uint8_t CMD_ZERO_SENSOR3 = 0x8E;
inline constexpr std::uint8_t CMD_ZERO_SENSOR4 = 0x8F;
inline constexpr std::uint8_t CMD_ZERO_ALL_SENSORS = 0x90;
inline constexpr std::uint8_t CMD_TARE_SUM = 0x91;
inline constexpr std::uint8_t CMD_RESET_MIN_MAX = 0x93;
inline constexpr std::uint8_t CMD_FACTORY_SENSOR_SETTINGS = 0x9F;
inline constexpr std::uint8_t CMD_FACTORY_COMM_SETTINGS = 0xA0;
inline constexpr std::uint8_t CMD_FACTORY_OUTPUT_SETTINGS = 0xA1;
inline constexpr std::uint8_t CMD_ANALOG_TEST_START = 0xA8;
inline constexpr std::uint8_t CMD_ANALOG_TEST_STOP = 0xA9;
inline constexpr std::uint8_t CMD_ANALOG_CALIBRATE = 0xAA;

/// Report ID carried in front of every request.
inline constexpr std::uint8_t kOutputReportId = 1;
/// Size of the buffer a request is assembled in; also the largest output report accepted.
inline constexpr std::size_t kReportBufferSize = 256;
/// Longest request payload: the code plus 62 parameter bytes.
inline constexpr std::size_t kLongPayload = 63;
/// Smallest usable output report: report ID plus the longest payload.
inline constexpr std::size_t kMinOutputReportLength = 1 + kLongPayload;
/// Report lengths assumed when a device's report descriptor cannot be read.
inline constexpr std::size_t kFallbackReportLength = 65;

/// Product string that identifies the transducer, compared byte for byte.
inline constexpr std::string_view kProductName = "QMX80NET";

/// Request shape of a command.
enum class RequestKind : std::uint8_t { CodeOnly, Long };

/// One row of the command table: what is sent and how long the payload is.
struct CommandInfo {
    std::uint8_t code;
    std::string_view name;
    RequestKind request;
};

/// The complete command table. No other code is ever sent.
inline constexpr std::array<CommandInfo, 20> kCommands{{
    {CMD_GET_INFO, "CMD_GET_INFO", RequestKind::CodeOnly},
    {CMD_GET_MEASUREMENT, "CMD_GET_MEASUREMENT", RequestKind::CodeOnly},
    {CMD_GET_SENSOR_SETTINGS, "CMD_GET_SENSOR_SETTINGS", RequestKind::CodeOnly},
    {CMD_GET_IO_SETTINGS, "CMD_GET_IO_SETTINGS", RequestKind::CodeOnly},
    {CMD_SET_LINK_STATE, "CMD_SET_LINK_STATE", RequestKind::Long},
    {CMD_SET_SENSOR_SETTINGS, "CMD_SET_SENSOR_SETTINGS", RequestKind::Long},
    {CMD_SET_IO_SETTINGS, "CMD_SET_IO_SETTINGS", RequestKind::Long},
    {CMD_ZERO_SENSOR1, "CMD_ZERO_SENSOR1", RequestKind::CodeOnly},
    {CMD_ZERO_SENSOR2, "CMD_ZERO_SENSOR2", RequestKind::CodeOnly},
    {CMD_ZERO_SENSOR3, "CMD_ZERO_SENSOR3", RequestKind::CodeOnly},
    {CMD_ZERO_SENSOR4, "CMD_ZERO_SENSOR4", RequestKind::CodeOnly},
    {CMD_ZERO_ALL_SENSORS, "CMD_ZERO_ALL_SENSORS", RequestKind::CodeOnly},
    {CMD_TARE_SUM, "CMD_TARE_SUM", RequestKind::CodeOnly},
    {CMD_RESET_MIN_MAX, "CMD_RESET_MIN_MAX", RequestKind::CodeOnly},
    {CMD_FACTORY_SENSOR_SETTINGS, "CMD_FACTORY_SENSOR_SETTINGS", RequestKind::CodeOnly},
    {CMD_FACTORY_COMM_SETTINGS, "CMD_FACTORY_COMM_SETTINGS", RequestKind::CodeOnly},
    {CMD_FACTORY_OUTPUT_SETTINGS, "CMD_FACTORY_OUTPUT_SETTINGS", RequestKind::CodeOnly},
    {CMD_ANALOG_TEST_START, "CMD_ANALOG_TEST_START", RequestKind::Long},
    {CMD_ANALOG_TEST_STOP, "CMD_ANALOG_TEST_STOP", RequestKind::CodeOnly},
    {CMD_ANALOG_CALIBRATE, "CMD_ANALOG_CALIBRATE", RequestKind::Long},
}};

/// The table row of a code, or nullptr for a code the protocol does not have.
constexpr const CommandInfo* findCommand(std::uint8_t code)
{
    for (const auto& c : kCommands) {
        if (c.code == code) {
            return &c;
        }
    }
    return nullptr;
}

} // namespace qmx::link
