// soranote-cli report and export --csv: the report's JSON, the CSV file it writes, and what it refuses.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli.h"
#include "cli_fixture.h"
#include "core/files/text_codec.h"

namespace fs = std::filesystem;

namespace {

class CliReport : public CliFixture {
protected:
    void SetUp() override {
        CliFixture::SetUp();
        write("データ.txt",
              "\"2005/02/01\",\"はじめの一歩\",120,80,70,,62.5\n"
              "\"2005/02/01\",\"起床後\",131,84,68,\"7:05:09\",62.4\n"
              "\"2005/02/01\",\"就寝前\",125,79,66,\"散歩, 30分\",0\n");
        write("ﾌﾟﾗｲﾍﾞｰﾄ.txt", "\"氏名\",\"花子\"\n");
    }
    std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    Result run(std::vector<std::string> args) { return CliFixture::run(std::move(args), sora::Date{2005, 2, 10}); }
};

}  // namespace

TEST_F(CliReport, JsonHoldsTheFiguresOfThePeriod) {
    const Result r = run({"--json", "report", "--from", "2005/02/01", "--to", "2005/02/02"});
    ASSERT_EQ(r.status, cli::ExitOk) << r.err;
    const auto json = nlohmann::json::parse(r.out);
    EXPECT_EQ(json["name"], "花子");
    EXPECT_EQ(json["period"]["from"], "2005/02/01");
    EXPECT_EQ(json["summary"]["rows"][0][1], "131.0");  // 起床後 is the morning
    EXPECT_EQ(json["summary"]["rows"][3][1], "6.0");    // 131 − 125
    EXPECT_EQ(json["daily"]["rows"].size(), 2u);
    EXPECT_EQ(json["daily"]["rows"][0][9], "散歩, 30分");
    // Without a period: the 28 days up to today.
    const Result recent = run({"report"});
    EXPECT_NE(recent.out.find("period\t2005/01/14～2005/02/10"), std::string::npos) << recent.out;
}

TEST_F(CliReport, ExportWritesANewFileAndReplacesOneOnlyWhenTold) {
    const fs::path target = m_dir / "out.csv";
    const Result first = run({"export", "--csv", "--output", target.string()});
    ASSERT_EQ(first.status, cli::ExitOk) << first.err;
    const std::string csv = read(target);
    EXPECT_EQ(csv, run({"export", "--csv"}).out);  // every record without a period
    EXPECT_NE(csv.find("2005-02-01,7:05:09,起床後,131,84,68,62.4,"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",就寝前,125,79,66,,"), std::string::npos);  // weight 0 stays empty

    std::ofstream(target, std::ios::binary) << "mine";
    const Result refused = run({"export", "--csv", "--output", target.string()});
    EXPECT_EQ(refused.status, cli::ExitCannotWrite);
    EXPECT_EQ(read(target), "mine");
    EXPECT_EQ(run({"export", "--csv", "--output", target.string(), "--overwrite"}).status, cli::ExitOk);
    EXPECT_EQ(read(target), csv);
    EXPECT_EQ(run({"export", "--csv", "--output", (m_dir / "no" / "x.csv").string()}).status, cli::ExitCannotWrite);
}

TEST_F(CliReport, RefusesWhatItCannotDo) {
    EXPECT_EQ(run({"export"}).status, cli::ExitUsage);                                   // --csv is the only form
    EXPECT_EQ(run({"export", "--csv", "--from", "2005/02/01"}).status, cli::ExitUsage);  // both ends or none
    EXPECT_EQ(run({"report", "--from", "2005/02/31"}).status, cli::ExitUsage);
    write("朝晩設定.txt", "\"起床後\",\"昼\"\n");
    const Result bad = run({"report"});
    EXPECT_EQ(bad.status, cli::ExitUnreadable);
    EXPECT_NE(bad.err.find("朝晩設定.txt の 1 行目"), std::string::npos) << bad.err;
}

TEST_F(CliReport, ExportFiltersWithoutAPeriodAndTheReportKeepsOneRowPerLine) {
    const auto rows = [](const std::string& csv) {
        return std::count(csv.begin(), csv.end(), '\n') - 1;  // without the heading
    };
    const std::string all = run({"export", "--csv"}).out;
    EXPECT_EQ(rows(all), 3);
    const std::string evening = run({"export", "--csv", "--keyword", "就寝"}).out;
    EXPECT_EQ(rows(evening), 1) << evening;
    EXPECT_NE(evening.find(",就寝前,125,79,66,"), std::string::npos);
    EXPECT_EQ(rows(run({"export", "--csv", "--weekday", "2"}).out), 3);  // 2005/02/01 is a Tuesday
    EXPECT_EQ(rows(run({"export", "--csv", "--weekday", "3"}).out), 0);
    EXPECT_EQ(rows(run({"export", "--csv", "--weekday", "2", "--keyword", "起床"}).out), 1);

    write("データ.txt", "\"2005/02/01\",\"起床後\",131,84,68,\"7:05:09 散歩\tした\",62.4\n");
    const Result text = run({"report", "--from", "2005/02/01", "--to", "2005/02/01"});
    ASSERT_EQ(text.status, cli::ExitOk) << text.err;
    const std::string daily = text.out.substr(text.out.find("daily\n") + 6);
    const std::string heading = daily.substr(0, daily.find('\n'));
    const std::string row = daily.substr(heading.size() + 1);
    EXPECT_EQ(std::count(row.begin(), row.end(), '\n'), 1) << row;
    EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), std::count(heading.begin(), heading.end(), '\t')) << row;
    EXPECT_NE(row.find("散歩 した"), std::string::npos) << row;
}
