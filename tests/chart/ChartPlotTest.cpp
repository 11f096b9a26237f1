// The chart widget: what the series draw, the legend check boxes, mouse zoom and panning.

#include "recording/chart/ChartPlot.h"

#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>

namespace qmx::recording {
namespace {

class ChartPlotTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        plot.resize(1000, 500);
        plot.show();
        plot.replot();
    }

    void mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons, QPoint pos)
    {
        QMouseEvent event(type, QPointF(pos), plot.mapToGlobal(QPointF(pos)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&plot, &event);
    }

    void drag(Qt::MouseButton button, QPoint from, QPoint to)
    {
        mouse(QEvent::MouseButtonPress, button, button, from);
        mouse(QEvent::MouseMove, Qt::NoButton, button, (from + to) / 2);
        mouse(QEvent::MouseMove, Qt::NoButton, button, to);
        mouse(QEvent::MouseButtonRelease, button, Qt::NoButton, to);
    }

    ChartPlot plot;
};

TEST_F(ChartPlotTest, HasFiveNamedSeriesWithTheirPens)
{
    EXPECT_EQ(plot.objectName(), QStringLiteral("Chart1"));
    ASSERT_EQ(plot.plottableCount(), kChartSeriesCount);
    const char* legend[] = {"Czujnik 1", "Czujnik 2", "Czujnik 3", "Czujnik 4", "Suma"};
    for (int i = 0; i < kChartSeriesCount; ++i) {
        const ChartSeriesPlottable* s = plot.chartSeries(i);
        EXPECT_EQ(s->objectName(), QStringLiteral("Series%1").arg(i + 1));
        EXPECT_EQ(s->name(), QString::fromUtf8(legend[i]));
        EXPECT_EQ(s->pen().width(), 2);
    }
    EXPECT_EQ(plot.chartSeries(0)->title(), QStringLiteral("Sensor1"));
    EXPECT_EQ(plot.chartSeries(4)->title(), QStringLiteral("Suma"));
    EXPECT_EQ(plot.chartSeries(2)->pen().color(), QColor(4, 187, 187));
    EXPECT_EQ(plot.xAxis->label(), QStringLiteral("Czas [s]"));
    EXPECT_EQ(plot.yAxis->label(), QStringLiteral("Wartosc pomiaru"));
    EXPECT_FALSE(plot.xAxis2->visible());
    EXPECT_FALSE(plot.yAxis2->visible());
}

TEST_F(ChartPlotTest, DenseColumnsDrawTheirMinimumToMaximum)
{
    // 200 000 rows over 0..100 s: about 200 rows per pixel column.
    const int rows = 200000;
    for (int i = 0; i < rows; ++i) {
        const float x = static_cast<float>(i) * 0.0005F;
        const float v = std::sin(x) * 100.0F + static_cast<float>((i * 7919) % 101) - 50.0F;
        plot.appendSample(x, {v, 0, 0, 0, 0});
    }
    plot.setBottomRange({0.0, 100.0});
    plot.setLeftRange({-200.0, 200.0});
    plot.replot();

    // Brute force: pixel extents of the rows of every column, and the last row's pixel.
    struct Column {
        double top;
        double bottom;
        double last;
    };
    std::map<int, Column> expected;
    for (int i = 0; i < rows; ++i) {
        const int column = static_cast<int>(std::floor(plot.xAxis->coordToPixel(plot.chartData().x(i))));
        const double py = plot.yAxis->coordToPixel(plot.chartData().y(0, i));
        auto [it, inserted] = expected.try_emplace(column, Column{py, py, py});
        it->second.top = std::min(it->second.top, py);
        it->second.bottom = std::max(it->second.bottom, py);
        it->second.last = py;
    }
    QVector<QLineF> segments;
    plot.chartSeries(0)->buildSegments(segments);
    EXPECT_LE(segments.size(), static_cast<qsizetype>(expected.size()) + 4);
    std::map<int, std::pair<double, double>> drawn;
    for (const QLineF& l : segments) {
        ASSERT_EQ(l.x1(), l.x2()) << "dense columns are joined inside their bars";
        drawn[static_cast<int>(std::floor(l.x1()))] = {std::min(l.y1(), l.y2()), std::max(l.y1(), l.y2())};
    }
    int checked = 0;
    for (auto it = std::next(expected.begin()); it != expected.end(); ++it) {
        const auto& [column, extent] = *it;
        const double joint = std::prev(it)->second.last;
        ASSERT_TRUE(drawn.count(column)) << column;
        // The bar spans the column's rows plus the joint from the previous column's last row.
        EXPECT_NEAR(drawn[column].first, std::min(extent.top, joint), 1e-6) << column;
        EXPECT_NEAR(drawn[column].second, std::max(extent.bottom, joint), 1e-6) << column;
        ++checked;
    }
    EXPECT_GT(checked, 900);
}

