#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/graph_axis_settings.h"
#include "core/rules/axis_rules.h"
#include "core/rules/change_marks.h"
#include "core/rules/measurement_record.h"
#include "core/view_model.h"

namespace sora {

/// The five listings of the filtered view: all records, or the period with keyword and/or weekday.
enum class FilterListing {
    All,            // DSP_TAIJYU
    Period,         // DSP_TAIJYU_KIKAN
    Keyword,        // DSP_TAIJYU_KEY
    Weekday,        // DSP_TAIJYU_WEEK
    WeekdayKeyword  // DSP_TAIJYU_WEEKKEY
};

/// The selected weekday when none is chosen.
inline constexpr int NoWeekday = 99;

/// What the view's controls hold: the two period box texts, the keyword box text, the selected weekday.
struct FilterCriteria {
    std::string periodStart;
    std::string periodEnd;
    std::string keyword;
    int weekday = NoWeekday;
};

/// The grid columns of the filtered view.
namespace filter_col {
inline constexpr int Number = 0, Date = 1, Weekday = 2, Situation = 3, ClassColour = 4, Systolic = 5,
                     SystolicChange = 6, SystolicArrow = 7, Diastolic = 8, DiastolicChange = 9, DiastolicArrow = 10,
                     Difference = 11, Pulse = 12, Weight = 13, WeightChange = 14, WeightArrow = 15, Count = 16;
}

/// Systolic, diastolic and weight of the last listed readings that have them, before a listed reading; 0 where no
/// listed reading had the value yet.
using ChangeReference = std::array<float, 3>;

/// What one listing run selects, everything but the grid texts: the listed records, chart rows, range values,
/// axis ranges and, for the listing of all records, the dates for the period boxes.
struct FilterSelection {
    std::vector<std::size_t> listed;          // indices into the records, in list order
    std::vector<ChangeReference> references;  // what each listed reading's changes compare with
    std::vector<ChartRow> chartRows;          // one per listed record, in list order
    AxisRange primary;
    AxisRange secondary;
    DataExtremes extremes;  // pulse and weight of the listed records; the mode options rescale from them
    float systolicMax = 0;
    float diastolicMin = 999;
    /// Only the listing of all records: each date of the log once per change of date, in file order.
    std::vector<std::string> periodDates;
    /// The grid row to bring to the top (see filter_top_row).
    std::optional<int> topRow;
};

/// A listing run with every grid row written out.
struct FilterView : FilterSelection {
    GridView grid;
};

/// The selection rule DSP_TAIJYU_SEL: which filtered listing the keyword and the weekday ask for.
/// A keyword of blanks counts as a keyword.
FilterListing select_listing(std::string_view keyword, int weekday);

/// Whether a record passes the test of a listing (period ends inclusive, dates compared as text).
bool is_listed(FilterListing listing, const FilterCriteria& criteria, const MeasurementRecord& record);

/// The 16 headings, widths in twips and alignments of the grid msgBunseki.
const std::vector<GridColumn>& filter_columns();

/// The grid row to bring to the top for a listing of `listedRows` records: the last row when the grid
/// (heading included) has more than 11 rows, else none (stay at the top).
std::optional<int> filter_top_row(std::size_t listedRows);

/// The secondary axis of the filtered view: from the settings, or from the extremes when automatic.
/// Extremes without any value of that quantity (largest below smallest) fall back to the settings' range.
AxisRange filter_secondary_axis(const GraphAxisSettings& settings, SecondaryQuantity quantity,
                                const DataExtremes& extremes);

/// One listing run over the records of the log in file order: which records are listed, and their chart rows,
/// ranges and axes. The grid rows come from filter_grid_row, so a long list is only written out where shown.
FilterSelection select_filter_records(const std::vector<MeasurementRecord>& records, FilterListing listing,
                                      const FilterCriteria& criteria, const GraphAxisSettings& settings,
                                      SecondaryQuantity quantity);

/// Grid row n (from 0) of a selection: texts and colours, each change taken against the last listed reading before
/// it that has the value.
GridRow filter_grid_row(const std::vector<MeasurementRecord>& records, const FilterSelection& selection, std::size_t n);

/// A listing run with all grid rows written out.
FilterView build_filter_listing(const std::vector<MeasurementRecord>& records, FilterListing listing,
                                const FilterCriteria& criteria, const GraphAxisSettings& settings,
                                SecondaryQuantity quantity);

}  // namespace sora
