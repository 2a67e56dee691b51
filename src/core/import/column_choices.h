#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/generic_csv.h"

namespace sora {

/// The role a name stands for: a role's name as the mapping step shows it, or メモ for 一言日記; nullopt otherwise.
std::optional<ColumnRole> column_role_from_name(std::string_view name);

/// Sets roles in a mapping from "ROLE=COLUMN,…" as typed on the command line: COLUMN is a 1-based number or a
/// heading of the file's first record. A role given to a column is taken from any other column that had it.
/// Returns why the text cannot be used (Japanese), empty when it was applied.
std::string apply_column_choices(std::string_view text, const std::vector<std::string>& heading, CsvMapping& mapping);

}  // namespace sora
