// Enter on a focused button presses it in every window, a held Enter presses it once, and Enter in the correction
// dialog walks its boxes to 修正 as in the entry panel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <functional>

#include "common/record_edit_dialog.h"
#include "test_app.h"
#include "ui/grid.h"

namespace {

class EnterKey : public ::testing::Test {
protected:
    void SetUp() override {
        app.writeFile("データ.txt",
                      "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\n"
                      "\"2005/02/20\",\"起床後\",130,85,72,\"\",62\n");
        app.writeFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt", "\"氏名\",\"花子\"\n");
        app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
        app.start();
        ASSERT_TRUE(app.showActive());
        app.dialogs().clear();
    }
    void TearDown() override { app.closeDialogs(); }

    /// Enter as the keyboard sends it to whatever has the focus; `time` equal to the last release's marks a repeat.
    void enter(quint64 time) {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, Qt::Key_Return, Qt::NoModifier);
            event.setTimestamp(type == QEvent::KeyPress ? time : time + 5);
            if (QWidget* focus = QApplication::focusWidget()) {  // none once the press closed the dialog
                QApplication::sendEvent(focus, &event);
            }
        }
    }
    RecordEditDialog* shownCorrection() {
        for (RecordEditDialog* dialog : app.window().findChildren<RecordEditDialog*>()) {
            if (dialog->isVisible()) {
                return dialog;
            }
        }
        return nullptr;
    }

    TestApp app;
};

TEST_F(EnterKey, EnterOnAFocusedButtonPressesItOnceEverywhere) {
    struct Case {
        const char* screen;  // opened first, or nullptr
        const char* button;
        std::function<bool()> pressed;
    };
    auto shown = [this](const char* name) { return [this, name] { return app.find<QWidget>(name)->isVisible(); }; };
    auto told = [this](const char* title) {
        return [this, title] {
            const auto titles = app.dialogTitles();
            return std::count(titles.begin(), titles.end(), QString(title)) == 1;
        };
    };
    const Case cases[] = {
        {nullptr, "cmdCale", shown("fraCale")},
        {"cmdSettei", "cmdNew1", shown("fraNew")},
        // The new start's register button: with the boxes empty it names the first one, once for a held Enter.
        {nullptr, "cmdStHozon", told("最高血圧未入力")},
        {nullptr, "cmdYame", [this] { return !app.find<QWidget>("fraNew")->isVisible(); }},
        {"cmdTaijyu", "cmdMain", shown("fraMain")},
    };
    quint64 time = 1000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        if (c.screen) {
            app.click(c.screen);
        }
        app.dialogs().clear();
        auto* button = app.find<QPushButton>(c.button);
        button->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(button->hasFocus());
        EXPECT_FALSE(c.pressed());
        time += 1000;
        enter(time);
        // Held: each repeated press comes at the time of the release before it.
        for (int i = 0; i < 3 && QApplication::focusWidget() == button; ++i) {
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            repeat.setTimestamp(time + 5);
            QApplication::sendEvent(button, &repeat);
        }
        EXPECT_TRUE(c.pressed());
    }
}

TEST_F(EnterKey, EnterInTheCorrectionWalksTheBoxesAndSavesOnlyOnTheButton) {
    app.window().showMainScreenFor(QDate(2005, 2, 20));
    auto* grid = app.find<ui::Grid>("msgDayList");
    grid->setFocus();
    grid->setCurrentCell(1, 1);
    QTest::keyClick(grid, Qt::Key_F2);
    RecordEditDialog* dialog = shownCorrection();
    ASSERT_NE(dialog, nullptr);
    QApplication::setActiveWindow(dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    const std::string before = app.readFile("データ.txt");

    dialog->findChild<QDateEdit*>("dtpRecordDate")->setFocus();
    const char* const walk[] = {"cboRecordSituation", "txtRecordSystolic", "txtRecordDiastolic", "txtRecordPulse",
                                "txtRecordWeight",    "txtRecordDiary",    "cmdRecordSave"};
    quint64 time = 1000;
    for (const char* next : walk) {
        SCOPED_TRACE(next);
        if (std::string(next) == "txtRecordDiastolic") {
            dialog->findChild<QLineEdit*>("txtRecordSystolic")->setText("131");
        }
        time += 1000;
        enter(time);
        auto* widget = dialog->findChild<QWidget*>(next);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget == QApplication::focusWidget() || widget->isAncestorOf(QApplication::focusWidget()));
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(app.readFile("データ.txt"), before);
    }
    time += 1000;
    enter(time);
    EXPECT_EQ(shownCorrection(), nullptr);
    EXPECT_NE(app.readFile("データ.txt").find("\"2005/02/20\",\"起床後\",131,85,72"), std::string::npos);
}

}  // namespace
