#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/rules/measurement_record.h"
#include "core/view_model.h"

namespace sora {

/// The column of msgMemoList that holds the diary text.
inline constexpr int DiaryTextColumn = 9;

/// A list of more grid rows than this (heading included) is scrolled so that its last row is on top.
inline constexpr std::size_t DiaryVisibleRows = 16;

/// The ten columns of msgMemoList: headings, widths in twips, alignments.
std::vector<GridColumn> diary_columns();

/// One row of msgMemoList: number, date, situation, class colour, systolic, diastolic, difference, pulse, weight,
/// diary text. `number` is the record's position in the log, from 1.
GridRow diary_row(std::size_t number, const MeasurementRecord& record);

/// The grid row to scroll to the top for a list of `records` rows: the last one when the grid holds more than
/// 16 rows with the heading, none otherwise.
std::optional<int> diary_top_row(std::size_t records);

/// The diary list: one row per record in log order, scrolled to the last row when the grid holds more than 16 rows.
GridView build_diary_view(const std::vector<MeasurementRecord>& records);

/// The help-tour text of the diary screen.
std::string diary_help_text();

}  // namespace sora
