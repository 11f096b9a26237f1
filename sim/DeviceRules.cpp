#include "DeviceRules.h"

#include <algorithm>
#include <cmath>

namespace qmx::sim {

using settings::IoSettings;
using settings::OutputSettings;
using settings::SensorSettings;

namespace {

bool within(float v, float lo, float hi)
{
    return std::isfinite(v) && v >= lo && v <= hi;
}

bool outputAcceptable(const OutputSettings& o)
{
    return o.condition <= 2 && o.mode1 <= 1 && o.mode2 <= 1 && o.state <= 1 && o.Source <= 5 &&
           within(o.number1, settings::kThresholdMin, settings::kThresholdMax) &&
           within(o.number2, settings::kThresholdMin, settings::kThresholdMax);
}

bool compare(float value, std::uint8_t mode, float threshold)
{
    return mode == 1 ? value > threshold : value < threshold;
}

} // namespace

bool sensorSettingsAcceptable(const SensorSettings& s)
{
    for (std::size_t i = 0; i < 4; ++i) {
        if (s.Range[i] < settings::kRangeMin || s.Range[i] > settings::kRangeMax ||
            !within(s.Sens[i], settings::kSensMin, settings::kSensMax)) {
            return false;
        }
    }
    return s.Filter < settings::kFiltLevelItems.size() && s.Rate < settings::kSampleRates.size() &&
           s.Units < settings::kUnitsItems.size() && s.SelTens < settings::kSelTensItems.size() &&
           within(s.SumOffset, settings::kSumOffsetMin, settings::kSumOffsetMax) &&
           s.StabSamplesNo <= settings::kStabSamplesMax &&
           within(s.StabMaxDiff, settings::kStabMaxDiffMin, settings::kStabMaxDiffMax);
}

bool ioSettingsAcceptable(const IoSettings& s)
{
    return s.Baudrate < settings::kModbusBaudItems.size() && s.Address >= settings::kModbusAddressMin &&
           s.Address <= settings::kModbusAddressMax && s.Parity < settings::kModbusParityItems.size() &&
           outputAcceptable(s.Out1) && outputAcceptable(s.Out2);
}

double newtonsToUnit(double newtons, std::uint8_t units)
{
    switch (units) {
    case 1:
    case 4:
        return newtons / 1000.0;
    case 2:
        return newtons / kStandardGravity * 1000.0;
    case 3:
        return newtons / kStandardGravity;
    default:
        return newtons;
    }
}

double unitToNewtons(double value, std::uint8_t units)
{
    switch (units) {
    case 1:
    case 4:
        return value * 1000.0;
    case 2:
        return value * kStandardGravity / 1000.0;
    case 3:
        return value * kStandardGravity;
    default:
        return value;
    }
}

bool outputFromConditions(const OutputSettings& o, const link::Measurement& m)
{
    if (o.Source == 0 || o.Source > 5) {
        return false;
    }
    const float value = o.Source == 5 ? m.SumValue : m.ChannelValue[static_cast<std::size_t>(o.Source - 1)];
    const bool first = compare(value, o.mode1, o.number1);
    const bool second = compare(value, o.mode2, o.number2);
    bool holds = first;
    if (o.condition == 1) {
        holds = first && second;
    } else if (o.condition == 2) {
        holds = first || second;
    }
    return o.state == 1 ? holds : !holds;
}

std::uint8_t outputState(const IoSettings& io, std::uint8_t selTens, const link::Measurement& m)
{
    bool out1 = false;
    if ((io.IndicatorFlags & settings::kOut1StabFlag) != 0) {
        const std::size_t summed = std::min<std::size_t>(selTens, 3) + 1;
        out1 = true;
        for (std::size_t ch = 0; ch < summed; ++ch) {
            out1 = out1 && m.ChannelStatus[ch] == link::kStatusStable;
        }
    } else {
        out1 = outputFromConditions(io.Out1, m);
    }
    bool out2 = false;
    if ((io.IndicatorFlags & settings::kOut2OverloadFlag) != 0) {
        for (const auto status : m.ChannelStatus) {
            out2 = out2 || status == link::kStatusOverloaded;
        }
    } else {
        out2 = outputFromConditions(io.Out2, m);
    }
    return static_cast<std::uint8_t>((out1 ? 1 : 0) | (out2 ? 2 : 0));
}

} // namespace qmx::sim
