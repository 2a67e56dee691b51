#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/graph_axis_settings.h"
#include "core/rules/axis_rules.h"
#include "core/rules/measurement_record.h"
#include "core/rules/series_mode.h"
#include "core/view_model.h"

namespace sora {

/// The long-term graph as its screen shows it: one chart point per record, axes, start and current lines.
struct TrendView {
    /// Systolic, diastolic, pulse, weight; point i is record i of the log (several a day stay separate points).
    std::array<std::vector<double>, 4> series;
    AxisRange primary;
    AxisRange secondary;
    /// Pulse and weight extremes over the whole log, for the series-mode buttons.
    DataExtremes extremes;
    float largestSystolic = 0;
    float smallestDiastolic = 999;
    std::string startLine;    // lblNichis
    std::string currentLine;  // lblKiro

    std::size_t pointCount() const { return series[0].size(); }
};

/// Builds the long-term graph from every record of the log; the secondary axis is scaled for the quantity of `mode`
/// (the mode selected before the screen switches to weight mixed). No records: empty series and empty lines, and
/// the axes from the settings' ranges even when they are automatic.
TrendView build_trend_view(const std::vector<MeasurementRecord>& records, const GraphAxisSettings& settings,
                           SeriesMode mode);

/// The secondary axis of the long-term graph: from the settings, or automatic from the extremes. Extremes without
/// any value of the quantity (an empty log, no weight recorded) fall back to the settings' range, as on the other
/// charts.
AxisRange trend_secondary_axis(const GraphAxisSettings& settings, SecondaryQuantity quantity,
                               const DataExtremes& extremes);

/// "2005/02/01 ( 120mmHg / 80mmHg / 70拍/分 ) でスタート".
std::string trend_start_line(const MeasurementRecord& first);

/// "2005/03/01 現在  28日経過 ( 125mmHg / 82mmHg / 68拍/分 )"; the first day counts as 0.
std::string trend_current_line(const MeasurementRecord& first, const MeasurementRecord& last);

/// Days from the first date to the last; 0 when either date cannot be read.
long long days_elapsed(const std::string& firstDate, const std::string& lastDate);

/// The help-tour text of the long-term graph.
std::string trend_help_text();

}  // namespace sora
