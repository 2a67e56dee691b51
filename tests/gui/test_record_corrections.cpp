// Correcting and deleting a measurement from each list, undoing every kind of change, refusals when the log changed
// on disk, and going back to a kept copy — through the shown window, with the log's bytes checked.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <array>
#include <filesystem>
#include <functional>

#include "common/backup_restore_dialog.h"
#include "common/record_edit_dialog.h"
#include "core/files/log_backups.h"
#include "core/rules/entry_rules.h"
#include "test_app.h"
#include "ui/grid.h"

namespace {

const std::string kLog =
    "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\n"
    "\"2005/02/02\",\"起床後\",130,85,72,\"\",62\n"
    "\"2005/02/02\",\"就寝前\",128,82,70,\"\",62\n"
    "\"2005/02/20\",\"起床後\",85,140,72,\"\",62\n"
    "\"2005/02/20\",\"就寝前\",125,80,68,\"夕食は魚\",61.5\n";

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

class RecordCorrections : public ::testing::Test {
protected:
    void SetUp() override {
        app.writeFile("データ.txt", kLog);
        app.writeFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt", "\"氏名\",\"花子\"\n");
        app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
        app.writeFile("状況リスト.txt", "起床後\n夕食後\n就寝前\n");
        app.start();
        ASSERT_TRUE(app.showActive());
        app.dialogs().clear();
    }
    void TearDown() override { closeDialogs(); }

    std::vector<std::string> log() const { return linesOf(app.readFile("データ.txt")); }

    /// The grid row whose cells in `column` and `column2` read as given.
    static int rowWhere(ui::Grid* grid, int column, const QString& text, int column2, const QString& text2) {
        for (int row = 1; row < grid->rowCount(); ++row) {
            if (grid->text(row, column) == text && grid->text(row, column2) == text2) {
                return row;
            }
        }
        ADD_FAILURE() << "no row " << text.toStdString() << " / " << text2.toStdString() << " in "
                      << grid->text(1, column).toStdString() << "|" << grid->text(1, column2).toStdString();
        return 1;
    }
    static void select(ui::Grid* grid, int row) {
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row - 1, 1));
    }
    /// The shown dialog of that type, or nullptr.
    template <class Dialog>
    Dialog* shownDialog() {
        for (Dialog* dialog : app.window().template findChildren<Dialog*>()) {
            if (dialog->isVisible()) {
                return dialog;
            }
        }
        return nullptr;
    }
    void closeDialogs() { app.closeDialogs(); }
    /// Right-clicks the row and chooses the menu entry, as the user does.
    void chooseFromMenu(ui::Grid* grid, int row, const char* action) {
        const QPoint at = grid->visualRect(grid->model()->index(row - 1, 1)).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid->viewport(), &event);
        auto* menu = grid->findChild<QMenu*>("mnuRecord");
        ASSERT_TRUE(menu && menu->isVisible());
        QAction* chosen = menu->findChild<QAction*>(action);
        ASSERT_TRUE(chosen && chosen->isEnabled());
        menu->close();
        chosen->trigger();
    }
    /// Ctrl+Z with the keyboard on a screen button (a text box would take it for its own typing).
    void undoKey() {
        QApplication::setActiveWindow(&app.window());  // as the desktop does when a dialog closes
        auto* button = app.find<QPushButton>("cmdMain");
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Z, Qt::ControlModifier);
    }
    std::string shown() {
        std::string all;
        for (const auto& r : app.dialogs().records())
            all += (r.title + ": " + r.text + "\n").toStdString();
        return all;
    }
    template <class T>
    T* in(QDialog* dialog, const char* name) const {
        T* found = dialog->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    TestApp app;
};

