#include "IoSettings.h"

#include "link/Bytes.h"
#include "link/Protocol.h"

#include <algorithm>

namespace qmx::settings {

using link::readFloatLe;
using link::writeFloatLe;

std::optional<OutputSettings> decodeOutputSettings(std::span<const std::uint8_t> block)
{
    if (block.size() < kOutputSettingsSize) {
        return std::nullopt;
    }
    OutputSettings o;
    o.condition = block[kOutConditionOffset];
    o.mode1 = block[kOutMode1Offset];
    o.mode2 = block[kOutMode2Offset];
    o.state = block[kOutStateOffset];
    o.Source = block[kOutSourceOffset];
    o.number1 = readFloatLe(block, kOutNumber1Offset);
    o.number2 = readFloatLe(block, kOutNumber2Offset);
    return o;
}

bool encodeOutputSettings(const OutputSettings& o, std::span<std::uint8_t> block)
{
    if (block.size() < kOutputSettingsSize) {
        return false;
    }
    block[kOutConditionOffset] = o.condition;
    block[kOutMode1Offset] = o.mode1;
    block[kOutMode2Offset] = o.mode2;
    block[kOutStateOffset] = o.state;
    block[kOutSourceOffset] = o.Source;
    writeFloatLe(block, kOutNumber1Offset, o.number1);
    writeFloatLe(block, kOutNumber2Offset, o.number2);
    return true;
}

std::optional<IoSettings> decodeIoSettings(std::span<const std::uint8_t> frame)
{
    if (frame.size() < 1 + kIoSettingsSize) {
        return std::nullopt;
    }
    IoSettings s;
    s.Baudrate = frame[kIoBaudrateOffset];
    s.Address = frame[kIoAddressOffset];
    s.Parity = frame[kIoParityOffset];
    std::copy_n(frame.begin() + kIoIpOffset, 4, s.IP.begin());
    std::copy_n(frame.begin() + kIoMaskOffset, 4, s.Mask.begin());
    std::copy_n(frame.begin() + kIoGateOffset, 4, s.Gate.begin());
    std::copy_n(frame.begin() + kIoMacOffset, 6, s.MAC.begin());
    // Both blocks lie inside the length checked above.
    s.Out1 = *decodeOutputSettings(frame.subspan(kIoOut1Offset, kOutputSettingsSize));
    s.Out2 = *decodeOutputSettings(frame.subspan(kIoOut2Offset, kOutputSettingsSize));
    s.IndicatorFlags = frame[kIoIndicatorFlagsOffset];
    return s;
}

bool encodeIoSettings(const IoSettings& s, std::span<std::uint8_t> record)
{
    if (record.size() < kIoSettingsSize) {
        return false;
    }
    // Frame offsets are used throughout; the record starts one byte after the code.
    const auto at = [record](std::size_t frameOffset) { return record.subspan(frameOffset - 1); };
    at(kIoBaudrateOffset)[0] = s.Baudrate;
    at(kIoAddressOffset)[0] = s.Address;
    at(kIoParityOffset)[0] = s.Parity;
    std::ranges::copy(s.IP, at(kIoIpOffset).begin());
    std::ranges::copy(s.Mask, at(kIoMaskOffset).begin());
    std::ranges::copy(s.Gate, at(kIoGateOffset).begin());
    std::ranges::copy(s.MAC, at(kIoMacOffset).begin());
    at(kIoReservedOffset)[0] = 0;
    encodeOutputSettings(s.Out1, at(kIoOut1Offset).first(kOutputSettingsSize));
    encodeOutputSettings(s.Out2, at(kIoOut2Offset).first(kOutputSettingsSize));
    at(kIoIndicatorFlagsOffset)[0] = s.IndicatorFlags;
    return true;
}

std::array<std::uint8_t, 63> encodeIoSettingsRequest(const IoSettings& settings)
{
    std::array<std::uint8_t, 63> frame{};
    frame[0] = link::CMD_SET_IO_SETTINGS;
    encodeIoSettings(settings, std::span(frame).subspan(1, kIoSettingsSize));
    return frame;
}

} // namespace qmx::settings
