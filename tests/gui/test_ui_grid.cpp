// The grid: heading row, widths in twips, alignments, stable sorts, scrolling, clicks, long lists.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "common/render.h"
#include "qt_app.h"
#include "ui/grid.h"
#include "ui/grid_model.h"
#include "ui/twips.h"

namespace {

using Rows = std::vector<std::vector<ui::Grid::Cell>>;

Qt::Alignment headingAlignment(const ui::Grid& grid, int column) {
    return grid.model()->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
}

Qt::Alignment dataAlignment(const ui::Grid& grid, int row, int column) {
    return grid.model()->data(grid.model()->index(row - 1, column), Qt::TextAlignmentRole).value<Qt::Alignment>();
}

// Rows of (key, id) with a colour per row, so that a sort shows where every row went.
Rows keyedRows(const std::vector<QString>& keys) {
    Rows rows;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const QColor colour(static_cast<int>(i * 20), 100, 200);
        rows.push_back({{keys[i], colour}, {QString::number(i), QColor()}});
    }
    return rows;
}

std::vector<int> idColumn(const ui::Grid& grid) {
    std::vector<int> ids;
    for (int row = 1; row < grid.rowCount(); ++row) {
        ids.push_back(grid.text(row, 1).toInt());
        // The colour travels with its row.
        EXPECT_EQ(grid.background(row, 0), QColor(ids.back() * 20, 100, 200)) << "row " << row;
    }
    return ids;
}

ui::Grid& shownGrid(ui::Grid& grid, int rows) {
    grid.setColumnCount(2);
    Rows data;
    for (int i = 1; i <= rows; ++i) {
        data.push_back({{QString::number(i), QColor()}, {QStringLiteral("行%1").arg(i), QColor()}});
    }
    grid.setDataRows(std::move(data));
    grid.resize(300, 200);
    grid.show();
    QCoreApplication::processEvents();
    return grid;
}

}  // namespace

TEST(Grid, RowCountOneKeepsHeadingsWidthsAndAlignments) {
    ui::Grid grid;
    grid.setColumnCount(3);
    const int widths[] = {1500, 600, 2400};
    for (int c = 0; c < 3; ++c) {
        grid.setText(0, c, QStringLiteral("見出し%1").arg(c));
        grid.setColumnWidthTwips(c, widths[c]);
    }
    grid.setColumnAlignment(0, ui::Alignment::Left);
    grid.setColumnAlignment(1, ui::Alignment::Right);
    grid.setHeadingAlignment(1, ui::Alignment::Centre);
    grid.setDataRows(keyedRows({"a", "b", "c", "d"}));
    ASSERT_EQ(grid.rowCount(), 5);
    EXPECT_EQ(grid.text(1, 0), "a");

    grid.setRowCount(1);

    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.model()->rowCount(), 0);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(grid.text(0, c), QStringLiteral("見出し%1").arg(c));
        EXPECT_EQ(grid.columnWidthTwips(c), widths[c]);
        EXPECT_EQ(grid.columnWidth(c), ui::twipsToPixels(widths[c], &grid));
    }
    EXPECT_EQ(grid.columnAlignment(0), ui::Alignment::Left);
    EXPECT_EQ(grid.columnAlignment(1), ui::Alignment::Right);
    EXPECT_TRUE(headingAlignment(grid, 1) & Qt::AlignHCenter);

    // New rows are empty and take the kept alignments.
    grid.setRowCount(3);
    EXPECT_EQ(grid.text(2, 0), "");
    EXPECT_FALSE(grid.background(2, 0).isValid());
    EXPECT_TRUE(dataAlignment(grid, 2, 1) & Qt::AlignRight);
    EXPECT_TRUE(dataAlignment(grid, 2, 0) & Qt::AlignLeft);
    EXPECT_EQ(grid.columnWidthTwips(2), 2400);
}

