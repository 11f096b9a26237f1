#include "RecordFormat.h"

#include <QDate>
#include <QTime>

#include <algorithm>

namespace qmx::recording {

namespace {

constexpr std::array<const char*, 4> kSensorHeaders{"Canal 1", "Canal 2", "Canal 3", "Canal 4"};

void appendField(QString& line, const QString& field)
{
    line += field;
    line += QLatin1Char(kFieldSeparator);
}

void appendField(QString& line, QLatin1StringView field)
{
    line += field;
    line += QLatin1Char(kFieldSeparator);
}

} // namespace

std::uint32_t framesPerRecord(int speedIndex)
{
    if (speedIndex < 0 || speedIndex >= static_cast<int>(kFramesPerRecord.size())) {
        speedIndex = kDefaultSpeedIndex;
    }
    return kFramesPerRecord[static_cast<std::size_t>(speedIndex)];
}

QString recordHeader(const RecordColumns& columns)
{
    QString line;
    if (columns.date) {
        appendField(line, QLatin1StringView("Date"));
    }
    if (columns.time) {
        appendField(line, QLatin1StringView("Time"));
    }
    if (columns.count) {
        appendField(line, QLatin1StringView("No."));
    }
    if (columns.sum) {
        appendField(line, QLatin1StringView("Sum"));
    }
    for (std::size_t ch = 0; ch < columns.sensor.size(); ++ch) {
        if (columns.sensor[ch]) {
            appendField(line, QLatin1StringView(kSensorHeaders[ch]));
        }
    }
    return line;
}

QString recordFields(const RecordColumns& columns, const RecordValues& values, const display::NumberLocale& locale)
{
    QString line;
    line.reserve(96);
    // Date and time come from the one clock reading in `values`, so both columns always agree.
    if (columns.date) {
        const QDate d = values.stamp.date();
        appendField(line, QString::number(d.day()) + u'-' + QString::number(d.month()) + u'-' +
                              QString::number(d.year()));
    }
    if (columns.time) {
        const QTime t = values.stamp.time();
        appendField(line, QString::number(t.hour()) + u':' + QString::number(t.minute()) + u':' +
                              QString::number(t.second()) + u':' + QString::number(t.msec()));
    }
    if (columns.count) {
        appendField(line, display::formatInteger(values.number));
    }
    if (columns.sum) {
        appendField(line, display::formatFixed(values.sum, kValuePrecision, values.decimals, locale));
    }
    for (std::size_t ch = 0; ch < columns.sensor.size(); ++ch) {
        if (columns.sensor[ch]) {
            appendField(line, display::formatFixed(values.sensor[ch], kValuePrecision, values.decimals, locale));
        }
    }
    return line;
}

QByteArray buildRecordLine(const RecordColumns& columns, const RecordValues& values, bool withHeader,
                           const display::NumberLocale& locale)
{
    QByteArray bytes;
    if (withHeader) {
        bytes += recordHeader(columns).toUtf8();
        bytes.append(kLineEnd.data(), static_cast<qsizetype>(kLineEnd.size()));
    }
    bytes += recordFields(columns, values, locale).toUtf8();
    bytes.append(kLineEnd.data(), static_cast<qsizetype>(kLineEnd.size()));
    return bytes;
}

QString timeToNextRecordText(std::uint32_t framesLeft, const display::NumberLocale& locale)
{
    return display::formatFixed(static_cast<double>(framesLeft) * kSecondsPerFrame, 3, 2, locale) +
           QStringLiteral(" s");
}

QString withCsvExtension(const QString& chosen)
{
    // The extension is looked for in the file-name part only: a dot in a folder name does not count.
    const qsizetype nameStart = std::max(chosen.lastIndexOf(u'/'), chosen.lastIndexOf(u'\\')) + 1;
    const qsizetype dot = chosen.lastIndexOf(u'.');
    const QStringView extension = dot >= nameStart ? QStringView(chosen).mid(dot) : QStringView();
    if (extension == QLatin1StringView(".csv")) {
        return chosen;
    }
    return chosen + QStringLiteral(".csv");
}

QString elapsedRunText(std::int64_t milliseconds)
{
    const std::int64_t s = std::max<std::int64_t>(0, milliseconds) / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace qmx::recording
