// The classification calendar: opening, the two colouring modes, the counts and the jump to a day.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "test_app.h"
#include "ui/grid.h"

namespace {

std::string record(const char* date, int sys, int dia) {
    return "\"" + std::string(date) + "\",\"朝食後\"," + std::to_string(sys) + "," + std::to_string(dia) +
           ",70,\"\",62\n";
}

// January: 3 normal-range days; February: 2 hypertension days (the 2nd one's later record is normal).
const std::string kLog = record("2005/01/30", 118, 76) + record("2005/01/30", 165, 95) + record("2005/01/31", 135, 80) +
                         record("2005/02/02", 165, 95) + record("2005/02/02", 118, 76) + record("2005/02/09", 145, 85) +
                         record("2005/02/28", 125, 80);

const QColor kHighlight(255, 224, 192);

struct CalendarApp {
    TestApp app;
    ui::Grid* grid = nullptr;

    explicit CalendarApp(const std::string& log, bool helpTour = false) {
        app.writeFile("データ.txt", log);
        app.writeFile("設定.txt", helpTour ? "\"ヘルプツアー\",1\n" : "\"ヘルプツアー\",0\n");
        app.start();
        app.dialogs().clear();
        app.click("cmdCale");
        grid = app.find<ui::Grid>("msgList2");
    }

    QString label(const char* name) const { return app.find<QLabel>(name)->text(); }
    bool faceShown(const char* name) const { return !app.find<QLabel>(name)->isHidden(); }
    QColor buttonColour(const char* name) const {
        return app.find<QPushButton>(name)->palette().color(QPalette::Button);
    }
};

}  // namespace

TEST(CalendarScreen, OpensDetailedWithMonthRowsCountsAndFace) {
    CalendarApp c(kLog, true);
    EXPECT_FALSE(c.app.find<QWidget>("fraCale")->isHidden());
    ASSERT_EQ(c.grid->columnCount(), 32);
    ASSERT_EQ(c.grid->rowCount(), 3);
    EXPECT_EQ(c.grid->text(0, 0), "年月");
    EXPECT_EQ(c.grid->text(0, 31), "31");
    EXPECT_EQ(c.grid->text(1, 0), "2005年01月");
    EXPECT_EQ(c.grid->text(2, 0), "2005年02月");
    EXPECT_EQ(c.grid->background(1, 30), QColor(192, 255, 255));  // the day's first record only
    EXPECT_EQ(c.grid->background(1, 31), QColor(255, 255, 192));
    EXPECT_EQ(c.grid->background(2, 2), QColor(255, 192, 255));
    EXPECT_EQ(c.grid->background(2, 9), QColor(192, 192, 255));
    EXPECT_FALSE(c.grid->background(2, 3).isValid());
    EXPECT_EQ(c.grid->columnWidthTwips(0), 1310);
    EXPECT_EQ(c.grid->columnWidthTwips(5), 310);

    EXPECT_EQ(c.label("lblHan1"), "至摘 1");
    EXPECT_EQ(c.label("lblHan2"), "正常 1");
    EXPECT_EQ(c.label("lblHan3"), "正常高 1");
    EXPECT_EQ(c.label("lblHan5"), "中等高 1");
    EXPECT_EQ(c.label("lblHan7"), "収縮期高 1");
    // The start day 2005/01/30 to today 2005/03/01 is 30 days; 5 measured: 30 − 5 + 1.
    EXPECT_EQ(c.label("lblNon_c"), "未計測 26");
    EXPECT_EQ(c.label("lblGenT"), "3日");
    EXPECT_EQ(c.label("lblZouT"), "2日");
    EXPECT_EQ(c.label("lblHugou"), ">");
    EXPECT_TRUE(c.faceShown("imgWara2"));
    EXPECT_FALSE(c.faceShown("imgNiko2"));
    EXPECT_FALSE(c.faceShown("imgKana2"));

    EXPECT_EQ(c.buttonColour("cmdSel10"), kHighlight);
    EXPECT_NE(c.buttonColour("cmdSel11"), kHighlight);
    EXPECT_EQ(c.app.find<QPushButton>("cmdSel10")->text(), "詳細表示");
    EXPECT_EQ(c.app.find<QPushButton>("cmdSel11")->text(), "簡易表示");
    ASSERT_EQ(c.app.dialogs().records().size(), 1u);
    EXPECT_TRUE(c.app.dialogs().records()[0].text.startsWith("日毎の血圧判定を色で把握できるカレンダーです。\r\n\r\n"));
}

