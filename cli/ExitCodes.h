#pragma once
// Every exit code of the tool, in one table: the verbs return these, and the help text lists them
// from the same table, so the two cannot drift apart.

#include <QString>

#include <array>
#include <string_view>

namespace qmx::cli {

inline constexpr int kExitDone = 0;
/// The transducer sent no complete settings, or did not confirm or keep settings written to it.
inline constexpr int kExitNotKept = 1;
/// No transducer found, it cannot be opened, or it did not complete the start-up exchange.
inline constexpr int kExitNoDevice = 2;
/// The link to the transducer was lost while a verb ran.
inline constexpr int kExitDeviceGone = 3;
/// The command line was wrong.
inline constexpr int kExitUsage = 64;
/// A settings file was refused (it cannot be read as a whole, lacks a key or holds a bad value), or
/// a file given to stats or plot is not a recording the program can read.
inline constexpr int kExitDataError = 65;
/// A file could not be opened or written, or a write to standard output failed.
inline constexpr int kExitFileError = 74;
/// Exit code of a failed write to standard output.
inline constexpr int kExitWriteError = kExitFileError;

/// One exit code and what it means, as the help text and the README word it.
struct ExitCodeEntry {
    int code;
    std::string_view meaning;
};

/// Every exit code the tool returns, smallest first.
inline constexpr std::array<ExitCodeEntry, 7> kExitCodes{{
    {kExitDone, "done"},
    {kExitNotKept, "the transducer sent no complete settings, or did not confirm or keep the settings written"},
    {kExitNoDevice, "no transducer found, it cannot be opened, or it did not complete the start-up exchange"},
    {kExitDeviceGone, "the link to the transducer was lost (the reason goes to standard error)"},
    {kExitUsage, "usage error"},
    {kExitDataError, "settings file refused, nothing was sent; or the file is not a readable recording"},
    {kExitFileError, "file could not be opened or written, or a write to standard output failed"},
}};

/// The "exit codes:" block of the help text, one code a line.
QString exitCodesHelp();

} // namespace qmx::cli
