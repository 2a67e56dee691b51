// Start-up, screen switching, the help tour and the help window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <utility>
#include <vector>

#include "core/files/side_files.h"
#include "core/files/text_codec.h"
#include "core/files/writer_lock.h"
#include "settings/settings_screen.h"
#include "test_app.h"
#include "ui/grid.h"
#include "ui/help_viewer.h"
#include "views/diary_screen.h"
#include "views/filter_screen.h"

namespace {

const char* const kScreenButtons[] = {"cmdTaijyu", "cmdAvgtai", "cmdBunseki", "cmdCale",
                                      "cmdRentai", "cmdMemo",   "cmdSettei",  "cmdMain"};
const char* const kFrames[] = {"fraTaijyu", "fraAvgTai", "fraBunseki", "fraCale",
                               "fraRenTai", "fraMemo",   "fraSettei",  "fraMain"};

void writeOwnDiary(TestApp& app, const std::string& name) {
    app.writeFile("データ.txt", "\"2005/02/20\",\"はじめの一歩\",126,80,70,,62.5\n");
    app.writeFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt", "\"氏名\",\"" + name + "\"\n");
    app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
    app.writeFile("状況リスト.txt", "起床後\n");
}

}  // namespace

TEST(StartUp, SampleDiaryStartsOnTheSampleDayWithOneMessage) {
    TestApp app;
    app.useSample();
    frmMain& window = app.start();

    EXPECT_TRUE(window.state().sampleMode);
    EXPECT_EQ(window.state().selectedDate, "2005/02/09");
    int sampleMessages = 0;
    for (const auto& record : app.dialogs().records()) {
        if (record.title == "サンプル表示") {
            ++sampleMessages;
            EXPECT_EQ(record.text, "サンプルとして2005年02月09日のデータを表示させています。");
            EXPECT_EQ(record.icon, ui::Icon::Information);
        }
    }
    EXPECT_EQ(sampleMessages, 1);
    // The sample has the help tour on: the main screen's explanation follows the sample message.
    ASSERT_FALSE(app.dialogs().records().empty());
    EXPECT_EQ(app.dialogs().records().back().title, "ヘルプツアー");
    EXPECT_EQ(app.dialogs().records().back().text, frmMain::mainHelpText());
    EXPECT_FALSE(app.find<QWidget>("fraMain")->isHidden());
}

TEST(StartUp, OwnDiaryStartsTodayWithoutMessagesAndTitles) {
    TestApp app;
    writeOwnDiary(app, "花子");
    frmMain& window = app.start();
    EXPECT_FALSE(window.state().sampleMode);
    EXPECT_EQ(window.state().selectedDate, "2005/03/01");
    EXPECT_TRUE(app.dialogs().records().empty());
    EXPECT_EQ(window.windowTitle(), " 花子 の ソラノート＋");

    TestApp unnamed;
    writeOwnDiary(unnamed, "");
    EXPECT_EQ(unnamed.start().windowTitle(), " ソラノート＋");
}

TEST(StartUp, SampleDateWithAnotherNameIsNotSampleMode) {
    TestApp app;
    app.useSample();
    app.writeFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt", "\"氏名\",\"太郎\"\n");
    EXPECT_FALSE(app.start().state().sampleMode);
}

TEST(StartUp, MainHelpTextHasItsBlankLines) {
    const QString text = frmMain::mainHelpText();
    EXPECT_TRUE(text.startsWith("ソラノート＋に興味をもっていただきありがとうございます。(^o^)／\r\n\r\nこのソフトは"));
    EXPECT_TRUE(text.contains("促します。 \r\n\r\n<入力方法>\r\n①"));
    EXPECT_TRUE(text.endsWith("血圧判定表と推移グラフの切り替えができます。\r\n"));
    EXPECT_EQ(text.count("\r\n"), 13 + 7);
}

