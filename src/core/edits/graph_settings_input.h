#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/graph_axis_settings.h"

namespace sora {

/// Number of value boxes of the graph settings (three per axis: maximum, minimum, divisions).
inline constexpr int GraphBoxCount = 9;

/// The nine box texts in the order bp max, min, divisions, pulse max, min, divisions, weight max, min, divisions.
using GraphBoxTexts = std::array<std::string, GraphBoxCount>;

/// A box text (read through half_width_number) as a 16-bit value: a plain decimal rounded to the nearest whole number,
/// a half to the even neighbour (12.5 → 12, 13.5 → 14); nullopt when it is not a number or lies outside −32768..32767
/// after rounding.
std::optional<std::int16_t> parse_axis_value(std::string_view text);

/// Outcome of reading the nine boxes: the settings, or the first box (0–8) that cannot be taken.
struct GraphSettingsInput {
    std::optional<GraphAxisSettings> settings;
    int badBox = -1;
};

/// Reads the nine boxes into settings with the automatic flag as given (1 automatic, 0 manual). In automatic mode
/// the boxes are disabled and not checked: a text that cannot be taken keeps the value of `stored`, while the
/// others are stored as they stand.
GraphSettingsInput parse_graph_settings(const GraphBoxTexts& texts, bool automatic, const GraphAxisSettings& stored);

/// The question asked before saving manual settings in which a minimum is not below its maximum, naming every
/// such pair: "血圧の最小値（200）が最大値（180）以上です。このまま保存しますか？". Empty when there is nothing
/// to ask: all pairs in order, or automatic settings (whose boxes are disabled and not checked).
std::string graph_pair_question(const GraphAxisSettings& settings);
std::string graph_pair_question_title();

/// The nine values of the settings as box texts, in box order.
GraphBoxTexts graph_settings_texts(const GraphAxisSettings& settings);

/// The message title and text that refuse box `index` (0–8), naming it as the screen labels it.
std::string graph_box_refusal_title();
std::string graph_box_refusal_text(int index);

}  // namespace sora
