// The settings screen: situation editor, renaming, graph settings, name, automatic time, new start.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "core/files/file_io.h"
#include "faulty_io.h"
#include "settings/settings_screen.h"
#include "test_app.h"
#include "ui/chart.h"
#include "ui/grid.h"

namespace {

const QColor Reminder(255, 224, 192);

/// An own diary (not the sample) with the help tour off and the situations A, B, C, D.
void writeOwnDiary(TestApp& app, int helpTour = 0) {
    app.writeFile("データ.txt",
                  "\"2005/02/20\",\"はじめの一歩\",126,80,70,,62.5\n"
                  "\"2005/03/01\",\"A\",120,78,66,\"\",62\n"
                  "\"2005/03/01\",\"A後\",121,79,67,\"A\",62.1\n");
    app.writeFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt", "\"氏名\",\"花子\"\n");
    app.writeFile("設定.txt", "\"ヘルプツアー\"," + std::to_string(helpTour) + "\n");
    app.writeFile("状況リスト.txt", "A\nB\nC\nD\n");
    app.writeFile("自動時間.TXT", " 1 \n");
    app.writeFile("グラフ設定.txt",
                  "\"自動設定\",0\n\"血圧最大値\",180\n\"血圧最小値\",60\n\"血圧刻み\",12\n\"脈拍最大値\",110\n"
                  "\"脈拍最小値\",40\n\"脈拍刻み\",7\n\"体重最大値\",80\n\"体重最小値\",50\n\"体重刻み\",6\n");
}

/// Starts the window and opens the settings screen.
frmMain& openSettings(TestApp& app) {
    frmMain& window = app.start();
    window.resize(1280, 800);
    app.click("cmdSettei");
    app.dialogs().clear();
    return window;
}

/// lstKoumoku, and the same items in lstAct and lstAct2.
void expectThreeLists(TestApp& app, const QStringList& expected) {
    EXPECT_EQ(app.listItems("lstKoumoku"), expected);
    EXPECT_EQ(app.listItems("lstAct"), expected);
    EXPECT_EQ(app.listItems("lstAct2"), expected);
}

QPoint centreOf(QListWidget* list, int row) {
    return list->visualItemRect(list->item(row)).center();
}

/// Mouse down on item `from`, mouse up on item `to`.
void drag(QListWidget* list, int from, int to) {
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, centreOf(list, from));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, centreOf(list, to));
}

void select(QListWidget* list, int row) {
    drag(list, row, row);
}

QColor sortColour(TestApp& app) {
    return app.find<QPushButton>("cmdSort")->palette().color(QPalette::Button);
}

