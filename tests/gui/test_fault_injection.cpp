// Every writer of the program, driven through its control, with each file call failing in turn: the files hold
// their old or their complete new bytes, the user is told (never told it worked), what the screen shows agrees with
// the files, and the same action works afterwards.
#include <gtest/gtest.h>

#include <algorithm>

#include <qcustomplot.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>
#include <functional>
#include <map>
#include <set>

#include "common/record_edit_dialog.h"
#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "core/files/text_codec.h"
#include "core/rules/numbers.h"
#include "fault_sweep.h"
#include "own_diary_files.h"
#include "test_app.h"
#include "ui/chart.h"
#include "ui/grid.h"

namespace {

using sora::test::Reported;
using sora::test::Snapshot;

const std::string& LogText = sora::test::OwnLogText;

/// A diary of the user's own, help tour off, manual axes.
Snapshot ownDiary() {
    return sora::test::own_diary_files();
}

QStringList listFile(TestApp& app) {
    QStringList items;
    for (const std::string& item : sora::read_situations(sora::DataDir(app.dir())).value) {
        items.append(QString::fromStdString(item));
    }
    return items;
}

void pressItem(TestApp& app, const char* listName, int from, int to) {
    auto* list = app.find<QListWidget>(listName);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(from)).center());
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(to)).center());
}

void clickCell(ui::Grid* grid, int row, int column) {
    const QModelIndex index = grid->model()->index(row - 1, column);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
}

/// One writer as the user reaches it.
struct GuiWriter {
    std::string name;
    std::function<void(TestApp&)> setUp = [](TestApp&) {};  // after the start: open the screen, fill the boxes
    std::function<void(TestApp&)> act;                      // the click that writes (with its dialog answers)
    std::vector<QString> successTitles;                     // completion messages, never shown after a failure
    /// What the screen shows must agree with the files after a failure (the argument is the failed call).
    std::function<void(TestApp&, const std::string&)> followsFiles = [](TestApp&, const std::string&) {};
    Snapshot files = ownDiary();
    std::vector<std::vector<std::string>> together;
    std::function<bool(const std::string&)> mayAppear = [](const std::string&) { return false; };
    std::function<bool(const std::string&)> retry = [](const std::string&) { return true; };
    std::size_t shortWrite = 0;  // a second pass with writes cut to this many bytes (more write calls)
};

/// The warning that the automatic copy of the log could not be made: the write itself went on.
bool isCopyWarning(const ui::ScriptedDialogs::Record& record) {
    return record.kind == ui::ScriptedDialogs::Record::Kind::Message && record.title == "バックアップ";
}

bool isErrorMessage(const ui::ScriptedDialogs::Record& record) {
    return record.kind == ui::ScriptedDialogs::Record::Kind::Message && record.icon == ui::Icon::Warning &&
           record.buttons == ui::Buttons::Ok && !isCopyWarning(record);
}

