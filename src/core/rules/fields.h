#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sora {

/// Splits one line at commas outside double quotes. Quotes are removed; blanks around an unquoted item are dropped.
/// A comma inside quotes belongs to the text; "a,,b" and "a," hold an empty field; an empty line is one empty field.
std::vector<std::string> split_fields(std::string_view line);

/// The same split into views of `line` (no copies), reusing the capacity of `fields`; for the log reader.
void split_fields(std::string_view line, std::vector<std::string_view>& fields);

/// A text field as the files write it: in double quotes (a quote inside becomes "”", the format cannot hold it).
std::string quoted(std::string_view text);
// Exact matches for std::string, so that an unqualified call inside sora never picks std::quoted by
// argument-dependent lookup (it would win over the string_view overload and yield an I/O manipulator).
inline std::string quoted(const std::string& text) {
    return quoted(std::string_view(text));
}
inline std::string quoted(std::string& text) {
    return quoted(std::string_view(text));
}
inline std::string quoted(const char* text) {
    return quoted(std::string_view(text));
}

/// Splits a file's text into lines at CR LF (a lone LF is accepted too); no empty last line for a final break.
std::vector<std::string_view> split_lines(std::string_view text);

}  // namespace sora