TEST_F(RecordCorrections, EachListCorrectsOnlyThatLineAndADateMovesIt) {
    struct Case {
        const char* screen;  // the button that opens it; nullptr: the main screen on 2005/02/20
        const char* grid;
        int dateColumn, situationColumn;
        QString date, situation;  // the row to correct
        std::function<void(ui::Grid*, int)> open;
        std::function<void(QDialog*)> type;
        int line;  // of the log before, from 0
        std::string corrected;
        int lineAfter;
    };
    const auto key = [](Qt::Key k) { return [k](ui::Grid* grid, int) { QTest::keyClick(grid, k); }; };
    const auto box = [this](const char* name, const QString& text) {
        return [this, name, text](QDialog* dialog) { in<QLineEdit>(dialog, name)->setText(text); };
    };
    const Case cases[] = {
        // The swapped values, typed with full-width digits as an input method gives them.
        {nullptr, "msgDayList", -1, 1, "", "起床後", key(Qt::Key_F2),
         [&](QDialog* d) {
             box("txtRecordSystolic", "１４０")(d);
             box("txtRecordDiastolic", "８５")(d);
         },
         3, "\"2005/02/20\",\"起床後\",140,85,72,\"\",62", 3},
        {"cmdBunseki", "msgIchiran", 1, 2, "2005/02/02", "就寝前", key(Qt::Key_Return),
         [&](QDialog* d) { in<QComboBox>(d, "cboRecordSituation")->setCurrentText("夕食後"); }, 2,
         "\"2005/02/02\",\"夕食後\",128,82,70,\"\",62", 2},
        {"cmdTaijyu", "msgBunseki", 1, 3, "05/02/20", "就寝前",
         [](ui::Grid* grid, int row) {
             const QPoint at = grid->visualRect(grid->model()->index(row - 1, 1)).center();
             // A user's double-click: the second press arrives as a press and a double-click.
             QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
             QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, at);
             QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
             QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, at);
         },
         box("txtRecordDiary", "夕食は魚、散歩"), 4, "\"2005/02/20\",\"就寝前\",125,80,68,\"夕食は魚、散歩\",61.5", 4},
        // A new date goes after the records already on it.
        {"cmdMemo", "msgMemoList", 1, 2, "2005/02/02", "起床後",
         [this](ui::Grid* grid, int row) { chooseFromMenu(grid, row, "mnuRecordEdit"); },
         [&](QDialog* d) { in<QDateEdit>(d, "dtpRecordDate")->setDate(QDate(2005, 2, 20)); }, 1,
         "\"2005/02/20\",\"起床後\",130,85,72,\"\",62", 4},
    };
    app.window().showMainScreenFor(QDate(2005, 2, 20));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.grid);
        if (c.screen) {
            app.click(c.screen);
        }
        if (std::string(c.grid) == "msgIchiran") {
            app.click("cmdSort4");  // sorted: the rows no longer stand in log order
        }
        auto* grid = app.find<ui::Grid>(c.grid);
        const int row = c.dateColumn < 0 ? 1 : rowWhere(grid, c.dateColumn, c.date, c.situationColumn, c.situation);
        select(grid, row);
        c.open(grid, row);
        auto* dialog = shownDialog<RecordEditDialog>();
        ASSERT_NE(dialog, nullptr);
        c.type(dialog);
        std::vector<std::string> expected = log();
        expected.erase(expected.begin() + c.line);
        expected.insert(expected.begin() + c.lineAfter, c.corrected);
        QTest::mouseClick(in<QPushButton>(dialog, "cmdRecordSave"), Qt::LeftButton);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(log(), expected);
        // The list shows the log as it is now, the cursor where it was.
        EXPECT_EQ(grid->currentRow(), row);
        const QStringList fields = QString::fromStdString(c.corrected).remove('"').split(',');
        if (c.dateColumn >= 0) {
            const QString date = c.date.size() == 8 ? fields[0].mid(2) : fields[0];  // the filtered view's "yy/mm/dd"
            EXPECT_GT(rowWhere(grid, c.dateColumn, date, c.situationColumn, fields[1]), 0);
        } else {
            EXPECT_EQ(grid->text(1, 3), "140");
        }
        closeDialogs();
    }
    EXPECT_TRUE(app.dialogs().records().empty()) << app.dialogs().records().front().text.toStdString();
}

TEST_F(RecordCorrections, ARefusalKeepsTheDialogOnTheBoxWithTheEntryPanelsMessage) {
    app.click("cmdBunseki");
    auto* grid = app.find<ui::Grid>("msgIchiran");
    select(grid, 2);
    QTest::keyClick(grid, Qt::Key_F2);
    auto* dialog = shownDialog<RecordEditDialog>();
    ASSERT_NE(dialog, nullptr);
    auto* pulse = in<QLineEdit>(dialog, "txtRecordPulse");
    pulse->setText("abc");
    QTest::mouseClick(in<QPushButton>(dialog, "cmdRecordSave"), Qt::LeftButton);
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    // The entry panel's message for the same boxes.
    const auto entryRefusal = sora::check_entry(false, "起床後", {"130", "85", "abc", "62"});
    ASSERT_TRUE(entryRefusal.has_value());
    EXPECT_EQ(app.dialogs().records()[0].title.toStdString(), entryRefusal->title);
    EXPECT_EQ(app.dialogs().records()[0].text.toStdString(), entryRefusal->text);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->focusWidget(), pulse);
    EXPECT_EQ(log()[1], "\"2005/02/02\",\"起床後\",130,85,72,\"\",62");
}

