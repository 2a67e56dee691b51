#include "core/rules/measured.h"

#include "core/rules/numbers.h"

namespace sora {

std::string measured_text(float value) {
    return is_measured(value) ? format_number(value) : std::string();
}

std::string pressure_difference_text(const MeasurementRecord& record) {
    return has_pressure(record) ? difference_text(record.systolic, record.diastolic) : std::string();
}

bool numeric_cell_before(const std::string& a, const std::string& b, bool ascending) {
    if (a.empty() || b.empty()) {
        return !a.empty() && b.empty();
    }
    const double x = leading_number(a);
    const double y = leading_number(b);
    return ascending ? x < y : y < x;
}

}  // namespace sora
