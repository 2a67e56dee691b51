#include "core/rules/classification.h"

namespace sora {

namespace {

constexpr Colour SimpleNormal{192, 255, 192};
constexpr Colour SimpleHigh{255, 128, 128};

const std::array<BpClassInfo, 7> Table = {{
    {BpClass::Optimal, "至適血圧", {192, 255, 255}, SimpleNormal, 105, "至摘 ", Face::Laughing},
    {BpClass::Normal, "正常血圧", {192, 255, 192}, SimpleNormal, 500, "正常 ", Face::Laughing},
    {BpClass::HighNormal, "正常高値血圧", {255, 255, 192}, SimpleNormal, 850, "正常高 ", Face::Smiling},
    {BpClass::Mild, "軽症高血圧", {255, 224, 192}, SimpleHigh, 1240, "軽症高 ", Face::Sulky},
    {BpClass::Moderate, "中等症高血圧", {255, 192, 255}, SimpleHigh, 1625, "中等高 ", Face::Sulky},
    {BpClass::Severe, "重症高血圧", {255, 128, 128}, SimpleHigh, 2000, "重症高 ", Face::Sulky},
    // Shares class 5's scale position; the main screen lifts its pointer instead.
    {BpClass::IsolatedSystolic, "収縮期高血圧", {192, 192, 255}, SimpleHigh, 1625, "収縮期高 ", Face::Sulky},
}};

constexpr std::array<std::string_view, 7> RangeTexts = {
    "＜120 かつ ＜80",      "＜130 かつ ＜85", "130～139 or  85～ 89", "140～159 or  90～ 99",
    "160～179 or 100～109", "≧180 or ≧110",    "≧140 かつ ＜90",
};

std::size_t index_of(BpClass cls) {
    return static_cast<std::size_t>(static_cast<int>(cls) - 1);
}

Judgement judgement_of(BpClass cls, bool simple) {
    const BpClassInfo& info = class_info(cls);
    Judgement j;
    j.cls = cls;
    j.name = std::string(info.name);
    j.colour = simple ? info.simpleColour : info.detailedColour;
    j.scalePosition = info.scalePosition;
    return j;
}

}  // namespace

const BpClassInfo& class_info(BpClass cls) {
    return Table[index_of(cls)];
}

const std::array<BpClassInfo, 7>& class_table() {
    return Table;
}

std::optional<BpClass> class_from_name(std::string_view name) {
    for (const BpClassInfo& info : Table) {
        if (info.name == name) {
            return info.cls;
        }
    }
    return std::nullopt;
}

Face face_for(std::string_view className) {
    const auto cls = class_from_name(className);
    return cls ? class_info(*cls).face : Face::None;
}

BpClass classify(float systolic, float diastolic) {
    const float s = systolic;
    const float d = diastolic;
    if (s < 120 && d < 80) {
        return BpClass::Optimal;
    }
    if (s < 130 && d < 85) {
        return BpClass::Normal;
    }
    // Half-open ranges leave no gap, so one of the tests below always holds for real numbers; the last one that
    // holds decides (the worse grade wins, isolated systolic overrides).
    BpClass result = BpClass::HighNormal;
    if ((s >= 130 && s < 140) || (d >= 85 && d < 90)) {
        result = BpClass::HighNormal;
    }
    if ((s >= 140 && s < 160) || (d >= 90 && d < 100)) {
        result = BpClass::Mild;
    }
    if ((s >= 160 && s < 180) || (d >= 100 && d < 110)) {
        result = BpClass::Moderate;
    }
    if (s >= 180 || d >= 110) {
        result = BpClass::Severe;
    }
    if (s >= 140 && d < 90) {
        result = BpClass::IsolatedSystolic;
    }
    return result;
}

Judgement GET_HANTEI(float systolic, float diastolic) {
    return judgement_of(classify(systolic, diastolic), false);
}

Judgement GET_HANTEI2(float systolic, float diastolic) {
    return judgement_of(classify(systolic, diastolic), true);
}

std::string_view judgement_range_text(BpClass cls) {
    return RangeTexts[index_of(cls)];
}

}  // namespace sora