TEST(CalendarScreen, SimpleModeAndBackToDetailedOnReopening) {
    CalendarApp c(kLog, true);
    c.app.dialogs().clear();
    c.app.click("cmdSel11");
    EXPECT_FALSE(c.app.find<QWidget>("fraCale")->isHidden());
    EXPECT_EQ(c.buttonColour("cmdSel11"), kHighlight);
    EXPECT_NE(c.buttonColour("cmdSel10"), kHighlight);
    EXPECT_EQ(c.grid->background(1, 30), QColor(192, 255, 192));
    EXPECT_EQ(c.grid->background(1, 31), QColor(192, 255, 192));
    EXPECT_EQ(c.grid->background(2, 2), QColor(255, 128, 128));
    EXPECT_EQ(c.grid->background(2, 9), QColor(255, 128, 128));
    EXPECT_EQ(c.grid->rowCount(), 3);  // rebuilt, not appended to
    EXPECT_EQ(c.label("lblHan1"), "至摘 1");
    EXPECT_EQ(c.label("lblHan3"), "正常高 1");
    EXPECT_TRUE(c.app.dialogs().records().empty());  // switching shows no help

    c.app.click("cmdSel10");
    EXPECT_EQ(c.grid->background(1, 31), QColor(255, 255, 192));

    c.app.click("cmdSel11");
    c.app.click("cmdMain");
    c.app.click("cmdCale");
    EXPECT_EQ(c.buttonColour("cmdSel10"), kHighlight);
    EXPECT_EQ(c.grid->background(1, 30), QColor(192, 255, 255));
}

TEST(CalendarScreen, DoubleClickJumpsToTheMainScreenForThatDay) {
    CalendarApp c(kLog);
    // Clicking a cell needs a laid-out grid: this test shows its window (offscreen).
    c.app.window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&c.app.window()));
    const auto doubleClick = [&](int row, int column) {
        const QModelIndex index = c.grid->model()->index(row - 1, column);
        const QRect cell = c.grid->visualRect(index);
        // A real double-click starts with a click; the view reacts to the second press only after the first.
        QTest::mouseClick(c.grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(c.grid->viewport(), Qt::LeftButton, {}, cell.center());
    };

    doubleClick(2, 0);  // the month column
    EXPECT_FALSE(c.app.find<QWidget>("fraCale")->isHidden());
    doubleClick(2, 30);  // February has no 30th
    EXPECT_FALSE(c.app.find<QWidget>("fraCale")->isHidden());

    doubleClick(2, 5);  // no measurement that day, still a day
    EXPECT_TRUE(c.app.find<QWidget>("fraCale")->isHidden());
    EXPECT_FALSE(c.app.find<QWidget>("fraMain")->isHidden());
    EXPECT_EQ(c.app.window().state().selectedDate, "2005/02/05");

    c.app.click("cmdCale");
    doubleClick(1, 31);
    EXPECT_EQ(c.app.window().state().selectedDate, "2005/01/31");
}

TEST(CalendarScreen, FacesFollowTheSignAndOddLogsDoNotFail) {
    CalendarApp even(record("2005/02/01", 118, 76) + record("2005/02/02", 150, 95));
    EXPECT_EQ(even.label("lblHugou"), "=");
    EXPECT_TRUE(even.faceShown("imgNiko2"));
    EXPECT_FALSE(even.faceShown("imgWara2"));

    CalendarApp worse(record("2005/02/01", 118, 76) + record("2005/02/02", 150, 95) + record("2005/02/03", 150, 95));
    EXPECT_EQ(worse.label("lblHugou"), "<");
    EXPECT_TRUE(worse.faceShown("imgKana2"));

    // Out of date order: February comes back after March in a row of its own.
    CalendarApp odd(record("2005/02/01", 118, 76) + record("2005/03/01", 150, 95) + record("2005/02/03", 150, 95));
    ASSERT_EQ(odd.grid->rowCount(), 4);
    EXPECT_EQ(odd.grid->text(3, 0), "2005年02月");

    CalendarApp empty("");
    EXPECT_EQ(empty.grid->rowCount(), 1);
    EXPECT_EQ(empty.label("lblHan1"), "至摘 0");
}