TEST(HelpTour, CheckBoxWritesTheSettingAndSurvivesARestart) {
    TestApp app;
    writeOwnDiary(app, "花子");
    app.start();
    auto* box = app.find<QCheckBox>("chkHelp");
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isChecked());
    // Loading set the box without rewriting the file.
    EXPECT_EQ(app.readFile("設定.txt"), "\"ヘルプツアー\",0\r\n");

    box->click();
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_EQ(app.dialogs().records()[0].title, "ヘルプツアーＯＮ");
    EXPECT_EQ(app.dialogs().records()[0].text, "ヘルプツアー機能をオンにします。");
    EXPECT_EQ(app.readFile("設定.txt"), "\"ヘルプツアー\",1\r\n");

    // With the tour on, opening a screen explains it once.
    app.dialogs().clear();
    app.click("cmdCale");
    EXPECT_EQ(app.dialogTitles(), std::vector<QString>{"ヘルプツアー"});

    app.restart();
    EXPECT_TRUE(app.find<QCheckBox>("chkHelp")->isChecked());
    app.dialogs().clear();
    app.find<QCheckBox>("chkHelp")->click();
    ASSERT_FALSE(app.dialogs().records().empty());
    EXPECT_EQ(app.dialogs().records()[0].title, "ヘルプツアーＯＦＦ");
    EXPECT_EQ(app.readFile("設定.txt"), "\"ヘルプツアー\",0\r\n");

    app.dialogs().clear();
    app.click("cmdRentai");
    EXPECT_TRUE(app.dialogs().records().empty());
}

TEST(Screens, EveryButtonShowsExactlyItsOwnFrame) {
    TestApp app;
    writeOwnDiary(app, "花子");
    app.start();
    for (std::size_t i = 0; i < std::size(kScreenButtons); ++i) {
        app.click(kScreenButtons[i]);
        for (std::size_t j = 0; j < std::size(kFrames); ++j) {
            auto* frame = app.find<QWidget>(kFrames[j]);
            ASSERT_NE(frame, nullptr);
            EXPECT_EQ(!frame->isHidden(), i == j) << kScreenButtons[i] << " / " << kFrames[j];
        }
    }
}

TEST(Screens, ButtonCaptionsAndToolTips) {
    TestApp app;
    writeOwnDiary(app, "");
    app.start();
    // The tool tips verbatim, the shortcut key after them; cmdMain, which has none, shows only the key.
    const std::vector<std::tuple<const char*, QString, QString>> expected = {
        {"cmdMain", "メイン", "Alt+1"},
        {"cmdTaijyu", "範囲指定", "表示条件を指定できます（Alt+2）"},
        {"cmdAvgtai", "日平均", "日の平均データを表示します（Alt+3）"},
        {"cmdBunseki", "並び替え", "各種データを並び替え表示します（Alt+4）"},
        {"cmdCale", "カレンダー", "血圧判定把握カレンダーを表示します（Alt+5）"},
        {"cmdRentai", "全グラフ", "現在までの血圧変動グラフを表示します（Alt+6）"},
        {"cmdMemo", "一言日記", "ちょっとした日記を表示します（Alt+7）"},
        {"cmdSettei", "編集", "編集画面を表示します（Alt+8）"},
        {"cmdHelp", "ヘルプ", "ヘルプファイルを開きます（F1）"},
        {"cmdOwari", "終了", "プログラムを終了します（Ctrl+Q）"},
    };
    for (const auto& [name, caption, tip] : expected) {
        auto* button = app.find<QPushButton>(name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), caption) << name;
        EXPECT_EQ(button->toolTip(), tip) << name;
    }
}

