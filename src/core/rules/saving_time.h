#pragma once

#include <string_view>

namespace sora {

/// A diary text taken apart into the time of saving that the automatic time put in front of it and the rest.
struct SavingTimeSplit {
    std::string_view time;  // "7:05:09", or empty when the text does not begin with a time of day
    std::string_view text;  // what the user wrote, without the time and the blank after it
};

/// Splits "7:05:09 散歩をした" into "7:05:09" and "散歩をした"; "7:05:09" alone gives an empty text. A text that does
/// not begin with a time followed by its end or a blank (half- or full-width) is all text.
SavingTimeSplit split_saving_time(std::string_view diary);

}  // namespace sora