/// Runs the sweep of one writer on a fresh main window per fault point; returns the fault points tried.
int sweepThroughTheWindow(TestApp& app, const GuiWriter& w) {
    std::vector<ui::ScriptedDialogs::Record> shown;  // the dialogs of the last write
    sora::test::Writer writer;
    writer.name = w.name;
    writer.dir = app.dir();
    writer.together = w.together;
    writer.mayAppear = w.mayAppear;
    writer.retry = w.retry;
    writer.prepare = [&] {
        sora::test::restore_snapshot(app.dir(), w.files);
        frmMain& window = app.restart();
        window.resize(1280, 800);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        w.setUp(app);
        app.dialogs().clear();
    };
    writer.write = [&] {
        const std::size_t first = app.dialogs().records().size();
        w.act(app);
        shown.assign(app.dialogs().records().begin() + static_cast<std::ptrdiff_t>(first),
                     app.dialogs().records().end());
        Reported reported;
        for (const auto& record : shown) {
            if (isErrorMessage(record)) {
                reported.ok = false;
                reported.message += record.text.toStdString();
            }
        }
        return reported;
    };
    writer.afterBackupFault = [&](const Reported&, const Snapshot&) {
        EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), isCopyWarning)) << "the failed copy was not told";
    };
    writer.afterFault = [&](const std::string& call) {
        for (const auto& record : shown) {
            // After a failed directory sync the new file is in place: the program says so and may complete.
            if (call != "sync_directory") {
                for (const QString& title : w.successTitles) {
                    EXPECT_NE(record.title, title) << "success reported after a failed " << call;
                }
            }
        }
        EXPECT_FALSE(app.window().ended()) << "the program must go on";
        w.followsFiles(app, call);
        const sora::LogReadResult log = sora::MeasurementLog(sora::DataDir(app.dir())).read_all();
        EXPECT_TRUE(log.ok) << log.message;
    };
    const sora::test::SweepCount count = sora::test::sweep(writer, w.shortWrite);
    std::string calls;
    for (const auto& [call, n] : count.byCall) {
        calls += " " + call + "×" + std::to_string(n);
    }
    std::printf("[ faults   ] %s: %d fault points:%s\n", w.name.c_str(), count.total, calls.c_str());
    EXPECT_GE(count.total, 4) << w.name;
    return count.total;
}

/// The three situation lists show what the file holds.
void listsFollowTheFile(TestApp& app, const std::string&) {
    const QStringList file = listFile(app);
    EXPECT_EQ(app.listItems("lstAct"), file);
    EXPECT_EQ(app.listItems("lstAct2"), file);
    EXPECT_EQ(app.listItems("lstKoumoku"), file);
}

/// After a save the panel is empty when the record is in the log, and keeps its values for another try otherwise.
void panelFollowsTheLog(TestApp& app, const std::string& call, std::size_t recordsBefore) {
    const auto log = sora::MeasurementLog(sora::DataDir(app.dir())).read_all();
    const bool saved = log.records.size() > recordsBefore;
    EXPECT_EQ(app.find<QLineEdit>("txtMaxInp")->text().isEmpty(), saved) << call;
}

void chooseSituation(TestApp& app, const QString& text) {
    auto* list = app.find<QListWidget>("lstAct");
    const auto items = list->findItems(text, Qt::MatchExactly);
    ASSERT_FALSE(items.isEmpty());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.front()).center());
}

class FaultInjectionGui : public ::testing::Test {
protected:
    static void TearDownTestSuite() { std::printf("[ faults   ] program level, all writers: %d\n", s_total); }
    void run(const GuiWriter& w) { s_total += sweepThroughTheWindow(app, w); }

    TestApp app;
    static int s_total;
};
int FaultInjectionGui::s_total = 0;

TEST_F(FaultInjectionGui, SavingAMeasurement) {
    GuiWriter append;
    append.name = "cmdTaiHozon, append";
    append.setUp = [](TestApp& app) { chooseSituation(app, "起床後"); };
    append.act = [](TestApp& app) { app.click("cmdTaiHozon"); };
    append.followsFiles = [](TestApp& app, const std::string& call) { panelFollowsTheLog(app, call, 4); };
    // Once the record is in (only the directory sync failed) the panel is empty: nothing to save twice.
    append.retry = [](const std::string& call) { return call != "sync_directory"; };
    append.shortWrite = 16;
    run(append);

    GuiWriter insert = append;
    insert.name = "cmdTaiHozon, insert in date order";
    insert.shortWrite = 64;
    insert.setUp = [](TestApp& app) {
        app.window().showMainScreenFor(QDate(2005, 2, 2));
        chooseSituation(app, "夕食後");
    };
    run(insert);
}

