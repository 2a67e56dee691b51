#pragma once

#include <QColor>
#include <QString>
#include <string>

#include "core/colour.h"
#include "core/series_mode.h"
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

/// Resets a grid to its heading row with the view's columns.
void renderGridHead(ui::Grid& grid, const std::vector<sora::GridColumn>& columns);

/// Puts chart rows into a chart's first series (as many as the rows have).
void renderChartRows(ui::Chart& chart, const std::vector<sora::ChartRow>& rows);

void applyAxis(ui::Chart& chart, ui::Axis axis, const sora::AxisRange& range);

/// Shows and hides series and axes for a mode.
void applySeriesVisibility(ui::Chart& chart, sora::SeriesMode mode);

/// The mode of an option index 0–4 (blood pressure, pulse, pulse mixed, weight, weight mixed).
sora::SeriesMode seriesModeFromIndex(int index);

/// The four trend series' kinds and colours: systolic blue line, diastolic red line, pulse yellow bars,
/// weight green line.
void styleTrendChart(ui::Chart& chart);