TEST_F(ChartPlotTest, SparseRowsAreJoinedAndNonFiniteValuesLeaveGaps)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (int i = 0; i < 10; ++i) {
        plot.appendSample(static_cast<float>(i), {i == 5 ? nan : static_cast<float>(i), 0, 0, 0, 0});
    }
    plot.setBottomRange({0.0, 9.0});
    plot.setLeftRange({-1.0, 10.0});
    plot.replot();
    QVector<QLineF> segments;
    plot.chartSeries(0)->buildSegments(segments);
    const double gapX = plot.xAxis->coordToPixel(5.0);
    int joins = 0;
    for (const QLineF& l : segments) {
        EXPECT_FALSE(std::min(l.x1(), l.x2()) <= gapX && std::max(l.x1(), l.x2()) >= gapX) << "segment over the gap";
        if (l.p1() != l.p2()) {
            ++joins;
            // Each joint links two consecutive rows exactly.
            const double key = std::round(plot.xAxis->pixelToCoord(l.x1()));
            EXPECT_NEAR(l.y1(), plot.yAxis->coordToPixel(key), 1e-6);
        }
    }
    EXPECT_EQ(joins, 7); // 0-1..3-4 and 6-7..8-9
}

TEST_F(ChartPlotTest, RangesForRescaleComeFromTheStore)
{
    plot.appendSample(1.0F, {3, 0, 0, 0, 0});
    plot.appendSample(2.0F, {-4, 0, 0, 0, 0});
    bool found = false;
    const QCPRange keys = plot.chartSeries(0)->getKeyRange(found);
    EXPECT_TRUE(found);
    EXPECT_EQ(keys, QCPRange(1.0, 2.0));
    const QCPRange values = plot.chartSeries(0)->getValueRange(found);
    EXPECT_TRUE(found);
    EXPECT_EQ(values, QCPRange(-4.0, 3.0));
}

TEST_F(ChartPlotTest, ClickOnALegendEntrySwitchesItsSeries)
{
    QCPAbstractLegendItem* item = plot.legend->item(1);
    ASSERT_NE(item, nullptr);
    std::vector<std::pair<int, bool>> toggles;
    QObject::connect(&plot, &ChartPlot::seriesActiveToggled,
                     [&toggles](int index, bool active) { toggles.emplace_back(index, active); });
    const QPoint centre = item->rect().center();
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, centre);
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, centre);
    EXPECT_FALSE(plot.seriesActive(1));
    EXPECT_FALSE(plot.chartSeries(1)->visible());
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, centre);
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, centre);
    EXPECT_TRUE(plot.seriesActive(1));
    EXPECT_EQ(toggles, (std::vector<std::pair<int, bool>>{{1, false}, {1, true}}));
}

TEST_F(ChartPlotTest, LeftDragDownRightZoomsInAndUpLeftReturnsToTheProgramView)
{
    plot.setBottomRange({0.0, 100.0});
    plot.setLeftRange({-10.0, 10.0});
    plot.replot();
    const QRect area = plot.axisRect()->rect();
    const QPoint from = area.topLeft() + QPoint(100, 50);
    const QPoint to = from + QPoint(200, 100);
    const double k0 = plot.xAxis->pixelToCoord(from.x());
    const double k1 = plot.xAxis->pixelToCoord(to.x());
    const double v0 = plot.yAxis->pixelToCoord(to.y());
    const double v1 = plot.yAxis->pixelToCoord(from.y());
    drag(Qt::LeftButton, from, to);
    EXPECT_NEAR(plot.bottomRange().lower, k0, 1e-9);
    EXPECT_NEAR(plot.bottomRange().upper, k1, 1e-9);
    EXPECT_NEAR(plot.leftRange().lower, v0, 1e-9);
    EXPECT_NEAR(plot.leftRange().upper, v1, 1e-9);

    drag(Qt::LeftButton, to, from);
    EXPECT_EQ(plot.bottomRange(), (AxisRange{0.0, 100.0}));
    EXPECT_EQ(plot.leftRange(), (AxisRange{-10.0, 10.0}));
}

TEST_F(ChartPlotTest, RightDragMovesOnlyTheTimeAxis)
{
    plot.setBottomRange({0.0, 100.0});
    plot.setLeftRange({-10.0, 10.0});
    plot.replot();
    const QPoint from = plot.axisRect()->rect().center();
    const double perPixel = plot.xAxis->pixelToCoord(1.0) - plot.xAxis->pixelToCoord(0.0);
    drag(Qt::RightButton, from, from + QPoint(-50, 30));
    EXPECT_NEAR(plot.bottomRange().lower, 50 * perPixel, 1e-9);
    EXPECT_NEAR(plot.bottomRange().upper, 100.0 + 50 * perPixel, 1e-9);
    EXPECT_EQ(plot.leftRange(), (AxisRange{-10.0, 10.0}));
}

} // namespace
} // namespace qmx::recording
