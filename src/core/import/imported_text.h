#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/import/import_row.h"

namespace sora {

/// The longest diary text a reading may bring: what the entry panel's text box takes.
inline constexpr std::size_t MaxImportedDiaryChars = 32767;
/// The longest situation a reading may bring: an item the situation lists show on one line.
inline constexpr std::size_t MaxImportedSituationChars = 100;

/// The characters of a UTF-8 text (its limits are counted in characters, as the entry panel counts them).
std::size_t utf8_characters(std::string_view utf8);

/// Makes a row's texts fit for the diary: control characters (tabs too, in a situation) become blanks. A text
/// longer than the limits above makes the row unreadable, with the reason.
void fit_imported_texts(ImportRow& row);

}  // namespace sora
