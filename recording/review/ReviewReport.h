#pragma once
// Reports without a window: the chart of a range with a header (source, date, unit, statistics
// table) painted with QPainter to PNG, SVG or PDF, and a range of the rows written back as CSV in
// the recorder's own format. The window's export actions call the same functions.
// Painting needs a QGuiApplication (fonts); the offscreen platform is enough.

#include "RecordingReader.h"
#include "ReviewStatistics.h"

#include "display/core/NumberFormat.h"

#include <QDateTime>
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <QString>

#include <array>
#include <optional>

namespace qmx::recording {

enum class ReportFormat { Png, Svg, Pdf };

/// The format for a file name's extension (".png", ".svg", ".pdf", any case); nothing otherwise.
std::optional<ReportFormat> reportFormatForFileName(const QString& fileName);

/// The words a report paints: the series' legend texts and the statistics headings that are
/// words. The tool's reports keep the defaults (the live chart's Polish words); the window passes
/// the texts of its interface language, since the report is a picture of what the window shows.
struct ReportTexts {
    std::array<QString, kChartSeriesCount> series{QStringLiteral("Czujnik 1"), QStringLiteral("Czujnik 2"),
                                                  QStringLiteral("Czujnik 3"), QStringLiteral("Czujnik 4"),
                                                  QStringLiteral("Suma")};
    QString mean = QString::fromUtf8("średnia");
    QString deviation = QStringLiteral("odch. std.");
};

/// What a report shows.
struct ReportRequest {
    const ChartData* data = nullptr;
    /// Series drawn and listed in the statistics table (ChartValues order).
    std::array<bool, kChartSeriesCount> series{};
    /// x range shown; the statistics cover the same range.
    double fromX = 0.0;
    double toX = 0.0;
    ReviewTimeBase timeBase = ReviewTimeBase::RecordPeriod;
    QString source;   ///< file name or device shown in the header
    QDateTime date;   ///< date shown in the header (the run's start, or the export time)
    QString unit;     ///< unit of the values (the transducer's), may be empty
    QSize pixelSize{1600, 1000}; ///< PNG and SVG size; PDF is an A4 page across
    display::NumberLocale locale = display::NumberLocale::c(); ///< decimal point of the numbers
    ReportTexts texts; ///< legend texts and headings
};

/// Default legend text of series `series` in reports (the tool's), as the live chart's Polish
/// legend words it ("Czujnik 1".."Czujnik 4", "Suma").
QString reportSeriesLegend(int series);

/// Paints the report into `page` (header, statistics table, chart with axes and legend).
void paintReport(QPainter& painter, const QRectF& page, const ReportRequest& request);

/// Writes the report to `fileName` as `format`. Returns the error text when the file cannot be
/// written.
std::optional<QString> writeReport(const ReportRequest& request, const QString& fileName, ReportFormat format);

/// How exported rows are written: the columns, the decimals of the values, and how x turns into
/// the date and time columns.
struct CsvExportLayout {
    RecordColumns columns;
    int decimals = 0;
    ReviewTimeBase timeBase = ReviewTimeBase::RecordPeriod;
    /// Clock reading at x = 0 for RecordPeriod data (the live chart's start); the date and time
    /// columns of a row then read clockOrigin + x seconds.
    QDateTime clockOrigin;
};

/// Writes the rows of `data` whose x lies in [fromX, toX] to `fileName` (replacing it) in the
/// recorder's format: its header, then one line per row built by the recorder's own line builder.
/// The "No." column counts from 0. Returns the error text when the file cannot be written.
std::optional<QString> exportChartCsv(const ChartData& data, const CsvExportLayout& layout, double fromX, double toX,
                                      const QString& fileName, const display::NumberLocale& locale);

/// Writes the rows of `recording` whose x lies in [fromX, toX] to `fileName` (replacing it) in the
/// recorder's format: its header, then one line per row built by the recorder's own line builder
/// with the run's columns, decimals and the given locale. The "No." column counts from 0.
/// Returns the error text when the file cannot be written.
std::optional<QString> exportRecordingCsv(const ReviewRecording& recording, double fromX, double toX,
                                          const QString& fileName, const display::NumberLocale& locale);

} // namespace qmx::recording
