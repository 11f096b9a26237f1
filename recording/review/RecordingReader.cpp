#include "RecordingReader.h"

#include <QDate>
#include <QFile>
#include <QTime>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

namespace qmx::recording {

namespace {

constexpr std::array<std::string_view, 8> kHeaderNames{"Date", "Time", "No.", "Sum",
                                                       "Canal 1", "Canal 2", "Canal 3", "Canal 4"};
constexpr double kSecondsPerDay = 86400.0;

/// One line of the file: its text without the line end, and whether a line end followed it.
struct Line {
    std::string_view text;
    bool terminated = false;
};

/// Walks the lines of a byte range. "\r\n" and "\n" both end a line.
class LineCursor {
public:
    LineCursor(const char* begin, const char* end) : m_pos(begin), m_end(end) {}
    bool atEnd() const { return m_pos >= m_end; }
    const char* position() const { return m_pos; }
    Line next()
    {
        const auto left = static_cast<std::size_t>(m_end - m_pos);
        const auto* lf = static_cast<const char*>(std::memchr(m_pos, '\n', left));
        Line line;
        const char* stop = lf ? lf : m_end;
        line.terminated = lf != nullptr;
        const char* textEnd = stop;
        if (textEnd > m_pos && textEnd[-1] == '\r') {
            --textEnd;
        }
        line.text = std::string_view(m_pos, static_cast<std::size_t>(textEnd - m_pos));
        m_pos = lf ? lf + 1 : m_end;
        return line;
    }

private:
    const char* m_pos;
    const char* m_end;
};

bool mayBeHeader(std::string_view line)
{
    if (line.empty()) {
        return false;
    }
    const char c = line.front();
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

/// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

/// Reads `count` unsigned numbers separated by `separator` that make up all of `field`.
template <std::size_t N>
bool readNumbers(std::string_view field, char separator, std::array<int, N>& out)
{
    const char* p = field.data();
    const char* end = field.data() + field.size();
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0) {
            if (p == end || *p != separator) {
                return false;
            }
            ++p;
        }
        if (p == end || *p < '0' || *p > '9') {
            return false;
        }
        const auto r = std::from_chars(p, end, out[i]);
        if (r.ec != std::errc()) {
            return false;
        }
        p = r.ptr;
    }
    return p == end;
}

/// Reads one value field: a number with '.' or ',' as decimal separator, "NAN", "INF", "-INF",
/// or "---" (a gap). `decimals` gets the number of digits after the separator.
bool readValue(std::string_view field, float& value, int& decimals, char& separator)
{
    decimals = 0;
    if (field == "---" || field == "NAN" || field == "-NAN") {
        value = std::numeric_limits<float>::quiet_NaN();
        return true;
    }
    if (field == "INF") {
        value = std::numeric_limits<float>::infinity();
        return true;
    }
    if (field == "-INF") {
        value = -std::numeric_limits<float>::infinity();
        return true;
    }
    if (field.empty() || field.size() > 40) {
        return false;
    }
    const std::size_t sep = field.find_first_of(".,");
    const char* begin = field.data();
    const char* end = field.data() + field.size();
    char buffer[48];
    if (sep != std::string_view::npos) {
        separator = field[sep];
        decimals = static_cast<int>(field.size() - sep - 1);
        if (field[sep] == ',') {
            // from_chars reads '.' only: the field is copied with the separator replaced.
            std::memcpy(buffer, field.data(), field.size());
            buffer[sep] = '.';
            begin = buffer;
            end = buffer + field.size();
        }
    }
    // Plain fixed notation only, as the recorder writes: no exponent, no leading '+'.
    if (*begin == '+') {
        return false;
    }
    const auto r = std::from_chars(begin, end, value, std::chars_format::fixed);
    return r.ec == std::errc() && r.ptr == end;
}

/// State of reading one run's data lines.
struct RunParser {
    RecordColumns columns;
    ReviewTimeBase timeBase = ReviewTimeBase::RecordPeriod;
    double period = 0.1;
    std::array<int, kChartSeriesCount> valueSlot{}; // column order -> chart series
    // Date cache: the last date field's text and its day number.
    std::string_view lastDateText;
    std::int64_t lastDays = 0;
    std::int64_t firstDays = 0;
    double lastTimeOfDay = -1.0;
    double dayOffset = 0.0;
    double correction = 0.0;
    double lastX = -std::numeric_limits<double>::infinity();
    std::int64_t index = 0;
    int decimals = 0;
    char separator = 0;

