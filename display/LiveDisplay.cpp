#include "LiveDisplay.h"

#include "link/Protocol.h"

#include <algorithm>

namespace qmx::display {

std::optional<StatusAppearance> channelStatusAppearance(std::uint8_t status)
{
    switch (status) {
    case link::kStatusConverterError:
        return StatusAppearance{QStringLiteral("Błąd przetwornika"), QColor(255, 0, 0)};
    case link::kStatusNoSensor:
        return StatusAppearance{QStringLiteral("Brak czujnika"), QColor(211, 211, 211)};
    case link::kStatusUnstable:
        return StatusAppearance{QStringLiteral("Pomiar niestabilny"), QColor(255, 165, 0)};
    case link::kStatusStable:
        return StatusAppearance{QStringLiteral("Pomiar stabilny"), QColor(165, 255, 0)};
    case link::kStatusOverloaded:
        return StatusAppearance{QStringLiteral("Czujnik przeciążony"), QColor(255, 0, 0)};
    default:
        return std::nullopt;
    }
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

QString selectionCaption(DisplaySelection selection)
{
    switch (selection) {
    case DisplaySelection::Sum:
        return QStringLiteral("Wartość sumaryczna");
    case DisplaySelection::Sensor1:
        return QStringLiteral("Czujnik 1");
    case DisplaySelection::Sensor2:
        return QStringLiteral("Czujnik 2");
    case DisplaySelection::Sensor3:
        return QStringLiteral("Czujnik 3");
    case DisplaySelection::Sensor4:
        return QStringLiteral("Czujnik 4");
    }
    return {};
}

} // namespace qmx::display
