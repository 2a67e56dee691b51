// The diary screen: the list, choosing a row, saving a diary text, the notice memo.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

#include "core/views/diary_view.h"
#include "test_app.h"
#include "ui/grid.h"
#include "ui/plain_text_box.h"

namespace {

const std::string kLog =
    "\"2005/02/01\",\"はじめの一歩\",120,80,70,,62.5\n"
    "\"2005/02/01\",\"起床時\",118.5,76,66,\"7:05:09\",62.4\n"
    "\"2005/02/02\",\"就寝前\",118,76,75,\"\",62\n"
    "\"2005/02/03\",\"起床時\",126,80,70,\"朝,散歩\",61.9\n";

void writeDiary(TestApp& app, const std::string& log, int helpTour = 0) {
    app.writeFile("データ.txt", log);
    app.writeFile("設定.txt", "\"ヘルプツアー\"," + std::to_string(helpTour) + "\n");
    app.writeFile("状況リスト.txt", "起床時\n就寝前\n");
    app.writeFile("ﾌﾟﾗｲﾍﾞｰﾄ.txt", "\"氏名\",\"花子\"\n");
    app.writeFile("気付きメモ.txt", "塩分を控える\n朝の散歩\n");
}

std::string manyRecords(int count) {
    std::string log = "\"2005/02/01\",\"はじめの一歩\",120,80,70,,62.5\n";
    for (int i = 1; i < count; ++i) {
        log += "\"2005/02/02\",\"起床時\"," + std::to_string(100 + i % 60) + ",70,66,\"\",62\n";
    }
    return log;
}

/// Clicks a cell of the grid as the user does.
void clickCell(ui::Grid* grid, int row, int column) {
    const QModelIndex index = grid->model()->index(row - 1, column);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
}

}  // namespace

TEST(DiaryScreen, OpeningListsEveryRecordWithButtonDisabled) {
    TestApp app;
    writeDiary(app, kLog, 1);
    app.start();
    app.dialogs().clear();
    app.click("cmdMemo");

    EXPECT_FALSE(app.find<QWidget>("fraMemo")->isHidden());
    ui::Grid* grid = app.find<ui::Grid>("msgMemoList");
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->rowCount(), 5);
    ASSERT_EQ(grid->columnCount(), 10);
    EXPECT_EQ(grid->text(0, 9), "一言日記");
    EXPECT_EQ(grid->columnWidthTwips(9), 5040);
    const QStringList row3 = {"3", "2005/02/02", "就寝前", "", "118", "76", "42", "75", "62", ""};
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(grid->text(3, c), row3[c]) << c;
    }
    EXPECT_EQ(grid->text(2, 4), "118.5");
    EXPECT_EQ(grid->text(4, 9), "朝,散歩");
    EXPECT_TRUE(grid->background(1, 3).isValid());

    EXPECT_FALSE(app.find<QPushButton>("cmdMemoHozon")->isEnabled());
    EXPECT_EQ(app.find<QPushButton>("cmdMemoHozon")->text(), "一言日記保存");
    EXPECT_EQ(app.find<QPushButton>("cmdKizukiHozon")->text(), "気付きメモ保存");
    bool entryLabel = false, memoLabel = false;
    for (QLabel* label : app.find<QWidget>("fraMemo")->findChildren<QLabel*>()) {
        entryLabel = entryLabel || label->text() == "一言入力欄 →";
        memoLabel = memoLabel || label->text() == "気付きメモ";
    }
    EXPECT_TRUE(entryLabel && memoLabel);
    // The memo of the start-up is in its box.
    EXPECT_EQ(app.find<QPlainTextEdit>("txtKizuki")->toPlainText(), "塩分を控える\n朝の散歩");

    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_EQ(app.dialogs().records()[0].title, "ヘルプツアー");
    EXPECT_EQ(app.dialogs().records()[0].text, QString::fromStdString(sora::diary_help_text()));
    app.click("cmdMemo");
    EXPECT_EQ(app.dialogs().records().size(), 1u);
}

