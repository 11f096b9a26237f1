#include "WatchCommand.h"

#include "CliSession.h"
#include "StandardOutput.h"

#include "settings/preferences/AppSettings.h"
#include "process/ShutdownSignals.h"
#include "display/core/NumberFormat.h"
#include "recording/recorder/RecordFormat.h"
#include "settings/core/SensorSettings.h"

#include <QElapsedTimer>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace qmx::cli {

namespace {

/// How long one wait of the verb's loop may last: up to a second, and no longer than is left of a
/// time limit, so the limit is kept even when no report arrives.
int waitSlice(const QElapsedTimer& clock, const std::optional<double>& seconds)
{
    constexpr qint64 kSliceMs = 1000;
    if (!seconds) {
        return static_cast<int>(kSliceMs);
    }
    const auto limitMs = static_cast<qint64>(std::ceil(*seconds * 1000.0));
    return static_cast<int>(std::clamp<qint64>(limitMs - clock.elapsed(), 0, kSliceMs));
}

/// A value as the program's readouts round it, with a point as decimal mark, for scripts.
QString valueText(float v, int decimals)
{
    return display::formatFixed(static_cast<double>(v), recording::kValuePrecision, decimals, display::NumberLocale::c());
}

/// A value as a JSON number; null for a value that is not finite, which JSON cannot write.
QString jsonValue(float v, int decimals)
{
    return std::isfinite(v) ? valueText(v, decimals) : QStringLiteral("null");
}

const std::array<const char*, 4> kValueNames{"s1", "s2", "s3", "s4"};
const std::array<const char*, 4> kStatusNames{"status1", "status2", "status3", "status4"};

/// The unit the transducer is set to ("kN"), from its sensor settings; empty when not known.
QString transducerUnit(const CliSession& session)
{
    const QByteArray& frame = session.sensorSettingsFrame();
    const auto sensor = settings::decodeSensorSettings(
        std::span(reinterpret_cast<const std::uint8_t*>(frame.constData()), static_cast<std::size_t>(frame.size())));
    if (!sensor) {
        return {};
    }
    const std::string_view suffix = settings::unitsSuffix(sensor->Units);
    return QString::fromUtf8(suffix.data(), static_cast<qsizetype>(suffix.size())).trimmed();
}

} // namespace

QString watchUsage()
{
    return QStringLiteral(
        "  watch [--count N] [--seconds S] [--format tsv|csv|json] [--decimals N] [--status-words]\n"
        "          print every measurement as it arrives: tab-separated (tsv, the default) or\n"
        "          comma-separated lines under a header that names the unit, or one JSON object a\n"
        "          line; values rounded to N decimals (0..4, default 1) as the program shows them;\n"
        "          channel statuses as codes (0 converter error, 1 no sensor, 2 unstable, 3 stable,\n"
        "          4 overloaded) or, with --status-words, as words\n");
}

std::variant<WatchOptions, QString> parseWatchArgs(const QStringList& argsIn)
{
    WatchOptions result;
    result.decimals = settings::AppSettings{}.DecimalPoint;
    QStringList args = argsIn;
    while (!args.isEmpty()) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--status-words")) {
            result.statusWords = true;
            continue;
        }
        if (args.isEmpty()) {
            return QStringLiteral("watch: %1 needs a value").arg(option);
        }
        const QString value = args.takeFirst();
        bool ok = false;
        if (option == QLatin1String("--count")) {
            result.count = value.toLong(&ok);
            if (!ok || *result.count < 0) {
                return QStringLiteral("watch: --count takes a non-negative whole number");
            }
        } else if (option == QLatin1String("--seconds")) {
            result.seconds = value.toDouble(&ok);
            if (!ok || !(*result.seconds >= 0)) {
                return QStringLiteral("watch: --seconds takes a non-negative number");
            }
        } else if (option == QLatin1String("--format")) {
            if (value == QLatin1String("tsv")) {
                result.format = WatchFormat::Tsv;
            } else if (value == QLatin1String("csv")) {
                result.format = WatchFormat::Csv;
            } else if (value == QLatin1String("json")) {
                result.format = WatchFormat::Json;
            } else {
                return QStringLiteral("watch: --format is tsv, csv or json");
            }
        } else if (option == QLatin1String("--decimals")) {
            result.decimals = value.toInt(&ok);
            if (!ok || result.decimals < 0 || result.decimals > 4) {
                return QStringLiteral("watch: --decimals takes a number from 0 to 4");
            }
        } else {
            return QStringLiteral("watch: unknown option '%1'").arg(option);
        }
    }
    return result;
}

QString statusWord(std::uint8_t status)
{
    switch (status) {
    case link::kStatusConverterError:
        return QStringLiteral("converter-error");
    case link::kStatusNoSensor:
        return QStringLiteral("no-sensor");
    case link::kStatusUnstable:
        return QStringLiteral("unstable");
    case link::kStatusStable:
        return QStringLiteral("stable");
    case link::kStatusOverloaded:
        return QStringLiteral("overloaded");
    default:
        return QStringLiteral("unknown-%1").arg(status);
    }
}

