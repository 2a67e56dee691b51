#include "core/rules/saving_time.h"

#include "core/rules/dates.h"

namespace sora {

SavingTimeSplit split_saving_time(std::string_view diary) {
    constexpr std::string_view IdeographicBlank = "　";
    // "h:mm:ss" is seven or eight characters.
    for (const std::size_t length : {std::size_t{7}, std::size_t{8}}) {
        if (diary.size() < length || !is_time_of_day(diary.substr(0, length))) {
            continue;
        }
        std::string_view rest = diary.substr(length);
        if (rest.empty()) {
            return {diary, {}};
        }
        if (rest.front() == ' ') {
            return {diary.substr(0, length), rest.substr(1)};
        }
        if (rest.starts_with(IdeographicBlank)) {
            return {diary.substr(0, length), rest.substr(IdeographicBlank.size())};
        }
    }
    return {{}, diary};
}

}  // namespace sora