TEST_F(FaultInjectionGui, DiaryAndMemo) {
    GuiWriter diary;
    diary.name = "cmdMemoHozon, diary save";
    diary.setUp = [](TestApp& app) {
        app.click("cmdMemo");
        clickCell(app.find<ui::Grid>("msgMemoList"), 3, 9);
        app.find<QLineEdit>("txtMemo")->setText("散歩のあと");
    };
    diary.act = [](TestApp& app) { app.click("cmdMemoHozon"); };
    diary.shortWrite = 64;
    diary.followsFiles = [](TestApp& app, const std::string& call) {
        const auto log = sora::MeasurementLog(sora::DataDir(app.dir())).read_all();
        ASSERT_TRUE(log.ok);
        EXPECT_EQ(app.find<ui::Grid>("msgMemoList")->text(3, 9).toStdString(), log.records[2].diary) << call;
    };
    run(diary);

    GuiWriter memo;
    memo.name = "cmdKizukiHozon, 気付きメモ.txt";
    memo.setUp = [](TestApp& app) {
        app.click("cmdMemo");
        app.find<QPlainTextEdit>("txtKizuki")->setPlainText("朝と夜に測る\n減塩");
    };
    memo.act = [](TestApp& app) { app.click("cmdKizukiHozon"); };
    run(memo);
}

TEST_F(FaultInjectionGui, CorrectDeleteAndUndo) {
    const auto selectThirdRecord = [](TestApp& app) {
        app.click("cmdBunseki");
        auto* grid = app.find<ui::Grid>("msgIchiran");
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(2, 1));
    };
    // The list shows what the log holds, whatever happened to the write.
    const auto listFollowsTheLog = [](TestApp& app, const std::string& call) {
        const auto log = sora::MeasurementLog(sora::DataDir(app.dir())).read_all();
        ASSERT_TRUE(log.ok);
        auto* grid = app.find<ui::Grid>("msgIchiran");
        ASSERT_EQ(grid->rowCount() - 1, static_cast<int>(log.records.size())) << call;
        EXPECT_EQ(grid->text(3, 8).toStdString(), sora::format_number(log.records[2].weight)) << call;
    };

    GuiWriter correct;
    correct.name = "F2, correction";
    correct.setUp = [&](TestApp& app) {
        selectThirdRecord(app);
        QTest::keyClick(app.find<ui::Grid>("msgIchiran"), Qt::Key_F2);
        app.window().findChild<RecordEditDialog*>()->findChild<QLineEdit*>("txtRecordWeight")->setText("60.5");
    };
    correct.act = [](TestApp& app) {
        for (auto* dialog : app.window().findChildren<RecordEditDialog*>()) {
            if (dialog->isVisible()) {
                dialog->findChild<QPushButton*>("cmdRecordSave")->click();
            }
        }
    };
    correct.followsFiles = listFollowsTheLog;
    run(correct);

    GuiWriter remove;
    remove.name = "Delete, deletion";
    remove.setUp = selectThirdRecord;
    remove.act = [](TestApp& app) {
        app.dialogs().queueAnswer(ui::Answer::Ok);
        QTest::keyClick(app.find<ui::Grid>("msgIchiran"), Qt::Key_Delete);
    };
    remove.followsFiles = listFollowsTheLog;
    run(remove);

    GuiWriter undo;
    undo.name = "Ctrl+Z, undo of a deletion";
    undo.setUp = [&](TestApp& app) {
        selectThirdRecord(app);
        remove.act(app);
    };
    undo.act = [](TestApp& app) {
        app.dialogs().queueAnswer(ui::Answer::Ok);
        QApplication::setActiveWindow(&app.window());
        auto* button = app.find<QPushButton>("cmdMain");
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Z, Qt::ControlModifier);
    };
    undo.followsFiles = listFollowsTheLog;
    run(undo);
}

