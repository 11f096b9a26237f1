#include "LiveDisplay.h"

#include "link/Protocol.h"

#include <algorithm>
#include <array>

namespace qmx::display {

namespace {

// Status codes 0..4: the text's identifier and the field's colour.
struct StatusStyle {
    std::string_view textId;
    QColor colour;
};

const std::array<StatusStyle, 5>& statusStyles()
{
    static const std::array<StatusStyle, 5> styles{{
        {"IDS_MeasurementStateConverterError", QColor(255, 0, 0)}, // link::kStatusConverterError
        {"IDS_MeasurementStateNoSensor", QColor(211, 211, 211)},   // link::kStatusNoSensor
        {"IDS_MeasurementStateUnstable", QColor(255, 165, 0)},     // link::kStatusUnstable
        {"IDS_MeasurementStateStable", QColor(165, 255, 0)},       // link::kStatusStable
        {"IDS_MeasurementStateOverloaded", QColor(255, 0, 0)},     // link::kStatusOverloaded
    }};
    static_assert(link::kStatusConverterError == 0 && link::kStatusOverloaded == 4);
    return styles;
}

constexpr std::array<DisplaySelection, 5> kSelections{DisplaySelection::Sum, DisplaySelection::Sensor1,
                                                      DisplaySelection::Sensor2, DisplaySelection::Sensor3,
                                                      DisplaySelection::Sensor4};

std::string_view selectionCaptionId(DisplaySelection selection)
{
    switch (selection) {
    case DisplaySelection::Sum:
        return "IDS_MeasurementSumHeader";
    case DisplaySelection::Sensor1:
        return "IDS_Sensor1";
    case DisplaySelection::Sensor2:
        return "IDS_Sensor2";
    case DisplaySelection::Sensor3:
        return "IDS_Sensor3";
    case DisplaySelection::Sensor4:
        return "IDS_Sensor4";
    }
    return {};
}

} // namespace

std::string_view channelStatusTextId(std::uint8_t status)
{
    return status < statusStyles().size() ? statusStyles()[status].textId : std::string_view();
}

std::optional<StatusAppearance> channelStatusAppearance(std::uint8_t status, lang::Language language)
{
    if (status >= statusStyles().size()) {
        return std::nullopt;
    }
    const StatusStyle& style = statusStyles()[status];
    return StatusAppearance{lang::lookupText(style.textId, language), style.colour};
}

GaugePositions gaugePositions(std::uint16_t load)
{
    // The load is widened to a signed integer before the subtractions.
    const int l = load;
    return {std::clamp(l, 0, 100), std::clamp(l - 100, 0, 50), std::clamp(l - 150, 0, 50)};
}

float selectedValue(const link::Measurement& m, DisplaySelection selection)
{
    switch (selection) {
    case DisplaySelection::Sum:
        return m.SumValue;
    case DisplaySelection::Sensor1:
        return m.ChannelValue[0];
    case DisplaySelection::Sensor2:
        return m.ChannelValue[1];
    case DisplaySelection::Sensor3:
        return m.ChannelValue[2];
    case DisplaySelection::Sensor4:
        return m.ChannelValue[3];
    }
    return m.SumValue;
}

std::uint8_t tareCommand(DisplaySelection selection)
{
    switch (selection) {
    case DisplaySelection::Sum:
        return link::CMD_TARE_SUM;
    case DisplaySelection::Sensor1:
        return link::CMD_ZERO_SENSOR1;
    case DisplaySelection::Sensor2:
        return link::CMD_ZERO_SENSOR2;
    case DisplaySelection::Sensor3:
        return link::CMD_ZERO_SENSOR3;
    case DisplaySelection::Sensor4:
        return link::CMD_ZERO_SENSOR4;
    }
    return link::CMD_TARE_SUM;
}

QString selectionCaption(DisplaySelection selection, lang::Language language)
{
    return lang::lookupText(selectionCaptionId(selection), language);
}

} // namespace qmx::display
