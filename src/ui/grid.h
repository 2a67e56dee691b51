#pragma once

#include <QColor>
#include <QString>
#include <QTableView>
#include <functional>
#include <memory>
#include <vector>

#include "ui/grid_source.h"

namespace ui {

class GridModel;

enum class Alignment { Left, Centre, Right };
enum class SortKind { Numeric, Text };

/// A grid with one fixed heading row (row 0) and data rows from row 1, fast at 100,000 rows.
class Grid : public QTableView {
    Q_OBJECT
public:
    struct Cell {
        QString text;
        QColor background;  // invalid: no fill
    };

    explicit Grid(QWidget* parent = nullptr);
    ~Grid() override;

    /// Rows including the heading row; 1 leaves only the headings (widths and alignments are kept).
    void setRowCount(int rows);
    int rowCount() const;
    void setColumnCount(int columns);
    int columnCount() const;

    /// The least width of a column: a column is widened to the numbers (dates, times) of the rows in view, so that
    /// none is cut at a larger font or scale; a width the user drags stays as dragged.
    void setColumnWidthTwips(int column, int twips);
    int columnWidthTwips(int column) const;
    /// Pixels a cell needs to show `text` whole in this grid's font.
    int cellWidthFor(const QString& text) const;
    void setColumnAlignment(int column, Alignment alignment);
    void setHeadingAlignment(int column, Alignment alignment);
    Alignment columnAlignment(int column) const;

    /// Row 0 is the heading.
    void setText(int row, int column, const QString& text);
    QString text(int row, int column) const;
    void setBackground(int row, int column, const QColor& colour);
    QColor background(int row, int column) const;

    /// Replaces all data rows at once (the fast path for long lists); row i of `rows` becomes grid row i + 1.
    void setDataRows(std::vector<std::vector<Cell>> rows);
    /// Shows the source's rows as data rows without copying them; cells are read when drawn or asked for.
    void setDataSource(std::unique_ptr<GridSource> source);

    /// Makes a grid row the top visible row, as far as the rows below it fill the view: a row near the end leaves
    /// the last row wholly in view. The request holds when the grid is later resized or shown, until the user
    /// scrolls or new rows arrive.
    void setTopRow(int row);
    /// The grid row at the top of the visible part (1 when not scrolled).
    int topRow() const;

    /// Stable sort of all data rows by one column; whole rows move with their colours.
    void sortRows(int column, SortKind kind, bool ascending);

    /// Hides the grid while it is filled, so that a long list is drawn once.
    void beginFill();
    void endFill();

    void setCurrentColumn(int column);
    int currentColumnIndex() const;
    /// The grid row (from 1) of the current cell; 0 when no data row is current.
    int currentRow() const;
    /// Makes a cell of a data row current (nothing for a row or column outside the grid).
    void setCurrentCell(int row, int column);
    /// Which of the rows the grid was given (from 0: of setDataSource's source, or of setDataRows' rows while they
    /// are unsorted) grid row `row` shows; -1 for the heading or a row past the end.
    int sourceRow(int row) const;
    void setFontPointSize(int points);
    /// What a screen reader says for a cell instead of its text, where the text alone (or a colour) says too
    /// little; an empty answer leaves the cell's text. Grid rows from 1, as for text().
    void setCellNames(std::function<QString(int row, int column)> names);
    /// Typing a letter or digit jumps to the next row that starts with it (on by default); off for lists where a
    /// typed character means nothing.
    void setKeyboardSearch(bool enabled) { m_keyboardSearch = enabled; }
    void keyboardSearch(const QString& search) override;

signals:
    void cellClicked(int row, int column);
    void cellDoubleClicked(int row, int column);

protected:
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void applyColumnWidths();
    int shownWidth(int column) const;
    /// Widens columns to the widest number of the rows in view (only those: a list of every record is never
    /// measured whole); widths only grow until new rows arrive.
    void fitColumnsToContent();
    void updateRowHeight();
    void applyTopRow();
    void alignTopRow();

    GridModel* m_model;
    std::vector<int> m_widthTwips;
    std::vector<int> m_fitPixels;   // per column: the width its numbers need (0: none measured)
    std::vector<bool> m_userSized;  // per column: dragged by the user, never fitted again
    bool m_fitting = false;
    int m_currentColumn = 0;
    int m_fillDepth = 0;
    bool m_applyingWidths = false;
    int m_wantedTopRow = 0;  // 0: none pending
    bool m_applyingTopRow = false;
    bool m_keyboardSearch = true;
};

}  // namespace ui
