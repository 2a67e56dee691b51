#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/views/day_page.h"
#include "core/views/filter_listing.h"
#include "core/views/trend_view.h"
#include "test_support.h"

using namespace sora;
using sora::test::autoAxes;
using sora::test::manualAxes;

namespace {

MeasurementRecord rec(std::string date, float s, float d, float p, float w, std::string diary = "") {
    return MeasurementRecord{std::move(date), "はじめの一歩", s, d, p, std::move(diary), w};
}

}  // namespace

TEST(TrendView, StartAndCurrentLines) {
    struct Case {
        std::vector<MeasurementRecord> records;
        std::string start;
        std::string current;
    };
    const std::vector<Case> cases = {
        {{rec("2005/02/01", 120, 80, 70, 62.5f), rec("2005/02/15", 130, 85, 72, 62),
          rec("2005/03/01", 125, 82, 68, 61.8f)},
         "2005/02/01 ( 120mmHg / 80mmHg / 70拍/分 ) でスタート",
         "2005/03/01 現在  28日経過 ( 125mmHg / 82mmHg / 68拍/分 )"},
        // One record: both lines show it, and the first day counts as day 0.
        {{rec("2005/02/09", 126, 80, 70, 62.5f)},
         "2005/02/09 ( 126mmHg / 80mmHg / 70拍/分 ) でスタート",
         "2005/02/09 現在  0日経過 ( 126mmHg / 80mmHg / 70拍/分 )"},
        // Several records on the last day: the last one is the current value; decimals stay as entered.
        {{rec("2004/02/28", 118.5f, 76, 66.5f, 60), rec("2004/03/01", 121, 77, 65, 60),
          rec("2004/03/01", 119, 75.5f, 64, 60)},
         "2004/02/28 ( 118.5mmHg / 76mmHg / 66.5拍/分 ) でスタート",
         "2004/03/01 現在  2日経過 ( 119mmHg / 75.5mmHg / 64拍/分 )"},
        // Across years.
        {{rec("2004/12/31", 120, 80, 70, 60), rec("2006/01/01", 120, 80, 70, 60)},
         "2004/12/31 ( 120mmHg / 80mmHg / 70拍/分 ) でスタート",
         "2006/01/01 現在  366日経過 ( 120mmHg / 80mmHg / 70拍/分 )"},
    };
    for (const Case& c : cases) {
        const TrendView view = build_trend_view(c.records, autoAxes(), SeriesMode::WeightMixed);
        EXPECT_EQ(view.startLine, c.start);
        EXPECT_EQ(view.currentLine, c.current);
        EXPECT_EQ(view.pointCount(), c.records.size());
    }
}

TEST(TrendView, OnePointPerRecordInLogOrder) {
    // Three records of one day are three consecutive points; the horizontal axis counts records, not days.
    const std::vector<MeasurementRecord> records = {
        rec("2005/02/01", 120, 80, 70, 62.5f), rec("2005/02/02", 131, 84, 75, 62.4f), rec("2005/02/02", 129, 83, 73, 0),
        rec("2005/02/02", 127, 82, 71, 62.1f)};
    const TrendView view = build_trend_view(records, autoAxes(), SeriesMode::WeightMixed);
    ASSERT_EQ(view.pointCount(), 4u);
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(view.series[0][i], records[i].systolic) << i;
        EXPECT_EQ(view.series[1][i], records[i].diastolic) << i;
        EXPECT_EQ(view.series[2][i], records[i].pulse) << i;
        if (records[i].weight != 0) {
            EXPECT_EQ(view.series[3][i], records[i].weight) << i;
        } else {
            EXPECT_TRUE(std::isnan(view.series[3][i])) << i;  // not measured: no point
        }
    }
}

TEST(TrendView, WeightOfZeroIsNoPointAndDoesNotLowerTheAxis) {
    const std::vector<MeasurementRecord> records = {rec("2005/02/01", 120, 80, 70, 62.5f),
                                                    rec("2005/02/02", 121, 81, 71, 0),
                                                    rec("2005/02/03", 122, 82, 72, 63.1f)};
    const TrendView view = build_trend_view(records, autoAxes(), SeriesMode::WeightMixed);
    EXPECT_TRUE(std::isnan(view.series[3][1]));
    EXPECT_FLOAT_EQ(view.extremes.weightMin, 62.5f);
    EXPECT_FLOAT_EQ(view.extremes.weightMax, 63.1f);
    // Smallest 62.5 − 1 rounded down; largest 63.1 rounded up so that the top point stays inside.
    EXPECT_EQ(view.secondary, (AxisRange{61, 64, 10}));
}

