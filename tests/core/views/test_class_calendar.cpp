#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/rules/classification.h"
#include "core/views/class_calendar.h"

using namespace sora;

namespace {

MeasurementRecord rec(const std::string& date, float sys, float dia) {
    return {date, "朝", sys, dia, 70, "", 62};
}

std::string date_of(int month, int day) {
    char buf[32];
    snprintf(buf, sizeof buf, "2005/%02d/%02d", month, day);
    return buf;
}

// The painted days of a row as "day:r,g,b".
std::vector<std::string> painted(const GridRow& row) {
    std::vector<std::string> out;
    for (std::size_t c = 1; c < row.size(); ++c) {
        if (row[c].background) {
            const Colour& k = *row[c].background;
            out.push_back(std::to_string(c) + ":" + std::to_string(k.r) + "," + std::to_string(k.g) + "," +
                          std::to_string(k.b));
        }
    }
    return out;
}

const Date Today{2005, 3, 1};

}  // namespace

TEST(ClassCalendar, OnlyTheFirstRecordOfADayIsJudged) {
    const std::vector<MeasurementRecord> log{rec("2005/02/09", 118, 76), rec("2005/02/09", 165, 95),
                                             rec("2005/02/10", 165, 95), rec("2005/02/10", 118, 76)};
    const CalendarView v = build_class_calendar(log, CalendarMode::Detailed, "2005/02/09", Today);
    ASSERT_EQ(v.grid.rows.size(), 1u);
    EXPECT_EQ(v.grid.rows[0][0].text, "2005年02月");
    EXPECT_EQ(painted(v.grid.rows[0]), (std::vector<std::string>{"9:192,255,255", "10:255,192,255"}));
    EXPECT_EQ(v.classDays, (std::array<int, 7>{1, 0, 0, 0, 1, 0, 0}));
    EXPECT_EQ(v.classLabels[0], "至摘 1");
    EXPECT_EQ(v.classLabels[4], "中等高 1");
    EXPECT_EQ(v.classLabels[6], "収縮期高 0");
    EXPECT_EQ(v.normalLabel, "1日");
    EXPECT_EQ(v.highLabel, "1日");
}

TEST(ClassCalendar, SimpleModeColoursTwoRangesButCountsClasses) {
    const std::vector<MeasurementRecord> log{rec("2005/02/01", 118, 76), rec("2005/02/02", 135, 80),
                                             rec("2005/02/03", 145, 85), rec("2005/02/04", 185, 115)};
    const CalendarView v = build_class_calendar(log, CalendarMode::Simple, "2005/02/01", Today);
    EXPECT_EQ(painted(v.grid.rows[0]),
              (std::vector<std::string>{"1:192,255,192", "2:192,255,192", "3:255,128,128", "4:255,128,128"}));
    EXPECT_EQ(v.classDays, (std::array<int, 7>{1, 0, 1, 0, 0, 1, 1}));
    const CalendarView d = build_class_calendar(log, CalendarMode::Detailed, "2005/02/01", Today);
    EXPECT_EQ(painted(d.grid.rows[0]),
              (std::vector<std::string>{"1:192,255,255", "2:255,255,192", "3:192,192,255", "4:255,128,128"}));
}

TEST(ClassCalendar, DaysWithoutMeasurementCountFromTheStartDateToToday) {
    const std::vector<MeasurementRecord> log{rec("2005/02/01", 120, 80), rec("2005/02/03", 120, 80),
                                             rec("2005/02/03", 150, 80), rec("2005/02/05", 120, 80),
                                             rec("2005/02/10", 120, 80)};
    const CalendarView v = build_class_calendar(log, CalendarMode::Detailed, "2005/02/01", Date{2005, 2, 10});
    EXPECT_EQ(v.measuredDays, 4);
    EXPECT_EQ(v.notMeasuredDays, 6);
    EXPECT_EQ(v.notMeasuredLabel, "未計測 6");
    // Without a start date from the main screen the first record's date is used.
    EXPECT_EQ(build_class_calendar(log, CalendarMode::Detailed, "", Date{2005, 2, 10}).notMeasuredDays, 6);
    // Only days up to today count: measurements dated later (a typo, a clock set wrong) never make it negative.
    struct Row {
        const char* start;
        Date today;
        std::vector<MeasurementRecord> records;
        int notMeasured;
    };
    const std::vector<Row> rows = {
        {"1905/02/01", {2005, 2, 1}, log, 36525 - 1 + 1},  // beyond 16 bits: 100 years; only 02/01 is not later
        {"2005/02/01", {2005, 2, 4}, log, 4 - 2},
        {"2005/02/01", {2005, 2, 10}, {rec("2005/02/01", 120, 80), rec("9999/12/31", 120, 80)}, 9},
        {"2005/02/01", {2005, 2, 1}, {rec("2005/02/01", 120, 80), rec("4805/02/01", 120, 80)}, 0},
        {"2005/03/01", {2005, 2, 10}, log, 0},  // a start after today
    };
    for (const Row& row : rows) {
        EXPECT_EQ(build_class_calendar(row.records, CalendarMode::Detailed, row.start, row.today).notMeasuredDays,
                  row.notMeasured)
            << row.start << " to " << format_date(row.today);
    }
}

