// Side files the start-up could not read (and warned about): every control that rewrites one asks first, Cancel
// leaves every byte alone, Yes keeps the old bytes in a copy before saving, No saves without one, and once a save
// was agreed to the same file is saved without asking again.
#include <gtest/gtest.h>

#include <qcustomplot.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <functional>

#include "core/files/side_files.h"
#include "fault_sweep.h"
#include "own_diary_files.h"
#include "test_app.h"
#include "ui/chart.h"

namespace {

using sora::test::Snapshot;

/// A side file that cannot be read, and the control that rewrites it.
struct Writer {
    const char* file;
    std::string bytes;  // what the start-up cannot read
    std::function<void(TestApp&)> setUp = [](TestApp&) {};
    std::function<void(TestApp&)> act;
    std::function<bool(const sora::DataDir&)> readsNow;             // the file reads without a fault after the save
    std::function<void(TestApp&)> followsCancel = [](TestApp&) {};  // what the screen shows after Cancel
    std::vector<ui::Answer> confirm = {};  // the control's own questions, before the one about the file
};

const std::string NotCp932Memo = "\x8B\x43\x95\x74\x82\xAB\r\n\x82";  // 気付き, then a lead byte at the end

std::vector<Writer> writers() {
    auto settings = [](TestApp& app) { app.click("cmdSettei"); };
    return {
        {"気付きメモ.txt", NotCp932Memo,
         [](TestApp& app) {
             app.click("cmdMemo");
             app.find<QPlainTextEdit>("txtKizuki")->setPlainText("新しいメモ");
         },
         [](TestApp& app) { app.click("cmdKizukiHozon"); },
         [](const sora::DataDir& dir) { return sora::read_memo(dir).value == "新しいメモ"; }},
        {"グラフ設定.txt", "\"自動設定\",0\r\n\"血圧最大値\",二百\r\n", settings,
         [](TestApp& app) { app.click("cmdGrSet"); },
         [](const sora::DataDir& dir) { return sora::read_graph_settings(dir).ok; }},
        {"状況リスト.txt",
         "\x8B\x4E\x8F\xB0\x8C\xE3\r\n\x82",
         settings,
         [](TestApp& app) { app.click("cmdDel2"); },
         [](const sora::DataDir& dir) { return sora::read_situations(dir).ok; },
         [](TestApp&) {},
         {ui::Answer::Ok}},
        {"自動時間.TXT", "on\r\n", settings, [](TestApp& app) { app.click("chkJikan"); },
         [](const sora::DataDir& dir) { return sora::read_auto_time(dir).value; },
         [](TestApp& app) { EXPECT_FALSE(app.find<QCheckBox>("chkJikan")->isChecked()); }},
        {"ﾌﾟﾗｲﾍﾞｰﾄ.txt", "\x8E\x81\x96\xBC\r\n",
         [](TestApp& app) {
             app.click("cmdSettei");
             app.find<QLineEdit>("txtPriData")->setText("太郎");
         },
         [](TestApp& app) { app.click("cmdPHozon1"); },
         [](const sora::DataDir& dir) { return sora::read_user_name(dir).value == "太郎"; }},
        {"マーカー.TXT", "-1\r\n", [](TestApp& app) { app.click("cmdSuiiGr"); },
         [](TestApp& app) {
             QCustomPlot* plot = app.find<ui::Chart>("mcrMain")->plot();
             QTest::mouseClick(plot, Qt::LeftButton, {}, plot->rect().center());
         },
         [](const sora::DataDir& dir) { return sora::read_marker_mode(dir).ok; },
         [](TestApp& app) { EXPECT_EQ(app.window().state().markerMode, 0); }},
        {"設定.txt", "\"ヘルプツアー\"\r\n", [](TestApp&) {}, [](TestApp& app) { app.click("chkHelp"); },
         [](const sora::DataDir& dir) { return sora::read_help_tour_setting(dir).value == 1; },
         [](TestApp& app) {
             EXPECT_FALSE(app.find<QCheckBox>("chkHelp")->isChecked());
             EXPECT_EQ(app.window().state().helpTour, 0);
         }},
    };
}

/// The questions about unreadable files among the dialogs shown so far.
std::vector<ui::ScriptedDialogs::Record> questions(TestApp& app) {
    std::vector<ui::ScriptedDialogs::Record> found;
    for (const auto& record : app.dialogs().records()) {
        if (record.buttons == ui::Buttons::YesNoCancel) {
            found.push_back(record);
        }
    }
    return found;
}

class UnreadableSideFiles : public ::testing::Test {
protected:
    /// The own diary with `file` replaced by `bytes`, started; the start-up's warning must name the file.
    void startWith(const char* file, const std::string& bytes) {
        Snapshot files = sora::test::own_diary_files();
        files[file] = bytes;
        sora::test::restore_snapshot(app.dir(), files);
        app.dialogs().clear();
        app.restart();
        bool warned = false;
        for (const auto& record : app.dialogs().records()) {
            warned = warned || (record.icon == ui::Icon::Warning && record.text.contains(QString::fromUtf8(file)));
        }
        EXPECT_TRUE(warned) << "the start-up did not warn about " << file;
    }
    /// Queues the control's own answers, then the answer to the question about the file.
    void answer(const Writer& w, ui::Answer toQuestion) {
        for (const ui::Answer a : w.confirm) {
            app.dialogs().queueAnswer(a);
        }
        app.dialogs().queueAnswer(toQuestion);
    }
    Snapshot files() const { return sora::test::snapshot_of(app.dir()); }
    sora::DataDir data() const { return sora::DataDir(app.dir()); }

