// Every writer of the data directory, failed at each of its file calls in turn (open, write, fsync, close, rename,
// directory sync): the old file stays byte for byte or the new one is complete, nothing else is left behind, the
// failure is reported, and a retry works.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "core/edits/diary_save.h"
#include "core/edits/new_start.h"
#include "core/edits/record_edit.h"
#include "core/edits/rename_situation.h"
#include "core/edits/undo_history.h"
#include "core/files/backup_manifest.h"
#include "core/files/data_dir.h"
#include "core/files/log_backups.h"
#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "core/files/text_codec.h"
#include "core/import/import_write.h"
#include "core/views/daily_averages.h"
#include "fault_sweep.h"
#include "own_diary_files.h"
#include "test_support.h"

namespace {

using namespace sora;
using test::Reported;
using test::Snapshot;
using test::SweepCount;
using test::Writer;

const std::string& LogText = sora::test::OwnLogText;

/// A diary of the user's own with every side file.
Snapshot own_diary() {
    return sora::test::own_diary_files("血圧は朝に測る。\r\n塩分控えめ。\r\n", "1\r\n");
}

Reported reported(const WriteResult& result) {
    return {result.ok, result.message, result.warning};
}

/// "backup/" holds nothing but complete copies of the log as it was before the write (and their list).
void expect_only_complete_copies(const std::filesystem::path& data, const Snapshot& before) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(data / "backup", ec)) {
        const std::string name = entry.path().filename().string();
        if (name == files::BackupManifest) {
            continue;
        }
        EXPECT_TRUE(backup_time(name).has_value()) << "left in backup/: " << name;
        EXPECT_EQ(test::bytes_of(entry.path()), test::state_of(before, "データ.txt")) << name;
    }
}

/// After a failed write every file still reads: the log parses and no side file is malformed.
void expect_readable(const DataDir& data) {
    const LogReadResult log = MeasurementLog(data).read_all();
    if (std::filesystem::exists(data.find(files::Log))) {
        EXPECT_TRUE(log.ok) << log.message;
    }
    EXPECT_TRUE(read_help_tour_setting(data).ok);
    EXPECT_TRUE(read_graph_settings(data).ok);
    EXPECT_TRUE(read_auto_time(data).ok);
    EXPECT_TRUE(read_situations(data).ok);
    EXPECT_TRUE(read_memo(data).ok);
    EXPECT_TRUE(read_user_name(data).ok);
    EXPECT_TRUE(read_marker_mode(data).ok);
}

/// Runs the sweeps of a group of writers and prints their fault points, for the record.
class FaultInjection : public ::testing::Test {
protected:
    Writer writer(std::string name, Snapshot files, std::function<Reported()> write) {
        Writer w;
        w.name = std::move(name);
        w.dir = dir.path();
        w.prepare = [this, files = std::move(files)] { test::restore_snapshot(dir.path(), files); };
        w.write = std::move(write);
        w.afterFault = [this](const std::string&) { expect_readable(data); };
        w.afterBackupFault = [this](const Reported& r, const Snapshot& before) {
            EXPECT_FALSE(r.warning.empty()) << "the user is not told that the copy failed";
            expect_only_complete_copies(dir.path(), before);
        };
        return w;
    }

    int run(const Writer& w, std::size_t shortWrite) {
        const SweepCount count = test::sweep(w, shortWrite);
        std::string calls;
        for (const auto& [call, n] : count.byCall) {
            calls += " " + call + "×" + std::to_string(n);
        }
        std::printf("[ faults   ] %-40s %3d fault points:%s\n", w.name.c_str(), count.total, calls.c_str());
        // Every writer has at least open, write, fsync and close of its file.
        EXPECT_GE(count.total, 4) << w.name;
        return count.total;
    }

    test::ScratchDir dir;
    DataDir data{dir.path()};
};

