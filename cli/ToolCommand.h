#pragma once
// The tool's commands (list, info, watch, record, settings) on any HID backend: the verb and its
// options in, the exit code out, messages on standard output and standard error.

#include "CliSession.h"

#include <QStringList>

namespace qmx::link {
class HidBackend;
}

namespace qmx::cli {

/// The tool's help text.
const char* toolUsage();

/// Runs the command `args` (verb first, not empty) against `backend`; returns the exit code:
/// 0 done, 1 no settings from the transducer, 2 no transducer answered, 3 link lost, 64 usage,
/// 74 file error.
int runToolCommand(link::HidBackend& backend, QStringList args, const SessionLimits& limits = {});

} // namespace qmx::cli