    TestApp app;
};

TEST_F(UnreadableSideFiles, CancelKeepsTheBytesYesOrNoSavesThenNoMoreQuestions) {
    bool keep = true;  // Yes and No in turn, from file to file
    for (const Writer& w : writers()) {
        SCOPED_TRACE(std::string(w.file) + (keep ? " Yes" : " No"));
        startWith(w.file, w.bytes);
        w.setUp(app);
        const Snapshot before = files();
        const std::string name(w.file);
        const std::string copy =
            name.substr(0, name.rfind('.')) + "_読めなかった内容_20050301_101500" + name.substr(name.rfind('.'));

        app.dialogs().clear();
        answer(w, ui::Answer::Cancel);
        w.act(app);
        auto asked = questions(app);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].icon, ui::Icon::Question);
        EXPECT_TRUE(asked[0].text.startsWith(QString::fromStdString(name + " は読めなかったファイルです（起動時に")))
            << asked[0].text.toStdString();
        EXPECT_TRUE(asked[0].text.contains(QString::fromStdString("「" + copy + "」として残してから保存しますか？")));
        EXPECT_EQ(app.dialogs().records().size(), w.confirm.size() + 1) << "nothing but the question after Cancel";
        EXPECT_EQ(files(), before) << "Cancel writes nothing";
        w.followsCancel(app);

        // Yes keeps the old bytes unchanged in the copy, No keeps none; both save.
        app.dialogs().clear();
        answer(w, keep ? ui::Answer::Yes : ui::Answer::No);
        w.act(app);
        EXPECT_EQ(questions(app).size(), 1u);
        const Snapshot after = files();
        ASSERT_EQ(after.count(copy), keep ? 1u : 0u);
        if (keep) {
            EXPECT_EQ(after.at(copy), w.bytes);
        }
        EXPECT_EQ(after.size(), before.size() + (keep ? 1 : 0)) << "nothing else is new";
        EXPECT_TRUE(w.readsNow(data()));

        app.dialogs().clear();
        w.act(app);
        EXPECT_TRUE(questions(app).empty()) << "asked again after an agreed save";
        EXPECT_EQ(files().size(), after.size());
        keep = !keep;
    }
}

TEST_F(UnreadableSideFiles, ReadableFilesAreSavedWithoutAQuestion) {
    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.file);
        startWith("データ.txt",
                  "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\r\nbad\r\n");  // warns, but not about w
        w.setUp(app);
        app.dialogs().clear();
        w.act(app);
        EXPECT_TRUE(questions(app).empty());
    }
}

TEST_F(UnreadableSideFiles, NewStartAsksForTheNameAndTheGraphSettings) {
    Snapshot files = sora::test::own_diary_files();
    files["ﾌﾟﾗｲﾍﾞｰﾄ.txt"] = "\"\x8E\x81\x96\xBC\"\r\n";
    files["グラフ設定.txt"] = "\x82";
    sora::test::restore_snapshot(app.dir(), files);
    app.restart();
    auto fill = [this] {
        app.click("cmdSettei");
        app.click("cmdNew1");
        const std::pair<const char*, const char*> boxes[] = {{"txtPriData1", "太郎"}, {"txtSincyou1", "120"},
                                                             {"txtMokuTai1", "78"},   {"txtNowTai", "64"},
                                                             {"txtNowTai2", "70.5"},  {"txtNowJyou", "はじめの一歩"}};
        for (const auto& [box, text] : boxes) {
            app.find<QLineEdit>(box)->setText(QString::fromUtf8(text));
        }
    };
    fill();
    const Snapshot before = this->files();

    // Cancelled at the second question: nothing is written.
    app.dialogs().clear();
    for (const ui::Answer answer : {ui::Answer::Ok, ui::Answer::No, ui::Answer::Cancel}) {
        app.dialogs().queueAnswer(answer);
    }
    app.click("cmdStHozon");
    ASSERT_EQ(questions(app).size(), 2u);
    EXPECT_TRUE(questions(app)[0].text.startsWith(QString::fromUtf8("ﾌﾟﾗｲﾍﾞｰﾄ.txt は")));
    EXPECT_TRUE(questions(app)[1].text.startsWith(QString::fromUtf8("グラフ設定.txt は")));
    EXPECT_EQ(this->files(), before);
    EXPECT_FALSE(app.window().ended());

    // The name was agreed to already; only the graph settings are asked about.
    app.dialogs().clear();
    for (const ui::Answer answer : {ui::Answer::Ok, ui::Answer::Yes}) {
        app.dialogs().queueAnswer(answer);
    }
    app.click("cmdStHozon");
    ASSERT_EQ(questions(app).size(), 1u);
    EXPECT_TRUE(app.window().ended());
    const Snapshot after = this->files();
    EXPECT_EQ(after.at("グラフ設定_読めなかった内容_20050301_101500.txt"), files["グラフ設定.txt"]);
    EXPECT_EQ(after.count("ﾌﾟﾗｲﾍﾞｰﾄ_読めなかった内容_20050301_101500.txt"), 0u) << "No was the answer";
    EXPECT_EQ(sora::read_user_name(data()).value, "太郎");
    EXPECT_TRUE(sora::read_graph_settings(data()).ok);
}

}  // namespace
