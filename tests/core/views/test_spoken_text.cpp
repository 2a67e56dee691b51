// What a screen reader says where a screen speaks in colour and drawing, and the text-size steps.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/text_size.h"
#include "core/views/class_calendar.h"
#include "core/views/spoken_text.h"

using namespace sora;

TEST(SpokenText, PressureRangesLeaveOutWhatWasNotMeasured) {
    const double nan = std::nan("");
    struct Case {
        std::vector<std::pair<double, double>> points;
        const char* unit;
        std::string expected;
    };
    const Case cases[] = {
        {{{145, 92}, {126, 77}, {130, 80}}, "回分", "最高血圧 126～145、最低血圧 77～92、3 回分"},
        // A 0 or a gap is no reading: it neither lowers the range nor counts.
        {{{0, 0}, {140, 90}, {nan, nan}, {120, 0}}, "回分", "最高血圧 120～140、最低血圧 90～90、2 回分"},
        {{{135.5, 82.25}, {128, 79.96}}, "日分", "最高血圧 128～135.5、最低血圧 80～82.3、2 日分"},
        {{{0, 0}}, "回分", "血圧の測定値なし"},
        {{}, "回分", "血圧の測定値なし"},
    };
    for (const Case& c : cases) {
        PressureSummary summary;
        for (const auto& [systolic, diastolic] : c.points) {
            summary.add(systolic, diastolic);
        }
        EXPECT_EQ(summary.text(c.unit), c.expected);
    }
}

TEST(SpokenText, CalendarDaysSayDateClassAndCountOfTheirFirstReading) {
    const std::vector<MeasurementRecord> records = {
        {"2005/02/09", "起床後", 118, 76, 60, "", 62},  // 至適血圧, first of its day
        {"2005/02/09", "就寝前", 150, 95, 70, "", 62},  // later readings only count
        {"2005/02/09", "夕食後", 122, 80, 66, "", 62},  //
        {"2005/03/01", "起床後", 131, 84, 70, "", 62},  // 正常高値血圧, a new month row
    };
    const CalendarView view = build_class_calendar(records, CalendarMode::Simple, "2005/02/01", Date{2005, 3, 1});
    ASSERT_EQ(view.dayNames.size(), view.grid.rows.size());
    ASSERT_EQ(view.dayNames.size(), 2u);
    EXPECT_EQ(view.dayNames[0][9], "2月9日 至適血圧 3回");
    EXPECT_EQ(view.dayNames[1][1], "3月1日 正常高値血圧 1回");
    EXPECT_EQ(view.dayNames[0][10], "");  // a day without readings is read as the empty cell it is
    EXPECT_EQ(face_name("正常血圧"), "判定の顔: 正常血圧");
}

TEST(TextSize, StepsStopAtTheEndsAndUnknownPreferencesAreStandard) {
    EXPECT_EQ(stepped_text_size(TextSize::Standard, 1), TextSize::Larger);
    EXPECT_EQ(stepped_text_size(TextSize::Larger, 5), TextSize::Largest);
    EXPECT_EQ(stepped_text_size(TextSize::Larger, -3), TextSize::Standard);
    EXPECT_DOUBLE_EQ(text_size_factor(TextSize::Largest), 1.5);
    EXPECT_EQ(text_size_from_percent(125), TextSize::Larger);
    for (const int stored : {0, 90, 130, -125, 1500}) {
        EXPECT_EQ(text_size_from_percent(stored), TextSize::Standard) << stored;
    }
    EXPECT_EQ(text_size_from_text("特大"), TextSize::Largest);
    EXPECT_EQ(text_size_from_text("125"), TextSize::Larger);
    for (const char* text : {"", "125%", "12", "大", "large"}) {
        EXPECT_EQ(text_size_from_text(text), std::nullopt) << text;
    }
}
