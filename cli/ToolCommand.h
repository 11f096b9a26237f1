#pragma once
// The tool's commands (list, info, watch, record, settings, stats, plot) on any HID backend: the verb and its
// options in, the exit code out, messages on standard output and standard error.

#include "CliSession.h"

#include <QStringList>

namespace qmx::link {
class HidBackend;
}

namespace qmx::cli {

/// The tool's help text: the commands with their options, then every exit code.
QString toolUsage();

/// Runs the command `args` (verb first, not empty) against `backend`; returns one of the exit
/// codes of ExitCodes.h.
int runToolCommand(link::HidBackend& backend, QStringList args, const SessionLimits& limits = {});

} // namespace qmx::cli
