#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "ui/grid.h"
#include "ui/grid_source.h"

namespace ui {

/// The rows of a Grid as plain vectors: the heading row lives in the horizontal header, data rows in the model.
/// Data rows are either held as cells or read on demand from a GridSource (the fast path for long lists); a
/// source's rows are sorted through an order and edited through a few stored cells, never copied.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using Row = std::vector<Grid::Cell>;

    explicit GridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int dataRowCount() const { return m_source ? m_source->rowCount() : static_cast<int>(m_rows.size()); }
    void setDataRowCount(int rows);
    void setColumns(int columns);

    void setAlignment(int column, Alignment alignment);
    void setHeadingAlignment(int column, Alignment alignment);
    Alignment alignment(int column) const;

    /// Grid rows: 0 is the heading.
    void setCell(int gridRow, int column, const QString* text, const QColor* background);
    /// Empty (invalid colour) outside the grid.
    QString text(int gridRow, int column) const;
    QColor background(int gridRow, int column) const;

    void replaceRows(std::vector<Row> rows);
    /// Grid rows from 1; see Grid::setCellNames.
    void setCellNames(std::function<QString(int gridRow, int column)> names) { m_cellNames = std::move(names); }
    void setSource(std::unique_ptr<GridSource> source);
    void sortRows(int column, SortKind kind, bool ascending);
    /// The row (from 0) of the given rows that data row `row` shows; rows sorted once held move for good.
    int sourceRow(int row) const { return m_order.empty() ? row : m_order[static_cast<std::size_t>(row)]; }

private:
    bool validColumn(int column) const { return column >= 0 && column < m_columns; }
    bool validDataRow(int row) const { return row >= 0 && row < dataRowCount(); }
    /// The cell of a data row (from 0); valid row and column.
    Grid::Cell dataCell(int row, int column) const;
    /// Turns the source's rows into held rows (before a change that only held rows support).
    void materialize();

    int m_columns = 0;
    Row m_heading;
    std::vector<Row> m_rows;
    std::unique_ptr<GridSource> m_source;
    std::vector<int> m_order;                           // display row → source row; empty: the same
    std::map<std::pair<int, int>, Grid::Cell> m_edits;  // (source row, column) → cell set after the source
    std::vector<Alignment> m_align;
    std::vector<Alignment> m_headingAlign;
    std::function<QString(int, int)> m_cellNames;
};

/// The number at the start of a text, read like BASIC's Val: "120abc" is 120, "" and "abc" are 0.
double leadingNumber(const QString& text);

}  // namespace ui
