// The main screen with the keyboard alone, through the shown window: choosing a situation, typing the values,
// saving, moving through the calendar, leaving the grid, the screen keys and where a refusal puts the focus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "core/files/measurement_log.h"
#include "main/entry_panel.h"
#include "test_app.h"
#include "ui/grid.h"
#include "ui/help_viewer.h"
#include "ui/month_calendar.h"

namespace {

/// An own diary up to 2005/02/20 (so 2005/03/01, the clock's today, appends), three situations, help tour off.
class KeyboardEntry : public ::testing::Test {
protected:
    void SetUp() override {
        app.writeFile("データ.txt",
                      "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\n"
                      "\"2005/02/20\",\"起床後\",130,85,72,\"\",62\n");
        app.writeFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt", "\"氏名\",\"花子\"\n");
        app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
        app.writeFile("状況リスト.txt", "起床後\n夕食後\n就寝前\n");
        app.start();
        ASSERT_TRUE(app.showActive());
    }

    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, k, modifiers);
    }
    void type(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    QWidget* focused() const { return QApplication::focusWidget(); }
    sora::MeasurementRecord lastRecord() {
        const auto log = sora::MeasurementLog(sora::DataDir(app.dir())).read_all();
        EXPECT_TRUE(log.ok) << log.message;
        return log.records.empty() ? sora::MeasurementRecord{} : log.records.back();
    }

    TestApp app;
};

TEST_F(KeyboardEntry, AMeasurementFromSituationToSaveWithoutTheMouse) {
    auto* list = app.find<QListWidget>("lstAct");
    list->setFocus();
    key(Qt::Key_Home);  // 起床後
    key(Qt::Key_Down);  // 夕食後
    key(Qt::Key_Return);
    // Chosen as a click chooses: the boxes hold the previous values, the steppers work, the first box has the focus.
    EXPECT_EQ(focused(), app.find<QLineEdit>("txtMaxInp"));
    EXPECT_EQ(app.find<QLineEdit>("txtMaxInp")->text(), "130");
    EXPECT_TRUE(app.find<QPushButton>("cmdUp")->isEnabled());
    for (const char* value : {"141", "91", "66", "61.5"}) {
        type(value);  // the box's text is selected on entry, so typing replaces it
        key(Qt::Key_Return);
    }
    EXPECT_EQ(focused(), app.find<QPushButton>("cmdTaiHozon"));
    key(Qt::Key_Return);
    const sora::MeasurementRecord saved = lastRecord();
    EXPECT_EQ(saved.date, "2005/03/01");
    EXPECT_EQ(saved.situation, "夕食後");
    EXPECT_EQ(saved.systolic, 141);
    EXPECT_EQ(saved.diastolic, 91);
    EXPECT_EQ(saved.pulse, 66);
    EXPECT_FLOAT_EQ(saved.weight, 61.5f);

    // Space chooses as Enter does.
    list->setFocus();
    key(Qt::Key_Home);
    key(Qt::Key_Space);
    EXPECT_EQ(focused(), app.find<QLineEdit>("txtMaxInp"));
    EXPECT_EQ(app.window().findChild<EntryPanel*>()->chosenSituation(), "起床後");
}

