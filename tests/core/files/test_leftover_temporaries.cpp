// What killed writers leave behind (a whole copy of the log, half-written side files) goes at the next start, by
// the process id in the name; a file whose writer may still be alive is kept, and only then is anything said.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/edits/rename_situation.h"
#include "core/files/leftover_temporaries.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using sora::test::ScratchDir;

TEST(LeftoverTemporaries, TheWritersProcessIdIsReadOnlyFromTheirOwnNames) {
    const std::vector<std::pair<std::string, long>> rows = {
        {"データコピー.4711-2.txt", 4711},
        {"設定.txt.4711-1.tmp", 4711},
        {"マーカー.TXT.12-3.tmp", 12},
        {"データＣＨＧ.99-1.txt", 99},
        {"元に戻し中.5-5.txt", 5},
        {"控え一覧.txt.8-1.tmp", 8},
        {"データコピー.txt", 0},
        {"データコピー.4711-.txt", 0},
        {"データコピー.-1.txt", 0},
        {"写真.4711-1.jpg", 0},
        {"メモ.4711-1.tmp", 0},
        {"データ.4711-1.txt", 0},
        {"データコピー.4711-1.csv", 0},
        {"データコピー.12345678901-1.txt", 0},
    };
    for (const auto& [name, pid] : rows) {
        EXPECT_EQ(sora::temporary_writer_pid(name), pid) << name;
    }
}

TEST(LeftoverTemporaries, DeadWritersFilesGoAndOnlyAKeptOneIsMentioned) {
    ScratchDir dir;
    fs::create_directory(dir / "backup");
    sora::test::write_bytes(dir / "データ.txt", sora::test::cp932("\"2005/02/01\",\"はじめの一歩\",120,80,70,,60\r\n"));
    const std::string dead = std::to_string(sora::test::dead_pid());
    const std::vector<std::string> leftovers = {
        "データコピー." + dead + "-1.txt", "設定.txt." + dead + "-2.tmp", "朝晩設定.txt." + dead + "-1.tmp",
        "backup/データコピー." + dead + "-3.txt", "backup/控え一覧.txt." + dead + "-1.tmp"};
    const std::vector<std::string> users = {"データコピー.txt", "写真." + dead + "-1.jpg", "データ.txt.bak",
                                            "backup/メモ." + dead + "-1.txt"};
    for (const std::string& name : leftovers) {
        sora::test::write_bytes(dir / name, "途中");
    }
    for (const std::string& name : users) {
        sora::test::write_bytes(dir / name, "利用者のファイル");
    }
    const sora::DataDir data(dir.path());
    sora::TogetherRecovery recovery = sora::recover_interrupted_rename(data);
    EXPECT_EQ(recovery.message, "") << "nothing had to be kept: nothing to say";
    EXPECT_EQ(recovery.temporariesRemoved, static_cast<int>(leftovers.size()));
    for (const std::string& name : leftovers) {
        EXPECT_FALSE(fs::exists(dir / name)) << name;
    }
    for (const std::string& name : users) {
        EXPECT_TRUE(fs::exists(dir / name)) << name;
    }

    // A writer that is still alive (here the process that started the test) keeps its file, and the user hears of it.
    const std::string alive = "データコピー." + std::to_string(::getppid()) + "-1.txt";
    sora::test::write_bytes(dir / alive, "書き込み中");
    recovery = sora::recover_interrupted_rename(data);
    EXPECT_TRUE(fs::exists(dir / alive));
    EXPECT_NE(recovery.message.find(alive), std::string::npos) << recovery.message;
    EXPECT_NE(recovery.outcome, sora::TogetherRecovery::Outcome::Failed);
}

}  // namespace

namespace {

TEST(LeftoverTemporaries, ACopyBesideTheFileALinkedLogLeadsToGoesToo) {
    ScratchDir dir;
    const fs::path data = dir / "data";
    const fs::path synced = dir / "synced";
    fs::create_directories(data);
    fs::create_directories(synced);
    sora::test::write_bytes(synced / "データ.txt",
                            sora::test::cp932("\"2005/02/01\",\"はじめの一歩\",120,80,70,,60\r\n"));
    fs::create_symlink(synced / "データ.txt", data / "データ.txt");
    // A write of the log puts its temporary copy beside the real file, where a kill leaves it.
    const std::string leftover = "データコピー." + std::to_string(sora::test::dead_pid()) + "-3.txt";
    sora::test::write_bytes(synced / leftover, std::string(4096, 'x'));
    sora::test::write_bytes(synced / "データコピー.txt", "利用者のファイル");
    const sora::TogetherRecovery recovery = sora::recover_interrupted_rename(sora::DataDir(data));
    EXPECT_EQ(recovery.temporariesRemoved, 1);
    EXPECT_FALSE(fs::exists(synced / leftover));
    EXPECT_TRUE(fs::exists(synced / "データコピー.txt"));
}

}  // namespace