TEST(Grid, CellsByGridRowAndOutOfRangeAccess) {
    ui::Grid grid;
    grid.setColumnCount(2);
    grid.setRowCount(3);
    grid.setText(1, 1, QStringLiteral("↑"));
    grid.setBackground(1, 1, QColor(255, 192, 192));
    // Grid row 1 is the model's first row; the heading lives in the header.
    const QModelIndex first = grid.model()->index(0, 1);
    EXPECT_EQ(grid.model()->data(first).toString(), QStringLiteral("↑"));
    EXPECT_EQ(grid.model()->data(first, Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 192, 192));
    EXPECT_FALSE(grid.model()->data(grid.model()->index(1, 1), Qt::BackgroundRole).isValid());

    grid.setText(5, 0, "x");
    grid.setText(1, 7, "x");
    grid.setBackground(-1, 0, Qt::red);
    EXPECT_EQ(grid.text(5, 0), "");
    EXPECT_EQ(grid.text(1, 7), "");
    EXPECT_EQ(grid.rowCount(), 3);

    // A row wider than the grid widens it instead of losing cells.
    grid.setDataRows({{{"a", {}}, {"b", {}}, {"c", {}}}});
    EXPECT_EQ(grid.columnCount(), 3);
    EXPECT_EQ(grid.text(1, 2), "c");
}

TEST(Grid, LeadingNumberReadsLikeVal) {
    const struct {
        const char* text;
        double value;
    } cases[] = {{"120abc", 120}, {"", 0},         {"abc", 0},   {" 62.5kg", 62.5}, {"-3.5", -3.5},
                 {"+7", 7},       {"1 2", 12},     {"1e2", 100}, {"1e", 1},         {".5", 0.5},
                 {".", 0},        {"05/02/09", 5}, {"--1", 0},   {"1.2.3", 1.2}};
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(ui::leadingNumber(QString::fromUtf8(c.text)), c.value) << c.text;
    }
}

TEST(Grid, StableNumericSortBothWaysMovesWholeRows) {
    ui::Grid grid;
    grid.setColumnCount(2);
    //                          0         1    2     3      4    5     6
    grid.setDataRows(keyedRows({"120abc", "", "80", "120", "9", "-5", "abc"}));

    // An empty cell has no number: it goes last in both directions.
    grid.sortRows(0, ui::SortKind::Numeric, true);
    EXPECT_EQ(idColumn(grid), (std::vector<int>{5, 6, 4, 2, 0, 3, 1}));
    EXPECT_EQ(grid.text(0, 0), "");  // the heading row never moves

    grid.sortRows(0, ui::SortKind::Numeric, false);
    // Equal keys keep their present order in both directions.
    EXPECT_EQ(idColumn(grid), (std::vector<int>{0, 3, 2, 4, 6, 5, 1}));
}

TEST(Grid, LongSortsKeepTheOrderOfEqualKeys) {
    // Long enough that an unstable sort would show.
    ui::Grid grid;
    grid.setColumnCount(2);
    std::vector<QString> keys;
    for (int i = 0; i < 300; ++i) {
        keys.push_back(QString::number((i * 7) % 4));
    }
    grid.setDataRows(keyedRows(keys));
    for (const bool ascending : {true, false, true}) {
        for (const ui::SortKind kind : {ui::SortKind::Numeric, ui::SortKind::Text}) {
            grid.sortRows(0, kind, ascending);
            for (int row = 2; row < grid.rowCount(); ++row) {
                const int previous = grid.text(row - 1, 0).toInt(), key = grid.text(row, 0).toInt();
                ASSERT_TRUE(ascending ? previous <= key : previous >= key) << row;
                if (previous == key) {
                    ASSERT_LT(grid.text(row - 1, 1).toInt(), grid.text(row, 1).toInt()) << row;
                }
            }
        }
    }
}

TEST(Grid, StableTextSortIsCaseSensitiveBothWays) {
    ui::Grid grid;
    grid.setColumnCount(2);
    //                          0    1    2    3    4    5     6
    grid.setDataRows(keyedRows({"b", "B", "a", "A", "b", "10", "9"}));

    grid.sortRows(0, ui::SortKind::Text, true);
    EXPECT_EQ(idColumn(grid), (std::vector<int>{5, 6, 3, 1, 2, 0, 4}));

    grid.sortRows(0, ui::SortKind::Text, false);
    EXPECT_EQ(idColumn(grid), (std::vector<int>{0, 4, 2, 1, 3, 6, 5}));

    // Sorting by a column that does not exist changes nothing.
    grid.sortRows(9, ui::SortKind::Text, true);
    EXPECT_EQ(idColumn(grid), (std::vector<int>{0, 4, 2, 1, 3, 6, 5}));
}

