#pragma once
// The tool's standard output, with every write checked: a full disk, a closed descriptor or a
// device error ends the tool with "write error" instead of a silent success. A reader that closed
// its end of a pipe ends the tool quietly, as it always has (SIGPIPE, or no message when the
// signal is ignored).

#include "ExitCodes.h"

#include <QByteArray>
#include <QString>

namespace qmx::cli {

/// Writes `bytes` to standard output and flushes them. False once any write has failed; after a
/// failure nothing more is written.
bool writeStandardOutput(const QByteArray& bytes);

/// True once a write to standard output has failed.
bool standardOutputFailed();

/// Flushes standard output and checks every earlier write. After a failure it prints
/// "write error" and the reason on standard error (nothing for a closed pipe) and returns
/// kExitWriteError, unless `exitCode` already reports another failure; otherwise `exitCode`.
int finishStandardOutput(int exitCode);

/// Prints "qmx80net-cli: TEXT" as one line on standard error, at once.
void printError(const QString& text);

} // namespace qmx::cli
