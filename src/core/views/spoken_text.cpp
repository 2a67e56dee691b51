#include "core/views/spoken_text.h"

#include <algorithm>
#include <cmath>

#include "core/rules/measured.h"
#include "core/rules/numbers.h"

namespace sora {

namespace {

// Chart values arrive with NaN where nothing was measured; the stored 0 is the log's own mark for it.
bool measured(double value) {
    return std::isfinite(value) && is_measured(static_cast<float>(value));
}

/// A whole value as it is, an average with its one decimal ("135.5").
std::string number_text(double value) {
    return format_number(std::round(value * 10.0) / 10.0);
}

}  // namespace

std::string face_name(std::string_view className) {
    return "判定の顔: " + std::string(className);
}

std::string calendar_day_name(const Date& date, std::string_view className, int measurements) {
    return std::to_string(date.month) + "月" + std::to_string(date.day) + "日 " + std::string(className) + " " +
           std::to_string(measurements) + "回";
}

void PressureSummary::Range::add(double value) {
    low = any ? std::min(low, value) : value;
    high = any ? std::max(high, value) : value;
    any = true;
}

std::string PressureSummary::Range::text() const {
    return any ? number_text(low) + "～" + number_text(high) : "なし";
}

void PressureSummary::add(double systolic, double diastolic) {
    const bool hasSystolic = measured(systolic);
    const bool hasDiastolic = measured(diastolic);
    if (hasSystolic) {
        m_systolic.add(systolic);
    }
    if (hasDiastolic) {
        m_diastolic.add(diastolic);
    }
    m_count += hasSystolic || hasDiastolic ? 1 : 0;
}

std::string PressureSummary::text(std::string_view unit) const {
    if (m_count == 0) {
        return "血圧の測定値なし";
    }
    return "最高血圧 " + m_systolic.text() + "、最低血圧 " + m_diastolic.text() + "、" + std::to_string(m_count) + " " +
           std::string(unit);
}

}  // namespace sora
