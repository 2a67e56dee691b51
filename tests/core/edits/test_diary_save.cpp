#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/edits/diary_save.h"
#include "core/files/file_io.h"
#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "core/files/text_codec.h"
#include "faulty_io.h"
#include "test_support.h"

using namespace sora;
namespace fs = std::filesystem;

namespace {

using DiaryDir = test::DataDirTest;

// The start record in its own form (empty sixth field), a record with automatic time, a comma text, two records of
// one day.
const std::string SampleLog =
    "\"2005/02/01\",\"はじめの一歩\",120,80,70,,62.5\r\n"
    "\"2005/02/01\",\"起床時\",118.5,76,66,\"7:05:09\",62.4\r\n"
    "\"2005/02/02\",\"就寝前\",131,84,75,\"\",62\r\n"
    "\"2005/02/03\",\"起床時\",126,80,70,\"朝,散歩\",61.9\r\n"
    "\"2005/02/03\",\"食後\",119,77,68,\"\",0\r\n";

/// Saves through the diary save as the screen does: the list is built from one read of the log.
DiarySaveResult saveOnce(const DataDir& dir, std::size_t index, const std::string& text,
                         std::vector<MeasurementRecord>* shownOut = nullptr) {
    MeasurementLog log(dir);
    LogReadResult read = log.read_all();
    EXPECT_TRUE(read.ok) << read.message;
    DiarySaveResult result = save_diary(log, read.records, index, text);
    if (shownOut) {
        *shownOut = read.records;
    }
    return result;
}

}  // namespace

TEST_F(DiaryDir, SaveRewritesEveryOtherRecordAsARewriteDoes) {
    writeFile(files::Log, SampleLog);
    std::vector<MeasurementRecord> shown;
    const DiarySaveResult result = saveOnce(dir(), 2, "よく眠れた", &shown);
    ASSERT_TRUE(result.saved()) << result.message;
    EXPECT_TRUE(result.message.empty());
    EXPECT_EQ(result.storedText, "よく眠れた");
    EXPECT_EQ(shown[2].diary, "よく眠れた");
    EXPECT_EQ(readFile(files::Log),
              "\"2005/02/01\",\"はじめの一歩\",120,80,70,\"\",62.5\r\n"
              "\"2005/02/01\",\"起床時\",118.5,76,66,\"7:05:09\",62.4\r\n"
              "\"2005/02/02\",\"就寝前\",131,84,75,\"よく眠れた\",62\r\n"
              "\"2005/02/03\",\"起床時\",126,80,70,\"朝,散歩\",61.9\r\n"
              "\"2005/02/03\",\"食後\",119,77,68,\"\",0\r\n");
    EXPECT_FALSE(fs::exists(m_scratch / files::LogCopy));
}

TEST_F(DiaryDir, SavedTextsReadBackUnchanged) {
    struct Case {
        std::size_t index;
        std::string typed;
        std::string stored;
    };
    const std::vector<Case> cases = {
        {3, "朝,昼,晩の三回", "朝,昼,晩の三回"},        // commas stay inside the quotes
        {1, "", ""},                                    // an empty text empties the diary
        {0, "スタート", "スタート"},                    // the start record takes a text like any other
        {4, "薬を\"半分\"にした", "薬を”半分”にした"},  // the format cannot hold a double quote
        {2, "①～Ⅲ ﾃｽﾄ　全角", "①～Ⅲ ﾃｽﾄ　全角"},        // CP932-only characters survive
    };
    for (const Case& c : cases) {
        writeFile(files::Log, SampleLog);
        const DiarySaveResult result = saveOnce(dir(), c.index, c.typed);
        ASSERT_TRUE(result.saved()) << c.typed << ": " << result.message;
        EXPECT_EQ(result.storedText, c.stored);
        const LogReadResult back = MeasurementLog(dir()).read_all();
        ASSERT_TRUE(back.ok) << back.message;
        ASSERT_EQ(back.records.size(), 5u);
        EXPECT_EQ(back.records[c.index].diary, c.stored);
        // The neighbours keep their values, also the ones with decimals and a comma text.
        EXPECT_FLOAT_EQ(back.records[1].systolic, 118.5f);
        EXPECT_EQ(back.records[4].weight, 0.0f);
        if (c.index != 3) {
            EXPECT_EQ(back.records[3].diary, "朝,散歩");
        }
    }
}

