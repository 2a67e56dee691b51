#include "core/edits/graph_settings_input.h"

#include <cmath>

#include "core/rules/numbers.h"

namespace sora {

namespace {

std::array<std::int16_t GraphAxisSettings::*, GraphBoxCount> box_fields() {
    return {&GraphAxisSettings::bpMax,     &GraphAxisSettings::bpMin,     &GraphAxisSettings::bpDivisions,
            &GraphAxisSettings::pulseMax,  &GraphAxisSettings::pulseMin,  &GraphAxisSettings::pulseDivisions,
            &GraphAxisSettings::weightMax, &GraphAxisSettings::weightMin, &GraphAxisSettings::weightDivisions};
}

double round_half_even(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5) {
        return lower + 1;
    }
    if (fraction < 0.5) {
        return lower;
    }
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

}  // namespace

std::optional<std::int16_t> parse_axis_value(std::string_view text) {
    const std::optional<double> value = number_value(half_width_number(text));
    if (!value || !std::isfinite(*value)) {
        return std::nullopt;
    }
    const double rounded = round_half_even(*value);
    if (rounded < -32768.0 || rounded > 32767.0) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(rounded);
}

GraphSettingsInput parse_graph_settings(const GraphBoxTexts& texts, bool automatic, const GraphAxisSettings& stored) {
    GraphAxisSettings settings = stored;
    settings.autoScale = automatic ? 1 : 0;
    const auto fields = box_fields();
    for (int i = 0; i < GraphBoxCount; ++i) {
        const std::optional<std::int16_t> value = parse_axis_value(texts[static_cast<std::size_t>(i)]);
        if (value) {
            settings.*fields[static_cast<std::size_t>(i)] = *value;
        } else if (!automatic) {
            return {std::nullopt, i};
        }
    }
    return {settings, -1};
}

std::string graph_pair_question(const GraphAxisSettings& settings) {
    if (settings.autoScale != 0) {
        return {};
    }
    struct Pair {
        const char* name;
        std::int16_t maximum, minimum;
    };
    const Pair pairs[] = {{"血圧", settings.bpMax, settings.bpMin},
                          {"脈拍", settings.pulseMax, settings.pulseMin},
                          {"体重", settings.weightMax, settings.weightMin}};
    std::string text;
    for (const Pair& pair : pairs) {
        if (pair.minimum >= pair.maximum) {
            text += std::string(pair.name) + "の最小値（" + std::to_string(pair.minimum) + "）が最大値（" +
                    std::to_string(pair.maximum) + "）以上です。";
        }
    }
    return text.empty() ? text : text + "このまま保存しますか？";
}

std::string graph_pair_question_title() {
    return "グラフ設定確認";
}

GraphBoxTexts graph_settings_texts(const GraphAxisSettings& settings) {
    GraphBoxTexts texts;
    const auto fields = box_fields();
    for (int i = 0; i < GraphBoxCount; ++i) {
        texts[static_cast<std::size_t>(i)] = std::to_string(settings.*fields[static_cast<std::size_t>(i)]);
    }
    return texts;
}

std::string graph_box_refusal_title() {
    return "グラフ設定入力エラー";
}

std::string graph_box_refusal_text(int index) {
    static const std::array<const char*, 3> charts = {"血圧グラフ", "脈拍グラフ", "体重グラフ"};
    static const std::array<const char*, 3> boxes = {"最大値設定", "最小値設定", "目盛り設定"};
    if (index < 0 || index >= GraphBoxCount) {
        return {};
    }
    return std::string(charts[static_cast<std::size_t>(index / 3)]) + "の「" +
           boxes[static_cast<std::size_t>(index % 3)] + "」には -32768 から 32767 までの数値を入力してください。";
}

}  // namespace sora
