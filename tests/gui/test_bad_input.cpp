// Bad input at every input box: each box gets the same list of awkward texts and must answer with a clear message
// (nothing written) or accept the text as documented (written so that it reads back the same, in CP932).
#include <gtest/gtest.h>

#include <qcustomplot.h>

#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>
#include <functional>
#include <map>

#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "core/files/text_codec.h"
#include "core/views/daily_averages.h"
#include "fault_sweep.h"
#include "own_diary_files.h"
#include "test_app.h"
#include "ui/chart.h"
#include "ui/grid.h"
#include "ui/plain_text_box.h"

namespace {

using sora::test::Snapshot;

const std::string& LogText = sora::test::OwnLogText;

Snapshot ownDiary() {
    return sora::test::own_diary_files();
}

/// The awkward inputs every box gets.
struct Input {
    const char* label;
    QString text;
};

QString longText() {
    return QString("血圧").repeated(5000);  // 10,000 characters, all of them storable
}

const std::vector<Input>& inputs() {
    static const std::vector<Input> list = {
        {"empty", ""},
        {"blanks", "   "},
        {"letters", "abc"},
        {"120abc", "120abc"},
        {"-1", "-1"},
        {"0", "0"},
        {"999", "999"},
        {"1e3", "1e3"},
        {"10,000 characters", longText()},
        {"10,000 digits", QString("1").repeated(10000)},
        {"double quote", "a\"b"},
        {"emoji", QString::fromUtf8("😀")},
        {"full-width digits", QString::fromUtf8("１２０")},
        // Not in the usual list, but they reach the files: a comma is the field separator, and a single-line box
        // keeps the line break of a pasted text.
        {"comma", "1,5"},
        {"line break (pasted)", QString::fromUtf8("朝\n食後")},
    };
    return list;
}

/// One line of the closing list: box × input → result.
std::vector<std::string>& triedList() {
    static std::vector<std::string> lines;
    return lines;
}

void note(const std::string& box, const Input& input, const std::string& result) {
    triedList().push_back(box + " | " + input.label + " | " + result);
}

/// What a box did with one input: the message it showed (title), or "" when it took the text.
QString shownTitle(TestApp& app, std::size_t before) {
    const auto& records = app.dialogs().records();
    for (std::size_t i = before; i < records.size(); ++i) {
        if (records[i].kind == ui::ScriptedDialogs::Record::Kind::Message && records[i].buttons == ui::Buttons::Ok) {
            return records[i].title;
        }
    }
    return {};
}

/// The text as the files store it: a double quote becomes "”", a line break a blank.
QString stored(const QString& text) {
    QString s = text;
    return s.replace('"', QString::fromUtf8("”")).replace('\n', ' ');
}

bool isLineBreak(const Input& input) {
    return input.text.contains('\n');
}

/// How an accepted text was stored, for the closing list.
std::string acceptedAs(const Input& input, const std::string& what) {
    if (input.text.contains('"')) {
        return "accepted, \" stored as ”, " + what;
    }
    if (isLineBreak(input)) {
        return "accepted, line break stored as a blank, " + what;
    }
    return "accepted as typed, " + what;
}

class BadInput : public ::testing::Test {
protected:
    static void TearDownTestSuite() {
        std::printf("[ tried    ] box | input | result (%zu)\n", triedList().size());
        for (const std::string& line : triedList()) {
            std::printf("[ tried    ] %s\n", line.c_str());
        }
    }

    /// A fresh window over the own diary; the dialogs so far are forgotten.
    frmMain& fresh(const Snapshot& files = ownDiary()) {
        sora::test::restore_snapshot(app.dir(), files);
        frmMain& window = app.restart();
        app.dialogs().clear();
        return window;
    }
    Snapshot files() const { return sora::test::snapshot_of(app.dir()); }
    /// The emoji is the one input the files cannot hold: refused with the message `title`, nothing written.
    bool refusedAsUnstorable(const Input& input, const Snapshot& before, const char* title, const std::string& box,
                             const std::string& result) {
        if (input.text != QString::fromUtf8("😀")) {
            return false;
        }
        EXPECT_EQ(shownTitle(app, 0), title);
        EXPECT_EQ(files(), before);
        note(box, input, result);
        return true;
    }
    sora::DataDir data() const { return sora::DataDir(app.dir()); }
    std::vector<sora::MeasurementRecord> records() const {
        const auto log = sora::MeasurementLog(data()).read_all();
        EXPECT_TRUE(log.ok) << log.message;
        return log.records;
    }
    /// Every side file still reads.
    void expectEverythingReads() const {
        records();
        EXPECT_TRUE(sora::read_situations(data()).ok);
        EXPECT_TRUE(sora::read_memo(data()).ok);
        EXPECT_TRUE(sora::read_user_name(data()).ok);
        EXPECT_TRUE(sora::read_graph_settings(data()).ok);
    }

