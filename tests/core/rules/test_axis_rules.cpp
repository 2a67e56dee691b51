#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/rules/axis_rules.h"
#include "core/rules/series_mode.h"
#include "core/views/daily_averages.h"
#include "core/views/day_page.h"
#include "core/views/filter_listing.h"
#include "core/views/trend_view.h"
#include "test_support.h"

using sora::AxisRange;
using sora::DataExtremes;
using sora::GraphAxisSettings;
using sora::SecondaryQuantity;
using sora::test::extremes_of;

namespace {

GraphAxisSettings manual() {
    GraphAxisSettings s;
    s.autoScale = 0;
    s.bpMax = 190;
    s.bpMin = 50;
    s.bpDivisions = 7;
    s.pulseMax = 110;
    s.pulseMin = 45;
    s.pulseDivisions = 13;
    s.weightMax = 80;
    s.weightMin = 50;
    s.weightDivisions = 6;
    return s;
}

}  // namespace

TEST(DataExtremes, TracksLargestAndSmallestIgnoringZeroWeight) {
    const DataExtremes none;
    EXPECT_EQ(none.pulseMax, 0);
    EXPECT_EQ(none.pulseMin, 999);
    EXPECT_EQ(none.weightMax, 0);
    EXPECT_EQ(none.weightMin, 999);

    const auto e = extremes_of({{68, 62.4f}, {66, 0}, {72, 62.6f}});
    EXPECT_EQ(e.pulseMax, 72);
    EXPECT_EQ(e.pulseMin, 66);
    EXPECT_EQ(e.weightMax, 62.6f);
    EXPECT_EQ(e.weightMin, 62.4f);  // the 0 of a record without weight is not the smallest

    const auto onlyZero = extremes_of({{70, 0}});
    EXPECT_EQ(onlyZero.weightMin, 999);
    EXPECT_EQ(onlyZero.weightMax, 0);
}

TEST(AxisRules, AutomaticAxes) {
    GraphAxisSettings automatic;  // autoScale = 1
    // A day with 131/84 and 125/79.
    EXPECT_EQ(sora::primary_axis(automatic, 131, 79), (AxisRange{79, 131, 10}));
    EXPECT_EQ(sora::primary_axis(automatic, 131.5, 79.5), (AxisRange{79, 132, 10}));
    EXPECT_EQ(sora::secondary_axis(automatic, SecondaryQuantity::Pulse, extremes_of({{68, 60}, {66, 60}})),
              (AxisRange{65, 68, 10}));
    EXPECT_EQ(sora::secondary_axis(automatic, SecondaryQuantity::Pulse, extremes_of({{62, 60}, {81, 60}})),
              (AxisRange{61, 81, 10}));
    // The maximum is rounded up, so the highest weight stays on the chart.
    EXPECT_EQ(sora::secondary_axis(automatic, SecondaryQuantity::Weight, extremes_of({{70, 62.4f}, {70, 62.6f}})),
              (AxisRange{61, 63, 10}));
    EXPECT_EQ(sora::secondary_axis(automatic, SecondaryQuantity::Weight, extremes_of({{70, 60.4f}, {70, 65.8f}})),
              (AxisRange{59, 66, 10}));
    EXPECT_EQ(sora::secondary_axis(automatic, SecondaryQuantity::Weight, extremes_of({{70, 62.5f}, {70, 0}})),
              (AxisRange{61, 63, 10}));
    EXPECT_EQ(sora::automatic_axis(64.2, 61.5), (AxisRange{61, 65, 10}));
    EXPECT_EQ(sora::automatic_axis(65, 61), (AxisRange{61, 65, 10}));
    // Any flag other than 0 means automatic.
    GraphAxisSettings two = manual();
    two.autoScale = 2;
    EXPECT_EQ(sora::primary_axis(two, 140, 70), (AxisRange{70, 140, 10}));
}

TEST(AxisRules, TheHelpAndTheReadmeSayWhyTheMaximumRoundsUp) {
    // Rounding the maximum down would cut off the highest point (62.6 on an axis ending at 62); the documents
    // that explain the automatic axes say so, with that example, so that the rule is not taken for a slip.
    EXPECT_EQ(sora::automatic_axis(62.6, 61.4).maximum, 63);
    const std::filesystem::path source(SORANOTE_SOURCE_DIR);
    const std::string help = sora::test::bytes_of(source / "help" / "settings.html");
    const std::string readme = sora::test::bytes_of(source / "README.md");
    EXPECT_NE(help.find("切り上げ"), std::string::npos);
    EXPECT_NE(help.find("62.6"), std::string::npos);
    EXPECT_NE(readme.find("rounded *up*"), std::string::npos);
    EXPECT_NE(readme.find("62.6"), std::string::npos);
}

