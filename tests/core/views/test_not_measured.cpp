// A value of 0 (pressure, pulse, weight) was not measured: every view leaves it out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/edits/record_edit.h"
#include "core/rules/measured.h"
#include "core/views/class_calendar.h"
#include "core/views/daily_averages.h"
#include "core/views/day_page.h"
#include "core/views/diary_view.h"
#include "core/views/filter_listing.h"
#include "core/views/home_bp_report.h"
#include "core/views/sorted_list.h"
#include "core/views/trend_view.h"
#include "test_support.h"

using namespace sora;
using sora::test::autoAxes;

namespace {

MeasurementRecord rec(const char* date, float s, float d, float p, float w, const char* situation = "起床後") {
    return {date, situation, s, d, p, "", w};
}

/// Cells as texts joined by "|"; a coloured cell without text shows "#".
std::string line(const GridRow& row, std::size_t from, std::size_t to) {
    std::string out;
    for (std::size_t i = from; i < to; ++i) {
        out += (i > from ? "|" : "") + (row[i].text.empty() && row[i].background ? "#" : row[i].text);
    }
    return out;
}

/// A chart row with "-" for no point.
std::string points(const std::vector<float>& row) {
    std::string out;
    for (const float v : row) {
        out += (out.empty() ? "" : " ") + (std::isnan(v) ? std::string("-") : std::to_string(static_cast<int>(v)));
    }
    return out;
}

// A day as the issue found it: two readings typed by hand, two imported without weight, one without pulse.
const std::vector<MeasurementRecord> ImportedDay = {
    rec("2026/12/02", 128, 78, 64, 62.3f, "はじめの一歩"),
    rec("2026/12/03", 130, 80, 66, 62.5f),
    rec("2026/12/03", 133, 80, 0, 0),
    rec("2026/12/03", 131, 79, 63, 0),
    rec("2026/12/03", 132, 81, 65, 62.1f),
};

}  // namespace

TEST(NotMeasured, DayListLeavesCellsEmptyAndComparesWithTheLastMeasuredValue) {
    const DayPage page = build_day_page(ImportedDay, "2026/12/03", autoAxes(), SecondaryQuantity::Weight);
    std::vector<std::string> rows;
    for (const GridRow& row : page.list.rows) {
        rows.push_back(line(row, day_col::Systolic, day_col::Count));
    }
    // Systolic, change, arrow, diastolic, change, arrow, difference, pulse, weight, change, arrow.
    EXPECT_EQ(rows, (std::vector<std::string>{"130|2|↑|80|2|↑|50|66|62.5|0.2|↑", "133|3|↑|80|0|→|53||||",
                                              "131|-2|↓|79|-1|↓|52|63|||", "132|1|↑|81|2|↑|51|65|62.1|-0.4|↓"}));
    // Pulse statistics over the three pulses measured; the weight axis from the two weights.
    EXPECT_EQ(page.statistics[static_cast<int>(StatQuantity::Pulse)],
              (std::array<std::string, 4>{"66", "63", "3", "64"}));
    EXPECT_EQ(page.extremes.pulseMin, 63);
    EXPECT_EQ(page.secondary, (AxisRange{61, 63, 10}));
    EXPECT_EQ(points({page.chartRows[1].begin(), page.chartRows[1].end()}), "133 80 - -");
}

