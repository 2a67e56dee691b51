#pragma once

#include "core/graph_axis_settings.h"

namespace sora::test {

/// Axes scaled from the data.
inline GraphAxisSettings autoAxes() {
    GraphAxisSettings settings;
    settings.autoScale = 1;
    return settings;
}

/// Manual axes with ranges unlike the defaults: blood pressure 190–50 in 7, pulse 110–40 in 7, weight 80–50 in 6.
inline GraphAxisSettings manualAxes() {
    GraphAxisSettings settings;
    settings.autoScale = 0;
    settings.bpMax = 190;
    settings.bpMin = 50;
    settings.bpDivisions = 7;
    settings.pulseMax = 110;
    settings.pulseMin = 40;
    settings.pulseDivisions = 7;
    settings.weightMax = 80;
    settings.weightMin = 50;
    settings.weightDivisions = 6;
    return settings;
}

}  // namespace sora::test