TEST_F(FaultInjectionGui, SituationList) {
    GuiWriter free;
    free.name = "cmdFree, append to 状況リスト.txt";
    free.act = [](TestApp& app) {
        app.dialogs().queueText(QString("散歩後"));
        app.dialogs().queueAnswer(ui::Answer::Yes);
        app.click("cmdFree");
    };
    free.followsFiles = listsFollowTheFile;
    run(free);

    GuiWriter add;
    add.name = "cmdNew2, append to 状況リスト.txt";
    add.setUp = [](TestApp& app) { app.click("cmdSettei"); };
    add.act = [](TestApp& app) {
        app.dialogs().queueText(QString("入浴後"));
        app.click("cmdNew2");
    };
    add.followsFiles = listsFollowTheFile;
    run(add);

    GuiWriter addToMissing = add;
    addToMissing.name = "cmdNew2, 状況リスト.txt missing";
    addToMissing.files.erase("状況リスト.txt");
    run(addToMissing);

    GuiWriter sort;
    sort.name = "cmdSort, rewrite 状況リスト.txt";
    sort.setUp = [](TestApp& app) {
        app.click("cmdSettei");
        pressItem(app, "lstKoumoku", 0, 2);
    };
    sort.act = [](TestApp& app) { app.click("cmdSort"); };
    sort.successTitles = {"並び替え完了"};
    // The editor keeps the user's unsaved order; the other two lists show the file.
    sort.followsFiles = [](TestApp& app, const std::string&) {
        EXPECT_EQ(app.listItems("lstAct"), listFile(app));
        EXPECT_EQ(app.listItems("lstAct2"), listFile(app));
    };
    run(sort);

    GuiWriter remove;
    remove.name = "cmdDel, rewrite 状況リスト.txt";
    remove.setUp = [](TestApp& app) {
        app.click("cmdSettei");
        pressItem(app, "lstKoumoku", 1, 1);
    };
    remove.act = [](TestApp& app) {
        app.dialogs().queueAnswer(ui::Answer::Ok);
        app.click("cmdDel");
    };
    remove.successTitles = {"削除完了"};
    remove.followsFiles = listsFollowTheFile;
    // After a failed directory sync the item is gone and nothing is selected any more.
    remove.retry = [](const std::string& call) { return call != "sync_directory"; };
    run(remove);

    GuiWriter removeAll;
    removeAll.name = "cmdDel2, rewrite 状況リスト.txt";
    removeAll.setUp = [](TestApp& app) { app.click("cmdSettei"); };
    removeAll.act = [](TestApp& app) {
        app.dialogs().queueAnswer(ui::Answer::Ok);
        app.click("cmdDel2");
    };
    removeAll.successTitles = {"削除完了"};
    removeAll.followsFiles = listsFollowTheFile;
    run(removeAll);
}

TEST_F(FaultInjectionGui, RenameThroughTheChangeFiles) {
    GuiWriter rename;
    rename.name = "cmdChg, rename (データＣＨＧ.txt, 状況リストＣＨＧ.txt)";
    rename.setUp = [](TestApp& app) {
        app.click("cmdSettei");
        pressItem(app, "lstKoumoku", 0, 0);
        app.find<QLineEdit>("txtChg")->setText("朝, 起床後");
    };
    rename.act = [](TestApp& app) {
        app.dialogs().queueAnswer(ui::Answer::Ok);
        app.click("cmdChg");
    };
    rename.successTitles = {"コメント変更終了"};
    rename.together = {{"データ.txt", "状況リスト.txt"}};
    rename.shortWrite = 64;
    rename.followsFiles = listsFollowTheFile;
    run(rename);
}