TEST(Grid, HundredThousandRowsFillSortAndScroll) {
    constexpr int kRows = 100000;
    ui::Grid grid;
    grid.setColumnCount(14);
    Rows rows(kRows);
    for (int i = 0; i < kRows; ++i) {
        rows[i].resize(14);
        rows[i][0].text = QString::number(i + 1);
        rows[i][4].text = QString::number((i * 7919) % 1000);
        rows[i][4].background = (i % 2) ? QColor(255, 192, 192) : QColor(192, 255, 192);
        rows[i][9].text = QStringLiteral("日記%1").arg(i % 97);
    }
    grid.beginFill();
    grid.setDataRows(std::move(rows));
    grid.endFill();
    grid.resize(600, 400);
    grid.show();
    QCoreApplication::processEvents();
    ASSERT_EQ(grid.rowCount(), kRows + 1);

    grid.sortRows(4, ui::SortKind::Numeric, false);
    EXPECT_EQ(grid.text(1, 4), "999");
    EXPECT_EQ(grid.text(kRows, 4), "0");
    grid.sortRows(9, ui::SortKind::Text, true);
    EXPECT_EQ(grid.text(1, 9), QStringLiteral("日記0"));
    grid.sortRows(0, ui::SortKind::Numeric, true);
    EXPECT_EQ(grid.text(kRows, 0), QString::number(kRows));
    EXPECT_EQ(grid.background(2, 4), QColor(255, 192, 192));

    grid.setTopRow(50000);
    EXPECT_EQ(grid.topRow(), 50000);
    // The last row can only come as far up as a full page allows: it ends up visible at the bottom.
    grid.setTopRow(kRows);
    EXPECT_GT(grid.topRow(), kRows - 30);
    EXPECT_TRUE(grid.viewport()->rect().intersects(grid.visualRect(grid.model()->index(kRows - 1, 0))));
}

TEST(Grid, TopRowScrollsAndReportsTheFirstVisibleRow) {
    ui::Grid grid;
    shownGrid(grid, 200);
    EXPECT_EQ(grid.topRow(), 1);
    grid.setTopRow(50);
    EXPECT_EQ(grid.topRow(), 50);
    EXPECT_EQ(grid.text(grid.topRow(), 0), "50");
    grid.setTopRow(1);
    EXPECT_EQ(grid.topRow(), 1);
    grid.setTopRow(200);
    EXPECT_GT(grid.topRow(), 150);
    EXPECT_TRUE(grid.horizontalHeader()->isVisible());  // the heading row stays in view
    EXPECT_FALSE(grid.verticalHeader()->isVisible());
}

TEST(Grid, EveryHeightShowsWholeRowsAndKeepsTheLastInViewUntilTheUserScrolls) {
    ui::Grid grid;
    shownGrid(grid, 60);
    // Where the top row and the last row stand in the viewport.
    auto top = [&] { return grid.visualRect(grid.model()->index(grid.rowAt(0), 0)).top(); };
    auto lastBottom = [&] { return grid.visualRect(grid.model()->index(59, 0)).bottom(); };
    auto lastTop = [&] { return grid.visualRect(grid.model()->index(59, 0)).top(); };
    for (int height = 90; height <= 420; height += 7) {
        SCOPED_TRACE(height);
        grid.resize(300, height);
        QCoreApplication::processEvents();
        grid.setTopRow(60);
        EXPECT_EQ(top(), 0);
        EXPECT_LE(lastBottom(), grid.viewport()->height() - 1);
        // No room for a further whole row below the last one.
        EXPECT_GT(lastTop() + 2 * grid.rowHeight(0), grid.viewport()->height());
        // The user at the end of the scroll bar: whole rows too.
        grid.verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
        EXPECT_EQ(top(), 0);
        EXPECT_LE(lastBottom(), grid.viewport()->height() - 1);
        // A row in the middle is the top row exactly.
        grid.setTopRow(20);
        EXPECT_EQ(grid.topRow(), 20);
        EXPECT_EQ(top(), 0);
    }
    // Made smaller after the request, the grid brings the last row back into view.
    grid.resize(300, 400);
    grid.setTopRow(60);
    grid.resize(300, 211);
    QCoreApplication::processEvents();
    EXPECT_LE(lastBottom(), grid.viewport()->height() - 1);
    EXPECT_EQ(top(), 0);
    // Once the user has scrolled, a resize leaves the rows where the user put them.
    grid.verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    grid.resize(300, 180);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.topRow(), 1);
    // New rows end the request as well.
    grid.setTopRow(60);
    shownGrid(grid, 60);
    grid.verticalScrollBar()->setValue(0);
    grid.resize(300, 150);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.topRow(), 1);
}

