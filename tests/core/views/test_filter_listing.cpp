#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/rules/classification.h"
#include "core/rules/dates.h"
#include "core/rules/numbers.h"
#include "core/views/day_page.h"
#include "core/views/filter_listing.h"
#include "core/views/filter_periods.h"
#include "core/views/filter_print.h"

using namespace sora;
namespace col = sora::filter_col;

namespace {

MeasurementRecord rec(std::string date, std::string situation, float s, float d, float p = 70, float w = 62.5f) {
    return {std::move(date), std::move(situation), s, d, p, "", w};
}

FilterCriteria period(std::string start, std::string end, std::string keyword = "", int weekday = NoWeekday) {
    return {std::move(start), std::move(end), std::move(keyword), weekday};
}

GraphAxisSettings automatic() {
    return GraphAxisSettings{};
}

GraphAxisSettings manual() {
    GraphAxisSettings s;
    s.autoScale = 0;
    return s;
}

FilterView list(const std::vector<MeasurementRecord>& records, FilterListing listing = FilterListing::All,
                const FilterCriteria& criteria = {}, const GraphAxisSettings& settings = automatic(),
                SecondaryQuantity quantity = SecondaryQuantity::Weight) {
    return build_filter_listing(records, listing, criteria, settings, quantity);
}

std::vector<std::string> column(const FilterView& view, int c) {
    std::vector<std::string> texts;
    for (const auto& row : view.grid.rows) {
        texts.push_back(row[c].text);
    }
    return texts;
}

}  // namespace

