#pragma once

#include <string>
#include <string_view>

namespace sora {

/// `text` (UTF-8) with every control character as a blank: C0 but the tab, DEL and C1 (U+0080–U+009F). A file from
/// outside may hold escape sequences that clear a terminal or set a window's title; they are never stored.
std::string blank_control_characters(std::string_view text);

/// True when `text` holds a character blank_control_characters replaces.
bool has_control_characters(std::string_view text);

}  // namespace sora
