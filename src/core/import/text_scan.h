#pragma once

#include <cctype>
#include <cstddef>
#include <string_view>

/// Small steps of reading a date, a time or a zone out of a cell, each moving `pos` past what it read.
namespace sora::text_scan {

/// Up to `maxDigits` digits at `pos` as a number; -1 when there are none. `digits` gets how many were read.
inline int read_digits(std::string_view text, std::size_t& pos, std::size_t maxDigits, std::size_t& digits) {
    int value = 0;
    digits = 0;
    while (pos < text.size() && digits < maxDigits && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++digits;
    }
    return digits == 0 ? -1 : value;
}

inline int read_digits(std::string_view text, std::size_t& pos, std::size_t maxDigits) {
    std::size_t digits = 0;
    return read_digits(text, pos, maxDigits, digits);
}

/// Whether `what` stands at `pos`; if so, `pos` moves past it.
inline bool skip(std::string_view text, std::size_t& pos, std::string_view what) {
    if (text.substr(pos).starts_with(what)) {
        pos += what.size();
        return true;
    }
    return false;
}

inline void skip_blanks(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
}

}  // namespace sora::text_scan
