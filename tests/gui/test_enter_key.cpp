// Enter on a focused button presses it once in every window, also held; in the correction dialog Enter walks the
// boxes to 修正 as in the entry panel and saves only there.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <algorithm>

#include "common/record_edit_dialog.h"
#include "test_app.h"
#include "ui/grid.h"

namespace {

/// Enter as the keyboard sends it to whatever has the focus, then `repeats` held presses at the release's time.
void enter(quint64 time, int repeats = 0) {
    for (int i = 0; i <= repeats + 1 && QApplication::focusWidget(); ++i) {
        QKeyEvent event(i == 1 ? QEvent::KeyRelease : QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        event.setTimestamp(i == 0 ? time : time + 5);
        QApplication::sendEvent(QApplication::focusWidget(), &event);
    }
}

TEST(EnterKey, PressesTheFocusedButtonOnceAndWalksTheCorrectionsBoxes) {
    TestApp app;
    app.writeFile("データ.txt",
                  "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\n\"2005/02/20\",\"起床後\",130,85,72,\"\",62\n");
    app.writeFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt", "\"氏名\",\"花子\"\n");
    app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
    app.start();
    ASSERT_TRUE(app.showActive());
    const auto shown = [&app](const char* name) { return app.find<QWidget>(name)->isVisible(); };
    const struct {
        const char* screen;  // opened first, or nullptr
        const char* button;
        const char* frame;  // shown by the press, or the title of the one message it gives
        bool message;
    } cases[] = {{nullptr, "cmdCale", "fraCale", false},
                 {"cmdSettei", "cmdNew1", "fraNew", false},
                 {nullptr, "cmdStHozon", "最高血圧未入力", true}};  // the new start's register, boxes empty
    quint64 time = 1000;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        if (c.screen) {
            app.click(c.screen);
        }
        app.dialogs().clear();
        app.find<QWidget>(c.button)->setFocus(Qt::TabFocusReason);
        EXPECT_FALSE(!c.message && shown(c.frame));
        enter(time += 1000, 3);
        const auto titles = app.dialogTitles();
        EXPECT_TRUE(c.message ? std::count(titles.begin(), titles.end(), QString(c.frame)) == 1 : shown(c.frame));
    }

    app.window().showMainScreenFor(QDate(2005, 2, 20));
    auto* grid = app.find<ui::Grid>("msgDayList");
    grid->setFocus();
    grid->setCurrentCell(1, 1);
    QTest::keyClick(grid, Qt::Key_F2);
    RecordEditDialog* dialog = app.window().findChild<RecordEditDialog*>();
    ASSERT_TRUE(dialog && dialog->isVisible());
    QApplication::setActiveWindow(dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    const std::string before = app.readFile("データ.txt");
    dialog->findChild<QLineEdit*>("txtRecordSystolic")->setText("131");
    dialog->findChild<QWidget*>("dtpRecordDate")->setFocus();
    for (const char* next : {"cboRecordSituation", "txtRecordSystolic", "txtRecordDiastolic", "txtRecordPulse",
                             "txtRecordWeight", "txtRecordDiary", "cmdRecordSave"}) {
        enter(time += 1000);
        auto* box = dialog->findChild<QWidget*>(next);
        EXPECT_TRUE(box == QApplication::focusWidget() || box->isAncestorOf(QApplication::focusWidget())) << next;
        EXPECT_TRUE(dialog->isVisible() && app.readFile("データ.txt") == before) << next;
    }
    enter(time += 1000);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_NE(app.readFile("データ.txt").find("\"2005/02/20\",\"起床後\",131,85,72"), std::string::npos);
}

}  // namespace