TEST_F(FaultInjection, LogWriters) {
    const MeasurementLog log(data);
    const MeasurementRecord later{"2005/03/01", "起床後", 131, 86, 70, "10:15:00", 63.2f};
    const MeasurementRecord earlier{"2005/02/02", "夕食後", 128, 82, 71, "", 62.8f};
    int total = 0;
    total += run(writer("append", own_diary(), [&] { return reported(log.append(later)); }), 20);

    Snapshot unfinished = own_diary();
    unfinished["データ.txt"].resize(unfinished["データ.txt"].size() - 2);  // a hand edit lost the last CR LF
    total +=
        run(writer("append after a line without CR LF", unfinished, [&] { return reported(log.append(later)); }), 20);

    Writer insert = writer("insert_in_order", own_diary(), [&] { return reported(log.insert_in_order(earlier)); });
    // After a failed directory sync the record is in: a retry would add it twice.
    insert.retry = [](const std::string& call) { return call != "sync_directory"; };
    total += run(insert, 64);

    total += run(writer("rewrite_all", own_diary(),
                        [&] {
                            std::vector<MeasurementRecord> records = log.read_all().records;
                            records.pop_back();
                            return reported(log.rewrite_all(records));
                        }),
                 64);
    std::printf("[ faults   ] log writers: %d\n", total);
}

TEST_F(FaultInjection, DiarySaveKeepsTheListInStepWithTheFile) {
    const MeasurementLog log(data);
    std::vector<MeasurementRecord> shown;
    DiarySaveResult last;
    Writer w = writer("diary save (一言日記)", own_diary(), [&] {
        shown = log.read_all().records;
        last = save_diary(log, shown, 2, "散歩のあと \"深呼吸\"");
        return Reported{last.status == DiarySaveStatus::Saved, last.message, last.warning};
    });
    w.afterFault = [&](const std::string& call) {
        expect_readable(data);
        // The list shows what the file holds: the new text only when the new log is in place.
        EXPECT_EQ(shown, log.read_all().records) << call;
        EXPECT_EQ(last.status,
                  call == "sync_directory" ? DiarySaveStatus::SavedUnconfirmed : DiarySaveStatus::WriteFailed);
    };
    EXPECT_GE(run(w, 64), 6);
}

TEST_F(FaultInjection, RenameChangesTheLogAndTheListTogether) {
    Writer w = writer("rename (データＣＨＧ/状況リストＣＨＧ)", own_diary(), [&] {
        const RenameResult renamed = rename_situation(data, "起床後", "朝, 起床後");
        return Reported{renamed.ok, renamed.message, renamed.warning};
    });
    w.together = {{"データ.txt", "状況リスト.txt"}};
    EXPECT_GE(run(w, 48), 12);
}

/// Every copy in "backup/" is one its list names: an unlisted copy would never be pruned.
void expect_every_copy_listed(const std::filesystem::path& data) {
    const auto listed = read_backup_manifest(data / "backup");
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(data / "backup", ec)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == files::BackupManifest || listed.count(name) != 0) << "not in the list: " << name;
    }
}

TEST_F(FaultInjection, AnImportWithANewSituationChangesTheLogAndTheListTogether) {
    const MeasurementRecord imported{"2005/03/01", "取り込み", 121, 79, 66, "7:00:00", 0};
    Writer w = writer("import (log, 状況リスト, backup list)", own_diary(), [&] {
        const LogReadResult log = MeasurementLog(data).read_all();
        const ImportWriteResult written =
            write_import(data, log.records, log.stamp, {imported}, read_situations(data).value);
        return Reported{written.written.ok, written.written.message, written.written.warning};
    });
    w.together = {{"データ.txt", "状況リスト.txt"}};
    w.afterFault = [&](const std::string&) {
        expect_readable(data);
        expect_every_copy_listed(dir.path());
    };
    w.afterBackupFault = [&](const Reported& r, const Snapshot& before) {
        EXPECT_FALSE(r.warning.empty()) << "the user is not told that the copy failed";
        expect_only_complete_copies(dir.path(), before);
        expect_every_copy_listed(dir.path());
    };
    EXPECT_GE(run(w, 48), 12);
}

