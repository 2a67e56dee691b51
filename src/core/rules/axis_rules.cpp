#include "core/rules/axis_rules.h"

#include <algorithm>
#include <cmath>

namespace sora {

namespace {

// The settings keep a pair as the user entered it; a minimum above the maximum is drawn the right way up, so
// the data within the pair stays on the chart.
AxisRange manual_axis(std::int16_t maximum, std::int16_t minimum, std::int16_t divisions) {
    return AxisRange{static_cast<double>(std::min(minimum, maximum)), static_cast<double>(std::max(minimum, maximum)),
                     divisions};
}

}  // namespace

AxisRange automatic_axis(double largest, double smallest) {
    return AxisRange{std::floor(smallest), std::ceil(largest), 10};
}

AxisRange primary_axis(const GraphAxisSettings& settings, double largestSystolic, double smallestDiastolic) {
    if (settings.autoScale != 0) {
        return automatic_axis(largestSystolic, smallestDiastolic);
    }
    return manual_bp_axis(settings);
}

AxisRange secondary_axis(const GraphAxisSettings& settings, SecondaryQuantity quantity, const DataExtremes& extremes) {
    const bool pulse = quantity == SecondaryQuantity::Pulse;
    if (settings.autoScale != 0) {
        return pulse ? automatic_axis(extremes.pulseMax, static_cast<double>(extremes.pulseMin) - 1)
                     : automatic_axis(extremes.weightMax, static_cast<double>(extremes.weightMin) - 1);
    }
    if (pulse) {
        return manual_axis(settings.pulseMax, settings.pulseMin, settings.pulseDivisions);
    }
    return manual_weight_axis(settings);
}

AxisRange manual_bp_axis(const GraphAxisSettings& settings) {
    return manual_axis(settings.bpMax, settings.bpMin, settings.bpDivisions);
}

AxisRange manual_weight_axis(const GraphAxisSettings& settings) {
    return manual_axis(settings.weightMax, settings.weightMin, settings.weightDivisions);
}

AxisRange primary_axis_for_data(const GraphAxisSettings& settings, bool anyShown, double largestSystolic,
                                double smallestDiastolic) {
    if (settings.autoScale != 0 && !anyShown) {
        GraphAxisSettings manual = settings;
        manual.autoScale = 0;
        return primary_axis(manual, largestSystolic, smallestDiastolic);
    }
    return primary_axis(settings, largestSystolic, smallestDiastolic);
}

AxisRange secondary_axis_for_data(const GraphAxisSettings& settings, SecondaryQuantity quantity,
                                  const DataExtremes& extremes) {
    const bool empty = quantity == SecondaryQuantity::Pulse ? extremes.pulseMax < extremes.pulseMin
                                                            : extremes.weightMax < extremes.weightMin;
    if (settings.autoScale != 0 && empty) {
        GraphAxisSettings manual = settings;
        manual.autoScale = 0;
        return secondary_axis(manual, quantity, extremes);
    }
    return secondary_axis(settings, quantity, extremes);
}

}  // namespace sora
