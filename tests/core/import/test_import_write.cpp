// Writing an import: one change of the log in date order, against the log as read, with the automatic copy first,
// taken back whole by one undo step, and never half written when the program is killed.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <optional>
#include <random>
#include <thread>

#include "core/edits/rename_situation.h"
#include "core/edits/undo_history.h"
#include "core/files/backup_manifest.h"
#include "core/files/log_backups.h"
#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "core/import/import_file.h"
#include "core/import/import_preview.h"
#include "core/import/import_write.h"
#include "test_support.h"

extern char** environ;

namespace sora::test {
namespace {

using Lines = std::vector<std::string>;

MeasurementRecord rec(std::string date, std::string situation, std::string diary = "") {
    return MeasurementRecord{std::move(date), std::move(situation), 120, 80, 60, std::move(diary), 0};
}

Lines brief(const std::vector<MeasurementRecord>& records) {
    Lines lines;
    for (const MeasurementRecord& r : records) {
        lines.push_back(r.date + " " + r.situation + (r.diary.empty() ? "" : " " + r.diary));
    }
    return lines;
}

TEST(ImportWrite, MergeKeepsTheDiaryOrderAndPutsNewReadingsAfterTheirDay) {
    const std::vector<MeasurementRecord> diary = {rec("2024/01/05", "start"), rec("2024/01/07", "b"),
                                                  rec("2024/01/07", "a"), rec("2024/01/09", "c")};
    const std::vector<MeasurementRecord> added = {rec("2024/01/10", "n", "7:00:00"), rec("2024/01/07", "n", "21:00:00"),
                                                  rec("2024/01/07", "n", "7:00:00"), rec("2024/01/01", "n"),
                                                  rec("2024/01/07", "n", "10:00:00 x")};
    EXPECT_EQ(brief(merge_in_date_order(diary, added)),
              (Lines{"2024/01/01 n", "2024/01/05 start", "2024/01/07 b", "2024/01/07 a", "2024/01/07 n 7:00:00",
                     "2024/01/07 n 10:00:00 x", "2024/01/07 n 21:00:00", "2024/01/09 c", "2024/01/10 n 7:00:00"}));
}

TEST(ImportWrite, SplicingKeepsEveryLineAndMatchesTheMerge) {
    const std::vector<MeasurementRecord> diary = {rec("2024/01/05", "start"), rec("2024/01/07", "b"),
                                                  rec("2024/01/09", "c")};
    const std::vector<MeasurementRecord> added = {rec("2024/01/10", "n", "7:00:00"), rec("2024/01/07", "n"),
                                                  rec("2024/01/01", "m")};
    const std::string merged = encode_log(merge_in_date_order(diary, added)).value();
    bool cannotHold = true;
    // The log as the program writes it; the same with the start record's form kept; without the last line break.
    const std::string log = encode_log(diary).value();
    EXPECT_EQ(spliced_log(log, diary, added, cannotHold), merged);
    EXPECT_FALSE(cannotHold);
    const std::string startForm = encode_log(diary, true).value();
    const std::vector<MeasurementRecord> order = merge_in_date_order(diary, added);
    EXPECT_EQ(spliced_log(startForm, diary, added, cannotHold),
              encode_log({order[0]}).value() + encode_log({order[1]}, true).value() +
                  encode_log({order.begin() + 2, order.end()}).value());
    EXPECT_EQ(spliced_log(log.substr(0, log.size() - 2), diary, added, cannotHold), merged);
    // Lines that are not the records one for one, or a blank line: the caller writes the log anew.
    EXPECT_EQ(spliced_log(log + "\r\n", diary, added, cannotHold), std::nullopt);
    EXPECT_EQ(spliced_log(log, {diary[0]}, added, cannotHold), std::nullopt);
    EXPECT_EQ(spliced_log(log, diary, {rec("2024/01/08", "絵文字😀")}, cannotHold), std::nullopt);
    EXPECT_TRUE(cannotHold);
}

class ImportWriteTest : public DataDirTest {
protected:
    void SetUp() override {
        writeFile("データ.txt",
                  "\"2024/01/05\",\"はじめの一歩\",130,85,70,,60\r\n"
                  "\"2024/01/06\",\"起床後\",128,84,66,\"7:12:00\",60\r\n"
                  "\"2024/01/08\",\"就寝前\",120,80,60,\"\",60\r\n");
        writeFile("状況リスト.txt", "起床後\r\n就寝前\r\n");
        write_bytes(path("omron.csv"),
                    "\"Measurement Date\",\"Timezone\",\"SYS(mmHg)\",\"DIA(mmHg)\",\"Pulse(bpm)\"\n"
                    "\"2024/01/06 07:12\",\"Asia/Tokyo\",\"128\",\"84\",\"66\"\n"
                    "\"2024/01/07 13:05\",\"Asia/Tokyo\",\"125\",\"82\",\"64\"\n"
                    "\"2024/01/06 21:30\",\"Asia/Tokyo\",\"118\",\"76\",\"61\"\n");
        clock.emplace(DateTime{{2024, 1, 9}, 10, 15, 0});
        clockOverride.emplace(*clock);
    }

