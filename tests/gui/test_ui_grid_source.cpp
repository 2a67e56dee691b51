// A grid over a GridSource behaves as a grid over held rows (the same cells after every operation), and reads
// only the cells it draws; the grid draws its cells exactly as the style's own item drawing would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QImage>
#include <QStyledItemDelegate>
#include <memory>
#include <typeinfo>
#include <vector>

#include "qt_app.h"
#include "ui/grid.h"
#include "ui/grid_source.h"

namespace {

using Rows = std::vector<std::vector<ui::Grid::Cell>>;

/// Held rows behind the source interface; counts the cells asked for.
class CountingSource : public ui::GridSource {
public:
    explicit CountingSource(Rows rows, int* reads) : m_rows(std::move(rows)), m_reads(reads) {}
    int rowCount() const override { return static_cast<int>(m_rows.size()); }
    int columnCount() const override {
        std::size_t widest = 0;
        for (const auto& row : m_rows) {
            widest = std::max(widest, row.size());
        }
        return static_cast<int>(widest);
    }
    QString text(int row, int column) const override {
        ++*m_reads;
        const auto& cells = m_rows[static_cast<std::size_t>(row)];
        return column < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column)].text : QString();
    }
    QColor background(int row, int column) const override {
        const auto& cells = m_rows[static_cast<std::size_t>(row)];
        return column < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column)].background : QColor();
    }

private:
    Rows m_rows;
    int* m_reads;
};

// Keys with repeats (so stable order shows), numbers with text after them, a coloured column, short rows.
Rows sampleRows() {
    const char* keys[] = {"b", "a", "B", "c", "a", "", "b", "a"};
    const char* numbers[] = {"120", "99abc", "", "120", "-5", "1e2", "99", "120"};
    Rows rows;
    for (int i = 0; i < 8; ++i) {
        std::vector<ui::Grid::Cell> row{{QString::number(i), QColor()},
                                        {QString::fromLatin1(keys[i]), QColor(i * 30, 0, 0)},
                                        {QString::fromLatin1(numbers[i]), QColor()}};
        if (i % 3 == 0) {
            row.push_back({QStringLiteral("日記%1").arg(i), QColor(0, 0, i * 30)});
        }
        rows.push_back(row);
    }
    return rows;
}

void expectSameCells(const ui::Grid& held, const ui::Grid& sourced, const char* step) {
    ASSERT_EQ(held.rowCount(), sourced.rowCount()) << step;
    ASSERT_EQ(held.columnCount(), sourced.columnCount()) << step;
    for (int r = 0; r <= held.rowCount(); ++r) {  // one past the end: both empty
        for (int c = -1; c <= held.columnCount(); ++c) {
            EXPECT_EQ(held.text(r, c), sourced.text(r, c)) << step << " row " << r << " column " << c;
            EXPECT_EQ(held.background(r, c), sourced.background(r, c)) << step << " row " << r << " column " << c;
            if (r >= 1 && r < held.rowCount() && c >= 0 && c < held.columnCount()) {
                const QModelIndex a = held.model()->index(r - 1, c), b = sourced.model()->index(r - 1, c);
                EXPECT_EQ(held.model()->data(a, Qt::DisplayRole), sourced.model()->data(b, Qt::DisplayRole)) << step;
                EXPECT_EQ(held.model()->data(a, Qt::BackgroundRole), sourced.model()->data(b, Qt::BackgroundRole))
                    << step;
            }
        }
    }
}

TEST(GridSource, BehavesAsHeldRowsThroughSortsEditsAndResizes) {
    int reads = 0;
    ui::Grid held, sourced;
    for (ui::Grid* grid : {&held, &sourced}) {
        grid->setColumnCount(3);
        grid->setText(0, 0, QStringLiteral("回"));
    }
    held.setDataRows(sampleRows());
    sourced.setDataSource(std::make_unique<CountingSource>(sampleRows(), &reads));
    expectSameCells(held, sourced, "filled");
    EXPECT_EQ(sourced.columnCount(), 4);  // the widest row widens the grid

    struct Step {
        const char* name;
        void (*apply)(ui::Grid&);
    };
    const Step steps[] = {
        {"text sort up", [](ui::Grid& g) { g.sortRows(1, ui::SortKind::Text, true); }},
        {"numeric sort down", [](ui::Grid& g) { g.sortRows(2, ui::SortKind::Numeric, false); }},
        {"edit a sorted row", [](ui::Grid& g) { g.setText(3, 1, QStringLiteral("書き換え")); }},
        {"colour a sorted row", [](ui::Grid& g) { g.setBackground(5, 2, QColor(1, 2, 3)); }},
        {"the edit moves with its row", [](ui::Grid& g) { g.sortRows(0, ui::SortKind::Numeric, true); }},
        {"text sort down", [](ui::Grid& g) { g.sortRows(3, ui::SortKind::Text, false); }},
        {"heading edit", [](ui::Grid& g) { g.setText(0, 2, QStringLiteral("最高")); }},
        {"grow", [](ui::Grid& g) { g.setRowCount(12); }},
        {"edit a new row", [](ui::Grid& g) { g.setText(11, 0, QStringLiteral("新")); }},
        {"shrink", [](ui::Grid& g) { g.setRowCount(5); }},
        {"sort after shrinking", [](ui::Grid& g) { g.sortRows(1, ui::SortKind::Text, true); }},
        {"headings only", [](ui::Grid& g) { g.setRowCount(1); }},
    };
    for (const Step& step : steps) {
        step.apply(held);
        step.apply(sourced);
        expectSameCells(held, sourced, step.name);
    }
    EXPECT_EQ(held.text(0, 0), QStringLiteral("回"));
}

