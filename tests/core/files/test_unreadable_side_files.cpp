// Side files the start-up could not read: when a save must ask, under which name the old bytes are kept, and that
// they are kept byte for byte (or the save is stopped).
#include <gtest/gtest.h>

#include <string>

#include "core/files/data_dir.h"
#include "core/files/file_io.h"
#include "core/files/unreadable_side_files.h"
#include "faulty_io.h"
#include "test_support.h"

namespace {

using sora::DataDir;
using sora::DateTime;
using sora::UnreadableSideFiles;
using sora::test::bytes_of;
using sora::test::ScratchDir;
using sora::test::write_bytes;

const DateTime Now{{2005, 3, 1}, 9, 5, 7};

TEST(UnreadableSideFiles, CopyNamesKeepTheFilesOwnExtension) {
    const struct {
        const char* file;
        DateTime now;
        const char* copy;
    } cases[] = {
        {"気付きメモ.txt", Now, "気付きメモ_読めなかった内容_20050301_090507.txt"},
        {"自動時間.TXT", {{2024, 12, 31}, 23, 59, 59}, "自動時間_読めなかった内容_20241231_235959.TXT"},
        {"ﾌﾟﾗｲﾍﾞｰﾄ.txt", {{2010, 10, 10}, 0, 0, 0}, "ﾌﾟﾗｲﾍﾞｰﾄ_読めなかった内容_20101010_000000.txt"},
        {"設定", Now, "設定_読めなかった内容_20050301_090507"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sora::unreadable_copy_name(c.file, c.now), c.copy) << c.file;
    }
}

TEST(UnreadableSideFiles, AsksOnlyForNotedFilesThatStillExistUntilASaveIsAgreed) {
    ScratchDir dir;
    const DataDir data(dir.path());
    // Not CP932 (a lone lead byte), and a file in another letter case than the canonical name.
    const std::string memoBytes = "\x82\xA0\x82\r\n\x81";
    write_bytes(dir / "気付きメモ.txt", memoBytes);
    write_bytes(dir / "マーカー.tXt", "7x\r\n");
    write_bytes(dir / "自動時間.TXT", "1\r\n");

    UnreadableSideFiles files;
    files.add(sora::files::Memo);
    files.add(sora::files::Marker);
    files.add(sora::files::Memo);           // noted twice, still one question
    files.add(sora::files::GraphSettings);  // unreadable at start, gone since: nothing to lose

    EXPECT_FALSE(files.before_write(data, sora::files::AutoTime, Now).ask);
    EXPECT_FALSE(files.before_write(data, sora::files::GraphSettings, Now).ask);

    const sora::OverwriteCheck memo = files.before_write(data, sora::files::Memo, Now);
    ASSERT_TRUE(memo.ask);
    EXPECT_EQ(memo.copyName, "気付きメモ_読めなかった内容_20050301_090507.txt");
    EXPECT_NE(memo.question.find("気付きメモ.txt は読めなかったファイルです"), std::string::npos) << memo.question;
    EXPECT_NE(memo.question.find("「" + memo.copyName + "」として残してから保存しますか？"), std::string::npos);
    const sora::OverwriteCheck marker = files.before_write(data, sora::files::Marker, Now);
    ASSERT_TRUE(marker.ask);
    EXPECT_EQ(marker.copyName, "マーカー_読めなかった内容_20050301_090507.tXt") << "named after the file on disk";
    EXPECT_EQ(marker.question.rfind("マーカー.tXt は", 0), 0u);

    // Yes: the old bytes unchanged beside the file, and no question for the memo any more.
    ASSERT_TRUE(files.agree(data, sora::files::Memo, true, memo.copyName));
    EXPECT_EQ(bytes_of(dir / memo.copyName), memoBytes);
    EXPECT_EQ(bytes_of(dir / "気付きメモ.txt"), memoBytes) << "the copy leaves the file itself alone";
    EXPECT_FALSE(files.before_write(data, sora::files::Memo, Now).ask);
    EXPECT_FALSE(files.contains(sora::files::Memo));

    // No: no copy, no further question either.
    ASSERT_TRUE(files.agree(data, sora::files::Marker, false, marker.copyName));
    EXPECT_FALSE(std::filesystem::exists(dir / marker.copyName));
    EXPECT_FALSE(files.before_write(data, sora::files::Marker, Now).ask);
}

TEST(UnreadableSideFiles, AnEarlierCopyIsNeverReplaced) {
    ScratchDir dir;
    const DataDir data(dir.path());
    UnreadableSideFiles files;
    files.add(sora::files::Situations);
    const std::string first = sora::unreadable_copy_name("状況リスト.txt", Now);
    std::string expected[] = {first, "状況リスト_読めなかった内容_20050301_090507_2.txt",
                              "状況リスト_読めなかった内容_20050301_090507_3.txt"};
    for (int round = 0; round < 3; ++round) {
        const std::string bytes = "round " + std::to_string(round) + "\xFF\r\n";
        write_bytes(dir / "状況リスト.txt", bytes);
        const sora::OverwriteCheck check = files.before_write(data, sora::files::Situations, Now);
        ASSERT_TRUE(check.ask);
        ASSERT_EQ(check.copyName, expected[round]);
        ASSERT_TRUE(sora::keep_unreadable_copy(data, sora::files::Situations, check.copyName));
        EXPECT_EQ(bytes_of(dir / check.copyName), bytes);
    }
    EXPECT_EQ(bytes_of(dir / first), "round 0\xFF\r\n");
    // A name taken between the question and the copy is not written over.
    write_bytes(dir / "taken.txt", "mine");
    EXPECT_FALSE(sora::keep_unreadable_copy(data, sora::files::Situations, "taken.txt"));
    EXPECT_EQ(bytes_of(dir / "taken.txt"), "mine");
}

TEST(UnreadableSideFiles, AFailedCopyStopsTheSaveAndLeavesTheQuestionOpen) {
    ScratchDir dir;
    const DataDir data(dir.path());
    const std::string bytes(70000, '\x81');  // larger than one write, and no valid CP932
    write_bytes(dir / "グラフ設定.txt", bytes);
    UnreadableSideFiles files;
    files.add(sora::files::GraphSettings);
    const std::string copy = files.before_write(data, sora::files::GraphSettings, Now).copyName;

    // Every system call of the copy in turn: open, write, fsync, close, rename (the directory sync counts too).
    for (int failAt = 1; failAt <= 6; ++failAt) {
        SCOPED_TRACE(failAt);
        sora::test::FaultyIo io(failAt);
        const sora::FileIoOverride use(io);
        const sora::WriteResult kept = files.agree(data, sora::files::GraphSettings, true, copy);
        if (!io.failed()) {
            ADD_FAILURE() << "the copy made fewer calls than expected";
            break;
        }
        EXPECT_FALSE(kept.ok) << io.failedCall();
        EXPECT_NE(kept.message.find("保存していません"), std::string::npos) << kept.message;
        EXPECT_TRUE(files.contains(sora::files::GraphSettings)) << "asked again at the next save";
        EXPECT_EQ(bytes_of(dir / "グラフ設定.txt"), bytes);
        std::filesystem::remove(dir / copy);
    }
    // A file that cannot be read gives no copy either.
    std::filesystem::remove(dir / "グラフ設定.txt");
    std::filesystem::create_directory(dir / "グラフ設定.txt");
    EXPECT_FALSE(files.agree(data, sora::files::GraphSettings, true, copy).ok);
    EXPECT_TRUE(files.contains(sora::files::GraphSettings));
}

}  // namespace
