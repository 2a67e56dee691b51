#include "core/rules/control_characters.h"

namespace sora {
namespace {

/// The length of the control character at `i` (1, or 2 for C1 in UTF-8); 0 for any other character.
std::size_t control_length(std::string_view text, std::size_t i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
        return 1;
    }
    if (byte == 0xC2 && i + 1 < text.size()) {
        const auto next = static_cast<unsigned char>(text[i + 1]);
        return next >= 0x80 && next <= 0x9F ? 2 : 0;
    }
    return 0;
}

}  // namespace

std::string blank_control_characters(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (const std::size_t length = control_length(text, i); length != 0) {
            out += ' ';
            i += length;
        } else {
            out += text[i++];
        }
    }
    return out;
}

bool has_control_characters(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (control_length(text, i) != 0) {
            return true;
        }
    }
    return false;
}

}  // namespace sora