TEST_F(FaultInjectionGui, SettingsFiles) {
    GuiWriter graph;
    graph.name = "cmdGrSet, グラフ設定.txt";
    graph.setUp = [](TestApp& app) {
        app.click("cmdSettei");
        app.find<QLineEdit>("txtY1max")->setText("190");
    };
    graph.act = [](TestApp& app) { app.click("cmdGrSet"); };
    graph.followsFiles = [](TestApp& app, const std::string& call) {
        EXPECT_EQ(app.window().state().axes, sora::read_graph_settings(sora::DataDir(app.dir())).value) << call;
    };
    run(graph);

    GuiWriter name;
    name.name = "cmdPHozon1, ﾌﾟﾗｲﾍﾞｰﾄ.txt";
    name.setUp = [](TestApp& app) {
        app.click("cmdSettei");
        app.find<QLineEdit>("txtPriData")->setText("太郎");
    };
    name.act = [](TestApp& app) { app.click("cmdPHozon1"); };
    name.successTitles = {"保存終了"};
    name.followsFiles = [](TestApp& app, const std::string& call) {
        const std::string stored = sora::read_user_name(sora::DataDir(app.dir())).value;
        EXPECT_EQ(app.window().state().userName, stored) << call;
        EXPECT_TRUE(app.window().windowTitle().contains(QString::fromStdString(stored))) << call;
    };
    run(name);

    GuiWriter autoTime;
    autoTime.name = "chkJikan, 自動時間.TXT";
    autoTime.setUp = [](TestApp& app) { app.click("cmdSettei"); };
    autoTime.act = [](TestApp& app) { app.click("chkJikan"); };
    autoTime.followsFiles = [](TestApp& app, const std::string& call) {
        const bool stored = sora::read_auto_time(sora::DataDir(app.dir())).value;
        EXPECT_EQ(app.find<QCheckBox>("chkJikan")->isChecked(), stored) << call;
        EXPECT_EQ(app.window().state().autoTime, stored) << call;
    };
    run(autoTime);

    GuiWriter helpTour;
    helpTour.name = "chkHelp, 設定.txt";
    helpTour.act = [](TestApp& app) { app.click("chkHelp"); };
    run(helpTour);

    GuiWriter marker;
    marker.name = "mcrMain click, マーカー.TXT";
    marker.setUp = [](TestApp& app) { app.click("cmdSuiiGr"); };
    marker.act = [](TestApp& app) {
        QCustomPlot* plot = app.find<ui::Chart>("mcrMain")->plot();
        QTest::mouseClick(plot, Qt::LeftButton, {}, plot->rect().center());
    };
    run(marker);
}

TEST_F(FaultInjectionGui, DailyAverageExport) {
    GuiWriter exportFile;
    exportFile.name = "cmdAvgHozon, 日毎平均.txt";
    exportFile.setUp = [](TestApp& app) { app.click("cmdAvgtai"); };
    exportFile.act = [](TestApp& app) { app.click("cmdAvgHozon"); };
    exportFile.successTitles = {"保存終了"};
    run(exportFile);

    exportFile.name = "cmdAvgHozon, replacing 日毎平均.txt";
    exportFile.files["日毎平均.txt"] = "\"05/01/01\",1,1,0,1\r\n";
    run(exportFile);
}

TEST_F(FaultInjectionGui, NewStart) {
    GuiWriter start;
    start.name = "cmdStHozon, new start (backup, name, log, graph)";
    start.setUp = [](TestApp& app) {
        app.click("cmdSettei");
        app.click("cmdNew1");
        const std::pair<const char*, const char*> boxes[] = {{"txtPriData1", "太郎"}, {"txtSincyou1", "120"},
                                                             {"txtMokuTai1", "78"},   {"txtNowTai", "64"},
                                                             {"txtNowTai2", "70.5"},  {"txtNowJyou", "はじめの一歩"}};
        for (const auto& [box, text] : boxes) {
            app.find<QLineEdit>(box)->setText(QString::fromUtf8(text));
        }
    };
    start.act = [](TestApp& app) {
        app.dialogs().queueAnswer(ui::Answer::Ok);
        app.click("cmdStHozon");
    };
    start.successTitles = {"新規登録終了"};
    start.together = {{"データ.txt", "ﾌﾟﾗｲﾍﾞｰﾄ.txt", "グラフ設定.txt"}};
    start.shortWrite = 40;
    const std::string oldLog = sora::test::cp932(LogText);
    start.mayAppear = [this, oldLog](const std::string& file) {
        return file.rfind("データ_20050301_101500", 0) == 0 &&
               app.readBytes(file) == oldLog;  // a complete copy of the old log may stay
    };
    start.followsFiles = [](TestApp& app, const std::string& call) {
        EXPECT_EQ(app.window().state().userName, "花子") << call;
    };
    run(start);
}

}  // namespace
