// ファイルから取り込み through the shown window: the file dialog, the preview with its counts and rows, ticking a
// questionable row, the mapping step of an unknown CSV, 取り込む as one change that one undo takes back, and
// キャンセル that writes nothing.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "core/files/log_backups.h"
#include "core/rules/entry_rules.h"
#include "import/import_window.h"
#include "test_app.h"

namespace {

const std::string kLog =
    "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\n"
    "\"2005/02/02\",\"起床後\",130,85,72,\"7:05:00\",62\n"
    "\"2005/02/20\",\"就寝前\",125,80,68,\"夕食は魚\",61.5\n";

const std::string kOmron =
    "\"Measurement Date\",\"Timezone\",\"SYS(mmHg)\",\"DIA(mmHg)\",\"Pulse(bpm)\"\n"
    "\"2005/02/02 07:05\",\"Asia/Tokyo\",\"130\",\"85\",\"72\"\n"  // in the diary
    "\"2005/02/10 06:50\",\"Asia/Tokyo\",\"131\",\"84\",\"66\"\n"  // morning
    "\"2005/02/10 13:20\",\"Asia/Tokyo\",\"122\",\"80\",\"70\"\n"  // neither: 取り込み
    "\"2005/02/21 21:40\",\"Asia/Tokyo\",\"118\",\"76\",\"61\"\n"  // evening, after the last record
    "\"2005/02/22 07:00\",\"Asia/Tokyo\",\"310\",\"80\",\"60\"\n"  // questionable
    "\"2005/02/23 07:00\",\"Asia/Tokyo\",\"x\",\"80\",\"60\"\n";   // unreadable

class ImportWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.writeFile("データ.txt", kLog);
        app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
        app.writeFile("状況リスト.txt", "起床後\n夕食後\n就寝前\n");
        app.start();
        ASSERT_TRUE(app.showActive());
        app.dialogs().clear();
    }
    void TearDown() override { app.closeDialogs(); }

    std::string writeImportFile(const std::string& name, const std::string& bytes) {
        const std::filesystem::path path = app.dir().parent_path() / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    /// Opens the settings screen, clicks ファイルから取り込み and picks the file in the dialog.
    ImportWindow* openImport(const std::string& path) {
        app.click("cmdSettei");
        app.dialogs().queueOpenFileName(QString::fromStdString(path));
        app.click("cmdImport");
        for (ImportWindow* window : app.window().findChildren<ImportWindow*>()) {
            if (window->isVisible()) {
                return window;
            }
        }
        return nullptr;
    }
    static QString text(ImportWindow* window, const char* label) { return window->findChild<QLabel*>(label)->text(); }
    /// Each row as "status date situation" and a tick mark.
    static std::vector<std::string> rows(ImportWindow* window) {
        const QAbstractItemModel* model = window->findChild<QTableView*>("grdImport")->model();
        std::vector<std::string> out;
        for (int r = 0; r < model->rowCount(); ++r) {
            const QVariant tick = model->index(r, 0).data(Qt::CheckStateRole);
            const QString mark = !tick.isValid() ? "-" : tick.toInt() == Qt::Checked ? "x" : "o";
            out.push_back((mark + " " + model->index(r, 2).data().toString() + " " +
                           model->index(r, 3).data().toString() + " " + model->index(r, 5).data().toString())
                              .toStdString());
        }
        return out;
    }
    void click(ImportWindow* window, const char* name) {
        QTest::mouseClick(window->findChild<QPushButton*>(name), Qt::LeftButton);
    }

    TestApp app;
};

