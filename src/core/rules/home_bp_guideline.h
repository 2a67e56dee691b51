#pragma once

namespace sora {

/// The figures of home blood pressure that a guideline sets, with its name: a new edition is a change of this
/// table only.
struct HomeBpGuideline {
    const char* name;       ///< the full title, as the report cites it
    const char* shortName;  ///< JSH2025
    int year;
    double highSystolic;  ///< home hypertension: a mean at or above either value
    double highDiastolic;
    double targetSystolic;  ///< the home target for adults: a mean below both values
    double targetDiastolic;
    double normalSystolic;  ///< normal home blood pressure: a mean below both values
    double normalDiastolic;
    int minimumDays;  ///< the days of measurement a mean needs before it is judged
};

/// The guideline the report follows: 日本高血圧学会「高血圧管理・治療ガイドライン2025」.
const HomeBpGuideline& home_bp_guideline();

}  // namespace sora
