#pragma once
// "settings save FILE" and "settings apply FILE": one configuration cloned to many transducers.

#include <QString>

namespace qmx::cli {

class CliSession;

/// Writes the settings read at connection to `path` in the device settings file format, as the
/// settings pages would show them with `decimals` decimals. Returns the exit code.
int runSettingsSave(CliSession& session, const QString& path, int decimals);

/// Checks every value of the file `path` as the pages' write buttons do; refuses the whole file
/// (saying why) when it cannot be read in full, lacks any key, or holds an index or flag that is
/// not a whole number or any other bad value, naming every offending key; otherwise writes both
/// settings blocks and confirms them by reading them back. Returns the exit code (3 at once when
/// the transducer goes away before it confirmed both blocks).
int runSettingsApply(CliSession& session, const QString& path);

} // namespace qmx::cli
