#include "core/files/storable_text.h"

#include <algorithm>

#include "core/files/text_codec.h"
#include "core/rules/control_characters.h"

namespace sora {

std::optional<std::string> storable_text(std::string_view text) {
    // Printable ASCII without a double quote is stored as it is: the usual note of an imported file.
    if (std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7f && c != '"'; })) {
        return std::string(text);
    }
    std::string replaced = replace_double_quotes(text);
    // A single-line box keeps the line breaks of a pasted text; in a file they would split the line or the item.
    std::string oneLine;
    oneLine.reserve(replaced.size());
    for (std::size_t i = 0; i < replaced.size(); ++i) {
        if (replaced[i] == '\r' || replaced[i] == '\n') {
            if (replaced[i] == '\r' && i + 1 < replaced.size() && replaced[i + 1] == '\n') {
                ++i;
            }
            oneLine += ' ';
        } else {
            oneLine += replaced[i];
        }
    }
    // Other control characters (an escape sequence from a file or a paste) would act on a terminal that shows them.
    std::string plain = blank_control_characters(oneLine);
    if (!cp932_can_hold(plain)) {
        return std::nullopt;
    }
    return plain;
}

}  // namespace sora
