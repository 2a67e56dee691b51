#include "core/rules/change_marks.h"

#include <string>

#include "core/rules/numbers.h"

namespace sora {

std::string change_text(float value, float reference) {
    return difference_text(value, reference);
}

std::string weight_change_text(float value, float reference) {
    std::string text = format_one_decimal(shown_value(value) - shown_value(reference));
    if (leading_number(text) == 0) {
        text = "0.0";
    }
    return text;
}

GridCell change_arrow_cell(std::string_view shownChange) {
    const double change = leading_number(shownChange);
    if (change > 0) {
        return {"↑", colours::ChangeUp};
    }
    if (change < 0) {
        return {"↓", colours::ChangeDown};
    }
    return {"→", colours::ChangeSame};
}

}  // namespace sora
