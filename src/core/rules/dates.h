#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sora {

/// A calendar date of the proleptic Gregorian calendar.
struct Date {
    int year = 0;
    int month = 0;
    int day = 0;

    constexpr auto operator<=>(const Date&) const = default;

    /// Days since 1970-01-01 (negative before).
    long long serial() const;
    static Date from_serial(long long serial);
    Date add_days(long long days) const { return from_serial(serial() + days); }
    bool valid() const;
};

/// Number of days in a month (leap years counted).
int days_in_month(int year, int month);

/// Parses "yyyy/mm/dd" or "yyyy/m/d"; nullopt for anything else or an impossible date.
std::optional<Date> parse_date(std::string_view text);

/// Parses "yy/mm/dd" with two-digit years: 00–29 are 2000–2029, 30–99 are 1930–1999.
std::optional<Date> parse_short_date(std::string_view text);

/// "yyyy/mm/dd".
std::string format_date(const Date& date);
/// "yy/mm/dd".
std::string format_short_date(const Date& date);
/// "yyyy年mm月".
std::string format_month_heading(const Date& date);
/// "yyyy/mm".
std::string format_year_month(const Date& date);

/// 0 for Sunday … 6 for Saturday.
int weekday_index(const Date& date);
/// 日 月 火 水 木 金 土 for 0 … 6.
std::string weekday_character(int index);

/// "h:mm:ss" with hours without a leading zero (7:05:09).
std::string format_time_of_day(int hour, int minute, int second);

/// True when the whole text is a time of day "h:mm:ss" (hours 0–23 with one or two digits, minutes and seconds
/// with two), as the automatic time writes it.
bool is_time_of_day(std::string_view text);

}  // namespace sora
