#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "core/files/data_dir.h"
#include "core/files/file_io.h"
#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "faulty_io.h"
#include "test_support.h"

namespace {

using sora::test::bytes_of;
using sora::test::failed_in_backup_folder;
using sora::test::FaultyIo;
using sora::test::ScratchDir;
using sora::test::write_bytes;

const std::string OldBytes = "\"2005/02/01\",\"\x82\xCD\x82\xB6\x82\xDF\x82\xCC\x88\xEA\x95\xE0\",126,80,70,,62.5\r\n";

/// Fails every call of an operation in turn (N = 1, 2, … until one run needs no fault) and checks after each run
/// that the target holds either its old bytes or the complete new ones, and that a failure says so with a message.
/// Returns the number of fault points tried.
int run_fault_points(const std::filesystem::path& target, const std::string& oldBytes, const std::string& newBytes,
                     const std::function<sora::WriteResult()>& operation,
                     const std::vector<std::filesystem::path>& mustNotRemain, std::size_t maxWrite = 0) {
    int tried = 0;
    for (int failAt = 1; failAt < 1000; ++failAt) {
        write_bytes(target, oldBytes);
        FaultyIo io(failAt, maxWrite);
        sora::WriteResult result;
        {
            sora::FileIoOverride override(io);
            result = operation();
        }
        SCOPED_TRACE("fault at call " + std::to_string(failAt) + " (" + io.failedCall() + ")");
        if (!io.failed()) {
            EXPECT_TRUE(result.ok) << result.message;
            EXPECT_EQ(bytes_of(target), newBytes);
            return tried;
        }
        ++tried;
        if (failed_in_backup_folder(io)) {
            // The copy of the log kept before a rewrite failed: the user is warned and the write goes on.
            EXPECT_TRUE(result.ok) << result.message;
            EXPECT_FALSE(result.warning.empty());
            EXPECT_EQ(bytes_of(target), newBytes);
            continue;
        }
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.message.find(target.filename().string()), std::string::npos) << result.message;
        // Once the rename has happened the new file is complete; before it the old one is untouched.
        const std::string now = bytes_of(target);
        if (io.failedCall() == "sync_directory") {
            EXPECT_EQ(now, newBytes);
        } else {
            EXPECT_EQ(now, oldBytes);
        }
        for (const auto& path : mustNotRemain) {
            EXPECT_FALSE(std::filesystem::exists(path)) << path;
        }
    }
    ADD_FAILURE() << "the operation never succeeded";
    return tried;
}

TEST(FileIo, ReplaceFileSurvivesEveryFaultPoint) {
    ScratchDir dir;
    const auto target = dir / "データ.txt";
    const auto temporary = dir / "データコピー.txt";
    const std::string newBytes = OldBytes + "\"2005/02/02\",\"x\",1,2,3,\"\",4\r\n";
    int total = 0;
    for (std::size_t maxWrite : {std::size_t{0}, std::size_t{7}}) {
        total += run_fault_points(
            target, OldBytes, newBytes, [&] { return sora::replace_file(target, temporary, newBytes); }, {temporary},
            maxWrite);
    }
    // open, write, fsync, close, rename, sync: six points with whole writes, more with short ones.
    EXPECT_GE(total, 6 + 6 + 8);
    std::printf("[          ] replace_file: %d fault points tried\n", total);
}

TEST(FileIo, AppendNeverLeavesAPartialLine) {
    ScratchDir dir;
    const auto target = dir / "データ.txt";
    const std::string line = "\"2005/02/02\",\"\x8B\x4E\x8F\xB0\x8C\xE3\",130,85,72,\"7:05:09\",63.1\r\n";
    int total = 0;
    for (std::size_t maxWrite : {std::size_t{0}, std::size_t{5}}) {
        total += run_fault_points(
            target, OldBytes, OldBytes + line, [&] { return sora::append_to_file(target, line); }, {}, maxWrite);
    }
    EXPECT_GE(total, 4 + 13);
    std::printf("[          ] append_to_file: %d fault points tried\n", total);
}