    /// Parses one data line; false when it cannot be read (nothing is stored then).
    bool parse(std::string_view line, double& x, ChartValues& values)
    {
        const char* p = line.data();
        const char* end = line.data() + line.size();
        auto field = [&](std::string_view& out) {
            const auto* semi = static_cast<const char*>(std::memchr(p, ';', static_cast<std::size_t>(end - p)));
            if (!semi) {
                return false;
            }
            out = std::string_view(p, static_cast<std::size_t>(semi - p));
            p = semi + 1;
            return true;
        };
        std::string_view text;
        std::int64_t days = 0;
        double timeOfDay = 0.0;
        if (columns.date) {
            if (!field(text)) {
                return false;
            }
            if (text == lastDateText && !lastDateText.empty()) {
                days = lastDays;
            } else {
                std::array<int, 3> dmy{};
                if (!readNumbers(text, '-', dmy) || dmy[0] < 1 || dmy[0] > 31 || dmy[1] < 1 || dmy[1] > 12 ||
                    dmy[2] < 1 || dmy[2] > 9999) {
                    return false;
                }
                days = daysFromCivil(dmy[2], static_cast<unsigned>(dmy[1]), static_cast<unsigned>(dmy[0]));
                if (lastDateText.empty()) {
                    firstDays = days;
                }
                lastDateText = text;
                lastDays = days;
            }
        }
        if (columns.time) {
            std::array<int, 4> hmsm{};
            if (!field(text) || !readNumbers(text, ':', hmsm) || hmsm[0] > 23 || hmsm[1] > 59 || hmsm[2] > 60 ||
                hmsm[3] > 999) {
                return false;
            }
            timeOfDay = hmsm[0] * 3600.0 + hmsm[1] * 60.0 + hmsm[2] + hmsm[3] / 1000.0;
        }
        if (columns.count) {
            std::int64_t number = 0;
            if (!field(text) || text.empty()) {
                return false;
            }
            const auto r = std::from_chars(text.data(), text.data() + text.size(), number);
            if (r.ec != std::errc() || r.ptr != text.data() + text.size()) {
                return false;
            }
        }
        values.fill(std::numeric_limits<float>::quiet_NaN());
        int lineDecimals = decimals;
        for (int slot = 0; slot < kChartSeriesCount && valueSlot[static_cast<std::size_t>(slot)] >= 0; ++slot) {
            float v = 0.0F;
            int d = 0;
            if (!field(text) || !readValue(text, v, d, separator)) {
                return false;
            }
            lineDecimals = std::max(lineDecimals, d);
            values[static_cast<std::size_t>(valueSlot[static_cast<std::size_t>(slot)])] = v;
        }
        if (p != end) {
            return false; // more fields than the header names
        }
        switch (timeBase) {
        case ReviewTimeBase::ClockTime:
            x = static_cast<double>(days) * kSecondsPerDay + timeOfDay;
            break;
        case ReviewTimeBase::TimeOfDay:
            // A time more than half a day before the last one means midnight has passed.
            if (lastTimeOfDay >= 0.0 && timeOfDay + kSecondsPerDay / 2 < lastTimeOfDay) {
                dayOffset += kSecondsPerDay;
            }
            lastTimeOfDay = timeOfDay;
            x = timeOfDay + dayOffset;
            break;
        case ReviewTimeBase::RecordPeriod:
            x = static_cast<double>(index) * period;
            break;
        }
        // The store's time only grows: a clock set back (a daylight-saving change, a correction)
        // continues the run right after the last row instead of folding it back onto itself.
        x += correction;
        if (x < lastX) {
            correction += lastX - x;
            x = lastX;
        }
        lastX = x;
        decimals = lineDecimals;
        ++index;
        return true;
    }
};

} // namespace

