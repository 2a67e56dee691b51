#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/colour.h"

namespace sora {

/// One cell of a grid as a screen shows it.
struct GridCell {
    std::string text;
    std::optional<Colour> background;  // none: the grid's own background
    bool operator==(const GridCell&) const = default;
};

using GridRow = std::vector<GridCell>;

enum class Align { Left, Centre, Right };

/// A column of a grid: heading, width in twips, alignment of data and of the heading.
struct GridColumn {
    std::string heading;
    int widthTwips = 0;
    Align align = Align::Right;
    Align headingAlign = Align::Centre;
};

/// A grid as a screen shows it: columns, data rows (heading row not included), the row to scroll to the top.
struct GridView {
    std::vector<GridColumn> columns;
    std::vector<GridRow> rows;
    std::optional<int> topRow;  // grid row (1-based, heading is 0) to make the top visible row
};

/// A value axis: range and number of major divisions.
struct AxisRange {
    double minimum = 0;
    double maximum = 0;
    int divisions = 10;
    bool operator==(const AxisRange&) const = default;
};

/// The data of a trend chart: rows of systolic, diastolic, pulse, weight.
using ChartRow = std::array<float, 4>;

/// The pulse and weight extremes of the last chart drawn (largest start at 0, smallest at 999); a value not
/// measured takes no part.
struct DataExtremes {
    float pulseMax = 0;
    float pulseMin = 999;
    float weightMax = 0;
    float weightMin = 999;
    bool operator==(const DataExtremes&) const = default;

    void add(float pulse, float weight);
};

}  // namespace sora
