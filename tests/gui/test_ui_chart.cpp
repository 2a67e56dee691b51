// The chart: axes (including impossible ranges), series, markers, long series, the picture and clicks.
#include <gtest/gtest.h>

#include <qcustomplot.h>
#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <limits>

#include "common/render.h"
#include "qt_app.h"
#include "ui/chart.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

QCPGraph* graphOf(const ui::Chart& chart, int series) {
    return qobject_cast<QCPGraph*>(chart.plottable(series));
}
QCPBars* barsOf(const ui::Chart& chart, int series) {
    return qobject_cast<QCPBars*>(chart.plottable(series));
}

bool hasPixel(const QImage& image, const QColor& colour) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if (QColor(line[x]) == colour) {
                return true;
            }
        }
    }
    return false;
}

std::vector<double> ticksOf(const QCPAxis* axis) {
    const QVector<double> ticks = axis->tickVector();
    return {ticks.begin(), ticks.end()};
}

}  // namespace

TEST(Chart, AxesCutIntoExactlyTheirDivisions) {
    ui::Chart chart(4);
    chart.setAxisRange(ui::Axis::Primary, 72, 168, 10);
    chart.setAxisRange(ui::Axis::Secondary, 50, 80, 6);
    ASSERT_FALSE(chart.picture().isNull());

    const std::vector<double> primary = ticksOf(chart.plot()->yAxis);
    ASSERT_EQ(primary.size(), 11u);
    EXPECT_NEAR(primary.front(), 72, 1e-6);
    EXPECT_NEAR(primary[1], 81.6, 1e-6);
    EXPECT_NEAR(primary.back(), 168, 1e-6);
    const std::vector<double> secondary = ticksOf(chart.plot()->yAxis2);
    ASSERT_EQ(secondary.size(), 7u);
    EXPECT_NEAR(secondary[1], 55, 1e-6);
    EXPECT_EQ(chart.axisDivisions(ui::Axis::Secondary), 6);
}

TEST(Chart, ImpossibleRangesDrawSomethingAndReportWhatWasSet) {
    ui::Chart chart(4);
    chart.setSeries(0, {120, 130});
    // An empty automatic chart: smallest 999 above largest 0; and no divisions at all.
    chart.setAxisRange(ui::Axis::Primary, 998, 0, 0);
    chart.setAxisRange(ui::Axis::Secondary, 65, 65, -3);
    chart.redraw();
    EXPECT_FALSE(chart.picture().isNull());

    EXPECT_EQ(chart.axisMinimum(ui::Axis::Primary), 998);
    EXPECT_EQ(chart.axisMaximum(ui::Axis::Primary), 0);
    EXPECT_EQ(chart.axisDivisions(ui::Axis::Primary), 0);
    EXPECT_EQ(chart.axisDivisions(ui::Axis::Secondary), -3);

    const QCPRange drawn = chart.plot()->yAxis->range();
    EXPECT_NEAR(drawn.lower, 0, 1e-6);
    EXPECT_NEAR(drawn.upper, 998, 1e-6);
    EXPECT_EQ(ticksOf(chart.plot()->yAxis).size(), 2u);  // one division
    const QCPRange widened = chart.plot()->yAxis2->range();
    EXPECT_LT(widened.lower, 65);
    EXPECT_GT(widened.upper, 65);

    chart.setAxisRange(ui::Axis::Primary, kNaN, std::numeric_limits<double>::infinity(), 1000000);
    EXPECT_FALSE(chart.picture().isNull());
}

TEST(Chart, SeriesDataVisibilityAndAxes) {
    ui::Chart chart(4);
    chart.setSeries(1, {80, kNaN, 75});
    EXPECT_EQ(chart.rowCount(), 3);
    EXPECT_TRUE(std::isnan(chart.value(0, 0)));  // other series grow with empty rows
    EXPECT_EQ(chart.value(2, 1), 75);
    EXPECT_TRUE(std::isnan(chart.value(1, 1)));
    ASSERT_NE(graphOf(chart, 1), nullptr);
    EXPECT_EQ(graphOf(chart, 1)->dataCount(), 3);

    chart.setValue(0, 0, 131);
    chart.setValue(9, 0, 1);  // beyond the rows: ignored
    chart.setValue(0, 7, 1);  // no such series: ignored
    chart.redraw();
    EXPECT_EQ(chart.value(0, 0), 131);
    EXPECT_EQ(chart.rowCount(), 3);
    EXPECT_EQ(graphOf(chart, 0)->data()->at(0)->value, 131);

    chart.setRowCount(1);
    EXPECT_EQ(chart.value(0, 1), 80);
    EXPECT_TRUE(std::isnan(chart.value(2, 1)));

    chart.setSeriesVisible(2, false);
    EXPECT_FALSE(chart.isSeriesVisible(2));
    EXPECT_FALSE(chart.plottable(2)->visible());
    EXPECT_TRUE(chart.isSeriesVisible(3));

    chart.setAxisVisible(ui::Axis::Primary, false);
    EXPECT_FALSE(chart.isAxisVisible(ui::Axis::Primary));
    EXPECT_FALSE(chart.plot()->yAxis->visible());
    EXPECT_TRUE(chart.plot()->yAxis2->visible());

    chart.setSeriesAxis(0, ui::Axis::Secondary);
    EXPECT_EQ(chart.plottable(0)->valueAxis(), chart.plot()->yAxis2);
}

