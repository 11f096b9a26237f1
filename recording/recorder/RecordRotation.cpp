#include "RecordRotation.h"

#include <QRegularExpression>

namespace qmx::recording {

std::optional<RotationPolicy> parseRotation(const QString& text)
{
    if (text == QLatin1String("hourly")) {
        return RotationPolicy{RotationPolicy::Kind::Hourly, 0};
    }
    if (text == QLatin1String("daily")) {
        return RotationPolicy{RotationPolicy::Kind::Daily, 0};
    }
    static const QRegularExpression size(QStringLiteral(R"(^(\d{1,12})([KMG]?)$)"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto match = size.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    std::int64_t bytes = match.captured(1).toLongLong();
    const QString unit = match.captured(2).toUpper();
    const int shift = unit == QLatin1String("K") ? 10 : unit == QLatin1String("M") ? 20 : unit == QLatin1String("G") ? 30 : 0;
    if (bytes > (std::int64_t{1} << 40)) {
        return std::nullopt;
    }
    bytes <<= shift;
    // Smaller files would hold hardly more than their header.
    if (bytes < 1024) {
        return std::nullopt;
    }
    return RotationPolicy{RotationPolicy::Kind::Size, bytes};
}

std::optional<QDateTime> nextRotationTime(const RotationPolicy& policy, const QDateTime& fileStart)
{
    switch (policy.kind) {
    case RotationPolicy::Kind::Hourly: {
        const QTime t = fileStart.time();
        // Adding to the start of the hour, not setting the next hour's number, stays right across
        // a change of daylight saving time.
        QDateTime hourStart = fileStart; // keeps the file's time spec (local time, UTC, a zone)
        hourStart.setTime(QTime(t.hour(), 0));
        return hourStart.addSecs(3600);
    }
    case RotationPolicy::Kind::Daily:
    {
        QDateTime midnight = fileStart;
        midnight.setDate(fileStart.date().addDays(1));
        midnight.setTime(QTime(0, 0));
        return midnight;
    }
    case RotationPolicy::Kind::None:
    case RotationPolicy::Kind::Size:
        break;
    }
    return std::nullopt;
}

bool startsNewFile(const RotationPolicy& policy, const QDateTime& fileStart, std::int64_t fileBytes,
                   std::int64_t fileLines, const QDateTime& lineTime, std::int64_t lineBytes)
{
    if (fileLines <= 0) {
        return false;
    }
    if (policy.kind == RotationPolicy::Kind::Size) {
        return fileBytes + lineBytes > policy.maxBytes;
    }
    const auto next = nextRotationTime(policy, fileStart);
    return next && lineTime >= *next;
}

QString rotatedFileName(const QDateTime& start, int clash)
{
    QString name = QStringLiteral("qmx80net-") + start.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    if (clash > 0) {
        name += u'-' + QString::number(clash);
    }
    return name + QStringLiteral(".csv");
}

} // namespace qmx::recording
