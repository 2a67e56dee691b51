#include <gtest/gtest.h>

#include <vector>

#include "core/rules/axis_rules.h"
#include "core/rules/series_mode.h"
#include "test_support.h"

using namespace sora;
using test::extremes_of;

namespace {

GraphAxisSettings manualSettings() {
    GraphAxisSettings settings;
    settings.autoScale = 0;
    settings.pulseMax = 110;
    settings.pulseMin = 45;
    settings.pulseDivisions = 13;
    settings.weightMax = 80;
    settings.weightMin = 50;
    settings.weightDivisions = 6;
    settings.bpMax = 200;
    settings.bpMin = 40;
    settings.bpDivisions = 8;
    return settings;
}

}  // namespace

TEST(SeriesModes, VisibilityTable) {
    struct Row {
        SeriesMode mode;
        std::array<bool, 4> series;
        bool primary;
        bool secondary;
        SecondaryQuantity scaledFor;
    };
    const std::vector<Row> table = {
        {SeriesMode::BloodPressure, {true, true, false, false}, true, false, SecondaryQuantity::Weight},
        {SeriesMode::Pulse, {false, false, true, false}, false, true, SecondaryQuantity::Pulse},
        {SeriesMode::PulseMixed, {true, true, true, false}, true, true, SecondaryQuantity::Pulse},
        {SeriesMode::Weight, {false, false, false, true}, false, true, SecondaryQuantity::Weight},
        {SeriesMode::WeightMixed, {true, true, false, true}, true, true, SecondaryQuantity::Weight},
    };
    for (const Row& row : table) {
        const SeriesVisibility v = visibility_for(row.mode);
        EXPECT_EQ(v.series, row.series) << static_cast<int>(row.mode);
        EXPECT_EQ(v.primaryAxis, row.primary) << static_cast<int>(row.mode);
        EXPECT_EQ(v.secondaryAxis, row.secondary) << static_cast<int>(row.mode);
        if (row.mode != SeriesMode::BloodPressure) {  // the secondary axis is hidden there; its scale is irrelevant
            EXPECT_EQ(secondary_quantity(row.mode), row.scaledFor) << static_cast<int>(row.mode);
        }
    }
}

TEST(SeriesModes, ExtremesIgnoreAWeightOfZero) {
    const DataExtremes e = extremes_of({{70, 62.5f}, {81, 0}, {62, 65.8f}});
    EXPECT_FLOAT_EQ(e.pulseMax, 81);
    EXPECT_FLOAT_EQ(e.pulseMin, 62);
    EXPECT_FLOAT_EQ(e.weightMax, 65.8f);
    EXPECT_FLOAT_EQ(e.weightMin, 62.5f);
    EXPECT_EQ(DataExtremes{}, (DataExtremes{0, 999, 0, 999}));
}

TEST(SeriesModes, SecondaryAxisScaling) {
    GraphAxisSettings automatic;
    automatic.autoScale = 1;
    GraphAxisSettings anyNonZero = automatic;
    anyNonZero.autoScale = -1;
    const DataExtremes data = extremes_of({{62, 60.4f}, {81, 65.8f}, {70, 63}});
    struct Case {
        const char* what;
        GraphAxisSettings settings;
        SecondaryQuantity quantity;
        DataExtremes extremes;
        AxisRange expected;
    };
    const std::vector<Case> cases = {
        {"pulse 62–81", automatic, SecondaryQuantity::Pulse, data, {61, 81, 10}},
        // 65.8 is rounded up, so the heaviest point lies inside the axis.
        {"weight 60.4–65.8", automatic, SecondaryQuantity::Weight, data, {59, 66, 10}},
        {"any non-zero flag is automatic", anyNonZero, SecondaryQuantity::Pulse, data, {61, 81, 10}},
        {"fractional pulse",
         automatic,
         SecondaryQuantity::Pulse,
         extremes_of({{61.5f, 60}, {80.2f, 60}}),
         {60, 81, 10}},
        {"manual weight 50/80/6", manualSettings(), SecondaryQuantity::Weight, data, {50, 80, 6}},
        {"manual pulse", manualSettings(), SecondaryQuantity::Pulse, data, {45, 110, 13}},
        // No records: the extremes keep their start values; the rule gives 998 to 0, which the chart must survive.
        {"no records", automatic, SecondaryQuantity::Weight, DataExtremes{}, {998, 0, 10}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(secondary_axis(c.settings, c.quantity, c.extremes), c.expected) << c.what;
    }
}

TEST(SeriesModes, PrimaryAxisFromDataOrSettings) {
    GraphAxisSettings automatic;
    automatic.autoScale = 1;
    EXPECT_EQ(primary_axis(automatic, 168, 72), (AxisRange{72, 168, 10}));
    EXPECT_EQ(primary_axis(automatic, 168.2f, 72.9f), (AxisRange{72, 169, 10}));
    EXPECT_EQ(primary_axis(manualSettings(), 168, 72), (AxisRange{40, 200, 8}));
    EXPECT_EQ(automatic_axis(65.8, 59.4), (AxisRange{59, 66, 10}));
    EXPECT_EQ(automatic_axis(-0.5, -1.5), (AxisRange{-2, 0, 10}));
}