TEST(ClassCalendar, OneRowPerMonthAsMonthsAppear) {
    const CalendarView jm = build_class_calendar({rec("2005/01/31", 120, 80), rec("2005/03/01", 120, 80)},
                                                 CalendarMode::Detailed, "", Today);
    ASSERT_EQ(jm.grid.rows.size(), 2u);  // no row for February
    EXPECT_EQ(jm.grid.rows[0][0].text, "2005年01月");
    EXPECT_EQ(jm.grid.rows[1][0].text, "2005年03月");
    EXPECT_EQ(painted(jm.grid.rows[0]).size(), 1u);
    EXPECT_EQ(painted(jm.grid.rows[1]), (std::vector<std::string>{"1:192,255,192"}));

    // Out of date order: February returns after March and gets a second row; nothing fails.
    const CalendarView odd = build_class_calendar(
        {rec("2005/02/01", 120, 80), rec("2005/03/01", 120, 80), rec("2005/02/05", 150, 95), rec("bad", 1, 1)},
        CalendarMode::Detailed, "", Today);
    ASSERT_EQ(odd.grid.rows.size(), 3u);
    EXPECT_EQ(odd.grid.rows[2][0].text, "2005年02月");
    EXPECT_EQ(painted(odd.grid.rows[2]), (std::vector<std::string>{"5:255,224,192"}));
    EXPECT_EQ(odd.grid.columns.size(), 32u);
    EXPECT_EQ(odd.grid.columns[0].heading, "年月");
    EXPECT_EQ(odd.grid.columns[31].heading, "31");

    const CalendarView empty = build_class_calendar({}, CalendarMode::Detailed, "", Today);
    EXPECT_TRUE(empty.grid.rows.empty());
    EXPECT_EQ(empty.sign, "=");
}

TEST(ClassCalendar, SignAndFace) {
    struct Case {
        int normal, high;
        const char* sign;
        CalendarFace face;
    };
    for (const Case& c : {Case{10, 10, "=", CalendarFace::Smiling}, Case{11, 10, ">", CalendarFace::Laughing},
                          Case{10, 11, "<", CalendarFace::Sad}, Case{0, 1, "<", CalendarFace::Sad}}) {
        std::vector<MeasurementRecord> log;
        int day = 0;
        for (int i = 0; i < c.normal; ++i, ++day) {
            log.push_back(rec(date_of(1 + day / 28, 1 + day % 28), 132, 80));  // 正常高値: normal range
        }
        for (int i = 0; i < c.high; ++i, ++day) {
            log.push_back(rec(date_of(1 + day / 28, 1 + day % 28), 150, 80));
        }
        const CalendarView v = build_class_calendar(log, CalendarMode::Detailed, "", Today);
        EXPECT_EQ(v.sign, c.sign) << c.normal << "/" << c.high;
        EXPECT_EQ(v.face, c.face) << c.normal << "/" << c.high;
        EXPECT_EQ(v.normalLabel, std::to_string(c.normal) + "日");
        EXPECT_EQ(v.highLabel, std::to_string(c.high) + "日");
    }
}

TEST(ClassCalendar, DoubleClickedCellDate) {
    EXPECT_EQ(calendar_cell_date("2005年02月", 9), (Date{2005, 2, 9}));
    EXPECT_EQ(calendar_cell_date("2005年02月", 28), (Date{2005, 2, 28}));
    EXPECT_EQ(calendar_cell_date("2004年02月", 29), (Date{2004, 2, 29}));
    EXPECT_EQ(calendar_cell_date("2005年12月", 31), (Date{2005, 12, 31}));
    EXPECT_FALSE(calendar_cell_date("2005年02月", 29));
    EXPECT_FALSE(calendar_cell_date("2005年04月", 31));
    EXPECT_FALSE(calendar_cell_date("2005年02月", 0));
    EXPECT_FALSE(calendar_cell_date("2005年02月", 32));
    EXPECT_FALSE(calendar_cell_date("", 5));
    EXPECT_FALSE(calendar_cell_date("2005年13月", 5));
}
