// The automatic copies of the log in "backup/": their names, which ones pruning keeps, which writes take one, and
// that a copy which cannot be made never stops the write it comes before.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/edits/diary_save.h"
#include "core/edits/new_start.h"
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

const DateTime Now{{2005, 3, 1}, 10, 15, 0};
const std::string CopyName = "データ_20050301_101500.txt";

/// Names of the files in a folder, sorted; empty when there is no such folder.
std::vector<std::string> names_in(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class Backups : public test::DataDirTest {
protected:
    void SetUp() override {
        for (const auto& [name, bytes] : test::own_diary_files()) {
            test::write_bytes(path(name), bytes);
        }
    }
    fs::path backups() const { return path("backup"); }
    std::vector<std::string> copies() const { return names_in(backups()); }
    std::string copy(const std::string& name) const { return test::bytes_of(backups() / fs::u8path(name)); }
    void putCopy(const std::string& name, const std::string& bytes) const {
        fs::create_directories(backups());
        test::write_bytes(backups() / fs::u8path(name), bytes);
    }

    FixedClock clock{Now};
    BackupClockOverride clockInForce{clock};
};

TEST(BackupNames, TellWhenACopyWasTakenAndNothingElseCounts) {
    EXPECT_EQ(backup_log_name({{2005, 3, 1}, 9, 5, 7}), "データ_20050301_090507.txt");
    struct Case {
        const char* name;
        bool isCopy;
        DateTime taken;
        int sequence;
    };
    const std::vector<Case> cases = {
        {"データ_20050301_101500.txt", true, {{2005, 3, 1}, 10, 15, 0}, 1},
        {"データ_20241231_235959_2.txt", true, {{2024, 12, 31}, 23, 59, 59}, 2},
        {"データ_20241231_235959_12.txt", true, {{2024, 12, 31}, 23, 59, 59}, 12},
        {"データ_20050229_101500.txt", false, {}, 0},    // no such day
        {"データ_20050301_241500.txt", false, {}, 0},    // no such hour
        {"データ_20050301_101500_1.txt", false, {}, 0},  // the first copy has no number
        {"データ_20050301_101500_02.txt", false, {}, 0},
        {"データ_20050301_101500_.txt", false, {}, 0},
        {"データ_20050301_1015.txt", false, {}, 0},
        {"データ_20050301_101500.TXT", false, {}, 0},
        {"データ_20050301-101500.txt", false, {}, 0},
        {"データコピー.4711-1.txt", false, {}, 0},
        {"データ.txt", false, {}, 0},
        {"メモ_20050301_101500.txt", false, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<BackupTime> time = backup_time(c.name);
        ASSERT_EQ(time.has_value(), c.isCopy);
        if (time) {
            EXPECT_EQ(time->taken.date, c.taken.date);
            EXPECT_EQ(std::vector<int>({time->taken.hour, time->taken.minute, time->taken.second, time->sequence}),
                      std::vector<int>({c.taken.hour, c.taken.minute, c.taken.second, c.sequence}));
        }
    }
}

TEST(BackupPruning, KeepsTheNewestThirtyAndTheNewestOfEachOfTwentyFourMonths) {
    const Date today{2005, 3, 1};
    std::vector<std::string> names;
    // 35 copies in the last five days of February, seven a day.
    for (int day = 24; day <= 28; ++day) {
        for (int hour = 1; hour <= 7; ++hour) {
            names.push_back(backup_log_name({{2005, 2, day}, hour, 0, 0}));
        }
    }
    const std::vector<std::string> older = {
        "データ_20050120_080000.txt",    // January's newest
        "データ_20050110_080000.txt",    // an older one of January
        "データ_20040229_235959.txt",    // the only one of February 2004
        "データ_20030415_120000.txt",    // April 2003: the 24th month back
        "データ_20030401_120000.txt",    // an older one of that month
        "データ_20030331_120000.txt",    // the 25th month back
        "データ_20010101_000000.txt",    // far older
        "データ_20030415_120000_2.txt",  // a second copy of the same second is newer than the first
    };
    names.insert(names.end(), older.begin(), older.end());
    // Other names in the folder are never touched.
    names.insert(names.end(), {"メモ.txt", "データ_20030301.txt", "データ_20050230_000000.txt"});

    std::vector<std::string> removed = backups_to_remove(names, today);
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, (std::vector<std::string>{"データ_20010101_000000.txt", "データ_20030331_120000.txt",
                                                 "データ_20030401_120000.txt", "データ_20030415_120000.txt",
                                                 "データ_20050110_080000.txt", "データ_20050224_010000.txt",
                                                 "データ_20050224_020000.txt", "データ_20050224_030000.txt",
                                                 "データ_20050224_040000.txt", "データ_20050224_050000.txt"}));

    // A year on the newest thirty stay, January 2005 is still within the months kept, 2003 and February 2004 not.
    std::vector<std::string> later = backups_to_remove(names, {2006, 3, 1});
    std::sort(later.begin(), later.end());
    EXPECT_EQ(later, (std::vector<std::string>{
                         "データ_20010101_000000.txt", "データ_20030331_120000.txt", "データ_20030401_120000.txt",
                         "データ_20030415_120000.txt", "データ_20030415_120000_2.txt", "データ_20040229_235959.txt",
                         "データ_20050110_080000.txt", "データ_20050224_010000.txt", "データ_20050224_020000.txt",
                         "データ_20050224_030000.txt", "データ_20050224_040000.txt", "データ_20050224_050000.txt"}));
    // Thirty copies or fewer are all kept.
    EXPECT_TRUE(backups_to_remove(std::vector<std::string>(names.begin(), names.begin() + 30), today).empty());
}

TEST(BackupPruning, ACopyNeedsRoomForItselfTheNewLogAndAReserve) {
    constexpr unsigned long long MiB = 1024 * 1024;
    struct Case {
        unsigned long long available;
        unsigned long long copy;
        bool room;
    };
    const std::vector<Case> cases = {
        {100 * MiB, 2 * MiB, true}, {36 * MiB, 2 * MiB, true},     {36 * MiB - 1, 2 * MiB, false},
        {31 * MiB, 0, false},       {1000 * MiB, 484 * MiB, true}, {1000 * MiB, 485 * MiB, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(backup_leaves_room(c.available, c.copy), c.room) << c.available << " free, copy " << c.copy;
    }
}

TEST_F(Backups, EveryRewriteOfTheLogTakesACopyFirstButAnAppendDoesNot) {
    const MeasurementRecord later{"2005/03/01", "起床後", 131, 86, 70, "", 63.2f};
    const MeasurementRecord earlier{"2005/02/02", "夕食後", 128, 82, 71, "", 62.8f};
    struct Case {
        const char* what;
        std::function<bool(const DataDir&)> write;
        bool copies;
    };
    const std::vector<Case> cases = {
        {"append", [&](const DataDir& d) { return MeasurementLog(d).append(later).ok; }, false},
        {"insert of the latest date (an append)",
         [&](const DataDir& d) { return MeasurementLog(d).insert_in_order(later).ok; }, false},
        {"insert", [&](const DataDir& d) { return MeasurementLog(d).insert_in_order(earlier).ok; }, true},
        {"rewrite_all",
         [&](const DataDir& d) {
             std::vector<MeasurementRecord> records = MeasurementLog(d).read_all().records;
             records.pop_back();
             return MeasurementLog(d).rewrite_all(records, true).ok;
         },
         true},
        {"diary save",
         [&](const DataDir& d) {
             std::vector<MeasurementRecord> shown = MeasurementLog(d).read_all().records;
             return save_diary(MeasurementLog(d), shown, 1, "よく眠れた").saved();
         },
         true},
        {"rename", [&](const DataDir& d) { return rename_situation(d, "起床後", "朝").ok; }, true},
        {"new start",
         [&](const DataDir& d) {
             return perform_new_start(d, {"太郎", {"2005/03/01", "はじめの一歩", 120, 78, 64, "", 70.5f}}, {}, Now).ok;
         },
         true},
        {"edit",
         [&](const DataDir& d) {
             const LogReadResult read = MeasurementLog(d).read_all();
             return replace_record(MeasurementLog(d), 2, earlier, read.stamp).written.ok;
         },
         true},
        {"delete",
         [&](const DataDir& d) {
             const LogReadResult read = MeasurementLog(d).read_all();
             return remove_record(MeasurementLog(d), 3, read.stamp).ok;
         },
         true},
    };
    const std::string oldLog = rawFile(files::Log);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(backups());
        test::write_bytes(path(files::Log), oldLog);
        ASSERT_TRUE(c.write(dir()));
        ASSERT_NE(rawFile(files::Log), oldLog);
        if (c.copies) {
            EXPECT_EQ(copies(), std::vector<std::string>{CopyName});
            EXPECT_EQ(copy(CopyName), oldLog);  // the bytes as they were, CP932 and CR LF untouched
        } else {
            EXPECT_EQ(copies(), std::vector<std::string>{});
        }
    }
}

TEST_F(Backups, CopiesOfOneSecondGetNumbersAndOldOnesArePruned) {
    // Forty old copies, one a day in January, and a copy cut off by a killed process.
    for (int day = 1; day <= 31; ++day) {
        putCopy(backup_log_name({{2005, 1, day}, 8, 0, 0}), "old\r\n");
    }
    putCopy("データコピー.4711-1.txt", "cut o");
    putCopy("メモ.txt", "mine");
    const MeasurementLog log(dir());
    for (int i = 0; i < 3; ++i) {
        std::vector<MeasurementRecord> records = log.read_all().records;
        records.pop_back();
        const WriteResult written = log.rewrite_all(records);
        ASSERT_TRUE(written.ok) << written.message;
        EXPECT_TRUE(written.warning.empty()) << written.warning;
    }
    const std::vector<std::string> left = copies();
    EXPECT_EQ(left.size(), 31u);  // 30 newest and January's newest among them, and the other file
    for (const char* name : {"データ_20050301_101500.txt", "データ_20050301_101500_2.txt",
                             "データ_20050301_101500_3.txt", "データ_20050105_080000.txt", "メモ.txt"}) {
        EXPECT_EQ(std::count(left.begin(), left.end(), name), 1) << name;
    }
    for (const char* name : {"データ_20050104_080000.txt", "データコピー.4711-1.txt"}) {
        EXPECT_EQ(std::count(left.begin(), left.end(), name), 0) << name;
    }
    // Each copy holds the log as it was before its rewrite: four, three, then two records.
    EXPECT_EQ(parse_log(copy("データ_20050301_101500.txt")).records.size(), 4u);
    EXPECT_EQ(parse_log(copy("データ_20050301_101500_3.txt")).records.size(), 2u);

    // A number freed by pruning is not taken again: the next copy still sorts as the newest of its second.
    fs::remove(backups() / fs::u8path("データ_20050301_101500_2.txt"));
    fs::remove(backups() / fs::u8path("データ_20050301_101500.txt"));
    EXPECT_EQ(unused_backup_name(backups(), Now), "データ_20050301_101500_4.txt");
    EXPECT_EQ(unused_backup_name(backups(), {{2005, 3, 1}, 10, 15, 1}), "データ_20050301_101501.txt");
}

TEST_F(Backups, ACopyThatCannotBeMadeWarnsAndTheWriteGoesOn) {
    const MeasurementLog log(dir());
    const std::vector<MeasurementRecord> records = {log.read_all().records.front()};
    const std::vector<std::pair<const char*, std::function<void()>>> faults = {
        {"a file named backup", [&] { test::write_bytes(backups(), "not a folder"); }},
        {"the copy's rename fails", [] {}},
    };
    for (const auto& [what, setUp] : faults) {
        SCOPED_TRACE(what);
        SetUp();
        fs::remove_all(backups());
        setUp();
        test::FailRenameOnto failing(CopyName);
        WriteResult written;
        {
            FileIoOverride override(failing);
            written = log.rewrite_all(records, true);
        }
        EXPECT_TRUE(written.ok) << written.message;
        EXPECT_NE(written.warning.find("控え"), std::string::npos) << written.warning;
        EXPECT_EQ(log.read_all().records, records);
        const std::vector<std::string> left = copies();
        EXPECT_EQ(std::count(left.begin(), left.end(), CopyName), 0);
        fs::remove_all(backups());
    }
}

TEST_F(Backups, TheFirstStartOfADayTakesACopy) {
    EXPECT_EQ(backup_at_start(dir(), Now), std::nullopt);
    EXPECT_EQ(copies(), std::vector<std::string>{CopyName});
    EXPECT_EQ(backup_at_start(dir(), {{2005, 3, 1}, 22, 0, 0}), std::nullopt);
    EXPECT_EQ(copies().size(), 1u) << "a second start of the day";
    EXPECT_EQ(backup_at_start(dir(), {{2005, 3, 2}, 7, 0, 0}), std::nullopt);
    EXPECT_EQ(copies(), (std::vector<std::string>{CopyName, "データ_20050302_070000.txt"}));

    fs::remove(path(files::Log));
    EXPECT_EQ(backup_at_start(dir(), {{2005, 3, 3}, 7, 0, 0}), std::nullopt);
    EXPECT_EQ(copies().size(), 2u) << "no log, nothing to keep";
    EXPECT_TRUE(backup_log(dir(), Now).has_value()) << "asked for a copy of no log";
}

TEST_F(Backups, TheRestoreListTellsEachCopysRecordsAndLastDate) {
    putCopy("データ_20050220_070000.txt", test::cp932("\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\r\n"
                                                      "\"2005/02/03\",\"夕食後\",131,84,68,\"\",62.4\r\n"));
    putCopy("データ_20050225_070000.txt", "\"2005/02/01\",\"x\",1,2\r\n");
    putCopy("データ_20050225_070000_2.txt", "");
    putCopy("メモ.txt", "not a copy");
    ASSERT_EQ(backup_log(dir(), Now), std::nullopt);

    const std::vector<BackupEntry> list = list_backups(dir());
    std::vector<std::string> rows;
    for (const BackupEntry& e : list) {
        rows.push_back(e.name + " " + format_date(e.taken.date) + " " + std::to_string(e.taken.hour) + " " +
                       (e.readable ? std::to_string(e.records) + " " + e.lastDate : "unreadable: " + e.message));
    }
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "データ_20050301_101500.txt 2005/03/01 10 4 2005/02/05",
                        "データ_20050225_070000_2.txt 2005/02/25 7 0 ",
                        "データ_20050225_070000.txt 2005/02/25 7 unreadable: "
                        "データ_20050225_070000.txt の 1 行目が読めません（項目が7つではありません）。",
                        "データ_20050220_070000.txt 2005/02/20 7 2 2005/02/03",
                    }));
}