TEST(FilterSelection, RecordTestsOfEachListing) {
    // 2005/02/07 is a Monday, 2005/02/09 a Wednesday.
    struct Case {
        FilterListing listing;
        FilterCriteria criteria;
        MeasurementRecord record;
        bool listed;
    };
    const Case cases[] = {
        {FilterListing::All, period("x", "y"), rec("2005/02/11", "朝", 120, 80), true},
        // Both period ends count.
        {FilterListing::Period, period("2005/02/09", "2005/02/10"), rec("2005/02/09", "朝", 120, 80), true},
        {FilterListing::Period, period("2005/02/09", "2005/02/10"), rec("2005/02/10", "朝", 120, 80), true},
        {FilterListing::Period, period("2005/02/09", "2005/02/10"), rec("2005/02/11", "朝", 120, 80), false},
        {FilterListing::Period, period("2005/02/09", "2005/02/10"), rec("2005/02/08", "朝", 120, 80), false},
        {FilterListing::Period, period("2005/02/10", "2005/02/09"), rec("2005/02/09", "朝", 120, 80), false},
        // A box text that is not a date still compares as text.
        {FilterListing::Period, period("", "2005/02/10"), rec("2005/02/09", "朝", 120, 80), true},
        {FilterListing::Period, period("abc", "zzz"), rec("2005/02/09", "朝", 120, 80), false},
        // Keyword: substring anywhere, exact characters.
        {FilterListing::Keyword, period("2005/01/01", "2005/12/31", "朝"), rec("2005/02/09", "朝食後", 1, 1), true},
        {FilterListing::Keyword, period("2005/01/01", "2005/12/31", "朝"), rec("2005/02/09", "起床後の朝", 1, 1), true},
        {FilterListing::Keyword, period("2005/01/01", "2005/12/31", "朝"), rec("2005/02/09", "夕食後", 1, 1), false},
        {FilterListing::Keyword, period("2005/01/01", "2005/12/31", "ｱｻ"), rec("2005/02/09", "アサ", 1, 1), false},
        {FilterListing::Keyword, period("2005/01/01", "2005/12/31", "あさ"), rec("2005/02/09", "アサ", 1, 1), false},
        {FilterListing::Keyword, period("2005/01/01", "2005/12/31", "walk"), rec("2005/02/09", "Walk", 1, 1), false},
        {FilterListing::Keyword, period("2005/01/01", "2005/12/31", "１"), rec("2005/02/09", "運動1", 1, 1), false},
        {FilterListing::Keyword, period("2005/01/01", "2005/12/31", " "), rec("2005/02/09", "朝 食後", 1, 1), true},
        {FilterListing::Keyword, period("2005/01/01", "2005/12/31", " "), rec("2005/02/09", "朝食後", 1, 1), false},
        {FilterListing::Keyword, period("2005/02/10", "2005/12/31", "朝"), rec("2005/02/09", "朝食後", 1, 1), false},
        // Weekday: 0 Sunday … 6 Saturday.
        {FilterListing::Weekday, period("2005/01/01", "2005/12/31", "", 3), rec("2005/02/09", "x", 1, 1), true},
        {FilterListing::Weekday, period("2005/01/01", "2005/12/31", "", 1), rec("2005/02/09", "x", 1, 1), false},
        {FilterListing::Weekday, period("2005/01/01", "2005/12/31", "", 0), rec("2005/02/06", "x", 1, 1), true},
        {FilterListing::Weekday, period("2005/01/01", "2005/12/31", "", 6), rec("2005/02/12", "x", 1, 1), true},
        {FilterListing::Weekday, period("2005/02/10", "2005/12/31", "", 3), rec("2005/02/09", "x", 1, 1), false},
        // All three together.
        {FilterListing::WeekdayKeyword, period("2005/02/01", "2005/02/28", "朝", 1), rec("2005/02/07", "朝食後", 1, 1),
         true},
        {FilterListing::WeekdayKeyword, period("2005/02/01", "2005/02/28", "朝", 1), rec("2005/02/07", "夕食後", 1, 1),
         false},
        {FilterListing::WeekdayKeyword, period("2005/02/01", "2005/02/28", "朝", 1), rec("2005/02/08", "朝食後", 1, 1),
         false},
        {FilterListing::WeekdayKeyword, period("2005/02/08", "2005/02/28", "朝", 1), rec("2005/02/07", "朝食後", 1, 1),
         false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(is_listed(c.listing, c.criteria, c.record), c.listed)
            << static_cast<int>(c.listing) << " [" << c.criteria.periodStart << ", " << c.criteria.periodEnd << "] '"
            << c.criteria.keyword << "' " << c.criteria.weekday << " / " << c.record.date << " " << c.record.situation;
    }
}

TEST(FilterSelection, SelectionRuleNeverListsAll) {
    EXPECT_EQ(select_listing("", NoWeekday), FilterListing::Period);
    EXPECT_EQ(select_listing("朝", NoWeekday), FilterListing::Keyword);
    EXPECT_EQ(select_listing("  ", NoWeekday), FilterListing::Keyword);  // blanks are a keyword
    EXPECT_EQ(select_listing("", 0), FilterListing::Weekday);
    EXPECT_EQ(select_listing("", 6), FilterListing::Weekday);
    EXPECT_EQ(select_listing("朝", 1), FilterListing::WeekdayKeyword);
}

TEST(FilterListingRows, ColumnsOfOneRow) {
    const auto view = list({rec("2005/02/09", "はじめの一歩", 126, 80, 70, 62.5f)});
    ASSERT_EQ(view.grid.rows.size(), 1u);
    const GridRow& row = view.grid.rows[0];
    ASSERT_EQ(row.size(), 16u);
    EXPECT_EQ(row[col::Number].text, "1");
    EXPECT_EQ(row[col::Date].text, "05/02/09");
    EXPECT_EQ(row[col::Weekday].text, "水");
    EXPECT_EQ(row[col::Situation].text, "はじめの一歩");
    EXPECT_EQ(row[col::ClassColour].text, "");
    EXPECT_EQ(row[col::ClassColour].background, GET_HANTEI(126, 80).colour);
    EXPECT_EQ(row[col::Systolic].text, "126");
    EXPECT_EQ(row[col::Diastolic].text, "80");
    EXPECT_EQ(row[col::Difference].text, "46");
    EXPECT_EQ(row[col::Pulse].text, "70");
    EXPECT_EQ(row[col::Weight].text, "62.5");
    // Non-coloured cells keep the grid's own background.
    EXPECT_FALSE(row[col::Systolic].background.has_value());

    const auto& columns = view.grid.columns;
    ASSERT_EQ(columns.size(), 16u);
    for (const auto& c : columns) {
        EXPECT_EQ(c.headingAlign, Align::Centre);
    }
    EXPECT_EQ(columns[col::Situation].heading, "行動");
    EXPECT_EQ(columns[col::Situation].align, Align::Left);
    EXPECT_EQ(columns[col::Date].align, Align::Centre);
    EXPECT_EQ(columns[col::SystolicArrow].align, Align::Centre);
    EXPECT_EQ(columns[col::WeightChange].align, Align::Right);
}

TEST(FilterListingRows, ChangesAgainstThePreviousListedRecord) {
    struct Expect {
        std::string systolicChange, systolicArrow, diastolicChange, diastolicArrow, weightChange, weightArrow;
    };
    const std::vector<MeasurementRecord> log = {
        rec("2005/02/08", "夕", 150, 95, 80, 70.0f),     // skipped by the keyword: must not act as previous
        rec("2005/02/09", "朝", 120, 80, 70, 62.5f),     // first listed: all changes zero
        rec("2005/02/10", "朝", 125, 78, 70, 62.46f),    // 62.46 − 62.5 shows as 0.0
        rec("2005/02/10", "夕", 200, 10, 70, 90.0f),     // skipped
        rec("2005/02/11", "朝", 125, 78, 70, 62.0f),     // -0.46 shows as -0.5
        rec("2005/02/12", "朝", 118, 78, 70, 0.0f),      // weight not measured: no change
        rec("2005/02/13", "朝", 118, 78, 70, 63.0f),     // compared with the last weight measured, 62
        rec("2005/02/14", "朝", 118.5f, 78, 70, 63.1f),  // decimals stay as entered
    };
    const auto view = list(log, FilterListing::Keyword, period("2005/01/01", "2005/12/31", "朝"));
    const std::vector<Expect> expected = {
        {"0", "→", "0", "→", "0.0", "→"}, {"5", "↑", "-2", "↓", "0.0", "→"}, {"0", "→", "0", "→", "-0.5", "↓"},
        {"-7", "↓", "0", "→", "", ""},    {"0", "→", "0", "→", "1.0", "↑"},  {"0.5", "↑", "0", "→", "0.1", "↑"},
    };
    ASSERT_EQ(view.grid.rows.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const GridRow& row = view.grid.rows[i];
        const Expect& e = expected[i];
        SCOPED_TRACE("row " + std::to_string(i + 1));
        EXPECT_EQ(row[col::Number].text, std::to_string(i + 1));
        EXPECT_EQ(row[col::SystolicChange].text, e.systolicChange);
        EXPECT_EQ(row[col::SystolicArrow].text, e.systolicArrow);
        EXPECT_EQ(row[col::DiastolicChange].text, e.diastolicChange);
        EXPECT_EQ(row[col::DiastolicArrow].text, e.diastolicArrow);
        EXPECT_EQ(row[col::WeightChange].text, e.weightChange);
        EXPECT_EQ(row[col::WeightArrow].text, e.weightArrow);
    }
    EXPECT_EQ(view.grid.rows[3][col::Weight].text, "");
    // Arrow colours follow the arrow.
    EXPECT_EQ(view.grid.rows[0][col::SystolicArrow].background, colours::ChangeSame);
    EXPECT_EQ(view.grid.rows[1][col::SystolicArrow].background, colours::ChangeUp);
    EXPECT_EQ(view.grid.rows[1][col::DiastolicArrow].background, colours::ChangeDown);
    EXPECT_EQ(view.grid.rows[1][col::WeightArrow].background, colours::ChangeSame);
}

TEST(FilterListingRows, NumbersShowInTheProgramsCommonFormats) {
    // The listing formats whole numbers and tenths on its own; the texts must be those of the common formats.
    std::vector<float> values;
    for (int i = -300; i <= 300; ++i) {
        values.push_back(static_cast<float>(i));
    }
    for (int k = 1; k <= 2000; k += 7) {
        values.push_back(static_cast<float>(k) / 10.0f);
        values.push_back(-static_cast<float>(k) / 10.0f);
    }
    for (float v : {5.2000008f, 62.46f, 62.25f, 62.35f, 0.05f, 0.15f, 999.9f, 12345.67f, 99999.9f, 123456.7f,
                    1234567.0f, 0.3f, 1e-7f, 63.1f - 63.0f}) {
        values.push_back(v);
    }
    std::vector<MeasurementRecord> log;
    for (float v : values) {
        log.push_back(rec("2005/02/09", "x", v, 80, v, v == 0 ? 1 : v));
    }
    const auto view = list(log);
    ASSERT_EQ(view.grid.rows.size(), values.size());
    float previousWeight = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const GridRow& row = view.grid.rows[i];
        const float weight = log[i].weight;
        SCOPED_TRACE(std::to_string(values[i]));
        // A value of 0 was not measured: its cells are empty.
        const bool measured = values[i] != 0;
        EXPECT_EQ(row[col::Systolic].text, measured ? format_number(values[i]) : "");
        EXPECT_EQ(row[col::Pulse].text, measured ? format_number(values[i]) : "");
        EXPECT_EQ(row[col::Difference].text, measured ? difference_text(values[i], 80.0f) : "");
        EXPECT_EQ(row[col::Weight].text, format_number(weight));
        if (previousWeight == 0) {
            previousWeight = weight;
        }
        EXPECT_EQ(row[col::WeightChange].text, weight_change_text(weight, previousWeight));
        previousWeight = weight;
    }
}

