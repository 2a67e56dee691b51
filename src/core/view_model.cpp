#include "core/view_model.h"

#include <algorithm>

#include "core/rules/measured.h"

namespace sora {

void DataExtremes::add(float pulse, float weight) {
    // A value not measured (0) must not pull an axis down.
    if (is_measured(pulse)) {
        pulseMax = std::max(pulseMax, pulse);
        pulseMin = std::min(pulseMin, pulse);
    }
    if (is_measured(weight)) {
        weightMax = std::max(weightMax, weight);
        weightMin = std::min(weightMin, weight);
    }
}

}  // namespace sora
