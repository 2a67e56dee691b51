// The conflict copies sync tools leave beside the data files, recognised by their names.
#include <gtest/gtest.h>

#include "core/files/conflict_copies.h"
#include "test_support.h"

namespace sora::test {
namespace {

TEST(ConflictCopies, NamesOfEachToolAndLookAlikes) {
    struct Case {
        const char* name;
        const char* original;  // nullptr: not a conflict copy
        SyncTool tool;
    };
    const Case cases[] = {
        {"データ.sync-conflict-20261207-235123-I3I3VSL.txt", "データ.txt", SyncTool::Syncthing},
        {"状況リスト.sync-conflict-20261207-235123-ABCDEF7.txt", "状況リスト.txt", SyncTool::Syncthing},
        {"自動時間.sync-conflict-20261207-235123-ABCDEF7.txt", "自動時間.TXT", SyncTool::Syncthing},
        {"マーカー.sync-conflict-20261207-235123-ABCDEF7.TXT", "マーカー.TXT", SyncTool::Syncthing},
        {"データ (Taro's conflicted copy 2026-12-07).txt", "データ.txt", SyncTool::Dropbox},
        {"データ (太郎の競合コピー 2026-12-07).txt", "データ.txt", SyncTool::Dropbox},
        {"データ (conflicted copy 2026-12-07 235123).txt", "データ.txt", SyncTool::Nextcloud},
        {"気付きメモ (conflicted copy taro 2026-12-07 235123).txt", "気付きメモ.txt", SyncTool::Nextcloud},
        {"データ-DESKTOP-PC.txt", "データ.txt", SyncTool::OneDrive},
        {"ﾌﾟﾗｲﾍﾞｰﾄ-LAPTOP7.txt", "ﾌﾟﾗｲﾍﾞｰﾄ.txt", SyncTool::OneDrive},
        // Not copies: the data files themselves, the program's own temporary files and copies, other names.
        {"データ.txt", nullptr, SyncTool::Syncthing},
        {"データコピー.4711-1.txt", nullptr, SyncTool::Syncthing},
        {"設定.txt.4711-1.tmp", nullptr, SyncTool::Syncthing},
        {"データ_20261207_235123.txt", nullptr, SyncTool::Syncthing},
        {"データ.sync-conflict-20261207-235123-I3I3VSL.csv", nullptr, SyncTool::Syncthing},
        {"データ.sync-conflict-2026127-235123-I3I3VSL.txt", nullptr, SyncTool::Syncthing},
        {"日毎平均.sync-conflict-20261207-235123-I3I3VSL.txt", nullptr, SyncTool::Syncthing},
        {"データ-THIS-NAME-IS-TOO-LONG.txt", nullptr, SyncTool::Syncthing},
        {"データ-.txt", nullptr, SyncTool::Syncthing},
        {"データ (2).txt", nullptr, SyncTool::Syncthing},
    };
    for (const Case& c : cases) {
        const std::optional<ConflictCopy> copy = conflict_copy_of(c.name);
        if (c.original == nullptr) {
            EXPECT_FALSE(copy) << c.name << " taken for a copy of " << copy->original;
            continue;
        }
        ASSERT_TRUE(copy) << c.name;
        EXPECT_EQ(copy->original, c.original) << c.name;
        EXPECT_EQ(copy->tool, c.tool) << c.name;
    }
}

TEST(ConflictCopies, FoundInTheFolderOnlyAsRegularFilesAndSorted) {
    ScratchDir dir;
    write_bytes(dir / "データ.txt", "x");
    write_bytes(dir / "状況リスト.sync-conflict-20261207-235123-ABCDEF7.txt", "x");
    write_bytes(dir / "データ.sync-conflict-20261207-235123-I3I3VSL.txt", "x");
    std::filesystem::create_directory(dir / "気付きメモ.sync-conflict-20261207-235123-ABCDEF7.txt");
    std::filesystem::create_directory(dir / "backup");
    write_bytes(dir / "backup" / "データ.sync-conflict-20261201-000000-I3I3VSL.txt", "x");
    const std::vector<ConflictCopy> found = find_conflict_copies(DataDir(dir.path()));
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].name, "データ.sync-conflict-20261207-235123-I3I3VSL.txt");
    EXPECT_EQ(found[1].original, "状況リスト.txt");
}

}  // namespace
}  // namespace sora::test
