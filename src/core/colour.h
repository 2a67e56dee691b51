#pragma once

#include <cstdint>

namespace sora {

/// A 24-bit colour as red, green, blue.
struct Colour {
    std::uint8_t r = 255;
    std::uint8_t g = 255;
    std::uint8_t b = 255;

    /// The value in the window system's order (blue in the high byte), as stored by the original files.
    constexpr std::uint32_t bgr24() const { return (std::uint32_t{b} << 16) | (std::uint32_t{g} << 8) | r; }
    constexpr bool operator==(const Colour&) const = default;
};

namespace colours {
inline constexpr Colour White{255, 255, 255};
inline constexpr Colour ChangeUp{255, 192, 192};    // "↑"
inline constexpr Colour ChangeSame{255, 255, 192};  // "→"
inline constexpr Colour ChangeDown{192, 255, 192};  // "↓"
inline constexpr Colour Highlight{255, 255, 192};   // highlighted buttons of the filtered view
inline constexpr Colour Reminder{255, 224, 192};    // light orange: unsaved order, calendar mode button
inline constexpr Colour TodayMark{0, 255, 255};     // today's latest mark on the judgement chart
}  // namespace colours

}  // namespace sora