TEST(DiaryScreen, RowClickAndSave) {
    TestApp app;
    writeDiary(app, kLog);
    app.start();
    app.click("cmdMemo");
    ui::Grid* grid = app.find<ui::Grid>("msgMemoList");
    auto* txtMemo = app.find<QLineEdit>("txtMemo");
    auto* save = app.find<QPushButton>("cmdMemoHozon");

    // Any column of the row gives the row's diary text.
    clickCell(grid, 2, 1);
    EXPECT_EQ(txtMemo->text(), "7:05:09");
    EXPECT_TRUE(save->isEnabled());
    EXPECT_EQ(grid->currentColumnIndex(), 9);
    clickCell(grid, 3, 5);
    EXPECT_EQ(txtMemo->text(), "");
    EXPECT_TRUE(save->isEnabled());

    txtMemo->setText("よく眠れた,薬\"半錠\"");
    app.click("cmdMemoHozon");
    EXPECT_TRUE(app.dialogs().records().empty());
    EXPECT_EQ(grid->text(3, 9), "よく眠れた,薬”半錠”");
    EXPECT_EQ(app.readFile("データ.txt"),
              "\"2005/02/01\",\"はじめの一歩\",120,80,70,\"\",62.5\r\n"
              "\"2005/02/01\",\"起床時\",118.5,76,66,\"7:05:09\",62.4\r\n"
              "\"2005/02/02\",\"就寝前\",118,76,75,\"よく眠れた,薬”半錠”\",62\r\n"
              "\"2005/02/03\",\"起床時\",126,80,70,\"朝,散歩\",61.9\r\n");

    // Enter in the box saves as well; a second save from the same list keeps the first.
    clickCell(grid, 1, 9);
    txtMemo->setText("");
    txtMemo->setText("スタート");
    QTest::keyClick(txtMemo, Qt::Key_Return);
    EXPECT_EQ(grid->text(1, 9), "スタート");
    EXPECT_EQ(app.readFile("データ.txt"),
              "\"2005/02/01\",\"はじめの一歩\",120,80,70,\"スタート\",62.5\r\n"
              "\"2005/02/01\",\"起床時\",118.5,76,66,\"7:05:09\",62.4\r\n"
              "\"2005/02/02\",\"就寝前\",118,76,75,\"よく眠れた,薬”半錠”\",62\r\n"
              "\"2005/02/03\",\"起床時\",126,80,70,\"朝,散歩\",61.9\r\n");
    EXPECT_TRUE(app.dialogs().records().empty());
}

TEST(DiaryScreen, EnterBeforeChoosingARowDoesNothing) {
    TestApp app;
    writeDiary(app, kLog);
    app.start();
    app.click("cmdMemo");
    const std::string before = app.readBytes("データ.txt");
    app.find<QLineEdit>("txtMemo")->setText("行を選んでいない");
    QTest::keyClick(app.find<QLineEdit>("txtMemo"), Qt::Key_Return);
    EXPECT_EQ(app.readBytes("データ.txt"), before);
}

TEST(DiaryScreen, UnstorableTextIsRefusedWithAMessage) {
    TestApp app;
    writeDiary(app, kLog);
    app.start();
    app.click("cmdMemo");
    const std::string before = app.readBytes("データ.txt");
    clickCell(app.find<ui::Grid>("msgMemoList"), 2, 9);
    app.find<QLineEdit>("txtMemo")->setText("楽しい😀");
    app.click("cmdMemoHozon");
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_TRUE(app.dialogs().records()[0].text.contains("😀"));
    EXPECT_EQ(app.readBytes("データ.txt"), before);
    EXPECT_EQ(app.find<ui::Grid>("msgMemoList")->text(2, 9), "7:05:09");
}

