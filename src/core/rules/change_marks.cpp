#include "core/rules/change_marks.h"

#include <string>

#include "core/rules/numbers.h"

namespace sora {

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
