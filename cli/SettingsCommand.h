#pragma once
// The "settings" verb: prints the transducer's sensor and I/O settings, one field a line.

#include <QStringList>

#include <cstdint>
#include <optional>
#include <span>

namespace qmx::cli {

class CliSession;

/// The lines of `settings show`: "Name<TAB>value" for every field of the sensor settings reply
/// (code 0x02 at offset 0) and of the I/O settings reply (0x03), list fields by their item texts.
/// Nothing when either frame is too short to hold its record.
std::optional<QStringList> settingsShowLines(std::span<const std::uint8_t> sensorFrame,
                                             std::span<const std::uint8_t> ioFrame);

/// Runs the verb on a connected session; `args` are the words after "settings". Returns the exit
/// code: 0, 64 for a usage error, 1 when the start-up exchange brought no settings.
int runSettings(CliSession& session, const QStringList& args);

} // namespace qmx::cli
