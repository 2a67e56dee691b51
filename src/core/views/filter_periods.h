#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/rules/dates.h"

namespace sora {

/// One of the period buttons of the filtered view that sets both period boxes.
struct PeriodButton {
    std::string_view name;     // objectName
    std::string_view caption;  // button text
    int daysBack;              // start = today − daysBack; -1 for "全部" (start of the log)
};

inline constexpr int FromLogStart = -1;

/// The nine period buttons that write the boxes, in the order they are laid out ("任意" writes nothing).
const std::array<PeriodButton, 9>& period_buttons();

/// Start and end texts ("yyyy/mm/dd") that a period button writes into the two period boxes.
struct PeriodTexts {
    std::string start;
    std::string end;
    bool operator==(const PeriodTexts&) const = default;
};

/// The period of a button pressed on `today`; `logStart` is the first record's date for "全部".
PeriodTexts period_for(const PeriodButton& button, const Date& today, const std::string& logStart);

}  // namespace sora
