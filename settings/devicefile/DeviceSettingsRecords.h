#pragma once
// Between the transducer's settings records and the values of a device settings file: the texts
// the settings pages would show for a record, and the checks the pages' write buttons make.

#include "DeviceSettingsFile.h"

#include "display/core/NumberFormat.h"
#include "settings/core/IoSettings.h"
#include "settings/core/SensorSettings.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

namespace qmx::settings {

/// The values as the settings pages show them after reading `sensor` and `io`, with `decimals`
/// decimals (the display setting, stored as "Decp"), or more where a value needs them: every real
/// value's text reads back as exactly the float32 of the record. Indices outside a list become -1.
DeviceSettingsValues valuesFromRecords(const SensorSettings& sensor, const IoSettings& io, int decimals,
                                       const display::NumberLocale& locale);

/// Both records built from file values, or the list of refused values.
struct RecordsFromValues {
    std::optional<SensorSettings> sensor;
    std::optional<IoSettings> io;
    QStringList problems; ///< "Section/Key: why", one per refused value; empty when both records are set
};

/// Checks every value as the pages' write buttons do (same bounds, float32 comparison, lists must
/// have a selection, addresses must convert) and builds the records. The MAC is not in the file:
/// `mac` is taken unchanged.
RecordsFromValues recordsFromValues(const DeviceSettingsValues& values, const std::array<std::uint8_t, 6>& mac,
                                    const display::NumberLocale& locale);

} // namespace qmx::settings