TEST(FilterListingRows, WeightChangesAreThoseOfTheDayList) {
    // Weights in tenths and hundredths, in an order that gives every kind of change, half tenths included. All on
    // the diary's first day, the day list compares each with the one before, as the filtered view does.
    std::vector<MeasurementRecord> log;
    unsigned seed = 7;
    for (int i = 0; i < 4000; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int hundredths = 5000 + static_cast<int>((seed >> 16) % 3000);
        const float weight =
            (i % 3 == 0) ? static_cast<float>(hundredths) / 100.0f : static_cast<float>(hundredths / 10) / 10.0f;
        log.push_back(rec("2005/02/09", "x", 120, 80, 70, weight));
    }
    const auto view = list(log);
    const DayPage day = build_day_page(log, "2005/02/09", automatic(), SecondaryQuantity::Weight);
    ASSERT_EQ(day.list.rows.size(), log.size());
    int halfTenths = 0;
    for (std::size_t i = 1; i < log.size(); ++i) {
        const std::string& shown = view.grid.rows[i][col::WeightChange].text;
        ASSERT_EQ(shown, day.list.rows[i][day_col::WeightChange].text) << log[i - 1].weight << " → " << log[i].weight;
        ASSERT_EQ(view.grid.rows[i][col::WeightArrow], day.list.rows[i][day_col::WeightArrow]);
        const long long hundredths =
            std::llround(std::abs(shown_value(log[i].weight) - shown_value(log[i - 1].weight)) * 100);
        halfTenths += hundredths % 10 == 5 ? 1 : 0;
    }
    EXPECT_GT(halfTenths, 50);  // the sweep reaches the changes that round away from zero
}

