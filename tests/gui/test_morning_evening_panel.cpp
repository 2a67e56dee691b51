// The settings screen's morning/evening choices and target, written to 朝晩設定.txt and used by the report.
#include <gtest/gtest.h>

#include <algorithm>

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <sstream>
#include <vector>

#include "cli/cli.h"
#include "test_app.h"

namespace {

void choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);  // what a user's choice sends
}

/// What the table shows for the situation in row `row`.
QString shown(TestApp& app, int row) {
    return app.find<QTableView>("tblAsaBan")->model()->index(row, 1).data().toString();
}

/// A choice through the row's box, as a user makes it: the box opens on the cell, a choice is activated.
void chooseOccasion(TestApp& app, int row, int choice) {
    auto* table = app.find<QTableView>("tblAsaBan");
    const QModelIndex cell = table->model()->index(row, 1);
    table->setCurrentIndex(cell);
    table->edit(cell);
    auto* box = table->findChild<QComboBox*>("cboAsaBan");
    ASSERT_NE(box, nullptr);
    choose(box, choice);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the closed box goes, as in the event loop
}

}  // namespace

TEST(MorningEveningPanel, EveryChoiceIsWrittenAtOnceAndTheReportFollowsIt) {
    TestApp app;
    app.useSample();
    app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");  // no help-tour messages in between
    app.start();
    app.dialogs().clear();  // the sample diary's notice
    app.click("cmdSettei");
    // One box per situation, in list order, showing the defaults.
    EXPECT_EQ(shown(app, 1), "朝");      // 起床後
    EXPECT_EQ(shown(app, 3), "対象外");  // 昼食後
    EXPECT_EQ(shown(app, 7), "晩");      // 就寝前
    EXPECT_FALSE(app.exists("朝晩設定.txt"));

    chooseOccasion(app, 2, 2);  // 朝食後: 対象外
    chooseOccasion(app, 4, 1);  // 夕食後: 晩
    // The doctor's target: checked like the graph settings, taken only when both numbers are sound.
    choose(app.find<QComboBox>("cboMokuhyou"), 1);
    app.find<QLineEdit>("txtMokuhyouMax")->setText("１３０");
    app.find<QLineEdit>("txtMokuhyouMin")->setText("130");
    app.click("cmdMokuhyou");
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_EQ(app.dialogs().records()[0].title, "降圧目標入力エラー");
    app.dialogs().clear();
    app.find<QLineEdit>("txtMokuhyouMin")->setText("80");
    app.click("cmdMokuhyou");
    EXPECT_EQ(app.readFile("朝晩設定.txt"),
              "\"降圧目標\",\"主治医の指示\",130,80\r\n\"朝食後\",\"なし\"\r\n\"夕食後\",\"晩\"\r\n");
    EXPECT_TRUE(app.dialogs().records().empty());

    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(cli::run({"--data-dir", app.dir().string(), "report", "--from", "2005/02/01", "--to", "2005/02/01"}, out,
                       err, sora::Date{2005, 3, 1}),
              cli::ExitOk);
    // 2005/02/01: 朝食後 108/76 no longer counts as the morning; 夕食後 is not measured that day, 就寝前 125/81 is.
    EXPECT_NE(out.str().find("2005/02/01\t火\t\t\t\t125\t81\t71"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("target\t130/80 mmHg 未満（主治医の指示）"), std::string::npos);

    // Shown again as stored after the screen is opened anew.
    app.click("cmdMain");
    app.click("cmdSettei");
    EXPECT_EQ(shown(app, 2), "対象外");
    EXPECT_EQ(app.find<QComboBox>("cboMokuhyou")->currentIndex(), 1);
    EXPECT_EQ(app.find<QLineEdit>("txtMokuhyouMax")->text(), "130");

    // Renaming 起床後 throughout the diary keeps it a morning under its new name.
    app.window().resize(1280, 800);
    auto* list = app.find<QListWidget>("lstKoumoku");
    const QPoint item = list->visualItemRect(list->item(1)).center();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, item);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, item);
    app.find<QLineEdit>("txtChg")->setText("目覚め");
    app.click("cmdChg");
    EXPECT_EQ(shown(app, 1), "朝");
    EXPECT_NE(app.readFile("朝晩設定.txt").find("\"目覚め\",\"朝\""), std::string::npos);
}

