#include "common/render.h"

#include <algorithm>

namespace {

ui::Alignment toUi(sora::Align align) {
    switch (align) {
        case sora::Align::Left:
            return ui::Alignment::Left;
        case sora::Align::Centre:
            return ui::Alignment::Centre;
        case sora::Align::Right:
            break;
    }
    return ui::Alignment::Right;
}

}  // namespace

void renderGridHead(ui::Grid& grid, const std::vector<sora::GridColumn>& columns) {
    grid.setRowCount(1);
    grid.setColumnCount(static_cast<int>(columns.size()));
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        const sora::GridColumn& column = columns[c];
        grid.setText(0, c, qs(column.heading));
        grid.setColumnWidthTwips(c, column.widthTwips);
        grid.setColumnAlignment(c, toUi(column.align));
        grid.setHeadingAlignment(c, toUi(column.headingAlign));
    }
}

void renderGrid(ui::Grid& grid, const sora::GridView& view) {
    grid.beginFill();
    renderGridHead(grid, view.columns);
    std::vector<std::vector<ui::Grid::Cell>> rows;
    rows.reserve(view.rows.size());
    for (const sora::GridRow& source : view.rows) {
        std::vector<ui::Grid::Cell>& row = rows.emplace_back();
        row.reserve(source.size());
        for (const sora::GridCell& cell : source) {
            row.push_back({qs(cell.text), cell.background ? toQColor(*cell.background) : QColor()});
        }
    }
    grid.setDataRows(std::move(rows));
    if (view.topRow) {
        grid.setTopRow(*view.topRow);
    }
    grid.endFill();
}

void renderChartRows(ui::Chart& chart, const std::vector<sora::ChartRow>& rows) {
    const int series = std::min(chart.seriesCount(), static_cast<int>(std::tuple_size_v<sora::ChartRow>));
    chart.setRowCount(static_cast<int>(rows.size()));
    QVector<double> values(static_cast<qsizetype>(rows.size()));
    for (int s = 0; s < series; ++s) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            values[static_cast<qsizetype>(i)] = rows[i][s];
        }
        chart.setSeries(s, values);
    }
}

void applyAxis(ui::Chart& chart, ui::Axis axis, const sora::AxisRange& range) {
    chart.setAxisRange(axis, range.minimum, range.maximum, range.divisions);
}

void applySeriesVisibility(ui::Chart& chart, sora::SeriesMode mode) {
    const sora::SeriesVisibility visibility = sora::visibility_for(mode);
    const int series = std::min(chart.seriesCount(), static_cast<int>(visibility.series.size()));
    for (int s = 0; s < series; ++s) {
        chart.setSeriesVisible(s, visibility.series[s]);
    }
    chart.setAxisVisible(ui::Axis::Primary, visibility.primaryAxis);
    chart.setAxisVisible(ui::Axis::Secondary, visibility.secondaryAxis);
}

sora::SeriesMode seriesModeFromIndex(int index) {
    switch (index) {
        case 0:
            return sora::SeriesMode::BloodPressure;
        case 1:
            return sora::SeriesMode::Pulse;
        case 2:
            return sora::SeriesMode::PulseMixed;
        case 3:
            return sora::SeriesMode::Weight;
        default:
            return sora::SeriesMode::WeightMixed;  // every chart's starting mode
    }
}

void styleTrendChart(ui::Chart& chart) {
    chart.setSeriesStyle(0, ui::SeriesKind::Line, QColor(0, 0, 255), ui::Axis::Primary);
    chart.setSeriesStyle(1, ui::SeriesKind::Line, QColor(255, 0, 0), ui::Axis::Primary);
    chart.setSeriesStyle(2, ui::SeriesKind::Bar, QColor(230, 200, 0), ui::Axis::Secondary);
    chart.setSeriesStyle(3, ui::SeriesKind::Line, QColor(0, 160, 0), ui::Axis::Secondary);
}