TEST(FilterListingRows, ArrowIsReadBackFromTheShownText) {
    EXPECT_EQ(change_arrow_cell("5"), (GridCell{"↑", colours::ChangeUp}));
    EXPECT_EQ(change_arrow_cell("0.1"), (GridCell{"↑", colours::ChangeUp}));
    EXPECT_EQ(change_arrow_cell("0"), (GridCell{"→", colours::ChangeSame}));
    EXPECT_EQ(change_arrow_cell("0.0"), (GridCell{"→", colours::ChangeSame}));
    EXPECT_EQ(change_arrow_cell("-0.0"), (GridCell{"→", colours::ChangeSame}));
    EXPECT_EQ(change_arrow_cell("-0.5"), (GridCell{"↓", colours::ChangeDown}));
}

TEST(FilterListingRows, ScrollsToTheLastRowFromElevenRows) {
    EXPECT_EQ(filter_top_row(0), std::nullopt);
    EXPECT_EQ(filter_top_row(10), std::nullopt);
    EXPECT_EQ(filter_top_row(11), 11);
    EXPECT_EQ(filter_top_row(500), 500);

    std::vector<MeasurementRecord> log;
    for (int i = 0; i < 11; ++i) {
        log.push_back(rec("2005/02/" + std::to_string(10 + i), "朝", 120, 80));
    }
    EXPECT_EQ(list(log).grid.topRow, 11);
    log.pop_back();
    EXPECT_EQ(list(log).grid.topRow, std::nullopt);
    EXPECT_EQ(list(log, FilterListing::Period, period("2006/01/01", "2006/12/31")).grid.topRow, std::nullopt);
}

