#include "core/import/import_dates.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "core/import/csv_table.h"
#include "core/import/import_fields.h"
#include "core/import/text_scan.h"

namespace sora {
namespace {

constexpr std::array<std::string_view, 12> MonthNames = {"jan", "feb", "mar", "apr", "may", "jun",
                                                         "jul", "aug", "sep", "oct", "nov", "dec"};

using text_scan::read_digits;
using text_scan::skip;
using text_scan::skip_blanks;

/// An English month name or its first three letters ("Jan", "January", "Sept."); 0 when none stands at `pos`.
int read_month_name(std::string_view text, std::size_t& pos) {
    std::size_t end = pos;
    while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end]))) {
        ++end;
    }
    if (end - pos < 3) {
        return 0;
    }
    std::string word;
    for (std::size_t i = pos; i < end; ++i) {
        word += static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    }
    constexpr std::array<std::string_view, 12> Full = {"january",   "february", "march",    "april",
                                                       "may",       "june",     "july",     "august",
                                                       "september", "october",  "november", "december"};
    for (std::size_t m = 0; m < MonthNames.size(); ++m) {
        if (word == MonthNames[m] || word == Full[m] || (m == 8 && word == "sept")) {
            pos = end;
            skip(text, pos, ".");
            return static_cast<int>(m) + 1;
        }
    }
    return 0;
}

bool valid_date(int year, int month, int day, Date& date) {
    date = Date{year, month, day};
    return date.valid();
}

/// "Jan 12 2025", "Jan 12, 2025", "12 Jan 2025", "12-Jan-2025".
bool read_named_month_date(std::string_view text, std::size_t& pos, Date& date) {
    std::size_t p = pos;
    std::size_t digits = 0;
    int month = read_month_name(text, p);
    int day = 0;
    if (month > 0) {
        skip_blanks(text, p);
        day = read_digits(text, p, 2, digits);
        skip(text, p, ",");
    } else {
        day = read_digits(text, p, 2, digits);
        if (day < 0) {
            return false;
        }
        if (!skip(text, p, "-")) {
            skip_blanks(text, p);
        }
        month = read_month_name(text, p);
        if (!skip(text, p, "-")) {
            skip(text, p, ",");
        }
    }
    if (month == 0 || day < 0) {
        return false;
    }
    skip_blanks(text, p);
    const int year = read_digits(text, p, 4, digits);
    if (digits != 4 || !valid_date(year, month, day, date)) {
        return false;
    }
    pos = p;
    return true;
}

bool read_year_first(std::string_view text, std::size_t& pos, Date& date) {
    std::size_t p = pos;
    std::size_t digits = 0;
    const int year = read_digits(text, p, 4, digits);
    if (digits != 4) {
        return false;
    }
    const bool kanji = skip(text, p, "年");
    if (!kanji && !skip(text, p, "/") && !skip(text, p, "-") && !skip(text, p, ".")) {
        return false;
    }
    const std::string_view separator = kanji ? "月" : text.substr(p - 1, 1);
    const int month = read_digits(text, p, 2, digits);
    if (month < 0 || !skip(text, p, separator)) {
        return false;
    }
    const int day = read_digits(text, p, 2, digits);
    if (day < 0 || (kanji && !skip(text, p, "日")) || !valid_date(year, month, day, date)) {
        return false;
    }
    pos = p;
    return true;
}

/// "01.03.2026", "1/3/2026", "01-03-2026" in the given order (day or month first), a four-digit year last.
bool read_year_last(std::string_view text, std::size_t& pos, DateOrder order, Date& date) {
    std::size_t p = pos;
    std::size_t digits = 0;
    const int first = read_digits(text, p, 2, digits);
    if (first < 0 || p >= text.size() || (text[p] != '/' && text[p] != '-' && text[p] != '.')) {
        return false;
    }
    const char separator = text[p++];
    const int second = read_digits(text, p, 2, digits);
    if (second < 0 || p >= text.size() || text[p] != separator) {
        return false;
    }
    ++p;
    const int year = read_digits(text, p, 4, digits);
    if (digits != 4) {
        return false;
    }
    const bool dayFirst = order == DateOrder::Dmy;
    if (!valid_date(year, dayFirst ? second : first, dayFirst ? first : second, date)) {
        return false;
    }
    pos = p;
    return true;
}