TEST(DiaryScreen, LogChangedElsewhereIsNotOverwritten) {
    TestApp app;
    writeDiary(app, kLog);
    app.start();
    app.click("cmdMemo");
    clickCell(app.find<ui::Grid>("msgMemoList"), 2, 9);
    // Another copy of the program saved a measurement meanwhile.
    const std::string changed = kLog + "\"2005/02/04\",\"就寝前\",121,77,68,\"\",61.8\n";
    app.writeFile("データ.txt", changed);
    const std::string before = app.readBytes("データ.txt");
    app.find<QLineEdit>("txtMemo")->setText("消さないで");
    app.click("cmdMemoHozon");

    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_EQ(app.dialogs().records()[0].icon, ui::Icon::Warning);
    EXPECT_TRUE(app.dialogs().records()[0].text.contains("データファイルが他で変更されています"));
    EXPECT_EQ(app.readBytes("データ.txt"), before);
    // The list now shows the log as it is, and a row must be chosen again.
    ui::Grid* grid = app.find<ui::Grid>("msgMemoList");
    EXPECT_EQ(grid->rowCount(), 6);
    EXPECT_EQ(grid->text(5, 1), "2005/02/04");
    EXPECT_FALSE(app.find<QPushButton>("cmdMemoHozon")->isEnabled());
    clickCell(grid, 5, 9);
    app.find<QLineEdit>("txtMemo")->setText("今度は保存");
    app.click("cmdMemoHozon");
    EXPECT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_TRUE(app.readFile("データ.txt").ends_with("\"2005/02/04\",\"就寝前\",121,77,68,\"今度は保存\",61.8\r\n"));
}

TEST(DiaryScreen, ScrollsToTheNewestRowsPastSixteenRows) {
    for (const int records : {15, 16, 40000}) {
        TestApp app;
        writeDiary(app, manyRecords(records));
        frmMain& window = app.start();
        // Scrolling needs a laid-out viewport, so this test shows the window (offscreen).
        window.resize(1200, 800);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        app.click("cmdMemo");
        ui::Grid* grid = app.find<ui::Grid>("msgMemoList");
        ASSERT_EQ(grid->rowCount(), records + 1);
        const QRect last = grid->visualRect(grid->model()->index(records - 1, 0));
        EXPECT_TRUE(grid->viewport()->rect().contains(last)) << records;
        if (records == 15) {
            EXPECT_EQ(grid->topRow(), 1);
        }
        if (records == 40000) {
            EXPECT_GT(grid->topRow(), 39900);
            // Rows past a 16-bit count can be chosen and saved.
            EXPECT_EQ(grid->text(40000, 0), "40000");
            clickCell(grid, 40000, 9);
            app.find<QLineEdit>("txtMemo")->setText("四万件目");
            app.click("cmdMemoHozon");
            EXPECT_TRUE(app.dialogs().records().empty());
            EXPECT_TRUE(app.readFile("データ.txt").ends_with(",\"四万件目\",62\r\n"));
        }
    }
}

TEST(DiaryScreen, MemoIsSavedAndComesBackAtTheNextStart) {
    TestApp app;
    writeDiary(app, kLog);
    app.start();
    app.click("cmdMemo");
    app.find<QPlainTextEdit>("txtKizuki")->setPlainText("一行目\n\n三行目 \"引用\"\n四行目,カンマ");
    app.click("cmdKizukiHozon");
    EXPECT_TRUE(app.dialogs().records().empty());
    EXPECT_EQ(app.readFile("気付きメモ.txt"), "一行目\r\n\r\n三行目 \"引用\"\r\n四行目,カンマ\r\n");

    app.restart();
    EXPECT_EQ(app.find<QPlainTextEdit>("txtKizuki")->toPlainText(), "一行目\n\n三行目 \"引用\"\n四行目,カンマ");

    // An emoji is refused and the file keeps the last good memo.
    app.find<QPlainTextEdit>("txtKizuki")->setPlainText("血圧良好👍");
    app.click("cmdKizukiHozon");
    ASSERT_EQ(app.dialogs().records().size(), 1u);
    EXPECT_TRUE(app.dialogs().records()[0].text.contains("👍"));
    EXPECT_EQ(app.readFile("気付きメモ.txt"), "一行目\r\n\r\n三行目 \"引用\"\r\n四行目,カンマ\r\n");
}

