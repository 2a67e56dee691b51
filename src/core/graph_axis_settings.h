#pragma once

#include <cstdint>

namespace sora {

/// The Y-axis settings of every chart, "グラフ設定.txt".
struct GraphAxisSettings {
    std::int16_t autoScale = 1;  // not 0: axes from the data
    std::int16_t bpMax = 200;
    std::int16_t bpMin = 40;
    std::int16_t bpDivisions = 8;
    std::int16_t pulseMax = 120;
    std::int16_t pulseMin = 40;
    std::int16_t pulseDivisions = 8;
    std::int16_t weightMax = 100;
    std::int16_t weightMin = 30;
    std::int16_t weightDivisions = 7;

    bool operator==(const GraphAxisSettings&) const = default;
};

}  // namespace sora