bool reads_whole(std::string_view text, DateOrder order) {
    text = trimmed(text);
    std::size_t pos = 0;
    Date date;
    // Only the date has to read: what follows it is the time's business.
    return read_date_part(text, pos, order, date);
}

}  // namespace

const char* date_order_name(DateOrder order) {
    switch (order) {
        case DateOrder::Ymd:
            return "年月日";
        case DateOrder::Dmy:
            return "日月年";
        case DateOrder::Mdy:
            return "月日年";
    }
    return "";
}

std::optional<DateOrder> date_order_from_word(std::string_view word) {
    if (word == "ymd") {
        return DateOrder::Ymd;
    }
    if (word == "dmy") {
        return DateOrder::Dmy;
    }
    if (word == "mdy") {
        return DateOrder::Mdy;
    }
    return std::nullopt;
}

bool read_date_part(std::string_view text, std::size_t& pos, DateOrder order, Date& date) {
    if (read_year_first(text, pos, date) || read_named_month_date(text, pos, date)) {
        return true;
    }
    return order != DateOrder::Ymd && read_year_last(text, pos, order, date);
}

void DateOrderVote::add(std::string_view text) {
    if (!m_any) {
        m_any = true;
        m_first = text;
    }
    if (reads_whole(text, DateOrder::Ymd)) {
        return;
    }
    const bool asDay = reads_whole(text, DateOrder::Dmy);
    const bool asMonth = reads_whole(text, DateOrder::Mdy);
    if (!asDay && !asMonth) {
        return;  // no order reads it: the row says so itself
    }
    // The example must read whole both ways, its time too: the user is shown why the order is asked for.
    if (asDay && asMonth && m_both.empty() && parse_import_date_time(text, DateOrder::Dmy) &&
        parse_import_date_time(text, DateOrder::Mdy)) {
        m_both = text;
    }
    m_needsOrder = true;
    m_dayFirst = m_dayFirst && asDay;
    m_monthFirst = m_monthFirst && asMonth;
}

std::optional<DateOrder> DateOrderVote::result() const {
    if (!m_needsOrder) {
        return DateOrder::Ymd;
    }
    if (m_dayFirst && m_monthFirst) {
        return std::nullopt;
    }
    // Each row read one way or the other, but not all the same way: the order that reads none of them is wrong.
    return m_dayFirst ? DateOrder::Dmy : m_monthFirst ? DateOrder::Mdy : DateOrder::Ymd;
}

std::optional<DateOrder> needed_date_order(const std::vector<std::string_view>& dates) {
    DateOrderVote vote;
    for (const std::string_view text : dates) {
        vote.add(text);
    }
    return vote.result();
}

long long timestamp_seconds(std::string_view text) {
    text = trimmed(text);
    // One pass: every date cell of a file is tried as a timestamp first. Fourteen digits are already too many.
    long long value = 0;
    std::size_t digits = 0;
    while (digits < text.size() && digits < 14 && text[digits] >= '0' && text[digits] <= '9') {
        value = value * 10 + (text[digits++] - '0');
    }
    if (digits != 10 && digits != 13) {
        return -1;
    }
    if (digits < text.size()) {
        const std::string_view fraction = text.substr(digits + 1);
        if (text[digits] != '.' || fraction.empty() ||
            !std::all_of(fraction.begin(), fraction.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            return -1;
        }
    }
    return digits == 13 ? value / 1000 : value;
}

std::optional<long long> unix_seconds(std::string_view text) {
    const long long seconds = timestamp_seconds(text);
    return seconds >= 0 ? std::optional<long long>(seconds) : std::nullopt;
}

}  // namespace sora
