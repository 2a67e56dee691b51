#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/view_model.h"

namespace cli {

/// A named value axis of a chart.
struct NamedAxis {
    std::string name;  // "primary", "secondary"
    sora::AxisRange range;
};

/// What one command prints: the grid as the screen shows it, the chart rows, the axes and named values.
struct CliView {
    std::string command;
    sora::GridView grid;
    std::vector<std::string> chartSeries;        // names of the chart columns
    std::vector<std::vector<double>> chartRows;  // NaN where a point has no value
    std::vector<NamedAxis> axes;
    std::vector<std::pair<std::string, std::string>> values;  // labels and other values, in screen order
};

/// "#RRGGBB".
std::string hex_colour(const sora::Colour& colour);

/// Tab-separated: the heading row, the data rows, a "colours" block, a "chart" block, then name<TAB>value lines.
std::string to_text(const CliView& view);
/// The same, written row by row to `out`.
void write_text(const CliView& view, std::ostream& out);
/// The whole view as one JSON object.
std::string to_json(const CliView& view);
/// The same, written row by row to `out`: the memory of a long list is its rows, never a second copy as JSON.
void write_json(const CliView& view, std::ostream& out);

}  // namespace cli