TEST(Chart, MarkersApplyToTheirSeriesOnly) {
    ui::Chart chart(4);
    styleTrendChart(chart);
    chart.setMarker(0, ui::Marker::Circles);
    chart.setMarker(1, ui::Marker::Balls);
    EXPECT_EQ(chart.marker(0), ui::Marker::Circles);
    EXPECT_EQ(chart.marker(1), ui::Marker::Balls);
    EXPECT_EQ(chart.marker(3), ui::Marker::None);
    EXPECT_EQ(graphOf(chart, 0)->scatterStyle().shape(), QCPScatterStyle::ssCircle);
    EXPECT_EQ(graphOf(chart, 1)->scatterStyle().shape(), QCPScatterStyle::ssPixmap);
    EXPECT_FALSE(graphOf(chart, 1)->scatterStyle().pixmap().isNull());
    EXPECT_EQ(graphOf(chart, 3)->scatterStyle().shape(), QCPScatterStyle::ssNone);

    chart.setMarker(0, ui::Marker::None);
    EXPECT_EQ(graphOf(chart, 0)->scatterStyle().shape(), QCPScatterStyle::ssNone);
    // A marker survives a change of colour.
    chart.setSeriesStyle(1, ui::SeriesKind::Line, Qt::darkRed, ui::Axis::Primary);
    EXPECT_EQ(graphOf(chart, 1)->scatterStyle().shape(), QCPScatterStyle::ssPixmap);
}

TEST(Chart, TrendStyleAndLongBarSeries) {
    ui::Chart chart(4);
    styleTrendChart(chart);
    ASSERT_NE(barsOf(chart, 2), nullptr);
    EXPECT_EQ(barsOf(chart, 2)->valueAxis(), chart.plot()->yAxis2);
    EXPECT_EQ(barsOf(chart, 2)->brush().color(), QColor(230, 200, 0));
    EXPECT_EQ(graphOf(chart, 0)->pen().color(), QColor(0, 0, 255));
    EXPECT_EQ(graphOf(chart, 1)->valueAxis(), chart.plot()->yAxis);
    EXPECT_EQ(graphOf(chart, 3)->valueAxis(), chart.plot()->yAxis2);

    chart.resize(400, 300);
    chart.show();
    QCoreApplication::processEvents();

    // Short: one bar per row, none for a missing value.
    chart.setSeries(2, {70, kNaN, 66});
    EXPECT_EQ(barsOf(chart, 2)->dataCount(), 2);

    // Long: at most one bar per pixel column, keeping the tallest.
    QVector<double> pulses(50000);
    for (int i = 0; i < pulses.size(); ++i) {
        pulses[i] = 60 + (i % 17);
    }
    pulses[31234] = 140;
    chart.setSeries(2, pulses);
    chart.setSeries(0, pulses);
    chart.redraw();
    const int bars = barsOf(chart, 2)->dataCount();
    EXPECT_GT(bars, 100);
    EXPECT_LE(bars, 400);
    double tallest = 0;
    for (auto it = barsOf(chart, 2)->data()->constBegin(); it != barsOf(chart, 2)->data()->constEnd(); ++it) {
        tallest = std::max(tallest, it->value);
    }
    EXPECT_EQ(tallest, 140);
    // A long line becomes one minimum and one maximum per pixel column, the spike included; with a marker every
    // point is drawn again.
    const auto lineExtremes = [&] {
        double low = 1e9, high = -1e9;
        for (auto it = graphOf(chart, 0)->data()->constBegin(); it != graphOf(chart, 0)->data()->constEnd(); ++it) {
            low = std::min(low, it->value);
            high = std::max(high, it->value);
        }
        return std::make_pair(low, high);
    };
    EXPECT_GT(graphOf(chart, 0)->dataCount(), 200);
    EXPECT_LE(graphOf(chart, 0)->dataCount(), 2 * 400 + 2);
    EXPECT_EQ(lineExtremes(), std::make_pair(60.0, 140.0));
    chart.setMarker(0, ui::Marker::Circles);
    chart.redraw();
    EXPECT_EQ(graphOf(chart, 0)->dataCount(), 50000);
    chart.setMarker(0, ui::Marker::None);
    chart.redraw();
    const int lines = graphOf(chart, 0)->dataCount();
    EXPECT_LE(lines, 2 * 400 + 2);

    // Wider chart: finer bars.
    chart.resize(800, 300);
    QCoreApplication::processEvents();
    EXPECT_GT(barsOf(chart, 2)->dataCount(), bars);
    EXPECT_GT(graphOf(chart, 0)->dataCount(), lines);
    EXPECT_EQ(lineExtremes(), std::make_pair(60.0, 140.0));
}

