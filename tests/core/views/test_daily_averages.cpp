#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/files/file_io.h"
#include "core/views/daily_averages.h"
#include "faulty_io.h"
#include "test_support.h"

using namespace sora;

namespace {

MeasurementRecord rec(const char* date, float sys, float dia, float weight = 62) {
    return {date, "朝", sys, dia, 70, "", weight};
}

// A table row as "number|date|sys|dia|diff|weight".
std::string line(const GridRow& row) {
    std::string out;
    for (std::size_t c = 0; c < row.size(); ++c) {
        out += (c ? "|" : "") + row[c].text;
    }
    return out;
}

std::vector<std::string> lines(const DailyAverageView& view) {
    std::vector<std::string> out;
    for (const GridRow& row : view.grid.rows) {
        out.push_back(line(row));
    }
    return out;
}

// The chart as lines "sys dia weight" with one decimal, "-" for no value.
std::vector<std::string> chart(const DailyAverageView& view) {
    std::vector<std::string> out;
    for (const AverageChartRow& row : view.chart) {
        std::string line;
        for (std::size_t s = 0; s < row.size(); ++s) {
            char buf[32];
            if (std::isnan(row[s])) {
                snprintf(buf, sizeof buf, "%s-", s ? " " : "");
            } else {
                snprintf(buf, sizeof buf, "%s%.2f", s ? " " : "", static_cast<double>(row[s]));
            }
            line += buf;
        }
        out.push_back(line);
    }
    return out;
}

std::vector<DailyAverageCells> cells(const DailyAverageView& view) {
    std::vector<DailyAverageCells> out;
    for (const GridRow& row : view.grid.rows) {
        out.push_back({row[1].text, row[2].text, row[3].text, row[4].text, row[5].text});
    }
    return out;
}

using Lines = std::vector<std::string>;

// 02/09 two records, 02/10 nothing, 02/11 one record, 02/12 nothing, 02/13 three records.
std::vector<MeasurementRecord> fiveDayLog() {
    return {rec("2005/02/09", 130, 80, 62), rec("2005/02/09", 141, 85, 63), rec("2005/02/11", 120, 70, 62),
            rec("2005/02/13", 120, 80, 60), rec("2005/02/13", 120, 81, 60), rec("2005/02/13", 121, 81, 60)};
}

}  // namespace

TEST(DailyAverages, WholeLogRowsChartAndPeriodBoxes) {
    GraphAxisSettings axes;
    axes.autoScale = 1;  // the averages chart takes the manual values whatever the flag says
    axes.bpMax = 180;
    axes.bpMin = 60;
    axes.bpDivisions = 6;
    axes.weightMax = 90;
    axes.weightMin = 40;
    axes.weightDivisions = 5;
    const DailyAverageView view = build_daily_averages(fiveDayLog(), axes);

    // 135.5 − 82.5; 120.33 − 80.67 is 39.7 from the unformatted averages (120.3 − 80.7 would be 39.6).
    EXPECT_EQ(lines(view),
              (Lines{"1|05/02/09|135.5|82.5|53.0|62.5", "2|05/02/10||||", "3|05/02/11|120.0|70.0|50.0|62.0",
                     "4|05/02/12||||", "5|05/02/13|120.3|80.7|39.7|60.0"}));
    // Days without data repeat the day before.
    EXPECT_EQ(chart(view), (Lines{"135.50 82.50 62.50", "135.50 82.50 62.50", "120.00 70.00 62.00",
                                  "120.00 70.00 62.00", "120.33 80.67 60.00"}));
    EXPECT_EQ(view.periodItems, (Lines{"05/02/09", "05/02/10", "05/02/11", "05/02/12", "05/02/13"}));
    EXPECT_EQ(view.startText, "05/02/09");
    EXPECT_EQ(view.endText, "05/02/13");
    EXPECT_EQ(view.bpAxis.maximum, 180);
    EXPECT_EQ(view.bpAxis.minimum, 60);
    EXPECT_EQ(view.bpAxis.divisions, 6);
    EXPECT_EQ(view.weightAxis.maximum, 90);
    EXPECT_EQ(view.weightAxis.minimum, 40);
    EXPECT_EQ(view.weightAxis.divisions, 5);
    EXPECT_TRUE(view.message.empty());

    ASSERT_EQ(view.grid.columns.size(), 6u);
    EXPECT_EQ(view.grid.columns[1].heading, "日付");
    EXPECT_EQ(view.grid.columns[1].widthTwips, 900);
    EXPECT_EQ(view.grid.columns[1].align, Align::Centre);
    EXPECT_EQ(view.grid.columns[5].align, Align::Right);
}

