#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <iomanip>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/rules/dates.h"
#include "core/rules/numbers.h"

TEST(Numbers, FormatsShortestPlainDecimal) {
    struct Case {
        double value;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {126, "126"},
        {80.0f, "80"},
        {62.5, "62.5"},
        {168.5f, "168.5"},
        {62.4f, "62.4"},
        {0.1f, "0.1"},
        {998.9f, "998.9"},
        {-0.5, "-0.5"},
        {-3, "-3"},
        {0, "0"},
        {-0.0, "0"},
        {1234567, "1234567"},
        {9999999, "9999999"},
        {-9999999, "-9999999"},
        {-120, "-120"},
        {9999999.5, "10000000"},
        {100, "100"},
        {1e7, "10000000"},
        {12345678, "12345680"},
        {1e-6, "0.000001"},
        {0.000123f, "0.000123"},
        {65.8f, "65.8"},
        {123.456789, "123.4568"},
        {99.99999999, "100"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sora::format_number(c.value), c.expected) << c.expected;
    }
}

TEST(Numbers, FormatsOneDecimalWithHalvesAwayFromZero) {
    struct Case {
        double value;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {0, "0.0"},        {1.2, "1.2"},          {-0.5, "-0.5"},   {62.25, "62.3"},  {62.35f, "62.4"},
        {-62.25, "-62.3"}, {0.05, "0.1"},         {-0.05, "-0.1"},  {-0.04, "0.0"},   {0.04, "0.0"},
        {125.5, "125.5"},  {125.666666, "125.7"}, {9.96, "10.0"},   {-9.95, "-10.0"}, {1234.56, "1234.6"},
        {120, "120.0"},    {1e-9, "0.0"},         {62.45f, "62.5"}, {1.05f, "1.1"},   {1.04999, "1.0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sora::format_one_decimal(c.value), c.expected) << c.value;
    }
}

// Every float from 0.1 to 1000 in steps that hit halves, thirds and float noise, against the rule written out
// with printf: 7 significant digits, then tenths rounded half away from zero.
TEST(Numbers, OneDecimalMatchesTheSevenDigitRuleOverTheUsualRange) {
    const auto expected = [](double value) {
        const double magnitude = std::fabs(value);
        const int decimals = magnitude >= 100 ? 4 : magnitude >= 10 ? 5 : magnitude >= 1 ? 6 : 7;
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*f", decimals, magnitude);
        const std::string text = buffer;
        const std::size_t point = text.find('.');
        long long tenths = std::stoll(text.substr(0, point)) * 10 + (text[point + 1] - '0');
        if (text[point + 2] >= '5') {
            ++tenths;
        }
        const std::string sign = value < 0 && tenths != 0 ? "-" : "";
        return sign + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
    };
    int checked = 0;
    for (int k = 20; k < 200000; ++k) {
        for (const double value : {static_cast<double>(static_cast<float>(k) / 200.0f),
                                   static_cast<double>(static_cast<float>(k) / 3.0f / 67.0f), k / 200.0 + 0.05,
                                   -static_cast<double>(static_cast<float>(k) / 160.0f)}) {
            if (std::fabs(value) >= 0.1 && std::fabs(value) < 1000) {
                ASSERT_EQ(sora::format_one_decimal(value), expected(value)) << std::setprecision(17) << value;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 700000);
}

TEST(Numbers, RecognisesPlainDecimalsOnly) {
    for (const char* text : {"126", " 126 ", "\t62.5", "-1", "+3", "0", "1.", ".5", "0062.50", "998.9"}) {
        EXPECT_TRUE(sora::is_number(text)) << text;
        EXPECT_TRUE(sora::number_value(text).has_value()) << text;
    }
    for (const char* text :
         {"12a", "", " ", ".", "-", "+", "1e3", "1.2.3", "- 1", "1 2", "--1", "１２", "0x10", "inf", "nan", "12,5"}) {
        EXPECT_FALSE(sora::is_number(text)) << text;
        EXPECT_FALSE(sora::number_value(text).has_value()) << text;
    }
    EXPECT_DOUBLE_EQ(*sora::number_value(" -62.5 "), -62.5);
    EXPECT_DOUBLE_EQ(*sora::number_value(".5"), 0.5);
}

TEST(Numbers, ReadsTheNumberAtTheStartOfAText) {
    struct Case {
        const char* text;
        double expected;
    };
    const std::vector<Case> cases = {
        {"120abc", 120}, {"abc", 0},  {"65.5", 65.5}, {"-1", -1},       {"  72 拍", 72}, {"", 0},
        {".", 0},        {"-", 0},    {"1e3", 1},     {"62.5.1", 62.5}, {"+7", 7},       {"3.", 3},
        {".25kg", 0.25}, {"a120", 0}, {"0", 0},       {"-.5", -0.5},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(sora::leading_number(c.text), c.expected) << c.text;
    }
    EXPECT_GT(sora::leading_number(std::string(400, '9')), 1e300);  // never read as 0
}

TEST(Numbers, WholePartRoundsDown) {
    EXPECT_EQ(sora::whole_part(62.4), 62);
    EXPECT_EQ(sora::whole_part(61.4), 61);
    EXPECT_EQ(sora::whole_part(62), 62);
    EXPECT_EQ(sora::whole_part(-0.5), -1);
}

TEST(Dates, ParsesAndFormats) {
    using sora::Date;
    EXPECT_EQ(sora::parse_date("2005/02/09"), (Date{2005, 2, 9}));
    EXPECT_EQ(sora::parse_date("2005/2/9"), (Date{2005, 2, 9}));
    EXPECT_EQ(sora::parse_date("2005/02/9"), (Date{2005, 2, 9}));
    for (const char* bad : {"", "2005/02/30", "2005/13/01", "2005/00/10", "2005/02/00", "05/02/09", "2005-02-09",
                            "2005/02/09 ", "2005/002/09", "2005/02/", "20050/02/09", "2005/02/09x"}) {
        EXPECT_EQ(sora::parse_date(bad), std::nullopt) << bad;
    }
    EXPECT_EQ(sora::parse_short_date("05/02/09"), (Date{2005, 2, 9}));
    EXPECT_EQ(sora::parse_short_date("00/01/01"), (Date{2000, 1, 1}));
    EXPECT_EQ(sora::parse_short_date("29/12/31"), (Date{2029, 12, 31}));
    EXPECT_EQ(sora::parse_short_date("30/01/01"), (Date{1930, 1, 1}));
    EXPECT_EQ(sora::parse_short_date("99/12/31"), (Date{1999, 12, 31}));
    EXPECT_EQ(sora::parse_short_date("2005/02/09"), std::nullopt);
    EXPECT_EQ(sora::parse_short_date("01/02/29"), std::nullopt);  // 2001 is no leap year

    const Date d{2005, 2, 9};
    EXPECT_EQ(sora::format_date(d), "2005/02/09");
    EXPECT_EQ(sora::format_short_date(d), "05/02/09");
    EXPECT_EQ(sora::format_short_date(Date{1999, 12, 31}), "99/12/31");
    // Years of any width, and fields no real date has, are written in full.
    EXPECT_EQ(sora::format_date(Date{7, 1, 5}), "0007/01/05");
    EXPECT_EQ(sora::format_date(Date{9999, 12, 31}), "9999/12/31");
    EXPECT_EQ(sora::format_date(Date{12345, 1, 2}), "12345/01/02");
    EXPECT_EQ(sora::format_date(Date{-5, 1, 2}), "-005/01/02");
    EXPECT_EQ(sora::format_date(Date{2005, 123, 2}), "2005/123/02");
    EXPECT_EQ(sora::format_short_date(Date{1900, 1, 2}), "00/01/02");
    EXPECT_EQ(sora::format_short_date(Date{12345, 6, 7}), "45/06/07");
    EXPECT_EQ(sora::format_short_date(Date{-1, 6, 7}), "99/06/07");
    EXPECT_EQ(sora::format_short_date(Date{2030, 6, 100}), "30/06/100");
    EXPECT_EQ(sora::format_month_heading(d), "2005年02月");
    EXPECT_EQ(sora::format_year_month(d), "2005/02");
    EXPECT_EQ(sora::format_time_of_day(7, 5, 9), "7:05:09");
    EXPECT_EQ(sora::format_time_of_day(23, 59, 0), "23:59:00");
    EXPECT_EQ(sora::format_time_of_day(0, 0, 0), "0:00:00");
}

TEST(Dates, WeekdaysAndLeapYears) {
    using sora::Date;
    EXPECT_EQ(sora::weekday_index(Date{2005, 2, 9}), 3);  // Wednesday
    EXPECT_EQ(sora::weekday_index(Date{2005, 2, 6}), 0);  // Sunday
    EXPECT_EQ(sora::weekday_index(Date{2005, 3, 5}), 6);  // Saturday
    EXPECT_EQ(sora::weekday_index(Date{1970, 1, 1}), 4);
    EXPECT_EQ(sora::weekday_index(Date{1969, 12, 28}), 0);
    EXPECT_EQ(sora::weekday_index(Date{2000, 1, 1}), 6);
    const std::vector<std::string> characters{"日", "月", "火", "水", "木", "金", "土"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(sora::weekday_character(i), characters[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(sora::weekday_character(99), "");

    EXPECT_EQ(sora::days_in_month(2004, 2), 29);
    EXPECT_EQ(sora::days_in_month(2005, 2), 28);
    EXPECT_EQ(sora::days_in_month(2000, 2), 29);
    EXPECT_EQ(sora::days_in_month(1900, 2), 28);
    EXPECT_EQ(sora::days_in_month(2005, 4), 30);
    EXPECT_EQ(sora::days_in_month(2005, 12), 31);
    EXPECT_TRUE((Date{2004, 2, 29}).valid());
    EXPECT_FALSE((Date{2100, 2, 29}).valid());
}

TEST(Dates, SerialArithmetic) {
    using sora::Date;
    EXPECT_EQ((Date{1970, 1, 1}).serial(), 0);
    EXPECT_EQ((Date{1969, 12, 31}).serial(), -1);
    EXPECT_EQ((Date{2005, 3, 1}).serial() - (Date{2005, 2, 1}).serial(), 28);
    EXPECT_EQ((Date{2004, 3, 1}).serial() - (Date{2004, 2, 1}).serial(), 29);
    EXPECT_EQ((Date{2006, 1, 1}).serial() - (Date{2005, 1, 1}).serial(), 365);
    EXPECT_EQ((Date{2005, 2, 28}).add_days(1), (Date{2005, 3, 1}));
    EXPECT_EQ((Date{2004, 2, 28}).add_days(1), (Date{2004, 2, 29}));
    EXPECT_EQ((Date{2005, 1, 1}).add_days(-1), (Date{2004, 12, 31}));
    EXPECT_EQ((Date{2005, 3, 1}).add_days(-180), (Date{2004, 9, 2}));
    // Every day of four centuries goes there and back, and one day on is the next calendar day.
    Date expected{1900, 1, 1};
    for (long long s = (Date{1900, 1, 1}).serial(); s < (Date{2300, 1, 1}).serial(); ++s) {
        const Date d = Date::from_serial(s);
        ASSERT_EQ(d, expected);
        ASSERT_EQ(d.serial(), s);
        expected.day += 1;
        if (expected.day > sora::days_in_month(expected.year, expected.month)) {
            expected.day = 1;
            if (++expected.month > 12) {
                expected.month = 1;
                ++expected.year;
            }
        }
    }
    // Text order of formatted dates is calendar order.
    EXPECT_LT(sora::format_date(Date{2005, 2, 28}), sora::format_date(Date{2005, 10, 1}));
}

TEST(Clocks, SystemClockGivesLocalTimeAndFixedClockStandsStill) {
    const sora::SystemClock clock;
    const std::time_t before = std::time(nullptr);
    const sora::DateTime now = clock.now();
    std::tm local{};
    localtime_r(&before, &local);
    EXPECT_TRUE(now.date.valid());
    EXPECT_EQ(now.date.year, local.tm_year + 1900);  // off only across a new year's midnight
    EXPECT_GE(now.hour, 0);
    EXPECT_LE(now.hour, 23);
    EXPECT_LE(now.second, 60);

    sora::FixedClock fixed(sora::DateTime{sora::Date{2005, 3, 1}, 10, 15, 0});
    EXPECT_EQ(fixed.today(), (sora::Date{2005, 3, 1}));
    EXPECT_EQ(fixed.now().minute, 15);
}

TEST(Numbers, DifferencesAreTakenOnTheShownValues) {
    const struct {
        float value, reference;
        const char* shown;
    } rows[] = {
        {126, 131, "-5"},    {131, 126, "5"},     {120.6f, 120.5f, "0.1"}, {120.6f, 80.2f, "40.4"},
        {62.5f, 62.5f, "0"}, {0, 62.5f, "-62.5"}, {998.9f, 0.1f, "998.8"}, {1e7f, 1, "9999999"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(sora::difference_text(row.value, row.reference), row.shown) << row.value << " - " << row.reference;
    }
}
