#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace sora {

/// How large the whole window draws: its text, controls, grid rows and charts grow together.
enum class TextSize { Standard, Larger, Largest };

/// A size with its name on the settings screen and its scale in per cent.
struct TextSizeInfo {
    TextSize size;
    std::string_view name;  // "標準", "大きめ", "特大"
    int percent;
};

/// The three sizes, smallest first.
const std::array<TextSizeInfo, 3>& text_sizes();
const TextSizeInfo& text_size_info(TextSize size);
/// The scale factor of a size (1.0, 1.25, 1.5).
double text_size_factor(TextSize size);
/// The size stored as a percentage; anything else (an old or hand-edited preference) is the standard size.
TextSize text_size_from_percent(int percent);
/// A size by its name or its percentage ("大きめ", "125"); nothing for any other text.
std::optional<TextSize> text_size_from_text(std::string_view text);
/// The size `steps` larger (negative: smaller), held at the smallest and the largest.
TextSize stepped_text_size(TextSize size, int steps);

}  // namespace sora