TEST_F(KeyboardEntry, TheHighlightedSituationIsTheOneSaved) {
    auto* list = app.find<QListWidget>("lstAct");
    const QRect first = list->visualItemRect(list->item(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
    list->setFocus();
    key(Qt::Key_Down);  // the highlight moves to 夕食後 without Enter
    app.find<QLineEdit>("txtMaxInp")->setFocus();
    app.click("cmdTaiHozon");
    EXPECT_EQ(lastRecord().situation, "夕食後");
}

TEST_F(KeyboardEntry, TheCalendarsKeysMoveTheDayPageAndTheSaveFollows) {
    auto* calendar = app.find<ui::MonthCalendar>("mtvmain");
    calendar->setFocus();
    QWidget* days = focused();
    ASSERT_NE(days, nullptr);
    key(Qt::Key_Left);
    EXPECT_EQ(app.window().state().selectedDate, "2005/02/28");
    EXPECT_EQ(calendar->selectedDateText(), "2005/02/28");
    EXPECT_EQ(focused(), days);  // the focus stays for the next key
    key(Qt::Key_Up);
    EXPECT_EQ(app.window().state().selectedDate, "2005/02/21");
    key(Qt::Key_PageUp);
    EXPECT_EQ(app.window().state().selectedDate, "2005/01/21");
    key(Qt::Key_PageDown);
    EXPECT_EQ(app.window().state().selectedDate, "2005/02/21");
    // Enter confirms the day and goes on to the situations; the save lands on the day the calendar shows.
    key(Qt::Key_Return);
    EXPECT_EQ(focused(), app.find<QListWidget>("lstAct"));
    key(Qt::Key_Space);
    app.click("cmdTaiHozon");
    const auto log = sora::MeasurementLog(sora::DataDir(app.dir())).read_all();
    ASSERT_EQ(log.records.size(), 3u);
    EXPECT_EQ(log.records[2].date, "2005/02/21");
}

TEST_F(KeyboardEntry, TabWalksTheEntryAndLeavesTheGrid) {
    app.find<QListWidget>("lstAct")->setFocus();
    std::vector<QString> walked;
    for (int i = 0; i < 9; ++i) {
        key(Qt::Key_Tab);
        walked.push_back(focused() ? focused()->objectName() : QString());
    }
    const std::vector<QString> expected = {"txtMaxInp",   "txtMinInp", "txtMyakuInp", "txtTaiInp",
                                           "cmdTaiHozon", "cmdFree",   "cmdJikan",    "msgDayList"};
    EXPECT_EQ(std::vector<QString>(walked.begin(), walked.begin() + 8), expected);
    EXPECT_NE(walked[8], "msgDayList");  // one Tab, and the grid is left
}

TEST_F(KeyboardEntry, ScreenKeysOpenTheirScreens) {
    const std::vector<std::tuple<Qt::Key, const char*>> keys = {
        {Qt::Key_2, "fraTaijyu"}, {Qt::Key_3, "fraAvgTai"}, {Qt::Key_4, "fraBunseki"}, {Qt::Key_5, "fraCale"},
        {Qt::Key_6, "fraRenTai"}, {Qt::Key_7, "fraMemo"},   {Qt::Key_8, "fraSettei"},  {Qt::Key_1, "fraMain"}};
    for (const auto& [k, frame] : keys) {
        QTest::keyClick(&app.window(), k, Qt::AltModifier);
        QWidget* shown = app.find<QWidget>(frame);
        ASSERT_NE(shown, nullptr);
        EXPECT_TRUE(shown->isVisible()) << frame;
    }
    QTest::keyClick(&app.window(), Qt::Key_F1);
    EXPECT_TRUE(app.window().helpViewer().isOpen());
}

TEST_F(KeyboardEntry, ARefusedValueKeepsTheFocusInItsBoxWithTheTextSelected) {
    app.find<QListWidget>("lstAct")->setFocus();
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    const std::vector<std::tuple<const char*, QString>> cases = {
        {"txtMinInp", "abc"}, {"txtMyakuInp", "0"}, {"txtTaiInp", "999"}, {"txtMaxInp", ""}};
    for (const auto& [name, bad] : cases) {
        auto* box = app.find<QLineEdit>(name);
        const QString good = box->text();
        box->setText(bad);
        app.click("cmdTaiHozon");
        EXPECT_EQ(focused(), box) << name;
        EXPECT_EQ(box->selectedText(), bad) << name;
        box->setText(good.isEmpty() ? "130" : good);
    }
    EXPECT_EQ(lastRecord().date, "2005/02/20");  // nothing was saved
}

}  // namespace
