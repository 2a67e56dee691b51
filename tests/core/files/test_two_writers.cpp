#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "test_support.h"

// Two processes saving into one data folder at once, as two copies of the program or a script beside it would:
// every save that reported success must be in the log afterwards, and the log must read.

namespace {

using namespace sora;
namespace fs = std::filesystem;

/// Starts the save loop with its output going to `out`.
pid_t start_loop(const fs::path& dir, const char* mode, const char* tag, int milliseconds, const fs::path& out) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, STDOUT_FILENO);
        const std::string ms = std::to_string(milliseconds);
        ::execl(SAVE_LOOP, SAVE_LOOP, dir.c_str(), mode, tag, ms.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

std::vector<std::string> lines_of(const fs::path& file) {
    std::istringstream in(test::bytes_of(file));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(TwoWriters, EverySaveThatReportedSuccessIsInTheLog) {
    struct Pair {
        const char* first;
        const char* second;
    };
    const std::vector<Pair> pairs = {
        {"append", "append"}, {"insert", "append"}, {"insert", "insert"}, {"rename", "append"}, {"rename", "insert"}};
    for (const Pair& pair : pairs) {
        SCOPED_TRACE(std::string(pair.first) + "+" + pair.second);
        const test::ScratchDir dir;
        test::write_bytes(dir / "データ.txt", test::cp932("\"2005/02/01\",\"はじめの一歩\",126,80,70,,62.5\r\n"
                                                          "\"2005/02/27\",\"起床後\",125,79,66,\"\",62.6\r\n"));
        test::write_bytes(dir / "状況リスト.txt", test::cp932("起床後\r\n"));
        const pid_t a = start_loop(dir.path(), pair.first, "a", 1500, dir / "a.out");
        const pid_t b = start_loop(dir.path(), pair.second, "b", 1500, dir / "b.out");
        int status = 0;
        ASSERT_EQ(::waitpid(a, &status, 0), a);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        ASSERT_EQ(::waitpid(b, &status, 0), b);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

        const LogReadResult log = MeasurementLog(DataDir(dir.path())).read_all();
        ASSERT_TRUE(log.ok) << log.message;
        std::map<std::string, int> inLog;
        for (const MeasurementRecord& record : log.records) {
            ++inLog[record.diary];
        }
        int saves = 0;
        int lost = 0;
        for (const char* out : {"a.out", "b.out"}) {
            const bool renames = std::string(out) == "a.out" && std::string(pair.first) == "rename";
            for (const std::string& text : lines_of(dir / out)) {
                ++saves;
                if (!renames && inLog[text] != 1) {
                    ++lost;
                    ADD_FAILURE() << text << " is in the log " << inLog[text] << " times";
                }
            }
        }
        // Renamed records keep their texts; the situation list still reads.
        EXPECT_TRUE(read_situations(DataDir(dir.path())).ok);
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            const bool copies = name == "backup" && entry.is_directory();
            EXPECT_TRUE(name == "データ.txt" || name == "状況リスト.txt" || name == "a.out" || name == "b.out" ||
                        copies)
                << name;
        }
        std::printf("[ writers  ] %-6s + %-6s  %5d saves reported, %d lost, %zu records in the log\n", pair.first,
                    pair.second, saves, lost, log.records.size());
        EXPECT_GT(saves, 10);
    }
}

}  // namespace
