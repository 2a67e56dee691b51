// One diary on two PCs through a sync tool: another PC's changes shown while the program runs (what is typed stays),
// the conflict copies merged on 統合 (the log through the import's preview, the situation list as a union, another
// side file by choice) or set aside, and a diary on one PC as before: no question, no notice, no file rewritten.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <map>

#include "import/import_window.h"
#include "shell/side_file_choice.h"
#include "test_app.h"
#include "ui/grid.h"

namespace fs = std::filesystem;

namespace {

const std::string kLog =
    "\"2026/12/01\",\"はじめの一歩\",120,80,70,,62.5\n"
    "\"2026/12/07\",\"起床後\",131,84,68,\"7:05:09\",62.4\n";
const std::string kLogCopy = "データ.sync-conflict-20261207-235123-I3I3VSL.txt";

class TwoPcs : public ::testing::Test {
protected:
    void SetUp() override {
        app.writeFile("データ.txt", kLog);
        app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
        app.writeFile("状況リスト.txt", "起床後\n就寝前\n");
        app.clock().set({{2026, 12, 7}, 10, 0, 0});
    }
    void TearDown() override { app.closeDialogs(); }

    /// What a sync tool does: the other PC's file written beside and renamed into place.
    void replaceFromOutside(const std::string& name, const std::string& utf8) {
        app.writeFile(".syncthing.incoming.tmp", utf8);
        fs::rename(app.dir() / ".syncthing.incoming.tmp", app.dir() / fs::u8path(name));
    }
    int rows() { return app.find<ui::Grid>("msgDayList")->rowCount(); }
    /// Chooses the situation and types the values into the entry panel's boxes, in their order.
    void enter(const QString& situation, const QStringList& values) {
        auto* list = app.find<QListWidget>("lstAct");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->findItems(situation, Qt::MatchExactly).front()).center());
        const char* boxes[] = {"txtMaxInp", "txtMinInp", "txtMyakuInp", "txtTaiInp"};
        for (int i = 0; i < values.size(); ++i) {
            app.find<QLineEdit>(boxes[i])->setText(values[i]);
        }
    }
    QString notice() {
        const auto* bar = app.window().findChild<QStatusBar*>();
        return bar == nullptr ? QString() : bar->currentMessage();
    }
    template <typename Dialog>
    Dialog* shown() {
        for (Dialog* dialog : app.window().findChildren<Dialog*>()) {
            if (dialog->isVisible()) {
                return dialog;
            }
        }
        return nullptr;
    }
    bool inBackup(const std::string& name) { return fs::exists(app.dir() / "backup" / fs::u8path(name)); }

    TestApp app;
};

TEST_F(TwoPcs, AnotherPcsReadingAppearsWhatIsTypedStaysAndOwnSavesGiveNoNotice) {
    frmMain& window = app.start();
    ASSERT_TRUE(app.showActive());
    window.watchFolder();
    const int before = rows();
    enter("就寝前", {"135"});

    replaceFromOutside("データ.txt", kLog + "\"2026/12/07\",\"就寝前\",128,82,66,\"21:30:00\",0\n");
    replaceFromOutside("状況リスト.txt", "起床後\n就寝前\n散歩後\n");
    window.checkFolderNow();
    EXPECT_EQ(rows(), before + 1);
    EXPECT_EQ(app.listItems("lstAct"), (QStringList{"起床後", "就寝前", "散歩後"}));
    EXPECT_EQ(app.find<QLineEdit>("txtMaxInp")->text(), "135");
    const auto chosen = app.find<QListWidget>("lstAct")->selectedItems();
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.front()->text(), "就寝前");
    EXPECT_EQ(notice(), frmMain::OutsideChangeNotice);

    // The program's own save is no outside change.
    window.findChild<QStatusBar*>()->clearMessage();
    enter("起床後", {"135", "85", "70", "62"});
    app.click("cmdTaiHozon");
    ASSERT_EQ(rows(), before + 2) << app.readFile("データ.txt");
    window.checkFolderNow();
    EXPECT_EQ(notice(), QString());
    // The watch sees the folder by itself, after a short pause.
    replaceFromOutside("データ.txt", kLog + "\"2026/12/07\",\"就寝前\",128,82,66,\"21:30:00\",0\n" +
                                         "\"2026/12/07\",\"起床後\",135,85,70,\"\",62\n" +
                                         "\"2026/12/07\",\"就寝前\",118,76,61,\"\",0\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return rows() == before + 3; }, 5000));
    EXPECT_EQ(notice(), frmMain::OutsideChangeNotice);
}

TEST_F(TwoPcs, ASaveDecidesOnTheLogAsItIsNotAsTheScreenWasBuilt) {
    app.start();
    // Another PC's reading of a later day arrives before the screen has been built anew.
    replaceFromOutside("データ.txt", kLog + "\"2026/12/08\",\"起床後\",126,82,66,\"\",0\n");
    enter("就寝前", {"135", "85", "70", "62"});
    app.click("cmdTaiHozon");
    // The reading of 2026/12/07 goes before the later day's, not after it.
    const std::string log = app.readFile("データ.txt");
    EXPECT_TRUE(
        log.ends_with("\"2026/12/07\",\"就寝前\",135,85,70,\"\",62\r\n\"2026/12/08\",\"起床後\",126,82,66,\"\",0\r\n"))
        << log;
}