TEST(Chart, PictureClipboardAndClick) {
    ui::Chart chart(4);
    styleTrendChart(chart);
    chart.setSeries(0, {120, 140, 130});
    chart.setAxisRange(ui::Axis::Primary, 100, 150, 5);

    const QImage unlaid = chart.picture();
    EXPECT_EQ(unlaid.size(), QSize(890, 440));
    EXPECT_TRUE(hasPixel(unlaid, QColor(0, 0, 255)));     // the systolic line is drawn
    EXPECT_FALSE(hasPixel(unlaid, QColor(230, 200, 0)));  // no pulse data, no bars

    chart.resize(600, 300);
    chart.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(chart.picture().size(), QSize(600, 300));

    chart.copyToClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(600, 300));

    QSignalSpy clicked(&chart, &ui::Chart::clicked);
    QTest::mouseClick(chart.plot(), Qt::LeftButton, {}, QPoint(300, 150));
    EXPECT_EQ(clicked.count(), 1);
    QTest::mouseClick(chart.plot(), Qt::RightButton, {}, QPoint(300, 150));
    EXPECT_EQ(clicked.count(), 1);
}

TEST(Chart, AHiddenChartIsDrawnWhenShownAndRedrawsAreCoalesced) {
    QWidget window;
    window.resize(400, 300);
    auto* chart = new ui::Chart(4, &window);
    chart->resize(400, 300);
    window.show();
    QCoreApplication::processEvents();
    QSignalSpy replots(chart->plot(), &QCustomPlot::afterReplot);

    chart->hide();
    chart->setSeries(0, {120, 140, 130});
    chart->redraw();
    QCoreApplication::processEvents();
    EXPECT_EQ(replots.count(), 0) << "nothing is drawn while hidden";

    chart->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(replots.count(), 1) << "the pending drawing happens when shown";

    chart->redraw();
    chart->redraw();
    EXPECT_EQ(replots.count(), 1) << "drawn from the event loop, not at once";
    QCoreApplication::processEvents();
    EXPECT_EQ(replots.count(), 2) << "two redraws in a row draw once";
}

TEST(Render, ChartRowsAxesAndSeriesModes) {
    ui::Chart chart(4);
    renderChartRows(chart, {{131, 84, 68, 62.4f}, {125, 79, 66, 62.6f}});
    EXPECT_EQ(chart.rowCount(), 2);
    EXPECT_EQ(chart.value(1, 1), 79);
    EXPECT_FLOAT_EQ(static_cast<float>(chart.value(0, 3)), 62.4f);
    renderChartRows(chart, {{0, 0, 0, 0}});
    EXPECT_EQ(chart.rowCount(), 1);

    ui::Chart averages(3);  // three series take the first three values of a row
    renderChartRows(averages, {{135.5f, 82.5f, 53, 62}});
    EXPECT_FLOAT_EQ(static_cast<float>(averages.value(0, 2)), 53);

    applyAxis(chart, ui::Axis::Secondary, {61, 81, 10});
    EXPECT_EQ(chart.axisMinimum(ui::Axis::Secondary), 61);
    EXPECT_EQ(chart.axisMaximum(ui::Axis::Secondary), 81);

    const struct {
        int index;
        bool series[4];
        bool primary;
        bool secondary;
    } modes[] = {{0, {true, true, false, false}, true, false},
                 {1, {false, false, true, false}, false, true},
                 {2, {true, true, true, false}, true, true},
                 {3, {false, false, false, true}, false, true},
                 {4, {true, true, false, true}, true, true}};
    for (const auto& mode : modes) {
        applySeriesVisibility(chart, seriesModeFromIndex(mode.index));
        for (int s = 0; s < 4; ++s) {
            EXPECT_EQ(chart.isSeriesVisible(s), mode.series[s]) << "mode " << mode.index << " series " << s;
        }
        EXPECT_EQ(chart.isAxisVisible(ui::Axis::Primary), mode.primary) << "mode " << mode.index;
        EXPECT_EQ(chart.isAxisVisible(ui::Axis::Secondary), mode.secondary) << "mode " << mode.index;
    }
    // Hidden series keep their data.
    EXPECT_EQ(chart.value(0, 2), 0);
}
