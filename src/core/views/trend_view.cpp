#include "core/views/trend_view.h"

#include <algorithm>

#include "core/rules/axis_rules.h"
#include "core/rules/dates.h"
#include "core/rules/measured.h"
#include "core/rules/numbers.h"

namespace sora {

TrendView build_trend_view(const std::vector<MeasurementRecord>& records, const GraphAxisSettings& settings,
                           SeriesMode mode) {
    TrendView view;
    for (auto& series : view.series) {
        series.reserve(records.size());
    }
    bool anySystolic = false;
    bool anyDiastolic = false;
    for (const MeasurementRecord& record : records) {
        view.series[0].push_back(chart_point(record.systolic));
        view.series[1].push_back(chart_point(record.diastolic));
        view.series[2].push_back(chart_point(record.pulse));
        view.series[3].push_back(chart_point(record.weight));
        if (is_measured(record.systolic)) {
            anySystolic = true;
            view.largestSystolic = std::max(view.largestSystolic, record.systolic);
        }
        if (is_measured(record.diastolic)) {
            anyDiastolic = true;
            view.smallestDiastolic = std::min(view.smallestDiastolic, record.diastolic);
        }
        view.extremes.add(record.pulse, record.weight);
    }
    view.primary =
        primary_axis_for_data(settings, anySystolic && anyDiastolic, view.largestSystolic, view.smallestDiastolic);
    view.secondary = trend_secondary_axis(settings, secondary_quantity(mode), view.extremes);
    if (!records.empty()) {
        view.startLine = trend_start_line(records.front());
        view.currentLine = trend_current_line(records.front(), records.back());
    }
    return view;
}

AxisRange trend_secondary_axis(const GraphAxisSettings& settings, SecondaryQuantity quantity,
                               const DataExtremes& extremes) {
    return secondary_axis_for_data(settings, quantity, extremes);
}

namespace {

/// A value of the lines, "—" when it was not measured.
std::string line_value(float value) {
    return is_measured(value) ? format_number(value) : "—";
}

}  // namespace

std::string trend_start_line(const MeasurementRecord& first) {
    return first.date + " ( " + line_value(first.systolic) + "mmHg / " + line_value(first.diastolic) + "mmHg / " +
           line_value(first.pulse) + "拍/分 ) でスタート";
}

std::string trend_current_line(const MeasurementRecord& first, const MeasurementRecord& last) {
    return last.date + " 現在  " + std::to_string(days_elapsed(first.date, last.date)) + "日経過 ( " +
           line_value(last.systolic) + "mmHg / " + line_value(last.diastolic) + "mmHg / " + line_value(last.pulse) +
           "拍/分 )";
}

long long days_elapsed(const std::string& firstDate, const std::string& lastDate) {
    const auto first = parse_date(firstDate);
    const auto last = parse_date(lastDate);
    if (!first || !last) {
        return 0;
    }
    return last->serial() - first->serial();
}

std::string trend_help_text() {
    return "血圧測定を開始した日から現在までの推移を表示します。\r\n\r\n"
           "青線は入力した最高血圧データです。\r\n\r\n"
           "赤線は入力した最低血圧データです。\r\n\r\n"
           "黄色の棒グラフは脈拍データです。\r\n\r\n"
           "緑線は入力した体重データです。\r\n";
}

}  // namespace sora
