#pragma once

#include <optional>
#include <string>

namespace sora {

/// The range of a value that a measurement plausibly has; a value outside it is asked about, never refused.
struct PlausibleRange {
    const char* name;  ///< as the entry panel calls the value: 最高血圧, 最低血圧, 脈拍, 体重
    const char* unit;  ///< mmHg, 拍/分, kg
    double low;
    double high;
};

/// The four ranges in box order: systolic, diastolic, pulse, weight.
const PlausibleRange& plausible_range(int box);

/// A value the user should look at again before it is saved: the box (0–3, where the keyboard goes back) and the
/// question, which names the value and the likely slip.
struct PlausibilityQuestion {
    int box = -1;
    std::string text;
    bool operator==(const PlausibilityQuestion&) const = default;
};

/// The first doubt about a measurement that passed the entry checks: systolic not above diastolic (a swap or a
/// dropped digit), then each value outside its range in box order; nullopt when all look right. A value of 0
/// (not measured, as a hand-edited or imported log may hold) is not asked about.
std::optional<PlausibilityQuestion> plausibility_question(double systolic, double diastolic, double pulse,
                                                          double weight);

/// True when plausibility_question has nothing to ask.
bool is_plausible(double systolic, double diastolic, double pulse, double weight);

}  // namespace sora
