#include "ReviewReport.h"

#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace qmx::recording {

namespace {

// The live chart's series colours, so a report looks like the window's chart.
constexpr std::array<QRgb, kChartSeriesCount> kSeriesColors{
    qRgb(231, 112, 24), qRgb(12, 175, 24), qRgb(4, 187, 187), qRgb(210, 0, 0), qRgb(0, 0, 0),
};

QString numberText(double v, const display::NumberLocale& locale)
{
    QString text = QString::number(v, 'g', 7);
    if (locale.decimalPoint != u'.') {
        text.replace(u'.', locale.decimalPoint);
    }
    return text;
}

/// A step of 1, 2 or 5 times a power of ten giving about `ticks` intervals over `span`.
double niceStep(double span, int ticks)
{
    if (!(span > 0.0) || !std::isfinite(span)) {
        return 1.0;
    }
    const double raw = span / ticks;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * power >= raw) {
            return m * power;
        }
    }
    return 10.0 * power;
}

/// Clock reading of x for the data's time base, as a local date-time without a zone.
QDateTime clockOfX(double x, ReviewTimeBase base, const QDateTime& origin)
{
    const auto ms = static_cast<std::int64_t>(std::llround(x * 1000.0));
    if (base == ReviewTimeBase::RecordPeriod) {
        const QDateTime start = origin.isValid() ? origin : QDateTime(QDate(1970, 1, 1), QTime(0, 0));
        return start.addMSecs(ms);
    }
    const std::int64_t msPerDay = 86400000;
    const std::int64_t day = ms >= 0 ? ms / msPerDay : (ms - msPerDay + 1) / msPerDay;
    return QDateTime(QDate(1970, 1, 1).addDays(day), QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms - day * msPerDay)));
}

QString axisLabel(double x, ReviewTimeBase base, double step)
{
    if (base == ReviewTimeBase::RecordPeriod) {
        return QString::number(x, 'g', 10) + QStringLiteral(" s");
    }
    const QTime t = clockOfX(x, base, {}).time();
    return t.toString(step < 1.0 ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss"));
}

void paintSeries(QPainter& p, const QRectF& area, const ChartData& data, int series, double x0, double x1, double y0,
                 double y1)
{
    const auto toY = [&](double v) { return area.bottom() - (v - y0) / (y1 - y0) * area.height(); };
    const int columns = std::max(1, static_cast<int>(area.width()));
    const double perColumn = (x1 - x0) / columns;
    QVector<QLineF> lines;
    bool havePrevious = false;
    QPointF previous;
    for (int c = 0; c < columns; ++c) {
        const std::size_t first = data.lowerBound(x0 + c * perColumn);
        const std::size_t last = c + 1 == columns ? data.upperBound(x1) : data.lowerBound(x0 + (c + 1) * perColumn);
        if (first >= last) {
            continue;
        }
        const ValueSpan span = data.span(series, first, last);
        if (span.empty()) {
            havePrevious = false; // a gap breaks the line
            continue;
        }
        const double px = area.left() + c + 0.5;
        const QPointF top(px, toY(span.max));
        const QPointF bottom(px, toY(span.min));
        const QPointF firstPoint(px, toY(static_cast<double>(data.y(series, first))));
        if (havePrevious && std::isfinite(data.y(series, first))) {
            lines.append(QLineF(previous, firstPoint));
        }
        lines.append(QLineF(top, bottom));
        const float lastValue = data.y(series, last - 1);
        havePrevious = std::isfinite(lastValue);
        previous = QPointF(px, toY(static_cast<double>(lastValue)));
    }
    p.drawLines(lines);
}

} // namespace

QString reportSeriesLegend(int series)
{
    return series >= 0 && series < kChartSeriesCount ? ReportTexts{}.series[static_cast<std::size_t>(series)] : QString();
}

std::optional<ReportFormat> reportFormatForFileName(const QString& fileName)
{
    const QString lower = fileName.toLower();
    if (lower.endsWith(QLatin1String(".png"))) {
        return ReportFormat::Png;
    }
    if (lower.endsWith(QLatin1String(".svg"))) {
        return ReportFormat::Svg;
    }
    if (lower.endsWith(QLatin1String(".pdf"))) {
        return ReportFormat::Pdf;
    }
    return std::nullopt;
}