TEST(DiaryScreen, MemoOfOneHugeLineIsShownWhole) {
    TestApp app;
    writeDiary(app, kLog);
    // About a megabyte of CP932 with no line break, and a short second line behind it.
    std::string huge;
    for (int i = 0; i < 166667; ++i) {
        huge += "気付き";
    }
    app.writeFile("気付きメモ.txt", huge + "\n最後の行\n");
    ASSERT_GT(app.readBytes("気付きメモ.txt").size(), 1000000u);
    app.start();
    app.click("cmdMemo");
    EXPECT_FALSE(app.find<QWidget>("fraMemo")->isHidden());
    EXPECT_TRUE(app.dialogs().records().empty());
    auto* box = app.find<ui::PlainTextBox>("txtKizuki");
    ASSERT_NE(box, nullptr);
    const QString shown = box->text();
    EXPECT_EQ(shown.size(), 166667 * 3 + 1 + 4);
    EXPECT_TRUE(shown == QString::fromStdString(huge + "\n最後の行"));
    // The box lays out only the paragraphs on screen: no paragraph may hold the whole line.
    int longest = 0;
    for (QTextBlock block = box->document()->firstBlock(); block.isValid(); block = block.next()) {
        longest = std::max(longest, block.length());
    }
    EXPECT_LE(longest, ui::PlainTextBox::LongLine);

    // Saving it again writes the same bytes; an edit at the end of the line goes into the same line.
    const std::string before = app.readBytes("気付きメモ.txt");
    app.click("cmdKizukiHozon");
    EXPECT_TRUE(app.dialogs().records().empty());
    EXPECT_TRUE(app.readBytes("気付きメモ.txt") == before);
    QTextCursor cursor(box->document()->findBlockByNumber(box->document()->blockCount() - 2));
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertText("。");
    app.click("cmdKizukiHozon");
    EXPECT_TRUE(app.readFile("気付きメモ.txt") == huge + "。\r\n最後の行\r\n");
}

// A diary that holds only the time of saving keeps it in front of the text written for the record.
TEST(DiaryScreen, SavingTimeStaysInFrontOfTheWrittenText) {
    TestApp app;
    writeDiary(app, kLog);
    app.start();
    app.click("cmdMemo");
    ui::Grid* grid = app.find<ui::Grid>("msgMemoList");
    auto* txtMemo = app.find<QLineEdit>("txtMemo");

    clickCell(grid, 2, 2);
    ASSERT_EQ(txtMemo->text(), "7:05:09");
    txtMemo->setText("散歩をした");
    app.click("cmdMemoHozon");
    EXPECT_EQ(grid->text(2, 9), "7:05:09 散歩をした");
    EXPECT_EQ(txtMemo->text(), "7:05:09 散歩をした");
    // A record without a time takes the text as written.
    clickCell(grid, 3, 2);
    txtMemo->setText("よく眠れた");
    QTest::keyClick(txtMemo, Qt::Key_Return);
    EXPECT_EQ(grid->text(3, 9), "よく眠れた");
    EXPECT_EQ(app.readFile("データ.txt"),
              "\"2005/02/01\",\"はじめの一歩\",120,80,70,\"\",62.5\r\n"
              "\"2005/02/01\",\"起床時\",118.5,76,66,\"7:05:09 散歩をした\",62.4\r\n"
              "\"2005/02/02\",\"就寝前\",118,76,75,\"よく眠れた\",62\r\n"
              "\"2005/02/03\",\"起床時\",126,80,70,\"朝,散歩\",61.9\r\n");
    EXPECT_TRUE(app.dialogs().records().empty());
}

