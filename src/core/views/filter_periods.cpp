#include "core/views/filter_periods.h"

namespace sora {

const std::array<PeriodButton, 9>& period_buttons() {
    // Plain day counts: a "month" is 30 days and a "year" 365.
    static const std::array<PeriodButton, 9> buttons = {{
        {"cmdKikan1", "前日", 1},
        {"cmdKikan8", "３日", 2},
        {"cmdKikan2", "１週間", 7},
        {"cmdKikan3", "２週間", 14},
        {"cmdKikan4", "１ヶ月", 30},
        {"cmdKikan5", "３ヶ月", 90},
        {"cmdKikan6", "半年", 180},
        {"cmdKikan7", "１年", 365},
        {"cmdAllDay", "全部", FromLogStart},
    }};
    return buttons;
}

PeriodTexts period_for(const PeriodButton& button, const Date& today, const std::string& logStart) {
    const std::string end = format_date(today);
    if (button.daysBack == FromLogStart) {
        return {logStart, end};
    }
    return {format_date(today.add_days(-button.daysBack)), end};
}

}  // namespace sora
