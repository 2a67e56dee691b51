#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sora {

/// Decodes CP932 bytes to UTF-8; nullopt when the bytes are not valid CP932.
std::optional<std::string> cp932_to_utf8(std::string_view cp932);

/// Encodes UTF-8 text as CP932; nullopt when a character has no CP932 form (an emoji, say).
std::optional<std::string> utf8_to_cp932(std::string_view utf8);

/// True when every character of the UTF-8 text can be stored in CP932.
bool cp932_can_hold(std::string_view utf8);

/// Replaces every double quote (which the file format cannot hold) by "”".
std::string replace_double_quotes(std::string_view text);

}  // namespace sora