namespace {

const QString UnsavedTitle = "未保存の入力";
const QString MemoQuestion = "気付きメモに保存していない変更があります。保存しますか？";
const QString DiaryQuestion = "一言日記に保存していない変更があります。保存しますか？";

/// The ways of leaving the diary screen; true when it was left (the program ended, the window closed, or the
/// other screen is shown).
enum class Way { Exit, CloseWindow, MainButton, OtherButton };

bool leave(TestApp& app, Way way) {
    switch (way) {
        case Way::Exit:
            app.click("cmdOwari");
            return app.window().ended();
        case Way::CloseWindow:
            return app.window().close();
        case Way::MainButton:
            app.click("cmdMain");
            return !app.find<QWidget>("fraMain")->isHidden() && app.find<QWidget>("fraMemo")->isHidden();
        case Way::OtherButton:
            app.click("cmdCale");
            return !app.find<QWidget>("fraCale")->isHidden() && app.find<QWidget>("fraMemo")->isHidden();
    }
    return false;
}

const char* wayName(Way way) {
    const char* names[] = {"exit", "close window", "cmdMain", "cmdCale"};
    return names[static_cast<int>(way)];
}

/// The questions about unsaved text shown so far, by text.
QStringList unsavedQuestions(TestApp& app) {
    QStringList texts;
    for (const auto& record : app.dialogs().records()) {
        if (record.title == UnsavedTitle) {
            EXPECT_EQ(record.icon, ui::Icon::Question);
            EXPECT_EQ(record.buttons, ui::Buttons::YesNoCancel);
            texts << record.text;
        }
    }
    return texts;
}

}  // namespace

// Every way of leaving × every answer, for the memo and for the one-line diary: save writes the text and goes on,
// discard goes on and writes nothing, cancel stays with the text in its box.
TEST(DiaryScreen, UnsavedTextIsAskedAboutOnEveryWayOut) {
    struct Field {
        const char* box;
        QString question;
        const char* file;
        QString typed;
    };
    const Field fields[] = {{"txtKizuki", MemoQuestion, "気付きメモ.txt", "塩分を控える\n朝の散歩\n夜も測る"},
                            {"txtMemo", DiaryQuestion, "データ.txt", "よく眠れた"}};
    const Way ways[] = {Way::Exit, Way::CloseWindow, Way::MainButton, Way::OtherButton};
    for (const Field& field : fields) {
        for (const Way way : ways) {
            for (const ui::Answer answer : {ui::Answer::Yes, ui::Answer::No, ui::Answer::Cancel}) {
                SCOPED_TRACE(std::string(field.box) + " / " + wayName(way) + " / answer " +
                             std::to_string(static_cast<int>(answer)));
                TestApp app;
                writeDiary(app, kLog);
                app.start();
                app.click("cmdMemo");
                if (std::string(field.box) == "txtMemo") {
                    clickCell(app.find<ui::Grid>("msgMemoList"), 3, 1);
                    app.find<QLineEdit>("txtMemo")->setText(field.typed);
                } else {
                    app.find<QPlainTextEdit>("txtKizuki")->setPlainText(field.typed);
                }
                const std::string before = app.readFile(field.file);
                app.dialogs().clear();
                app.dialogs().queueAnswer(answer);

                EXPECT_EQ(leave(app, way), answer != ui::Answer::Cancel);
                EXPECT_EQ(unsavedQuestions(app), QStringList{field.question});
                const std::string after = app.readFile(field.file);
                const bool written = after.find(field.typed.split('\n').last().toStdString()) != std::string::npos;
                EXPECT_EQ(written, answer == ui::Answer::Yes);
                if (answer != ui::Answer::Yes) {
                    EXPECT_EQ(after, before);
                }
                if (answer == ui::Answer::Cancel) {
                    EXPECT_FALSE(app.find<QWidget>("fraMemo")->isHidden());
                    const QString shown = std::string(field.box) == "txtMemo"
                                              ? app.find<QLineEdit>("txtMemo")->text()
                                              : app.find<QPlainTextEdit>("txtKizuki")->toPlainText();
                    EXPECT_EQ(shown, field.typed) << "cancel keeps the typed text";
                }
            }
        }
    }
}

