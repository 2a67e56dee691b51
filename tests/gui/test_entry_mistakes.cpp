// Mistakes the entry catches, through the shown window: the question about a doubtful value in the entry panel and
// the correction dialog, keys in the record lists that change nothing, and where the keyboard goes after a save.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "common/plausibility_check.h"
#include "common/record_edit_dialog.h"
#include "core/files/measurement_log.h"
#include "core/rules/plausibility.h"
#include "main/entry_panel.h"
#include "test_app.h"
#include "ui/grid.h"

namespace {

const char* const kBoxes[4] = {"txtMaxInp", "txtMinInp", "txtMyakuInp", "txtTaiInp"};
const char* const kRecordBoxes[4] = {"txtRecordSystolic", "txtRecordDiastolic", "txtRecordPulse", "txtRecordWeight"};

/// An own diary up to 2005/02/20 with two records that day; the clock's today is 2005/03/01.
class EntryMistakes : public ::testing::Test {
protected:
    void SetUp() override {
        app.writeFile("データ.txt",
                      "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\n"
                      "\"2005/02/20\",\"起床後\",130,85,72,\"\",62\n"
                      "\"2005/02/20\",\"就寝前\",125,80,68,\"\",61.5\n");
        app.writeFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt", "\"氏名\",\"花子\"\n");
        app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
        app.writeFile("状況リスト.txt", "起床後\n夕食後\n就寝前\n");
        app.start();
        ASSERT_TRUE(app.showActive());
        app.dialogs().clear();
    }
    void TearDown() override { app.closeDialogs(); }

    std::string log() const { return app.readFile("データ.txt"); }
    QWidget* focused() const { return QApplication::focusWidget(); }
    RecordEditDialog* shownCorrection() {
        for (RecordEditDialog* dialog : app.window().findChildren<RecordEditDialog*>()) {
            if (dialog->isVisible()) {
                return dialog;
            }
        }
        return nullptr;
    }
    /// A key held down as X11 delivers it, each event to whatever has the focus at that moment: the press, then
    /// after the repeat delay `repeats` pairs of a release and a press with one time between them (marked as repeats
    /// by Qt only when it happens to see both at once: `marked`), then the release.
    void holdKey(Qt::Key key, int repeats, bool marked) {
        holdKeyDown(key, repeats, marked);
        m_time += 20;
        sendKey(QEvent::KeyRelease, key, false);
    }
    void holdKeyDown(Qt::Key key, int repeats, bool marked) {
        m_time += 10000;
        sendKey(QEvent::KeyPress, key, false);
        m_time += 500;
        for (int i = 0; i < repeats; ++i) {
            m_time += 33;
            sendKey(QEvent::KeyRelease, key, marked);
            sendKey(QEvent::KeyPress, key, marked);
        }
    }
    void sendKey(QEvent::Type type, Qt::Key key, bool repeat) {
        QKeyEvent event(type, key, Qt::NoModifier, QString(), repeat);
        event.setTimestamp(m_time);
        QApplication::sendEvent(focused(), &event);
    }
    void chooseSituation(int row) {
        auto* list = app.find<QListWidget>("lstAct");
        list->setFocus();
        list->setCurrentRow(row);
        QTest::keyClick(list, Qt::Key_Return);
    }

    TestApp app;
    quint64 m_time = 0;
};

TEST_F(EntryMistakes, BothDialogsAskAboutEachDoubtfulValueAfterTheRefusalsAndNoGoesBackToItsBox) {
    struct Case {
        std::array<const char*, 4> values;
        int box;              // where the question sends the keyboard; -1: saved without a question
        const char* refusal;  // the described refusal that comes first, or nullptr
    };
    const Case cases[] = {
        {{"60", "30", "30", "20"}, -1, nullptr},         {{"260", "160", "220", "250"}, -1, nullptr},
        {{"59", "30", "70", "60"}, 0, nullptr},          {{"261", "80", "70", "60"}, 0, nullptr},
        {{"126", "29", "70", "60"}, 1, nullptr},         {{"170", "161", "70", "60"}, 1, nullptr},
        {{"126", "80", "29", "60"}, 2, nullptr},         {{"126", "80", "221", "60"}, 2, nullptr},
        {{"126", "80", "70", "19.9"}, 3, nullptr},       {{"126", "80", "70", "250.5"}, 3, nullptr},
        {{"14", "88", "70", "60"}, 0, nullptr},          {{"82", "131", "70", "60"}, 0, nullptr},
        {{"１２０", "１２０", "70", "60"}, 0, nullptr},  // full-width digits, read as the save reads them
        {{"14", "0", "70", "60"}, -1, "異常入力"},       {{"999", "88", "70", "60"}, -1, "入力制限"},
        {{"14", "88", "abc", "60"}, -1, "数値以外入力"},
    };
    app.window().showMainScreenFor(QDate(2005, 2, 20));
    auto* grid = app.find<ui::Grid>("msgDayList");
    for (const bool correction : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(correction ? "correction " : "entry ") + c.values[0] + "/" + c.values[1] + " " +
                         c.values[2] + " " + c.values[3]);
            app.dialogs().clear();
            QApplication::setActiveWindow(&app.window());
            QWidget* panel = &app.window();
            if (correction) {
                grid->setFocus();
                grid->setCurrentCell(1, 1);
                QTest::keyClick(grid, Qt::Key_F2);
                panel = shownCorrection();
                ASSERT_NE(panel, nullptr);
            } else {
                chooseSituation(1);
            }
            const char* const* names = correction ? kRecordBoxes : kBoxes;
            for (int i = 0; i < 4; ++i) {
                panel->findChild<QLineEdit*>(names[i])->setText(QString::fromUtf8(c.values[i]));
            }
            auto* save = panel->findChild<QPushButton*>(correction ? "cmdRecordSave" : "cmdTaiHozon");
            const std::string before = log();
            QTest::mouseClick(save, Qt::LeftButton);  // unanswered: the default button
            const auto& shown = app.dialogs().records();
            if (c.refusal || c.box < 0) {
                EXPECT_EQ(shown.size(), c.refusal ? 1u : 0u);
                if (c.refusal && !shown.empty()) {
                    EXPECT_EQ(shown[0].title, QString::fromUtf8(c.refusal));
                }
                EXPECT_EQ(log() != before, c.refusal == nullptr);
                if (correction && panel->isVisible()) {
                    panel->close();
                }
                continue;
            }
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].title, DoubtfulValueTitle);
            EXPECT_EQ(shown[0].buttons, ui::Buttons::YesNoDefaultNo);
            EXPECT_EQ(log(), before);
            auto* box = panel->findChild<QLineEdit*>(names[c.box]);
            EXPECT_EQ(correction ? panel->focusWidget() : focused(), box);
            EXPECT_EQ(box->text(), QString::fromUtf8(c.values[c.box]));  // kept as typed, selected to type over
            EXPECT_EQ(box->selectedText(), box->text());
            // はい saves it as typed.
            app.dialogs().queueAnswer(ui::Answer::Yes);
            QTest::mouseClick(save, Qt::LeftButton);
            EXPECT_NE(log(), before);
        }
    }
}

