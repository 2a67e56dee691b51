#pragma once

#include <string_view>

#include "core/import/import_row.h"

namespace sora {

/// True when the bytes read as a whole measurement log of this program (a kept copy, or the copy a sync tool made of
/// the log when two PCs saved while apart): every line a record.
bool is_own_log(std::string_view bytes);

/// Reads a measurement log as import rows: each record with its situation, its time of saving (when its diary text
/// begins with one) and the rest of its diary text, so that a reading the diary has already is found as such.
ImportRead read_own_log(std::string_view bytes, std::string_view fileName);

}  // namespace sora
