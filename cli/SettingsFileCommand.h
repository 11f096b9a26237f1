#pragma once
// "settings save FILE" and "settings apply FILE": one configuration cloned to many transducers.

#include <QString>

namespace qmx::cli {

class CliSession;

/// Writes the settings read at connection to `path` in the device settings file format, as the
/// settings pages would show them with `decimals` decimals. Returns the exit code.
int runSettingsSave(CliSession& session, const QString& path, int decimals);

/// Checks every value of the file `path` as the pages' write buttons do; refuses the whole file
/// with a list of the bad values, or writes both settings blocks and confirms them by reading
/// them back. Returns the exit code.
int runSettingsApply(CliSession& session, const QString& path);

} // namespace qmx::cli