TEST_F(Backups, RestoreKeepsTheCurrentLogThenPutsTheCopyInPlace) {
    const std::string current = rawFile(files::Log);
    const std::string older = test::cp932("\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\r\n");
    putCopy("データ_20050220_070000.txt", older);
    putCopy("データ_20050221_070000.txt", "\"2005/02/01\",\"x\",1,2\r\n");
    putCopy("データ_20050222_070000.txt", "");

    struct Refusal {
        const char* name;
        const char* says;
    };
    for (const Refusal& r : std::vector<Refusal>{{"../データ.txt", "控えのファイルではありません"},
                                                 {"データ_20050219_070000.txt", "読めませんでした"},
                                                 {"データ_20050221_070000.txt", "1 行目が読めません"},
                                                 {"データ_20050222_070000.txt", "記録がありません"}}) {
        const WriteResult refused = restore_backup(dir(), r.name, Now);
        EXPECT_FALSE(refused.ok) << r.name;
        EXPECT_NE(refused.message.find(r.says), std::string::npos) << refused.message;
        EXPECT_EQ(rawFile(files::Log), current);
    }
    // Without a copy of the current log, the restore would lose it.
    {
        test::FailRenameOnto failing(CopyName);
        FileIoOverride override(failing);
        const WriteResult refused = restore_backup(dir(), "データ_20050220_070000.txt", Now);
        EXPECT_FALSE(refused.ok);
        EXPECT_EQ(rawFile(files::Log), current);
    }

    const WriteResult restored = restore_backup(dir(), "データ_20050220_070000.txt", Now);
    ASSERT_TRUE(restored.ok) << restored.message;
    EXPECT_EQ(rawFile(files::Log), older);
    EXPECT_EQ(copy(CopyName), current);
    EXPECT_EQ(copy("データ_20050220_070000.txt"), older);

    // A log that is gone can be brought back from a copy: there is nothing to keep first.
    fs::remove(path(files::Log));
    ASSERT_TRUE(restore_backup(dir(), CopyName, Now).ok);
    EXPECT_EQ(rawFile(files::Log), current);
}

}  // namespace
