#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_view.h"
#include "core/graph_axis_settings.h"
#include "core/rules/dates.h"
#include "core/rules/measurement_record.h"

namespace cli {

/// What every command reads: the log, the graph settings and "today".
struct CommandInput {
    std::vector<sora::MeasurementRecord> records;
    sora::GraphAxisSettings axes;
    sora::Date today;
};

CliView day_view(const CommandInput& input, const std::string& date);
CliView filter_view(const CommandInput& input, const std::string& from, const std::string& to, int weekday,
                    const std::string& keyword);
/// Whole log when `from` and `to` are empty; nullopt with `message` when a period text is not a date.
std::optional<CliView> averages_view(const CommandInput& input, const std::string& from, const std::string& to,
                                     std::string& message);
/// Sorted by a column (0–10) when `sortColumn` is set, as the list screen's buttons sort it.
CliView list_view(const CommandInput& input, std::optional<int> sortColumn, bool descending);
CliView calendar_view(const CommandInput& input, bool simple);
CliView trend_view(const CommandInput& input);
CliView diary_view(const CommandInput& input);

}  // namespace cli