void paintReport(QPainter& p, const QRectF& page, const ReportRequest& req)
{
    p.save();
    p.fillRect(page, Qt::white);
    const double unitPx = page.height() / 60.0; // every size follows the page
    const double margin = unitPx * 2.0;
    QFont font = p.font();
    font.setPixelSize(std::max(6, static_cast<int>(unitPx * 1.3)));
    QFont bold = font;
    bold.setBold(true);
    bold.setPixelSize(std::max(7, static_cast<int>(unitPx * 1.7)));
    double y = page.top() + margin;

    // Header: source, date, unit and range.
    p.setPen(Qt::black);
    p.setFont(bold);
    const double boldLine = QFontMetricsF(bold, p.device()).height();
    p.drawText(QRectF(page.left() + margin, y, page.width() - 2 * margin, boldLine), Qt::AlignLeft | Qt::AlignVCenter,
               req.source);
    y += boldLine * 1.2;
    p.setFont(font);
    const double line = QFontMetricsF(font, p.device()).height();
    QString info = req.date.isValid() ? req.date.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
    if (!req.unit.isEmpty()) {
        info += QStringLiteral("   [%1]").arg(req.unit);
    }
    info += QStringLiteral("   %1 – %2")
                .arg(axisLabel(std::min(req.fromX, req.toX), req.timeBase, 0.001),
                     axisLabel(std::max(req.fromX, req.toX), req.timeBase, 0.001));
    p.drawText(QRectF(page.left() + margin, y, page.width() - 2 * margin, line), Qt::AlignLeft | Qt::AlignVCenter, info);
    y += line * 1.5;

    // Statistics table, one row per shown series.
    const QStringList heads{QString(), QStringLiteral("n"), QStringLiteral("min"), QStringLiteral("max"),
                            req.texts.mean, req.texts.deviation, QStringLiteral("p-p")};
    const double colWidth = (page.width() - 2 * margin) / heads.size();
    const auto cell = [&](int col, const QString& text, double rowY) {
        p.drawText(QRectF(page.left() + margin + col * colWidth, rowY, colWidth - unitPx, line),
                   (col == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, text);
    };
    p.setFont(font);
    for (int c = 0; c < heads.size(); ++c) {
        cell(c, heads[c], y);
    }
    y += line;
    p.drawLine(QPointF(page.left() + margin, y), QPointF(page.right() - margin, y));
    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    for (int s = 0; s < kChartSeriesCount; ++s) {
        if (!req.series[static_cast<std::size_t>(s)] || !req.data) {
            continue;
        }
        const SeriesStatistics st = seriesStatisticsBetween(*req.data, s, req.fromX, req.toX);
        p.setPen(QColor(kSeriesColors[static_cast<std::size_t>(s)]));
        cell(0, req.texts.series[static_cast<std::size_t>(s)], y);
        p.setPen(Qt::black);
        cell(1, QString::number(st.count), y);
        if (!st.empty()) {
            const double vals[] = {st.min, st.max, st.mean, st.stdDev, st.peakToPeak};
            for (int c = 0; c < 5; ++c) {
                cell(c + 2, numberText(vals[c], req.locale), y);
            }
            lo = std::min(lo, st.min);
            hi = std::max(hi, st.max);
        }
        y += line;
    }
    y += line * 0.5;

    // The chart: frame, grid, labels, series.
    const QFontMetricsF fm(font, p.device());
    const double leftLabels = fm.horizontalAdvance(QStringLiteral("-00000.000")) + unitPx;
    const QRectF area(page.left() + margin + leftLabels, y + line * 0.5, page.width() - 2 * margin - leftLabels,
                      page.bottom() - margin - line * 2 - (y + line * 0.5));
    if (area.width() < 10 || area.height() < 10) {
        p.restore();
        return;
    }
    if (!(lo <= hi)) {
        lo = 0.0;
        hi = 1.0;
    }
    if (hi - lo < 1e-9 * std::max(1.0, std::abs(hi))) {
        lo -= 0.5;
        hi += 0.5;
    }
    const double pad = (hi - lo) * 0.05;
    lo -= pad;
    hi += pad;
    double x0 = std::min(req.fromX, req.toX);
    double x1 = std::max(req.fromX, req.toX);
    if (!(x1 > x0)) {
        x1 = x0 + 1.0;
    }
    QPen gridPen(QColor(220, 220, 220));
    gridPen.setWidthF(unitPx * 0.05);
    const double yStep = niceStep(hi - lo, 6);
    for (double v = std::ceil(lo / yStep) * yStep; v <= hi; v += yStep) {
        const double py = area.bottom() - (v - lo) / (hi - lo) * area.height();
        p.setPen(gridPen);
        p.drawLine(QPointF(area.left(), py), QPointF(area.right(), py));
        p.setPen(Qt::black);
        p.drawText(QRectF(page.left() + margin, py - line / 2, leftLabels - unitPx * 0.5, line),
                   Qt::AlignRight | Qt::AlignVCenter, numberText(std::abs(v) < yStep * 1e-6 ? 0.0 : v, req.locale));
    }
    const double xStep = niceStep(x1 - x0, 6);
    for (double v = std::ceil(x0 / xStep) * xStep; v <= x1; v += xStep) {
        const double px = area.left() + (v - x0) / (x1 - x0) * area.width();
        p.setPen(gridPen);
        p.drawLine(QPointF(px, area.top()), QPointF(px, area.bottom()));
        p.setPen(Qt::black);
        p.drawText(QRectF(px - colWidth, area.bottom() + line * 0.2, 2 * colWidth, line), Qt::AlignCenter,
                   axisLabel(v, req.timeBase, xStep));
    }
    if (!req.unit.isEmpty()) {
        p.drawText(QRectF(page.left() + margin, area.top() - line * 1.1, leftLabels, line), Qt::AlignLeft, req.unit);
    }
    p.setPen(QPen(Qt::black, unitPx * 0.08));
    p.drawRect(area);
    if (req.data) {
        p.setClipRect(area);
        for (int s = 0; s < kChartSeriesCount; ++s) {
            if (req.series[static_cast<std::size_t>(s)]) {
                QPen pen(QColor(kSeriesColors[static_cast<std::size_t>(s)]), std::max(1.0, unitPx * 0.1));
                pen.setCapStyle(Qt::SquareCap);
                p.setPen(pen);
                paintSeries(p, area, *req.data, s, x0, x1, lo, hi);
            }
        }
        p.setClipping(false);
    }
    p.restore();
}

std::optional<QString> writeReport(const ReportRequest& request, const QString& fileName, ReportFormat format)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        return QStringLiteral("%1: %2").arg(fileName, file.errorString());
    }
    switch (format) {
    case ReportFormat::Png: {
        QImage image(request.pixelSize, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::TextAntialiasing);
            paintReport(painter, QRectF(QPointF(0, 0), QSizeF(request.pixelSize)), request);
        }
        if (!image.save(&file, "PNG")) {
            file.cancelWriting();
            return QStringLiteral("%1: %2").arg(fileName, file.errorString());
        }
        break;
    }
    case ReportFormat::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(request.pixelSize);
        svg.setViewBox(QRect(QPoint(0, 0), request.pixelSize));
        svg.setTitle(request.source);
        QPainter painter;
        if (!painter.begin(&svg)) {
            file.cancelWriting();
            return QStringLiteral("%1: cannot paint the report").arg(fileName);
        }
        paintReport(painter, QRectF(QPointF(0, 0), QSizeF(request.pixelSize)), request);
        painter.end();
        break;
    }
    case ReportFormat::Pdf: {
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        pdf.setResolution(300);
        pdf.setTitle(request.source);
        QPainter painter;
        if (!painter.begin(&pdf)) {
            file.cancelWriting();
            return QStringLiteral("%1: cannot paint the report").arg(fileName);
        }
        paintReport(painter, QRectF(0, 0, pdf.width(), pdf.height()), request);
        painter.end();
        break;
    }
    }
    if (!file.commit()) {
        return QStringLiteral("%1: %2").arg(fileName, file.errorString());
    }
    return std::nullopt;
}