    /// Reads, previews and writes the OMRON file as the window does.
    ImportWriteResult importOmron(const FileStamp* staleStamp = nullptr) {
        const LogReadResult log = MeasurementLog(dir()).read_all();
        EXPECT_TRUE(log.ok) << log.message;
        const ImportFile file = read_import_file(path("omron.csv"));
        ImportChoices choices;
        choices.rules = SituationRules{660, "起床後", 1080, "就寝前", "取り込み"};
        const ImportPreview preview = build_import_preview(file.fileName, file.read, log.records, choices);
        EXPECT_EQ(preview.counts, (ImportCounts{2, 1, 0, 0}));
        return write_import(dir(), log.records, staleStamp != nullptr ? *staleStamp : log.stamp,
                            chosen_records(preview), read_situations(dir()).value);
    }

    std::optional<FixedClock> clock;
    std::optional<BackupClockOverride> clockOverride;
};

TEST_F(ImportWriteTest, WritesOneChangeWithTheCopyFirstAndTheNewSituation) {
    const std::string before = rawFile("データ.txt");
    const ImportWriteResult result = importOmron();
    ASSERT_TRUE(result.written.ok) << result.written.message;
    EXPECT_EQ(result.situations, Lines{"取り込み"});
    EXPECT_EQ(readFile("データ.txt"),
              "\"2024/01/05\",\"はじめの一歩\",130,85,70,,60\r\n"
              "\"2024/01/06\",\"起床後\",128,84,66,\"7:12:00\",60\r\n"
              "\"2024/01/06\",\"就寝前\",118,76,61,\"21:30:00\",0\r\n"
              "\"2024/01/07\",\"取り込み\",125,82,64,\"13:05:00\",0\r\n"
              "\"2024/01/08\",\"就寝前\",120,80,60,\"\",60\r\n");
    EXPECT_EQ(readFile("状況リスト.txt"), "起床後\r\n就寝前\r\n取り込み\r\n");
    // The copy holds the log as it was before the import.
    EXPECT_EQ(bytes_of(m_scratch / "backup" / std::filesystem::u8path("データ_20240109_101500.txt")), before);
}

TEST_F(ImportWriteTest, ALogChangedSinceThePreviewIsNotWritten) {
    const FileStamp stale = MeasurementLog(dir()).read_all().stamp;
    writeFile("データ.txt", readFile("データ.txt") + "\"2024/01/09\",\"起床後\",121,81,61,\"\",60\r\n");
    const std::string changed = rawFile("データ.txt");
    const ImportWriteResult result = importOmron(&stale);
    EXPECT_FALSE(result.written.ok);
    EXPECT_TRUE(result.written.changedOnDisk);
    EXPECT_EQ(rawFile("データ.txt"), changed);
    EXPECT_EQ(readFile("状況リスト.txt"), "起床後\r\n就寝前\r\n");
    EXPECT_TRUE(result.situations.empty());
}

TEST_F(ImportWriteTest, ASituationListThatIsNoRegularFileIsRefusedBeforeTheLogIsTouched) {
    const std::string before = rawFile("データ.txt");
    std::filesystem::remove(path("状況リスト.txt"));
    // Appending to a FIFO would wait for a reader for ever, after the log was already rewritten.
    ASSERT_EQ(::mkfifo(path("状況リスト.txt").c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    const ImportWriteResult result = importOmron();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(result.written.ok);
    EXPECT_EQ(result.written.message,
              "「状況リスト.txt」は普通のファイルではない（FIFO（名前付きパイプ））ため、置き換えませんでした。");
    EXPECT_EQ(rawFile("データ.txt"), before);
    EXPECT_FALSE(std::filesystem::exists(m_scratch / "backup" / std::filesystem::u8path("データ_20240109_101500.txt")))
        << "a copy for a write that never happened";
}

TEST_F(ImportWriteTest, OneUndoTakesTheWholeImportBack) {
    const std::string logBefore = rawFile("データ.txt");
    const std::string listBefore = rawFile("状況リスト.txt");
    UndoHistory history(dir());
    ASSERT_TRUE(history.begin(import_undo_label("omron.csv", 2), {files::Log, files::Situations}));
    ASSERT_TRUE(importOmron().written.ok);
    history.commit();
    EXPECT_EQ(history.nextLabel(), "omron.csv からの取り込み（2 件）");
    ASSERT_TRUE(history.undo().ok);
    EXPECT_EQ(rawFile("データ.txt"), logBefore);
    EXPECT_EQ(rawFile("状況リスト.txt"), listBefore);
    EXPECT_FALSE(history.canUndo());
}

pid_t start_import_loop(const ScratchDir& dir, const std::filesystem::path& csv) {
    // A situation the list lacks: every import changes the log and the list.
    std::vector<std::string> args = {SORANOTE_IMPORT_LOOP, dir.path().string(), csv.string(), "取り込み"};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    return ::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

/// Kills the import loop at random moments while it imports `input` into a log of `records` records: after every
/// kill the log is the old one or the old one with all `imported` records, never anything between; the situation
/// list goes with the log (`newList` with the new one, where the import adds situations), and every file left in
/// the folder is a data file or a copy that the copies' list names.
void kill_while_importing(const ScratchDir& dir, const std::string& log, int records, int imported,
                          const std::filesystem::path& input, const std::optional<std::string>& newList) {
    const DataDir data(dir.path());
    std::mt19937 random(20240105);
    int maxDelayUs = 30000;
    int kills = 0;
    int oldLogs = 0;
    int newLogs = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (kills < 60 && std::chrono::steady_clock::now() < deadline) {
        const pid_t pid = start_import_loop(dir, input);
        ASSERT_GT(pid, 0) << "cannot start " << SORANOTE_IMPORT_LOOP;
        if (kills > 0 && kills % 10 == 0 && newLogs == 0 && maxDelayUs < 2000000) {
            maxDelayUs *= 2;
        }
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, maxDelayUs)(random)));
        ASSERT_EQ(::kill(pid, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the import loop ended with " << WEXITSTATUS(status);
        ++kills;
        // As the program's next start does.
        const TogetherRecovery recovery = recover_interrupted_rename(data);
        ASSERT_NE(recovery.outcome, TogetherRecovery::Outcome::Failed) << recovery.message;
        const LogReadResult after = MeasurementLog(data).read_all();
        ASSERT_TRUE(after.ok) << "kill " << kills << ": " << after.message;
        const std::size_t count = after.records.size();
        const auto old = static_cast<std::size_t>(records);
        ASSERT_TRUE(count == old || count == old + static_cast<std::size_t>(imported))
            << "kill " << kills << ": " << count;
        (count == old ? oldLogs : newLogs) += 1;
        if (count == old || newList) {
            EXPECT_EQ(bytes_of(dir / "状況リスト.txt"), cp932(count == old ? "起床後\r\n" : *newList))
                << "kill " << kills << ": the list does not go with the log";
        }
        const auto listed = read_backup_manifest(dir / "backup");
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            if (entry.is_directory() || entry.path() == input || name == "データ.txt" || name == "状況リスト.txt" ||
                name == "控え一覧.txt" || name.starts_with(".")) {
                continue;
            }
            EXPECT_EQ(listed.count(name), 1u) << "kill " << kills << ": left behind: " << name;
        }
        if (count != old) {
            // Put the old files back for the next kill, as an undo would.
            write_bytes(dir / "データ.txt", cp932(log));
            write_bytes(dir / "状況リスト.txt", cp932("起床後\r\n"));
        }
    }
    std::printf("[ kill loop] kills %d: old log %d, new log %d\n", kills, oldLogs, newLogs);
    EXPECT_GE(kills, 20);
    EXPECT_GT(newLogs, 0) << "no import got through before its kill: nothing was tried";
}

std::string log_of_days(int days) {
    std::string log;
    for (int i = 0; i < days; ++i) {
        log += "\"" + format_date(Date{2005, 1, 1}.add_days(i)) + "\",\"起床後\",120,80,70,\"\",62.5\r\n";
    }
    return log;
}

TEST(ImportKilled, TheLogEndsOldOrNewNeverBetween) {
    ScratchDir dir;
    constexpr int Records = 3000;  // long enough a rewrite to be killed in the middle
    constexpr int Imported = 1000;
    const std::string log = log_of_days(Records);
    std::string csv = "日付と時刻,最高血圧,最低血圧,脈拍\n";
    for (int i = 0; i < Imported; ++i) {
        csv += format_date(Date{2005, 1, 1}.add_days(i * 3)) + " 07:30,131,85,66\n";
    }
    write_bytes(dir / "データ.txt", cp932(log));
    write_bytes(dir / "状況リスト.txt", cp932("起床後\r\n"));
    write_bytes(dir / "in.csv", csv);
    kill_while_importing(dir, log, Records, Imported, dir / "in.csv", "起床後\r\n取り込み\r\n");
}

TEST(ImportKilled, MergingASyncToolsConflictCopyOfTheLogEndsOldOrNew) {
    // The other PC's log: the same days, and a reading of its own on every third day.
    ScratchDir dir;
    constexpr int Records = 3000;
    constexpr int Imported = 1000;
    const std::string log = log_of_days(Records);
    std::string copy = log;
    for (int i = 0; i < Imported; ++i) {
        copy += "\"" + format_date(Date{2005, 1, 1}.add_days(i * 3)) + "\",\"就寝前\",131,85,66,\"21:30:00\",0\r\n";
    }
    write_bytes(dir / "データ.txt", cp932(log));
    write_bytes(dir / "状況リスト.txt", cp932("起床後\r\n"));
    const std::filesystem::path conflictCopy = dir / "データ.sync-conflict-20261207-235123-I3I3VSL.txt";
    write_bytes(conflictCopy, cp932(copy));
    kill_while_importing(dir, log, Records, Imported, conflictCopy, std::nullopt);
}

}  // namespace
}  // namespace sora::test
