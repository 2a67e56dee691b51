#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/rules/measurement_record.h"
#include "core/view_model.h"

namespace sora {

/// How a sort button compares its column.
enum class SortKeyKind { Numeric, Text };

/// One of the nine sort buttons cmdSort1 … cmdSort9.
struct SortButtonInfo {
    std::string_view objectName;
    std::string_view caption;
    int column;  // key column of the list
    SortKeyKind kind;
};

/// The nine buttons in order; index 0 is cmdSort1.
const std::array<SortButtonInfo, 9>& sort_buttons();

/// The eleven columns of the list; column 10 holds the class name and is not visible (width 0).
std::vector<GridColumn> sorted_list_columns();

/// The row of one record: `number` is its position in the log from 1; the class colour in column 3, the class
/// name in the hidden column 10.
GridRow sorted_list_row(std::size_t number, const MeasurementRecord& record);

/// The grid row to scroll to the top for `records` rows: the last one when there are more than 24 rows with the
/// heading, none otherwise.
std::optional<int> sorted_list_top_row(std::size_t records);

/// One row per record in file order with its class colour; scrolled to the last row when there are more than 24
/// rows with the heading.
GridView build_sorted_list(const std::vector<MeasurementRecord>& records);

/// The help-tour text of the list screen (CR LF line breaks).
std::string sorted_list_help_text();

/// The direction flags of the nine buttons. Every flag starts so that the next click sorts ascending and flips on
/// each click; the flags are independent of each other.
class SortDirections {
public:
    /// The direction for a click on button `index` (0–8): true for ascending. Flips that button's flag.
    bool click(int index);
    /// What the next click on button `index` would do, without changing anything.
    bool nextAscending(int index) const;

private:
    std::array<bool, 9> m_descendingNext{};
};

}  // namespace sora
