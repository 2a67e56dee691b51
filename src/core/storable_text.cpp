#include "storable_text.h"

#include "text_codec.h"

namespace sora {

std::optional<std::string> storable_text(std::string_view text) {
    std::string replaced = replace_double_quotes(text);
    if (!cp932_can_hold(replaced)) {
        return std::nullopt;
    }
    return replaced;
}

}  // namespace sora
