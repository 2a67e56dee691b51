#pragma once

#include <string>
#include <vector>

#include "core/import/csv_table.h"
#include "core/import/import_row.h"

namespace sora {

/// The kind of a CSV file from its first record: our own export, OMRON connect, Withings or Samsung Health (whose
/// first record is a title line); Generic otherwise.
ImportKind csv_kind(const std::vector<std::string>& heading);

/// Reads the records of a file of that kind (OwnCsv, Omron, Withings or SamsungHealth), its heading first (after
/// Samsung Health's title line), into rows.
ImportRead read_known_csv(ImportKind kind, const NextCsvRecord& next);

/// The column whose heading is one of `names` (compared without case and blanks around); -1 when none is.
int find_column(const std::vector<std::string>& heading, std::initializer_list<std::string_view> names);

/// Marks a row that has one blood pressure value without the other, or no value at all, as unreadable.
void require_values(ImportRow& row);

}  // namespace sora