std::optional<QString> exportChartCsv(const ChartData& data, const CsvExportLayout& layout, double fromX, double toX,
                                      const QString& fileName, const display::NumberLocale& locale)
{
    if (toX < fromX) {
        std::swap(fromX, toX);
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        return QStringLiteral("%1: %2").arg(fileName, file.errorString());
    }
    const std::size_t first = data.lowerBound(fromX);
    const std::size_t last = data.upperBound(toX);
    QByteArray buffer;
    buffer.reserve(1 << 20);
    RecordValues values;
    values.decimals = layout.decimals;
    for (std::size_t row = first; row < last || row == first; ++row) {
        if (row >= last) {
            // An empty range still gets its header, so the file reads back as an (empty) run.
            buffer += recordHeader(layout.columns).toUtf8();
            buffer.append(kLineEnd.data(), static_cast<qsizetype>(kLineEnd.size()));
            break;
        }
        values.stamp = clockOfX(data.x(row), layout.timeBase, layout.clockOrigin);
        values.number = static_cast<std::int64_t>(row - first);
        values.sum = data.y(4, row);
        for (int ch = 0; ch < 4; ++ch) {
            values.sensor[static_cast<std::size_t>(ch)] = data.y(ch, row);
        }
        buffer += buildRecordLine(layout.columns, values, row == first, locale);
        if (buffer.size() > (1 << 20) - 512) {
            if (file.write(buffer) != buffer.size()) {
                file.cancelWriting();
                return QStringLiteral("%1: %2").arg(fileName, file.errorString());
            }
            buffer.clear();
        }
    }
    if (file.write(buffer) != buffer.size() || !file.commit()) {
        return QStringLiteral("%1: %2").arg(fileName, file.errorString());
    }
    return std::nullopt;
}

std::optional<QString> exportRecordingCsv(const ReviewRecording& recording, double fromX, double toX,
                                          const QString& fileName, const display::NumberLocale& locale)
{
    if (!recording.data) {
        return QStringLiteral("%1: nothing to export").arg(fileName);
    }
    CsvExportLayout layout;
    layout.columns = recording.columns;
    layout.decimals = recording.decimals;
    layout.timeBase = recording.timeBase;
    if (recording.firstDate.isValid()) {
        layout.clockOrigin = QDateTime(recording.firstDate, QTime(0, 0));
    }
    return exportChartCsv(*recording.data, layout, fromX, toX, fileName, locale);
}

} // namespace qmx::recording