TEST(Screens, ListsShowWholeRowsWithTheNewestInView) {
    // 40 records, the last 12 on the clock's day: every list scrolls to its newest rows.
    TestApp app;
    std::string log;
    for (int i = 0; i < 40; ++i) {
        const int day = i < 28 ? i + 1 : 0;
        const std::string date = day == 0 ? "2005/03/01" : QString::asprintf("2005/02/%02d", day).toStdString();
        log += "\"" + date + "\",\"起床後\"," + std::to_string(120 + i % 9) + ",80,70,\"\",62.5\n";
    }
    app.writeFile("データ.txt", log);
    app.writeFile("設定.txt", "\"ヘルプツアー\",0\n");
    app.writeFile("状況リスト.txt", "起床後\n");
    frmMain& window = app.start();
    window.show();
    const std::vector<std::pair<const char*, const char*>> lists = {{"cmdMain", "msgDayList"},
                                                                    {"cmdTaijyu", "msgBunseki"},
                                                                    {"cmdBunseki", "msgIchiran"},
                                                                    {"cmdMemo", "msgMemoList"}};

    // The top row starts at the top edge of the rows (not half under the heading row), the last row ends above the
    // bottom edge, and the list is scrolled.
    auto expectWholeRows = [](ui::Grid* grid, const std::string& where) {
        const int rows = grid->model()->rowCount();
        const int height = grid->viewport()->height();
        const QRect top = grid->visualRect(grid->model()->index(grid->rowAt(0), 0));
        const QRect last = grid->visualRect(grid->model()->index(rows - 1, 0));
        EXPECT_EQ(top.top(), 0) << where;
        EXPECT_GE(last.top(), 0) << where;
        EXPECT_LE(last.bottom(), height - 1) << where << ", viewport height " << height;
        EXPECT_GT(grid->topRow(), 1) << where;
    };
    for (const int height : {640, 667, 700, 733, 751, 769, 800}) {
        for (const auto& [button, name] : lists) {
            window.resize(1100, height);
            app.click("cmdCale");  // away, so that the list's button opens it afresh
            app.click(button);
            QCoreApplication::processEvents();
            auto* grid = app.find<ui::Grid>(name);
            ASSERT_NE(grid, nullptr);
            expectWholeRows(grid, std::string(name) + " opened at " + std::to_string(height));
            // The window made smaller afterwards: the newest rows stay in view.
            window.resize(1100, height - 37);
            QCoreApplication::processEvents();
            expectWholeRows(grid, std::string(name) + " opened at " + std::to_string(height) + ", then smaller");
        }
    }
}

TEST(StartUp, SampleInstalledUnderItsEarlierNameIsStillTheSample) {
    for (const char* name : {"サンプル", "ソラノート見本"}) {
        TestApp app;
        app.useSample();
        app.writeFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt", std::string("\"氏名\",\"") + name + "\"\n");
        EXPECT_TRUE(app.start().state().sampleMode) << name;
        EXPECT_EQ(app.window().windowTitle(), QString(" %1 の ソラノート＋").arg(name));
    }
}

TEST(Help, WindowOpensAtTheStartPageAndClosesAtExit) {
    TestApp app;
    writeOwnDiary(app, "");
    frmMain& window = app.start();
    app.click("cmdHelp");
    EXPECT_TRUE(window.helpViewer().isOpen());
    app.click("cmdOwari");
    EXPECT_FALSE(window.helpViewer().isOpen());
    EXPECT_TRUE(window.ended());
}

TEST(StartUp, MissingSideFilesFallBackQuietly) {
    TestApp app;
    app.writeFile("データ.txt", "\"2005/02/20\",\"はじめの一歩\",126,80,70,,62.5\n");
    frmMain& window = app.start();
    EXPECT_TRUE(app.dialogs().records().empty());
    EXPECT_EQ(window.windowTitle(), " ソラノート＋");
    EXPECT_EQ(window.state().helpTour, 0);
    EXPECT_NE(window.state().axes.autoScale, 0);
}