TEST_F(RecordCorrections, ADiaryTextNotSavedYetStaysWithItsRecordThroughACorrection) {
    app.click("cmdMemo");
    auto* grid = app.find<ui::Grid>("msgMemoList");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(4, 9)).center());
    app.find<QLineEdit>("txtMemo")->setText("夕食は魚、よく眠れた");  // typed for 2005/02/20 就寝前, not saved
    select(grid, 3);                                                  // 2005/02/02 就寝前 moves behind it
    QTest::keyClick(grid, Qt::Key_F2);
    in<QDateEdit>(shownDialog<RecordEditDialog>(), "dtpRecordDate")->setDate(QDate(2005, 2, 21));
    QTest::mouseClick(in<QPushButton>(shownDialog<RecordEditDialog>(), "cmdRecordSave"), Qt::LeftButton);
    EXPECT_EQ(app.find<QLineEdit>("txtMemo")->text(), "夕食は魚、よく眠れた");
    app.click("cmdMemoHozon");
    EXPECT_EQ(log()[3], "\"2005/02/20\",\"就寝前\",125,80,68,\"夕食は魚、よく眠れた\",61.5");
    EXPECT_EQ(log()[4], "\"2005/02/21\",\"就寝前\",128,82,70,\"\",62");
}

TEST_F(RecordCorrections, DeleteAsksWithTheRecordInFullAndCancelIsTheDefault) {
    app.click("cmdBunseki");
    auto* grid = app.find<ui::Grid>("msgIchiran");
    select(grid, 4);
    const std::vector<std::string> before = log();

    QTest::keyClick(grid, Qt::Key_Delete);  // unanswered: the default button
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    const auto& question = app.dialogs().records()[0];
    EXPECT_EQ(question.buttons, ui::Buttons::OkCancelDefaultCancel);
    EXPECT_EQ(question.text.toStdString(),
              "次の記録を削除しますか？\r\n\r\n2005/02/20　起床後\r\n最高血圧 85　最低血圧 140　脈拍 72　体重 62");
    EXPECT_EQ(log(), before);

    app.dialogs().queueAnswer(ui::Answer::Ok);
    chooseFromMenu(grid, 4, "mnuRecordDelete");
    std::vector<std::string> expected = before;
    expected.erase(expected.begin() + 3);
    EXPECT_EQ(log(), expected);
    EXPECT_EQ(grid->rowCount(), 5);  // the list follows

    // The start record cannot go while it is the only one.
    app.writeFile("データ.txt", "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\n");
    app.click("cmdMain");
    app.click("cmdBunseki");
    select(grid, 1);
    app.dialogs().clear();
    QTest::keyClick(grid, Qt::Key_Delete);
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_EQ(app.dialogs().records()[0].text.toStdString(), sora::only_record_message());
    EXPECT_EQ(log().size(), 1u);
}

