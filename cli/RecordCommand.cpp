#include "RecordCommand.h"

#include "CliSession.h"
#include "StandardOutput.h"

#include "settings/preferences/AppSettings.h"
#include "process/ShutdownSignals.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>

#include <cmath>
#include <cstdio>

#include <sys/statvfs.h>
#include <unistd.h>

namespace qmx::cli {

namespace {

recording::RecordColumns defaultColumns()
{
    const settings::AppSettings d;
    return recording::RecordColumns{d.SaveDate,
                                    d.SaveTime,
                                    d.SaveDataCnt,
                                    d.SaveDataSummary,
                                    {d.SaveDataSens1, d.SaveDataSens2, d.SaveDataSens3, d.SaveDataSens4}};
}

std::optional<recording::RecordColumns> parseColumns(const QString& text)
{
    recording::RecordColumns c;
    for (const QString& raw : text.split(u',')) {
        const QString name = raw.trimmed().toLower();
        if (name == QLatin1String("date")) {
            c.date = true;
        } else if (name == QLatin1String("time")) {
            c.time = true;
        } else if (name == QLatin1String("count")) {
            c.count = true;
        } else if (name == QLatin1String("sum")) {
            c.sum = true;
        } else if (name.size() == 2 && name[0] == u's' && name[1] >= u'1' && name[1] <= u'4') {
            c.sensor[static_cast<std::size_t>(name[1].unicode() - u'1')] = true;
        } else {
            return std::nullopt;
        }
    }
    return c;
}

std::optional<recording::RecordMode> parseMode(const QString& text)
{
    if (text == QLatin1String("continuous")) {
        return recording::RecordMode::Continuous;
    }
    if (text == QLatin1String("in2-edge")) {
        return recording::RecordMode::In2Edge;
    }
    if (text == QLatin1String("in2-high")) {
        return recording::RecordMode::In2High;
    }
    return std::nullopt;
}

/// Seconds between records at a speed index: the frames counted per record at 100 frames a second.
double speedPeriodSeconds(std::size_t index)
{
    return recording::kFramesPerRecord[index] * recording::kSecondsPerFrame;
}

QString sizeText(qint64 bytes)
{
    if (bytes < 1024) {
        return QStringLiteral("%1 B").arg(bytes);
    }
    if (bytes < 1024 * 1024) {
        return QStringLiteral("%1 KiB").arg(static_cast<double>(bytes) / 1024.0, 0, 'f', 1);
    }
    return QStringLiteral("%1 MiB").arg(static_cast<double>(bytes) / (1024.0 * 1024.0), 0, 'f', 1);
}


QString fileErrorText(const recording::FileError& e)
{
    QString text = QStringLiteral("cannot write %1: %2").arg(e.fileName, e.reason);
    if (e.reason == QLatin1String(recording::kIsASymbolicLink)) {
        text += QStringLiteral(" (--follow-symlinks writes through it)");
    }
    if (e.linesNotWritten > 0) {
        text += QStringLiteral("; %1 lines not written").arg(e.linesNotWritten);
    }
    return text;
}

std::int64_t statvfsFreeBytes(const QString& dir)
{
    struct statvfs info {};
    if (::statvfs(QFile::encodeName(dir).constData(), &info) != 0) {
        return 0;
    }
    return static_cast<std::int64_t>(info.f_bavail) * static_cast<std::int64_t>(info.f_frsize);
}

} // namespace

std::optional<int> speedIndexForPeriod(const QString& text)
{
    static const QRegularExpression period(QStringLiteral(R"(^(\d+(?:\.\d+)?|\.\d+)(ms|s|min)$)"));
    const auto match = period.match(text.trimmed());
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const double scale = match.captured(2) == QLatin1String("ms") ? 0.001 : match.captured(2) == QLatin1String("min") ? 60.0 : 1.0;
    const double seconds = match.captured(1).toDouble() * scale;
    for (std::size_t i = 0; i < recording::kFramesPerRecord.size(); ++i) {
        // The periods are far apart; the tolerance only absorbs the decimal text's rounding.
        if (std::abs(seconds - speedPeriodSeconds(i)) <= 1e-9 * speedPeriodSeconds(i)) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

QString acceptedSpeedPeriods()
{
    QStringList periods;
    for (std::size_t i = 0; i < recording::kFramesPerRecord.size(); ++i) {
        periods << QString::number(speedPeriodSeconds(i), 'g', 6) + u's';
    }
    return periods.join(QStringLiteral(", "));
}

QString recordProgressText(std::int64_t lines, qint64 fileBytes, qint64 elapsedMs)
{
    return QStringLiteral("recording: %1 lines, %2, %3").arg(lines).arg(sizeText(fileBytes), recording::elapsedRunText(elapsedMs));
}

QString recordSummaryText(const QString& fileName, std::int64_t lines, qint64 fileBytes, qint64 elapsedMs)
{
    return QStringLiteral("recorded %1 lines in %2; %3 is %4").arg(lines).arg(recording::elapsedRunText(elapsedMs), fileName, sizeText(fileBytes));
}

QString recordUsage()
{
    return QStringLiteral(
        "  record --out FILE [--speed INDEX|PERIOD] [--mode continuous|in2-edge|in2-high]\n"
        "         [--columns date,time,count,sum,s1,s2,s3,s4] [--decimals N] [--seconds S]\n"
        "         [--follow-symlinks] [--reconnect]\n"
        "         [--publish --broker mqtt://HOST[:PORT] ...]\n"
        "  record --dir DIR [--rotate hourly|daily|SIZE] [options as above]\n"
        "          append measurements to FILE in the program's CSV format; speed index 0..6 as in\n"
        "          the program (0 = 100/s ... 6 = 1/min), or the period between lines (0.01s, 0.02s,\n"
        "          0.04s, 0.1s, 1s, 6s or 60s; also in ms or min); runs until S seconds passed or\n"
        "          Ctrl-C; on a terminal a progress line shows lines, file size and elapsed time;\n"
        "          FILE must be a regular file, and a symbolic link only with --follow-symlinks;\n"
        "          --reconnect waits for the transducer after a lost link instead of exit 3;\n"
        "          --dir is the unattended logger: files qmx80net-YYYY-MM-DD_HH-MM-SS.csv named by\n"
        "          their first line's time, each with its header; --rotate starts a new one every\n"
        "          hour, at midnight, or before SIZE bytes (e.g. 100M, 1G; K, M, G = 1024-based);\n"
        "          it waits for the transducer after a lost link, and on a full disk stops writing,\n"
        "          says so, keeps reading and resumes in a new file when space returns;\n"
        "          --publish also publishes to MQTT, with the options of publish\n");
}

std::variant<RecordArgs, QString> parseRecordArgs(const QStringList& argsIn)
{
    const settings::AppSettings defaults;
    RecordArgs result;
    result.speed = defaults.DataAcquistionSpeed;
    result.decimals = defaults.DecimalPoint;
    result.columns = defaultColumns();
    bool haveOut = false;
    QStringList args = argsIn;
    while (!args.isEmpty()) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--follow-symlinks")) {
            result.followSymlinks = true;
            continue;
        }
        if (option == QLatin1String("--reconnect")) {
            result.reconnect = true;
            continue;
        }
        const auto publishOption = takeOptionalPublishOption(QStringLiteral("record"), option, args, result.publish);
        if (const auto* error = std::get_if<QString>(&publishOption)) {
            return *error;
        }
        if (std::get<PublishOption>(publishOption) == PublishOption::Taken) {
            continue;
        }
        if (args.isEmpty()) {
            return QStringLiteral("record: %1 needs a value").arg(option);
        }
        const QString value = args.takeFirst();
        bool ok = false;
        if (option == QLatin1String("--out")) {
            if (value.isEmpty()) {
                return QStringLiteral("record: --out needs a file name");
            }
            result.out = value;
            haveOut = true;
        } else if (option == QLatin1String("--dir")) {
            if (value.isEmpty()) {
                return QStringLiteral("record: --dir needs a folder name");
            }
            result.dir = value;
        } else if (option == QLatin1String("--rotate")) {
            const auto rotation = recording::parseRotation(value);
            if (!rotation) {
                return QStringLiteral("record: --rotate is hourly, daily or a size of at least 1K (e.g. 100M, 1G)");
            }
            result.rotation = *rotation;
        } else if (option == QLatin1String("--speed")) {
            result.speed = value.toInt(&ok);
            if (!ok) {
                const auto index = speedIndexForPeriod(value);
                if (!index) {
                    return QStringLiteral("record: --speed takes an index from 0 to 6 or one of the periods %1")
                        .arg(acceptedSpeedPeriods());
                }
                result.speed = *index;
            } else if (result.speed < 0 || result.speed >= static_cast<int>(recording::kFramesPerRecord.size())) {
                return QStringLiteral("record: --speed takes an index from 0 to 6 or one of the periods %1")
                    .arg(acceptedSpeedPeriods());
            }
        } else if (option == QLatin1String("--mode")) {
            const auto mode = parseMode(value);
            if (!mode) {
                return QStringLiteral("record: --mode is continuous, in2-edge or in2-high");
            }
            result.mode = *mode;
        } else if (option == QLatin1String("--columns")) {
            const auto columns = parseColumns(value);
            if (!columns) {
                return QStringLiteral("record: --columns is a comma list of date,time,count,sum,s1,s2,s3,s4");
            }
            result.columns = *columns;
        } else if (option == QLatin1String("--decimals")) {
            result.decimals = value.toInt(&ok);
            if (!ok || result.decimals < 0 || result.decimals > 4) {
                return QStringLiteral("record: --decimals takes a number from 0 to 4");
            }
        } else if (option == QLatin1String("--seconds")) {
            const double seconds = value.toDouble(&ok);
            if (!ok || !(seconds >= 0)) {
                return QStringLiteral("record: --seconds takes a non-negative number");
            }
            result.seconds = seconds;
        } else {
            return QStringLiteral("record: unknown option '%1'").arg(option);
        }
    }
    if (haveOut && !result.dir.isEmpty()) {
        return QStringLiteral("record: --out and --dir cannot be used together");
    }
    if (!haveOut && result.dir.isEmpty()) {
        return QStringLiteral("record: --out FILE or --dir DIR is required");
    }
    if (result.rotation.kind != recording::RotationPolicy::Kind::None && result.dir.isEmpty()) {
        return QStringLiteral("record: --rotate needs --dir");
    }
    if (const auto error = checkOptionalPublishArgs(QStringLiteral("record"), result.publish)) {
        return *error;
    }
    return result;
}

int runRecord(CliSession& session, const RecordArgs& args, const RecordHooks& hooks)
{
    // SIGINT, SIGTERM and SIGHUP end the run through the event loop, with every line on disk.
    const process::ShutdownSignals interrupt;
    const bool unattended = !args.dir.isEmpty();
    const bool reconnect = args.reconnect || unattended;
    auto publishing = startOptionalPublishing(session, args.publish);
    if (const int* code = std::get_if<int>(&publishing)) {
        return *code;
    }
    PublishRun* const publisher = std::get<std::unique_ptr<PublishRun>>(publishing).get();
    recording::Recorder recorder;
    recording::RecordOptions options;
    options.mode = args.mode;
    options.speedIndex = args.speed;
    options.columns = args.columns;
    options.fileName = args.out;
    options.followSymlinks = args.followSymlinks;
    options.directory = args.dir;
    options.rotation = args.rotation;
    recorder.setOptions(options);
    recorder.setDecimalsSource([decimals = args.decimals] { return decimals; });
    if (hooks.clock) {
        recorder.setClock(hooks.clock);
    }
    if (hooks.write) {
        recorder.setWriteFunction(hooks.write);
    }
    if (const auto refused = recorder.beginRun()) {
        printError(fileErrorText(*refused));
        return kExitFileError;
    }
    // A logger that nobody watches waits for the transducer instead of ending; the link searches
    // again when the bus changes, and the lines go on after the gap without any mark.
    session.link().setSearchAfterLinkLoss(reconnect);
    const auto freeBytes = hooks.freeBytes ? hooks.freeBytes : std::function<std::int64_t(const QString&)>(statvfsFreeBytes);

    std::optional<recording::FileError> failure;
    // Unattended: a failed write stops writing (the run has ended in the recorder) while the
    // transducer is still read; the lines that arrive meanwhile are counted, not kept.
    bool writingStopped = false;
    std::int64_t linesDropped = 0;
    std::int64_t linesBefore = 0; // records of earlier runs after a stop, for the summary
    const auto stopWriting = [&](const recording::FileError& error) {
        writingStopped = true;
        linesBefore += recorder.runRecords();
        // A finished file that failed as it was closed leaves the current one open: close it too,
        // so that writing resumes in a new file with its own header, never in the middle of one.
        if (recorder.isRunning()) {
            if (const auto closing = recorder.endRun()) {
                printError(fileErrorText(*closing));
            }
        }
        printError(QStringLiteral("writing stopped: %1; reading goes on, writing resumes when %2 has space")
                       .arg(fileErrorText(error), args.dir));
    };
    const auto reportFileError = [&](std::optional<recording::FileError> error) {
        if (!error) {
            return;
        }
        if (unattended) {
            if (!writingStopped) {
                stopWriting(*error);
            } else {
                printError(fileErrorText(*error));
            }
        } else if (!failure) {
            failure = std::move(error);
        }
    };
    session.link().setMeasurementObserver([&](const link::Measurement& m) {
        if (publisher) {
            publisher->offer(m);
        }
        if (writingStopped) {
            ++linesDropped;
            return;
        }
        reportFileError(recorder.recordMeasurement(m).error);
    });
    QTimer flushTimer;
    flushTimer.setInterval(1000);
    QObject::connect(&flushTimer, &QTimer::timeout, [&] {
        reportFileError(recorder.flush());
        // Files finished by rotation are closed once their writers are done.
        reportFileError(recorder.collectClosedFiles());
    });
    flushTimer.start();
    QTimer spaceTimer;
    spaceTimer.setInterval(hooks.spaceCheckMs);
    QObject::connect(&spaceTimer, &QTimer::timeout, [&] {
        if (!writingStopped || freeBytes(args.dir) < kResumeFreeBytes) {
            return;
        }
        reportFileError(recorder.waitForClosedFiles());
        if (const auto refused = recorder.beginRun()) {
            printError(fileErrorText(*refused));
            return;
        }
        writingStopped = false;
        printError(QStringLiteral("writing resumed; %1 lines were not recorded while it was stopped").arg(linesDropped));
        linesDropped = 0;
    });
    if (unattended) {
        spaceTimer.start();
    }

    QElapsedTimer clock;
    clock.start();
    // The progress line is for a person watching a terminal; a log file or a pipe gets only the
    // summary. It is rewritten in place a few times a second.
    const bool showProgress = ::isatty(STDERR_FILENO) == 1;
    QTimer progressTimer;
    const auto clearProgress = [&] {
        if (showProgress) {
            std::fputs("\r\033[K", stderr);
            std::fflush(stderr);
        }
    };
    if (showProgress) {
        progressTimer.setInterval(250);
        QObject::connect(&progressTimer, &QTimer::timeout, [&] {
            const QString text = u'\r' + recordProgressText(linesBefore + recorder.runRecords(), recorder.fileBytes(), clock.elapsed()) + QStringLiteral("\033[K");
            std::fputs(text.toLocal8Bit().constData(), stderr);
            std::fflush(stderr);
        });
        progressTimer.start();
    }
    // Ask for measurements at once instead of waiting for the first tick of the poll timer.
    session.link().pollTick();
    bool gone = false;
    bool wasConnected = true;
    const auto done = [&] {
        const bool connected = session.link().connected();
        if (reconnect && connected != wasConnected) {
            clearProgress();
            printError(connected ? QStringLiteral("the transducer is back; recording goes on")
                                 : QStringLiteral("the transducer is not connected; waiting for it to come back"));
        }
        wasConnected = connected;
        gone = !reconnect && !connected;
        return interrupt.requested() || failure.has_value() || gone ||
               (args.seconds && static_cast<double>(clock.elapsed()) / 1000.0 >= *args.seconds);
    };
    while (!done()) {
        runUntil(done, 1000);
    }
    session.link().setMeasurementObserver({});
    flushTimer.stop();
    spaceTimer.stop();
    progressTimer.stop();
    clearProgress();
    if (publisher) {
        publisher->finish();
    }
    reportFileError(recorder.endRun());
    reportFileError(recorder.waitForClosedFiles());
    if (failure) {
        printError(fileErrorText(*failure));
        return kExitFileError;
    }
    const std::int64_t lines = linesBefore + (writingStopped ? 0 : recorder.runRecords());
    if (gone) {
        printError(QStringLiteral("the transducer went away; %1 lines recorded").arg(lines));
        return kExitDeviceGone;
    }
    printError(recordSummaryText(recorder.currentFileName().isEmpty() ? args.dir : recorder.currentFileName(), lines, recorder.fileBytes(), clock.elapsed()));
    return kExitDone;
}

int runRecord(CliSession& session, const QStringList& args)
{
    const auto parsed = parseRecordArgs(args);
    if (const auto* error = std::get_if<QString>(&parsed)) {
        printError(*error);
        return kExitUsage;
    }
    return runRecord(session, std::get<RecordArgs>(parsed));
}

int runRecordVerb(link::HidBackend& backend, const QStringList& args, const SessionLimits& limits)
{
    return runWithTransducer(backend, limits, parseRecordArgs(args),
                             [](CliSession& session, const RecordArgs& parsed) { return runRecord(session, parsed); });
}

} // namespace qmx::cli