TEST(NotMeasured, ReadingWithoutPressureHasNoClass) {
    std::vector<MeasurementRecord> log = ImportedDay;
    log.push_back(rec("2026/12/03", 0, 0, 70, 62, "朝"));  // the day's latest reading: a pulse and a weight only
    log.push_back(rec("2026/12/04", 0, 0, 71, 0, "朝"));
    const DayPage withPressure = build_day_page(log, "2026/12/03", autoAxes(), SecondaryQuantity::Weight);
    EXPECT_EQ(line(withPressure.list.rows.back(), day_col::ClassColour, day_col::Count), "||||||||70|62|-0.1|↓");
    // Judged by the latest reading with a pressure (132/81): one mark per such reading and today's latest.
    EXPECT_EQ(withPressure.judgement.name, "正常高値血圧");
    EXPECT_EQ(withPressure.marks.size(), 5u);

    const DayPage pulseOnly = build_day_page(log, "2026/12/04", autoAxes(), SecondaryQuantity::Pulse);
    EXPECT_EQ(pulseOnly.judgement.name, NotRegisteredToday);
    EXPECT_EQ(pulseOnly.face, Face::None);
    EXPECT_TRUE(pulseOnly.marks.empty());
    EXPECT_EQ(pulseOnly.statistics[static_cast<int>(StatQuantity::Systolic)][0], "");
    EXPECT_EQ(pulseOnly.primary, (AxisRange{40, 200, 8}));  // nothing to scale: the settings' range

    const CalendarView calendar = build_class_calendar(log, CalendarMode::Detailed, "2026/12/02", {2026, 12, 4});
    EXPECT_FALSE(calendar.grid.rows[0][4].background);  // 12/04 has no pressure
    EXPECT_EQ(calendar.classDays, (std::array<int, 7>{0, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(calendar.notMeasuredDays, 1);
}

TEST(NotMeasured, CalendarTakesTheDaysFirstReadingWithAPressure) {
    const std::vector<MeasurementRecord> log = {rec("2026/12/01", 118, 70, 60, 60), rec("2026/12/02", 0, 0, 64, 0),
                                                rec("2026/12/02", 165, 95, 64, 0)};
    const CalendarView calendar = build_class_calendar(log, CalendarMode::Detailed, "2026/12/01", {2026, 12, 2});
    EXPECT_EQ(calendar.grid.rows[0][2].background, class_info(BpClass::Moderate).detailedColour);
}

TEST(NotMeasured, FilteredListAndChart) {
    const FilterView view =
        build_filter_listing(ImportedDay, FilterListing::All, {}, autoAxes(), SecondaryQuantity::Pulse);
    std::vector<std::string> rows;
    for (const GridRow& row : view.grid.rows) {
        rows.push_back(line(row, filter_col::ClassColour, filter_col::Count));
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"#|128|0|→|78|0|→|50|64|62.3|0.0|→", "#|130|2|↑|80|2|↑|50|66|62.5|0.2|↑",
                                              "#|133|3|↑|80|0|→|53||||", "#|131|-2|↓|79|-1|↓|52|63|||",
                                              "#|132|1|↑|81|2|↑|51|65|62.1|-0.4|↓"}));
    EXPECT_EQ(view.extremes.pulseMin, 63);
    EXPECT_EQ(view.secondary, (AxisRange{62, 66, 10}));
    EXPECT_EQ(points({view.chartRows[2].begin(), view.chartRows[2].end()}), "133 80 - -");

    // A listing whose readings have no pressure at all scales its pressure axis from the settings.
    const FilterView noPressure = build_filter_listing({rec("2026/12/02", 0, 0, 64, 60)}, FilterListing::All, {},
                                                       autoAxes(), SecondaryQuantity::Pulse);
    EXPECT_EQ(noPressure.primary, (AxisRange{40, 200, 8}));
    EXPECT_EQ(line(noPressure.grid.rows[0], filter_col::ClassColour, filter_col::Pulse), "|||||||");
}

TEST(NotMeasured, DailyAveragesTableChartAndExport) {
    const std::vector<MeasurementRecord> log = {
        rec("2026/12/01", 130, 80, 60, 62), rec("2026/12/01", 132, 82, 0, 0),     rec("2026/12/01", 128, 78, 60, 0),
        rec("2026/12/01", 130, 80, 60, 62), rec("2026/12/03", 131.5f, 80, 61, 0),  // no weight at all this day
        rec("2026/12/04", 0, 0, 62, 61.5f),                                        // a weight alone
    };
    const DailyAverageView view = build_daily_averages(log, {});
    std::vector<std::string> rows;
    std::vector<std::string> chart;
    std::vector<DailyAverageCells> cells;
    for (std::size_t i = 0; i < view.grid.rows.size(); ++i) {
        const GridRow& row = view.grid.rows[i];
        rows.push_back(line(row, 1, 6));
        const AverageChartRow& c = view.chart[i];
        chart.push_back(points({c.begin(), c.end()}));
        cells.push_back({row[1].text, row[2].text, row[3].text, row[4].text, row[5].text});
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"26/12/01|130.0|80.0|50.0|62.0", "26/12/02||||",
                                              "26/12/03|131.5|80.0|51.5|", "26/12/04||||61.5"}));
    // The empty day repeats the day before; a day without a value has no point for it.
    EXPECT_EQ(chart, (std::vector<std::string>{"130 80 62", "130 80 62", "131 80 -", "- - 61"}));
    std::vector<std::string> exported;
    for (const DailyAverageCells& row : cells) {
        exported.push_back(daily_average_export_line(row));
    }
    EXPECT_EQ(exported, (std::vector<std::string>{"\"26/12/01\",130,80,50,62", "\"26/12/02\",0,0,0,0",
                                                  "\"26/12/03\",131.5,80,51.5,", "\"26/12/04\",,,,61.5"}));
}

