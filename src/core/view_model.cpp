#include "core/view_model.h"

namespace sora {

void DataExtremes::add(float pulse, float weight) {
    if (pulse > pulseMax) {
        pulseMax = pulse;
    }
    if (pulse < pulseMin) {
        pulseMin = pulse;
    }
    if (weight > weightMax) {
        weightMax = weight;
    }
    // A record without weight (0) must not pull the weight axis down.
    if (weight != 0 && weight < weightMin) {
        weightMin = weight;
    }
}

}  // namespace sora
