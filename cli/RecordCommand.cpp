#include "RecordCommand.h"

#include "CliSession.h"

#include "app/AppSettings.h"

#include <QElapsedTimer>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <cstdio>

namespace qmx::cli {

namespace {

constexpr int kExitNoDevice = 2;
constexpr int kExitDeviceGone = 3;

void printError(const QString& text)
{
    std::fputs(("qmx80net-cli: " + text + u'\n').toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

// Set by the signal handler and read by the event loop. A signal handler can reach nothing but
// process-wide state, and a lock-free atomic is the one kind it may safely write.
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void onInterrupt(int)
{
    g_interrupted.store(true);
}

/// Catches SIGINT and SIGTERM for its lifetime, so that they end the run instead of the process;
/// the previous handlers come back when it goes.
class InterruptGuard {
public:
    InterruptGuard()
    {
        g_interrupted.store(false);
        m_oldInt = std::signal(SIGINT, onInterrupt);
        m_oldTerm = std::signal(SIGTERM, onInterrupt);
    }
    ~InterruptGuard()
    {
        std::signal(SIGINT, m_oldInt);
        std::signal(SIGTERM, m_oldTerm);
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    bool interrupted() const { return g_interrupted.load(); }

private:
    void (*m_oldInt)(int) = SIG_DFL;
    void (*m_oldTerm)(int) = SIG_DFL;
};

recording::RecordColumns defaultColumns()
{
    const app::AppSettings d;
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

} // namespace

QString recordUsage()
{
    return QStringLiteral(
        "  record --out FILE [--speed INDEX] [--mode continuous|in2-edge|in2-high]\n"
        "         [--columns date,time,count,sum,s1,s2,s3,s4] [--decimals N] [--seconds S]\n"
        "         [--follow-symlinks]\n"
        "          append measurements to FILE in the program's CSV format; speed index 0..6 as in\n"
        "          the program (0 = 100/s ... 6 = 1/min); runs until S seconds passed or Ctrl-C;\n"
        "          FILE must be a regular file, and a symbolic link only with --follow-symlinks\n");
}

std::variant<RecordArgs, QString> parseRecordArgs(const QStringList& argsIn)
{
    const app::AppSettings defaults;
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
        } else if (option == QLatin1String("--speed")) {
            result.speed = value.toInt(&ok);
            if (!ok || result.speed < 0 || result.speed >= static_cast<int>(recording::kFramesPerRecord.size())) {
                return QStringLiteral("record: --speed takes an index from 0 to 6");
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
    if (!haveOut) {
        return QStringLiteral("record: --out FILE is required");
    }
    return result;
}

int runRecord(CliSession& session, const RecordArgs& args)
{
    InterruptGuard interrupt;
    recording::Recorder recorder;
    recording::RecordOptions options;
    options.mode = args.mode;
    options.speedIndex = args.speed;
    options.columns = args.columns;
    options.fileName = args.out;
    options.followSymlinks = args.followSymlinks;
    recorder.setOptions(options);
    recorder.setDecimalsSource([decimals = args.decimals] { return decimals; });
    if (const auto refused = recorder.beginRun()) {
        printError(fileErrorText(*refused));
        return kExitFileError;
    }

    std::optional<recording::FileError> failure;
    long lines = 0;
    session.link().setMeasurementObserver([&](const link::TMeasurement& m) {
        const recording::FrameOutcome outcome = recorder.RecordMeasurement(m);
        lines += outcome.recorded ? 1 : 0;
        if (outcome.error && !failure) {
            failure = outcome.error;
        }
    });
    QTimer flushTimer;
    flushTimer.setInterval(1000);
    QObject::connect(&flushTimer, &QTimer::timeout, [&] {
        if (auto error = recorder.flush(); error && !failure) {
            failure = std::move(error);
        }
    });
    flushTimer.start();

    QElapsedTimer clock;
    clock.start();
    // Ask for measurements at once instead of waiting for the first tick of the poll timer.
    session.link().ZylTimer_ReadDataTimer();
    bool gone = false;
    const auto done = [&] {
        gone = !session.link().connected();
        return interrupt.interrupted() || failure.has_value() || gone ||
               (args.seconds && static_cast<double>(clock.elapsed()) / 1000.0 >= *args.seconds);
    };
    while (!done()) {
        runUntil(done, 1000);
    }
    session.link().setMeasurementObserver({});
    flushTimer.stop();
    if (auto error = recorder.endRun(); error && !failure) {
        failure = std::move(error);
    }
    if (failure) {
        printError(fileErrorText(*failure));
        return kExitFileError;
    }
    if (gone) {
        printError(QStringLiteral("the transducer went away; %1 lines recorded").arg(lines));
        return kExitDeviceGone;
    }
    return 0;
}

int runRecord(CliSession& session, const QStringList& args)
{
    const auto parsed = parseRecordArgs(args);
    if (const auto* error = std::get_if<QString>(&parsed)) {
        printError(*error);
        return kExitRecordUsage;
    }
    return runRecord(session, std::get<RecordArgs>(parsed));
}

int runRecordVerb(link::HidBackend& backend, const QStringList& args, const SessionLimits& limits)
{
    const auto parsed = parseRecordArgs(args);
    if (const auto* error = std::get_if<QString>(&parsed)) {
        printError(*error);
        return kExitRecordUsage;
    }
    CliSession session(backend, limits);
    const auto error = session.connect();
    if (error != SessionError::None) {
        printError(session.errorText(error));
        return kExitNoDevice;
    }
    return runRecord(session, std::get<RecordArgs>(parsed));
}

} // namespace qmx::cli
