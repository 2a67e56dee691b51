#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/edits/rename_situation.h"
#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "core/files/writer_lock.h"
#include "faulty_io.h"
#include "test_support.h"

// What must hold for every writer whatever else is in the folder: links, permissions, another writer's files and
// records, odd endings of the log.

namespace {

using namespace sora;
namespace fs = std::filesystem;
using test::bytes_of;
using test::cp932;
using test::write_bytes;

const std::string LogText =
    "\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\r\n"
    "\"2005/02/03\",\"起床後\",125,79,66,\"\",62.6\r\n";

const MeasurementRecord Early{"2005/02/02", "起床後", 120, 70, 60, "挿入", 62};
const MeasurementRecord Late{"2005/02/04", "起床後", 121, 71, 61, "追記", 62};

struct Writer {
    const char* name;
    const char* file;  // the file it changes
    std::function<WriteResult(const DataDir&)> write;
};

const std::vector<Writer>& writers() {
    static const std::vector<Writer> all = {
        {"append", "データ.txt", [](const DataDir& d) { return MeasurementLog(d).append(Late); }},
        {"insert", "データ.txt", [](const DataDir& d) { return MeasurementLog(d).insert_in_order(Early); }},
        {"rewrite", "データ.txt",
         [](const DataDir& d) {
             return MeasurementLog(d).rewrite_all({Early, Late});
         }},
        {"memo", "気付きメモ.txt", [](const DataDir& d) { return write_memo(d, "新しいメモ\r\n"); }},
        {"situation append", "状況リスト.txt", [](const DataDir& d) { return append_situation(d, "散歩後", false); }},
        {"situation list", "状況リスト.txt", [](const DataDir& d) { return write_situations_quoted(d, {"朝"}); }},
    };
    return all;
}

class WriterSafety : public test::DataDirTest {
protected:
    void SetUp() override {
        writeFile("データ.txt", LogText);
        writeFile("気付きメモ.txt", "メモ\r\n");
        writeFile("状況リスト.txt", "起床後\r\n");
    }
    static mode_t modeOf(const fs::path& p) {
        struct stat info {};
        ::stat(p.c_str(), &info);
        return info.st_mode & 07777;
    }
};

TEST_F(WriterSafety, ReadOnlyFilesAreRefusedAndOthersKeepTheirPermissions) {
    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.name);
        const fs::path file = path(w.file);
        const std::string before = rawFile(w.file);
        ::chmod(file.c_str(), 0444);
        const WriteResult refused = w.write(dir());
        EXPECT_FALSE(refused.ok);
        EXPECT_NE(refused.message.find("読み取り専用"), std::string::npos) << refused.message;
        EXPECT_EQ(rawFile(w.file), before);

        ::chmod(file.c_str(), 0640);
        ASSERT_TRUE(w.write(dir()).ok);
        EXPECT_NE(rawFile(w.file), before);
        EXPECT_EQ(modeOf(file), 0640u);
        ::chmod(file.c_str(), 0644);
    }
}

TEST_F(WriterSafety, ALinkedFileIsWrittenThroughItsLinkAndStaysLinked) {
    const test::ScratchDir elsewhere;
    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.name);
        const fs::path real = elsewhere / w.file;
        fs::rename(path(w.file), real);
        fs::create_symlink(real, path(w.file));
        const std::string before = bytes_of(real);

        ASSERT_TRUE(w.write(dir()).ok);
        EXPECT_TRUE(fs::is_symlink(path(w.file)));
        EXPECT_NE(bytes_of(real), before);
        EXPECT_EQ(fileNames().size(), 3u);  // no temporary file left on either side
        fs::remove(path(w.file));
        fs::rename(real, path(w.file));
    }
}

TEST_F(WriterSafety, AnotherWritersTemporaryFileIsNeverTakenOver) {
    for (const char* name : {"データコピー.txt", "データＣＨＧ.txt", "状況リストＣＨＧ.txt", "気付きメモ.txt.tmp"}) {
        writeFile(name, "他の書き込み中\r\n");
    }
    for (const Writer& w : writers()) {
        ASSERT_TRUE(w.write(dir()).ok) << w.name;
    }
    ASSERT_TRUE(rename_situation(dir(), "起床後", "朝").ok);
    for (const char* name : {"データコピー.txt", "データＣＨＧ.txt", "状況リストＣＨＧ.txt", "気付きメモ.txt.tmp"}) {
        EXPECT_EQ(readFile(name), "他の書き込み中\r\n") << name;
    }
    EXPECT_EQ(fileNames().size(), 7u);
}

/// Passes every call on; when the temporary file of a rewrite is closed, another program appends a record to the log.
class AppendDuringRewrite : public test::PassThroughIo {
public:
    AppendDuringRewrite(fs::path log, std::string line) : m_log(std::move(log)), m_line(line) {}
    int close(int fd) override {
        const int rc = posix_file_io().close(fd);
        if (!m_done) {
            m_done = true;
            write_bytes(m_log, bytes_of(m_log) + m_line);
        }
        return rc;
    }

private:
    fs::path m_log;
    std::string m_line;
    bool m_done = false;
};

TEST_F(WriterSafety, ARecordAnotherProgramWroteMeanwhileIsNeverOverwritten) {
    const std::string other = cp932("\"2005/02/05\",\"他のプログラム\",130,80,70,\"\",62\r\n");
    const std::vector<std::pair<const char*, std::function<bool()>>> rewrites = {
        {"insert", [&] { return MeasurementLog(dir()).insert_in_order(Early).ok; }},
        {"rename", [&] { return rename_situation(dir(), "起床後", "朝").ok; }},
    };
    for (const auto& [name, rewrite] : rewrites) {
        SCOPED_TRACE(name);
        writeFile("データ.txt", LogText);
        AppendDuringRewrite io(path("データ.txt"), other);
        FileIoOverride override(io);
        EXPECT_FALSE(rewrite());
        EXPECT_EQ(rawFile("データ.txt"), cp932(LogText) + other);
    }
}

