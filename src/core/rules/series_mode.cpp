#include "core/rules/series_mode.h"

namespace sora {

SeriesVisibility visibility_for(SeriesMode mode) {
    // Series: systolic, diastolic (primary axis), pulse, weight (secondary axis).
    switch (mode) {
        case SeriesMode::BloodPressure:
            return SeriesVisibility{{true, true, false, false}, true, false};
        case SeriesMode::Pulse:
            return SeriesVisibility{{false, false, true, false}, false, true};
        case SeriesMode::PulseMixed:
            return SeriesVisibility{{true, true, true, false}, true, true};
        case SeriesMode::Weight:
            return SeriesVisibility{{false, false, false, true}, false, true};
        case SeriesMode::WeightMixed:
            break;
    }
    return SeriesVisibility{{true, true, false, true}, true, true};
}

SecondaryQuantity secondary_quantity(SeriesMode mode) {
    return mode == SeriesMode::Pulse || mode == SeriesMode::PulseMixed ? SecondaryQuantity::Pulse
                                                                       : SecondaryQuantity::Weight;
}

}  // namespace sora
