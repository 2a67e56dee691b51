#pragma once

#include <QColor>
#include <QString>

namespace ui {

/// Rows that a Grid shows without copying them: the grid asks only for the cells it draws, so a list of
/// 100,000 rows costs no more to show than the rows on screen. Data rows from 0 (the heading is not here).
class GridSource {
public:
    virtual ~GridSource() = default;
    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;
    virtual QString text(int row, int column) const = 0;
    /// Invalid: no fill.
    virtual QColor background(int row, int column) const = 0;
};

}  // namespace ui