TEST(DailyAverages, SingleDayLogAndOneDayPeriod) {
    const std::vector<MeasurementRecord> oneDay{rec("2005/02/09", 126, 80, 62.4f), rec("2005/02/09", 125, 79, 62.8f)};
    const DailyAverageView whole = build_daily_averages(oneDay, {});
    EXPECT_EQ(lines(whole), (Lines{"1|05/02/09|125.5|79.5|46.0|62.6"}));
    EXPECT_EQ(whole.periodItems, (Lines{"05/02/09"}));
    EXPECT_EQ(whole.startText, whole.endText);

    const DailyAverageView day = build_daily_averages_period(fiveDayLog(), {}, "05/02/11", "05/02/11");
    EXPECT_EQ(lines(day), (Lines{"1|05/02/11|120.0|70.0|50.0|62.0"}));
    EXPECT_TRUE(day.periodItems.empty());  // the period boxes keep their items
}

TEST(DailyAverages, PeriodNumbersFromOneAndCarriesOnlyInsideThePeriod) {
    const auto log = fiveDayLog();
    // Starting on an empty day after a measured day: that day's sums are carried in.
    const DailyAverageView a = build_daily_averages_period(log, {}, "05/02/10", "05/02/11");
    EXPECT_EQ(lines(a), (Lines{"1|05/02/10||||", "2|05/02/11|120.0|70.0|50.0|62.0"}));
    EXPECT_EQ(chart(a), (Lines{"135.50 82.50 62.50", "120.00 70.00 62.00"}));

    // Two empty days running into the period: the day before the period is not carried, so no point.
    std::vector<MeasurementRecord> gap{rec("2005/02/01", 130, 80), rec("2005/02/04", 120, 70)};
    const DailyAverageView b = build_daily_averages_period(gap, {}, "05/02/03", "05/02/04");
    EXPECT_EQ(chart(b), (Lines{"- - -", "120.00 70.00 62.00"}));

    // Four-digit years are read too; a period reaching past both ends shows the log's days.
    const DailyAverageView c = build_daily_averages_period(log, {}, "2005/01/01", "2005/12/31");
    EXPECT_EQ(c.grid.rows.size(), 5u);
    EXPECT_EQ(c.grid.rows.front()[1].text, "05/02/09");
}

// The screen builds without table texts and writes each row when the table draws it: the same rows, chart and
// period boxes as a build with texts, for the whole log and for periods.
TEST(DailyAverages, RowsWrittenLaterAreTheRowsWrittenNow) {
    const auto log = fiveDayLog();
    struct Case {
        const char* start;  // nullptr: the whole log
        const char* end;
    };
    for (const Case& c : std::vector<Case>{{nullptr, nullptr},
                                           {"05/02/10", "05/02/11"},
                                           {"2005/01/01", "2005/12/31"},
                                           {"05/02/13", "05/02/13"},
                                           {"05/02/13", "05/02/09"}}) {
        const auto build = [&](AverageRowTexts texts) {
            return c.start ? build_daily_averages_period(log, {}, c.start, c.end, texts)
                           : build_daily_averages(log, {}, texts);
        };
        const DailyAverageView now = build(AverageRowTexts::Now);
        const DailyAverageView later = build(AverageRowTexts::Later);
        const std::string name = c.start ? std::string(c.start) + "-" + c.end : "whole log";
        EXPECT_TRUE(later.grid.rows.empty()) << name;
        ASSERT_EQ(later.shownDays.days.size(), now.grid.rows.size()) << name;
        for (std::size_t i = 0; i < now.grid.rows.size(); ++i) {
            EXPECT_EQ(daily_average_row(later.shownDays, i), now.grid.rows[i]) << name << " row " << i;
        }
        EXPECT_EQ(chart(later), chart(now)) << name;
        EXPECT_EQ(later.periodItems, now.periodItems) << name;
        EXPECT_EQ(later.startText, now.startText) << name;
        EXPECT_EQ(later.endText, now.endText) << name;
        EXPECT_EQ(later.message, now.message) << name;
    }
    EXPECT_FALSE(build_daily_averages(log, {}).grid.rows.empty());  // texts now unless asked otherwise
}

