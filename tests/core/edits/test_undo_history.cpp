// Undo: every kind of change taken back step by step to the files as they were, never over a file that changed
// since, all files of a step or none.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/edits/diary_save.h"
#include "core/edits/record_edit.h"
#include "core/edits/rename_situation.h"
#include "core/edits/undo_history.h"
#include "core/files/log_backups.h"
#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "faulty_io.h"
#include "own_diary_files.h"
#include "test_support.h"

namespace {

using namespace sora;
namespace fs = std::filesystem;

class Undo : public test::DataDirTest {
protected:
    void SetUp() override { test::restore_snapshot(m_scratch.path(), test::own_diary_files()); }
    test::Snapshot files() const { return test::snapshot_of(m_scratch.path()); }

    /// One change as a screen makes it: begin, write, then commit or abandon.
    bool change(UndoHistory& history, const std::string& label, const std::vector<std::string_view>& names,
                const std::function<bool()>& write) {
        EXPECT_TRUE(history.begin(label, names));
        const bool ok = write();
        if (ok) {
            history.commit();
        } else {
            history.abandon();
        }
        return ok;
    }

    FixedClock clock{{{2005, 3, 1}, 10, 15, 0}};
    BackupClockOverride clockInForce{clock};
    MeasurementLog log{dir()};
};

TEST_F(Undo, EveryKindOfChangeIsTakenBackStepByStep) {
    UndoHistory history(dir());
    const MeasurementRecord later{"2005/03/01", "起床後", 131, 86, 70, "10:15:00", 63.2f};
    const MeasurementRecord earlier{"2005/02/02", "夕食後", 128, 82, 71, "", 62.8f};
    struct Step {
        std::string label;
        std::vector<std::string_view> names;
        std::function<bool()> write;
    };
    const std::vector<Step> steps = {
        {record_undo_label(later, "保存"), {files::Log}, [&] { return log.append(later).ok; }},
        {record_undo_label(earlier, "保存"), {files::Log}, [&] { return log.insert_in_order(earlier).ok; }},
        {"2005/02/02 夕食後の修正",
         {files::Log},
         [&] {
             const LogReadResult read = log.read_all();
             return replace_record(log, 1, {"2005/02/04", "夕食後", 129, 82, 71, "", 62.8f}, read.stamp).written.ok;
         }},
        {"2005/02/01 起床後の削除", {files::Log}, [&] { return remove_record(log, 1, log.read_all().stamp).ok; }},
        {"一言日記の保存",
         {files::Log},
         [&] {
             std::vector<MeasurementRecord> shown = log.read_all().records;
             return save_diary(log, shown, 0, "よく眠れた").saved();
         }},
        {"状況リストの並べ替え",
         {files::Situations},
         [&] {
             return write_situations_plain(dir(), {"夕食後", "起床後"}).ok;
         }},
        {"状況名の変更", {files::Log, files::Situations}, [&] { return rename_situation(dir(), "起床後", "朝").ok; }},
    };
    std::vector<test::Snapshot> before;
    for (const Step& step : steps) {
        before.push_back(files());
        ASSERT_TRUE(change(history, step.label, step.names, step.write)) << step.label;
        ASSERT_NE(files(), before.back()) << step.label;
    }
    EXPECT_EQ(history.size(), steps.size());
    EXPECT_EQ(history.nextLabel(), "状況名の変更");
    EXPECT_EQ(steps[0].label, "2005/03/01 起床後の保存");

    const std::string renamedLog = rawFile(files::Log);
    for (std::size_t k = steps.size(); k-- > 0;) {
        SCOPED_TRACE(steps[k].label);
        ASSERT_TRUE(history.canUndo());
        EXPECT_EQ(history.nextLabel(), steps[k].label);
        const UndoResult undone = history.undo();
        ASSERT_TRUE(undone.ok) << undone.message;
        EXPECT_EQ(undone.label, steps[k].label);
        EXPECT_TRUE(undone.warning.empty()) << undone.warning;
        EXPECT_EQ(files(), before[k]);
        if (k == steps.size() - 1) {
            // Undo rewrites the log too: the log it replaces is kept as a copy first.
            const std::vector<BackupEntry> copies = list_backups(dir());
            ASSERT_FALSE(copies.empty());
            EXPECT_EQ(test::bytes_of(path("backup") / fs::u8path(copies.front().name)), renamedLog);
        }
    }
    EXPECT_FALSE(history.canUndo());
    EXPECT_EQ(history.nextLabel(), "");
    const UndoResult nothing = history.undo();
    EXPECT_FALSE(nothing.ok);
    EXPECT_FALSE(nothing.message.empty());
}

TEST_F(Undo, AFileChangedSinceIsNeverOverwrittenAndOnlyThatStepIsDropped) {
    struct Case {
        const char* what;
        std::vector<std::string_view> names;
        std::function<void()> prepare;
        std::function<bool()> step;
        std::function<void()> afterwards;  // a change the history does not know of
        const char* namedFile;
    };
    const std::vector<Case> cases = {
        {"a record appended by another program",
         {files::Log},
         [] {},
         [&] { return remove_record(log, 3, log.read_all().stamp).ok; },
         [&] { test::write_bytes(path(files::Log), rawFile(files::Log) + test::cp932(test::OwnLogText)); },
         "データ.txt"},
        {"the same length, other bytes",
         {files::Log},
         [] {},
         [&] { return remove_record(log, 3, log.read_all().stamp).ok; },
         [&] {
             std::string bytes = rawFile(files::Log);
             bytes[bytes.find("126")] = '9';
             test::write_bytes(path(files::Log), bytes);
         },
         "データ.txt"},
        {"a list the change created, removed since",
         {files::Situations},
         [&] { fs::remove(path(files::Situations)); },
         [&] { return append_situation(dir(), "入浴後", false).ok; },
         [&] { fs::remove(path(files::Situations)); },
         "状況リスト.txt"},
        {"a list the change left, written since",
         {files::Log, files::Situations},
         [] {},
         [&] { return rename_situation(dir(), "起床後", "朝").ok; },
         [&] { ASSERT_TRUE(append_situation(dir(), "入浴後", false).ok); },
         "状況リスト.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        UndoHistory history(dir());
        // An older step about the memo only, which stays possible.
        const std::string memo = rawFile(files::Memo);
        ASSERT_TRUE(
            change(history, "気付きメモの保存", {files::Memo}, [&] { return write_memo(dir(), "新しいメモ").ok; }));
        c.prepare();
        ASSERT_TRUE(change(history, "変更", c.names, c.step));
        c.afterwards();
        const test::Snapshot changed = files();
        const std::size_t copiesBefore = list_backups(dir()).size();

        const UndoResult refused = history.undo();
        EXPECT_FALSE(refused.ok);
        EXPECT_TRUE(refused.changedOnDisk);
        EXPECT_NE(refused.message.find(c.namedFile), std::string::npos) << refused.message;
        EXPECT_NE(refused.message.find("変更"), std::string::npos) << refused.message;
        EXPECT_EQ(files(), changed);
        EXPECT_EQ(list_backups(dir()).size(), copiesBefore) << "a refused undo copies nothing either";

        EXPECT_EQ(history.nextLabel(), "気付きメモの保存");
        ASSERT_TRUE(history.undo().ok);
        EXPECT_EQ(rawFile(files::Memo), memo);
        fs::remove_all(path("backup"));
    }
}

TEST_F(Undo, AFailedUndoPutsEveryFileBackAndKeepsTheStep) {
    UndoHistory history(dir());
    const test::Snapshot original = files();
    ASSERT_TRUE(change(history, "状況名の変更", {files::Log, files::Situations},
                       [&] { return rename_situation(dir(), "起床後", "朝").ok; }));
    const test::Snapshot renamed = files();
    {
        // The log is put back first, then the list fails: the log must go back to the renamed state too.
        test::FailRenameOnto failing("状況リスト.txt");
        FileIoOverride override(failing);
        const UndoResult failed = history.undo();
        EXPECT_FALSE(failed.ok);
        EXPECT_FALSE(failed.changedOnDisk);
        EXPECT_NE(failed.message.find("状況名の変更"), std::string::npos) << failed.message;
    }
    EXPECT_EQ(files(), renamed);
    ASSERT_EQ(history.nextLabel(), "状況名の変更");
    ASSERT_TRUE(history.undo().ok);
    EXPECT_EQ(files(), original);
}

TEST_F(Undo, AbandonedStepsUnreadableFilesAndTheLimit) {
    UndoHistory history(dir(), 2);
    ASSERT_TRUE(history.begin("保存", {files::Log}));
    history.abandon();
    history.commit();  // nothing begun: nothing to commit
    EXPECT_FALSE(history.canUndo());

    std::vector<std::string> memos;
    for (const char* text : {"一", "二", "三"}) {
        ASSERT_TRUE(change(history, text, {files::Memo}, [&] { return write_memo(dir(), text).ok; }));
        memos.push_back(rawFile(files::Memo));
    }
    EXPECT_EQ(history.size(), 2u);
    EXPECT_EQ(history.nextLabel(), "三");
    ASSERT_TRUE(history.undo().ok);
    ASSERT_TRUE(history.undo().ok);
    EXPECT_EQ(rawFile(files::Memo), memos[0]);
    EXPECT_FALSE(history.canUndo());

    // Whole files are kept: past the byte budget the oldest steps go, but the newest always stays.
    UndoHistory small(dir(), 20, 2 * rawFile(files::Memo).size() + 1);
    for (const char* text : {"四", "五", "六"}) {
        ASSERT_TRUE(change(small, text, {files::Memo}, [&] { return write_memo(dir(), text).ok; }));
    }
    EXPECT_EQ(small.size(), 2u);
    EXPECT_EQ(small.nextLabel(), "六");
    UndoHistory tiny(dir(), 20, 1);
    ASSERT_TRUE(change(tiny, "七", {files::Memo}, [&] { return write_memo(dir(), "七").ok; }));
    ASSERT_TRUE(change(tiny, "八", {files::Memo}, [&] { return write_memo(dir(), "八").ok; }));
    EXPECT_EQ(tiny.size(), 1u);
    EXPECT_EQ(tiny.nextLabel(), "八");

    // A file that cannot be read cannot be put back: the change may go ahead, without a step.
    fs::remove(path(files::Marker));
    fs::create_directory(path(files::Marker));
    EXPECT_FALSE(history.begin("マーカー", {files::Memo, files::Marker}));
    history.commit();
    EXPECT_FALSE(history.canUndo());
}

}  // namespace
