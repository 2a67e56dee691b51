#pragma once

#include <QColor>
#include <QString>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/colour.h"
#include "core/rules/measurement_record.h"
#include "core/rules/series_mode.h"
#include "core/view_model.h"
#include "ui/chart.h"
#include "ui/grid.h"

// The one place where the core's view models meet the ui widgets.

inline QString qs(const std::string& text) {
    return QString::fromStdString(text);
}
inline std::string ss(const QString& text) {
    return text.toStdString();
}
/// A message or help text from its lines, each ended by CR LF as all the program's texts are; an empty line is a
/// blank line.
QString crlfLines(std::initializer_list<const char*> lines);

inline QColor toQColor(const sora::Colour& c) {
    return QColor(c.r, c.g, c.b);
}

/// Puts a grid view (headings, widths, alignments, rows, colours, scroll) into a grid.
void renderGrid(ui::Grid& grid, const sora::GridView& view);
/// The same without copying the rows: the grid keeps them and converts only the cells it draws.
void renderGrid(ui::Grid& grid, sora::GridView&& view);

/// Grid rows of the core, shown as they are: texts and colours become Qt's only when a cell is asked for.
class GridRowsSource : public ui::GridSource {
public:
    explicit GridRowsSource(std::vector<sora::GridRow> rows);
    int rowCount() const override { return static_cast<int>(m_rows.size()); }
    int columnCount() const override { return m_columns; }
    QString text(int row, int column) const override;
    QColor background(int row, int column) const override;

private:
    std::vector<sora::GridRow> m_rows;
    int m_columns = 0;
};

/// Rows that a core row builder writes out from the records only when the grid draws or asks for a cell, so a
/// list of every record costs no more to show than the rows on screen. The records are shared with the screen.
class RecordRowsSource : public ui::GridSource {
public:
    using Records = std::vector<sora::MeasurementRecord>;
    /// The row of the record at `index` (from 0) of the records.
    using RowBuilder = std::function<sora::GridRow(std::size_t index, const sora::MeasurementRecord& record)>;

    RecordRowsSource(std::shared_ptr<const Records> records, int columns, RowBuilder build);
    int rowCount() const override { return static_cast<int>(m_records->size()); }
    int columnCount() const override { return m_columns; }
    QString text(int row, int column) const override;
    QColor background(int row, int column) const override;

private:
    std::shared_ptr<const Records> m_records;
    int m_columns;
    RowBuilder m_build;
};

/// Rows that a core row builder writes out by index only when the grid draws or asks for a cell.
class RowBuilderSource : public ui::GridSource {
public:
    using RowBuilder = std::function<sora::GridRow(std::size_t index)>;

    RowBuilderSource(int rows, int columns, RowBuilder build)
        : m_rows(rows), m_columns(columns), m_build(std::move(build)) {}
    int rowCount() const override { return m_rows; }
    int columnCount() const override { return m_columns; }
    QString text(int row, int column) const override;
    QColor background(int row, int column) const override;

private:
    int m_rows;
    int m_columns;
    RowBuilder m_build;
};

/// Puts columns, rows from a source and the scroll position into a grid.
void renderGrid(ui::Grid& grid, const std::vector<sora::GridColumn>& columns, std::unique_ptr<ui::GridSource> rows,
                std::optional<int> topRow);

/// Resets a grid to its heading row with the view's columns.
void renderGridHead(ui::Grid& grid, const std::vector<sora::GridColumn>& columns);

/// Puts chart rows into a chart's first series (as many as the rows have), and says their ranges in its
/// accessible description.
void renderChartRows(ui::Chart& chart, const std::vector<sora::ChartRow>& rows);

void applyAxis(ui::Chart& chart, ui::Axis axis, const sora::AxisRange& range);

/// Shows and hides series and axes for a mode.
void applySeriesVisibility(ui::Chart& chart, sora::SeriesMode mode);

/// The mode of an option index 0–4 (blood pressure, pulse, pulse mixed, weight, weight mixed).
sora::SeriesMode seriesModeFromIndex(int index);

/// The four trend series' kinds and colours: systolic blue line, diastolic red line, pulse yellow bars,
/// weight green line.
void styleTrendChart(ui::Chart& chart);