TEST(DailyAverages, TwoDigitYearsOfThePeriodBoxes) {
    std::vector<MeasurementRecord> log{rec("1999/12/31", 120, 80), rec("2000/01/01", 130, 85),
                                       rec("2029/06/01", 125, 82)};
    // 99 is 1999 and 00 is 2000, so this period is the turn of the century, not a century backwards.
    const DailyAverageView v = build_daily_averages_period(log, {}, "99/12/31", "00/01/01");
    EXPECT_EQ(lines(v), (Lines{"1|99/12/31|120.0|80.0|40.0|62.0", "2|00/01/01|130.0|85.0|45.0|62.0"}));
    const DailyAverageView w = build_daily_averages_period(log, {}, "29/06/01", "29/06/01");
    EXPECT_EQ(lines(w), (Lines{"1|29/06/01|125.0|82.0|43.0|62.0"}));
}

TEST(DailyAverages, BadInputGivesAnEmptyTable) {
    const auto log = fiveDayLog();
    struct Case {
        std::string start, end, message;
    };
    const std::vector<Case> cases{
        {"05/02/12", "05/02/10", ""},  // end before start
        {"abc", "05/02/10", std::string(daily_average_texts::StartNotDate)},
        {"", "05/02/10", std::string(daily_average_texts::StartNotDate)},
        {"05/02/09", "05/02/30", std::string(daily_average_texts::EndNotDate)},
        {"04/01/01", "04/12/31", ""},  // entirely before the log
        {"06/01/01", "06/12/31", ""},  // entirely after it
    };
    for (const Case& c : cases) {
        const DailyAverageView v = build_daily_averages_period(log, {}, c.start, c.end);
        EXPECT_TRUE(v.grid.rows.empty()) << c.start << " " << c.end;
        EXPECT_TRUE(v.chart.empty()) << c.start << " " << c.end;
        EXPECT_EQ(v.message, c.message) << c.start << " " << c.end;
        EXPECT_EQ(v.grid.columns.size(), 6u);
    }

    EXPECT_TRUE(build_daily_averages({}, {}).grid.rows.empty());
    EXPECT_TRUE(build_daily_averages_period({}, {}, "05/02/09", "05/02/10").grid.rows.empty());
    // A mistyped year far in the future would ask for millions of rows.
    const DailyAverageView far = build_daily_averages({rec("2005/02/10", 120, 80), rec("9999/02/01", 120, 80)}, {});
    EXPECT_TRUE(far.grid.rows.empty());
    EXPECT_EQ(far.message, daily_average_texts::TooLong);
    // Also where that record is not the last one.
    const DailyAverageView farFirst =
        build_daily_averages({rec("9999/02/01", 120, 80), rec("2005/02/10", 120, 80)}, {});
    EXPECT_TRUE(farFirst.grid.rows.empty());
    EXPECT_EQ(farFirst.message, daily_average_texts::TooLong);
}