TEST_F(TwoPcs, TheLogsConflictCopyIsMergedThroughThePreviewAndKeptInBackup) {
    app.writeFile(kLogCopy, kLog + "\"2026/12/07\",\"就寝前\",128,82,66,\"21:30:00\",0\n");
    frmMain& window = app.start();
    ASSERT_TRUE(app.showActive());
    app.dialogs().clear();
    app.dialogs().queueAnswer(ui::Answer::Yes);
    window.watchFolder();
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    const QString question = app.dialogs().records().front().text;
    EXPECT_TRUE(question.contains(QString::fromStdString(kLogCopy) + "（データ.txt のコピー、日記にない測定 1 件）"))
        << question.toStdString();
    ImportWindow* preview = shown<ImportWindow>();
    ASSERT_NE(preview, nullptr);
    QTest::mouseClick(preview->findChild<QPushButton*>("cmdImportOk"), Qt::LeftButton);
    QTest::qWait(20);
    EXPECT_EQ(
        app.readFile("データ.txt"),
        "\"2026/12/01\",\"はじめの一歩\",120,80,70,,62.5\r\n\"2026/12/07\",\"起床後\",131,84,68,\"7:05:09\",62.4\r\n"
        "\"2026/12/07\",\"就寝前\",128,82,66,\"21:30:00\",0\r\n");
    EXPECT_FALSE(app.exists(kLogCopy));
    EXPECT_TRUE(inBackup(kLogCopy));
    EXPECT_NE(app.readFile("backup/控え一覧.txt").find(kLogCopy + "\",\"競合コピー\""), std::string::npos);
}

TEST_F(TwoPcs, SideFileCopiesMergeByUnionOrChoiceAndDeclinedCopiesAreSetAside) {
    app.writeFile("マーカー.TXT", "0\n");
    app.writeFile("状況リスト-LAPTOP.txt", "就寝前\n散歩後\n");
    app.writeFile("マーカー-LAPTOP.TXT", "2\n");
    frmMain& window = app.start();
    ASSERT_TRUE(app.showActive());
    app.dialogs().queueAnswer(ui::Answer::Yes);
    window.watchFolder();
    SideFileChoice* choice = shown<SideFileChoice>();
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->findChild<QPlainTextEdit*>("txtConflictOurs")->toPlainText(), "0\n");
    EXPECT_EQ(choice->findChild<QPlainTextEdit*>("txtConflictCopy")->toPlainText(), "2\n");
    QTest::mouseClick(choice->findChild<QPushButton*>("cmdKeepCopy"), Qt::LeftButton);
    QTest::qWait(20);
    EXPECT_EQ(app.readFile("マーカー.TXT"), "2\r\n");
    EXPECT_EQ(window.state().markerMode, 2);
    EXPECT_EQ(app.readFile("状況リスト.txt"), "起床後\r\n就寝前\r\n散歩後\r\n");
    EXPECT_EQ(app.listItems("lstAct"), (QStringList{"起床後", "就寝前", "散歩後"}));
    EXPECT_TRUE(inBackup("状況リスト-LAPTOP.txt"));
    EXPECT_TRUE(inBackup("マーカー-LAPTOP.TXT"));

    // Declined: nothing merged, the copy set aside all the same.
    app.writeFile("気付きメモ-LAPTOP.txt", "ほかのパソコンのメモ\n");
    app.dialogs().queueAnswer(ui::Answer::No);
    window.checkFolderNow();
    EXPECT_FALSE(app.exists("気付きメモ.txt"));
    EXPECT_TRUE(inBackup("気付きメモ-LAPTOP.txt"));
    // Later: left where it is.
    app.writeFile("気付きメモ-DESKTOP.txt", "メモ\n");
    app.dialogs().queueAnswer(ui::Answer::Cancel);
    window.checkFolderNow();
    EXPECT_TRUE(app.exists("気付きメモ-DESKTOP.txt"));
}

TEST_F(TwoPcs, OnOnePcNothingIsAskedShownOrRewritten) {
    app.useSample();
    const auto stamps = [&] {
        std::map<fs::path, sora::FileStamp> all;
        for (const auto& entry : fs::recursive_directory_iterator(app.dir())) {
            all[entry.path()] = sora::stamp_of(entry.path());
        }
        return all;
    };
    const auto before = stamps();
    frmMain& window = app.start();
    app.dialogs().clear();  // the sample's own notice
    window.watchFolder();
    window.buildAllScreens();
    window.checkFolderNow();
    QTest::qWait(400);
    EXPECT_TRUE(app.dialogs().records().empty()) << app.dialogs().records().front().text.toStdString();
    EXPECT_EQ(window.findChild<QStatusBar*>(), nullptr);
    EXPECT_TRUE(stamps() == before) << "a file in the data folder was made or rewritten";
}

}  // namespace
