#include "ToolCommand.h"

#include "CliSession.h"
#include "ExitCodes.h"
#include "PublishCommand.h"
#include "RecordCommand.h"
#include "ReviewCommand.h"
#include "SettingsCommand.h"
#include "SettingsFileCommand.h"
#include "StandardOutput.h"
#include "WatchCommand.h"

#include "link/DeviceList.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <variant>

namespace {

using qmx::cli::printError;

void print(const QString& text)
{
    qmx::cli::writeStandardOutput(text.toLocal8Bit() + '\n');
}

int runList(qmx::link::HidBackend& backend)
{
    const auto devices = backend.enumerate();
    if (devices.empty()) {
        // Nothing on standard output, so scripts still read an empty list; the note is for people.
        printError(QStringLiteral("no HID devices found"));
        return 0;
    }
    for (const auto& info : devices) {
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

int runWatchVerb(qmx::link::HidBackend& backend, const QStringList& args, const qmx::cli::SessionLimits& limits)
{
    return qmx::cli::runWithTransducer(
        backend, limits, qmx::cli::parseWatchArgs(args),
        [](qmx::cli::CliSession& session, const qmx::cli::WatchOptions& options) { return qmx::cli::runWatch(session, options); });
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
        return qmx::cli::kExitUsage;
    }
    const auto session = connectSession(backend, limits);
    if (!session) {
        return qmx::cli::kExitNoDevice;
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
        return qmx::cli::kExitNoDevice;
    }
    print(session->connectionText());
    return 0;
}

} // namespace

namespace qmx::cli {

/// The help text: the commands with their options, then every exit code from the one table.
QString toolUsage()
{
    return QStringLiteral("usage: qmx80net-cli [--simulate] COMMAND\n"
                          "       qmx80net-cli --help | --version\n"
                          "\n"
                          "commands:\n"
                          "  list    list the HID devices as the program labels them\n"
                          "  info    connect to the first transducer and print the connection text\n") +
           qmx::cli::watchUsage() + qmx::cli::recordUsage() + qmx::cli::publishUsage() + qmx::cli::reviewUsage() +
           QStringLiteral("  settings show\n"
                          "          print the transducer's sensor and I/O settings, one field a line\n"
                          "  settings save FILE [--decimals N]\n"
                          "          write the transducer's settings to a device settings file\n"
                          "  settings apply FILE\n"
                          "          check a device settings file and write it to the transducer, confirmed by reading back\n"
                          "\n"
                          "--simulate adds the virtual transducer to the devices that are searched.\n"
                          "\n") +
           qmx::cli::exitCodesHelp();
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
    if (verb == QLatin1String("publish")) {
        return runPublishVerb(backend, args, limits);
    }
    if (verb == QLatin1String("stats")) {
        return runStatsVerb(args);
    }
    if (verb == QLatin1String("plot")) {
        return runPlotVerb(args);
    }
    printError(QStringLiteral("unknown command '%1'").arg(verb));
    std::fputs(toolUsage().toLocal8Bit().constData(), stderr);
    return kExitUsage;
}

} // namespace qmx::cli
