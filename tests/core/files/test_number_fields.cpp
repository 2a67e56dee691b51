// Number fields written by hand: only digits make a number, in the log, in every side file and in the entry rules.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "core/rules/numbers.h"
#include "test_support.h"

namespace {

using sora::test::cp932;
using sora::test::ScratchDir;
using sora::test::write_bytes;

struct Case {
    std::string text;
    bool number;  // a whole number every reader takes
};

const std::vector<Case> Cases{
    {"1", true},          {"0", true},          {"7", true},         {"nan", false},       {"-nan", false},
    {"+nan", false},      {"NaN", false},       {"NAN", false},      {"-NaN", false},      {"nan(1)", false},
    {"-nan(ind)", false}, {"nan(snan)", false}, {"inf", false},      {"-inf", false},      {"+inf", false},
    {"INF", false},       {"-Inf", false},      {"infinity", false}, {"-infinity", false}, {"+Infinity", false},
    {"-INFINITY", false}, {"0x1p3", false},     {"-0x1p3", false},   {"0X1P-2", false},    {"0x10", false},
    {"0x", false},        {"0x.8p1", false},    {"1p3", false},      {"-0x1.8p+1", false}, {"0b1", false},
    {"1_000", false},     {"１２", false},      {"∞", false},        {"-∞", false},        {"--1", false},
    {"- 1", false},       {"1 2", false},       {"e3", false},       {"1e", false},        {"1e+", false},
    {".", false},         {"-", false},         {"+", false},        {"1.2.3", false},     {"12a", false},
};

std::string log_line(const std::vector<std::string>& numbers, bool writtenForm) {
    // The writers' exact form and a hand-edited one (blanks, start-record diary) take different paths in the reader.
    if (writtenForm) {
        return "\"2005/02/02\",\"t\"," + numbers[0] + "," + numbers[1] + "," + numbers[2] + ",\"\"," + numbers[3] +
               "\r\n";
    }
    return "\"2005/02/02\", \"t\", " + numbers[0] + " ," + numbers[1] + "," + numbers[2] + ",," + numbers[3] + "\r\n";
}

}  // namespace

TEST(NumberFields, OnlyDigitsMakeANumberInTheLogAndEverySideFile) {
    const std::string first = "\"2005/02/01\",\"s\",126,80,70,,62.5\r\n";
    ScratchDir dir;
    const sora::DataDir data(dir.path());
    std::string graphTail;
    for (int i = 1; i < 10; ++i) {
        graphTail += "\"x\",1\r\n";
    }
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(sora::is_number(c.text), c.number);
        EXPECT_EQ(sora::number_value(c.text).has_value(), c.number);
        EXPECT_TRUE(std::isfinite(sora::leading_number(c.text)));

        // Each of the log's four number columns, in both line forms.
        for (std::size_t column = 0; column < 4; ++column) {
            std::vector<std::string> numbers{"120", "80", "60", "62"};
            numbers[column] = c.text;
            for (const bool writtenForm : {true, false}) {
                const std::string line = log_line(numbers, writtenForm);
                const auto read = sora::parse_log(cp932(first + line + first));
                EXPECT_EQ(read.ok, c.number) << line;
                if (!c.number) {
                    EXPECT_EQ(read.message, "データ.txt の 2 行目が読めません（数値ではない項目があります）。") << line;
                    EXPECT_TRUE(read.records.empty()) << line;
                }
            }
        }

        // The side files that hold numbers: the value line is line 1 in each.
        write_bytes(dir / "設定.txt", cp932("\"ヘルプツアー\"," + c.text + "\r\n"));
        write_bytes(dir / "グラフ設定.txt", cp932("\"自動設定\"," + c.text + "\r\n" + graphTail));
        write_bytes(dir / "自動時間.TXT", cp932(c.text + "\r\n"));
        write_bytes(dir / "マーカー.TXT", cp932(c.text + "\r\n"));
        const auto helpTour = sora::read_help_tour_setting(data);
        const auto graph = sora::read_graph_settings(data);
        const auto autoTime = sora::read_auto_time(data);
        const auto marker = sora::read_marker_mode(data);
        EXPECT_EQ(helpTour.ok, c.number);
        EXPECT_EQ(graph.ok, c.number);
        EXPECT_EQ(autoTime.ok, c.number);
        EXPECT_EQ(marker.ok, c.number);
        if (!c.number) {
            EXPECT_EQ(helpTour.message, "設定.txt の 1 行目が読めません。");
            EXPECT_EQ(graph.message, "グラフ設定.txt の 1 行目が読めません。");
            EXPECT_EQ(autoTime.message, "自動時間.TXT の 1 行目が読めません。");
            EXPECT_EQ(marker.message, "マーカー.TXT の 1 行目が読めません。");
        }
    }
}
