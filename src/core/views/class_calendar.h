#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/rules/dates.h"
#include "core/rules/measurement_record.h"
#include "core/view_model.h"

namespace sora {

/// Detailed: one colour per class; simple: green for the normal range, red for the hypertension range.
enum class CalendarMode { Detailed, Simple };

/// The face that sums up normal-range days against hypertension days.
enum class CalendarFace { Laughing, Smiling, Sad };

/// What the calendar screen shows.
struct CalendarView {
    GridView grid;                           // "年月" and days 1–31; one row per month as it first appears
    std::array<int, 7> classDays{};          // days per class, index 0 is class 1
    int measuredDays = 0;                    // sum of classDays
    int notMeasuredDays = 0;                 // since the start date up to today, both included; never negative
    int normalDays = 0;                      // classes 1–3
    int highDays = 0;                        // classes 4–7
    std::array<std::string, 7> classLabels;  // "至摘 3" … for lblHan1 … lblHan7
    std::string notMeasuredLabel;            // lblNon_c: "未計測 6"
    std::string normalLabel;                 // lblGenT: "12日"
    std::string highLabel;                   // lblZouT
    std::string sign;                        // lblHugou: ">", "=", "<" (normal against hypertension)
    CalendarFace face = CalendarFace::Smiling;
    /// Per grid row, what a screen reader says for each day cell with measurements ("2月9日 正常高値血圧 2回");
    /// the colour alone says nothing to someone who cannot see it.
    std::vector<std::array<std::string, 32>> dayNames;
};

/// The 32 columns of the calendar grid.
std::vector<GridColumn> calendar_columns();

/// Paints each day by the class of its first record. `startDate` ("yyyy/mm/dd", the main screen's start date) and
/// `today` give the days without measurement; an empty or invalid start date falls back to the first record's.
CalendarView build_class_calendar(const std::vector<MeasurementRecord>& records, CalendarMode mode,
                                  std::string_view startDate, const Date& today);

/// The help-tour text of the calendar screen (CR LF line breaks).
std::string calendar_help_text();

/// The date of a double-clicked cell: the row's month text "yyyy年mm月" and the column as day of month. Nothing
/// for column 0, a day the month does not have, or a row without a month.
std::optional<Date> calendar_cell_date(std::string_view monthText, int column);

}  // namespace sora