// The question comes only for text that differs from what was loaded or saved last; a save that does not go
// through keeps the user on the screen.
TEST(DiaryScreen, OnlyTextThatDiffersFromTheSavedOneIsAskedAbout) {
    TestApp app;
    writeDiary(app, kLog);
    app.start();
    app.click("cmdMemo");
    ui::Grid* grid = app.find<ui::Grid>("msgMemoList");
    auto* txtMemo = app.find<QLineEdit>("txtMemo");
    auto* txtKizuki = app.find<QPlainTextEdit>("txtKizuki");

    // Edited and put back as it was: nothing to ask.
    txtKizuki->setPlainText("別のメモ");
    txtKizuki->setPlainText("塩分を控える\n朝の散歩");
    clickCell(grid, 2, 1);
    txtMemo->setText("書きかけ");
    txtMemo->setText("7:05:09");
    app.dialogs().clear();
    ASSERT_TRUE(leave(app, Way::MainButton));
    EXPECT_TRUE(app.dialogs().records().empty());

    // Saved with the buttons (the diary with its saving time kept in front): nothing to ask.
    app.click("cmdMemo");
    clickCell(grid, 2, 1);
    txtMemo->setText("散歩");
    app.click("cmdMemoHozon");
    txtKizuki->setPlainText("新しいメモ");
    app.click("cmdKizukiHozon");
    app.dialogs().clear();
    ASSERT_TRUE(leave(app, Way::OtherButton));
    EXPECT_TRUE(app.dialogs().records().empty());

    // Both changed: one question each, memo first; the memo is saved, then cancel keeps the screen.
    app.click("cmdMemo");
    clickCell(grid, 3, 1);
    txtMemo->setText("よく眠れた");
    txtKizuki->setPlainText("もっと新しいメモ");
    app.dialogs().clear();
    app.dialogs().queueAnswer(ui::Answer::Yes);
    app.dialogs().queueAnswer(ui::Answer::Cancel);
    EXPECT_FALSE(leave(app, Way::Exit));
    EXPECT_EQ(unsavedQuestions(app), (QStringList{MemoQuestion, DiaryQuestion}));
    EXPECT_EQ(app.readFile("気付きメモ.txt"), "もっと新しいメモ\r\n");
    EXPECT_EQ(app.readFile("データ.txt").find("よく眠れた"), std::string::npos);

    // Discarded: the box goes back to the saved text, and leaving again asks nothing.
    app.dialogs().clear();
    app.dialogs().queueAnswer(ui::Answer::No);
    ASSERT_TRUE(leave(app, Way::OtherButton));
    EXPECT_EQ(unsavedQuestions(app), QStringList{DiaryQuestion});
    app.click("cmdMemo");
    EXPECT_EQ(txtMemo->text(), "");
    app.dialogs().clear();
    ASSERT_TRUE(leave(app, Way::MainButton));
    EXPECT_TRUE(app.dialogs().records().empty());

    // A save that is refused (a character the file cannot hold) keeps the screen and the text.
    app.click("cmdMemo");
    txtKizuki->setPlainText("血圧良好👍");
    app.dialogs().clear();
    app.dialogs().queueAnswer(ui::Answer::Yes);
    EXPECT_FALSE(leave(app, Way::CloseWindow));
    EXPECT_EQ(app.dialogs().records().size(), 2u) << "the question, then the refusal";
    EXPECT_EQ(txtKizuki->toPlainText(), "血圧良好👍");
    EXPECT_EQ(app.readFile("気付きメモ.txt"), "もっと新しいメモ\r\n");

    // Clicking the diary button while the screen is shown asks nothing.
    app.dialogs().clear();
    app.click("cmdMemo");
    EXPECT_TRUE(app.dialogs().records().empty());
}