TEST(MorningEveningPanel, AnUnreadableFileIsReportedOnceAndKeptBeforeItIsWrittenOver) {
    TestApp app;
    app.useSample();
    app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");  // no help-tour messages in between
    app.writeFile("朝晩設定.txt", "\"年齢区分\",\"75歳以上\"\n\"起床後\",\"昼\"\n");
    app.start();
    // Told at start like every side file, with file and line; the settings screen does not say it again.
    const auto& atStart = app.dialogs().records();
    EXPECT_EQ(std::count_if(atStart.begin(), atStart.end(),
                            [](const auto& record) { return record.text.contains("朝晩設定.txt の 2 行目"); }),
              1);
    app.dialogs().clear();
    app.click("cmdSettei");
    EXPECT_EQ(shown(app, 1), "朝");  // the default in its place
    app.click("cmdMain");
    app.click("cmdSettei");
    EXPECT_TRUE(app.dialogs().records().empty());

    app.dialogs().queueAnswer(ui::Answer::Cancel);
    chooseOccasion(app, 3, 0);
    EXPECT_EQ(shown(app, 3), "対象外");  // not saved: the box goes back
    EXPECT_TRUE(app.readFile("朝晩設定.txt").find("昼") != std::string::npos);

    app.dialogs().queueAnswer(ui::Answer::Yes);  // keep a copy of the old bytes, then save
    chooseOccasion(app, 3, 0);
    EXPECT_EQ(app.readFile("朝晩設定.txt"), "\"降圧目標\",\"標準\"\r\n\"昼食後\",\"朝\"\r\n");
    EXPECT_TRUE(app.exists("朝晩設定_読めなかった内容_20050301_101500.txt"));
}

// Moving through the table writes nothing: clicks, arrows, Tab, choices let go by Escape, by a click elsewhere or
// by the window closing, or the same choice again. Only a choice that differs from the shown one writes the file.
TEST(MorningEveningPanel, OnlyAChangedChoiceWritesTheFile) {
    TestApp app;
    app.useSample();
    app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
    app.start();
    ASSERT_TRUE(app.showActive());
    app.click("cmdSettei");
    auto* table = app.find<QTableView>("tblAsaBan");
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(table->model()->index(1, 1)).center());
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Up, Qt::Key_Left, Qt::Key_Tab, Qt::Key_Backtab}) {
        QTest::keyClick(table, key);
    }
    const struct {
        int row;
        Qt::Key opens;                // F2 or a typed key
        std::vector<Qt::Key> inList;  // Key_unknown: a click elsewhere closes the list
        const char* shownAfter;
    } steps[] = {{1, Qt::Key_F2, {Qt::Key_Down, Qt::Key_Escape}, "朝"},
                 {3, Qt::Key_A, {Qt::Key_Up, Qt::Key_unknown}, "対象外"},
                 {1, Qt::Key_F2, {Qt::Key_Return}, "朝"},
                 {1, Qt::Key_F2, {Qt::Key_Down, Qt::Key_Return}, "晩"}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.shownAfter);
        EXPECT_FALSE(app.exists("朝晩設定.txt"));
        table->setCurrentIndex(table->model()->index(step.row, 1));
        QTest::keyClick(table, step.opens);
        QTest::qWait(0);  // the list opens just after its editor
        auto* box = table->findChild<QComboBox*>("cboAsaBan");
        ASSERT_TRUE(box && box->view()->isVisible());
        for (const Qt::Key key : step.inList) {
            key == Qt::Key_unknown ? box->hidePopup() : QTest::keyClick(box->view(), key);
        }
        QTest::qWait(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(table->findChild<QComboBox*>("cboAsaBan"), nullptr);
        EXPECT_EQ(shown(app, step.row), step.shownAfter);
    }
    EXPECT_NE(app.readFile("朝晩設定.txt").find("\"起床後\",\"晩\"\r\n"), std::string::npos);

    // The window closes with a list open on another choice: nothing is committed, nothing breaks.
    const std::string written = app.readBytes("朝晩設定.txt");
    table->setCurrentIndex(table->model()->index(2, 1));
    QTest::keyClick(table, Qt::Key_F2);
    QTest::qWait(0);
    QTest::keyClick(table->findChild<QComboBox*>("cboAsaBan")->view(), Qt::Key_Down);
    app.restart();
    EXPECT_EQ(app.readBytes("朝晩設定.txt"), written);
}