QString watchHeader(const WatchLayout& layout)
{
    if (layout.format == WatchFormat::Json) {
        return {};
    }
    const QString unit = layout.unit.isEmpty() ? QString() : u'[' + layout.unit + u']';
    QStringList f{QStringLiteral("time_s"), QStringLiteral("sum") + unit};
    for (const char* name : kValueNames) {
        f << QLatin1String(name) + unit;
    }
    for (const char* name : kStatusNames) {
        f << QLatin1String(name);
    }
    f << QStringLiteral("in1") << QStringLiteral("in2") << QStringLiteral("out1") << QStringLiteral("out2");
    return f.join(layout.format == WatchFormat::Csv ? u',' : u'\t');
}

QString watchLine(double seconds, const link::Measurement& m, const WatchLayout& layout)
{
    const auto status = [&](std::uint8_t s) { return layout.statusWords ? statusWord(s) : QString::number(s); };
    const std::array<int, 4> bits{m.InputState & 1, (m.InputState >> 1) & 1, m.OutputState & 1, (m.OutputState >> 1) & 1};
    if (layout.format == WatchFormat::Json) {
        QStringList f;
        f << QStringLiteral("\"time_s\":") + QString::number(seconds, 'f', 3);
        if (!layout.unit.isEmpty()) {
            f << QStringLiteral("\"unit\":\"%1\"").arg(layout.unit);
        }
        f << QStringLiteral("\"sum\":") + jsonValue(m.SumValue, layout.decimals);
        for (std::size_t ch = 0; ch < 4; ++ch) {
            f << QStringLiteral("\"%1\":%2").arg(QLatin1String(kValueNames[ch]), jsonValue(m.ChannelValue[ch], layout.decimals));
        }
        for (std::size_t ch = 0; ch < 4; ++ch) {
            const QString s = status(m.ChannelStatus[ch]);
            f << QStringLiteral("\"%1\":%2").arg(QLatin1String(kStatusNames[ch]), layout.statusWords ? u'"' + s + u'"' : s);
        }
        const std::array<const char*, 4> bitNames{"in1", "in2", "out1", "out2"};
        for (std::size_t i = 0; i < 4; ++i) {
            f << QStringLiteral("\"%1\":%2").arg(QLatin1String(bitNames[i])).arg(bits[i]);
        }
        return u'{' + f.join(u',') + u'}';
    }
    QStringList f;
    f << QString::number(seconds, 'f', 3) << valueText(m.SumValue, layout.decimals);
    for (float v : m.ChannelValue) {
        f << valueText(v, layout.decimals);
    }
    for (auto s : m.ChannelStatus) {
        f << status(s);
    }
    for (int bit : bits) {
        f << QString::number(bit);
    }
    return f.join(layout.format == WatchFormat::Csv ? u',' : u'\t');
}

int runWatch(CliSession& session, const WatchOptions& options)
{
    // SIGINT and SIGTERM end the verb as its limits do: every line printed so far is out, exit 0.
    const process::ShutdownSignals shutdownSignals;
    QElapsedTimer clock;
    clock.start();
    long lines = 0;
    const WatchLayout layout{options.format, options.decimals, options.statusWords, transducerUnit(session)};
    if (const QString header = watchHeader(layout); !header.isEmpty()) {
        writeStandardOutput((header + u'\n').toUtf8());
    }
    session.link().setMeasurementObserver([&](const link::Measurement& m) {
        if (options.count && lines >= *options.count) {
            return;
        }
        ++lines;
        // Flushed line by line: every line is out even when the tool is interrupted.
        writeStandardOutput((watchLine(static_cast<double>(clock.nsecsElapsed()) / 1e9, m, layout) + u'\n').toUtf8());
    });
    // Ask for measurements at once instead of waiting for the first tick of the poll timer.
    session.link().pollTick();
    const auto done = [&] {
        if (shutdownSignals.requested() || standardOutputFailed()) {
            return true;
        }
        if (options.count && lines >= *options.count) {
            return true;
        }
        return options.seconds && static_cast<double>(clock.elapsed()) / 1000.0 >= *options.seconds;
    };
    const auto gone = [&] { return session.linkLost() || !session.link().connected(); };
    // Without a limit the verb runs until it is interrupted or the link is lost.
    while (!done()) {
        runUntil([&] { return done() || gone(); }, waitSlice(clock, options.seconds));
        if (gone()) {
            std::fflush(stdout);
            if (!session.linkLost()) { // a lost link has told the user already
                std::fputs("qmx80net-cli: the transducer went away\n", stderr);
            }
            session.link().setMeasurementObserver({});
            return kExitDeviceGone;
        }
    }
    session.link().setMeasurementObserver({});
    return standardOutputFailed() ? kExitWriteError : 0;
}

} // namespace qmx::cli