TEST_F(FaultInjection, NewStartReplacesNothingUnlessEverythingIsWritten) {
    NewStartPlan plan;
    plan.name = "太郎";
    plan.record = {"2005/03/01", "はじめの一歩", 120, 78, 64, "", 70.5f};
    GraphAxisSettings held;
    held.autoScale = 0;
    held.bpMax = 180;
    const DateTime now{{2005, 3, 1}, 10, 15, 0};
    Writer w = writer("new start (backup, name, log, graph, memo)", own_diary(), [&] {
        const NewStartResult result = perform_new_start(data, plan, held, now);
        return Reported{result.ok, result.message, result.warning};
    });
    w.together = {{"データ.txt", "ﾌﾟﾗｲﾍﾞｰﾄ.txt", "グラフ設定.txt", "気付きメモ.txt", "気付きメモ_20050301_101500.txt"}};
    // A complete copy of the old log may stay behind: it is never in the way and never wrong.
    const std::string oldLog = test::cp932(LogText);
    w.mayAppear = [this, oldLog](const std::string& name) {
        return name.rfind("データ_20050301_101500", 0) == 0 && test::bytes_of(dir / name) == oldLog;
    };
    EXPECT_GE(run(w, 40), 16);
}

TEST_F(FaultInjection, CorrectingAndDeletingARecord) {
    const MeasurementLog log(data);
    int total = run(writer("edit (the date moves)", own_diary(),
                           [&] {
                               const LogReadResult read = log.read_all();
                               const MeasurementRecord moved{"2005/02/04", "起床後", 124, 78, 65, "散歩", 62.6f};
                               return reported(replace_record(log, 1, moved, read.stamp).written);
                           }),
                    64);
    total += run(writer("edit (the start record)", own_diary(),
                        [&] {
                            const LogReadResult read = log.read_all();
                            const MeasurementRecord start{"2005/02/01", "はじめの一歩", 127, 80, 70, "", 62.5f};
                            return reported(replace_record(log, 0, start, read.stamp).written);
                        }),
                 64);
    total +=
        run(writer("delete", own_diary(), [&] { return reported(remove_record(log, 2, log.read_all().stamp)); }), 64);
    std::printf("[ faults   ] record corrections: %d\n", total);
}

TEST_F(FaultInjection, UndoPutsBackEveryFileOfAStepOrNone) {
    std::optional<UndoHistory> history;
    const MeasurementLog log(data);
    struct Step {
        std::string name;
        std::vector<std::string_view> files;
        std::function<bool()> change;
        std::vector<std::vector<std::string>> together;
    };
    const std::vector<Step> steps = {
        {"undo of an edit",
         {files::Log},
         [&] {
             const MeasurementRecord moved{"2005/02/04", "起床後", 124, 78, 65, "", 62.6f};
             return replace_record(log, 1, moved, log.read_all().stamp).written.ok;
         },
         {}},
        {"undo of a rename",
         {files::Log, files::Situations},
         [&] { return rename_situation(data, "起床後", "朝").ok; },
         {{"データ.txt", "状況リスト.txt"}}},
        // The list is removed first; when the log cannot be put back after it, the list comes back too.
        {"undo of a list created and a record inserted",
         {files::Situations, files::Log},
         [&] {
             return append_situation(data, "入浴後", false).ok &&
                    log.insert_in_order({"2005/02/02", "入浴後", 128, 82, 71, "", 62.8f}).ok;
         },
         {{"データ.txt", "状況リスト.txt"}}},
    };
    int total = 0;
    for (const Step& step : steps) {
        Snapshot files = own_diary();
        if (step.name.starts_with("undo of a list created")) {
            files.erase("状況リスト.txt");
        }
        Writer w = writer(step.name, files, [&] {
            const UndoResult undone = history->undo();
            return Reported{undone.ok, undone.message, undone.warning};
        });
        w.prepare = [this, &history, &step, files] {
            test::restore_snapshot(dir.path(), files);
            history.emplace(data);
            ASSERT_TRUE(history->begin(step.name, step.files));
            ASSERT_TRUE(step.change());
            history->commit();
            // Only what the undo itself copies is judged.
            std::filesystem::remove_all(dir / "backup");
        };
        w.together = step.together;
        // After a failed directory sync of a single file the old file is back: the step is done and there is
        // nothing to retry. Several files go back through the journaled replace, which takes a failed sync back.
        const bool journaled = step.files.size() > 1;
        w.retry = [journaled](const std::string& call) { return journaled || call != "sync_directory"; };
        w.afterFault = [&, journaled](const std::string& call) {
            expect_readable(data);
            EXPECT_EQ(history->canUndo(), journaled || call != "sync_directory")
                << "a failed undo keeps its step for another try";
        };
        total += run(w, 64);
    }
    std::printf("[ faults   ] undo: %d\n", total);
}

