#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sora {

/// The text encodings an imported file may have.
enum class TextEncoding { Utf8, Utf8Bom, Cp932, Utf16Le, Utf16Be };

/// "UTF-8", "UTF-8 (BOM付き)", "Shift_JIS (CP932)", "UTF-16 LE", "UTF-16 BE".
const char* encoding_name(TextEncoding encoding);

/// The encoding of a text file from its bytes: a byte order mark decides; without one, UTF-16 shows as zero bytes
/// in every other place, valid UTF-8 is UTF-8, and what decodes as CP932 is CP932. nullopt for bytes that are no
/// text in any of them (a picture, an executable).
std::optional<TextEncoding> detect_encoding(std::string_view bytes);

/// The text as UTF-8 without its byte order mark; nullopt when the bytes are not valid in that encoding.
std::optional<std::string> decode_text(std::string_view bytes, TextEncoding encoding);

/// The same for UTF-8 bytes without a copy: the bytes past the byte order mark, or nullopt when not valid UTF-8.
std::optional<std::string_view> utf8_text(std::string_view bytes);

}  // namespace sora