TEST_F(RecordCorrections, UndoTakesBackEveryKindOfChangeToTheSameBytes) {
    sora::BackupClockOverride clockInForce(app.clock());
    // The log, the situation list and the morning/evening choices before each change.
    std::vector<std::array<std::string, 3>> states;
    const auto keep = [&] {
        states.push_back({app.readBytes("データ.txt"), app.readBytes("状況リスト.txt"), app.readBytes("朝晩設定.txt")});
    };

    app.writeFile("朝晩設定.txt", "\"年齢区分\",\"75歳未満\"\n\"起床後\",\"朝\"\n");
    keep();  // a save from the entry panel, for today
    auto* entryList = app.find<QListWidget>("lstAct");
    QTest::mouseClick(entryList->viewport(), Qt::LeftButton, {},
                      entryList->visualItemRect(entryList->item(0)).center());
    app.click("cmdTaiHozon");
    keep();  // a correction
    app.click("cmdBunseki");
    auto* sorted = app.find<ui::Grid>("msgIchiran");
    select(sorted, 4);
    QTest::keyClick(sorted, Qt::Key_F2);
    in<QLineEdit>(shownDialog<RecordEditDialog>(), "txtRecordSystolic")->setText("140");
    in<QLineEdit>(shownDialog<RecordEditDialog>(), "txtRecordDiastolic")->setText("85");  // 140/140 would be asked
    QTest::mouseClick(in<QPushButton>(shownDialog<RecordEditDialog>(), "cmdRecordSave"), Qt::LeftButton);
    closeDialogs();
    keep();  // a delete
    app.dialogs().queueAnswer(ui::Answer::Ok);
    select(sorted, 2);
    QTest::keyClick(sorted, Qt::Key_Delete);
    keep();  // a diary save
    app.click("cmdMemo");
    auto* memoList = app.find<ui::Grid>("msgMemoList");
    QTest::mouseClick(memoList->viewport(), Qt::LeftButton, {},
                      memoList->visualRect(memoList->model()->index(1, 9)).center());
    app.find<QLineEdit>("txtMemo")->setText("よく眠れた");
    app.click("cmdMemoHozon");
    keep();  // a rename of a situation (log and list)
    app.click("cmdSettei");
    auto* situations = app.find<QListWidget>("lstKoumoku");
    QTest::mouseClick(situations->viewport(), Qt::LeftButton, {},
                      situations->visualItemRect(situations->item(0)).center());
    app.find<QLineEdit>("txtChg")->setText("起床直後");
    app.click("cmdChg");
    ASSERT_NE(app.readBytes("朝晩設定.txt"), states.back()[2]) << "the choice follows the new name";
    keep();  // a situation added to the list
    app.dialogs().queueText(QString("散歩後"));
    app.click("cmdNew2");
    ASSERT_EQ(states.size(), 6u);
    ASSERT_NE(app.readBytes("状況リスト.txt"), states.back()[1]);

    const char* labels[] = {"状況「散歩後」の追加",
                            "状況名「起床後」→「起床直後」の変更",
                            "2005/02/02 就寝前の一言日記の保存",
                            "2005/02/02 起床後の削除",
                            "2005/02/20 起床後の修正",
                            "2005/03/01 起床後の保存"};
    app.click("cmdMain");
    for (std::size_t i = 0; i < states.size(); ++i) {
        SCOPED_TRACE(labels[i]);
        app.dialogs().clear();
        undoKey();
        ASSERT_FALSE(app.dialogs().records().empty());
        EXPECT_EQ(app.dialogs().records()[0].text.toStdString(),
                  std::string("「") + labels[i] + "」を元に戻しますか？");
        const auto& [logBytes, situationBytes, choiceBytes] = states[states.size() - 1 - i];
        EXPECT_EQ(app.readBytes("データ.txt"), logBytes);
        EXPECT_EQ(app.readBytes("状況リスト.txt"), situationBytes);
        EXPECT_EQ(app.readBytes("朝晩設定.txt"), choiceBytes);
    }
    EXPECT_EQ(app.listItems("lstAct"), QStringList({"起床後", "夕食後", "就寝前"}));
    app.dialogs().clear();
    undoKey();
    EXPECT_EQ(app.dialogs().records().at(0).text, "元に戻せる変更はありません。");
}

TEST_F(RecordCorrections, AChangeOnDiskSinceTheListWasShownIsNeverOverwritten) {
    app.click("cmdBunseki");
    auto* grid = app.find<ui::Grid>("msgIchiran");
    select(grid, 2);
    // Another program adds a record after the list was read.
    const std::string external = kLog + "\"2005/02/21\",\"起床後\",120,80,70,\"\",62\n";
    app.writeFile("データ.txt", external);
    QTest::keyClick(grid, Qt::Key_F2);
    EXPECT_EQ(shownDialog<RecordEditDialog>(), nullptr);
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_NE(app.dialogs().records()[0].text.indexOf("他のプログラムで変更されていた"), -1);
    EXPECT_EQ(log().size(), 6u);
    EXPECT_EQ(grid->rowCount(), 7);  // the list was read again

    // A change, then another program writes: the undo is refused and nothing is written.
    app.dialogs().clear();
    app.dialogs().queueAnswer(ui::Answer::Ok);
    select(grid, 6);
    QTest::keyClick(grid, Qt::Key_Delete);
    ASSERT_EQ(log().size(), 5u);
    app.writeFile("データ.txt", external);
    app.dialogs().clear();
    undoKey();
    ASSERT_EQ(app.dialogs().records().size(), 2u);
    EXPECT_NE(app.dialogs().records()[1].text.indexOf("元に戻せません"), -1) << shown();
    EXPECT_EQ(log().size(), 6u);
}

