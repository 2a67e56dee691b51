// The sorted list: opening, the scroll rule, the nine sort buttons and their lasting directions.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "test_app.h"
#include "ui/grid.h"

namespace {

std::string record(const char* date, int sys, int dia, const char* situation = "朝食後", const char* diary = "") {
    return "\"" + std::string(date) + "\",\"" + situation + "\"," + std::to_string(sys) + "," + std::to_string(dia) +
           ",70,\"" + diary + "\",62\n";
}

std::string manyRecords(int n) {
    std::string log;
    for (int i = 0; i < n; ++i) {
        log += record("2005/02/09", 110 + i % 50, 70);
    }
    return log;
}

struct ListApp {
    TestApp app;
    ui::Grid* grid = nullptr;

    explicit ListApp(const std::string& log, bool helpTour = false) {
        app.writeFile("データ.txt", log);
        app.writeFile("設定.txt", helpTour ? "\"ヘルプツアー\",1\n" : "\"ヘルプツアー\",0\n");
        app.start();
        app.dialogs().clear();
        app.click("cmdBunseki");
        grid = app.find<ui::Grid>("msgIchiran");
    }

    // The texts of one column, rows 1 to the end.
    QStringList column(int c) const {
        QStringList texts;
        for (int r = 1; r < grid->rowCount(); ++r) {
            texts.append(grid->text(r, c));
        }
        return texts;
    }
};

const std::string kFour = record("2005/02/09", 130, 80, "朝食後", "b") + record("2005/02/09", 120, 78, "昼食後", "a") +
                          record("2005/02/10", 141, 90, "運動後", "c") + record("2005/02/11", 120, 79, "夕食後", "d");

}  // namespace

TEST(SortedListScreen, OpensWithEveryRecordInFileOrder) {
    ListApp l(kFour, true);
    EXPECT_FALSE(l.app.find<QWidget>("fraBunseki")->isHidden());
    ASSERT_EQ(l.grid->rowCount(), 5);
    ASSERT_EQ(l.grid->columnCount(), 11);
    EXPECT_EQ(l.column(0), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(l.grid->text(3, 1), "2005/02/10");
    EXPECT_EQ(l.grid->text(3, 2), "運動後");
    EXPECT_EQ(l.grid->text(3, 6), "51");
    EXPECT_EQ(l.grid->text(3, 10), "軽症高血圧");
    EXPECT_EQ(l.grid->background(3, 3), QColor(255, 224, 192));
    EXPECT_EQ(l.grid->columnWidthTwips(10), 0);
    EXPECT_EQ(l.grid->columnWidthTwips(2), 2015);
    EXPECT_EQ(l.grid->text(0, 9), "一言日記");
    EXPECT_EQ(l.grid->topRow(), 1);  // five rows: nothing to scroll

    EXPECT_EQ(l.app.find<QPushButton>("cmdSort1")->text(), "回 （日付）");
    EXPECT_EQ(l.app.find<QPushButton>("cmdSort9")->text(), "体重");
    EXPECT_EQ(l.app.find<QPushButton>("cmdSort4")->toolTip(), "リックするたびに昇順/降順を切り替えます");
    ASSERT_EQ(l.app.dialogs().records().size(), 1u);
    EXPECT_EQ(l.app.dialogs().records()[0].text,
              "入力したデータを一覧表示しています。\r\n\r\n"
              "各種データ毎に「昇順」「降順」で並び替えができます。\r\n"
              "行動毎に並び替えたり、血圧が多い順に並び替えたり…など表示をかえることができます。\r\n\r\n");
}

TEST(SortedListScreen, LongListsOpenAtTheNewestRecords) {
    ListApp few(manyRecords(23));
    EXPECT_EQ(few.grid->topRow(), 1);

    // Scrolling needs a laid-out grid: this test shows its window (offscreen).
    TestApp app;
    app.writeFile("データ.txt", manyRecords(300));
    app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
    app.start().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.window()));
    app.click("cmdBunseki");
    auto* grid = app.find<ui::Grid>("msgIchiran");
    EXPECT_EQ(grid->rowCount(), 301);
    EXPECT_GT(grid->topRow(), 250);  // the newest records in view
    // The last record wholly in view, below a top row that starts at the heading.
    const QRect last = grid->visualRect(grid->model()->index(299, 0));
    EXPECT_GE(last.top(), 0);
    EXPECT_LE(last.bottom(), grid->viewport()->height() - 1);
    EXPECT_EQ(grid->visualRect(grid->model()->index(grid->rowAt(0), 0)).top(), 0);
}

TEST(SortedListScreen, SortButtonsToggleTheirOwnDirection) {
    ListApp l(kFour);
    l.app.click("cmdSort4");  // systolic, lowest first; equal keys keep file order
    EXPECT_EQ(l.column(4), (QStringList{"120", "120", "130", "141"}));
    EXPECT_EQ(l.column(0), (QStringList{"2", "4", "1", "3"}));
    EXPECT_EQ(l.grid->currentColumnIndex(), 4);
    // Whole rows move, with their colour and hidden class name.
    EXPECT_EQ(l.grid->text(4, 10), "軽症高血圧");
    EXPECT_EQ(l.grid->background(4, 3), QColor(255, 224, 192));
    EXPECT_EQ(l.grid->text(4, 9), "c");

    l.app.click("cmdSort4");
    EXPECT_EQ(l.column(4), (QStringList{"141", "130", "120", "120"}));
    l.app.click("cmdSort4");
    EXPECT_EQ(l.column(4), (QStringList{"120", "120", "130", "141"}));

    l.app.click("cmdSort5");  // another button starts ascending whatever cmdSort4 did
    EXPECT_EQ(l.column(5), (QStringList{"78", "79", "80", "90"}));
    EXPECT_EQ(l.grid->currentColumnIndex(), 5);

    l.app.click("cmdSort8");  // the diary text
    EXPECT_EQ(l.column(9), (QStringList{"a", "b", "c", "d"}));
    l.app.click("cmdSort3");  // class names in text order, not by severity
    QStringList names = l.column(10);
    QStringList sorted = names;
    sorted.sort();
    EXPECT_EQ(names, sorted);

    l.app.click("cmdSort1");  // the running numbers bring back file order
    EXPECT_EQ(l.column(0), (QStringList{"1", "2", "3", "4"}));
}

TEST(SortedListScreen, DirectionsOutliveReopeningButTheOrderDoesNot) {
    ListApp l(kFour);
    l.app.click("cmdSort4");
    l.app.click("cmdMain");
    l.app.click("cmdBunseki");
    EXPECT_EQ(l.column(0), (QStringList{"1", "2", "3", "4"}));  // rebuilt in file order
    l.app.click("cmdSort4");                                    // the second click of this button: descending
    EXPECT_EQ(l.column(4), (QStringList{"141", "130", "120", "120"}));
}

TEST(SortedListScreen, EmptyAndMissingLogsShowTheHeadingsOnly) {
    ListApp empty("");
    EXPECT_EQ(empty.grid->rowCount(), 1);
    empty.app.click("cmdSort4");
    EXPECT_EQ(empty.grid->rowCount(), 1);

    ListApp gone(kFour);
    std::filesystem::remove(gone.app.dir() / std::filesystem::u8path("データ.txt"));
    gone.app.click("cmdMain");
    gone.app.dialogs().clear();
    gone.app.click("cmdBunseki");
    EXPECT_EQ(gone.grid->rowCount(), 1);
    ASSERT_FALSE(gone.app.dialogs().records().empty());
    EXPECT_TRUE(gone.app.dialogs().records()[0].text.contains("データ.txt"));
}
