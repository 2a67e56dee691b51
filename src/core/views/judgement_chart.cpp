#include "core/views/judgement_chart.h"

#include <algorithm>
#include <cmath>

namespace sora {

namespace {

/// Nearest whole number, halves to the even neighbour (independent of the floating-point rounding mode).
/// Far-off values are clamped so that a corrupt log cannot overflow the conversion.
int round_half_even(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    value = std::clamp(value, -1e9, 1e9);
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) {
        rounded = below + 1;
    }
    return static_cast<int>(rounded);
}

}  // namespace

JudgementMark judgement_mark(float systolic, float diastolic, bool todaysLatest) {
    using namespace judgement_chart;
    JudgementMark mark;
    if (todaysLatest) {
        mark.radius = 70;
        mark.colour = colours::TodayMark;
    }
    // The circle and its line stay inside the plot: a high or far-off value sits against the border, whole.
    const int reach = mark.radius + MarkLineWidth / 2;
    const int y = round_half_even(5500.0 - 25.0 * static_cast<double>(systolic));
    const int x = round_half_even(50.0 * static_cast<double>(diastolic) - 2000.0);
    // On the border itself a reading is still on the chart.
    mark.outsideY = y < PlotTop ? -1 : y > PlotBottom ? 1 : 0;
    mark.outsideX = x < PlotLeft ? -1 : x > PlotRight ? 1 : 0;
    mark.y = std::clamp(y, PlotTop + reach, PlotBottom - reach);
    mark.x = std::clamp(x, PlotLeft + reach, PlotRight - reach);
    return mark;
}

}  // namespace sora
