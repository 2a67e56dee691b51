// Correcting and deleting one record of the log: the dialog's checks, where an edited record lands, and that every
// other line keeps its bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/edits/record_edit.h"
#include "core/files/measurement_log.h"
#include "test_support.h"

namespace {

using namespace sora;

TEST(RecordInputCheck, SameRulesAndMessagesAsTheEntryPanelAfterTheDate) {
    struct Case {
        bool sample;
        RecordInput input;
        const char* title;  // empty: accepted
        RecordBox box;
    };
    const EntryBoxes good = {"131", "84", "70", "62.4"};
    using B = RecordBox;
    const std::vector<Case> cases = {
        {true, {"", "", good, ""}, "新規スタート促し", B::None},
        {false, {"", "起床後", good, ""}, "日付未入力", B::Date},
        {false, {"2005/2/30", "", good, ""}, "日付入力", B::Date},  // the date is checked first
        {false, {"05/02/09", "起床後", good, ""}, "日付入力", B::Date},
        {false, {"2005-02-09", "起床後", good, ""}, "日付入力", B::Date},
        {false, {"0000/02/09", "起床後", good, ""}, "日付入力", B::Date},
        {false, {"2005/02/09", "", good, ""}, "行動未入力", B::Situation},
        {false, {"2005/02/09", "起床後", {"", "", "", ""}, ""}, "最高血圧未入力", B::Systolic},
        {false, {"2005/02/09", "起床後", {"131", "abc", "70", "62"}, ""}, "数値以外入力", B::Diastolic},
        {false, {"2005/02/09", "起床後", {"131", "84", "0", "62"}, ""}, "異常入力", B::Pulse},
        {false, {"2005/02/09", "起床後", {"131", "84", "70", "999"}, ""}, "入力制限", B::Weight},
        {false, {"2005/02/09", "散歩😀", good, ""}, "使用できない文字", B::Situation},
        {false, {"2005/02/09", "起床後", good, "晴れ😀"}, "使用できない文字", B::Diary},
        {false, {"2005/2/9", "起床後", good, ""}, "", B::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input.date + " / " + c.input.situation + " / " + c.input.diary);
        const RecordCheck check = check_record_input(c.sample, c.input);
        EXPECT_EQ(check.refusal.title, c.title);
        EXPECT_EQ(check.box, c.box);
        EXPECT_EQ(check.record.has_value(), std::string(c.title).empty());
        if (!check.record) {
            const std::optional<EntryMessage> panel = check_entry(c.sample, c.input.situation, c.input.values);
            // Where the panel refuses too, the dialog says exactly what the panel says.
            if (panel && c.box != B::Date) {
                EXPECT_EQ(check.refusal, *panel);
            }
        }
    }
    // Texts as the files hold them: "”" for a double quote, a blank for a pasted line break; floats as the panel.
    const RecordCheck stored =
        check_record_input(false, {"2005/2/9", "起床後 \"朝\"", {"131.5", "84", "70", "62.4"}, "晴れ\r\n散歩"});
    ASSERT_TRUE(stored.record);
    EXPECT_EQ(*stored.record, (MeasurementRecord{"2005/02/09", "起床後 ”朝”", 131.5f, 84, 70, "晴れ 散歩", 62.4f}));
}

// A log as a user may have it: the start record in its own form, one line written by hand (no quotes, blanks,
// "131.0", LF alone), the last line without its line break.
const std::string L0 = "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\r\n";
const std::string L1 = "\"2005/02/01\",\"起床後\",125,79,66,\"\",62.6\r\n";
const std::string L2 = "2005/02/03 , 夕食後 ,131.0,84,68,\"7:05:09\",62.40\n";
const std::string L3 = "\"2005/02/03\",\"就寝前\",120,80,60,\"\",62\r\n";
const std::string L4 = "\"2005/02/05\",\"起床後\",150,85,72,\"晴れ, 散歩\",63";
const std::string Log = L0 + L1 + L2 + L3 + L4;

class RecordEdit : public test::DataDirTest {
protected:
    LogReadResult write(const std::string& utf8) {
        test::write_bytes(path(files::Log), test::cp932(utf8));
        return MeasurementLog(dir()).read_all();
    }
};

TEST_F(RecordEdit, OnlyTheEditedLineChangesAndANewDateMovesIt) {
    struct Case {
        const char* what;
        std::string log;
        std::size_t index;
        MeasurementRecord record;
        std::string expected;
        std::size_t placedAt;
    };
    const std::vector<Case> cases = {
        {"values of the hand-written line",
         Log,
         2,
         {"2005/02/03", "夕食後", 132, 84, 68, "7:05:09", 62.4f},
         L0 + L1 + "\"2005/02/03\",\"夕食後\",132,84,68,\"7:05:09\",62.4\r\n" + L3 + L4,
         2},
        {"a later date goes after the records of that day",
         Log,
         1,
         {"2005/02/03", "起床後", 125, 79, 66, "", 62.6f},
         L0 + L2 + L3 + "\"2005/02/03\",\"起床後\",125,79,66,\"\",62.6\r\n" + L4,
         3},
        {"an earlier date goes after the records of that day",
         Log,
         3,
         {"2005/02/01", "就寝前", 120, 80, 60, "", 62},
         L0 + L1 + "\"2005/02/01\",\"就寝前\",120,80,60,\"\",62\r\n" + L2 + L4,
         2},
        {"the last line without its break moves up",
         Log,
         4,
         {"2005/02/02", "起床後", 150, 85, 72, "晴れ", 63},
         L0 + L1 + "\"2005/02/02\",\"起床後\",150,85,72,\"晴れ\",63\r\n" + L2 + L3,
         2},
        {"a line moved past the last one gives it its break",
         Log,
         2,
         {"2005/02/09", "夕食後", 131, 84, 68, "", 62.4f},
         L0 + L1 + L3 + L4 + "\r\n\"2005/02/09\",\"夕食後\",131,84,68,\"\",62.4\r\n",
         4},
        {"a date before the start makes the record the start record",
         Log,
         1,
         {"2005/01/31", "起床後", 125, 79, 66, "", 62.6f},
         "\"2005/01/31\",\"起床後\",125,79,66,,62.6\r\n" + L0 + L2 + L3 + L4,
         0},
        {"the start record keeps its form",
         Log,
         0,
         {"2005/02/01", "はじめの一歩", 127, 81, 70, "", 62.5f},
         "\"2005/02/01\",\"はじめの一歩\",127,81,70,,62.5\r\n" + L1 + L2 + L3 + L4,
         0},
        {"the start record with a diary",
         Log,
         0,
         {"2005/02/01", "はじめの一歩", 126, 80, 70, "開始", 62.5f},
         "\"2005/02/01\",\"はじめの一歩\",126,80,70,\"開始\",62.5\r\n" + L1 + L2 + L3 + L4,
         0},
        {"the start record moved later",
         Log,
         0,
         {"2005/02/04", "はじめの一歩", 126, 80, 70, "", 62.5f},
         L1 + L2 + L3 + "\"2005/02/04\",\"はじめの一歩\",126,80,70,\"\",62.5\r\n" + L4,
         3},
        {"blank lines at the end stay at the end",
         L0 + L1 + L3 + "\r\n \r\n",
         2,
         {"2005/01/31", "就寝前", 120, 80, 60, "", 62},
         "\"2005/01/31\",\"就寝前\",120,80,60,,62\r\n" + L0 + L1 + "\r\n \r\n",
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const LogReadResult read = write(c.log);
        ASSERT_TRUE(read.ok) << read.message;
        const RecordEditResult result = replace_record(MeasurementLog(dir()), c.index, c.record, read.stamp);
        ASSERT_TRUE(result.written.ok) << result.written.message;
        EXPECT_TRUE(result.changed);
        EXPECT_EQ(result.index, c.placedAt);
        EXPECT_EQ(readFile(files::Log), c.expected);
        EXPECT_EQ(MeasurementLog(dir()).read_all().records.at(c.placedAt), c.record);
    }
}

TEST_F(RecordEdit, DeletingKeepsEveryOtherLineButNeverTheOnlyRecord) {
    struct Case {
        std::string log;
        std::size_t index;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {Log, 2, L0 + L1 + L3 + L4}, {Log, 0, L1 + L2 + L3 + L4},  // the next record becomes the first as it is written
        {Log, 4, L0 + L1 + L2 + L3}, {Log, 3, L0 + L1 + L2 + L4}, {L0 + L1 + "\r\n", 1, L0 + "\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        const LogReadResult read = write(c.log);
        ASSERT_TRUE(read.ok) << read.message;
        const WriteResult removed = remove_record(MeasurementLog(dir()), c.index, read.stamp);
        ASSERT_TRUE(removed.ok) << removed.message;
        EXPECT_EQ(readFile(files::Log), c.expected);
    }

    const LogReadResult only = write(L0);
    const WriteResult refused = remove_record(MeasurementLog(dir()), 0, only.stamp);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, only_record_message());
    EXPECT_EQ(readFile(files::Log), L0);
    // It can still be corrected.
    ASSERT_TRUE(replace_record(MeasurementLog(dir()), 0, {"2005/02/02", "はじめの一歩", 1, 2, 3, "", 4}, only.stamp)
                    .written.ok);
    EXPECT_EQ(readFile(files::Log), "\"2005/02/02\",\"はじめの一歩\",1,2,3,,4\r\n");
}

TEST_F(RecordEdit, NothingIsWrittenUnlessTheLogIsTheOneTheScreenRead) {
    const MeasurementLog log(dir());
    const MeasurementRecord edited{"2005/02/03", "夕食後", 132, 84, 68, "", 62.4f};
    struct Case {
        const char* what;
        std::function<FileStamp()> setUp;  // returns the stamp the screen read
        std::size_t index;
        MeasurementRecord record;
        bool changedOnDisk;
    };
    const std::vector<Case> cases = {
        {"a record appended since",
         [&] {
             const FileStamp stamp = write(L0 + L1).stamp;
             EXPECT_TRUE(log.append(edited).ok);
             return stamp;
         },
         1, edited, true},
        {"a row past the end", [&] { return write(L0 + L1).stamp; }, 2, edited, true},
        {"a log that no longer reads", [&] { return write(L0 + "\"2005/02/01\",\"x\"\r\n").stamp; }, 0, edited, false},
        {"a date not in the log's form",
         [&] { return write(L0 + L1).stamp; },
         1,
         {"2005/2/3", "夕食後", 1, 2, 3, "", 4},
         false},
        {"a line break in a text",
         [&] { return write(L0 + L1).stamp; },
         1,
         {"2005/02/03", "夕\n食後", 1, 2, 3, "", 4},
         false},
        {"a character the file cannot hold",
         [&] { return write(L0 + L1).stamp; },
         1,
         {"2005/02/03", "夕食後", 1, 2, 3, "😀", 4},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const FileStamp readAs = c.setUp();
        const std::string before = rawFile(files::Log);
        const RecordEditResult edit = replace_record(log, c.index, c.record, readAs);
        EXPECT_FALSE(edit.written.ok);
        EXPECT_FALSE(edit.written.message.empty());
        EXPECT_EQ(edit.written.changedOnDisk, c.changedOnDisk);
        EXPECT_EQ(rawFile(files::Log), before);
        if (c.record == edited) {
            const WriteResult removed = remove_record(log, c.index, readAs);
            EXPECT_FALSE(removed.ok);
            EXPECT_EQ(removed.changedOnDisk, c.changedOnDisk);
            EXPECT_EQ(rawFile(files::Log), before);
        }
    }

    // A record that is already so writes nothing at all.
    const LogReadResult read = write(L0 + L1);
    const RecordEditResult same = replace_record(log, 1, read.records[1], read.stamp);
    EXPECT_TRUE(same.written.ok);
    EXPECT_FALSE(same.changed);
    EXPECT_EQ(stamp_of(path(files::Log)), read.stamp);
    EXPECT_FALSE(std::filesystem::exists(path("backup")));
}

}  // namespace
