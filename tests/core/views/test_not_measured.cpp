// A value of 0 (pressure, pulse, weight) was not measured: every view leaves it out.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/views/class_calendar.h"
#include "core/views/daily_averages.h"
#include "core/views/day_page.h"
#include "core/views/filter_listing.h"
#include "core/views/home_bp_report.h"
#include "test_support.h"

using namespace sora;
using sora::test::autoAxes;
using Lines = std::vector<std::string>;

namespace {

MeasurementRecord rec(const char* date, float s, float d, float p, float w, const char* situation = "起床後") {
    return {date, situation, s, d, p, "", w};
}

/// Columns [from, to) of every row as texts joined by "|"; a coloured cell without text shows "#".
Lines rows(const std::vector<GridRow>& grid, std::size_t from, std::size_t to) {
    Lines out;
    for (const GridRow& row : grid) {
        std::string line;
        for (std::size_t i = from; i < to; ++i) {
            line += (i > from ? "|" : "") + (row[i].text.empty() && row[i].background ? "#" : row[i].text);
        }
        out.push_back(line);
    }
    return out;
}

// Two readings typed by hand, two imported without weight (one also without pulse), then a pulse-only day.
const std::vector<MeasurementRecord> Imported = {
    rec("2026/12/02", 128, 78, 64, 62.3f), rec("2026/12/03", 130, 80, 66, 62.5f), rec("2026/12/03", 133, 80, 0, 0),
    rec("2026/12/03", 131, 79, 63, 0),     rec("2026/12/03", 132, 81, 65, 62.1f), rec("2026/12/03", 0, 0, 70, 62),
    rec("2026/12/04", 0, 0, 71, 0),
};

}  // namespace

TEST(NotMeasured, DayPageAndFilteredViewLeaveItOut) {
    const DayPage day = build_day_page(Imported, "2026/12/03", autoAxes(), SecondaryQuantity::Weight);
    // Class colour, then systolic, change, arrow, diastolic, change, arrow, difference, pulse, weight, change, arrow.
    const Lines listed = {"#|130|2|↑|80|2|↑|50|66|62.5|0.2|↑", "#|133|3|↑|80|0|→|53||||", "#|131|-2|↓|79|-1|↓|52|63|||",
                          "#|132|1|↑|81|2|↑|51|65|62.1|-0.4|↓", "||||||||70|62|-0.1|↓"};
    EXPECT_EQ(rows(day.list.rows, day_col::ClassColour, day_col::Count), listed);
    EXPECT_EQ(day.statistics[static_cast<int>(StatQuantity::Pulse)],
              (std::array<std::string, 4>{"70", "63", "7", "66"}));
    EXPECT_EQ(day.secondary, (AxisRange{61, 63, 10}));
    EXPECT_TRUE(std::isnan(day.chartRows[1][2]) && std::isnan(day.chartRows[1][3]));  // no point, no line to 0
    // Judged by the latest reading with a pressure (132/81), with a mark for each such reading and that one.
    EXPECT_EQ(day.judgement.name, "正常高値血圧");
    EXPECT_EQ(day.marks.size(), 5u);

    const DayPage pulseOnly = build_day_page(Imported, "2026/12/04", autoAxes(), SecondaryQuantity::Pulse);
    EXPECT_EQ(pulseOnly.judgement.name, NotRegisteredToday);
    EXPECT_TRUE(pulseOnly.marks.empty());
    EXPECT_EQ(pulseOnly.statistics[static_cast<int>(StatQuantity::Systolic)][0], "");
    EXPECT_EQ(pulseOnly.primary, (AxisRange{40, 200, 8}));  // nothing to scale: the settings' range

    const FilterView filtered =
        build_filter_listing(Imported, FilterListing::All, {}, autoAxes(), SecondaryQuantity::Pulse);
    Lines expected = {"#|128|0|→|78|0|→|50|64|62.3|0.0|→"};
    expected.insert(expected.end(), listed.begin(), listed.end());
    expected.push_back("||||||||71|||");
    EXPECT_EQ(rows(filtered.grid.rows, filter_col::ClassColour, filter_col::Count), expected);
    EXPECT_TRUE(std::isnan(filtered.chartRows[6][0]) && std::isnan(filtered.chartRows[6][3]));

    const CalendarView calendar = build_class_calendar(Imported, CalendarMode::Detailed, "2026/12/02", {2026, 12, 4});
    EXPECT_FALSE(calendar.grid.rows[0][4].background);
}

TEST(NotMeasured, DailyAveragesTableChartAndExport) {
    const std::vector<MeasurementRecord> log = {
        rec("2026/12/01", 130, 80, 60, 62), rec("2026/12/01", 132, 82, 0, 0),     rec("2026/12/01", 128, 78, 60, 0),
        rec("2026/12/01", 130, 80, 60, 62), rec("2026/12/03", 131.5f, 80, 61, 0),  // no weight at all this day
        rec("2026/12/04", 0, 0, 62, 61.5f),                                        // a weight alone
    };
    const DailyAverageView view = build_daily_averages(log, {});
    EXPECT_EQ(rows(view.grid.rows, 1, 6), (Lines{"26/12/01|130.0|80.0|50.0|62.0", "26/12/02||||",
                                                 "26/12/03|131.5|80.0|51.5|", "26/12/04||||61.5"}));
    Lines exported;
    for (const GridRow& r : view.grid.rows) {
        exported.push_back(daily_average_export_line({r[1].text, r[2].text, r[3].text, r[4].text, r[5].text}));
    }
    // The day without measurements repeats the day before; a day without a value has no point for it.
    EXPECT_EQ(view.chart[1], view.chart[0]);
    EXPECT_TRUE(std::isnan(view.chart[2][2]) && std::isnan(view.chart[3][0]) && view.chart[3][2] == 61.5f);
    EXPECT_EQ(exported, (Lines{"\"26/12/01\",130,80,50,62", "\"26/12/02\",0,0,0,0", "\"26/12/03\",131.5,80,51.5,",
                               "\"26/12/04\",,,,61.5"}));
}

TEST(NotMeasured, ReportCountsOnlyDaysWithThatPressure) {
    std::vector<MeasurementRecord> log;
    for (const char* date : {"2026/12/01", "2026/12/02", "2026/12/03", "2026/12/04", "2026/12/05"}) {
        log.push_back(rec(date, 140, 90, 70, 0, "起床後"));
        log.push_back(rec(date, date[9] == '5' ? 0 : 120, date[9] == '5' ? 0 : 70, 60, 0, "就寝前"));
    }
    log.push_back(rec("2026/12/06", 0, 0, 90, 0, "起床後"));  // a morning pulse alone counts for the pulse only
    const HomeBpReport report = build_home_bp_report(log, {2026, 12, 1}, {2026, 12, 7}, MorningEveningSettings{});
    const ReportTable summary = report_summary_table(report);
    EXPECT_EQ(summary.rows[0][3] + "|" + summary.rows[0][4], "73.3|5日");
    EXPECT_EQ(summary.rows[1][4] + "|" + summary.rows[1][5], "4日|判定には5日以上の測定が必要です");
    EXPECT_EQ(report_summary_notes(report)[0].substr(0, report_summary_notes(report)[0].find("（")),
              "朝の平均が135/85以上の日: 5日中5日");
}
