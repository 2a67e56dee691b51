// Every number in the lists is drawn whole, also for unusual values, at whatever scale the program runs (CTest
// runs this program as it is and at QT_SCALE_FACTOR 1.25 and 2).
#include <gtest/gtest.h>

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionViewItem>

#include "test_app.h"
#include "ui/grid.h"

namespace {

/// A cell drawn by the grid's own delegate, as it is drawn on the screen, at the grid's pixel ratio.
QImage paintCell(ui::Grid& grid, const QModelIndex& index, const QSize& size) {
    const qreal ratio = grid.devicePixelRatioF();
    QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.initFrom(&grid);
    option.state = QStyle::State_Enabled | QStyle::State_Active;
    option.font = grid.font();
    option.rect = QRect(QPoint(0, 0), size);
    option.textElideMode = grid.textElideMode();
    option.widget = &grid;
    grid.itemDelegate()->paint(&painter, option, index);
    return image;
}

/// Each number cell of the rows in view looks the same in its column as in a cell 200 pixels wider: nothing of it
/// was cut or replaced by "…". Returns the cells checked.
int expectNumbersWhole(ui::Grid& grid, const std::string& where) {
    int checked = 0;
    const int first = std::max(0, grid.rowAt(0));
    const int lastInView = grid.rowAt(grid.viewport()->height() - 1);
    const int last = lastInView < 0 ? grid.rowCount() - 2 : lastInView;
    for (int row = first; row <= last; ++row) {
        for (int column = 0; column < grid.columnCount(); ++column) {
            const QString text = grid.text(row + 1, column);
            bool number = false;
            text.toDouble(&number);
            if (!number) {
                continue;
            }
            const QModelIndex index = grid.model()->index(row, column);
            const QSize size = grid.visualRect(index).size();  // the cell without its grid line
            const QImage cell = paintCell(grid, index, size);
            const QImage wide = paintCell(grid, index, size + QSize(200, 0));
            const ui::Alignment align = grid.columnAlignment(column);
            const int shift = align == ui::Alignment::Right ? 200 : align == ui::Alignment::Centre ? 100 : 0;
            const qreal ratio = cell.devicePixelRatio();
            const QImage sameWidth = wide.copy(qRound(shift * ratio), 0, cell.width(), cell.height());
            EXPECT_EQ(cell.convertToFormat(QImage::Format_RGB32), sameWidth.convertToFormat(QImage::Format_RGB32))
                << where << ": \"" << text.toStdString() << "\" in column " << column << " (" << size.width()
                << " px) at scale " << ratio;
            ++checked;
        }
    }
    return checked;
}

TEST(ListNumbers, EveryNumberOfEveryListIsShownWhole) {
    TestApp app;
    // Each value of the sweep in each quantity, so that the change columns get long negative and fractional
    // numbers too (-1110, -889.5 …).
    app.writeFile("データ.txt",
                  "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\n"
                  "\"2005/02/20\",\"起床後\",-110,124,100.5,\"\",1000\n"
                  "\"2005/02/20\",\"就寝前\",1000,-110,124,\"\",100.5\n"
                  "\"2005/02/20\",\"夕食後\",100.5,1000,-110,\"\",124\n"
                  "\"2005/02/20\",\"散歩\",124,100.5,1000,\"\",-110\n"
                  "\"2005/02/21\",\"起床後\",-1000.5,-999.5,998.5,\"\",-100.25\n");
    app.writeFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt", "\"氏名\",\"花子\"\n");
    app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
    app.writeFile("状況リスト.txt", "起床後\n夕食後\n就寝前\n");
    app.start();
    ASSERT_TRUE(app.showActive());
    app.window().resize(1280, 800);

    const std::vector<std::pair<const char*, const char*>> lists = {{"cmdMain", "msgDayList"},
                                                                    {"cmdTaijyu", "msgBunseki"},
                                                                    {"cmdAvgtai", "msgAvgtai"},
                                                                    {"cmdBunseki", "msgIchiran"},
                                                                    {"cmdMemo", "msgMemoList"}};
    for (const QDate& day : {QDate(2005, 2, 20), QDate(2005, 2, 21)}) {
        app.window().showMainScreenFor(day);
        for (const auto& [screen, name] : lists) {
            app.click(screen);
            auto* grid = app.find<ui::Grid>(name);
            ASSERT_NE(grid, nullptr);
            QApplication::processEvents();
            int checked = expectNumbersWhole(*grid, name);
            // Scrolled to the end: the rows that come into view are measured as they come.
            grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
            QApplication::processEvents();
            checked += expectNumbersWhole(*grid, std::string(name) + " at the end");
            EXPECT_GE(checked, 8) << name;
        }
    }
}

}  // namespace