QString ReviewReadError::text() const
{
    if (line > 0) {
        return QStringLiteral("%1, line %2: %3").arg(fileName).arg(line).arg(reason);
    }
    return QStringLiteral("%1: %2").arg(fileName, reason);
}

QString reviewSeriesHeader(int series)
{
    if (series == 4) {
        return QStringLiteral("Sum");
    }
    return QStringLiteral("Canal %1").arg(series + 1);
}

QString reviewSeriesKey(int series)
{
    if (series == 4) {
        return QStringLiteral("sum");
    }
    return QStringLiteral("s%1").arg(series + 1);
}

std::optional<RecordColumns> parseRecordHeader(QByteArrayView bytes)
{
    std::string_view line(bytes.data(), static_cast<std::size_t>(bytes.size()));
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    RecordColumns columns;
    std::size_t next = 0; // headers appear in this order, each at most once
    bool any = false;
    while (!line.empty()) {
        const std::size_t semi = line.find(';');
        if (semi == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view name = line.substr(0, semi);
        line.remove_prefix(semi + 1);
        std::size_t i = next;
        while (i < kHeaderNames.size() && kHeaderNames[i] != name) {
            ++i;
        }
        if (i == kHeaderNames.size()) {
            return std::nullopt;
        }
        switch (i) {
        case 0: columns.date = true; break;
        case 1: columns.time = true; break;
        case 2: columns.count = true; break;
        case 3: columns.sum = true; break;
        default: columns.sensor[i - 4] = true; break;
        }
        next = i + 1;
        any = true;
    }
    if (!any) {
        return std::nullopt;
    }
    return columns;
}

QDateTime ReviewRecording::clockAt(std::size_t row) const
{
    if (!data || row >= data->size() || timeBase == ReviewTimeBase::RecordPeriod) {
        return {};
    }
    const auto ms = static_cast<std::int64_t>(std::llround(data->x(row) * 1000.0));
    const std::int64_t msPerDay = 86400000;
    const std::int64_t day = ms >= 0 ? ms / msPerDay : (ms - msPerDay + 1) / msPerDay;
    return QDateTime(QDate(1970, 1, 1).addDays(day), QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms - day * msPerDay)));
}

ReviewReadResult scanRecordingRuns(QByteArrayView bytes, const QString& fileName)
{
    ReviewReadResult result;
    if (bytes.isEmpty()) {
        result.error = ReviewReadError{fileName, 0, QStringLiteral("the file is empty")};
        return result;
    }
    LineCursor cursor(bytes.data(), bytes.data() + bytes.size());
    std::vector<RecordingRun> runs;
    std::int64_t lineNumber = 0;
    while (!cursor.atEnd()) {
        const auto lineStart = static_cast<std::int64_t>(cursor.position() - bytes.data());
        const Line line = cursor.next();
        ++lineNumber;
        std::optional<RecordColumns> header;
        if (lineNumber == 1 || mayBeHeader(line.text)) {
            header = parseRecordHeader(QByteArrayView(line.text.data(), static_cast<qsizetype>(line.text.size())));
        }
        if (lineNumber == 1 && !header) {
            result.error = ReviewReadError{fileName, 1,
                                           QStringLiteral("not a recording of this program: the first line is not "
                                                          "the recorder's header line")};
            return result;
        }
        if (header) {
            if (!runs.empty()) {
                runs.back().endByte = lineStart;
            }
            RecordingRun run;
            run.columns = *header;
            run.headerLine = lineNumber;
            run.firstByte = static_cast<std::int64_t>(cursor.position() - bytes.data());
            runs.push_back(run);
        } else {
            ++runs.back().lineCount;
        }
    }
    runs.back().endByte = bytes.size();
    std::reverse(runs.begin(), runs.end());
    result.runs = std::move(runs);
    return result;
}

