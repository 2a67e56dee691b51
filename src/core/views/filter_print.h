#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace sora {

/// The printed page of the filtered list: chart picture at the top, then heading, rule and one line per row.
namespace filter_print {
/// Vertical position of the heading line, in twips from the top of the printable area.
inline constexpr double HeadingYTwips = 5000;
/// The largest chart picture: the chart's size on the original screen, ending above the heading.
inline constexpr int ChartWidthTwips = 8895;
inline constexpr int ChartHeightTwips = 4395;
/// Horizontal position of the first number of a record line, whatever the length of the situation.
inline constexpr double NumbersXTwips = 3000;
}  // namespace filter_print

/// The heading line (68 characters, ordinary and ideographic spaces).
const std::string& filter_print_heading();
/// The rule below the heading: 77 hyphen-minus characters.
const std::string& filter_print_rule();

/// One printed record line: the date at the margin, the situation at the next zone, then the five numbers
/// from NumbersXTwips on, each at the next zone after the previous text.
struct FilterPrintLine {
    std::string date;
    std::string situation;
    std::array<std::string, 5> numbers;  // systolic, diastolic, difference, pulse, weight
    bool operator==(const FilterPrintLine&) const = default;
};

/// The printed line of one grid row, from the texts the grid shows (all 16 columns, as shown).
FilterPrintLine filter_print_line(const std::vector<std::string>& gridRowTexts);

}  // namespace sora