TEST(Grid, ClicksReportGridRowsAndTheHeadingAsRowZero) {
    ui::Grid grid;
    shownGrid(grid, 10);
    QSignalSpy clicked(&grid, &ui::Grid::cellClicked);
    QSignalSpy doubleClicked(&grid, &ui::Grid::cellDoubleClicked);

    const QPoint cell = grid.visualRect(grid.model()->index(2, 1)).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 3);
    EXPECT_EQ(clicked.at(0).at(1).toInt(), 1);
    EXPECT_EQ(grid.currentColumnIndex(), 1);

    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell);
    ASSERT_GE(doubleClicked.count(), 1);
    EXPECT_EQ(doubleClicked.last().at(0).toInt(), 3);
    EXPECT_EQ(doubleClicked.last().at(1).toInt(), 1);

    clicked.clear();
    QHeaderView* header = grid.horizontalHeader();
    const QPoint heading(header->sectionViewportPosition(0) + header->sectionSize(0) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, heading);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 0);
    EXPECT_EQ(clicked.at(0).at(1).toInt(), 0);

    grid.setCurrentColumn(0);
    EXPECT_EQ(grid.currentColumnIndex(), 0);
    EXPECT_EQ(grid.currentIndex().column(), 0);
    EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST(Grid, FillNestsAndFontSizeSetsTheRowHeight) {
    ui::Grid grid;
    grid.beginFill();
    grid.beginFill();
    EXPECT_FALSE(grid.updatesEnabled());
    grid.endFill();
    EXPECT_FALSE(grid.updatesEnabled());
    grid.endFill();
    EXPECT_TRUE(grid.updatesEnabled());
    grid.endFill();  // unbalanced: no harm
    EXPECT_TRUE(grid.updatesEnabled());

    grid.setFontPointSize(11);
    EXPECT_EQ(grid.font().pointSize(), 11);
    const int small = grid.verticalHeader()->defaultSectionSize();
    EXPECT_GE(small, QFontMetrics(grid.font()).height());
    grid.setFontPointSize(20);
    EXPECT_GT(grid.verticalHeader()->defaultSectionSize(), small);
    EXPECT_EQ(grid.verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
}

TEST(Render, GridViewLandsInTheGrid) {
    sora::GridView view;
    view.columns = {{"回", 500, sora::Align::Right, sora::Align::Centre},
                    {"日付", 1200, sora::Align::Left, sora::Align::Left}};
    for (int i = 1; i <= 40; ++i) {
        view.rows.push_back({{std::to_string(i), std::nullopt}, {"05/02/09", sora::colours::ChangeUp}});
    }
    view.topRow = 30;
    ui::Grid grid;
    grid.resize(300, 200);
    grid.show();
    renderGrid(grid, view);

    EXPECT_EQ(grid.rowCount(), 41);
    EXPECT_EQ(grid.text(0, 0), QStringLiteral("回"));
    EXPECT_EQ(grid.columnWidthTwips(1), 1200);
    EXPECT_EQ(grid.columnWidth(1), ui::twipsToPixels(1200, &grid));  // kept through the model reset
    grid.sortRows(0, ui::SortKind::Numeric, false);
    EXPECT_EQ(grid.columnWidth(0), ui::twipsToPixels(500, &grid));
    EXPECT_EQ(grid.text(1, 0), "40");
    grid.setTopRow(30);
    EXPECT_EQ(grid.columnAlignment(1), ui::Alignment::Left);
    EXPECT_TRUE(headingAlignment(grid, 0) & Qt::AlignHCenter);
    EXPECT_EQ(grid.background(3, 1), QColor(255, 192, 192));
    EXPECT_FALSE(grid.background(3, 0).isValid());
    EXPECT_EQ(grid.topRow(), 30);
    EXPECT_TRUE(grid.updatesEnabled());

    renderGridHead(grid, view.columns);
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.columnWidthTwips(0), 500);
}
