// soranote-cli: every command on a small diary, the JSON shape, the exit codes, and that nothing is written.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli.h"
#include "cli_fixture.h"
#include "core/files/text_codec.h"

namespace fs = std::filesystem;

namespace {

const sora::Date kToday{2005, 2, 10};

class CliTest : public CliFixture {
protected:
    void SetUp() override {
        CliFixture::SetUp();
        write("データ.txt",
              "\"2005/02/01\",\"はじめの一歩\",120,80,70,,62.5\n"
              "\"2005/02/01\",\"朝食後\",131,84,68,\"7:05:09\",62.4\n"
              "\"2005/02/03\",\"夕食後\",125,79,66,\"散歩, 30分\",62.6\n"
              "\"2005/02/03\",\"就寝前\",165,95,72,\"\",0\n");
        write("グラフ設定.txt",
              "\"自動設定\",1\n\"血圧最大値\",200\n\"血圧最小値\",40\n\"血圧刻み\",8\n\"脈拍最大値\",120\n"
              "\"脈拍最小値\",40\n\"脈拍刻み\",8\n\"体重最大値\",100\n\"体重最小値\",30\n\"体重刻み\",7\n");
    }

    Result run(std::vector<std::string> args) { return CliFixture::run(std::move(args), kToday); }

    /// The value of a name<TAB>value line.
    static std::string value(const std::string& text, const std::string& name) {
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind(name + "\t", 0) == 0) {
                return line.substr(name.size() + 1);
            }
        }
        return "<missing " + name + ">";
    }
    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> result;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            result.push_back(line);
        }
        return result;
    }
};