TEST_F(ImportWindowTest, PreviewImportAndOneUndo) {
    sora::BackupClockOverride clockInForce(app.clock());
    const std::string before = app.readBytes("データ.txt");
    ImportWindow* window = openImport(writeImportFile("omron.csv", kOmron));
    ASSERT_NE(window, nullptr) << "no preview shown";
    EXPECT_EQ(app.dialogs().records().back().defaultText.isEmpty(), false);  // the dialog opened in a folder
    EXPECT_EQ(text(window, "lblImportFile"), "ファイル: omron.csv（OMRON connect のCSV、UTF-8）");
    EXPECT_EQ(text(window, "lblImportCounts"), "追加 3 件　登録済み 1 件　要確認 1 件　読めない 1 件　→ 取り込む 3 件");
    EXPECT_EQ(rows(window), (std::vector<std::string>{"- 登録済み 2005/02/02 起床後", "x 追加 2005/02/10 起床後",
                                                      "x 追加 2005/02/10 取り込み", "x 追加 2005/02/21 就寝前",
                                                      "o 要確認 2005/02/22 起床後", "- 読めない 2005/02/23 起床後"}));

    // The questionable row goes in only when ticked; the evening rule moved to 21:00 makes 21:40 still evening.
    QAbstractItemModel* model = window->findChild<QTableView*>("grdImport")->model();
    ASSERT_TRUE(model->setData(model->index(4, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(text(window, "lblImportCounts"), "追加 3 件　登録済み 1 件　要確認 1 件　読めない 1 件　→ 取り込む 4 件");
    click(window, "cmdImportOk");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(app.readFile("データ.txt"),
              "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\r\n"
              "\"2005/02/02\",\"起床後\",130,85,72,\"7:05:00\",62\r\n"
              "\"2005/02/10\",\"起床後\",131,84,66,\"6:50:00\",0\r\n"
              "\"2005/02/10\",\"取り込み\",122,80,70,\"13:20:00\",0\r\n"
              "\"2005/02/20\",\"就寝前\",125,80,68,\"夕食は魚\",61.5\r\n"
              "\"2005/02/21\",\"就寝前\",118,76,61,\"21:40:00\",0\r\n"
              "\"2005/02/22\",\"起床後\",310,80,60,\"7:00:00\",0\r\n");
    EXPECT_EQ(app.readFile("状況リスト.txt"), "起床後\r\n夕食後\r\n就寝前\r\n取り込み\r\n");
    EXPECT_EQ(app.readBytes("backup/データ_20050301_101500.txt"), before);
    EXPECT_EQ(app.dialogs().records().back().text,
              "4 件の測定を取り込みました。\r\n取り込み全体は Ctrl+Z（元に戻す）で取り消せます。");

    // One undo takes the whole import back, the situation list too.
    app.dialogs().queueAnswer(ui::Answer::Ok);
    QApplication::setActiveWindow(&app.window());
    auto* button = app.find<QPushButton>("cmdMain");
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(app.readBytes("データ.txt"), before);
    EXPECT_EQ(app.readFile("状況リスト.txt"), "起床後\r\n夕食後\r\n就寝前\r\n");
}

TEST_F(ImportWindowTest, CancelWritesNothingAndBadFilesSayWhy) {
    const std::string before = app.readBytes("データ.txt");
    ImportWindow* window = openImport(writeImportFile("omron.csv", kOmron));
    ASSERT_NE(window, nullptr);
    click(window, "cmdImportCancel");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(app.readBytes("データ.txt"), before);
    EXPECT_FALSE(std::filesystem::exists(app.dir() / "backup"));

    app.dialogs().clear();
    EXPECT_EQ(openImport(writeImportFile("empty.csv", "")), nullptr);
    ASSERT_FALSE(app.dialogs().records().empty());
    EXPECT_EQ(app.dialogs().records().back().text, "「empty.csv」は空のファイルです。");
    EXPECT_EQ(app.readBytes("データ.txt"), before);
}

TEST_F(ImportWindowTest, TheBusyBoxStopsTheReading) {
    // An export of about 80 MB takes the reader a second or so: long enough to be stopped.
    const std::filesystem::path big = app.dir().parent_path() / "export.xml";
    {
        std::ofstream out(big, std::ios::binary);
        out << "<?xml version=\"1.0\"?>\n<HealthData>\n";
        const std::string rate =
            "<Record type=\"HKQuantityTypeIdentifierHeartRate\" startDate=\"2005-02-10 07:00:00 "
            "+0900\" value=\"66\"/>\n";
        for (std::size_t written = 0; written < (80u << 20); written += rate.size()) {
            out << rate;
        }
        out << "</HealthData>\n";
    }
    bool clicked = false;
    QTimer::singleShot(50, [&] {
        auto* box = app.window().findChild<QProgressDialog*>("prgImportRead");
        ASSERT_NE(box, nullptr) << "no busy box";
        auto* cancel = box->findChild<QPushButton*>();
        ASSERT_NE(cancel, nullptr) << "the busy box has no キャンセル";
        EXPECT_EQ(cancel->text(), "キャンセル");
        cancel->click();
        clicked = true;
    });
    EXPECT_EQ(openImport(big.string()), nullptr) << "the preview opened although the reading was stopped";
    EXPECT_TRUE(clicked) << "the reading ended before the box could be used";
    for (const auto& record : app.dialogs().records()) {
        EXPECT_NE(record.kind, ui::ScriptedDialogs::Record::Kind::Message) << "a stop the user chose needs no message";
    }
    std::filesystem::remove(big);
}

TEST_F(ImportWindowTest, AnUnknownCsvIsMappedInTheWindow) {
    ImportWindow* window = openImport(writeImportFile("mine.tsv", "a\tb\tc\n2005/02/11 08:00\t80\t128\n"));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->findChild<QWidget*>("grpImportMapping")->isVisibleTo(window));
    EXPECT_EQ(window->findChild<QComboBox*>("cboImportSeparator")->currentText(), "タブ");
    EXPECT_FALSE(window->findChild<QPushButton*>("cmdImportOk")->isEnabled());
    EXPECT_EQ(text(window, "lblImportMessage"),
              "列の割り当てを決めてください。最高血圧・最低血圧などの値の列を選んでください。");
    window->findChild<QComboBox*>("cboImportRole1")->setCurrentText("最低血圧");
    window->findChild<QComboBox*>("cboImportRole2")->setCurrentText("最高血圧");
    EXPECT_EQ(rows(window), std::vector<std::string>{"x 追加 2005/02/11 起床後"});
    EXPECT_TRUE(window->findChild<QPushButton*>("cmdImportOk")->isEnabled());
    // One situation for the whole file.
    window->findChild<QComboBox*>("cboImportWhole")->setCurrentText("夕食後");
    window->findChild<QCheckBox*>("chkImportWhole")->setChecked(true);
    EXPECT_EQ(rows(window), std::vector<std::string>{"x 追加 2005/02/11 夕食後"});
}

TEST_F(ImportWindowTest, UnknownHeadingsAndDayFirstDatesMappedBoxByBox) {
    // The same file as the command line's mapping test reads with --map and --date-order dmy.
    ImportWindow* window = openImport(writeImportFile(
        "pressure.csv", "x;y;z;w\n05.02.2005;07:10;131;83\n06.02.2005;21:30;127;81\n06.02.2005;22:00;;\n"));
    ASSERT_NE(window, nullptr);
    // One role box over each column, in the grid's first row.
    auto* grid = window->findChild<QTableWidget*>("grdImportMapping");
    ASSERT_EQ(grid->columnCount(), 4);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(grid->cellWidget(0, c), window->findChild<QComboBox*>(QString("cboImportRole%1").arg(c))) << c;
    }
    window->findChild<QComboBox*>("cboImportRole2")->setCurrentText("最高血圧");
    window->findChild<QComboBox*>("cboImportRole3")->setCurrentText("最低血圧");
    // 05.02 and 06.02 read day first and month first alike: asked, never guessed.
    EXPECT_EQ(text(window, "lblImportMessage"),
              "日付の順を選んでください（「05.02.2005」は日月年とも月日年とも読めます）。");
    EXPECT_EQ(window->findChild<QComboBox*>("cboImportDateOrder")->currentIndex(), 0);
    EXPECT_FALSE(window->findChild<QPushButton*>("cmdImportOk")->isEnabled());
    window->findChild<QComboBox*>("cboImportDateOrder")->setCurrentText("日月年");
    EXPECT_EQ(rows(window), (std::vector<std::string>{"x 追加 2005/02/05 起床後", "x 追加 2005/02/06 就寝前"}));
    EXPECT_EQ(text(window, "lblImportMessage"), "血圧のない行 1 行は取り込みません");
    // The role boxes keep the user's choice while the file is read again.
    EXPECT_EQ(window->findChild<QComboBox*>("cboImportRole2")->currentText(), "最高血圧");
}

TEST_F(ImportWindowTest, EnterInThePreviewNeverImports) {
    const std::string before = app.readBytes("データ.txt");
    ImportWindow* window = openImport(writeImportFile("omron.csv", kOmron));
    ASSERT_NE(window, nullptr);
    auto* table = window->findChild<QTableView*>("grdImport");
    QApplication::setActiveWindow(window);
    EXPECT_EQ(QApplication::focusWidget(), table);
    auto* ok = window->findChild<QPushButton*>("cmdImportOk");
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_FALSE(ok->isDefault() || ok->autoDefault());
    QTest::keyClick(table, Qt::Key_Return);
    QTest::keyClick(table, Qt::Key_Enter);
    QTest::keyClick(window, Qt::Key_Return);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(app.readBytes("データ.txt"), before);
    // Its access key does.
    QTest::keyClick(window, Qt::Key_I, Qt::AltModifier);
    // An access key clicks the button as a click shows it, after a moment.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 2000));
    EXPECT_NE(app.readBytes("データ.txt"), before);
}

TEST_F(ImportWindowTest, ALogChangedAfterThePreviewIsNotOverwritten) {
    ImportWindow* window = openImport(writeImportFile("omron.csv", kOmron));
    ASSERT_NE(window, nullptr);
    // Another program (or a hand edit) changes the log while the preview is open.
    app.writeFile("データ.txt", kLog + "\"2005/02/25\",\"起床後\",120,80,60,\"\",61\n");
    const std::string changed = app.readBytes("データ.txt");
    app.dialogs().clear();
    click(window, "cmdImportOk");
    EXPECT_EQ(app.readBytes("データ.txt"), changed);
    EXPECT_EQ(app.readFile("状況リスト.txt"), "起床後\r\n夕食後\r\n就寝前\r\n");
    ASSERT_FALSE(app.dialogs().records().empty());
    EXPECT_EQ(app.dialogs().records().front().title, "取り込みエラー");
    EXPECT_FALSE(window->isVisible());
}

TEST(ImportWindowSample, TheSampleDiaryIsNeverImportedInto) {
    TestApp app;
    app.useSample();
    app.start();
    app.dialogs().clear();
    app.click("cmdSettei");
    app.dialogs().clear();
    app.dialogs().queueOpenFileName(QString("/nonexistent.csv"));
    app.click("cmdImport");
    // The entry panel's refusal, and no file dialog.
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_EQ(app.dialogs().records()[0].title.toStdString(), sora::sample_diary_message().title);
    EXPECT_TRUE(app.window().findChildren<ImportWindow*>().isEmpty());
}

}  // namespace