TEST(FilterListingRows, ListsBeyondTheOldSixteenBitLimit) {
    const std::vector<MeasurementRecord> log(32800, rec("2005/02/09", "朝", 120, 80));
    const auto view = list(log);
    ASSERT_EQ(view.grid.rows.size(), 32800u);
    EXPECT_EQ(view.grid.rows.back()[col::Number].text, "32800");
    EXPECT_EQ(view.chartRows.size(), 32800u);
    EXPECT_EQ(view.grid.topRow, 32800);
    EXPECT_EQ(view.periodDates, std::vector<std::string>{"2005/02/09"});
}

TEST(FilterListingRows, PeriodDatesOnlyForTheFullListingEachDateOnce) {
    const std::vector<MeasurementRecord> log = {
        rec("2005/02/01", "a", 1, 1), rec("2005/02/01", "b", 1, 1), rec("2005/02/03", "a", 1, 1),
        rec("2005/02/03", "a", 1, 1), rec("2005/02/04", "a", 1, 1),
    };
    const std::vector<std::string> dates = {"2005/02/01", "2005/02/03", "2005/02/04"};
    EXPECT_EQ(list(log).periodDates, dates);
    EXPECT_EQ(list(log).periodDates, dates);  // a second opening starts afresh
    EXPECT_TRUE(list(log, FilterListing::Period, period("2005/02/01", "2005/02/28")).periodDates.empty());
    EXPECT_TRUE(list({}).periodDates.empty());
}

TEST(FilterListingChart, RowsRangesAndAxes) {
    // Listed rows only, in list order.
    std::vector<MeasurementRecord> fifty;
    for (int i = 0; i < 50; ++i) {
        fifty.push_back(rec(i < 3 ? "2005/03/01" : "2005/02/01", "x", 100.0f + i, 70, 60, 60));
    }
    const auto three = list(fifty, FilterListing::Period, period("2005/03/01", "2005/03/01"));
    ASSERT_EQ(three.chartRows.size(), 3u);
    EXPECT_EQ(three.chartRows[2], (ChartRow{102, 70, 60, 60}));

    const auto bp = list({rec("2005/02/09", "x", 128, 82), rec("2005/02/10", "x", 141, 79)});
    EXPECT_EQ(bp.primary, (AxisRange{79, 141, 10}));

    // Weight axis: minimum from (smallest − 1) rounded down, maximum rounded up so 64.2 stays inside.
    const auto weights = list({rec("2005/02/09", "x", 120, 80, 70, 62.5f), rec("2005/02/10", "x", 120, 80, 70, 64.2f)});
    EXPECT_EQ(weights.secondary, (AxisRange{61, 65, 10}));

    const auto pulses = list({rec("2005/02/09", "x", 120, 80, 58, 60), rec("2005/02/10", "x", 120, 80, 75, 60)},
                             FilterListing::All, {}, automatic(), SecondaryQuantity::Pulse);
    EXPECT_EQ(pulses.secondary, (AxisRange{57, 75, 10}));

    // A record without weight does not pull the axis down to -1.
    const auto zero = list({rec("2005/02/09", "x", 120, 80, 70, 62.5f), rec("2005/02/10", "x", 120, 80, 70, 0),
                            rec("2005/02/11", "x", 120, 80, 70, 63.0f)});
    EXPECT_EQ(zero.secondary.minimum, 61);
    EXPECT_EQ(zero.extremes.weightMin, 62.5f);
    EXPECT_EQ(zero.extremes.weightMax, 63.0f);

    GraphAxisSettings fixed = manual();
    fixed.bpMax = 200;
    fixed.bpMin = 40;
    fixed.bpDivisions = 8;
    fixed.weightMax = 80;
    fixed.weightMin = 50;
    fixed.weightDivisions = 6;
    const auto manualView = list({rec("2005/02/09", "x", 128, 82)}, FilterListing::All, {}, fixed);
    EXPECT_EQ(manualView.primary, (AxisRange{40, 200, 8}));
    EXPECT_EQ(manualView.secondary, (AxisRange{50, 80, 6}));
}

