#pragma once

#include <string>
#include <vector>

#include "core/import/csv_table.h"
#include "core/import/import_dates.h"
#include "core/import/import_row.h"

namespace sora {

/// What a column of a CSV of unknown layout holds, as the mapping step names it.
enum class ColumnRole { Ignore, Date, Time, DateTime, Systolic, Diastolic, Pulse, Weight, Note };

/// Every role in the order the mapping step offers them.
inline constexpr ColumnRole AllColumnRoles[] = {ColumnRole::Ignore,   ColumnRole::Date,     ColumnRole::Time,
                                                ColumnRole::DateTime, ColumnRole::Systolic, ColumnRole::Diastolic,
                                                ColumnRole::Pulse,    ColumnRole::Weight,   ColumnRole::Note};

/// "使わない", "日付", "時刻", "日付と時刻", "最高血圧", "最低血圧", "脈拍", "体重", "一言日記".
const char* column_role_name(ColumnRole role);

/// How the columns of a CSV of unknown layout are read.
struct CsvMapping {
    bool hasHeading = true;  ///< the first record names the columns and is no reading
    std::vector<ColumnRole> roles;
    bool operator==(const CsvMapping&) const = default;
};

/// A first guess from the headings (日付, 最高血圧, Systolic, …) or, without headings, from the first values.
CsvMapping guess_mapping(const std::vector<CsvRecord>& records);

/// Why the mapping cannot read the file ("日付の列を選んでください"); empty when it can.
std::string mapping_problem(const CsvMapping& mapping);

/// Reads the records by the mapping (the heading record left out when it has one), dates written with numbers only
/// in that order, Unix timestamps as this computer's local time (said in a remark). When `vote` is given, each
/// row's date text is added to it.
ImportRead read_generic_csv(const NextCsvRecord& next, const CsvMapping& mapping, DateOrder order = DateOrder::Ymd,
                            DateOrderVote* vote = nullptr);

}  // namespace sora
