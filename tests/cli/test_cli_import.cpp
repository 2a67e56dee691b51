// soranote-cli import --check: the window's preview as text and JSON, nothing written, and what it refuses.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "cli_fixture.h"

namespace fs = std::filesystem;

namespace {

class CliImport : public CliFixture {
protected:
    void SetUp() override {
        CliFixture::SetUp();
        write("データ.txt",
              "\"2005/02/01\",\"はじめの一歩\",120,80,70,,62.5\n"
              "\"2005/02/02\",\"起床後\",131,84,68,\"7:05:09\",62.4\n");
        write("状況リスト.txt", "起床後\n就寝前\n");
        m_file = m_dir.parent_path() / (m_dir.filename().string() + "-bp.csv");
        std::ofstream(m_file, std::ios::binary) << "Date,\"Heart rate\",Systolic,Diastolic,Comments\n"
                                                   "\"2005-02-03 21:10:00\",70,125,80,\"tab\there\"\n"
                                                   "\"2005-02-02 07:05:30\",68,131,84,\n"
                                                   "\"2005-02-01 12:00:00\",70,,,\n"
                                                   "\"2005-02-01 12:00:00\",70,300,80,\n";
    }
    void TearDown() override {
        fs::remove(m_file);
        CliFixture::TearDown();
    }
    std::string logBytes() {
        std::ifstream in(m_dir / fs::u8path("データ.txt"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    Result run(std::vector<std::string> args) { return CliFixture::run(std::move(args), sora::Date{2005, 2, 10}); }

    fs::path m_file;
};

}  // namespace

TEST_F(CliImport, CheckPrintsThePreviewAndWritesNothing) {
    const std::string before = logBytes();
    const Result text = run({"import", "--check", m_file.string()});
    ASSERT_EQ(text.status, cli::ExitOk) << text.err;
    EXPECT_EQ(text.out, "ファイル\t" + m_file.filename().string() +
                            "\n種類\tWithings Health Mate の bp.csv\n追加\t1\n登録済み\t1\n要確認\t1\n読めない\t0\n"
                            "注意\t血圧のない行 1 行は取り込みません\n\n"
                            "行\t状態\t取り込む\t日付\t時刻\t状況\t最高血圧\t最低血圧\t脈拍\t体重\t一言日記\t理由\n"
                            "2\t追加\t1\t2005/02/03\t21:10:00\t就寝前\t125\t80\t70\t\t21:10:00 tab here\t\n"
                            "3\t登録済み\t0\t2005/02/02\t7:05:30\t起床後\t131\t84\t68\t\t7:05:30\t"
                            "同じ測定が日記の 2005/02/02 起床後 にあります\n"
                            "5\t要確認\t0\t2005/02/01\t12:00:00\t取り込み\t300\t80\t70\t\t12:00:00\t"
                            "最高血圧 300 は通常の範囲（60～260 mmHg）の外です。打ち間違いかもしれません。\n");

    const Result json = run({"--json", "import", "--check", m_file.string()});
    ASSERT_EQ(json.status, cli::ExitOk) << json.err;
    const auto parsed = nlohmann::json::parse(json.out);
    EXPECT_EQ(parsed["counts"], nlohmann::json::parse(R"({"added":1,"inDiary":1,"questionable":1,"unreadable":0})"));
    EXPECT_EQ(parsed["rows"][0]["situation"], "就寝前");
    EXPECT_EQ(parsed["rows"][0]["chosen"], true);
    EXPECT_EQ(parsed["rows"][2]["status"], "要確認");
    EXPECT_EQ(logBytes(), before);
    EXPECT_FALSE(fs::exists(m_dir / "backup"));
}

TEST_F(CliImport, RefusesWithoutCheckAndSaysWhyAFileDoesNotRead) {
    EXPECT_EQ(run({"import", m_file.string()}).status, cli::ExitUsage);
    EXPECT_EQ(run({"import", "--check"}).status, cli::ExitUsage);
    const fs::path empty = m_dir / "empty.csv";
    std::ofstream(empty).close();
    const Result r = run({"import", "--check", empty.string()});
    // Not 2, which says the diary itself does not read.
    EXPECT_EQ(r.status, cli::ExitNoInput);
    EXPECT_EQ(r.err, "soranote-cli: 「empty.csv」は空のファイルです。\n");
    const Result missing = run({"import", "--check", (m_dir / "missing.csv").string()});
    EXPECT_EQ(missing.status, cli::ExitNoInput);
    EXPECT_EQ(missing.err, "soranote-cli: 「missing.csv」が見つかりません。\n");
}

TEST_F(CliImport, EscapeSequencesNeverReachTheTerminal) {
    // A memo typed long ago in the diary, and one in a file of our own CSV to import (its BOM says it is text).
    write("データ.txt", "\"2005/02/01\",\"はじめの一歩\",120,80,70,\"A\x1b[2J\x1b]0;PWNED\x07B\x7f\",62.5\n");
    std::ofstream(m_file, std::ios::binary)
        << "\xEF\xBB\xBF日付,時刻,状況,最高血圧,最低血圧,脈拍,体重,判定,一言日記\r\n"
           "2005-02-03,21:10:00,就寝前,125,80,70,,,\"C\x1b]0;PWNED\x07D\xc2\x9b\"\r\n";
    for (const std::vector<std::string>& command : {std::vector<std::string>{"diary"},
                                                    {"export", "--csv"},
                                                    {"import", "--check", m_file.string()},
                                                    {"--json", "import", "--check", m_file.string()},
                                                    {"--json", "diary"}}) {
        const Result r = run(command);
        ASSERT_EQ(r.status, cli::ExitOk) << r.err;
        for (std::size_t i = 0; i < r.out.size(); ++i) {
            const auto byte = static_cast<unsigned char>(r.out[i]);
            const bool lineEnd = byte == '\n' || (byte == '\r' && i + 1 < r.out.size() && r.out[i + 1] == '\n');
            const bool c1 =
                byte == 0xC2 && i + 1 < r.out.size() && (static_cast<unsigned char>(r.out[i + 1]) & 0xE0) == 0x80;
            EXPECT_TRUE((byte >= 0x20 && byte != 0x7F && !c1) || byte == '\t' || lineEnd)
                << command.back() << ": byte " << int(byte) << " at " << i;
        }
        EXPECT_NE(r.out.find("PWNED"), std::string::npos) << "the text around the escapes is kept";
    }
}

TEST_F(CliImport, MappingDateOrderAndOptionsOnTheCommandLine) {
    // The window's mapping test reads this file box by box; here the same rows come from --map and --date-order.
    const fs::path file = m_dir / "pressure.csv";
    std::ofstream(file, std::ios::binary) << "x;y;z;w\n05.02.2005;07:10;131;83\n06.02.2005;21:30;127;81\n"
                                             "06.02.2005;22:00;;\n";
    const Result guessed = run({"import", "--check", file.string()});
    EXPECT_EQ(guessed.status, cli::ExitDataFormat);
    EXPECT_EQ(guessed.err,
              "soranote-cli: 列の割り当てを決めてください。最高血圧・最低血圧などの値の列を選んでください。\n"
              "soranote-cli: --map 役割=列,… や --date-order で読み方を指定してください\n");
    const Result noOrder = run({"import", "--check", file.string(), "--map", "最高血圧=z,最低血圧=4"});
    EXPECT_EQ(noOrder.status, cli::ExitDataFormat);
    EXPECT_NE(noOrder.err.find("日付の順を選んでください"), std::string::npos) << noOrder.err;

    const Result mapped = run({"import", "--check", file.string(), "--map", "最高血圧=z,最低血圧=4", "--date-order",
                               "dmy", "--separator", ";", "--encoding", "utf-8"});
    ASSERT_EQ(mapped.status, cli::ExitOk) << mapped.err;
    const std::string rows = mapped.out.substr(mapped.out.find("\n2\t"));
    EXPECT_EQ(rows,
              "\n2\t追加\t1\t2005/02/05\t7:10:00\t起床後\t131\t83\t\t\t7:10:00\t\n"
              "3\t追加\t1\t2005/02/06\t21:30:00\t就寝前\t127\t81\t\t\t21:30:00\t\n");
    EXPECT_NE(mapped.out.find("注意\t血圧のない行 1 行は取り込みません\n"), std::string::npos);

    const struct {
        std::vector<std::string> args;
    } bad[] = {
        {{"--map", "血圧=3"}},      {{"--map", "最高血圧=9"}},  {{"--date-order", "ydm"}},
        {{"--separator", "|"}},     {{"--encoding", "latin1"}}, {{"--map"}},
        {{"--check", "--unknown"}},
    };
    for (const auto& b : bad) {
        std::vector<std::string> args = {"import", "--check", file.string()};
        args.insert(args.end(), b.args.begin(), b.args.end());
        EXPECT_EQ(run(args).status, cli::ExitUsage) << b.args.front();
    }
}

TEST_F(CliImport, JsonValuesAsTheListsShowThem) {
    const fs::path file = m_dir / "weights.csv";
    std::ofstream(file, std::ios::binary) << "date,sys,dia,weight\n2005/02/05,120,80,63.4\n";
    const Result json = run({"--json", "import", "--check", file.string()});
    ASSERT_EQ(json.status, cli::ExitOk) << json.err;
    EXPECT_NE(json.out.find("\"weight\":63.4,"), std::string::npos) << json.out;
}
