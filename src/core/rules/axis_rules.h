#pragma once

#include "core/graph_axis_settings.h"
#include "core/view_model.h"

namespace sora {

/// Automatic axis: minimum rounded down, maximum rounded *up* (so the highest point is never above the top),
/// 10 divisions. The minimum of pulse and weight axes is taken from (smallest − 1) by the caller.
AxisRange automatic_axis(double largest, double smallest);

enum class SecondaryQuantity { Pulse, Weight };

/// Blood-pressure axis from the data (automatic) or from the settings (manual).
AxisRange primary_axis(const GraphAxisSettings& settings, double largestSystolic, double smallestDiastolic);

/// Pulse or weight axis from the extremes (automatic: largest, smallest − 1) or from the settings.
AxisRange secondary_axis(const GraphAxisSettings& settings, SecondaryQuantity quantity, const DataExtremes& extremes);

/// The secondary axis of a chart that may show no value of the quantity: automatic from the extremes, but from the
/// settings' range when there is nothing to scale (largest below smallest), never an upside-down 999-to-0 axis.
AxisRange secondary_axis_for_data(const GraphAxisSettings& settings, SecondaryQuantity quantity,
                                  const DataExtremes& extremes);

/// The blood-pressure axis of a chart that may show no record: automatic from the values, but from the settings'
/// range when nothing is shown, never an upside-down 999-to-0 axis.
AxisRange primary_axis_for_data(const GraphAxisSettings& settings, bool anyShown, double largestSystolic,
                                double smallestDiastolic);

/// Manual axes only (the daily-average chart applies the settings whatever the automatic flag).
/// Every manual axis takes its pair in ascending order: a minimum stored above its maximum is drawn from the
/// smaller to the larger value.
AxisRange manual_bp_axis(const GraphAxisSettings& settings);
AxisRange manual_weight_axis(const GraphAxisSettings& settings);

}  // namespace sora
