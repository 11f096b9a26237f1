#include "ToolCommand.h"

#include "CliSession.h"
#include "RecordCommand.h"
#include "SettingsCommand.h"
#include "SettingsFileCommand.h"
#include "WatchCommand.h"

#include "link/DeviceList.h"

#include <cstdio>
#include <memory>
#include <optional>

namespace {

constexpr int kExitUsage = 64;
constexpr int kExitNoDevice = 2;

void print(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void printError(const QString& text)
{
    std::fputs(("qmx80net-cli: " + text).toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
}

const char* const kUsage =
    "usage: qmx80net-cli [--simulate] COMMAND\n"
    "\n"
    "commands:\n"
    "  list    list the HID devices as the program labels them\n"
    "  info    connect to the first transducer and print the connection text\n"
    "  watch [--count N] [--seconds S]\n"
    "          print every measurement as it arrives, one tab-separated line each\n"
    "  record --out FILE [--speed INDEX] [--mode continuous|in2-edge|in2-high]\n"
    "         [--columns date,time,count,sum,s1,s2,s3,s4] [--seconds S] [--decimals N]\n"
    "          record measurements to a CSV file in the program's format (Ctrl-C ends)\n"
    "  settings show\n"
    "          print the transducer's sensor and I/O settings, one field a line\n"
    "  settings save FILE [--decimals N]\n"
    "          write the transducer's settings to a device settings file\n"
    "  settings apply FILE\n"
    "          check a device settings file and write it to the transducer, confirmed by reading back\n"
    "\n"
    "--simulate adds the virtual transducer to the devices that are searched.\n";

int runList(qmx::link::HidBackend& backend)
{
    for (const auto& info : backend.enumerate()) {
        print(qmx::link::deviceEntryText(info));
    }
    return 0;
}

/// Connects to the first transducer and runs the start-up exchange; null, after a message, when
/// that fails.
std::unique_ptr<qmx::cli::CliSession> connectSession(qmx::link::HidBackend& backend,
                                                     const qmx::cli::SessionLimits& limits)
{
    auto session = std::make_unique<qmx::cli::CliSession>(backend, limits);
    const auto error = session->connect();
    if (error != qmx::cli::SessionError::None) {
        printError(session->errorText(error));
        return nullptr;
    }
    return session;
}

/// Reads the value after `option` from `args` (removing both); nullopt when absent.
std::optional<QString> takeOption(QStringList& args, const QString& option, bool& bad)
{
    const auto i = args.indexOf(option);
    if (i < 0) {
        return std::nullopt;
    }
    if (i + 1 >= args.size()) {
        bad = true;
        return std::nullopt;
    }
    const QString value = args.at(i + 1);
    args.remove(i, 2);
    return value;
}

int runWatchVerb(qmx::link::HidBackend& backend, QStringList args, const qmx::cli::SessionLimits& limits)
{
    bool bad = false;
    qmx::cli::WatchOptions options;
    if (const auto count = takeOption(args, QStringLiteral("--count"), bad)) {
        bool ok = false;
        options.count = count->toLong(&ok);
        bad = bad || !ok || *options.count < 0;
    }
    if (const auto seconds = takeOption(args, QStringLiteral("--seconds"), bad)) {
        bool ok = false;
        options.seconds = seconds->toDouble(&ok);
        bad = bad || !ok || *options.seconds < 0;
    }
    if (bad || !args.isEmpty()) {
        printError(QStringLiteral("watch: expected [--count N] [--seconds S] with non-negative numbers"));
        return kExitUsage;
    }
    const auto session = connectSession(backend, limits);
    if (!session) {
        return kExitNoDevice;
    }
    return qmx::cli::runWatch(*session, options);
}

int runSettingsVerb(qmx::link::HidBackend& backend, QStringList args, const qmx::cli::SessionLimits& limits)
{
    bool bad = false;
    int decimals = 1; // the preferences' default number of decimals
    if (const auto d = takeOption(args, QStringLiteral("--decimals"), bad)) {
        bool ok = false;
        decimals = d->toInt(&ok);
        bad = bad || !ok || decimals < 0 || decimals > 4;
    }
    const QString sub = args.value(0);
    const bool fileVerb = sub == QLatin1String("save") || sub == QLatin1String("apply");
    if (bad || (sub == QLatin1String("show") ? args.size() != 1 : !fileVerb || args.size() != 2)) {
        printError(QStringLiteral("settings: expected 'show', 'save FILE [--decimals 0..4]' or 'apply FILE'"));
        return kExitUsage;
    }
    const auto session = connectSession(backend, limits);
    if (!session) {
        return kExitNoDevice;
    }
    if (sub == QLatin1String("show")) {
        return qmx::cli::runSettings(*session, args);
    }
    if (sub == QLatin1String("save")) {
        return qmx::cli::runSettingsSave(*session, args.at(1), decimals);
    }
    return qmx::cli::runSettingsApply(*session, args.at(1));
}

int runInfo(qmx::link::HidBackend& backend, const qmx::cli::SessionLimits& limits)
{
    const auto session = connectSession(backend, limits);
    if (!session) {
        return kExitNoDevice;
    }
    print(session->connectionText());
    return 0;
}

} // namespace

namespace qmx::cli {

const char* toolUsage()
{
    return kUsage;
}

int runToolCommand(link::HidBackend& backend, QStringList args, const SessionLimits& limits)
{
    const QString verb = args.takeFirst();
    if (verb == QLatin1String("list")) {
        return runList(backend);
    }
    if (verb == QLatin1String("info")) {
        return runInfo(backend, limits);
    }
    if (verb == QLatin1String("watch")) {
        return runWatchVerb(backend, args, limits);
    }
    if (verb == QLatin1String("settings")) {
        return runSettingsVerb(backend, args, limits);
    }
    if (verb == QLatin1String("record")) {
        return runRecordVerb(backend, args, limits);
    }
    printError(QStringLiteral("unknown command '%1'").arg(verb));
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

} // namespace qmx::cli