TEST_F(CliTest, DayPrintsTheListColoursStatisticsAndJudgement) {
    const Result r = run({"day", "2005/02/03"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto out = lines(r.out);
    ASSERT_GE(out.size(), 6u);
    EXPECT_EQ(out[0], "回\t行動\t\t最高\t前\t差\t最低\t前\t差\t高低\t脈拍\t体重\t前\t差");
    // The first measurement of the day is compared with the last one of the closest earlier day.
    EXPECT_EQ(out[1], "1\t夕食後\t\t125\t-6\t↓\t79\t-5\t↓\t46\t66\t62.6\t0.2\t↑");
    // A weight of 0 was not measured: an empty cell and no change.
    EXPECT_EQ(out[2], "2\t就寝前\t\t165\t40\t↑\t95\t16\t↑\t70\t72\t\t\t");
    EXPECT_EQ(out[3], "colours");
    EXPECT_EQ(out[4], "\t\t#C0FFC0\t\t\t#C0FFC0\t\t\t#C0FFC0\t\t\t\t\t#FFC0C0");
    EXPECT_EQ(value(r.out, "lblMaxMax"), "165");
    EXPECT_EQ(value(r.out, "lblMaxAvg"), "145");
    EXPECT_EQ(value(r.out, "lblMHyouka"), "中等症高血圧");
    EXPECT_EQ(value(r.out, "lblMHyouka.colour"), "#FFC0FF");
    EXPECT_EQ(value(r.out, "face"), "sulky");
    EXPECT_EQ(value(r.out, "startDate"), "2005/02/01");
    EXPECT_EQ(value(r.out, "latestDate"), "2005/02/03");
    EXPECT_EQ(value(r.out, "recordCount"), "4");
    EXPECT_EQ(value(r.out, "primary.minimum"), "79");
    EXPECT_EQ(value(r.out, "primary.maximum"), "165");
}

TEST_F(CliTest, FilterUsesTheSelectionRule) {
    const Result keyword = run({"filter", "--from", "2005/02/01", "--to", "2005/02/03", "--keyword", "食"});
    ASSERT_EQ(keyword.status, 0) << keyword.err;
    EXPECT_EQ(value(keyword.out, "listedRecords"), "2");
    const auto out = lines(keyword.out);
    EXPECT_EQ(out[1].substr(0, out[1].find("\t\t")), "1\t05/02/01\t火\t朝食後");
    // 2005/02/03 is a Thursday (4).
    const Result weekday = run({"filter", "--from", "2005/02/01", "--to", "2005/02/28", "--weekday", "4"});
    EXPECT_EQ(value(weekday.out, "listedRecords"), "2");
    const Result none = run({"filter", "--from", "2005/03/01", "--to", "2005/02/01"});
    EXPECT_EQ(value(none.out, "listedRecords"), "0");
}

TEST_F(CliTest, AveragesListEveryDayAndRefuseANonDate) {
    const Result r = run({"averages"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto out = lines(r.out);
    EXPECT_EQ(out[0], "数\t日付\t最高\t最低\t高低\t体重");
    EXPECT_EQ(out[1], "1\t05/02/01\t125.5\t82.0\t43.5\t62.5");
    EXPECT_EQ(out[2], "2\t05/02/02\t\t\t\t");
    EXPECT_EQ(out[3], "3\t05/02/03\t145.0\t87.0\t58.0\t62.6");  // the weight of 0 takes no part

    const Result period = run({"averages", "--from", "05/02/03", "--to", "05/02/03"});
    ASSERT_EQ(period.status, 0);
    EXPECT_EQ(lines(period.out)[1], "1\t05/02/03\t145.0\t87.0\t58.0\t62.6");

    const Result bad = run({"averages", "--from", "abc", "--to", "05/02/03"});
    EXPECT_EQ(bad.status, cli::ExitUsage);
    EXPECT_NE(bad.err.find("開始日"), std::string::npos) << bad.err;
}

TEST_F(CliTest, ListSortsLikeTheSortButtons) {
    const Result plain = run({"list"});
    ASSERT_EQ(plain.status, 0);
    EXPECT_EQ(lines(plain.out)[0], "回\t日付\t行動\t\t最高\t最低\t高低\t脈拍\t体重\t一言日記\t");
    EXPECT_EQ(lines(plain.out)[3], "3\t2005/02/03\t夕食後\t\t125\t79\t46\t66\t62.6\t散歩, 30分\t正常血圧");

    const Result up = run({"list", "--sort", "4"});
    EXPECT_EQ(lines(up.out)[1].substr(0, 2), "1\t");  // 120 is the lowest systolic
    const Result down = run({"list", "--sort", "4", "--descending"});
    EXPECT_EQ(lines(down.out)[1].substr(0, 2), "4\t");  // 165 the highest
}

TEST_F(CliTest, CalendarCountsDaysAgainstToday) {
    const Result r = run({"calendar"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(lines(r.out)[1].substr(0, std::string("2005年02月").size()), "2005年02月");
    // 2005/02/01 to today 2005/02/10 with 2 measured days.
    EXPECT_EQ(value(r.out, "lblNon_c"), "未計測 8");
    EXPECT_EQ(value(r.out, "lblHan1"), "至摘 0");
    EXPECT_EQ(value(r.out, "lblHan2"), "正常 2");  // first records 120/80 and 125/79; 165/95 later on 02/03
    const Result later = run({"--today", "2005/02/20", "calendar", "--simple"});
    EXPECT_EQ(value(later.out, "lblNon_c"), "未計測 18");
}

TEST_F(CliTest, TrendAndDiary) {
    const Result trend = run({"trend"});
    ASSERT_EQ(trend.status, 0);
    EXPECT_EQ(value(trend.out, "lblNichis"), "2005/02/01 ( 120mmHg / 80mmHg / 70拍/分 ) でスタート");
    EXPECT_EQ(value(trend.out, "lblKiro"), "2005/02/03 現在  2日経過 ( 165mmHg / 95mmHg / 72拍/分 )");
    const Result diary = run({"diary"});
    ASSERT_EQ(diary.status, 0);
    EXPECT_EQ(lines(diary.out)[3], "3\t2005/02/03\t夕食後\t\t125\t79\t46\t66\t62.6\t散歩, 30分");
}

TEST_F(CliTest, JsonCarriesTheWholeView) {
    const Result r = run({"--json", "day", "2005/02/01"});
    ASSERT_EQ(r.status, 0) << r.err;
    const nlohmann::json view = nlohmann::json::parse(r.out);
    EXPECT_EQ(view["command"], "day");
    ASSERT_EQ(view["grid"]["columns"].size(), 14u);
    EXPECT_EQ(view["grid"]["columns"][1]["heading"], "行動");
    EXPECT_EQ(view["grid"]["columns"][1]["widthTwips"], 2025);
    ASSERT_EQ(view["grid"]["rows"].size(), 2u);
    EXPECT_EQ(view["grid"]["rows"][0][5]["text"], "→");
    EXPECT_EQ(view["grid"]["rows"][0][5]["colour"], "#FFFFC0");
    EXPECT_TRUE(view["grid"]["rows"][0][1]["colour"].is_null());
    EXPECT_EQ(view["chart"]["rows"].size(), 2u);
    EXPECT_EQ(view["axes"]["primary"]["divisions"], 10);
    EXPECT_EQ(view["values"]["lblMHyouka"], "正常高値血圧");
}

TEST_F(CliTest, ErrorsExitWithTheirCodes) {
    EXPECT_EQ(run({"nonsense"}).status, cli::ExitUsage);
    EXPECT_EQ(run({}).status, cli::ExitUsage);
    EXPECT_EQ(run({"day"}).status, cli::ExitUsage);
    EXPECT_EQ(run({"day", "2005/13/01"}).status, cli::ExitUsage);
    EXPECT_EQ(run({"filter", "--from", "2005/02/01"}).status, cli::ExitUsage);
    EXPECT_EQ(run({"filter", "--from", "a", "--to", "b", "--weekday", "7"}).status, cli::ExitUsage);
    const Result usage = run({"list", "--sort", "x"});
    EXPECT_EQ(usage.status, cli::ExitUsage);
    EXPECT_EQ(usage.err.rfind("usage: soranote-cli", 0), 0u);

    write("データ.txt", "\"2005/02/01\",\"はじめの一歩\",120,80,70,,62.5\n\"2005/02/02\",\"壊れた行\",120\n");
    const Result broken = run({"diary"});
    EXPECT_EQ(broken.status, cli::ExitUnreadable);
    EXPECT_NE(broken.err.find("データ.txt"), std::string::npos) << broken.err;
    EXPECT_NE(broken.err.find('2'), std::string::npos) << broken.err;
    EXPECT_TRUE(broken.out.empty());

    fs::remove(m_dir / fs::u8path("データ.txt"));
    EXPECT_EQ(run({"trend"}).status, cli::ExitUnreadable);
}

TEST_F(CliTest, HelpPrintsEveryCommandAndOptionAndSucceeds) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--help"}, {"-h"}, {"--json", "--help", "day"}}) {
        const Result r = run(args);
        EXPECT_EQ(r.status, cli::ExitOk) << args.front();
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out.rfind("usage: soranote-cli", 0), 0u) << r.out;
        for (const char* word : {"--data-dir", "--today", "--json", "day ", "filter ", "averages", "list ", "calendar",
                                 "trend", "diary", "report", "export --csv", "64"}) {
            EXPECT_NE(r.out.find(word), std::string::npos) << word;
        }
    }
}

TEST_F(CliTest, NothingInTheDataDirectoryChanges) {
    std::map<std::string, std::pair<std::string, fs::file_time_type>> before;
    auto snapshot = [&] {
        std::map<std::string, std::pair<std::string, fs::file_time_type>> files;
        for (const auto& entry : fs::directory_iterator(m_dir)) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            files[entry.path().filename().string()] = {bytes.str(), fs::last_write_time(entry.path())};
        }
        return files;
    };
    before = snapshot();
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"day", "2005/02/01"},
                                               {"filter", "--from", "2005/02/01", "--to", "2005/02/28"},
                                               {"averages"},
                                               {"list", "--sort", "2"},
                                               {"calendar"},
                                               {"trend"},
                                               {"diary"},
                                               {"--json", "averages"}}) {
        EXPECT_EQ(run(args).status, 0) << args[0];
    }
    EXPECT_EQ(snapshot(), before);
}

}  // namespace
