#include "core/rules/plausibility.h"

#include <array>

#include "core/rules/numbers.h"

namespace sora {

namespace {

// Wide enough for every real adult reading (a hypertensive crisis, a trained athlete's pulse), narrow enough to
// catch a dropped or doubled digit: 14 for 140, 1200 for 120 is refused earlier at 999.
constexpr std::array<PlausibleRange, 4> Ranges = {{
    {"最高血圧", "mmHg", 60, 260},
    {"最低血圧", "mmHg", 30, 160},
    {"脈拍", "拍/分", 30, 220},
    {"体重", "kg", 20, 250},
}};

constexpr const char* Confirm = "入力を確かめてください。このまま保存しますか？";

std::string range_text(const PlausibleRange& range) {
    return format_number(range.low) + "～" + format_number(range.high) + " " + range.unit;
}

}  // namespace

const PlausibleRange& plausible_range(int box) {
    return Ranges.at(static_cast<std::size_t>(box));
}

std::optional<PlausibilityQuestion> plausibility_question(double systolic, double diastolic, double pulse,
                                                          double weight) {
    if (systolic > 0 && diastolic > 0 && systolic <= diastolic) {
        const std::string relation = systolic < diastolic ? "より低い値です。" : "と同じ値です。";
        return PlausibilityQuestion{0, std::string("最高血圧 ") + format_number(systolic) + " は最低血圧 " +
                                           format_number(diastolic) + " " + relation + Confirm};
    }
    const std::array<double, 4> values = {systolic, diastolic, pulse, weight};
    for (int box = 0; box < 4; ++box) {
        const double value = values[static_cast<std::size_t>(box)];
        const PlausibleRange& range = plausible_range(box);
        if (value == 0 || (value >= range.low && value <= range.high)) {
            continue;
        }
        // Only a value that lands in the range with one digit more or less is a digit slip; others are typos.
        const std::string slip = value * 10 >= range.low && value * 10 <= range.high ? "桁が足りないかもしれません。"
                                 : value / 10 >= range.low && value / 10 <= range.high ? "桁が多いかもしれません。"
                                                                                       : "打ち間違いかもしれません。";
        return PlausibilityQuestion{box, std::string(range.name) + " " + format_number(value) + " は通常の範囲（" +
                                             range_text(range) + "）の外です。" + slip + Confirm};
    }
    return std::nullopt;
}

bool is_plausible(double systolic, double diastolic, double pulse, double weight) {
    return !plausibility_question(systolic, diastolic, pulse, weight).has_value();
}

}  // namespace sora
