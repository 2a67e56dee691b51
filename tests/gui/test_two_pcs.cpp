// One diary on two PCs through a sync tool: another PC's changes shown while the program runs (what is typed stays),
// conflict copies merged on 統合 or set aside, and a diary on one PC as before: nothing asked, shown or rewritten.
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
constexpr const char* kLogCopy = "データ.sync-conflict-20261207-235123-I3I3VSL.txt";

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
    bool inBackup(const std::string& name) { return fs::exists(app.dir() / "backup" / fs::u8path(name)); }

    TestApp app;
};

TEST_F(TwoPcs, AnotherPcsChangesAreShownWhatIsTypedStaysAndASaveGoesOnTheLogAsItIs) {
    frmMain& window = app.start();
    ASSERT_TRUE(app.showActive());
    // Another PC's reading of a later day arrives before the screen has been built anew: the save goes before it.
    replaceFromOutside("データ.txt", kLog + "\"2026/12/08\",\"起床後\",126,82,66,\"\",0\n");
    enter("就寝前", {"135", "85", "70", "62"});
    app.click("cmdTaiHozon");
    EXPECT_TRUE(app.readFile("データ.txt")
                    .ends_with("\"就寝前\",135,85,70,\"\",62\r\n\"2026/12/08\",\"起床後\",126,82,66,\"\",0\r\n"));

    window.watchFolder();
    const int before = rows();
    enter("就寝前", {"135"});
    replaceFromOutside("データ.txt",
                       kLog + "\"2026/12/07\",\"就寝前\",135,85,70,,62\n\"2026/12/07\",\"就寝前\",128,82,66,,0\n");
    replaceFromOutside("状況リスト.txt", "起床後\n就寝前\n散歩後\n");
    window.checkFolderNow();
    EXPECT_EQ(rows(), before + 1);
    EXPECT_EQ(app.listItems("lstAct"), (QStringList{"起床後", "就寝前", "散歩後"}));
    EXPECT_EQ(app.find<QLineEdit>("txtMaxInp")->text(), "135");
    const auto chosen = app.find<QListWidget>("lstAct")->selectedItems();
    EXPECT_TRUE(chosen.size() == 1 && chosen.front()->text() == "就寝前");
    EXPECT_EQ(window.statusBar()->currentMessage(), frmMain::OutsideChangeNotice);

    // The program's own save is no outside change.
    window.statusBar()->clearMessage();
    enter("起床後", {"135", "85", "70", "62"});
    app.click("cmdTaiHozon");
    ASSERT_EQ(rows(), before + 2);
    window.checkFolderNow();
    EXPECT_EQ(window.statusBar()->currentMessage(), QString());
}

TEST_F(TwoPcs, CopiesMergedThroughThePreviewByUnionOrByChoiceSetAsideOrLeft) {
    app.writeFile(kLogCopy, kLog + "\"2026/12/07\",\"就寝前\",128,82,66,\"21:30:00\",0\n");
    app.writeFile("マーカー.TXT", "0\n");
    app.writeFile("マーカー-LAPTOP.TXT", "2\n");
    app.writeFile("状況リスト-LAPTOP.txt", "就寝前\n散歩後\n");
    app.dialogs().queueAnswer(ui::Answer::Yes);
    frmMain& window = app.start();
    ASSERT_TRUE(app.showActive());
    window.watchFolder();
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_TRUE(app.dialogs().records().front().text.contains(QString(kLogCopy) +
                                                              "（データ.txt のコピー、日記にない測定 1 件）"));
    auto* preview = window.findChild<ImportWindow*>();
    ASSERT_TRUE(preview != nullptr && preview->isVisible());
    QTest::mouseClick(preview->findChild<QPushButton*>("cmdImportOk"), Qt::LeftButton);
    QTest::qWait(20);
    // The copy is the diary and the reading it lacked.
    EXPECT_EQ(app.readFile("データ.txt"), app.readFile("backup/" + std::string(kLogCopy)));
    auto* choice = window.findChild<SideFileChoice*>();
    ASSERT_TRUE(choice != nullptr && choice->isVisible());
    EXPECT_EQ(choice->findChild<QPlainTextEdit*>("txtConflictOurs")->toPlainText(), "0\n");
    EXPECT_EQ(choice->findChild<QPlainTextEdit*>("txtConflictCopy")->toPlainText(), "2\n");
    QTest::mouseClick(choice->findChild<QPushButton*>("cmdKeepCopy"), Qt::LeftButton);
    QTest::qWait(20);
    EXPECT_EQ(window.state().markerMode, 2);
    EXPECT_EQ(app.listItems("lstAct"), (QStringList{"起床後", "就寝前", "散歩後"}));
    for (const char* copy : {kLogCopy, "マーカー-LAPTOP.TXT", "状況リスト-LAPTOP.txt"}) {
        EXPECT_TRUE(!app.exists(copy) && inBackup(copy)) << copy;
    }
    EXPECT_NE(app.readFile("backup/控え一覧.txt").find(kLogCopy + std::string("\",\"競合コピー\"")), std::string::npos);

    // いいえ sets the copy aside unmerged; キャンセル leaves it where it is.
    for (const auto& [answer, copy] :
         {std::pair{ui::Answer::No, "気付きメモ-LAPTOP.txt"}, {ui::Answer::Cancel, "気付きメモ-DESKTOP.txt"}}) {
        app.writeFile(copy, "ほかのパソコンのメモ\n");
        app.dialogs().queueAnswer(answer);
        window.checkFolderNow();
        EXPECT_EQ(app.exists(copy), answer == ui::Answer::Cancel) << copy;
        EXPECT_EQ(inBackup(copy), answer == ui::Answer::No) << copy;
    }
    EXPECT_FALSE(app.exists("気付きメモ.txt"));
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
