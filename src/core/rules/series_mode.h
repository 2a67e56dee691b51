#pragma once

#include <array>

#include "core/rules/axis_rules.h"

namespace sora {

/// What a trend chart shows; its five option buttons choose one.
enum class SeriesMode { BloodPressure, Pulse, PulseMixed, Weight, WeightMixed };

/// Visibility of series 1–4 and of the two axes for a mode.
struct SeriesVisibility {
    std::array<bool, 4> series{};
    bool primaryAxis = true;
    bool secondaryAxis = true;
    bool operator==(const SeriesVisibility&) const = default;
};

SeriesVisibility visibility_for(SeriesMode mode);

/// The quantity the secondary axis is scaled for in a mode (pulse for the two pulse modes, else weight).
SecondaryQuantity secondary_quantity(SeriesMode mode);

}  // namespace sora