TEST_F(WriterSafety, TheSituationListIsRewrittenOnlyFromWhatItHolds) {
    const std::vector<std::string> shown = {"起床後", "就寝前"};
    writeFile("状況リスト.txt", "就寝前\r\n起床後\r\n");
    EXPECT_TRUE(write_situations_plain(dir(), {"起床後", "就寝前"}, &shown).ok);  // the same items sorted
    EXPECT_EQ(readFile("状況リスト.txt"), "起床後\r\n就寝前\r\n");

    writeFile("状況リスト.txt", "起床後\r\n就寝前\r\n散歩後\r\n");  // another program added one
    const WriteResult refused = write_situations_plain(dir(), {"就寝前"}, &shown);
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.changedOnDisk);
    EXPECT_EQ(readFile("状況リスト.txt"), "起床後\r\n就寝前\r\n散歩後\r\n");
}

/// Another program appends right after this writer's bytes; then the fsync fails.
class AppendAfterMineThenFail : public test::PassThroughIo {
public:
    AppendAfterMineThenFail(fs::path log, std::string line) : m_log(std::move(log)), m_line(line) {}
    int fsync(int) override {
        write_bytes(m_log, bytes_of(m_log) + m_line);
        errno = EIO;
        return -1;
    }

private:
    fs::path m_log;
    std::string m_line;
};

TEST_F(WriterSafety, AFailedAppendNeverCutsOffWhatWasAppendedAfterIt) {
    const std::string other = cp932("\"2005/02/05\",\"他のプログラム\",130,80,70,\"\",62\r\n");
    AppendAfterMineThenFail io(path("データ.txt"), other);
    {
        FileIoOverride override(io);
        EXPECT_FALSE(MeasurementLog(dir()).append(Late).ok);
    }
    EXPECT_NE(rawFile("データ.txt").find(other), std::string::npos);

    // Alone, a failed append still leaves the file exactly as it was.
    writeFile("データ.txt", LogText);
    test::FaultyIo fsyncFails(3);  // open, write, fsync
    {
        FileIoOverride override(fsyncFails);
        EXPECT_FALSE(MeasurementLog(dir()).append(Late).ok);
    }
    EXPECT_EQ(fsyncFails.failedCall(), "fsync");
    EXPECT_EQ(readFile("データ.txt"), LogText);
}

TEST_F(WriterSafety, ARecordNeverFollowsABlankLastLine) {
    for (const char* ending : {"\r\n", "\r\n\r\n", "\n", "\n\r\n\n"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(ending)));
        for (const Writer& w : writers()) {
            if (std::string(w.file) != "データ.txt") {
                continue;
            }
            writeFile("データ.txt", LogText + ending);
            ASSERT_TRUE(w.write(dir()).ok) << w.name;
            const LogReadResult read = MeasurementLog(dir()).read_all();
            ASSERT_TRUE(read.ok) << w.name << ": " << read.message;
            EXPECT_TRUE(std::any_of(read.records.begin(), read.records.end(), [](const MeasurementRecord& r) {
                return r.diary == "追記" || r.diary == "挿入";
            })) << w.name;
        }
    }
}

/// Fails the first open with the given errno.
class OpenFails : public test::PassThroughIo {
public:
    explicit OpenFails(int error) : m_error(error) {}
    int open_for_write(const fs::path&, bool) override {
        errno = m_error;
        return -1;
    }

private:
    int m_error;
};

TEST_F(WriterSafety, AFailedSaveSaysWhy) {
    const std::vector<std::pair<int, std::string>> cases = {
        {ENOSPC, "ディスクの空き容量が足りません。"},    {EDQUOT, "ディスクの空き容量が足りません。"},
        {EACCES, "書き込みの権限がありません。"},        {EPERM, "書き込みの権限がありません。"},
        {EROFS, "読み取り専用のファイルシステムです。"}, {EIO, ""},
    };
    for (const auto& [error, reason] : cases) {
        OpenFails io(error);
        FileIoOverride override(io);
        for (const Writer& w : writers()) {
            const WriteResult result = w.write(dir());
            EXPECT_FALSE(result.ok);
            EXPECT_EQ(result.message, "「" + std::string(w.file) + "」を保存できませんでした。" + reason) << w.name;
        }
    }
}

TEST_F(WriterSafety, OneWriterPerFolderAcrossProcesses) {
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const WriterLock held(m_scratch.path());
        char byte = held ? '1' : '0';
        (void)!::write(ready[1], &byte, 1);
        (void)!::read(release[0], &byte, 1);
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_EQ(byte, '1');
    {
        const WriterLock second(m_scratch.path(), std::chrono::milliseconds(50));
        EXPECT_FALSE(second.held());
        EXPECT_NE(second.message().find("別のソラノート＋が使用中"), std::string::npos) << second.message();
    }
    (void)!::write(release[1], "x", 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    // Released with the process: the folder is free again, and a nested lock in one process does not wait for itself.
    const WriterLock first(m_scratch.path(), std::chrono::milliseconds(0));
    EXPECT_TRUE(first.held());
    const WriterLock nested(m_scratch.path(), std::chrono::milliseconds(0));
    EXPECT_TRUE(nested.held());
    EXPECT_TRUE(MeasurementLog(dir()).append(Late).ok);
    for (int fd : {ready[0], ready[1], release[0], release[1]}) {
        ::close(fd);
    }
}

}  // namespace