ReviewReadResult readRecording(QByteArrayView bytes, int runIndex, const ReviewReadOptions& options,
                               const QString& fileName)
{
    ReviewReadResult result = scanRecordingRuns(bytes, fileName);
    if (result.error) {
        return result;
    }
    if (runIndex < 0 || runIndex >= static_cast<int>(result.runs.size())) {
        result.error = ReviewReadError{fileName, 0,
                                       QStringLiteral("the file holds %1 runs, there is no run %2")
                                           .arg(result.runs.size())
                                           .arg(runIndex + 1)};
        return result;
    }
    const RecordingRun& run = result.runs[static_cast<std::size_t>(runIndex)];

    ReviewRecording rec;
    rec.fileName = fileName;
    rec.columns = run.columns;
    rec.runIndex = runIndex;
    rec.runCount = static_cast<int>(result.runs.size());
    rec.headerLine = run.headerLine;
    rec.periodSeconds = options.periodSeconds > 0.0 ? options.periodSeconds : 0.1;
    rec.timeBase = run.columns.date && run.columns.time ? ReviewTimeBase::ClockTime
                   : run.columns.time                   ? ReviewTimeBase::TimeOfDay
                                                        : ReviewTimeBase::RecordPeriod;
    RunParser parser;
    parser.columns = run.columns;
    parser.timeBase = rec.timeBase;
    parser.period = rec.periodSeconds;
    parser.valueSlot.fill(-1);
    int slot = 0;
    if (run.columns.sum) {
        parser.valueSlot[static_cast<std::size_t>(slot++)] = 4;
        rec.present[4] = true;
    }
    for (int ch = 0; ch < 4; ++ch) {
        if (run.columns.sensor[static_cast<std::size_t>(ch)]) {
            parser.valueSlot[static_cast<std::size_t>(slot++)] = ch;
            rec.present[static_cast<std::size_t>(ch)] = true;
        }
    }

    rec.data = std::make_unique<ChartData>();
    rec.data->setMaxAgeSeconds(std::numeric_limits<double>::infinity());
    LineCursor cursor(bytes.data() + run.firstByte, bytes.data() + run.endByte);
    std::int64_t lineNumber = run.headerLine;
    ChartValues values{};
    double x = 0.0;
    while (!cursor.atEnd()) {
        const Line line = cursor.next();
        ++lineNumber;
        if (!line.terminated) {
            // The recorder ends every line; a last line without its end was cut off mid-write.
            ++rec.tornLines;
            continue;
        }
        if (parser.parse(line.text, x, values)) {
            rec.data->append(x, values);
        } else {
            if (rec.damagedLines == 0) {
                rec.firstDamagedLine = lineNumber;
            }
            ++rec.damagedLines;
        }
    }
    rec.decimals = parser.decimals;
    if (run.columns.date && !parser.lastDateText.empty()) {
        rec.firstDate = QDate(1970, 1, 1).addDays(parser.firstDays);
    }
    rec.decimalSeparator = parser.separator ? parser.separator : '.';
    if (rec.data->empty()) {
        const std::int64_t line = rec.firstDamagedLine > 0 ? rec.firstDamagedLine : run.headerLine + 1;
        result.error = ReviewReadError{
            fileName, line,
            rec.firstDamagedLine > 0
                ? QStringLiteral("cannot be read as a record of the columns named in line %1").arg(run.headerLine)
                : QStringLiteral("the run holds no complete record")};
        return result;
    }
    result.recording = std::move(rec);
    return result;
}

ReviewReadResult openRecording(const QString& fileName, int runIndex, const ReviewReadOptions& options)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        ReviewReadResult result;
        result.error = ReviewReadError{fileName, 0, QStringLiteral("cannot be opened: %1").arg(file.errorString())};
        return result;
    }
    const qint64 size = file.size();
    if (size == 0) {
        return readRecording(QByteArrayView(), runIndex, options, fileName);
    }
    // Mapped, not read: the parser walks the page cache's own pages. The map ends with the QFile.
    const uchar* mapped = file.map(0, size);
    if (!mapped) {
        // Not mappable (a pipe, a special file system): read it whole instead.
        const QByteArray bytes = file.readAll();
        return readRecording(QByteArrayView(bytes), runIndex, options, fileName);
    }
    return readRecording(QByteArrayView(reinterpret_cast<const char*>(mapped), size), runIndex, options, fileName);
}

} // namespace qmx::recording
