#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sora {

/// Splits one line at commas outside double quotes. Quotes are removed; blanks around an unquoted item are dropped.
std::vector<std::string> split_fields(std::string_view line);

/// A text field as the files write it: in double quotes.
std::string quoted(std::string_view text);

/// Splits a file's text into lines at CR LF (a lone LF is accepted too); no empty last line for a final break.
std::vector<std::string_view> split_lines(std::string_view text);

}  // namespace sora
