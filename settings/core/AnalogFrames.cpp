#include "AnalogFrames.h"

#include "link/Bytes.h"
#include "link/Protocol.h"

namespace qmx::settings {

namespace {
// The device knows two ranges only; an unknown channel byte would select nothing on its side.
std::uint8_t normalisedChannel(std::uint8_t channel)
{
    return channel == kAnalogVoltage ? kAnalogVoltage : kAnalogCurrent;
}
} // namespace

std::array<std::uint8_t, 63> analogTestStartFrame(std::uint8_t channel, bool testFlag)
{
    std::array<std::uint8_t, 63> frame{};
    const std::uint8_t ch = normalisedChannel(channel);
    frame[0] = link::CMD_ANALOG_TEST_START;
    frame[1] = ch;
    frame[2] = testFlag ? 1 : 0;
    link::writeFloatLe(frame, 3, ch == kAnalogVoltage ? kAnalogVoltageTestLevel : kAnalogCurrentTestLevel);
    return frame;
}

std::array<std::uint8_t, 63> analogCalibrateFrame(std::uint8_t channel, float value)
{
    std::array<std::uint8_t, 63> frame{};
    frame[0] = link::CMD_ANALOG_CALIBRATE;
    frame[1] = normalisedChannel(channel);
    link::writeFloatLe(frame, 2, value);
    return frame;
}

} // namespace qmx::settings