TEST(TrendView, AxesFollowTheSettingsAndTheModeBeforeOpening) {
    const std::vector<MeasurementRecord> records = {rec("2005/02/01", 150, 90, 62, 60.4f),
                                                    rec("2005/02/02", 168, 72, 81, 65.8f),
                                                    rec("2005/02/03", 140, 85, 70, 63)};
    struct Case {
        GraphAxisSettings settings;
        SeriesMode mode;
        AxisRange primary;
        AxisRange secondary;
    };
    const std::vector<Case> cases = {
        // 168 / 72: 72 to 168 in 10 divisions of 9.6.
        {autoAxes(), SeriesMode::WeightMixed, {72, 168, 10}, {59, 66, 10}},
        {autoAxes(), SeriesMode::Weight, {72, 168, 10}, {59, 66, 10}},
        {autoAxes(), SeriesMode::BloodPressure, {72, 168, 10}, {59, 66, 10}},
        {autoAxes(), SeriesMode::PulseMixed, {72, 168, 10}, {61, 81, 10}},
        {autoAxes(), SeriesMode::Pulse, {72, 168, 10}, {61, 81, 10}},
        {manualAxes(), SeriesMode::WeightMixed, {50, 190, 7}, {50, 80, 6}},
        {manualAxes(), SeriesMode::Pulse, {50, 190, 7}, {40, 110, 7}},
    };
    for (const Case& c : cases) {
        const TrendView view = build_trend_view(records, c.settings, c.mode);
        EXPECT_EQ(view.primary, c.primary) << static_cast<int>(c.mode);
        EXPECT_EQ(view.secondary, c.secondary) << static_cast<int>(c.mode);
        EXPECT_FLOAT_EQ(view.largestSystolic, 168);
        EXPECT_FLOAT_EQ(view.smallestDiastolic, 72);
    }
}

TEST(TrendView, EmptyLogGivesAnEmptyChartAndNoLines) {
    const TrendView view = build_trend_view({}, autoAxes(), SeriesMode::WeightMixed);
    EXPECT_EQ(view.pointCount(), 0u);
    EXPECT_TRUE(view.startLine.empty());
    EXPECT_TRUE(view.currentLine.empty());
    EXPECT_EQ(view.extremes, DataExtremes{});
}

TEST(TrendView, NothingToScaleTakesTheSettingsLikeTheOtherCharts) {
    // Automatic axes with nothing to scale them from (an empty log, or no record with a weight) come from the
    // settings' ranges, as on the main screen and in the filtered view, never a 999-to-0 axis.
    GraphAxisSettings automatic = manualAxes();  // 190–50 in 7, pulse 110–40 in 7, weight 80–50 in 6
    automatic.autoScale = 1;
    const AxisRange bp{50, 190, 7}, pulse{40, 110, 7}, weight{50, 80, 6};
    struct Case {
        const char* what;
        std::vector<MeasurementRecord> records;
        SeriesMode mode;
        AxisRange primary, secondary;
    };
    const std::vector<Case> cases = {
        {"empty log", {}, SeriesMode::WeightMixed, bp, weight},
        {"empty log", {}, SeriesMode::Weight, bp, weight},
        {"empty log", {}, SeriesMode::PulseMixed, bp, pulse},
        {"empty log", {}, SeriesMode::Pulse, bp, pulse},
        {"empty log", {}, SeriesMode::BloodPressure, bp, weight},
        {"no weights", {rec("2005/02/01", 150, 90, 62, 0)}, SeriesMode::WeightMixed, {90, 150, 10}, weight},
        {"no weights", {rec("2005/02/01", 150, 90, 62, 0)}, SeriesMode::Pulse, {90, 150, 10}, {61, 62, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + ", mode " + std::to_string(static_cast<int>(c.mode)));
        const TrendView view = build_trend_view(c.records, automatic, c.mode);
        EXPECT_EQ(view.primary, c.primary);
        EXPECT_EQ(view.secondary, c.secondary);
        if (c.records.empty()) {
            // The other charts with nothing to show.
            const SecondaryQuantity q = secondary_quantity(c.mode);
            EXPECT_EQ(view.primary, build_day_page({}, "2005/02/01", automatic, q).primary);
            EXPECT_EQ(view.secondary, build_day_page({}, "2005/02/01", automatic, q).secondary);
            EXPECT_EQ(view.secondary, build_filter_listing({}, FilterListing::All, {}, automatic, q).secondary);
        }
    }
}

TEST(TrendView, MoreRecordsThanASixteenBitCounter) {
    std::vector<MeasurementRecord> records(100000, rec("2005/02/01", 120, 80, 70, 60));
    records.back() = rec("2010/02/01", 130, 85, 75, 61);
    const TrendView view = build_trend_view(records, autoAxes(), SeriesMode::WeightMixed);
    EXPECT_EQ(view.pointCount(), 100000u);
    EXPECT_EQ(view.series[0][99999], 130.0);
    EXPECT_EQ(view.currentLine, "2010/02/01 現在  1826日経過 ( 130mmHg / 85mmHg / 75拍/分 )");
}

TEST(TrendView, HelpText) {
    EXPECT_EQ(trend_help_text(),
              "血圧測定を開始した日から現在までの推移を表示します。\r\n\r\n青線は入力した最高血圧データです。\r\n\r\n"
              "赤線は入力した最低血圧データです。\r\n\r\n黄色の棒グラフは脈拍データです。\r\n\r\n"
              "緑線は入力した体重データです。\r\n");
}
