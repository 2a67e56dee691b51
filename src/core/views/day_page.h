#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app_state.h"
#include "core/files/log_cache.h"
#include "core/graph_axis_settings.h"
#include "core/rules/axis_rules.h"
#include "core/rules/change_marks.h"
#include "core/rules/classification.h"
#include "core/rules/measurement_record.h"
#include "core/view_model.h"
#include "core/views/judgement_chart.h"

namespace sora {

/// The columns of the day list msgDayList.
namespace day_col {
inline constexpr int Number = 0, Situation = 1, ClassColour = 2, Systolic = 3, SystolicChange = 4, SystolicArrow = 5,
                     Diastolic = 6, DiastolicChange = 7, DiastolicArrow = 8, Difference = 9, Pulse = 10, Weight = 11,
                     WeightChange = 12, WeightArrow = 13, Count = 14;
}

/// Rows and columns of the sixteen statistics labels.
enum class StatQuantity { Systolic = 0, Diastolic = 1, Pulse = 2, Difference = 3 };
enum class StatKind { Maximum = 0, Minimum = 1, Range = 2, Average = 3 };
using DayStatistics = std::array<std::array<std::string, 4>, 4>;  // [quantity][kind]

/// Everything the main screen shows for one day.
struct DayPage {
    bool ok = true;       // false: the log could not be read; the page is empty and `message` says why
    std::string message;  // names the file and line

    GridView list;  // msgDayList: columns, one row per measurement, the row to scroll to the top
    std::vector<std::size_t> recordIndices;  // the place in the log (from 0) of each listed measurement
    FileStamp stamp;                         // the log as it was read, for a correction of a listed record
    DayStatistics statistics;                // "0" everywhere for a day without measurements
    std::vector<ChartRow> chartRows;
    AxisRange primary;
    AxisRange secondary;
    float largestSystolic = 0;
    float smallestDiastolic = 999;
    DataExtremes extremes;  // pulse and weight of the day's measurements

    std::string startDate;   // first record of the log
    std::string latestDate;  // last record of the log
    std::size_t recordCount = 0;
    std::size_t measurements = 0;  // of the selected day
    PreviousMeasurement previous;  // latest of the day, else the last record of the log

    Judgement judgement;  // of `previous`; "本日未登録" on white for a day without measurements
    Face face = Face::None;
    int pointerX = 0;                  // twips, the class's scale position
    int pointerY = 900;                // twips; 750 for "収縮期高血圧"
    std::vector<JudgementMark> marks;  // one per measurement, then today's latest (light blue) when there is one
};

/// The fourteen headings, widths in twips and alignments of msgDayList.
const std::vector<GridColumn>& day_list_columns();

/// Builds the day page of `selectedDate` ("yyyy/mm/dd") from every record of the log in file order, in one pass.
/// The secondary axis is scaled for `quantity` (the selected series mode).
DayPage build_day_page(const std::vector<MeasurementRecord>& records, std::string_view selectedDate,
                       const GraphAxisSettings& settings, SecondaryQuantity quantity);

/// The day page from the log as read; a read error gives the empty page with ok = false.
DayPage day_page_of(const SharedLog& log, std::string_view selectedDate, const GraphAxisSettings& settings,
                    SecondaryQuantity quantity);

/// The grid row to bring to the top: the last row when the list (heading included) has more than 7 lines.
std::optional<int> day_list_top_row(std::size_t measurements);

/// The main chart's secondary axis: from the settings, or automatic from the extremes. Extremes without any
/// value of the quantity (largest below smallest: an empty day) fall back to the settings' range.
AxisRange main_secondary_axis(const GraphAxisSettings& settings, SecondaryQuantity quantity,
                              const DataExtremes& extremes);

/// Vertical twips of the pointer above the class scale: 750 for "収縮期高血圧", 900 otherwise.
int pointer_top(std::string_view className);

}  // namespace sora
