#pragma once

#include "core/colour.h"

namespace sora {

/// A mark on the judgement chart, in twips of the chart picture.
struct JudgementMark {
    int x = 0;
    int y = 0;
    int radius = 60;
    Colour colour = colours::White;
};

/// Where a measurement is marked: Y = 5500 − 25·S, X = 50·D − 2000, halves to even, raised to 250 / 500.
JudgementMark judgement_mark(float systolic, float diastolic, bool todaysLatest);

/// Layout of the judgement chart picture, so that its drawing agrees with the marks.
namespace judgement_chart {
inline constexpr int systolicToY(int s) {
    return 5500 - 25 * s;
}
inline constexpr int diastolicToX(int d) {
    return 50 * d - 2000;
}
}  // namespace judgement_chart

}  // namespace sora