TEST(AxisRules, ManualAxesComeFromTheSettings) {
    const GraphAxisSettings s = manual();
    const auto e = extremes_of({{68, 62.4f}});
    EXPECT_EQ(sora::primary_axis(s, 131, 79), (AxisRange{50, 190, 7}));
    EXPECT_EQ(sora::secondary_axis(s, SecondaryQuantity::Pulse, e), (AxisRange{45, 110, 13}));
    EXPECT_EQ(sora::secondary_axis(s, SecondaryQuantity::Weight, e), (AxisRange{50, 80, 6}));
    EXPECT_EQ(sora::manual_bp_axis(s), (AxisRange{50, 190, 7}));
    EXPECT_EQ(sora::manual_weight_axis(s), (AxisRange{50, 80, 6}));
    // The daily-average chart applies the settings even in automatic mode.
    GraphAxisSettings automatic = s;
    automatic.autoScale = 1;
    EXPECT_EQ(sora::manual_bp_axis(automatic), (AxisRange{50, 190, 7}));
    EXPECT_EQ(sora::manual_weight_axis(automatic), (AxisRange{50, 80, 6}));
}

TEST(AxisRules, EveryChartDrawsAnInvertedPairInAscendingOrder) {
    // Settings stored with a minimum not below its maximum stay as entered; the charts take the pair in order.
    struct Case {
        std::int16_t max, min;
        AxisRange drawn;
    };
    const std::vector<Case> cases = {
        {180, 200, {180, 200, 7}},  // minimum above maximum
        {200, 180, {180, 200, 7}},  // in order: unchanged
        {150, 150, {150, 150, 7}},  // equal: the chart widens it
        {-5, 30, {-5, 30, 7}},      //
    };
    const std::vector<sora::MeasurementRecord> log = {{"2005/02/09", "朝", 126, 80, 70, "", 62.5f},
                                                      {"2005/02/10", "朝", 131, 84, 68, "", 62.4f}};
    for (const Case& c : cases) {
        GraphAxisSettings s = manual();
        s.bpMax = s.pulseMax = s.weightMax = c.max;
        s.bpMin = s.pulseMin = s.weightMin = c.min;
        s.bpDivisions = s.pulseDivisions = s.weightDivisions = 7;
        const auto e = extremes_of({{68, 62.4f}});
        const sora::DayPage day = sora::build_day_page(log, "2005/02/09", s, SecondaryQuantity::Weight);
        const sora::FilterView filter =
            sora::build_filter_listing(log, sora::FilterListing::All, {}, s, SecondaryQuantity::Pulse);
        const sora::TrendView trend = sora::build_trend_view(log, s, sora::SeriesMode::WeightMixed);
        const sora::DailyAverageView averages = sora::build_daily_averages(log, s);
        const std::vector<std::pair<const char*, AxisRange>> drawn = {
            {"blood pressure", sora::primary_axis(s, 131, 79)},
            {"pulse", sora::secondary_axis(s, SecondaryQuantity::Pulse, e)},
            {"weight", sora::secondary_axis(s, SecondaryQuantity::Weight, e)},
            {"preview, blood pressure", sora::manual_bp_axis(s)},
            {"preview, weight", sora::manual_weight_axis(s)},
            {"day page, left", day.primary},
            {"day page, right", day.secondary},
            {"filtered view, left", filter.primary},
            {"filtered view, right", filter.secondary},
            {"long-term graph, left", trend.primary},
            {"long-term graph, right", trend.secondary},
            {"daily averages, left", averages.bpAxis},
            {"daily averages, right", averages.weightAxis},
        };
        for (const auto& [chart, range] : drawn) {
            EXPECT_EQ(range, c.drawn) << chart << ": maximum " << c.max << ", minimum " << c.min;
        }
    }
}

TEST(SeriesModes, VisibilityAndSecondaryQuantity) {
    using sora::SeriesMode;
    using V = sora::SeriesVisibility;
    struct Row {
        SeriesMode mode;
        V expected;
        SecondaryQuantity quantity;
    };
    const std::vector<Row> rows = {
        {SeriesMode::BloodPressure, V{{true, true, false, false}, true, false}, SecondaryQuantity::Weight},
        {SeriesMode::Pulse, V{{false, false, true, false}, false, true}, SecondaryQuantity::Pulse},
        {SeriesMode::PulseMixed, V{{true, true, true, false}, true, true}, SecondaryQuantity::Pulse},
        {SeriesMode::Weight, V{{false, false, false, true}, false, true}, SecondaryQuantity::Weight},
        {SeriesMode::WeightMixed, V{{true, true, false, true}, true, true}, SecondaryQuantity::Weight},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(sora::visibility_for(row.mode), row.expected) << static_cast<int>(row.mode);
        EXPECT_EQ(sora::secondary_quantity(row.mode), row.quantity) << static_cast<int>(row.mode);
    }
}
