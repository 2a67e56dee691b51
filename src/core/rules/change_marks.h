#pragma once

#include <string_view>

#include "core/view_model.h"

namespace sora {

/// Arrow and colour for a change, decided on the change as shown read back as a number:
/// "↑" light red above 0, "→" light yellow at 0, "↓" light green below.
GridCell change_arrow_cell(std::string_view shownChange);

}  // namespace sora