TEST(FilterListingChart, EmptySelectionGivesEmptyChartOnSettingsRanges) {
    const auto view =
        list({rec("2005/02/09", "x", 128, 82)}, FilterListing::Period, period("2006/01/01", "2006/01/02"));
    EXPECT_TRUE(view.grid.rows.empty());
    EXPECT_TRUE(view.chartRows.empty());
    EXPECT_EQ(view.extremes, DataExtremes{});
    const GraphAxisSettings s = automatic();
    EXPECT_EQ(view.primary, (AxisRange{double(s.bpMin), double(s.bpMax), s.bpDivisions}));
    EXPECT_EQ(view.secondary, (AxisRange{double(s.weightMin), double(s.weightMax), s.weightDivisions}));
    // The mode options rescale from the same empty extremes without an upside-down axis.
    EXPECT_EQ(filter_secondary_axis(s, SecondaryQuantity::Pulse, DataExtremes{}),
              (AxisRange{double(s.pulseMin), double(s.pulseMax), s.pulseDivisions}));
    DataExtremes some;
    some.add(62, 60.4f);
    some.add(81, 65.8f);
    EXPECT_EQ(filter_secondary_axis(s, SecondaryQuantity::Pulse, some), (AxisRange{61, 81, 10}));
}

TEST(FilterPeriods, ButtonsCountBackFromToday) {
    const Date today{2005, 3, 1};
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"前日", "2005/02/28"},   {"３日", "2005/02/27"},   {"１週間", "2005/02/22"},
        {"２週間", "2005/02/15"}, {"１ヶ月", "2005/01/30"}, {"３ヶ月", "2004/12/01"},
        {"半年", "2004/09/02"},   {"１年", "2004/03/01"},   {"全部", "2005/02/01"},
    };
    const auto& buttons = period_buttons();
    ASSERT_EQ(buttons.size(), expected.size());
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i].caption, expected[i].first);
        EXPECT_EQ(period_for(buttons[i], today, "2005/02/01"), (PeriodTexts{expected[i].second, "2005/03/01"}))
            << expected[i].first;
    }
}

TEST(FilterPrint, HeadingRuleAndLine) {
    const std::string& heading = filter_print_heading();
    std::size_t characters = 0, ideographicSpaces = 0;
    for (std::size_t i = 0; i < heading.size(); ++i) {
        if ((static_cast<unsigned char>(heading[i]) & 0xC0) != 0x80) {
            ++characters;
        }
        if (heading.compare(i, 3, "　") == 0) {
            ++ideographicSpaces;
        }
    }
    EXPECT_EQ(characters, 68u);
    EXPECT_EQ(ideographicSpaces, 14u);
    EXPECT_EQ(heading.rfind("　日付け    　　  状況", 0), 0u);
    EXPECT_EQ(filter_print_rule(), std::string(77, '-'));

    const auto view = list({rec("2005/02/09", "はじめの一歩", 126, 80, 70, 65.5f)});
    std::vector<std::string> texts;
    for (const auto& cell : view.grid.rows[0]) {
        texts.push_back(cell.text);
    }
    EXPECT_EQ(filter_print_line(texts),
              (FilterPrintLine{"05/02/09", "はじめの一歩", {"126", "80", "46", "70", "65.5"}}));
    EXPECT_EQ(column(view, col::Weight), std::vector<std::string>{"65.5"});
}
