#pragma once

#include <string>
#include <string_view>

#include "core/view_model.h"

namespace sora {

/// The change of a value against the reference as every list shows it: the difference of the two values as the
/// lists show them (126, 62.45), so that 120.6 after 120.5 shows 0.1, never the single-precision 0.0999985.
std::string change_text(float value, float reference);

/// The weight change in the "0.0" form, taken from the weights as the lists show them: 62.45 after 62.5 is −0.05,
/// which shows -0.1, while the single-precision difference (−0.0499992) would show 0.0. Never "-0.0".
std::string weight_change_text(float value, float reference);

/// Arrow and colour for a change, decided on the change as shown read back as a number:
/// "↑" light red above 0, "→" light yellow at 0, "↓" light green below.
GridCell change_arrow_cell(std::string_view shownChange);

}  // namespace sora
