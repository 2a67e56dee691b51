#pragma once

#include <cmath>
#include <limits>
#include <string>

#include "core/rules/measurement_record.h"

namespace sora {

// Imports write 0 for a pulse or weight their source lacks, and a hand-edited log may hold a 0 pressure: such a
// value was not measured. It is never a number in a mean, an extreme, a change or a chart point, and has no class.

/// Whether a stored value was measured: every value but 0.
constexpr bool is_measured(float value) {
    return value != 0;
}

/// Whether both pressures were measured: only then has the reading a blood-pressure class.
inline bool has_pressure(const MeasurementRecord& record) {
    return is_measured(record.systolic) && is_measured(record.diastolic);
}

/// The value as a chart point: NaN (no point, the line broken) when it was not measured.
inline float chart_point(float value) {
    return is_measured(value) ? value : std::numeric_limits<float>::quiet_NaN();
}

/// The value as a list shows it (shortest form), or an empty cell when it was not measured.
std::string measured_text(float value);

/// Systolic minus diastolic as a list shows it, empty unless both pressures were measured.
std::string pressure_difference_text(const MeasurementRecord& record);

/// The order of two cells of a numeric column: a value not measured (an empty cell) follows every measured one,
/// whichever the direction; measured values compare by the number each text starts with.
bool numeric_cell_before(const std::string& a, const std::string& b, bool ascending);

}  // namespace sora
