#include "core/clock.h"

#include <ctime>

namespace sora {

DateTime date_time_of(const std::tm& local) {
    return DateTime{Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday}, local.tm_hour, local.tm_min,
                    local.tm_sec};
}

DateTime SystemClock::now() const {
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    return date_time_of(local);
}

}  // namespace sora