    TestApp app;
};

// The four value boxes of the entry panel, each with valid values in the other three.
TEST_F(BadInput, EntryPanelValueBoxes) {
    const char* const boxes[4] = {"txtMaxInp", "txtMinInp", "txtMyakuInp", "txtTaiInp"};
    const char* const emptyTitles[4] = {"最高血圧未入力", "最低血圧未入力", "脈拍未入力", "体重未入力"};
    const std::map<std::string, QString> expected = {
        {"blanks", "数値以外入力"},
        {"letters", "数値以外入力"},
        {"120abc", "数値以外入力"},
        {"-1", "異常入力"},
        {"0", "異常入力"},
        {"999", "入力制限"},
        {"1e3", "数値以外入力"},
        {"10,000 characters", "数値以外入力"},
        {"10,000 digits", "入力制限"},
        {"double quote", "数値以外入力"},
        {"emoji", "数値以外入力"},
        {"comma", "数値以外入力"},
        {"line break (pasted)", "数値以外入力"},
    };
    fresh();
    const Snapshot before = files();
    for (int box = 0; box < 4; ++box) {
        for (const Input& input : inputs()) {
            if (!expected.count(input.label) && !input.text.isEmpty()) {
                continue;  // a number typed in full width is saved: FullWidthNumbersAreStoredHalfWidth
            }
            SCOPED_TRACE(std::string(boxes[box]) + " ← " + input.label);
            app.click("cmdJikan");  // a situation, and the previous values in the first three boxes
            const QString valid[4] = {"120", "80", "70", "60.5"};
            for (int other = 0; other < 4; ++other) {
                app.find<QLineEdit>(boxes[other])->setText(other == box ? input.text : valid[other]);
            }
            const std::size_t shown = app.dialogs().records().size();
            app.click("cmdTaiHozon");
            const QString want = input.text.isEmpty() ? QString(emptyTitles[box]) : expected.at(input.label);
            EXPECT_EQ(shownTitle(app, shown), want);
            EXPECT_EQ(app.find<QLineEdit>(boxes[box])->text(), input.text) << "the panel keeps what was typed";
            note(boxes[box], input, "refused: " + want.toStdString());
        }
    }
    EXPECT_EQ(files(), before) << "a refused save writes nothing";

    // The boundaries that are accepted: 998.9 and 0.1 are stored as typed, 62.50 as 62.5.
    app.click("cmdJikan");
    const QString edge[4] = {"998.9", "0.1", " 72 ", "62.50"};
    for (int box = 0; box < 4; ++box) {
        app.find<QLineEdit>(boxes[box])->setText(edge[box]);
    }
    app.dialogs().queueAnswer(ui::Answer::Yes);  // doubtful values, asked about after the checks: saved on はい
    app.click("cmdTaiHozon");
    const auto saved = records().back();
    EXPECT_FLOAT_EQ(saved.systolic, 998.9f);
    EXPECT_FLOAT_EQ(saved.diastolic, 0.1f);
    EXPECT_FLOAT_EQ(saved.pulse, 72);
    EXPECT_FLOAT_EQ(saved.weight, 62.5f);
}

// Free situation text (cmdFree's input dialog), added to the list and then saved with a measurement.
TEST_F(BadInput, FreeSituationText) {
    for (const Input& input : inputs()) {
        SCOPED_TRACE(input.label);
        fresh();
        const Snapshot before = files();
        app.dialogs().queueText(input.text);
        app.dialogs().queueAnswer(ui::Answer::Yes);
        app.click("cmdFree");
        if (input.text.isEmpty()) {
            EXPECT_EQ(app.dialogs().records().size(), 1u) << "only the input dialog";
            EXPECT_EQ(files(), before);
            note("cmdFree dialog", input, "ignored (nothing chosen, nothing written)");
            continue;
        }
        if (refusedAsUnstorable(input, before, "使用できない文字", "cmdFree dialog", "refused: 使用できない文字")) {
            continue;
        }
        EXPECT_EQ(shownTitle(app, 0), "");
        const std::vector<std::string> list = sora::read_situations(data()).value;
        ASSERT_EQ(list.size(), 4u);
        EXPECT_EQ(QString::fromStdString(list.back()), stored(input.text));
        EXPECT_EQ(app.find<QListWidget>("lstAct")->item(3)->text(), stored(input.text));

        // The measurement takes the situation; the log reads back with it.
        const QString values[4] = {"120", "80", "70", "60.5"};
        const char* const boxes[4] = {"txtMaxInp", "txtMinInp", "txtMyakuInp", "txtTaiInp"};
        for (int box = 0; box < 4; ++box) {
            app.find<QLineEdit>(boxes[box])->setText(values[box]);
        }
        app.click("cmdTaiHozon");
        EXPECT_EQ(QString::fromStdString(records().back().situation), stored(input.text));
        // Every screen still opens on a log that holds the text.
        for (const char* screen :
             {"cmdTaijyu", "cmdAvgtai", "cmdBunseki", "cmdCale", "cmdRentai", "cmdMemo", "cmdSettei", "cmdMain"}) {
            app.click(screen);
        }
        EXPECT_EQ(shownTitle(app, 0), "") << "no error on any screen";
        note("cmdFree dialog", input, acceptedAs(input, "list and log read back"));
    }
}

// The situation keyword box of the filtered view: any text filters, nothing is written.
TEST_F(BadInput, FilterKeyword) {
    fresh();
    app.click("cmdTaijyu");
    const Snapshot before = files();
    for (const Input& input : inputs()) {
        SCOPED_TRACE(input.label);
        auto* box = app.find<QLineEdit>("txtKey");
        box->setText(input.text);
        QTest::keyClick(box, Qt::Key_Return);
        int want = 0;
        for (const auto& record : records()) {
            want += QString::fromStdString(record.situation).contains(input.text) ? 1 : 0;
        }
        EXPECT_EQ(app.find<ui::Grid>("msgBunseki")->rowCount() - 1, want);
        note("txtKey", input, "accepted: lists " + std::to_string(want) + " records whose situation holds it");
    }
    EXPECT_EQ(shownTitle(app, 0), "");
    EXPECT_EQ(files(), before);
}

// The period boxes of the filtered view take any typed text and compare it with the dates as text.
TEST_F(BadInput, FilterPeriodBoxes) {
    fresh();
    app.click("cmdTaijyu");
    const Snapshot before = files();
    for (const char* name : {"cboStdate", "cboEddate"}) {
        for (const Input& input : inputs()) {
            SCOPED_TRACE(std::string(name) + " ← " + input.label);
            auto* start = app.find<QComboBox>("cboStdate");
            auto* end = app.find<QComboBox>("cboEddate");
            start->setEditText("2005/02/01");
            end->setEditText("2005/02/05");
            app.find<QComboBox>(name)->setEditText(input.text);
            app.click("cmdKikanF");
            const std::string from = start->currentText().toStdString();
            const std::string to = end->currentText().toStdString();
            int want = 0;
            for (const auto& record : records()) {
                want += from <= record.date && record.date <= to ? 1 : 0;
            }
            EXPECT_EQ(app.find<ui::Grid>("msgBunseki")->rowCount() - 1, want);
            note(name, input, "accepted as text: lists " + std::to_string(want) + " records");
        }
    }
    EXPECT_EQ(shownTitle(app, 0), "");
    EXPECT_EQ(files(), before);
}

// The period boxes of the daily averages read "YY/MM/DD": anything else is named in a message.
TEST_F(BadInput, AveragePeriodBoxes) {
    fresh();
    app.click("cmdAvgtai");
    const Snapshot before = files();
    for (const char* name : {"cboStdate2", "cboEddate2"}) {
        for (const Input& input : inputs()) {
            SCOPED_TRACE(std::string(name) + " ← " + input.label);
            app.find<QComboBox>("cboStdate2")->setEditText("05/02/01");
            app.find<QComboBox>("cboEddate2")->setEditText("05/02/05");
            app.find<QComboBox>(name)->setEditText(input.text);
            const std::size_t shown = app.dialogs().records().size();
            app.click("cmdKikanF2");
            EXPECT_EQ(shownTitle(app, shown), "期間指定");
            const std::string text(std::string(name) == "cboStdate2" ? sora::daily_average_texts::StartNotDate
                                                                     : sora::daily_average_texts::EndNotDate);
            EXPECT_EQ(app.dialogs().records().back().text.toStdString(), text);
            EXPECT_EQ(app.find<ui::Grid>("msgAvgtai")->rowCount(), 1) << "an empty table";
            note(name, input, "refused: 期間指定 (" + text + "), empty table");
        }
    }
    EXPECT_EQ(files(), before);
}

// The one-line diary box: stored in the record (a quote as ”), emoji refused, the log stays readable.
TEST_F(BadInput, DiaryText) {
    for (const Input& input : inputs()) {
        SCOPED_TRACE(input.label);
        fresh();
        const Snapshot before = files();
        app.click("cmdMemo");
        auto* grid = app.find<ui::Grid>("msgMemoList");
        grid->cellClicked(2, 9);  // a record without a saving time, which would stay in front of the text
        app.find<QLineEdit>("txtMemo")->setText(input.text);
        app.click("cmdMemoHozon");
        if (input.text == QString::fromUtf8("😀") || isLineBreak(input)) {
            EXPECT_EQ(shownTitle(app, 0), "一言日記保存");
            EXPECT_EQ(files(), before);
            note("txtMemo", input,
                 isLineBreak(input) ? "refused: 一言日記保存 (no line breaks)"
                                    : "refused: 一言日記保存 (names the character)");
            continue;
        }
        EXPECT_EQ(shownTitle(app, 0), "");
        const auto log = records();
        ASSERT_EQ(log.size(), 4u);
        EXPECT_EQ(QString::fromStdString(log[1].diary), stored(input.text));
        EXPECT_EQ(log[2].diary, "7:05:09") << "the other records stay";
        EXPECT_EQ(log[3].diary, "晴れ, 散歩") << "the other records stay";
        EXPECT_EQ(grid->text(2, 9), stored(input.text));
        note("txtMemo", input, acceptedAs(input, "other records unchanged"));
    }
}

// The notice memo: any storable text round-trips through 気付きメモ.txt to the next start.
TEST_F(BadInput, NoticeMemo) {
    for (const Input& input : inputs()) {
        SCOPED_TRACE(input.label);
        fresh();
        const Snapshot before = files();
        app.click("cmdMemo");
        app.find<QPlainTextEdit>("txtKizuki")->setPlainText(input.text);
        app.click("cmdKizukiHozon");
        if (refusedAsUnstorable(input, before, "気付きメモ保存", "txtKizuki",
                                "refused: 気付きメモ保存 (names the character)")) {
            continue;
        }
        EXPECT_EQ(shownTitle(app, 0), "");
        app.restart();
        EXPECT_EQ(app.find<ui::PlainTextBox>("txtKizuki")->text(), input.text);
        note("txtKizuki", input, "accepted as typed, same text at the next start");
    }
}

// The add dialog of the situation editor.
TEST_F(BadInput, AddSituationText) {
    for (const Input& input : inputs()) {
        SCOPED_TRACE(input.label);
        fresh();
        const Snapshot before = files();
        app.click("cmdSettei");
        app.dialogs().queueText(input.text);
        app.click("cmdNew2");
        if (input.text.isEmpty()) {
            EXPECT_EQ(files(), before);
            note("cmdNew2 dialog", input, "ignored (nothing added)");
            continue;
        }
        if (refusedAsUnstorable(input, before, "使用できない文字", "cmdNew2 dialog", "refused: 使用できない文字")) {
            continue;
        }
        const std::vector<std::string> list = sora::read_situations(data()).value;
        ASSERT_EQ(list.size(), 4u) << "one item, never split";
        EXPECT_EQ(QString::fromStdString(list.back()), stored(input.text));
        app.restart();
        EXPECT_EQ(app.find<QListWidget>("lstKoumoku")->item(3)->text(), stored(input.text));
        note("cmdNew2 dialog", input, acceptedAs(input, "one item at the next start"));
    }
}

// The new text of a rename.
TEST_F(BadInput, RenameText) {
    for (const Input& input : inputs()) {
        SCOPED_TRACE(input.label);
        fresh();
        const Snapshot before = files();
        app.click("cmdSettei");
        auto* list = app.find<QListWidget>("lstKoumoku");
        list->setCurrentRow(0);
        app.find<QPushButton>("cmdChg")->setEnabled(true);
        app.find<QLineEdit>("txtChg")->setText(input.text);
        app.dialogs().queueAnswer(ui::Answer::Ok);
        app.click("cmdChg");
        if (input.text.isEmpty() || input.text == QString::fromUtf8("😀")) {
            const QString want = input.text.isEmpty() ? "変更後コメント未入力" : "使用できない文字";
            EXPECT_EQ(shownTitle(app, 0), want);
            EXPECT_EQ(files(), before);
            note("txtChg", input, "refused: " + want.toStdString());
            continue;
        }
        EXPECT_EQ(shownTitle(app, 0), "コメント変更終了");
        const auto log = records();
        ASSERT_EQ(log.size(), 4u);
        EXPECT_EQ(QString::fromStdString(log[1].situation), stored(input.text));
        EXPECT_EQ(QString::fromStdString(log[3].situation), stored(input.text));
        EXPECT_EQ(QString::fromStdString(sora::read_situations(data()).value.front()), stored(input.text));
        note("txtChg", input, acceptedAs(input, "log and list renamed"));
    }
}

// The nine graph boxes: a whole number within 16 bits is stored, anything else is refused naming the box.
TEST_F(BadInput, GraphBoxes) {
    const char* const boxes[9] = {"txtY1max", "txtY1min", "txtY1dev", "txtY2max", "txtY2min",
                                  "txtY2dev", "txtY3max", "txtY3min", "txtY3dev"};
    const std::map<std::string, int> accepted = {{"-1", -1}, {"0", 0}, {"999", 999}, {"full-width digits", 120}};
    fresh();
    app.click("cmdSettei");
    app.find<QRadioButton>("optGrSet")->click();
    for (int box = 0; box < 9; ++box) {
        for (const Input& input : inputs()) {
            SCOPED_TRACE(std::string(boxes[box]) + " ← " + input.label);
            const Snapshot before = files();
            auto* edit = app.find<QLineEdit>(boxes[box]);
            const QString previous = edit->text();
            edit->setText(input.text);
            const std::size_t shown = app.dialogs().records().size();
            app.click("cmdGrSet");
            const auto found = accepted.find(input.label);
            if (found == accepted.end()) {
                EXPECT_EQ(shownTitle(app, shown), "グラフ設定入力エラー");
                EXPECT_TRUE(app.dialogs().records().back().text.contains("設定」")) << "names the box";
                EXPECT_EQ(files(), before);
                note(boxes[box], input, "refused: グラフ設定入力エラー naming the box");
                edit->setText(previous);
                continue;
            }
            EXPECT_EQ(shownTitle(app, shown), "");
            EXPECT_EQ(edit->text(), QString::number(found->second));
            const auto settings = sora::read_graph_settings(data());
            ASSERT_TRUE(settings.ok);
            EXPECT_EQ(app.window().state().axes, settings.value);
            note(boxes[box], input, "accepted: stored " + std::to_string(found->second));
            edit->setText(previous);
        }
    }
    // Every chart still draws with the odd values stored last (0 divisions, minimum above maximum).
    app.find<QLineEdit>("txtY1dev")->setText("0");
    app.find<QLineEdit>("txtY1min")->setText("300");
    app.click("cmdGrSet");
    for (const char* screen : {"cmdMain", "cmdTaijyu", "cmdAvgtai", "cmdRentai"}) {
        app.click(screen);
    }
    expectEverythingReads();
}

// The name box of the settings screen (empty allowed).
TEST_F(BadInput, NameBox) {
    for (const Input& input : inputs()) {
        SCOPED_TRACE(input.label);
        fresh();
        const Snapshot before = files();
        app.click("cmdSettei");
        app.find<QLineEdit>("txtPriData")->setText(input.text);
        app.click("cmdPHozon1");
        if (refusedAsUnstorable(input, before, "使用できない文字", "txtPriData", "refused: 使用できない文字")) {
            continue;
        }
        EXPECT_EQ(shownTitle(app, 0), "保存終了");
        EXPECT_EQ(QString::fromStdString(sora::read_user_name(data()).value), stored(input.text));
        app.restart();
        EXPECT_EQ(app.window().windowTitle(),
                  QString::fromStdString(sora::window_title_for(stored(input.text).toStdString())));
        note("txtPriData", input, acceptedAs(input, "title at the next start"));
    }
}

// The boxes of the new-start wizard: the values as the save checks them, the name and situation as texts.
TEST_F(BadInput, NewStartWizard) {
    struct Box {
        const char* name;
        const char* valid;
        const char* emptyTitle;  // nullptr: may be empty
        bool value;
    };
    const Box boxes[6] = {{"txtPriData1", "太郎", nullptr, false},
                          {"txtSincyou1", "120", "最高血圧未入力", true},
                          {"txtMokuTai1", "78", "最低血圧未入力", true},
                          {"txtNowTai", "64", "脈拍未入力", true},
                          {"txtNowTai2", "70.5", "体重未入力", true},
                          {"txtNowJyou", "はじめの一歩", "初回状況（コメント）未入力", false}};
    const std::map<std::string, QString> valueRefusals = {
        {"blanks", "数値以外入力"},
        {"letters", "数値以外入力"},
        {"120abc", "数値以外入力"},
        {"-1", "異常入力"},
        {"0", "異常入力"},
        {"999", "入力制限"},
        {"1e3", "数値以外入力"},
        {"10,000 characters", "数値以外入力"},
        {"10,000 digits", "入力制限"},
        {"double quote", "数値以外入力"},
        {"emoji", "数値以外入力"},
        {"comma", "数値以外入力"},
        {"line break (pasted)", "数値以外入力"},
    };
    for (const Box& box : boxes) {
        for (const Input& input : inputs()) {
            SCOPED_TRACE(std::string(box.name) + " ← " + input.label);
            fresh();
            const Snapshot before = files();
            app.click("cmdSettei");
            app.click("cmdNew1");
            for (const Box& other : boxes) {
                app.find<QLineEdit>(other.name)->setText(&other == &box ? input.text : QString::fromUtf8(other.valid));
            }
            app.dialogs().clear();
            app.dialogs().queueAnswer(ui::Answer::Ok);
            app.click("cmdStHozon");
            QString refusal;
            if (input.text.isEmpty() && box.emptyTitle) {
                refusal = box.emptyTitle;
            } else if (box.value && valueRefusals.count(input.label)) {
                refusal = valueRefusals.at(input.label);
            } else if (input.text == QString::fromUtf8("😀")) {
                refusal = "使用できない文字";
            }
            if (!refusal.isEmpty()) {
                EXPECT_EQ(shownTitle(app, 0), refusal);
                EXPECT_FALSE(app.window().ended());
                EXPECT_EQ(files(), before);
                note(box.name, input, "refused: " + refusal.toStdString());
                continue;
            }
            EXPECT_EQ(app.dialogs().records().back().title, "新規登録終了");
            EXPECT_TRUE(app.window().ended());
            const auto log = records();
            ASSERT_EQ(log.size(), 1u);
            const std::string name = sora::read_user_name(data()).value;
            if (box.value) {
                const float values[4] = {log[0].systolic, log[0].diastolic, log[0].pulse, log[0].weight};
                EXPECT_EQ(values[&box - boxes - 1], 120.0f) << "full-width digits read as 120";
            } else if (std::string(box.name) == "txtNowJyou") {
                EXPECT_EQ(QString::fromStdString(log[0].situation), stored(input.text));
            } else {
                EXPECT_EQ(QString::fromStdString(name), stored(input.text));
            }
            note(box.name, input, acceptedAs(input, "new diary started"));
        }
    }
}

namespace {

/// Types a text into a box the way an input method does: a composition, then its commit.
void commitAsInputMethod(QLineEdit* box, const QString& text) {
    box->clear();
    QInputMethodEvent composing(text, {});
    QApplication::sendEvent(box, &composing);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(box, &commit);
    EXPECT_EQ(box->text(), text) << "the box took the committed text";
}

/// True when a CP932 file holds a full-width digit, point or minus.
bool holdsFullWidthNumber(const std::string& utf8) {
    for (const char* c : {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９", "．", "－", "−"}) {
        if (utf8.find(c) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace

// Every number box gets full-width text as a Japanese input method commits it; the files hold half-width numbers.
TEST_F(BadInput, FullWidthNumbersAreStoredHalfWidth) {
    // The entry panel's four boxes, around full-width blanks.
    fresh();
    app.click("cmdJikan");
    const char* const entryBoxes[4] = {"txtMaxInp", "txtMinInp", "txtMyakuInp", "txtTaiInp"};
    const char* const entryTexts[4] = {"１２０", "　７８", "６４　", "６２．５"};
    for (int box = 0; box < 4; ++box) {
        commitAsInputMethod(app.find<QLineEdit>(entryBoxes[box]), QString::fromUtf8(entryTexts[box]));
    }
    app.click("cmdTaiHozon");
    EXPECT_EQ(shownTitle(app, 0), "");
    const std::string log = app.readFile("データ.txt");
    EXPECT_EQ(log, LogText + "\"2005/03/01\",\"10:15:00\",120,78,64,\"\",62.5\r\n");
    EXPECT_FALSE(holdsFullWidthNumber(log));

    // The nine graph boxes, with each of the minus signs an input method gives.
    fresh();
    app.click("cmdSettei");
    app.find<QRadioButton>("optGrSet")->click();
    const char* const graphBoxes[9] = {"txtY1max", "txtY1min", "txtY1dev", "txtY2max", "txtY2min",
                                       "txtY2dev", "txtY3max", "txtY3min", "txtY3dev"};
    const char* const graphTexts[9] = {"２２０", "－１０", "１２", "１５０",  "−５",
                                       "　６　", "９０",   "ー３", "１２．５"};
    for (int box = 0; box < 9; ++box) {
        commitAsInputMethod(app.find<QLineEdit>(graphBoxes[box]), QString::fromUtf8(graphTexts[box]));
    }
    app.click("cmdGrSet");
    EXPECT_EQ(shownTitle(app, 0), "");
    const std::string graph = app.readFile("グラフ設定.txt");
    EXPECT_EQ(graph,
              "\"自動設定\",0\r\n\"血圧最大値\",220\r\n\"血圧最小値\",-10\r\n\"血圧刻み\",12\r\n"
              "\"脈拍最大値\",150\r\n\"脈拍最小値\",-5\r\n\"脈拍刻み\",6\r\n"
              "\"体重最大値\",90\r\n\"体重最小値\",-3\r\n\"体重刻み\",12\r\n");
    EXPECT_FALSE(holdsFullWidthNumber(graph));

    // The new start's four value boxes.
    app.click("cmdNew1");
    const char* const startBoxes[4] = {"txtSincyou1", "txtMokuTai1", "txtNowTai", "txtNowTai2"};
    const char* const startTexts[4] = {"　１２６", "８０", "７０", "６５．５　"};
    for (int box = 0; box < 4; ++box) {
        commitAsInputMethod(app.find<QLineEdit>(startBoxes[box]), QString::fromUtf8(startTexts[box]));
    }
    app.dialogs().clear();
    app.dialogs().queueAnswer(ui::Answer::Ok);
    app.click("cmdStHozon");
    EXPECT_TRUE(app.window().ended());
    EXPECT_EQ(app.readFile("データ.txt"), "\"2005/03/01\",\"はじめの一歩\",126,80,70,,65.5\r\n");
}

// A hand-edited marker mode above 2 shows balls like 2, without a read error; the next chart click sets 0.
TEST_F(BadInput, MarkerModeAboveTwo) {
    Snapshot diary = ownDiary();
    diary["マーカー.TXT"] = "7\r\n";
    frmMain& window = fresh(diary);
    window.resize(1280, 800);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(app.dialogs().records().empty()) << "no read error at the start";
    auto* chart = app.find<ui::Chart>("mcrMain");
    for (int series : {0, 1, 3}) {
        EXPECT_EQ(chart->marker(series), ui::Marker::Balls);
    }
    app.click("cmdSuiiGr");
    QCustomPlot* plot = chart->plot();
    QTest::mouseClick(plot, Qt::LeftButton, {}, plot->rect().center());
    EXPECT_EQ(chart->marker(0), ui::Marker::None);
    EXPECT_EQ(window.state().markerMode, 0);
    EXPECT_EQ(app.readBytes("マーカー.TXT"), "0\r\n");
}

}  // namespace
