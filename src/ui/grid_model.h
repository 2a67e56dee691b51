#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "ui/grid.h"

namespace ui {

/// The rows of a Grid as plain vectors: the heading row lives in the horizontal header, data rows in the model.
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

    int dataRowCount() const { return static_cast<int>(m_rows.size()); }
    void setDataRowCount(int rows);
    void setColumns(int columns);

    void setAlignment(int column, Alignment alignment);
    void setHeadingAlignment(int column, Alignment alignment);
    Alignment alignment(int column) const;

    /// Grid rows: 0 is the heading.
    void setCell(int gridRow, int column, const QString* text, const QColor* background);
    const Grid::Cell* cell(int gridRow, int column) const;

    void replaceRows(std::vector<Row> rows);
    void sortRows(int column, SortKind kind, bool ascending);

private:
    bool validColumn(int column) const { return column >= 0 && column < m_columns; }

    int m_columns = 0;
    Row m_heading;
    std::vector<Row> m_rows;
    std::vector<Alignment> m_align;
    std::vector<Alignment> m_headingAlign;
};

/// The number at the start of a text, read like BASIC's Val: "120abc" is 120, "" and "abc" are 0.
double leadingNumber(const QString& text);

}  // namespace ui