// A hand edit can leave records out of date order; the averages are per calendar day all the same: the rows, chart
// and period boxes of the sorted log (records of a day in file order), for the whole log and for periods.
TEST(DailyAverages, RecordsOutOfDateOrderCountForTheirDays) {
    const std::vector<MeasurementRecord> edited{rec("2005/02/09", 120, 80), rec("2005/02/11", 130, 80),
                                                rec("2005/02/10", 140, 90), rec("2005/02/12", 150, 95)};
    EXPECT_EQ(lines(build_daily_averages(edited, {})),
              (Lines{"1|05/02/09|120.0|80.0|40.0|62.0", "2|05/02/10|140.0|90.0|50.0|62.0",
                     "3|05/02/11|130.0|80.0|50.0|62.0", "4|05/02/12|150.0|95.0|55.0|62.0"}));

    std::vector<std::vector<MeasurementRecord>> logs{
        edited,
        {rec("2005/02/10", 120, 80), rec("2005/02/01", 130, 85)},  // the last record before the first
        {rec("2005/02/13", 121, 81), rec("2005/02/09", 130, 80, 62.4f), rec("2005/02/13", 120, 80),
         rec("2005/02/09", 141, 85, 63.1f), rec("2005/02/11", 120, 70)},
    };
    // Shuffles of a month with decimals, several records a day and empty days: the sums of a day must be taken
    // in file order to come out bit for bit as in the sorted log.
    std::mt19937 rng(15);
    for (int n = 0; n < 20; ++n) {
        std::vector<MeasurementRecord> month;
        for (int i = 0; i < 60; ++i) {
            char date[16];
            snprintf(date, sizeof date, "2005/03/%02d", 1 + static_cast<int>(rng() % 28));
            month.push_back(rec(date, 100 + static_cast<float>(rng() % 600) / 10,
                                60 + static_cast<float>(rng() % 400) / 10, 55 + static_cast<float>(rng() % 200) / 10));
        }
        logs.push_back(month);
    }
    // A lambda, so that a fatal failure ends the check of one log only.
    const auto check = [](const std::vector<MeasurementRecord>& log) {
        std::vector<MeasurementRecord> sorted = log;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const MeasurementRecord& a, const MeasurementRecord& b) { return a.date < b.date; });
        ASSERT_NE(sorted, log);
        const std::string trace = log.front().date + " … " + log.back().date;
        const DailyAverageView unordered = build_daily_averages(log, {});
        const DailyAverageView inOrder = build_daily_averages(sorted, {});
        ASSERT_FALSE(inOrder.grid.rows.empty()) << trace;
        EXPECT_EQ(lines(unordered), lines(inOrder)) << trace;
        EXPECT_EQ(chart(unordered), chart(inOrder)) << trace;
        EXPECT_EQ(unordered.periodItems, inOrder.periodItems) << trace;
        EXPECT_EQ(unordered.startText, inOrder.startText) << trace;
        EXPECT_EQ(unordered.endText, inOrder.endText) << trace;
        const DailyAverageView later = build_daily_averages(log, {}, AverageRowTexts::Later);
        ASSERT_EQ(later.shownDays.days.size(), inOrder.grid.rows.size()) << trace;
        for (std::size_t i = 0; i < inOrder.grid.rows.size(); ++i) {
            EXPECT_EQ(line(daily_average_row(later.shownDays, i)), line(inOrder.grid.rows[i])) << trace;
        }
        for (const auto& [start, end] : std::vector<std::pair<const char*, const char*>>{
                 {"05/02/10", "05/02/12"}, {"05/03/05", "05/03/20"}, {"2005/01/01", "2005/12/31"}}) {
            const DailyAverageView a = build_daily_averages_period(log, {}, start, end);
            const DailyAverageView b = build_daily_averages_period(sorted, {}, start, end);
            EXPECT_EQ(lines(a), lines(b)) << trace << " " << start;
            EXPECT_EQ(chart(a), chart(b)) << trace << " " << start;
        }
    };
    for (const auto& log : logs) {
        check(log);
    }
}

TEST(DailyAverages, CountsBeyondSixteenBits) {
    std::vector<MeasurementRecord> log(40000, rec("2005/02/09", 130, 80, 60));
    log.push_back(rec("2005/02/10", 120, 70, 60));
    const DailyAccumulation acc = accumulate_days(log);
    ASSERT_EQ(acc.days.size(), 2u);
    EXPECT_EQ(acc.days[0].count, 40000);
    EXPECT_EQ(lines(build_daily_averages(log, {})).front(), "1|05/02/09|130.0|80.0|50.0|60.0");
}

TEST(DailyAverages, WeightlessDayKeepsItsBloodPressureAverages) {
    // Weights of 0 were not measured: the weight line breaks there, and the blood-pressure points keep their count.
    std::vector<MeasurementRecord> log{rec("2005/02/09", 120, 80, 60), rec("2005/02/10", 130, 90, 0),
                                       rec("2005/02/10", 140, 90, 0)};
    EXPECT_EQ(chart(build_daily_averages(log, {})), (Lines{"120.00 80.00 60.00", "135.00 90.00 -"}));
}

