// soranote-cli when its output cannot be written or an export has nowhere sound to go: never a success, always
// the reason.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>

#include "cli/cli.h"
#include "cli/fd_output.h"
#include "cli_fixture.h"

namespace fs = std::filesystem;

namespace {

const sora::Date kToday{2005, 2, 10};

class CliFaults : public CliFixture {
protected:
    void SetUp() override {
        CliFixture::SetUp();
        std::string log = "\"2005/02/01\",\"はじめの一歩\",120,80,70,,62.5\n";
        // More output than one buffer holds, so that a failure shows before the final flush too.
        for (int i = 0; i < 2000; ++i) {
            log += "\"2005/02/03\",\"夕食後\",125,79,66,\"散歩, 30分\",62.6\n";
        }
        write("データ.txt", log);
    }
};

TEST_F(CliFaults, OutputThatCannotBeWrittenExits74WithTheReason) {
    const std::vector<std::vector<std::string>> commands = {{"export", "--csv"},   {"--json", "list"},  {"list"},
                                                            {"day", "2005/02/01"}, {"--json", "diary"}, {"report"}};
    for (const auto& command : commands) {
        SCOPED_TRACE(command.back());
        const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        int status = 0;
        std::ostringstream err;
        {
            cli::FdOutput buffer(fd);
            std::ostream out(&buffer);
            std::vector<std::string> args = {"--data-dir", m_dir.string()};
            args.insert(args.end(), command.begin(), command.end());
            status = cli::run(args, out, err, kToday);
        }
        ::close(fd);
        EXPECT_EQ(status, cli::ExitIoError);
        EXPECT_NE(err.str().find("出力を書き込めませんでした。ディスクの空き容量が足りません。"), std::string::npos)
            << err.str();
    }
}

TEST_F(CliFaults, AReaderThatWentAwayExits74NotBySignal) {
    // `soranote-cli list | head -1`: head has closed the pipe before the list is written.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::close(fds[0]);
    std::ostringstream err;
    int status = 0;
    {
        cli::FdOutput buffer(fds[1]);
        std::ostream out(&buffer);
        status = cli::run({"--data-dir", m_dir.string(), "list"}, out, err, kToday);
    }
    ::close(fds[1]);
    EXPECT_EQ(status, cli::ExitIoError);
    EXPECT_NE(err.str().find("出力先が閉じられました。"), std::string::npos) << err.str();
}

TEST_F(CliFaults, AnExportSaysWhyItCannotGoWhereItWasSent) {
    const fs::path folder = m_dir / "folder";
    fs::create_directory(folder);
    const fs::path fifo = m_dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const fs::path file = m_dir / "file";
    std::ofstream(file) << "x";
    struct Row {
        fs::path target;
        bool overwrite;
        const char* says;
    };
    const std::vector<Row> rows = {
        {folder, true, "はフォルダです"},
        {folder, false, "はフォルダです"},
        {fifo, true, "普通のファイルではない（FIFO（名前付きパイプ））"},
        {m_dir / "none" / "x.csv", false, "保存先のフォルダ"},
        {file / "x.csv", false, "はフォルダではない"},
        {file, false, "すでにあります"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.target.string());
        std::vector<std::string> args = {"export", "--csv", "--output", row.target.string()};
        if (row.overwrite) {
            args.push_back("--overwrite");
        }
        const Result r = run(args, kToday);
        EXPECT_EQ(r.status, cli::ExitCannotWrite);
        EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_directory(folder));
    ASSERT_EQ(run({"export", "--csv", "--output", file.string(), "--overwrite"}, kToday).status, cli::ExitOk);
    EXPECT_GT(fs::file_size(file), 2000u * 40);
}

TEST_F(CliFaults, AStreamedJsonListIsOneWholeDocument) {
    const Result r = run({"--json", "list"}, kToday);
    ASSERT_EQ(r.status, cli::ExitOk) << r.err;
    const nlohmann::json view = nlohmann::json::parse(r.out);
    ASSERT_EQ(view["grid"]["rows"].size(), 2001u);
    EXPECT_EQ(view["grid"]["rows"][2000][2]["text"], "夕食後");
    EXPECT_TRUE(view["grid"]["topRow"].is_null() || view["grid"]["topRow"].is_number());
    EXPECT_TRUE(view["values"].is_object());
}

}  // namespace