TEST(Screens, ABuiltLaterScreenShowsWhatTheLoadStepAndLaterChangesLeft) {
    TestApp app;
    writeOwnDiary(app, "山田");
    const sora::DataDir dir(app.dir());
    ASSERT_TRUE(sora::write_auto_time(dir, true));
    ASSERT_TRUE(sora::write_memo(dir, "塩分を控える"));
    frmMain& window = app.start();
    // Only the main screen exists after the load step.
    EXPECT_EQ(window.findChild<FilterScreen*>(), nullptr);
    EXPECT_EQ(window.findChild<SettingsScreen*>(), nullptr);
    EXPECT_EQ(window.findChild<DiaryScreen*>(), nullptr);

    // A situation added on the main screen before the other screens are built.
    app.dialogs().queueText(QString("ヨガの後"));
    app.dialogs().queueAnswer(ui::Answer::Yes);
    app.click("cmdFree");

    app.click("cmdTaijyu");
    auto* filterList = window.findChild<QListWidget*>("lstAct2");
    ASSERT_NE(filterList, nullptr);
    ASSERT_EQ(filterList->count(), 2);
    EXPECT_EQ(filterList->item(1)->text(), "ヨガの後");

    app.click("cmdSettei");
    auto* autoTime = window.findChild<QCheckBox*>("chkJikan");
    ASSERT_NE(autoTime, nullptr);
    EXPECT_TRUE(autoTime->isChecked());

    app.click("cmdMemo");
    auto* memo = window.findChild<QPlainTextEdit*>("txtKizuki");
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->toPlainText(), "塩分を控える");
    EXPECT_EQ(window.findChildren<DiaryScreen*>().size(), 1);  // built once, not again on the next opening
    app.click("cmdMain");
    app.click("cmdMemo");
    EXPECT_EQ(window.findChildren<DiaryScreen*>().size(), 1);
}

TEST(StartUp, ASecondCopyOnTheSameFolderEndsAndAMissingLogIsNotReplaced) {
    QTemporaryDir dir;
    const QString shots = dir.path() + "/shots";
    auto run = [&](QString& errors) {
        QProcess program;
        program.start(SORANOTE_PROGRAM, {"--data-dir", dir.path(), "--screenshot", shots});
        EXPECT_TRUE(program.waitForFinished(60000));
        errors = QString::fromUtf8(program.readAllStandardError());
        return program.exitCode();
    };
    // The user's own memo, but the log is gone: the program starts, says so and writes no log.
    const std::string memo = *sora::utf8_to_cp932("薬を変えた\r\n");
    QFile memoFile(dir.filePath("気付きメモ.txt"));
    ASSERT_TRUE(memoFile.open(QIODevice::WriteOnly));
    memoFile.write(memo.data(), static_cast<qint64>(memo.size()));
    memoFile.close();
    QString errors;
    EXPECT_EQ(run(errors), 0) << errors.toStdString();
    EXPECT_TRUE(errors.contains("データ.txt」が見つかりません")) << errors.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("データ.txt")));

    // While this process writes the folder, another copy ends at once and says why.
    const sora::WriterLock held(dir.path().toStdString());
    ASSERT_TRUE(held.held());
    EXPECT_EQ(run(errors), 1);
    EXPECT_TRUE(errors.contains("別のソラノート＋が使用中")) << errors.toStdString();
    EXPECT_TRUE(errors.contains("このソラノート＋は起動しません")) << errors.toStdString();
    EXPECT_FALSE(errors.contains("保存できません")) << errors.toStdString();
}

TEST(Shell, HelpOnTheCommandLineNeedsNoDisplay) {
    // As from a text console: no display and no platform chosen.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(name);
    }
    for (const char* option : {"--help", "-h"}) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(SORANOTE_PROGRAM, {option});
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << option;
        EXPECT_EQ(program.exitCode(), 0) << option;
        const QString help = QString::fromUtf8(program.readAllStandardOutput());
        EXPECT_TRUE(help.contains("--data-dir")) << option;
        // Japanese throughout, as the screens are.
        EXPECT_TRUE(help.contains("使い方")) << help.toStdString();
        EXPECT_FALSE(help.contains("Usage") || help.contains("Displays")) << help.toStdString();
    }
}
