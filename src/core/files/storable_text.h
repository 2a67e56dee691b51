#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sora {

/// A text typed by the user as the files can hold it: every double quote becomes "”", every line break (CR LF,
/// CR or LF, from a pasted text) and every other control character but the tab a blank; nullopt when a character has no
/// CP932 form (an emoji, say), so that the caller refuses it before anything is written.
std::optional<std::string> storable_text(std::string_view text);

}  // namespace sora
