// Fuzz target: the preferences reader (section "Options" of the program's settings file), fed any
// file contents and read with either decimal separator.
// Invariants: the thresholds read are never infinite or not a number; the preferences written on
// closing into the same file read back as exactly the preferences read.

#include "FuzzCheck.h"

#include "settings/preferences/AppSettings.h"
#include "display/core/NumberFormat.h"
#include "settings/profile/ProfileDocument.h"

#include <QByteArray>
#include <QCoreApplication>

#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace qmx;
    if (size < 1) {
        return 0;
    }
    const display::NumberLocale locale = (data[0] & 1) != 0 ? display::NumberLocale{u',', u'\u00A0'}
                                                            : display::NumberLocale::c();
    const QByteArray file(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    settings::ProfileDocument document = settings::ProfileDocument::fromBytes(file);
    const auto reader = [](const settings::ProfileDocument& d) {
        return [&d](const QString& key) { return d.value(settings::kOptionsSection, key); };
    };
    const settings::AppSettings read = settings::readAppSettings(reader(document), locale);
    FUZZ_CHECK(std::isfinite(read.TrigStartVal));
    FUZZ_CHECK(std::isfinite(read.TrigStopVal));

    bool stored = true;
    for (const auto& [key, text] : settings::appSettingsEntries(read, locale)) {
        stored = stored && document.setValue(settings::kOptionsSection, key, text);
    }
    if (stored) {
        const settings::ProfileDocument reread = settings::ProfileDocument::fromBytes(document.toBytes());
        FUZZ_CHECK(settings::readAppSettings(reader(reread), locale) == read);
    }
    return 0;
}
