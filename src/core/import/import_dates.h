#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/rules/dates.h"

namespace sora {

/// The order of day, month and year in dates written with numbers only.
enum class DateOrder { Ymd, Dmy, Mdy };

/// Every order in the order the mapping step offers them.
inline constexpr DateOrder AllDateOrders[] = {DateOrder::Ymd, DateOrder::Dmy, DateOrder::Mdy};

/// "年月日", "日月年", "月日年".
const char* date_order_name(DateOrder order);

/// The order of a command-line word "ymd", "dmy" or "mdy"; nullopt for any other.
std::optional<DateOrder> date_order_from_word(std::string_view word);

/// Reads the date at `pos` and moves past it: year first ("2024/01/05", "2024-1-5", "2024.1.5", "2024年1月5日")
/// in any order; day or month first with a four-digit year ("01.03.2026", "3/1/2026") only in that order; a month
/// named in English ("Jan 12 2025", "12 January 2025", "Jan 12, 2025") in any order. False for anything else, an
/// impossible date among them.
bool read_date_part(std::string_view text, std::size_t& pos, DateOrder order, Date& date);

/// The date order a column of dates needs: Ymd when they all read year first or when no order reads them all;
/// Dmy or Mdy when only that one reads the rest. nullopt when both would: a day and a month of 12 or below cannot
/// be told apart, so the user says which.
std::optional<DateOrder> needed_date_order(const std::vector<std::string_view>& dates);

/// needed_date_order over a column taken one date at a time, as a file of years is read.
class DateOrderVote {
public:
    void add(std::string_view date);
    std::optional<DateOrder> result() const;
    /// The first date that reads day first and month first alike ("03/01/2026"), or else the first date given.
    const std::string& example() const { return m_both.empty() ? m_first : m_both; }

private:
    bool m_needsOrder = false;
    bool m_dayFirst = true;
    bool m_monthFirst = true;
    bool m_any = false;
    std::string m_first;
    std::string m_both;
};

/// A moment in time as a Unix timestamp of 10 digits (seconds) or 13 digits (milliseconds), with an optional
/// fraction; the seconds since 1970 or nullopt for any other text.
std::optional<long long> unix_seconds(std::string_view text);

/// unix_seconds without the optional, -1 for none: every date cell of a file is tried as a timestamp first.
long long timestamp_seconds(std::string_view text);

}  // namespace sora
