#pragma once
// The MQTT messages the tool publishes, as pure functions of their values, and the topics they go
// to. Every topic lies under one prefix (default "qmx80net/<host name>"):
//   PREFIX/status          "online" / "offline", retained; "offline" is also the last will
//   PREFIX/identification  JSON object, retained; published again when it changes
//   PREFIX/settings        JSON object, retained; published again when it changes
//   PREFIX/measurement     one JSON object per measurement (not retained)
//   PREFIX/measurements    with --batch: a JSON array of the measurements of one second

#include "link/Measurement.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <span>

namespace qmx::publish {

/// One measurement as it was read: its number in the run, the wall-clock time it arrived and the
/// local time's offset from UTC at that moment.
struct Sample {
    std::uint64_t sequence = 0;
    qint64 msSinceEpoch = 0;
    int utcOffsetSeconds = 0;
    link::Measurement measurement;
};

/// Stamps a measurement with the current time and local offset.
Sample stampSample(std::uint64_t sequence, const link::Measurement& m);

/// The topics under one prefix; the prefix never ends with '/'.
struct Topics {
    QString prefix;
    QByteArray status() const { return (prefix + QStringLiteral("/status")).toUtf8(); }
    QByteArray identification() const { return (prefix + QStringLiteral("/identification")).toUtf8(); }
    QByteArray settings() const { return (prefix + QStringLiteral("/settings")).toUtf8(); }
    QByteArray measurement() const { return (prefix + QStringLiteral("/measurement")).toUtf8(); }
    QByteArray measurements() const { return (prefix + QStringLiteral("/measurements")).toUtf8(); }
};

/// "qmx80net/<host name>", the host name reduced to letters, digits, '-', '_' and '.'.
QString defaultTopicPrefix(const QString& hostName);
/// Whether `prefix` may be used as a topic prefix: not empty, no wildcard ('+', '#'), no NUL, no
/// leading or trailing '/'.
bool isValidTopicPrefix(const QString& prefix);

/// Payloads of the status topic.
inline constexpr const char* kStatusOnline = "online";
inline constexpr const char* kStatusOffline = "offline";

/// A time as ISO 8601 with milliseconds and the offset: "2026-12-10T19:20:01.123+01:00".
QString isoTime(qint64 msSinceEpoch, int utcOffsetSeconds);

/// A measurement as a JSON object:
/// {"seq":12,"time":"...","unit":"kN","sum":1.5,"s1":..,"s4":..,"status1":3,..,"status4":3,
///  "in1":0,"in2":1,"out1":0,"out2":0}; "unit" is left out when unknown, a value that is not
/// finite is null. Statuses are the transducer's codes (0 converter error, 1 no sensor,
/// 2 unstable, 3 stable, 4 overloaded).
QByteArray measurementJson(const Sample& sample, const QString& unit);
/// Several measurements as a JSON array of the objects above.
QByteArray batchJson(std::span<const Sample> samples, const QString& unit);

/// The identification message: {"device":"QMX80NET","firmware":"1.05","description":"...",
/// "connection":"...","host":"...","tool":"qmx80net-cli 1.01"}.
QByteArray identificationJson(const QString& firmware, const QString& description, const QString& connectionText,
                              const QString& hostName, const QString& toolVersion);
/// The settings message: one string member per "Name<TAB>value" line, in the lines' order.
QByteArray settingsJson(const QStringList& nameValueLines);

/// A text as a JSON string literal, quotes included.
QString jsonString(const QString& text);

} // namespace qmx::publish