TEST_F(FaultInjection, CopiesOfTheLogAndRestoringOne) {
    const DateTime now{{2005, 3, 1}, 10, 15, 0};
    const std::filesystem::path backups = dir / "backup";
    // Thirty-one older copies: the new copy makes the oldest one go.
    Writer copy = writer("backup/ copy and pruning", own_diary(), [&] {
        const std::optional<std::string> warning = backup_log(data, now);
        return Reported{!warning, warning.value_or(""), ""};
    });
    copy.dir = backups;
    copy.prepare = [&] {
        test::restore_snapshot(dir.path(), own_diary());
        std::filesystem::create_directory(backups);
        for (int day = 1; day <= 31; ++day) {
            test::write_bytes(backups / backup_log_name({{2005, 1, day}, 8, 0, 0}), "old\r\n");
        }
    };
    copy.needsItsBackup = true;  // the copy is the write itself
    copy.afterFault = [&](const std::string&) {
        EXPECT_EQ(test::bytes_of(dir / "データ.txt"), test::cp932(LogText)) << "a copy never touches the log";
    };
    int total = run(copy, 64);

    const std::string older = test::cp932("\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\r\n");
    Writer restore = writer("restore from backup/", own_diary(),
                            [&] { return reported(restore_backup(data, "データ_20050220_070000.txt", now)); });
    restore.prepare = [&] {
        test::restore_snapshot(dir.path(), own_diary());
        std::filesystem::create_directory(backups);
        test::write_bytes(backups / "データ_20050220_070000.txt", older);
    };
    // Without a copy of the log it replaces, a restore does not go ahead.
    restore.needsItsBackup = true;
    restore.afterBackupFault = [](const Reported& r, const Snapshot&) { EXPECT_FALSE(r.warning.empty()); };
    restore.retry = [](const std::string& call) { return call != "sync_directory"; };
    restore.afterFault = [&](const std::string&) {
        expect_readable(data);
        // Whatever happened, the log as it was before is still somewhere: in place or in backup/.
        bool kept = test::bytes_of(dir / "データ.txt") == test::cp932(LogText);
        for (const auto& entry : std::filesystem::directory_iterator(backups)) {
            kept = kept || test::bytes_of(entry.path()) == test::cp932(LogText);
        }
        EXPECT_TRUE(kept);
    };
    total += run(restore, 64);
    std::printf("[ faults   ] copies and restore: %d\n", total);
}

TEST_F(FaultInjection, SideFileWriters) {
    int total = 0;
    const Snapshot files = own_diary();
    Snapshot without = files;
    without.erase("状況リスト.txt");
    total += run(writer("設定.txt", files, [&] { return reported(write_help_tour_setting(data, 1)); }), 7);
    GraphAxisSettings manual;
    manual.autoScale = 0;
    manual.bpMax = 190;
    manual.weightMin = 55;
    total += run(writer("グラフ設定.txt", files, [&] { return reported(write_graph_settings(data, manual)); }), 40);
    total += run(writer("自動時間.TXT", files, [&] { return reported(write_auto_time(data, true)); }), 1);
    total += run(writer("状況リスト.txt rewrite (editor)", files,
                        [&] {
                            return reported(write_situations_plain(data, {"夕食後", "起床後", "a,b", " 空白 "}));
                        }),
                 8);
    total += run(writer("状況リスト.txt rewrite (quoted)", files,
                        [&] {
                            return reported(write_situations_quoted(data, {"夕食後", "起床後"}));
                        }),
                 8);
    total += run(writer("状況リスト.txt append (free input)", files,
                        [&] { return reported(append_situation(data, "散歩\"後\"", true)); }),
                 4);
    total += run(writer("状況リスト.txt append (editor)", files,
                        [&] { return reported(append_situation(data, "入浴後", false)); }),
                 4);
    total += run(writer("状況リスト.txt append to a missing file", without,
                        [&] { return reported(append_situation(data, "入浴後", false)); }),
                 4);
    total += run(
        writer("気付きメモ.txt", files, [&] { return reported(save_memo(data, "一行目\n二行目\r\n\n四行目")); }), 8);
    total += run(writer("ﾌﾟﾗｲﾍﾞｰﾄ.txt", files, [&] { return reported(write_user_name(data, "空野 \"ソラ\"")); }), 8);
    total += run(writer("マーカー.TXT", files, [&] { return reported(write_marker_mode(data, 2)); }), 1);
    std::printf("[ faults   ] side-file writers: %d\n", total);
}