bool dayListShows(TestApp& app, const QString& text) {
    auto* grid = app.find<ui::Grid>("msgDayList");
    for (int row = 1; grid && row < grid->rowCount(); ++row) {
        for (int column = 0; column < grid->columnCount(); ++column) {
            if (grid->text(row, column) == text) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

TEST(SettingsOpen, FillsNameDisablesButtonsAndShowsHelp) {
    TestApp app;
    writeOwnDiary(app, 1);
    frmMain& window = app.start();
    app.dialogs().clear();
    app.click("cmdSettei");

    EXPECT_FALSE(app.find<QWidget>("fraSettei")->isHidden());
    EXPECT_TRUE(app.find<QWidget>("fraMain")->isHidden());
    EXPECT_TRUE(app.find<QWidget>("fraNew")->isHidden());
    EXPECT_EQ(app.find<QLineEdit>("txtPriData")->text(), "花子");
    for (const char* name : {"cmdSort", "cmdDel", "cmdChg"}) {
        EXPECT_FALSE(app.find<QPushButton>(name)->isEnabled()) << name;
    }
    EXPECT_TRUE(app.find<QPushButton>("cmdNew2")->isEnabled());
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_EQ(app.dialogs().records()[0].title, "ヘルプツアー");
    EXPECT_EQ(app.dialogs().records()[0].text,
              "これまでのデータを削除して新規に血圧管理をスタートさせたり、各種データの編集を行います。\r\n\r\n"
              "血圧、脈拍と共に登録する状況項目を追加したり、順番の並び替え、削除ができます。\r\n\r\n"
              "表示するグラフの最大値、最小値、間隔などを指定することもできます。\r\n\r\n");
    expectThreeLists(app, {"A", "B", "C", "D"});

    // The preview shows the stored blood-pressure and weight ranges.
    auto* preview = app.find<ui::Chart>("mcrGrSet");
    EXPECT_EQ(preview->axisMinimum(ui::Axis::Primary), 60);
    EXPECT_EQ(preview->axisMaximum(ui::Axis::Primary), 180);
    EXPECT_EQ(preview->axisDivisions(ui::Axis::Primary), 12);
    EXPECT_EQ(preview->axisMinimum(ui::Axis::Secondary), 50);
    EXPECT_EQ(preview->axisMaximum(ui::Axis::Secondary), 80);
    EXPECT_EQ(preview->axisDivisions(ui::Axis::Secondary), 6);

    // A click on an item enables the three buttons; a second click on the screen button does nothing.
    select(app.find<QListWidget>("lstKoumoku"), 1);
    for (const char* name : {"cmdSort", "cmdDel", "cmdChg"}) {
        EXPECT_TRUE(app.find<QPushButton>(name)->isEnabled()) << name;
    }
    app.dialogs().clear();
    app.click("cmdSettei");
    EXPECT_TRUE(app.dialogs().records().empty());
    EXPECT_TRUE(app.find<QPushButton>("cmdDel")->isEnabled());
    (void)window;
}

TEST(SituationEditor, DragExamplesChangeOnlyTheEditorList) {
    TestApp app;
    writeOwnDiary(app);
    frmMain& window = openSettings(app);
    auto* list = app.find<QListWidget>("lstKoumoku");
    const QColor normal = sortColour(app);
    ASSERT_NE(normal, Reminder);

    struct Case {
        int from;
        int to;
        QStringList expected;
    };
    const Case cases[] = {
        {0, 1, {"A", "B", "C", "D"}},  // A onto B
        {0, 2, {"B", "C", "A", "D"}},  // A onto C
        {3, 1, {"A", "D", "B", "C"}},  // D onto B
        {1, 0, {"B", "A", "C", "D"}},  // B onto A
        {2, 2, {"A", "B", "C", "D"}},  // on itself
    };
    for (const Case& c : cases) {
        window.setSituationLists({"A", "B", "C", "D"});
        app.find<QPushButton>("cmdSort")->setPalette(QPalette());  // no reminder left from the last case
        const QColor before = sortColour(app);
        drag(list, c.from, c.to);
        EXPECT_EQ(app.listItems("lstKoumoku"), c.expected) << c.from << " onto " << c.to;
        EXPECT_EQ(app.listItems("lstAct"), QStringList({"A", "B", "C", "D"}));
        EXPECT_EQ(app.listItems("lstAct2"), QStringList({"A", "B", "C", "D"}));
        const bool moved = c.expected != QStringList({"A", "B", "C", "D"});
        EXPECT_EQ(sortColour(app), moved ? Reminder : before) << c.from << " onto " << c.to;
    }
    EXPECT_EQ(app.readFile("状況リスト.txt"), "A\r\nB\r\nC\r\nD\r\n");
    EXPECT_TRUE(app.dialogs().records().empty());

    // After an effective drag, dropping an item on itself keeps the reminder.
    drag(list, 0, 2);
    ASSERT_EQ(sortColour(app), Reminder);
    drag(list, 2, 2);
    EXPECT_EQ(sortColour(app), Reminder);
}

TEST(SituationEditor, SavingTheOrderWritesItAndRefillsTheOtherLists) {
    TestApp app;
    writeOwnDiary(app);
    openSettings(app);
    drag(app.find<QListWidget>("lstKoumoku"), 0, 2);
    ASSERT_EQ(sortColour(app), Reminder);

    app.click("cmdSort");
    EXPECT_EQ(app.readFile("状況リスト.txt"), "B\r\nC\r\nA\r\nD\r\n");
    expectThreeLists(app, {"B", "C", "A", "D"});
    EXPECT_NE(sortColour(app), Reminder);
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    const auto& done = app.dialogs().records()[0];
    EXPECT_EQ(done.title, "並び替え完了");
    EXPECT_EQ(done.text, "並び替えた順番で状況リストを作成しました");
    EXPECT_EQ(done.icon, ui::Icon::Information);
    EXPECT_EQ(done.buttons, ui::Buttons::Ok);
}

TEST(SituationEditor, AnItemOfAMegabyteIsKeptWholeAndSavedBack) {
    TestApp app;
    writeOwnDiary(app);
    std::string huge;
    for (int i = 0; i < 83334; ++i) {
        huge += "気付きメモ、";  // 12 CP932 bytes each, no line break and no comma
    }
    app.writeFile("状況リスト.txt", "A\n" + huge + "\nB\n");
    openSettings(app);
    app.click("cmdTaijyu");
    app.click("cmdSettei");
    EXPECT_TRUE(app.dialogs().records().empty());
    const QStringList expected = {"A", QString::fromStdString(huge), "B"};
    for (const char* name : {"lstKoumoku", "lstAct", "lstAct2"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(app.listItems(name) == expected);
        // Measured from its start, as no list shows more: the whole item would be millions of pixels wide.
        EXPECT_LT(app.find<QListWidget>(name)->sizeHintForColumn(0), 20000);
    }
    // The order saved from the editor keeps the item whole.
    drag(app.find<QListWidget>("lstKoumoku"), 0, 2);
    app.click("cmdSort");
    EXPECT_TRUE(app.readFile("状況リスト.txt") == huge + "\r\nB\r\nA\r\n");
}

TEST(SituationEditor, DeleteAsksAndSavesTheDraggedOrder) {
    TestApp app;
    writeOwnDiary(app);
    openSettings(app);
    auto* list = app.find<QListWidget>("lstKoumoku");
    drag(list, 3, 1);  // A, D, B, C (not saved)
    select(list, 2);   // B

    app.dialogs().queueAnswer(ui::Answer::Cancel);
    app.click("cmdDel");
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_EQ(app.dialogs().records()[0].title, "クリア確認");
    EXPECT_EQ(app.dialogs().records()[0].text, "Bを削除します。よろしいですか？");
    EXPECT_EQ(app.dialogs().records()[0].icon, ui::Icon::Warning);
    EXPECT_EQ(app.dialogs().records()[0].buttons, ui::Buttons::OkCancel);
    EXPECT_EQ(app.listItems("lstKoumoku"), QStringList({"A", "D", "B", "C"}));
    EXPECT_EQ(app.readFile("状況リスト.txt"), "A\r\nB\r\nC\r\nD\r\n");

    app.dialogs().clear();
    app.dialogs().queueAnswer(ui::Answer::Ok);
    app.click("cmdDel");
    expectThreeLists(app, {"A", "D", "C"});
    EXPECT_EQ(app.readFile("状況リスト.txt"), "A\r\nD\r\nC\r\n");
    EXPECT_EQ(sortColour(app), Reminder);
    ASSERT_EQ(app.dialogs().records().size(), 2u);
    EXPECT_EQ(app.dialogs().records()[1].title, "削除完了");
    EXPECT_EQ(app.dialogs().records()[1].text, "選択したデータを削除しました");

    // Nothing is selected now: delete and rename do nothing, though their buttons stay enabled.
    app.dialogs().clear();
    EXPECT_TRUE(app.find<QPushButton>("cmdDel")->isEnabled());
    app.find<QLineEdit>("txtChg")->setText("X");
    app.click("cmdDel");
    app.click("cmdChg");
    EXPECT_TRUE(app.dialogs().records().empty());
    EXPECT_EQ(app.readFile("状況リスト.txt"), "A\r\nD\r\nC\r\n");
    EXPECT_EQ(app.listItems("lstKoumoku"), QStringList({"A", "D", "C"}));
}

TEST(SituationEditor, DeleteAllEmptiesTheFileAndTheThreeLists) {
    TestApp app;
    writeOwnDiary(app);
    openSettings(app);

    app.dialogs().queueAnswer(ui::Answer::Cancel);
    app.click("cmdDel2");
    EXPECT_EQ(app.dialogs().records().at(0).text, "状況リストを全削除します。よろしいですか？");
    EXPECT_EQ(app.dialogs().records().at(0).title, "クリア確認");
    expectThreeLists(app, {"A", "B", "C", "D"});

    app.dialogs().clear();
    app.dialogs().queueAnswer(ui::Answer::Ok);
    app.click("cmdDel2");
    EXPECT_TRUE(app.exists("状況リスト.txt"));
    EXPECT_EQ(app.readBytes("状況リスト.txt"), "");
    expectThreeLists(app, {});
    ASSERT_EQ(app.dialogs().records().size(), 2u);
    EXPECT_EQ(app.dialogs().records()[1].title, "削除完了");
    EXPECT_EQ(app.dialogs().records()[1].text,
              "状況リストを削除しました。\n\n任意の状況をあらためて登録してください。");

    app.restart();
    expectThreeLists(app, {});
}

TEST(SituationEditor, AddAppendsToTheFileAndTheThreeLists) {
    TestApp app;
    writeOwnDiary(app);
    openSettings(app);

    app.dialogs().queueText(QString("散歩"));
    app.click("cmdNew2");
    app.dialogs().queueText(QString("散歩"));
    app.click("cmdNew2");
    app.dialogs().queueText(std::nullopt);  // Cancel
    app.click("cmdNew2");
    app.dialogs().queueText(QString(""));
    app.click("cmdNew2");
    ASSERT_EQ(app.dialogs().records().size(), 4u);
    EXPECT_EQ(app.dialogs().records()[0].kind, ui::ScriptedDialogs::Record::Kind::TextInput);
    EXPECT_EQ(app.dialogs().records()[0].title, "状況追加");
    EXPECT_EQ(app.dialogs().records()[0].text, "追加したい状況を入力して下さい");
    expectThreeLists(app, {"A", "B", "C", "D", "散歩", "散歩"});
    EXPECT_EQ(app.readFile("状況リスト.txt"), "A\r\nB\r\nC\r\nD\r\n散歩\r\n散歩\r\n");

    // A comma stays inside one situation; a quote is replaced; an emoji is refused before anything is written.
    app.dialogs().queueText(QString("朝,夜 \"軽\""));
    app.click("cmdNew2");
    expectThreeLists(app, {"A", "B", "C", "D", "散歩", "散歩", "朝,夜 ”軽”"});
    app.dialogs().clear();
    app.dialogs().queueText(QString("散歩😀"));
    app.click("cmdNew2");
    ASSERT_EQ(app.dialogs().records().size(), 2u);
    EXPECT_EQ(app.dialogs().records()[1].title, "使用できない文字");
    app.restart();
    expectThreeLists(app, {"A", "B", "C", "D", "散歩", "散歩", "朝,夜 ”軽”"});
}

TEST(Rename, ExactMatchesInTheLogAndTheListThenReload) {
    TestApp app;
    writeOwnDiary(app);
    openSettings(app);
    EXPECT_TRUE(dayListShows(app, "A"));
    auto* list = app.find<QListWidget>("lstKoumoku");
    drag(list, 3, 1);  // an unsaved order, discarded by the reload
    select(list, 0);   // A
    auto* txtChg = app.find<QLineEdit>("txtChg");

    app.click("cmdChg");
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_EQ(app.dialogs().records()[0].title, "変更後コメント未入力");
    EXPECT_EQ(app.dialogs().records()[0].text, "変更したいコメントを入力してください");
    EXPECT_EQ(app.dialogs().records()[0].icon, ui::Icon::Exclamation);

    txtChg->setText("朝食前");
    app.dialogs().clear();
    app.dialogs().queueAnswer(ui::Answer::Cancel);
    const std::string log = app.readFile("データ.txt");
    app.click("cmdChg");
    EXPECT_EQ(app.dialogs().records().at(0).text, "『A』 を 『朝食前』 に変更します。よろしいですか？");
    EXPECT_EQ(app.dialogs().records().at(0).title, "クリア確認");
    EXPECT_EQ(app.readFile("データ.txt"), log);
    EXPECT_EQ(app.readFile("状況リスト.txt"), "A\r\nB\r\nC\r\nD\r\n");

    app.dialogs().clear();
    app.click("cmdChg");
    EXPECT_EQ(app.readFile("データ.txt"),
              "\"2005/02/20\",\"はじめの一歩\",126,80,70,\"\",62.5\r\n"
              "\"2005/03/01\",\"朝食前\",120,78,66,\"\",62\r\n"
              "\"2005/03/01\",\"A後\",121,79,67,\"A\",62.1\r\n");
    EXPECT_EQ(app.readFile("状況リスト.txt"), "\"朝食前\"\r\n\"B\"\r\n\"C\"\r\n\"D\"\r\n");
    expectThreeLists(app, {"朝食前", "B", "C", "D"});
    EXPECT_TRUE(dayListShows(app, "朝食前"));
    EXPECT_FALSE(dayListShows(app, "A"));
    EXPECT_EQ(txtChg->text(), "朝食前");
    EXPECT_EQ(sortColour(app), Reminder);  // the reload does not clear the reminder
    ASSERT_EQ(app.dialogs().records().size(), 2u);
    EXPECT_EQ(app.dialogs().records()[1].title, "コメント変更終了");
    EXPECT_EQ(app.dialogs().records()[1].text, "コメントを入れ替えました。");
    EXPECT_FALSE(app.exists("データＣＨＧ.txt"));
    EXPECT_FALSE(app.exists("状況リストＣＨＧ.txt"));

    // The reload cleared the selection: the button does nothing now.
    app.dialogs().clear();
    app.click("cmdChg");
    EXPECT_TRUE(app.dialogs().records().empty());
}

TEST(Rename, ToAnExistingSituationMergesThem) {
    TestApp app;
    writeOwnDiary(app);
    openSettings(app);
    select(app.find<QListWidget>("lstKoumoku"), 0);  // A
    app.find<QLineEdit>("txtChg")->setText("D");
    app.click("cmdChg");
    EXPECT_EQ(app.readFile("データ.txt").find("\"2005/03/01\",\"A\","), std::string::npos);
    EXPECT_NE(app.readFile("データ.txt").find("\"2005/03/01\",\"D\",120"), std::string::npos);
    expectThreeLists(app, {"D", "B", "C", "D"});
}

TEST(GraphSettings, ManualAndAutomaticSavingWithRounding) {
    TestApp app;
    writeOwnDiary(app);
    frmMain& window = openSettings(app);
    auto* manual = app.find<QRadioButton>("optGrSet");
    auto* automatic = app.find<QRadioButton>("optGrSet2");
    EXPECT_EQ(manual->text(), "Ｙ軸の設定を手動で行う");
    EXPECT_EQ(automatic->text(), "Ｙ軸の設定を自動で行う");
    EXPECT_TRUE(manual->isChecked());
    EXPECT_TRUE(app.find<QWidget>("fraYauto")->isHidden());
    EXPECT_EQ(app.find<QLineEdit>("txtY1max")->text(), "180");
    EXPECT_EQ(app.find<QLineEdit>("txtY3dev")->text(), "6");

    app.find<QLineEdit>("txtY1max")->setText("13.5");
    app.find<QLineEdit>("txtY1min")->setText("12.5");
    app.find<QLineEdit>("txtY3max")->setText("95");
    app.click("cmdGrSet");
    const std::string manualFile =
        "\"自動設定\",0\r\n\"血圧最大値\",14\r\n\"血圧最小値\",12\r\n\"血圧刻み\",12\r\n\"脈拍最大値\",110\r\n"
        "\"脈拍最小値\",40\r\n\"脈拍刻み\",7\r\n\"体重最大値\",95\r\n\"体重最小値\",50\r\n\"体重刻み\",6\r\n";
    EXPECT_EQ(app.readFile("グラフ設定.txt"), manualFile);
    EXPECT_EQ(window.state().axes.bpMax, 14);
    EXPECT_EQ(window.state().axes.autoScale, 0);
    EXPECT_EQ(app.find<ui::Chart>("mcrGrSet")->axisMaximum(ui::Axis::Secondary), 95);
    EXPECT_TRUE(app.dialogs().records().empty());

    // Automatic: the boxes are disabled and the nine values are stored all the same.
    automatic->click();
    EXPECT_FALSE(app.find<QLineEdit>("txtY2max")->isEnabled());
    EXPECT_FALSE(app.find<QWidget>("fraYauto")->isHidden());
    EXPECT_EQ(app.readFile("グラフ設定.txt"), manualFile);  // switching alone stores nothing
    app.click("cmdGrSet");
    EXPECT_EQ(app.readFile("グラフ設定.txt"), "\"自動設定\",1" + manualFile.substr(manualFile.find("\r\n")));
    EXPECT_EQ(window.state().axes.autoScale, 1);

    manual->click();
    EXPECT_TRUE(app.find<QLineEdit>("txtY2max")->isEnabled());
    EXPECT_TRUE(app.find<QWidget>("fraYauto")->isHidden());

    app.restart();
    EXPECT_TRUE(app.find<QRadioButton>("optGrSet2")->isChecked());
    EXPECT_EQ(app.find<QLineEdit>("txtY1min")->text(), "12");
}

TEST(GraphSettings, ABadBoxIsRefusedByNameAndNothingIsStored) {
    TestApp app;
    writeOwnDiary(app);
    frmMain& window = openSettings(app);
    const std::string file = app.readFile("グラフ設定.txt");
    const sora::GraphAxisSettings held = window.state().axes;

    app.find<QLineEdit>("txtY1max")->setText("150");
    app.find<QLineEdit>("txtY2min")->setText("abc");
    app.click("cmdGrSet");
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_EQ(app.dialogs().records()[0].icon, ui::Icon::Warning);
    EXPECT_TRUE(app.dialogs().records()[0].text.contains("脈拍グラフの「最小値設定」"));

    app.find<QLineEdit>("txtY2min")->setText("40");
    app.find<QLineEdit>("txtY3dev")->setText("40000");
    app.click("cmdGrSet");
    ASSERT_EQ(app.dialogs().records().size(), 2u);
    EXPECT_TRUE(app.dialogs().records()[1].text.contains("体重グラフの「目盛り設定」"));

    EXPECT_EQ(app.readFile("グラフ設定.txt"), file);
    EXPECT_EQ(window.state().axes, held);
    EXPECT_EQ(app.find<ui::Chart>("mcrGrSet")->axisMaximum(ui::Axis::Primary), 180);
}

TEST(GraphSettings, AMinimumNotBelowItsMaximumIsSavedAsEnteredOnlyAfterAsking) {
    TestApp app;
    writeOwnDiary(app);
    frmMain& window = openSettings(app);
    const std::string file = app.readFile("グラフ設定.txt");
    const sora::GraphAxisSettings held = window.state().axes;
    app.find<QLineEdit>("txtY1max")->setText("180");
    app.find<QLineEdit>("txtY1min")->setText("200");
    app.find<QLineEdit>("txtY3max")->setText("60");
    app.find<QLineEdit>("txtY3min")->setText("60");

    // Cancel saves nothing.
    app.dialogs().queueAnswer(ui::Answer::Cancel);
    app.click("cmdGrSet");
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    const auto& asked = app.dialogs().records()[0];
    EXPECT_EQ(asked.icon, ui::Icon::Warning);
    EXPECT_EQ(asked.buttons, ui::Buttons::OkCancel);
    EXPECT_EQ(asked.text,
              "血圧の最小値（200）が最大値（180）以上です。体重の最小値（60）が最大値（60）以上です。"
              "このまま保存しますか？");
    EXPECT_EQ(app.readFile("グラフ設定.txt"), file);
    EXPECT_EQ(window.state().axes, held);

    // OK stores the values as entered; the charts draw the pair from the smaller value to the larger.
    app.dialogs().queueAnswer(ui::Answer::Ok);
    app.click("cmdGrSet");
    ASSERT_EQ(app.dialogs().records().size(), 2u);
    EXPECT_NE(app.readFile("グラフ設定.txt").find("\"血圧最大値\",180\r\n\"血圧最小値\",200\r\n"), std::string::npos);
    EXPECT_EQ(window.state().axes.bpMin, 200);
    auto* preview = app.find<ui::Chart>("mcrGrSet");
    EXPECT_EQ(preview->axisMinimum(ui::Axis::Primary), 180);
    EXPECT_EQ(preview->axisMaximum(ui::Axis::Primary), 200);
    app.click("cmdMain");
    auto* main = app.find<ui::Chart>("mcrMain");
    EXPECT_EQ(main->axisMinimum(ui::Axis::Primary), 180);
    EXPECT_EQ(main->axisMaximum(ui::Axis::Primary), 200);

    // Pairs in order save without a question.
    app.click("cmdSettei");
    app.find<QLineEdit>("txtY1min")->setText("60");
    app.find<QLineEdit>("txtY3min")->setText("40");
    app.click("cmdGrSet");
    EXPECT_EQ(app.dialogs().records().size(), 2u);
    EXPECT_EQ(window.state().axes.bpMin, 60);
}

TEST(GraphSettings, DisabledBoxesAreNotChecked) {
    TestApp app;
    writeOwnDiary(app);
    frmMain& window = openSettings(app);
    // Refused while manual; then automatic disables the boxes, and saving takes what can be taken.
    app.find<QLineEdit>("txtY2min")->setText("abc");
    app.find<QLineEdit>("txtY1max")->setText("190");
    app.find<QLineEdit>("txtY3min")->setText("90");  // above its maximum 80: not asked about either
    app.click("cmdGrSet");
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    app.dialogs().clear();
    app.find<QRadioButton>("optGrSet2")->click();
    app.click("cmdGrSet");
    for (const auto& record : app.dialogs().records()) {
        ADD_FAILURE() << "asked: " << record.text.toStdString();
    }
    EXPECT_EQ(app.readFile("グラフ設定.txt"),
              "\"自動設定\",1\r\n\"血圧最大値\",190\r\n\"血圧最小値\",60\r\n\"血圧刻み\",12\r\n\"脈拍最大値\",110\r\n"
              "\"脈拍最小値\",40\r\n\"脈拍刻み\",7\r\n\"体重最大値\",80\r\n\"体重最小値\",90\r\n\"体重刻み\",6\r\n");
    EXPECT_EQ(window.state().axes.autoScale, 1);
    EXPECT_EQ(app.find<QLineEdit>("txtY2min")->text(), "40");  // the box shows what was kept
}

TEST(PrivateData, SavingTheNameSetsTheTitleAndTheFile) {
    TestApp app;
    writeOwnDiary(app);
    frmMain& window = openSettings(app);
    auto* box = app.find<QLineEdit>("txtPriData");
    EXPECT_EQ(app.find<QPushButton>("cmdPHozon1")->text(), "名前変更");

    box->setText(" 太郎 ");
    app.click("cmdPHozon1");
    EXPECT_EQ(window.windowTitle(), "  太郎  のソラノート＋");
    EXPECT_EQ(app.readFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt"), "\"氏名\",\" 太郎 \"\r\n");
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_EQ(app.dialogs().records()[0].title, "保存終了");
    EXPECT_EQ(app.dialogs().records()[0].text, "保存が終了しました");

    box->setText("太郎");
    app.click("cmdPHozon1");
    EXPECT_EQ(window.windowTitle(), " 太郎 のソラノート＋");
    EXPECT_EQ(app.restart().windowTitle(), " 太郎 の ソラノート＋");

    frmMain& again = openSettings(app);
    app.find<QLineEdit>("txtPriData")->setText("太郎😀");
    app.click("cmdPHozon1");
    EXPECT_EQ(app.dialogs().records().at(0).title, "使用できない文字");
    EXPECT_EQ(app.readFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt"), "\"氏名\",\"太郎\"\r\n");
    EXPECT_EQ(again.windowTitle(), " 太郎 の ソラノート＋");

    app.find<QLineEdit>("txtPriData")->setText("");
    app.click("cmdPHozon1");
    EXPECT_EQ(again.windowTitle(), " ソラノート＋");
    EXPECT_EQ(app.readFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt"), "\"氏名\",\"\"\r\n");
}

TEST(AutoTime, StartUpTicksWithoutWritingAndAClickWrites) {
    TestApp app;
    writeOwnDiary(app);
    frmMain& window = openSettings(app);
    auto* box = app.find<QCheckBox>("chkJikan");
    EXPECT_EQ(box->text(), "一言日記に自動的に時間を記録");
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(app.readFile("自動時間.TXT"), " 1 \r\n");  // as written, not rewritten at start

    box->click();
    EXPECT_EQ(app.readFile("自動時間.TXT"), "0\r\n");
    EXPECT_FALSE(window.state().autoTime);
    box->click();
    EXPECT_EQ(app.readFile("自動時間.TXT"), "1\r\n");
    EXPECT_TRUE(window.state().autoTime);
}

TEST(NewStart, WizardOpensEmptiedWithGuidanceAndWalksWithEnter) {
    TestApp app;
    writeOwnDiary(app);
    frmMain& window = openSettings(app);
    EXPECT_EQ(app.find<QPushButton>("cmdNew1")->text(), "新規にスタートするとき");
    EXPECT_EQ(app.find<QPushButton>("cmdNew1")->toolTip(), "データの新規スタート");
    app.click("cmdNew1");
    EXPECT_FALSE(app.find<QWidget>("fraNew")->isHidden());
    EXPECT_EQ(app.find<QGroupBox>("fraNew")->title(), "新規スタート登録枠");
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    const auto& guidance = app.dialogs().records()[0];
    EXPECT_EQ(guidance.title, "データを登録しましょう");
    EXPECT_TRUE(guidance.text.startsWith("新規にソラノート＋をスタートさせます。\r\n\r\nあなたの名前"));
    EXPECT_TRUE(
        guidance.text.endsWith("（※必須です）\r\n\r\n入力し準備ができたら新規登録ボタンを押してください。\r\n"));
    EXPECT_EQ(guidance.text.count("\r\n"), 17);
    EXPECT_EQ(window.focusWidget(), app.find<QWidget>("txtPriData1"));

    const char* order[] = {"txtPriData1", "txtSincyou1", "txtMokuTai1", "txtNowTai",
                           "txtNowTai2",  "txtNowJyou",  "cmdStHozon"};
    for (int i = 0; i + 1 < 7; ++i) {
        app.find<QLineEdit>(order[i])->setText("1");
        QTest::keyClick(app.find<QLineEdit>(order[i]), Qt::Key_Return);
        EXPECT_EQ(window.focusWidget(), app.find<QWidget>(order[i + 1])) << order[i];
    }

    // Cancel keeps the texts; opening again empties all but the situation.
    app.click("cmdYame");
    EXPECT_TRUE(app.find<QWidget>("fraNew")->isHidden());
    EXPECT_EQ(app.find<QLineEdit>("txtSincyou1")->text(), "1");
    app.click("cmdNew1");
    for (const char* name : {"txtPriData1", "txtSincyou1", "txtMokuTai1", "txtNowTai", "txtNowTai2"}) {
        EXPECT_EQ(app.find<QLineEdit>(name)->text(), "") << name;
    }
    EXPECT_EQ(app.find<QLineEdit>("txtNowJyou")->text(), "1");
    EXPECT_FALSE(window.ended());
}

TEST(NewStart, ChecksComeFirstAndDecliningWritesNothing) {
    TestApp app;
    writeOwnDiary(app);
    openSettings(app);
    app.click("cmdNew1");
    app.dialogs().clear();
    const std::string log = app.readBytes("データ.txt");

    app.click("cmdStHozon");  // every box empty but the situation
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_EQ(app.dialogs().records()[0].title, "最高血圧未入力");
    EXPECT_EQ(app.dialogs().records()[0].text, "最高血圧が入力されていません");
    EXPECT_EQ(app.dialogs().records()[0].icon, ui::Icon::Information);

    app.find<QLineEdit>("txtSincyou1")->setText("126");
    app.find<QLineEdit>("txtMokuTai1")->setText("80");
    app.find<QLineEdit>("txtNowTai")->setText("70");
    app.find<QLineEdit>("txtNowTai2")->setText("62.5");
    app.find<QLineEdit>("txtNowJyou")->setText("");
    app.click("cmdStHozon");
    EXPECT_EQ(app.dialogs().records().at(1).text, "初回の状況が入力されていません");
    EXPECT_EQ(app.dialogs().records().at(1).title, "初回状況（コメント）未入力");

    app.find<QLineEdit>("txtNowJyou")->setText("はじめの一歩");
    app.find<QLineEdit>("txtMokuTai1")->setText("80abc");
    app.click("cmdStHozon");
    EXPECT_EQ(app.dialogs().records().at(2).title, "数値以外入力");
    EXPECT_EQ(app.dialogs().records().at(2).icon, ui::Icon::Warning);
    app.find<QLineEdit>("txtMokuTai1")->setText("80");
    app.find<QLineEdit>("txtNowTai2")->setText("999");
    app.click("cmdStHozon");
    EXPECT_EQ(app.dialogs().records().at(3).title, "入力制限");
    app.find<QLineEdit>("txtNowTai2")->setText("62.5");

    app.dialogs().clear();
    app.dialogs().queueAnswer(ui::Answer::Cancel);
    app.click("cmdStHozon");
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_EQ(app.dialogs().records()[0].title, "クリア確認");
    EXPECT_EQ(app.dialogs().records()[0].text, "入力した内容でデータを作ります。よろしいですか？");
    EXPECT_EQ(app.readBytes("データ.txt"), log);
    EXPECT_EQ(app.readFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt"), "\"氏名\",\"花子\"\r\n");
    EXPECT_FALSE(app.window().ended());
    EXPECT_FALSE(app.find<QWidget>("fraNew")->isHidden());
    EXPECT_EQ(app.find<QLineEdit>("txtSincyou1")->text(), "126");
}

TEST(NewStart, FromTheSampleToAnOwnDiary) {
    TestApp app;
    app.useSample();
    frmMain& window = app.start();
    ASSERT_TRUE(window.state().sampleMode);
    const sora::GraphAxisSettings held = window.state().axes;
    const std::string sampleLog = app.readBytes("データ.txt");
    const std::string situations = app.readBytes("状況リスト.txt");
    const std::string sampleMemo = app.readBytes("気付きメモ.txt");
    ASSERT_FALSE(sampleMemo.empty());
    app.click("cmdSettei");
    app.click("cmdNew1");
    app.find<QLineEdit>("txtPriData1")->setText("空野");
    app.find<QLineEdit>("txtSincyou1")->setText("126");
    app.find<QLineEdit>("txtMokuTai1")->setText("80");
    app.find<QLineEdit>("txtNowTai")->setText("70");
    app.find<QLineEdit>("txtNowTai2")->setText("62.5");
    app.dialogs().clear();
    app.click("cmdStHozon");

    EXPECT_EQ(app.readFile("データ.txt"), "\"2005/03/01\",\"はじめの一歩\",126,80,70,,62.5\r\n");
    EXPECT_EQ(app.readBytes("データ_20050301_101500.txt"), sampleLog);
    EXPECT_EQ(app.readFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt"), "\"氏名\",\"空野\"\r\n");
    EXPECT_EQ(app.readBytes("状況リスト.txt"), situations);
    const std::string settings = app.readFile("グラフ設定.txt");
    EXPECT_EQ(settings.substr(0, settings.find("\r\n")), "\"自動設定\",1");
    EXPECT_NE(settings.find("\"血圧最大値\"," + std::to_string(held.bpMax) + "\r\n"), std::string::npos);
    EXPECT_NE(settings.find("\"体重刻み\"," + std::to_string(held.weightDivisions) + "\r\n"), std::string::npos);
    ASSERT_EQ(app.dialogs().records().size(), 2u);
    const auto& closing = app.dialogs().records()[1];
    EXPECT_EQ(closing.title, "新規登録終了");
    EXPECT_EQ(
        closing.text,
        "登録が終了しました。\r\n\r\n一旦プログラムを終了させていただきます。次の起動からソラノート＋のスタートです！"
        "\r\nこれまでのデータは「データ_20050301_101500.txt」として残してあります。"
        "\r\nこれまでの気付きメモは「気付きメモ_20050301_101500.txt」として残してあります。");
    EXPECT_TRUE(window.ended());
    // The sample's memo went with the sample's log.
    EXPECT_FALSE(app.exists("気付きメモ.txt"));
    EXPECT_EQ(app.readBytes("気付きメモ_20050301_101500.txt"), sampleMemo);

    app.dialogs().clear();
    frmMain& next = app.restart();
    EXPECT_FALSE(next.state().sampleMode);
    EXPECT_EQ(next.state().selectedDate, "2005/03/01");
    EXPECT_EQ(next.windowTitle(), " 空野 の ソラノート＋");
    for (const QString& title : app.dialogTitles()) {
        EXPECT_NE(title, "サンプル表示");
        EXPECT_NE(title, "読み込みエラー");  // a diary without a memo file is an empty memo
    }
    EXPECT_EQ(next.state().axes.autoScale, 1);
    app.click("cmdMemo");
    EXPECT_EQ(app.find<QPlainTextEdit>("txtKizuki")->toPlainText(), "");
}

TEST(WriteFailures, AreReportedAndNeverTakenAsDone) {
    TestApp app;
    writeOwnDiary(app);
    frmMain& window = openSettings(app);
    const std::string list = app.readBytes("状況リスト.txt");
    {
        sora::test::FailRenameOnto failing("状況リスト.txt");
        sora::FileIoOverride override(failing);
        drag(app.find<QListWidget>("lstKoumoku"), 0, 2);
        app.click("cmdSort");
        app.dialogs().queueAnswer(ui::Answer::Ok);
        app.click("cmdDel2");
    }
    EXPECT_EQ(app.dialogTitles(), std::vector<QString>({"保存エラー", "クリア確認", "保存エラー"}));
    EXPECT_EQ(sortColour(app), Reminder);
    EXPECT_EQ(app.listItems("lstAct"), QStringList({"A", "B", "C", "D"}));
    EXPECT_EQ(app.listItems("lstKoumoku"), QStringList({"B", "C", "A", "D"}));
    EXPECT_EQ(app.readBytes("状況リスト.txt"), list);

    app.dialogs().clear();
    {
        sora::test::FailRenameOnto failing("ﾌﾟﾗｲﾍﾞｰﾄ.txt");
        sora::FileIoOverride override(failing);
        app.find<QLineEdit>("txtPriData")->setText("太郎");
        app.click("cmdPHozon1");
    }
    EXPECT_EQ(app.dialogTitles(), std::vector<QString>({"保存エラー"}));
    EXPECT_EQ(window.windowTitle(), " 花子 の ソラノート＋");
    EXPECT_EQ(window.state().userName, "花子");

    app.dialogs().clear();
    {
        sora::test::FailRenameOnto failing("データ.txt");
        sora::FileIoOverride override(failing);
        app.click("cmdNew1");
        app.find<QLineEdit>("txtSincyou1")->setText("126");
        app.find<QLineEdit>("txtMokuTai1")->setText("80");
        app.find<QLineEdit>("txtNowTai")->setText("70");
        app.find<QLineEdit>("txtNowTai2")->setText("62.5");
        app.click("cmdStHozon");
    }
    EXPECT_EQ(app.dialogTitles(), std::vector<QString>({"データを登録しましょう", "クリア確認", "保存エラー"}));
    EXPECT_FALSE(window.ended());
    EXPECT_NE(app.readFile("データ.txt").find("\"A後\""), std::string::npos);
}