TEST(NotMeasured, SortedAndDiaryListsLeaveCellsEmpty) {
    const MeasurementRecord pulseOnly = rec("2026/12/04", 0, 0, 62, 0);
    for (const GridRow& row : {sorted_list_row(1, pulseOnly), diary_row(1, pulseOnly)}) {
        EXPECT_EQ(line(row, 3, 9), "||||62|");
    }
    EXPECT_EQ(sorted_list_row(1, pulseOnly)[10].text, "");                        // no class name
    EXPECT_EQ(sorted_list_row(1, rec("2026/12/04", 128, 0, 62, 0))[6].text, "");  // no difference
}

TEST(NotMeasured, EmptyCellsSortLastEitherWay) {
    std::vector<std::string> cells = {"", "62.5", "", "9", "100"};
    for (const bool ascending : {true, false}) {
        std::stable_sort(cells.begin(), cells.end(), [&](const std::string& a, const std::string& b) {
            return numeric_cell_before(a, b, ascending);
        });
        EXPECT_EQ(cells, ascending ? (std::vector<std::string>{"9", "62.5", "100", "", ""})
                                   : (std::vector<std::string>{"100", "62.5", "9", "", ""}));
    }
}

TEST(NotMeasured, TrendSeriesBreakAndItsLinesSayNothingOfAMissingPulse) {
    const TrendView view = build_trend_view({rec("2026/12/02", 128, 78, 64, 62.3f), rec("2026/12/03", 0, 0, 0, 62)},
                                            autoAxes(), SeriesMode::Pulse);
    EXPECT_TRUE(std::isnan(view.series[0][1]) && std::isnan(view.series[2][1]));
    EXPECT_EQ(view.primary, (AxisRange{78, 128, 10}));
    EXPECT_EQ(view.secondary, (AxisRange{63, 64, 10}));
    EXPECT_EQ(view.currentLine, "2026/12/03 現在  1日経過 ( —mmHg / —mmHg / —拍/分 )");
}

TEST(NotMeasured, ReportCountsOnlyDaysWithThatPressure) {
    std::vector<MeasurementRecord> log;
    for (const char* date : {"2026/12/01", "2026/12/02", "2026/12/03", "2026/12/04", "2026/12/05"}) {
        log.push_back(rec(date, 140, 90, 70, 0, "起床後"));
    }
    log.push_back(rec("2026/12/06", 0, 0, 90, 0, "起床後"));  // a morning pulse alone
    for (const char* date : {"2026/12/01", "2026/12/02", "2026/12/03", "2026/12/04"}) {
        log.push_back(rec(date, 120, 70, 60, 0, "就寝前"));
    }
    log.push_back(rec("2026/12/05", 0, 0, 66, 0, "就寝前"));  // an evening pulse alone
    const HomeBpReport report = build_home_bp_report(log, {2026, 12, 1}, {2026, 12, 7}, MorningEveningSettings{});
    const ReportTable summary = report_summary_table(report);
    EXPECT_EQ(summary.rows[0][3] + "|" + summary.rows[0][4], "73.3|5日");  // the pulse alone counts for the mean
    EXPECT_EQ(summary.rows[1][4] + "|" + summary.rows[1][5], "4日|判定には5日以上の測定が必要です");
    EXPECT_EQ(report_summary_notes(report)[0].substr(0, report_summary_notes(report)[0].find("（")),
              "朝の平均が135/85以上の日: 5日中5日");
    EXPECT_EQ(report_weekly_table(report).rows[0].back(), "4日");
}

TEST(NotMeasured, CorrectionKeepsAValueNotMeasuredEmpty) {
    RecordInput input{"2026/12/03", "起床後", {"133", "80", "", ""}, "", {false, false, true, true}};
    const RecordCheck kept = check_record_input(false, input);
    ASSERT_TRUE(kept.record);
    EXPECT_EQ(kept.record->pulse, 0);
    EXPECT_EQ(kept.record->weight, 0);
    // A value that was measured must still be typed, with the entry panel's message.
    input.values[0] = "";
    EXPECT_EQ(check_record_input(false, input).box, RecordBox::Systolic);
    input.values[0] = "133";
    input.notMeasured = {};
    EXPECT_EQ(check_record_input(false, input).box, RecordBox::Pulse);
}
