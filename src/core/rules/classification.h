#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/colour.h"

namespace sora {

/// The seven blood-pressure classes, 1 to 7.
enum class BpClass : int {
    Optimal = 1,          // 至適血圧
    Normal = 2,           // 正常血圧
    HighNormal = 3,       // 正常高値血圧
    Mild = 4,             // 軽症高血圧
    Moderate = 5,         // 中等症高血圧
    Severe = 6,           // 重症高血圧
    IsolatedSystolic = 7  // 収縮期高血圧
};

enum class Face { Laughing, Smiling, Sulky, None };

/// What the table says about one class.
struct BpClassInfo {
    BpClass cls;
    std::string_view name;
    Colour detailedColour;
    Colour simpleColour;
    std::int16_t scalePosition;
    std::string_view calendarLabel;  // "至摘 " …
    Face face;
};

/// The table row of a class.
const BpClassInfo& class_info(BpClass cls);
/// All seven rows, class 1 first.
const std::array<BpClassInfo, 7>& class_table();
/// The class of a name, nullopt for "本日未登録" or anything else.
std::optional<BpClass> class_from_name(std::string_view name);
/// The face for a class name; Face::None for any other text.
Face face_for(std::string_view className);

/// The result of a judgement: class name, colour, scale position.
struct Judgement {
    std::optional<BpClass> cls;
    std::string name;
    Colour colour = colours::White;
    std::int16_t scalePosition = 0;
};

/// The class of a measurement (half-open ranges, no gaps).
BpClass classify(float systolic, float diastolic);
/// Detailed judgement: one colour per class.
Judgement GET_HANTEI(float systolic, float diastolic);
/// Simple judgement: green for classes 1–3, red for 4–7.
Judgement GET_HANTEI2(float systolic, float diastolic);

inline constexpr std::string_view NotRegisteredToday = "本日未登録";
inline constexpr std::string_view NotMeasuredLabel = "未計測 ";

/// The static judgement table of the main screen: class and its range text.
std::string_view judgement_range_text(BpClass cls);

}  // namespace sora
