#include "core/rules/home_bp_guideline.h"

namespace sora {

const HomeBpGuideline& home_bp_guideline() {
    static constexpr HomeBpGuideline Jsh2025{
        "日本高血圧学会「高血圧管理・治療ガイドライン2025」", "JSH2025", 2025, 135, 85, 125, 75, 115, 75, 5};
    return Jsh2025;
}

}  // namespace sora
