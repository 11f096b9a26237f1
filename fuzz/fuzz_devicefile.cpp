// Fuzz target: the device settings file reader, fed any file contents.
// Invariants: the values read, saved into the same file and read again, are the values read; a
// save into a fresh file holds all 42 keys and reads back the same; values that pass the write
// checks give records without a non-finite or out-of-range value, whose texts pass again and give
// the same records.

#include "FuzzCheck.h"

#include "display/core/NumberFormat.h"
#include "settings/core/IoSettings.h"
#include "settings/core/SensorSettings.h"
#include "settings/devicefile/DeviceSettingsFile.h"
#include "settings/devicefile/DeviceSettingsRecords.h"
#include "settings/profile/ProfileDocument.h"

#include <QByteArray>
#include <QCoreApplication>

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

using namespace qmx;
using namespace qmx::settings;

/// Writes every entry of `values` into `document`; false when one could not be stored.
bool save(ProfileDocument& document, const DeviceSettingsValues& values)
{
    for (const auto& entry : deviceSettingsEntries(values)) {
        if (!document.setValue(entry.section, entry.key, entry.text)) {
            return false;
        }
    }
    return true;
}

bool within(float value, float lower, float upper)
{
    return std::isfinite(value) && value >= lower && value <= upper;
}

void checkRecords(const SensorSettings& s, const IoSettings& io)
{
    FUZZ_CHECK(within(s.SumOffset, kSumOffsetMin, kSumOffsetMax));
    FUZZ_CHECK(within(s.StabMaxDiff, kStabMaxDiffMin, kStabMaxDiffMax));
    FUZZ_CHECK(s.StabSamplesNo <= kStabSamplesMax);
    for (std::size_t i = 0; i < 4; ++i) {
        FUZZ_CHECK(s.Range[i] >= kRangeMin && s.Range[i] <= kRangeMax);
        FUZZ_CHECK(within(s.Sens[i], kSensMin, kSensMax));
    }
    for (const OutputSettings* o : {&io.Out1, &io.Out2}) {
        FUZZ_CHECK(within(o->number1, kThresholdMin, kThresholdMax));
        FUZZ_CHECK(within(o->number2, kThresholdMin, kThresholdMax));
    }
    FUZZ_CHECK(io.Address >= 1 && io.Address <= 247);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ProfileDocument document = ProfileDocument::fromBytes(file);
    const DeviceSettingsRead read = readDeviceSettingsReport(document);
    FUZZ_CHECK(read.sectionsFound >= 0 && read.sectionsFound <= deviceSettingsSections().size());
    FUZZ_CHECK(read.missingKeys.size() + read.unreadableKeys.size() <= 42);

    // Saved into the file it came from, and read again.
    if (save(document, read.values)) {
        const DeviceSettingsRead again = readDeviceSettingsReport(ProfileDocument::fromBytes(document.toBytes()));
        FUZZ_CHECK(again.values == read.values);
        FUZZ_CHECK(again.missingKeys.isEmpty() && again.unreadableKeys.isEmpty());
    }
    // Saved into a new file.
    ProfileDocument fresh;
    FUZZ_CHECK(save(fresh, read.values));
    const DeviceSettingsRead freshRead = readDeviceSettingsReport(ProfileDocument::fromBytes(fresh.toBytes()));
    FUZZ_CHECK(freshRead.values == read.values);
    FUZZ_CHECK(freshRead.missingKeys.isEmpty() && freshRead.unreadableKeys.isEmpty());
    FUZZ_CHECK(freshRead.sectionsFound == deviceSettingsSections().size());

    // Checked as the write buttons check them, with both decimal separators.
    const std::array<std::uint8_t, 6> mac{0x00, 0x1B, 0x2C, 0x0A, 0xFF, 0x07};
    for (const display::NumberLocale& locale : {display::NumberLocale::c(), display::NumberLocale{u',', u'\u00A0'}}) {
        const RecordsFromValues records = recordsFromValues(read.values, mac, locale);
        if (!records.sensor) {
            FUZZ_CHECK(!records.problems.isEmpty());
            continue;
        }
        checkRecords(*records.sensor, *records.io);
        FUZZ_CHECK(records.io->MAC == mac);
        const DeviceSettingsValues shown = valuesFromRecords(*records.sensor, *records.io, read.values.Decp, locale);
        const RecordsFromValues again = recordsFromValues(shown, mac, locale);
        FUZZ_CHECK(again.sensor && *again.sensor == *records.sensor);
        FUZZ_CHECK(again.io && *again.io == *records.io);
    }
    return 0;
}
