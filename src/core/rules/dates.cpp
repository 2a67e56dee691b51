#include "core/rules/dates.h"

#include <array>
#include <cstdio>

namespace sora {

namespace {

bool is_leap_year(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

/// Reads 1 to `maxDigits` digits at `pos`; nullopt when there is no digit there.
std::optional<int> read_digits(std::string_view text, std::size_t& pos, std::size_t minDigits, std::size_t maxDigits) {
    int value = 0;
    std::size_t count = 0;
    while (pos < text.size() && count < maxDigits && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++count;
    }
    if (count < minDigits) {
        return std::nullopt;
    }
    return value;
}

/// "Y/m/d" with a year of exactly `yearDigits` digits and a month and day of one or two digits.
std::optional<Date> parse_with_year_digits(std::string_view text, std::size_t yearDigits) {
    std::size_t pos = 0;
    const auto year = read_digits(text, pos, yearDigits, yearDigits);
    if (!year || pos >= text.size() || text[pos] != '/') {
        return std::nullopt;
    }
    ++pos;
    const auto month = read_digits(text, pos, 1, 2);
    if (!month || pos >= text.size() || text[pos] != '/') {
        return std::nullopt;
    }
    ++pos;
    const auto day = read_digits(text, pos, 1, 2);
    if (!day || pos != text.size()) {
        return std::nullopt;
    }
    return Date{*year, *month, *day};
}

}  // namespace

// Days from civil, after Howard Hinnant's public-domain algorithm (eras of 400 years).
long long Date::serial() const {
    const long long y = static_cast<long long>(year) - (month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

Date Date::from_serial(long long serial) {
    const long long z = serial + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long mp = (5 * dayOfYear + 2) / 153;
    const int d = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const long long y = yearOfEra + era * 400 + (m <= 2 ? 1 : 0);
    return Date{static_cast<int>(y), m, d};
}

bool Date::valid() const {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= days_in_month(year, month);
}

int days_in_month(int year, int month) {
    static constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && is_leap_year(year) ? 29 : days[static_cast<std::size_t>(month - 1)];
}

std::optional<Date> parse_date(std::string_view text) {
    const auto date = parse_with_year_digits(text, 4);
    if (!date || !date->valid()) {
        return std::nullopt;
    }
    return date;
}

std::optional<Date> parse_short_date(std::string_view text) {
    auto date = parse_with_year_digits(text, 2);
    if (!date) {
        return std::nullopt;
    }
    date->year += date->year < 30 ? 2000 : 1900;
    if (!date->valid()) {
        return std::nullopt;
    }
    return date;
}

namespace {

// Lists of every day format thousands of dates; printf is the slow part there. Fields outside these ranges
// (never a real date) still go through printf, which writes them in full.
bool plain_fields(const Date& date) {
    return date.year >= 0 && date.year <= 9999 && date.month >= 0 && date.month <= 99 && date.day >= 0 &&
           date.day <= 99;
}

char* put2(char* out, int value) {
    out[0] = static_cast<char>('0' + value / 10);
    out[1] = static_cast<char>('0' + value % 10);
    return out + 2;
}

}  // namespace

std::string format_date(const Date& date) {
    if (plain_fields(date)) {
        char buffer[10];
        char* p = put2(put2(buffer, date.year / 100), date.year % 100);
        *p++ = '/';
        p = put2(p, date.month);
        *p++ = '/';
        put2(p, date.day);
        return std::string(buffer, sizeof buffer);
    }
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", date.year, date.month, date.day);
    return buffer;
}

std::string format_short_date(const Date& date) {
    if (plain_fields(date)) {
        char buffer[8];
        char* p = put2(buffer, date.year % 100);
        *p++ = '/';
        p = put2(p, date.month);
        *p++ = '/';
        put2(p, date.day);
        return std::string(buffer, sizeof buffer);
    }
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%02d/%02d/%02d", ((date.year % 100) + 100) % 100, date.month, date.day);
    return buffer;
}

std::string format_month_heading(const Date& date) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d年%02d月", date.year, date.month);
    return buffer;
}

std::string format_year_month(const Date& date) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d", date.year, date.month);
    return buffer;
}

int weekday_index(const Date& date) {
    // 1970-01-01 was a Thursday (index 4).
    const long long index = (date.serial() + 4) % 7;
    return static_cast<int>(index < 0 ? index + 7 : index);
}

std::string weekday_character(int index) {
    static constexpr std::array<const char*, 7> names{"日", "月", "火", "水", "木", "金", "土"};
    if (index < 0 || index > 6) {
        return {};  // 99 and anything else: no weekday
    }
    return names[static_cast<std::size_t>(index)];
}

std::string format_time_of_day(int hour, int minute, int second) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d", hour, minute, second);
    return buffer;
}

bool is_time_of_day(std::string_view text) {
    const std::size_t hourDigits = text.find(':');
    if (hourDigits != 1 && hourDigits != 2) {
        return false;
    }
    if (text.size() != hourDigits + 6 || text[hourDigits + 3] != ':') {
        return false;
    }
    auto number = [text](std::size_t from, std::size_t count, int limit) {
        int value = 0;
        for (std::size_t i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9') {
                return false;
            }
            value = value * 10 + (text[i] - '0');
        }
        return value <= limit;
    };
    return number(0, hourDigits, 23) && number(hourDigits + 1, 2, 59) && number(hourDigits + 4, 2, 59);
}

}  // namespace sora
