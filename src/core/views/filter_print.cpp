#include "core/views/filter_print.h"

#include "core/views/filter_listing.h"

namespace sora {

const std::string& filter_print_heading() {
    static const std::string heading =
        "　日付け    　　  状況　　　        　最高血圧　  最低血圧　    　高低差 　     　 脈拍 　     　 体重";
    return heading;
}

const std::string& filter_print_rule() {
    static const std::string rule(77, '-');
    return rule;
}

FilterPrintLine filter_print_line(const std::vector<std::string>& gridRowTexts) {
    const auto cell = [&](int column) {
        return column < static_cast<int>(gridRowTexts.size()) ? gridRowTexts[column] : std::string();
    };
    return {cell(filter_col::Date),
            cell(filter_col::Situation),
            {cell(filter_col::Systolic), cell(filter_col::Diastolic), cell(filter_col::Difference),
             cell(filter_col::Pulse), cell(filter_col::Weight)}};
}

}  // namespace sora
