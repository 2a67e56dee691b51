#pragma once

#include "core/colour.h"

namespace sora {

/// A mark on the judgement chart, in twips of the chart picture.
struct JudgementMark {
    int x = 0;
    int y = 0;
    int radius = 60;
    Colour colour = colours::White;
    /// Where the reading lies beyond the plot: −1 left of it (diastolic too low) or above it (systolic too high),
    /// +1 right of it or below it, 0 inside. Such a mark is drawn at the border as an arrowhead pointing out, so
    /// that it never reads as a value on the chart.
    int outsideX = 0;
    int outsideY = 0;

    bool outside() const { return outsideX != 0 || outsideY != 0; }
};

/// Where a measurement is marked: Y = 5500 − 25·S, X = 50·D − 2000, halves to even. A value beyond the plot is
/// marked at its border with the whole mark inside, so that no mark is cut in half or lost off the picture.
JudgementMark judgement_mark(float systolic, float diastolic, bool todaysLatest);

/// Layout of the judgement chart picture, so that its drawing agrees with the marks.
namespace judgement_chart {
inline constexpr int systolicToY(int s) {
    return 5500 - 25 * s;
}
inline constexpr int diastolicToX(int d) {
    return 50 * d - 2000;
}
/// The plot: diastolic 50 to 124 across, systolic 210 at the top down to 80.
inline constexpr int PlotLeft = diastolicToX(50);
inline constexpr int PlotRight = diastolicToX(124);
inline constexpr int PlotTop = systolicToY(210);
inline constexpr int PlotBottom = systolicToY(80);
/// Width of a mark's circle line, in twips.
inline constexpr int MarkLineWidth = 24;
}  // namespace judgement_chart

}  // namespace sora
