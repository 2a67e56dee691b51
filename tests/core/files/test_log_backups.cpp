// The automatic copies of the log in "backup/": their names, which ones pruning keeps, which writes take one, and
// that a copy which cannot be made never stops the write it comes before.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/edits/diary_save.h"
#include "core/edits/new_start.h"
#include "core/edits/record_edit.h"
#include "core/edits/rename_situation.h"
#include "core/edits/undo_history.h"
#include "core/files/backup_manifest.h"
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
    /// The files in "backup/" besides the program's list of its copies.
    std::vector<std::string> copies() const {
        std::vector<std::string> names = names_in(backups());
        std::erase(names, std::string(files::BackupManifest));
        return names;
    }
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

TEST(BackupPruning, ASyntheticYearKeepsTheNewestTwentyTheFirstOfSixtyDaysAndOnePerMonth) {
    const Date today{2005, 3, 1};
    std::vector<std::string> names;
    // A year of use: three copies a day, from 2004/03/02 to today.
    for (Date day{2004, 3, 2}; day <= today; day = day.add_days(1)) {
        for (const int hour : {8, 12, 20}) {
            names.push_back(backup_log_name({day, hour, 0, 0}));
        }
    }
    names.insert(names.end(),
                 {"データ_20030615_120000.txt", "データ_20030331_120000.txt", "データ_20010101_000000.txt"});
    // Other names in the folder are never touched.
    names.insert(names.end(), {"メモ.txt", "データ_20030301.txt", "データ_20050230_000000.txt"});
    ASSERT_EQ(names.size(), 365u * 3 + 6);

    struct Row {
        const char* name;
        bool kept;
        const char* why;
    };
    const std::vector<Row> rows = {
        {"データ_20050301_200000.txt", true, "the newest"},
        {"データ_20050223_120000.txt", true, "the 20th newest"},
        {"データ_20050223_080000.txt", true, "the first of a day within 60 days, the 21st newest"},
        {"データ_20050222_120000.txt", false, "neither the first of its day nor among the newest"},
        {"データ_20050101_080000.txt", true, "the first copy of the 60th day"},
        {"データ_20050101_120000.txt", false, "not the first of its day"},
        {"データ_20050131_200000.txt", true, "the newest of January"},
        {"データ_20041231_080000.txt", false, "the 61st day back"},
        {"データ_20041231_200000.txt", true, "the newest of December"},
        {"データ_20040331_200000.txt", true, "the newest of March 2004"},
        {"データ_20040302_080000.txt", false, "an older one of March 2004"},
        {"データ_20030615_120000.txt", true, "the only copy of a month within 24"},
        {"データ_20030331_120000.txt", false, "the 25th month back"},
        {"データ_20010101_000000.txt", false, "far older"},
        {"メモ.txt", true, "not a copy"},
        {"データ_20050230_000000.txt", true, "no such day: not a copy"},
    };
    const std::vector<std::string> removed = backups_to_remove(names, today);
    for (const Row& row : rows) {
        EXPECT_EQ(std::count(removed.begin(), removed.end(), row.name) == 0, row.kept) << row.name << ": " << row.why;
    }
    // 20 newest, 54 more first copies of a day, January, ten months of 2004 and June 2003.
    EXPECT_EQ(names.size() - removed.size(), 86u + 3);
    // Twenty copies or fewer are all kept, however old.
    EXPECT_TRUE(backups_to_remove(std::vector<std::string>(names.begin(), names.begin() + 20), {2030, 1, 1}).empty());
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

TEST_F(Backups, CopiesOfOneSecondGetNumbersAndOnlyOwnCopiesArePruned) {
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
    // The January files were not written by this program (its list does not name them): none is pruned.
    EXPECT_EQ(left.size(), 35u);
    for (const char* name : {"データ_20050301_101500.txt", "データ_20050301_101500_2.txt",
                             "データ_20050301_101500_3.txt", "データ_20050104_080000.txt", "メモ.txt"}) {
        EXPECT_EQ(std::count(left.begin(), left.end(), name), 1) << name;
    }
    for (const char* name : {"データコピー.4711-1.txt"}) {
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
    EXPECT_EQ(copies().size(), 1u) << "the newest copy holds the same bytes already";
    ASSERT_TRUE(MeasurementLog(dir()).append({"2005/03/02", "起床後", 131, 86, 70, "", 63.2f}).ok);
    EXPECT_EQ(backup_at_start(dir(), {{2005, 3, 2}, 7, 0, 0}), std::nullopt);
    EXPECT_EQ(copies(), (std::vector<std::string>{CopyName, "データ_20050302_070000.txt"}));
    EXPECT_EQ(list_backups(dir()).front().reason, BackupReason::Start);

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

TEST_F(Backups, RefusedOrRepeatedRewritesNeverPushOlderCopiesOut) {
    // Thirty distinct copies of thirty days before today, written by the program.
    const MeasurementLog log(dir());
    for (int day = 0; day < 30; ++day) {
        const Date date = Date{2005, 1, 20}.add_days(day);
        test::write_bytes(path(files::Log), rawFile(files::Log) + test::cp932("\"" + format_date(date) +
                                                                              "\",\"起床後\",120,80,70,\"\",62\r\n"));
        ASSERT_EQ(backup_log(dir(), {date, 7, 0, 0}, BackupReason::Correction), std::nullopt);
    }
    const std::vector<std::string> earlier = copies();
    ASSERT_EQ(earlier.size(), 30u);

    // 31 corrections refused because the log is read-only: no copy, nothing pruned.
    fs::permissions(path(files::Log), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    for (int i = 0; i < 31; ++i) {
        const LogReadResult read = log.read_all();
        const RecordEditResult edit = replace_record(
            log, 1, {"2005/02/01", "起床後", 200.0f + static_cast<float>(i), 79, 66, "", 62.6f}, read.stamp);
        ASSERT_FALSE(edit.written.ok) << i;
    }
    EXPECT_EQ(copies(), earlier);

    // Writable again: two rewrites to the same bytes make one copy, not two.
    fs::permissions(path(files::Log), fs::perms::owner_write, fs::perm_options::add);
    std::vector<MeasurementRecord> records = log.read_all().records;
    ASSERT_TRUE(log.rewrite_all(records, false, files::LogCopy, nullptr, BackupReason::Correction).ok);
    ASSERT_TRUE(log.rewrite_all(records, false, files::LogCopy, nullptr, BackupReason::Correction).ok);
    EXPECT_EQ(copies().size(), 31u);
    const std::vector<std::string> now = copies();
    for (const std::string& name : earlier) {
        EXPECT_EQ(std::count(now.begin(), now.end(), name), 1) << name << " was pushed out";
    }
}

TEST_F(Backups, PruningDeletesOnlyCopiesTheProgramWroteItself) {
    // "backup/" is a link to a folder that also holds another program's files named like copies.
    const fs::path elsewhere = path("elsewhere");
    fs::create_directory(elsewhere);
    std::vector<std::string> foreign;
    for (int day = 1; day <= 11; ++day) {
        foreign.push_back(backup_log_name({{2001, 1, day}, 9, 0, 0}));
        test::write_bytes(elsewhere / fs::u8path(foreign.back()), "not ours\r\n");
    }
    fs::create_directory_symlink(elsewhere, backups());
    // Thirty copies of the program's own, each of another log, in one morning.
    for (int minute = 0; minute < 30; ++minute) {
        test::write_bytes(path(files::Log), rawFile(files::Log) + "\r\n" + std::to_string(minute));
        ASSERT_EQ(backup_log(dir(), {{2004, 6, 1}, 7, minute, 0}, BackupReason::Diary), std::nullopt);
    }
    const std::vector<std::string> left = copies();
    for (const std::string& name : foreign) {
        EXPECT_EQ(std::count(left.begin(), left.end(), name), 1) << name << " is not the program's to delete";
    }
    // Of the program's own: the newest twenty and the first of the day; the rest went, and left the list.
    EXPECT_EQ(left.size(), foreign.size() + BackupsKeptNewest + 1);
    EXPECT_EQ(read_backup_manifest(elsewhere).size(), BackupsKeptNewest + 1);
}

TEST_F(Backups, PruningLeavesTheUsersOwnFilesAndForgetsCopiesNeverWritten) {
    // A process that is gone for sure: its temporary copy is a leftover.
    const std::string leftover = "データコピー." + std::to_string(test::dead_pid()) + "-1.txt";
    const std::vector<std::string> users = {"データコピー.txt", "データコピー.2019年の控え.txt",
                                            "データコピー.1-2.bak.txt"};
    for (const std::string& name : users) {
        putCopy(name, "the user's own\r\n");
    }
    putCopy(leftover, "cut off");
    // A copy listed by a process killed before it wrote the copy itself.
    write_backup_manifest(backups(), {{"データ_20040101_070000.txt", BackupReason::Import}}, 0600);

    ASSERT_EQ(backup_log(dir(), Now, BackupReason::Import), std::nullopt);
    std::vector<std::string> expected = users;
    expected.push_back(CopyName);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(copies(), expected);
    EXPECT_EQ(read_backup_manifest(backups()), (std::map<std::string, BackupReason>{{CopyName, BackupReason::Import}}));
}

TEST_F(Backups, CopiesAreAsPrivateAsTheLogAndTellWhatWasAboutToChange) {
    fs::permissions(dir().path(), fs::perms::owner_all);
    fs::permissions(path(files::Log), fs::perms::owner_read | fs::perms::owner_write);
    const MeasurementLog log(dir());
    const LogReadResult read = log.read_all();
    ASSERT_TRUE(replace_record(log, 1, {"2005/02/01", "起床後", 124, 79, 66, "", 62.6f}, read.stamp).written.ok);
    EXPECT_EQ(fs::status(backups()).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(backups() / fs::u8path(CopyName)).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // One row per reason, newest first; a copy from before reasons were recorded still lists.
    putCopy("データ_20050220_070000.txt", rawFile(files::Log));
    const FixedClock later{{{2005, 3, 1}, 10, 16, 0}};
    const BackupClockOverride laterInForce(later);
    ASSERT_TRUE(remove_record(log, 3, log.read_all().stamp).ok);
    std::vector<std::string> rows;
    for (const BackupEntry& e : list_backups(dir())) {
        rows.push_back(e.name + " " + std::string(backup_reason_label(e.reason)));
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"データ_20050301_101600.txt 削除", "データ_20050301_101500.txt 修正",
                                              "データ_20050220_070000.txt "}));
}

}  // namespace
