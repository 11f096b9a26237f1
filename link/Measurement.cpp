#include "Measurement.h"

#include "Bytes.h"
#include "Protocol.h"

#include <algorithm>

namespace qmx::link {

bool decodeMeasurement(std::span<const std::uint8_t> r, Measurement& out)
{
    if (r.size() < kMeasurementLength) {
        return false;
    }
    out.InputState = r[kMeasInputState] & 0x03;
    out.OutputState = r[kMeasOutputState] & 0x03;
    out.SumValue = readFloatLe(r, kMeasSum);
    out.DeviceMax = readFloatLe(r, kMeasMax);
    for (std::size_t ch = 0; ch < 4; ++ch) {
        out.ChannelStatus[ch] = r[kMeasStatus + ch];
        out.ChannelLoad[ch] = readU16Le(r, kMeasLoad + 2 * ch);
        out.ChannelValue[ch] = readFloatLe(r, kMeasValue + 4 * ch);
    }
    out.Rs485Fps = readU16Le(r, kMeasRs485Fps);
    out.EthFps = readU16Le(r, kMeasEthFps);
    return true;
}

void encodeMeasurement(const Measurement& m, std::span<std::uint8_t> out)
{
    std::fill(out.begin(), out.begin() + kMeasurementLength, std::uint8_t{0});
    out[0] = CMD_GET_MEASUREMENT;
    out[kMeasInputState] = m.InputState;
    out[kMeasOutputState] = m.OutputState;
    writeFloatLe(out, kMeasSum, m.SumValue);
    writeFloatLe(out, kMeasMax, m.DeviceMax);
    for (std::size_t ch = 0; ch < 4; ++ch) {
        out[kMeasStatus + ch] = m.ChannelStatus[ch];
        writeU16Le(out, kMeasLoad + 2 * ch, m.ChannelLoad[ch]);
        writeFloatLe(out, kMeasValue + 4 * ch, m.ChannelValue[ch]);
    }
    writeU16Le(out, kMeasRs485Fps, m.Rs485Fps);
    writeU16Le(out, kMeasEthFps, m.EthFps);
}

} // namespace qmx::link