TEST(FileIo, FailedAppendToAMissingFileLeavesNoFile) {
    ScratchDir dir;
    const auto target = dir / "状況リスト.txt";
    FaultyIo io(3);  // open, write, then the fsync fails
    sora::WriteResult result;
    {
        sora::FileIoOverride override(io);
        result = sora::append_to_file(target, "abc\r\n");
    }
    EXPECT_EQ(io.failedCall(), "fsync");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST(FileIo, LogWritersKeepTheLogThroughEveryFault) {
    ScratchDir dir;
    const sora::DataDir data(dir.path());
    const sora::MeasurementLog log(data);
    const auto target = dir / "データ.txt";
    const std::string later = "\"2005/02/05\",\"x\",120,80,60,\"\",60\r\n";
    const sora::MeasurementRecord record{"2005/02/03", "起床後", 131, 86, 70, "朝", 63.2f};
    const std::string insertedLine = "\"2005/02/03\",\"\x8B\x4E\x8F\xB0\x8C\xE3\",131,86,70,\"\x92\xA9\",63.2\r\n";
    // The insertion rewrites the start record with "" for its empty diary.
    const std::string normalisedStart =
        "\"2005/02/01\",\"\x82\xCD\x82\xB6\x82\xDF\x82\xCC\x88\xEA\x95\xE0\",126,80,70,\"\",62.5\r\n";

    int total = run_fault_points(target, OldBytes + later, normalisedStart + insertedLine + later,
                                 [&] { return log.insert_in_order(record); }, {dir / "データコピー.txt"});
    total += run_fault_points(
        target, OldBytes + later, OldBytes + later + insertedLine, [&] { return log.append(record); }, {}, 9);
    total +=
        run_fault_points(target, OldBytes, normalisedStart + insertedLine,
                         [&] {
                             return log.rewrite_all({{"2005/02/01", "はじめの一歩", 126, 80, 70, "", 62.5f}, record});
                         },
                         {dir / "データコピー.txt"});
    EXPECT_GE(total, 6 + 6 + 6);
    std::printf("[          ] log writers: %d fault points tried\n", total);
}

TEST(FileIo, SideFileWritersKeepTheirFileThroughEveryFault) {
    ScratchDir dir;
    const sora::DataDir data(dir.path());
    const auto target = dir / "状況リスト.txt";
    const std::string old = "\x8B\x4E\x8F\xB0\x8C\xE3\r\n";
    const int total =
        run_fault_points(target, old, "\"\x8B\x4E\x8F\xB0\x8C\xE3\"\r\n\"a,b\"\r\n",
                         [&] {
                             return sora::write_situations_quoted(data, {"起床後", "a,b"});
                         },
                         {dir / "状況リストＣＨＧ.txt"}) +
        run_fault_points(
            target, old, old + "\"a,b\"\r\n", [&] { return sora::append_situation(data, "a,b", false); }, {}, 3);
    EXPECT_GE(total, 6 + 4);
    std::printf("[          ] side-file writers: %d fault points tried\n", total);
}

TEST(FileIo, OverridesNestAndRestore) {
    FaultyIo outer;
    FaultyIo inner;
    {
        sora::FileIoOverride first(outer);
        EXPECT_EQ(&sora::file_io(), &outer);
        {
            sora::FileIoOverride second(inner);
            EXPECT_EQ(&sora::file_io(), &inner);
        }
        EXPECT_EQ(&sora::file_io(), &outer);
    }
    EXPECT_EQ(&sora::file_io(), &sora::posix_file_io());
}

TEST(FileIo, ReadFileGivesEveryByteOrFails) {
    ScratchDir dir;
    std::string bytes;
    EXPECT_FALSE(sora::read_file(dir / "none.txt", bytes));
    EXPECT_FALSE(sora::read_file(dir.path(), bytes));  // a directory is not a file

    std::string content(100000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<char>(i * 7 % 256);
    }
    write_bytes(dir / "a.bin", content);
    ASSERT_TRUE(sora::read_file(dir / "a.bin", bytes));
    EXPECT_EQ(bytes, content);
    write_bytes(dir / "empty", "");
    ASSERT_TRUE(sora::read_file(dir / "empty", bytes));
    EXPECT_EQ(bytes, "");
}

TEST(FileIo, ReplaceFileCreatesAMissingTargetAndLeavesNoTemporary) {
    ScratchDir dir;
    const auto result = sora::replace_file(dir / "設定.txt", dir / "設定.txt.tmp", "abc\r\n");
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(bytes_of(dir / "設定.txt"), "abc\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "設定.txt.tmp"));
}

}  // namespace
