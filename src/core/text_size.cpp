#include "core/text_size.h"

#include <algorithm>
#include <charconv>

namespace sora {

const std::array<TextSizeInfo, 3>& text_sizes() {
    static const std::array<TextSizeInfo, 3> sizes{{
        {TextSize::Standard, "標準", 100},
        {TextSize::Larger, "大きめ", 125},
        {TextSize::Largest, "特大", 150},
    }};
    return sizes;
}

const TextSizeInfo& text_size_info(TextSize size) {
    return text_sizes()[static_cast<std::size_t>(size)];
}

double text_size_factor(TextSize size) {
    return text_size_info(size).percent / 100.0;
}

TextSize text_size_from_percent(int percent) {
    for (const TextSizeInfo& info : text_sizes()) {
        if (info.percent == percent) {
            return info.size;
        }
    }
    return TextSize::Standard;
}

std::optional<TextSize> text_size_from_text(std::string_view text) {
    int percent = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, percent);
    for (const TextSizeInfo& info : text_sizes()) {
        if (info.name == text || (!text.empty() && ec == std::errc() && ptr == end && info.percent == percent)) {
            return info.size;
        }
    }
    return std::nullopt;
}

TextSize stepped_text_size(TextSize size, int steps) {
    const int last = static_cast<int>(text_sizes().size()) - 1;
    return static_cast<TextSize>(std::clamp(static_cast<int>(size) + steps, 0, last));
}

}  // namespace sora