// A diary that holds only the automatic saving time keeps it in front of the text written for the record.
TEST_F(DiaryDir, SavingTimeStaysInFrontOfTheWrittenText) {
    struct Case {
        std::string before;  // the record's diary on file
        std::string typed;
        std::string stored;
    };
    const std::vector<Case> cases = {
        {"7:05:09", "散歩をした", "7:05:09 散歩をした"},
        {"17:30:00", "夕食後に測定", "17:30:00 夕食後に測定"},
        {"0:00:00", "深夜", "0:00:00 深夜"},
        {"23:59:59", "寝る前", "23:59:59 寝る前"},
        {"07:05:09", "散歩", "07:05:09 散歩"},
        {"7:05:09", "薬を\"半分\"", "7:05:09 薬を”半分”"},
        {"7:05:09", "8:00:00 に薬", "7:05:09 8:00:00 に薬"},
        // The text already starts with the time: the box showed it and the user wrote after it.
        {"7:05:09", "7:05:09 散歩をした", "7:05:09 散歩をした"},
        {"7:05:09", "7:05:09散歩", "7:05:09散歩"},
        {"7:05:09", "7:05:09", "7:05:09"},
        // Emptying the box still empties the diary.
        {"7:05:09", "", ""},
        {"7:05:09", "  ", "  "},
        {"7:05:09", "　", "　"},
        // Anything but exactly a time of day is replaced as before.
        {"7:05:09 散歩", "ジョギング", "ジョギング"},
        {" 7:05:09", "散歩", "散歩"},
        {"7:5:09", "散歩", "散歩"},
        {"7:05:9", "散歩", "散歩"},
        {"24:00:00", "散歩", "散歩"},
        {"7:60:00", "散歩", "散歩"},
        {"7:05:60", "散歩", "散歩"},
        {"123:05:09", "散歩", "散歩"},
        {"7:05", "散歩", "散歩"},
        {"朝", "昼", "昼"},
        {"", "散歩", "散歩"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("'" + c.before + "' + '" + c.typed + "'");
        writeFile(files::Log,
                  "\"2005/02/01\",\"はじめの一歩\",120,80,70,,62.5\r\n"
                  "\"2005/02/01\",\"起床時\",118.5,76,66,\"" +
                      c.before + "\",62.4\r\n");
        const DiarySaveResult result = saveOnce(dir(), 1, c.typed);
        ASSERT_TRUE(result.saved()) << result.message;
        EXPECT_EQ(result.storedText, c.stored);
        const LogReadResult back = MeasurementLog(dir()).read_all();
        ASSERT_TRUE(back.ok) << back.message;
        EXPECT_EQ(back.records[1].diary, c.stored);
    }
}

TEST_F(DiaryDir, RefusedTextsLeaveTheLogAlone) {
    writeFile(files::Log, SampleLog);
    const std::string before = rawFile(files::Log);
    struct Case {
        std::string text;
        std::string named;  // the character the message names
    };
    for (const Case& c : std::vector<Case>{{"散歩😀した", "😀"}, {"한국어", "한"}, {"二行\nの日記", ""}}) {
        const DiarySaveResult result = saveOnce(dir(), 2, c.text);
        EXPECT_EQ(result.status, DiarySaveStatus::TextRefused) << c.text;
        EXPECT_FALSE(result.message.empty());
        if (!c.named.empty()) {
            EXPECT_NE(result.message.find("「" + c.named + "」"), std::string::npos) << result.message;
        }
        EXPECT_EQ(rawFile(files::Log), before);
    }
}

TEST_F(DiaryDir, LogChangedOnDiskIsNotOverwritten) {
    writeFile(files::Log, SampleLog);
    MeasurementLog log(dir());
    LogReadResult shown = log.read_all();
    ASSERT_TRUE(shown.ok);
    // Another copy of the program adds a record after the list was built.
    ASSERT_TRUE(log.append({"2005/02/04", "起床時", 122, 79, 69, "", 61.7f}));
    const std::string changed = rawFile(files::Log);
    const std::vector<MeasurementRecord> before = shown.records;

    DiarySaveResult result = save_diary(log, shown.records, 1, "上書きしない");
    EXPECT_EQ(result.status, DiarySaveStatus::ChangedOnDisk);
    EXPECT_NE(result.message.find("データファイルが他で変更されています"), std::string::npos);
    EXPECT_EQ(rawFile(files::Log), changed);
    EXPECT_EQ(shown.records, before);

    // A value edited elsewhere (same number of records) is caught too.
    writeFile(files::Log, SampleLog);
    shown = log.read_all();
    std::string edited = SampleLog;
    edited.replace(edited.find("131,84"), 6, "132,84");
    writeFile(files::Log, edited);
    result = save_diary(log, shown.records, 1, "上書きしない");
    EXPECT_EQ(result.status, DiarySaveStatus::ChangedOnDisk);
    EXPECT_EQ(readFile(files::Log), edited);

    // A log that has gone missing is reported and not recreated.
    fs::remove(m_scratch / files::Log);
    result = save_diary(log, shown.records, 1, "上書きしない");
    EXPECT_EQ(result.status, DiarySaveStatus::ReadFailed);
    EXPECT_FALSE(result.message.empty());
    EXPECT_FALSE(fs::exists(m_scratch / files::Log));
}

TEST_F(DiaryDir, FailedWriteIsReportedAndTheOldLogStays) {
    // Fail each file call of the rewrite in turn: either the save reports a failure and the old log is intact, or it
    // reports success and the new log is complete.
    int failures = 0;
    for (int n = 1; n < 40; ++n) {
        // A copy of the same bytes is made once: each run starts without one, so that every call gets its turn.
        fs::remove_all(m_scratch / "backup");
        writeFile(files::Log, SampleLog);
        const std::string before = rawFile(files::Log);
        MeasurementLog log(dir());
        LogReadResult shown = log.read_all();
        ASSERT_TRUE(shown.ok);
        test::FaultyIo io(n);
        DiarySaveResult result;
        {
            FileIoOverride override(io);
            result = save_diary(log, shown.records, 2, "書けない");
        }
        if (!io.failed()) {
            break;
        }
        if (test::failed_in_backup_folder(io)) {
            // Only the copy of the old log failed: the text is saved all the same, with a warning.
            EXPECT_EQ(result.status, DiarySaveStatus::Saved);
            EXPECT_FALSE(result.warning.empty());
            EXPECT_EQ(log.read_all().records[2].diary, "書けない");
            continue;
        }
        if (io.failedCall() == "sync_directory") {
            // The new log is in place but not confirmed on disk: saved, with a warning, and the list follows.
            EXPECT_EQ(result.status, DiarySaveStatus::SavedUnconfirmed);
            EXPECT_FALSE(result.message.empty());
            EXPECT_EQ(log.read_all().records[2].diary, "書けない");
            EXPECT_EQ(shown.records[2].diary, "書けない");
            continue;
        }
        ++failures;
        EXPECT_EQ(result.status, DiarySaveStatus::WriteFailed) << io.failedCall();
        EXPECT_FALSE(result.message.empty());
        EXPECT_EQ(rawFile(files::Log), before) << io.failedCall();
        EXPECT_EQ(shown.records[2].diary, "") << io.failedCall();
    }
    EXPECT_GE(failures, 3);  // at least open, write and rename of the temporary file can fail
}

TEST_F(DiaryDir, ALogBeyondSixteenBitCounts) {
    std::string text;
    for (int i = 0; i < 40000; ++i) {
        text += "\"2005/02/01\",\"起床時\",120,80,70,\"\",60\r\n";
    }
    writeFile(files::Log, text);
    const DiarySaveResult result = saveOnce(dir(), 39999, "最後の行");
    ASSERT_TRUE(result.saved()) << result.message;
    const LogReadResult back = MeasurementLog(dir()).read_all();
    ASSERT_EQ(back.records.size(), 40000u);
    EXPECT_EQ(back.records[39999].diary, "最後の行");
    EXPECT_EQ(back.records[32767].diary, "");
}

TEST_F(DiaryDir, MemoOfSeveralLinesRoundTrips) {
    for (const std::string& box : {std::string("一行目\n二行目\n\n四行目 \"引用\""), std::string("一行だけ"),
                                   std::string(""), std::string("Windows\r\n改行\r\n")}) {
        const WriteResult written = save_memo(dir(), box);
        ASSERT_TRUE(written) << written.message;
        const std::string file = memo_for_file(box);
        EXPECT_EQ(readFile(files::Memo), file + "\r\n");
        const SideFileRead<std::string> back = read_memo(dir());
        ASSERT_TRUE(back.ok) << back.message;
        EXPECT_EQ(back.value, file);
        EXPECT_EQ(memo_for_box(back.value), memo_for_box(box));
    }
    EXPECT_EQ(memo_for_file("a\nb\r\nc\rd"), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(memo_for_box("a\r\nb\r\n\r\nc"), "a\nb\n\nc");
}

TEST_F(DiaryDir, MemoWithAnUnstorableCharacterIsRefused) {
    ASSERT_TRUE(save_memo(dir(), "前のメモ"));
    const std::string before = rawFile(files::Memo);
    const WriteResult result = save_memo(dir(), "血圧\n良好👍");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("「👍」"), std::string::npos) << result.message;
    EXPECT_EQ(rawFile(files::Memo), before);
}
