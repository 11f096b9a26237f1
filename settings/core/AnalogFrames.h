#pragma once
// Requests of the analog-output calibration: drive a test level, and store a measured value.

#include <array>
#include <cstdint>

namespace qmx::settings {

/// Analog output ranges as the frames name them.
inline constexpr std::uint8_t kAnalogVoltage = 0; ///< 0-10 V, test level 9 V
inline constexpr std::uint8_t kAnalogCurrent = 1; ///< 4-20 mA, test level 18 mA
/// Test level driven for each range.
inline constexpr float kAnalogVoltageTestLevel = 9.0F;
inline constexpr float kAnalogCurrentTestLevel = 18.0F;
/// Bounds of a measured voltage calibration value in volts, inclusive.
inline constexpr float kAnalogVoltageCalibMin = 1.0F;
inline constexpr float kAnalogVoltageCalibMax = 15.0F;
/// Bounds of a measured current calibration value in milliamperes, inclusive. Wider than the
/// voltage bounds so that a reading near the 18 mA test level is accepted.
inline constexpr float kAnalogCurrentCalibMin = 1.0F;
inline constexpr float kAnalogCurrentCalibMax = 25.0F;

/// The 63-byte CMD_ANALOG_TEST_START: 0xA8, channel, test flag (1/0), the test level as float32
/// (9.0 for the voltage range, 18.0 for the current range), zeros. Any channel other than 0 is
/// sent as the current range, 1.
std::array<std::uint8_t, 63> analogTestStartFrame(std::uint8_t channel, bool testFlag);

/// The 63-byte CMD_ANALOG_CALIBRATE: 0xAA, channel, the measured value as float32, zeros. Any
/// channel other than 0 is sent as the current range, 1.
std::array<std::uint8_t, 63> analogCalibrateFrame(std::uint8_t channel, float value);

} // namespace qmx::settings
