#include "common/render.h"

#include <algorithm>
#include <memory>
#include "core/views/spoken_text.h"

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

QString crlfLines(std::initializer_list<const char*> lines) {
    QString text;
    for (const char* line : lines) {
        text += QString::fromUtf8(line) + QStringLiteral("\r\n");
    }
    return text;
}

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

GridRowsSource::GridRowsSource(std::vector<sora::GridRow> rows) : m_rows(std::move(rows)) {
    for (const sora::GridRow& row : m_rows) {
        m_columns = std::max(m_columns, static_cast<int>(row.size()));
    }
}

QString GridRowsSource::text(int row, int column) const {
    const sora::GridRow& cells = m_rows[static_cast<std::size_t>(row)];
    return column < static_cast<int>(cells.size()) ? qs(cells[static_cast<std::size_t>(column)].text) : QString();
}

QColor GridRowsSource::background(int row, int column) const {
    const sora::GridRow& cells = m_rows[static_cast<std::size_t>(row)];
    if (column >= static_cast<int>(cells.size())) {
        return {};
    }
    const auto& colour = cells[static_cast<std::size_t>(column)].background;
    return colour ? toQColor(*colour) : QColor();
}

RecordRowsSource::RecordRowsSource(std::shared_ptr<const Records> records, int columns, RowBuilder build)
    : m_records(std::move(records)), m_columns(columns), m_build(std::move(build)) {}

// A row costs well under a microsecond to write out, and the grid asks only for the few dozen rows it draws
// (a sort asks for each row once), so rows are not kept.
QString RecordRowsSource::text(int row, int column) const {
    const auto index = static_cast<std::size_t>(row);
    const sora::GridRow cells = m_build(index, (*m_records)[index]);
    return column < static_cast<int>(cells.size()) ? qs(cells[static_cast<std::size_t>(column)].text) : QString();
}

QColor RecordRowsSource::background(int row, int column) const {
    const auto index = static_cast<std::size_t>(row);
    const sora::GridRow cells = m_build(index, (*m_records)[index]);
    if (column >= static_cast<int>(cells.size()) || !cells[static_cast<std::size_t>(column)].background) {
        return {};
    }
    return toQColor(*cells[static_cast<std::size_t>(column)].background);
}

QString RowBuilderSource::text(int row, int column) const {
    const sora::GridRow cells = m_build(static_cast<std::size_t>(row));
    return column < static_cast<int>(cells.size()) ? qs(cells[static_cast<std::size_t>(column)].text) : QString();
}

QColor RowBuilderSource::background(int row, int column) const {
    const sora::GridRow cells = m_build(static_cast<std::size_t>(row));
    if (column >= static_cast<int>(cells.size()) || !cells[static_cast<std::size_t>(column)].background) {
        return {};
    }
    return toQColor(*cells[static_cast<std::size_t>(column)].background);
}

void renderGrid(ui::Grid& grid, const sora::GridView& view) {
    renderGrid(grid, sora::GridView(view));
}

void renderGrid(ui::Grid& grid, sora::GridView&& view) {
    renderGrid(grid, view.columns, std::make_unique<GridRowsSource>(std::move(view.rows)), view.topRow);
}

void renderGrid(ui::Grid& grid, const std::vector<sora::GridColumn>& columns, std::unique_ptr<ui::GridSource> rows,
                std::optional<int> topRow) {
    grid.beginFill();
    renderGridHead(grid, columns);
    grid.setDataSource(std::move(rows));
    if (topRow) {
        grid.setTopRow(*topRow);
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
    sora::PressureSummary summary;
    for (const sora::ChartRow& row : rows) {
        summary.add(row[0], row[1]);
    }
    chart.setAccessibleDescription(qs(summary.text()));
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