TEST_F(FaultInjection, DailyAverageExport) {
    const std::vector<DailyAverageCells> rows = {{"05/02/01", "125.5", "79.5", "46.0", "62.6"},
                                                 {"05/02/02", "", "", "", ""},
                                                 {"05/02/03", "131.0", "84.0", "47.0", "62.4"}};
    Snapshot files = own_diary();
    int total = run(
        writer("日毎平均.txt (first export)", files, [&] { return reported(export_daily_averages(data, rows)); }), 16);
    files["日毎平均.txt"] = "\"05/01/01\",1,1,0,1\r\n";
    total += run(writer("日毎平均.txt (replacing an export)", files,
                        [&] { return reported(export_daily_averages(data, rows)); }),
                 16);
    std::printf("[ faults   ] daily-average export: %d\n", total);
}

TEST_F(FaultInjection, SampleInstallationIsCompleteOnceTheLogIsThere) {
    const std::filesystem::path sample = std::filesystem::path(SORANOTE_SOURCE_DIR) / "data" / "sample";
    Writer w = writer("sample installation", {}, [&] {
        std::string message;
        const bool ok = install_sample_if_needed(dir.path(), sample, message);
        return Reported{ok, message};
    });
    w.afterFault = [&](const std::string&) {
        // A log in place means every side file is there too: the next start does not install again.
        if (std::filesystem::exists(dir / "データ.txt")) {
            EXPECT_EQ(test::snapshot_of(dir.path()).size(), test::snapshot_of(sample).size());
        }
    };
    EXPECT_GE(run(w, 0), 8 * 5);
}

TEST_F(FaultInjection, OnlyAFailedDirectorySyncLeavesTheNewFileInPlace) {
    // The caller must then follow the file (and not write it again); after any other fault the old file is there.
    const std::vector<std::pair<std::string, std::function<WriteResult()>>> writers = {
        {"気付きメモ.txt", [&] { return write_memo(data, "新しいメモ"); }},
        {"状況リスト.txt", [&] { return append_situation(data, "入浴後", false); }},
    };
    for (const auto& [file, write] : writers) {
        Snapshot files = own_diary();
        files.erase("状況リスト.txt");  // an append creates it, so it syncs the directory too
        test::restore_snapshot(dir.path(), files);
        ASSERT_TRUE(write().ok);
        const std::string written = test::bytes_of(dir / file);
        int inPlace = 0;
        for (int failAt = 1;; ++failAt) {
            test::restore_snapshot(dir.path(), files);
            test::FaultyIo io(failAt);
            WriteResult result;
            {
                FileIoOverride override(io);
                result = write();
            }
            if (!io.failed()) {
                break;
            }
            SCOPED_TRACE(file + ", failed " + io.failedCall());
            EXPECT_EQ(result.inPlace, io.failedCall() == "sync_directory");
            EXPECT_EQ(test::bytes_of(dir / file) == written, result.inPlace);
            inPlace += result.inPlace ? 1 : 0;
        }
        EXPECT_EQ(inPlace, 1) << file;
    }
}

}  // namespace