TEST(DailyAverages, ExportLines) {
    const DailyAverageView v = build_daily_averages(fiveDayLog(), {});
    const auto bytes = daily_average_export_bytes(cells(v));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes,
              "\"05/02/09\",135.5,82.5,53,62.5\r\n"
              "\"05/02/10\",0,0,0,0\r\n"
              "\"05/02/11\",120,70,50,62\r\n"
              "\"05/02/12\",0,0,0,0\r\n"
              "\"05/02/13\",120.3,80.7,39.7,60\r\n");

    // A period of three days exports three lines.
    const DailyAverageView p = build_daily_averages_period(fiveDayLog(), {}, "05/02/10", "05/02/12");
    EXPECT_EQ(*daily_average_export_bytes(cells(p)),
              "\"05/02/10\",0,0,0,0\r\n\"05/02/11\",120,70,50,62\r\n\"05/02/12\",0,0,0,0\r\n");

    // Whole-log view over 30 days with 20 measured: 30 lines, 10 of them zero lines.
    std::vector<MeasurementRecord> month;
    for (int d = 1; d <= 30; ++d) {
        if (d % 3 != 2) {
            char date[32];
            snprintf(date, sizeof date, "2005/04/%02d", d);
            month.push_back(rec(date, 120, 80));
        }
    }
    const auto monthBytes = daily_average_export_bytes(cells(build_daily_averages(month, {})));
    ASSERT_TRUE(monthBytes);
    std::size_t linesCount = 0;
    std::size_t zeroLines = 0;
    for (std::size_t pos = 0; (pos = monthBytes->find("\r\n", pos)) != std::string::npos; pos += 2) {
        ++linesCount;
    }
    for (std::size_t pos = 0; (pos = monthBytes->find("\",0,0,0,0\r\n", pos)) != std::string::npos; ++pos) {
        ++zeroLines;
    }
    EXPECT_EQ(linesCount, 30u);
    EXPECT_EQ(zeroLines, 10u);
}

TEST(DailyAverages, ExportFileIsReplacedWholeOrNotAtAll) {
    const test::ScratchDir tmp;
    const DataDir dir(tmp.path());
    const auto file = tmp / files::DailyAverages;

    const DailyAverageExport first = export_daily_averages(dir, cells(build_daily_averages(fiveDayLog(), {})));
    ASSERT_TRUE(first.ok);
    EXPECT_FALSE(first.nothingToExport);
    ASSERT_TRUE(export_daily_averages(dir, {{"05/02/11", "120.0", "70.0", "50.0", "62.0"}}).ok);
    EXPECT_EQ(test::bytes_of(file), "\"05/02/11\",120,70,50,62\r\n");  // only the second export

    {
        test::FailRenameOnto failing(std::string(files::DailyAverages));
        FileIoOverride override(failing);
        const DailyAverageExport r = export_daily_averages(dir, {{"05/02/12", "", "", "", ""}});
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.nothingToExport);
        EXPECT_FALSE(r.message.empty());
    }
    EXPECT_EQ(test::bytes_of(file), "\"05/02/11\",120,70,50,62\r\n");
}

// An empty table (an empty period, an unreadable log) is nothing to export: the last export stays as it is, and
// no empty file appears where there was none.
TEST(DailyAverages, ExportOfNoRowsLeavesTheFileAlone) {
    const test::ScratchDir tmp;
    const DataDir dir(tmp.path());
    const auto file = tmp / files::DailyAverages;
    const std::vector<std::vector<DailyAverageCells>> nothing{
        {},
        cells(build_daily_averages_period(fiveDayLog(), {}, "05/02/12", "05/02/10")),
        cells(build_daily_averages({}, {}))};
    for (const bool existing : {true, false}) {
        for (const auto& rows : nothing) {
            if (existing) {
                test::write_bytes(file, "\"05/02/11\",120,70,50,62\r\n");
            }
            const DailyAverageExport r = export_daily_averages(dir, rows);
            EXPECT_FALSE(r.ok);
            EXPECT_TRUE(r.nothingToExport);
            EXPECT_EQ(r.message, "書き出す平均値がありません。日毎平均.txt は変更していません。");
            EXPECT_EQ(test::bytes_of(file), existing ? "\"05/02/11\",120,70,50,62\r\n" : "<missing>");
            std::filesystem::remove(file);
        }
    }
}