TEST_F(RecordCorrections, ACorrectionKeepsACopyAndTheSettingsScreenRestoresIt) {
    sora::BackupClockOverride clockInForce(app.clock());
    const std::string original = app.readBytes("データ.txt");
    app.click("cmdBunseki");
    auto* grid = app.find<ui::Grid>("msgIchiran");
    select(grid, 2);
    QTest::keyClick(grid, Qt::Key_F2);
    in<QLineEdit>(shownDialog<RecordEditDialog>(), "txtRecordWeight")->setText("61.8");
    QTest::mouseClick(in<QPushButton>(shownDialog<RecordEditDialog>(), "cmdRecordSave"), Qt::LeftButton);
    closeDialogs();
    const std::filesystem::path copy = app.dir() / "backup" / "データ_20050301_101500.txt";
    ASSERT_TRUE(std::filesystem::exists(copy));
    EXPECT_EQ(app.readBytes("backup/データ_20050301_101500.txt"), original);
    const std::string corrected = app.readBytes("データ.txt");
    ASSERT_NE(corrected, original);

    app.clock().set({{2005, 3, 1}, 10, 16, 0});
    app.click("cmdSettei");
    app.click("cmdBackupRestore");
    auto* list = shownDialog<BackupRestoreDialog>();
    ASSERT_NE(list, nullptr);
    auto* table = in<QTableWidget>(list, "lstBackup");
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 0)->text(), "2005/03/01 10:15:00");
    EXPECT_EQ(table->item(0, 1)->text(), "修正");  // what was about to change
    EXPECT_EQ(table->item(0, 2)->text(), "5");
    EXPECT_EQ(table->item(0, 3)->text(), "2005/02/20");

    QTest::mouseClick(in<QPushButton>(list, "cmdRestore"), Qt::LeftButton);  // unanswered: Cancel
    EXPECT_EQ(app.readBytes("データ.txt"), corrected);
    app.dialogs().queueAnswer(ui::Answer::Ok);
    QTest::mouseClick(in<QPushButton>(list, "cmdRestore"), Qt::LeftButton);
    EXPECT_EQ(app.readBytes("データ.txt"), original);
    EXPECT_EQ(app.readBytes("backup/データ_20050301_101600.txt"), corrected);  // the log it replaced
    EXPECT_FALSE(list->isVisible());
    closeDialogs();
    // The copy the restore kept says so; the correction's copy still says what it was.
    app.click("cmdBackupRestore");
    auto* again = in<QTableWidget>(shownDialog<BackupRestoreDialog>(), "lstBackup");
    ASSERT_EQ(again->rowCount(), 2);
    EXPECT_EQ(again->item(0, 1)->text(), "復元");
    EXPECT_EQ(again->item(1, 1)->text(), "修正");
    closeDialogs();

    // The restore is a step like any other.
    app.dialogs().clear();
    undoKey();
    EXPECT_EQ(app.readBytes("データ.txt"), corrected) << shown();
}

}  // namespace

// An imported reading without pulse or weight: the correction shows those boxes empty and keeps them not measured.
TEST(RecordCorrectionNotMeasured, EmptyBoxesStayEmptyAndAreStoredAsZero) {
    TestApp app;
    app.writeFile("データ.txt",
                  "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\n"
                  "\"2005/02/02\",\"起床後\",133,80,0,\"\",0\n");
    app.writeFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt", "\"氏名\",\"花子\"\n");
    app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
    app.start();
    ASSERT_TRUE(app.showActive());
    app.window().showMainScreenFor(QDate(2005, 2, 2));
    auto* grid = app.find<ui::Grid>("msgDayList");
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 1));
    QTest::keyClick(grid, Qt::Key_F2);
    RecordEditDialog* dialog = app.window().findChild<RecordEditDialog*>();
    ASSERT_TRUE(dialog && dialog->isVisible());
    const auto box = [dialog](const char* name) { return dialog->findChild<QLineEdit*>(name); };
    EXPECT_EQ(box("txtRecordPulse")->text() + box("txtRecordWeight")->text(), "");
    box("txtRecordSystolic")->setText("134");
    QTest::mouseClick(dialog->findChild<QPushButton*>("cmdRecordSave"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(app.dialogs().records().empty());
    EXPECT_EQ(linesOf(app.readFile("データ.txt")).back(), "\"2005/02/02\",\"起床後\",134,80,0,\"\",0");
    app.closeDialogs();
}