TEST_F(EntryMistakes, KeysInTheListsNeverChangeARecord) {
    app.window().showMainScreenFor(QDate(2005, 2, 20));
    const std::string before = log();
    auto* dayList = app.find<ui::Grid>("msgDayList");
    dayList->setFocus();
    dayList->setCurrentCell(1, 3);
    holdKey(Qt::Key_Return, 3, false);  // Enter in the day list does nothing
    EXPECT_EQ(shownCorrection(), nullptr);
    EXPECT_EQ(focused(), dayList);
    const std::tuple<const char*, const char*, Qt::Key> lists[] = {{nullptr, "msgDayList", Qt::Key_F2},
                                                                   {"cmdBunseki", "msgIchiran", Qt::Key_F2},
                                                                   {"cmdBunseki", "msgIchiran", Qt::Key_Return},
                                                                   {"cmdTaijyu", "msgBunseki", Qt::Key_Enter},
                                                                   {"cmdMemo", "msgMemoList", Qt::Key_F2}};
    for (const auto& [screen, name, key] : lists) {
        SCOPED_TRACE(std::string(name) + " " + std::to_string(key));
        if (screen) {
            app.click(screen);
        }
        auto* grid = app.find<ui::Grid>(name);
        grid->setFocus();
        // The first character of the next row's cell: a keyboard search would move the cursor there (the day
        // list's 125 below 130).
        const int column = grid == dayList ? 3 : 1;
        grid->setCurrentCell(1, column);
        QTest::keyClicks(grid, grid->text(2, column).left(1));
        EXPECT_EQ(grid->currentRow(), 1);
        // The correction opens when the key is let go, also when held as a user may hold it, and its buttons
        // never see the key.
        grid->setCurrentCell(2, 1);
        QTest::keyPress(grid, key);
        EXPECT_EQ(shownCorrection(), nullptr);
        QTest::keyRelease(grid, key);
        for (const int hold : {0, 1, 2}) {
            if (hold > 0) {
                QTest::qWait(20);  // the closed correction's window goes before the key is held
                QApplication::setActiveWindow(&app.window());
                grid->setFocus();
                ASSERT_EQ(focused(), grid);
                holdKeyDown(key, 4, hold == 1);  // repeats marked by Qt, then unmarked
                QTest::qWait(80);
                EXPECT_EQ(shownCorrection(), nullptr) << "opened while the key is down, " << hold;
                m_time += 20;
                sendKey(QEvent::KeyRelease, key, false);
                QTest::qWait(80);  // a release after a hold waits for a repeated press that does not come
            }
            ASSERT_NE(shownCorrection(), nullptr) << hold;
            shownCorrection()->close();
            QApplication::setActiveWindow(&app.window());
        }
    }
    EXPECT_EQ(log(), before);
    EXPECT_TRUE(app.dialogs().records().empty());
}

TEST_F(EntryMistakes, AfterASaveTheKeyboardIsBackOnTheSavedSituation) {
    chooseSituation(2);  // 就寝前
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(focused(), Qt::Key_Return);  // the previous values, box by box, to 保存
    }
    ASSERT_EQ(focused(), app.find<QPushButton>("cmdTaiHozon"));
    const std::string before = log();
    holdKey(Qt::Key_Return, 8, false);  // a held Enter saves once and walks no further
    auto* list = app.find<QListWidget>("lstAct");
    EXPECT_EQ(focused(), list);
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->text(), "就寝前");
    // Highlighted as the current item, not chosen: the save's refresh empties the chosen situation.
    EXPECT_FALSE(list->currentItem()->isSelected());
    EXPECT_TRUE(app.window().findChild<EntryPanel*>()->chosenSituation().isEmpty());
    const std::string added = log().substr(before.size());
    EXPECT_EQ(added, "\"2005/03/01\",\"就寝前\",125,80,68,\"\",61.5\r\n");
    // The next reading goes on from there.
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(focused(), app.find<QLineEdit>("txtMaxInp"));
}

}  // namespace
