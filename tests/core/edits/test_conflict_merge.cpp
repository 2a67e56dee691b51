// Merging the conflict copies a sync tool left when two PCs changed the diary while apart.
#include <gtest/gtest.h>

#include "core/edits/conflict_merge.h"
#include "core/files/backup_manifest.h"
#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "test_support.h"

namespace sora {
// A failing comparison names the copies rather than dumping their bytes.
static void PrintTo(const ConflictCopy& c, std::ostream* out) {
    *out << c.name << " → " << c.original << " " << sync_tool_name(c.tool);
}
}  // namespace sora

namespace sora::test {
namespace {

constexpr const char* LogCopy = "データ.sync-conflict-20261207-235123-I3I3VSL.txt";

class ConflictMerge : public DataDirTest {
protected:
    void SetUp() override {
        writeFile("データ.txt",
                  "\"2026/12/01\",\"はじめの一歩\",120,80,70,,62.5\r\n"
                  "\"2026/12/07\",\"起床後\",131,84,68,\"7:05:09\",62.4\r\n");
    }
    std::vector<MeasurementRecord> diary() const { return MeasurementLog(dir()).read_all().records; }
    std::map<std::string, BackupReason> manifest() const { return read_backup_manifest(path("backup")); }
};

TEST_F(ConflictMerge, EachToolsCopiesFoundInTheFolderOnlyAsRegularFilesAndSorted) {
    const std::vector<ConflictCopy> copies = {
        {"データ (Taro's conflicted copy 2026-12-07).txt", "データ.txt", SyncTool::Dropbox},
        {"データ (conflicted copy 2026-12-07 235123).txt", "データ.txt", SyncTool::Nextcloud},
        {"データ (太郎の競合コピー 2026-12-07).txt", "データ.txt", SyncTool::Dropbox},
        {"データ-DESKTOP-PC.txt", "データ.txt", SyncTool::OneDrive},
        {"データ.sync-conflict-20261207-235123-I3I3VSL.txt", "データ.txt", SyncTool::Syncthing},
        {"マーカー.sync-conflict-20261207-235123-ABCDEF7.TXT", "マーカー.TXT", SyncTool::Syncthing},
        {"気付きメモ (conflicted copy taro 2026-12-07 235123).txt", "気付きメモ.txt", SyncTool::Nextcloud},
        {"状況リスト.sync-conflict-20261207-235123-ABCDEF7.txt", "状況リスト.txt", SyncTool::Syncthing},
        {"自動時間.sync-conflict-20261207-235123-ABCDEF7.txt", "自動時間.TXT", SyncTool::Syncthing},
        {"ﾌﾟﾗｲﾍﾞｰﾄ-LAPTOP7.txt", "ﾌﾟﾗｲﾍﾞｰﾄ.txt", SyncTool::OneDrive},
    };
    for (const ConflictCopy& c : copies) {
        writeFile(c.name, "x");
    }
    // Not copies: the data files themselves, the program's own temporary files and copies, other names.
    for (const char* name :
         {"データコピー.4711-1.txt", "設定.txt.4711-1.tmp", "データ_20261207_235123.txt",
          "データ.sync-conflict-20261207-235123-I3I3VSL.csv", "データ.sync-conflict-2026127-235123-I3I3VSL.txt",
          "日毎平均.sync-conflict-20261207-235123-I3I3VSL.txt", "データ-THIS-NAME-IS-TOO-LONG.txt", "データ-.txt",
          "データ (2).txt"}) {
        writeFile(name, "x");
    }
    // Nor a folder named like a copy, nor a copy in a sub-folder.
    std::filesystem::create_directory(path("気付きメモ.sync-conflict-20261207-235123-ABCDEF7.txt"));
    std::filesystem::create_directory(path("backup"));
    writeFile("backup/データ.sync-conflict-20261201-000000-I3I3VSL.txt", "x");
    EXPECT_EQ(find_conflict_copies(dir()), copies);
}

TEST_F(ConflictMerge, ALogCopysReadingsTheDiaryLacksAreToBeAddedWithTheirSituationAndText) {
    // The other PC saved the same first readings, then its own: one with an ideographic blank after the time, one
    // with a value the plausibility check doubts, and one that is the same as the diary's but for the time.
    writeFile(LogCopy,
              "\"2026/12/01\",\"はじめの一歩\",120,80,70,,62.5\r\n"
              "\"2026/12/07\",\"起床後\",131,84,68,\"7:05:09\",62.4\r\n"
              "\"2026/12/07\",\"就寝前\",128,82,66,\"21:30:00　散歩のあと\",0\r\n"
              "\"2026/12/07\",\"就寝前\",131,84,68,\"22:05:09\",62.4\r\n"
              "\"2026/12/08\",\"起床後\",300,82,66,\"6:00:00 測り直し\",0\r\n");
    const ImportPreview preview = compare_log_copy(dir(), LogCopy, diary());
    ASSERT_TRUE(preview.message.empty()) << preview.message;
    EXPECT_EQ(preview.kind, ImportKind::OwnLog);
    EXPECT_EQ(preview.counts, (ImportCounts{2, 2, 1, 0}));
    const std::vector<ImportPreviewRow> missing = readings_missing(preview);
    ASSERT_EQ(missing.size(), 3u);
    EXPECT_EQ(preview.record(missing[0]),
              (MeasurementRecord{"2026/12/07", "就寝前", 128, 82, 66, "21:30:00　散歩のあと", 0}));
    EXPECT_EQ(preview.record(missing[1]).diary, "22:05:09");
    EXPECT_EQ(missing[2].status, ImportStatus::Questionable);
    EXPECT_EQ(preview.record(missing[2]).diary, "6:00:00 測り直し");
    EXPECT_EQ(missing[2].time, "6:00:00");
}

TEST_F(ConflictMerge, TheSituationListBecomesTheUnionAndTheCopyGoesIntoBackup) {
    writeFile("状況リスト.txt", "起床後\r\n就寝前\r\n");
    const ConflictCopy copy = *conflict_copy_of("状況リスト.sync-conflict-20261207-235123-ABCDEF7.txt");
    writeFile(copy.name, "就寝前\r\n起床後\r\n散歩後\r\n");

    // A list another program changed since the screens showed it is not overwritten.
    const ConflictStep stale = merge_situations_copy(dir(), copy, {"起床後"});
    EXPECT_FALSE(stale.ok);
    EXPECT_TRUE(stale.changedOnDisk);
    EXPECT_TRUE(exists(copy.name));

    const ConflictStep merged = merge_situations_copy(dir(), copy, {"起床後", "就寝前"});
    ASSERT_TRUE(merged.ok) << merged.message;
    EXPECT_EQ(read_situations(dir()).value, (std::vector<std::string>{"起床後", "就寝前", "散歩後"}));
    EXPECT_EQ(fileNames(), (std::vector<std::string>{"データ.txt", "状況リスト.txt"}));
    EXPECT_EQ(readFile("backup/" + copy.name), "就寝前\r\n起床後\r\n散歩後\r\n");
    EXPECT_EQ(manifest().at(copy.name), BackupReason::ConflictCopy);
}

TEST_F(ConflictMerge, KeepingTheCopyReplacesTheFileAndSettingAsideNeverOverwritesAnEarlierCopy) {
    writeFile("マーカー.TXT", "0\r\n");
    const ConflictCopy copy = *conflict_copy_of("マーカー-LAPTOP.TXT");
    writeFile(copy.name, "2\r\n");
    std::filesystem::create_directory(path("backup"));
    writeFile("backup/" + copy.name, "1\r\n");  // set aside before, from an earlier conflict
    const ConflictStep kept = keep_conflict_copy(dir(), copy);
    ASSERT_TRUE(kept.ok) << kept.message;
    EXPECT_EQ(readFile("マーカー.TXT"), "2\r\n");
    EXPECT_EQ(readFile("backup/" + copy.name), "1\r\n");
    EXPECT_EQ(readFile("backup/マーカー-LAPTOP_2.TXT"), "2\r\n");
    EXPECT_EQ(manifest().at("マーカー-LAPTOP_2.TXT"), BackupReason::ConflictCopy);
    EXPECT_EQ(fileNames(), (std::vector<std::string>{"データ.txt", "マーカー.TXT"}));
}

}  // namespace
}  // namespace sora::test
