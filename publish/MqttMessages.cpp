#include "MqttMessages.h"

#include <QDateTime>

#include <array>
#include <cmath>
#include <cstdlib>

namespace qmx::publish {

namespace {

/// A float with the digits that tell it apart from its neighbours; null when not finite.
QString jsonNumber(float v)
{
    return std::isfinite(v) ? QString::number(static_cast<double>(v), 'g', 7) : QStringLiteral("null");
}

QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

} // namespace

Sample stampSample(std::uint64_t sequence, const link::Measurement& m)
{
    const QDateTime now = QDateTime::currentDateTime();
    return Sample{sequence, now.toMSecsSinceEpoch(), now.offsetFromUtc(), m};
}

QString defaultTopicPrefix(const QString& hostName)
{
    QString host;
    for (const QChar c : hostName) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
                           c == u'-' || c == u'_' || c == u'.';
        host += plain ? c : u'_';
    }
    return QStringLiteral("qmx80net/") + (host.isEmpty() ? QStringLiteral("unknown-host") : host);
}

bool isValidTopicPrefix(const QString& prefix)
{
    return !prefix.isEmpty() && !prefix.startsWith(u'/') && !prefix.endsWith(u'/') && !prefix.contains(u'+') &&
           !prefix.contains(u'#') && !prefix.contains(QChar(0)) && prefix.toUtf8().size() < 60000;
}

QString isoTime(qint64 msSinceEpoch, int utcOffsetSeconds)
{
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(msSinceEpoch, Qt::UTC).addSecs(utcOffsetSeconds);
    const int offsetMinutes = std::abs(utcOffsetSeconds) / 60;
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) + (utcOffsetSeconds < 0 ? u'-' : u'+') +
           twoDigits(offsetMinutes / 60) + u':' + twoDigits(offsetMinutes % 60);
}

QString jsonString(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\') {
            out += u'\\';
            out += c;
        } else if (c == u'\n') {
            out += QStringLiteral("\\n");
        } else if (c == u'\t') {
            out += QStringLiteral("\\t");
        } else if (c.unicode() < 0x20) {
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out + u'"';
}

QByteArray measurementJson(const Sample& sample, const QString& unit)
{
    const link::Measurement& m = sample.measurement;
    QString out = QStringLiteral("{\"seq\":%1,\"time\":\"%2\"").arg(sample.sequence).arg(isoTime(sample.msSinceEpoch, sample.utcOffsetSeconds));
    if (!unit.isEmpty()) {
        out += QStringLiteral(",\"unit\":") + jsonString(unit);
    }
    out += QStringLiteral(",\"sum\":") + jsonNumber(m.SumValue);
    for (std::size_t ch = 0; ch < 4; ++ch) {
        out += QStringLiteral(",\"s%1\":%2").arg(ch + 1).arg(jsonNumber(m.ChannelValue[ch]));
    }
    for (std::size_t ch = 0; ch < 4; ++ch) {
        out += QStringLiteral(",\"status%1\":%2").arg(ch + 1).arg(m.ChannelStatus[ch]);
    }
    out += QStringLiteral(",\"in1\":%1,\"in2\":%2,\"out1\":%3,\"out2\":%4}")
               .arg(m.InputState & 1)
               .arg((m.InputState >> 1) & 1)
               .arg(m.OutputState & 1)
               .arg((m.OutputState >> 1) & 1);
    return out.toUtf8();
}

QByteArray batchJson(std::span<const Sample> samples, const QString& unit)
{
    QByteArray out = "[";
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        out += measurementJson(samples[i], unit);
    }
    return out + ']';
}

QByteArray identificationJson(const QString& firmware, const QString& description, const QString& connectionText,
                              const QString& hostName, const QString& toolVersion)
{
    return (QStringLiteral("{\"device\":\"QMX80NET\",\"firmware\":") + jsonString(firmware) +
            QStringLiteral(",\"description\":") + jsonString(description) + QStringLiteral(",\"connection\":") +
            jsonString(connectionText) + QStringLiteral(",\"host\":") + jsonString(hostName) +
            QStringLiteral(",\"tool\":") + jsonString(toolVersion) + u'}')
        .toUtf8();
}

QByteArray settingsJson(const QStringList& nameValueLines)
{
    QStringList members;
    for (const QString& line : nameValueLines) {
        const qsizetype tab = line.indexOf(u'\t');
        const QString name = tab < 0 ? line : line.left(tab);
        const QString value = tab < 0 ? QString() : line.mid(tab + 1);
        members << jsonString(name) + u':' + jsonString(value);
    }
    return (u'{' + members.join(u',') + u'}').toUtf8();
}

} // namespace qmx::publish
