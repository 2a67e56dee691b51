// soranote-cli conflicts: the sync tools' conflict copies and the readings a copy of the log holds that the log lacks.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli_fixture.h"

namespace {

class CliConflicts : public CliFixture {
protected:
    Result run(std::vector<std::string> args) { return CliFixture::run(std::move(args), sora::Date{2026, 12, 8}); }
    std::vector<std::string> names() const {
        std::vector<std::string> all;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_dir)) {
            all.push_back(entry.path().lexically_relative(m_dir).string());
        }
        std::sort(all.begin(), all.end());
        return all;
    }
};

TEST_F(CliConflicts, ListsTheCopiesAndTheMissingReadingWritingNothing) {
    write("データ.txt",
          "\"2026/12/01\",\"はじめの一歩\",120,80,70,,62.5\n"
          "\"2026/12/07\",\"起床後\",131,84,68,\"7:05:09\",62.4\n");
    write("データ.sync-conflict-20261207-235123-I3I3VSL.txt",
          "\"2026/12/01\",\"はじめの一歩\",120,80,70,,62.5\n"
          "\"2026/12/07\",\"就寝前\",128,82,66,\"21:30:00 散歩\tのあと\",0\n");
    write("状況リスト (conflicted copy 2026-12-07 235123).txt", "起床後\n");
    write("データ-LAPTOP.txt", "\"2026/12/01\",\"はじめの一歩\",120\n");
    const std::vector<std::string> before = names();

    const Result text = run({"conflicts"});
    ASSERT_EQ(text.status, cli::ExitOk) << text.err;
    EXPECT_EQ(text.out,
              "競合コピー\t元のファイル\t同期ツール\t日記にない測定\n"
              "データ-LAPTOP.txt\tデータ.txt\tOneDrive\t\n"
              "データ.sync-conflict-20261207-235123-I3I3VSL.txt\tデータ.txt\tSyncthing\t1\n"
              "状況リスト (conflicted copy 2026-12-07 235123).txt\t状況リスト.txt\tNextcloud / ownCloud\t\n"
              "\n"
              "データ-LAPTOP.txt\n"
              "読めない\t「データ-LAPTOP.txt」は測定の記録として読めません。\n"
              "\n"
              "データ.sync-conflict-20261207-235123-I3I3VSL.txt\n"
              "行\t状態\t日付\t時刻\t状況\t最高血圧\t最低血圧\t脈拍\t体重\t一言日記\n"
              "2\t追加\t2026/12/07\t21:30:00\t就寝前\t128\t82\t66\t\t21:30:00 散歩 のあと\n");

    const Result json = run({"--json", "conflicts"});
    ASSERT_EQ(json.status, cli::ExitOk) << json.err;
    const auto parsed = nlohmann::json::parse(json.out);
    ASSERT_EQ(parsed["copies"].size(), 3u);
    EXPECT_EQ(parsed["copies"][1]["missing"][0]["diary"], "21:30:00 散歩\tのあと");
    EXPECT_EQ(parsed["copies"][1]["missing"][0]["systolic"], 128);
    EXPECT_FALSE(parsed["copies"][2].contains("missing"));
    EXPECT_EQ(names(), before);
    EXPECT_EQ(run({"conflicts", "--all"}).status, cli::ExitUsage);
}

}  // namespace