TEST(GridSource, OnlyTheDrawnCellsAreRead) {
    int reads = 0;
    Rows rows(100000, std::vector<ui::Grid::Cell>(5, {QStringLiteral("120"), QColor()}));
    ui::Grid grid;
    grid.setColumnCount(5);
    grid.resize(600, 400);
    grid.show();
    grid.setDataSource(std::make_unique<CountingSource>(std::move(rows), &reads));
    grid.setTopRow(50000);
    QApplication::processEvents();
    grid.repaint();
    EXPECT_EQ(grid.rowCount(), 100001);
    EXPECT_EQ(grid.topRow(), 50000);
    EXPECT_GT(reads, 0);     // the visible rows were drawn from the source
    EXPECT_LT(reads, 5000);  // and nothing like all 500,000 cells
    grid.setText(100000, 4, QStringLiteral("999"));
    EXPECT_EQ(grid.text(100000, 4), QStringLiteral("999"));
    EXPECT_EQ(grid.text(99999, 4), QStringLiteral("120"));
}

// Colours, empty cells, the three alignments, a text too long for its column (elided), a selected and a current
// cell: the grid's own cell drawing against the style's, pixel for pixel.
TEST(GridDrawing, CellsLookAsTheStyleDrawsThem) {
    ui::Grid grid;
    grid.setColumnCount(4);
    for (int c = 0; c < 4; ++c) {
        grid.setColumnWidthTwips(c, 900);
        grid.setText(0, c, QStringLiteral("列%1").arg(c));
    }
    grid.setColumnAlignment(0, ui::Alignment::Right);
    grid.setColumnAlignment(1, ui::Alignment::Centre);
    grid.setColumnAlignment(2, ui::Alignment::Left);
    Rows rows;
    for (int r = 0; r < 40; ++r) {
        rows.push_back(
            {{QString::number(r * 37), QColor()},
             {r % 3 ? QStringLiteral("起床後") : QString(), QColor(255, 192, 192)},
             {QStringLiteral("散歩30分、気分爽快で長い一言日記の文"), r % 2 ? QColor(192, 255, 192) : QColor()},
             {QString(), QColor(r * 5, 100, 200)}});
    }
    grid.setDataRows(rows);
    grid.resize(420, 300);
    grid.show();
    grid.setCurrentIndex(grid.model()->index(3, 2));
    QAbstractItemDelegate* ownDelegate = grid.itemDelegate();
    ASSERT_NE(ownDelegate, nullptr);
    EXPECT_NE(typeid(*ownDelegate), typeid(QStyledItemDelegate));  // the grid draws its cells itself

    // The toolkit's default font and the program's Japanese one where installed, on the same grid (texts laid out
    // for one font are not drawn in another), each scrolled twice (texts laid out before are drawn again).
    std::vector<QFont> fonts{QApplication::font()};
    if (QFontDatabase::hasFamily("Noto Sans CJK JP")) {
        fonts.emplace_back("Noto Sans CJK JP", 10);
    }
    QStyledItemDelegate styleDrawn;
    for (const QFont& font : fonts) {
        grid.setFont(font);
        for (const int top : {1, 9, 1}) {
            grid.setTopRow(top);
            QApplication::processEvents();
            const QImage own = grid.grab().toImage();
            grid.setItemDelegate(&styleDrawn);
            QApplication::processEvents();
            const QImage byStyle = grid.grab().toImage();
            grid.setItemDelegate(ownDelegate);
            ASSERT_EQ(own.size(), byStyle.size());
            EXPECT_TRUE(own == byStyle) << font.family().toStdString() << ", top row " << top;
        }
    }
}

}  // namespace
