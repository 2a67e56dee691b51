#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/rules/plausibility.h"

using namespace sora;

// Every boundary of every range, the swap and equal pressures, and which question comes first.
TEST(Plausibility, BoundariesAndOrder) {
    struct Case {
        double sys, dia, pulse, weight;
        int box;  // -1: nothing asked
        std::string start;
    };
    const std::vector<Case> cases = {
        {126, 80, 70, 62.5, -1, ""},
        {60, 30, 30, 20, -1, ""},
        {260, 160, 220, 250, -1, ""},
        {59, 30, 70, 60, 0, "最高血圧 59 は通常の範囲（60～260 mmHg）の外です。打ち間違いかもしれません。"},
        {261, 80, 70, 60, 0, "最高血圧 261 は通常の範囲（60～260 mmHg）の外です。打ち間違いかもしれません。"},
        // A digit slip only where one digit more or less lands in the range.
        {1400, 80, 70, 60, 0, "最高血圧 1400 は通常の範囲（60～260 mmHg）の外です。桁が多い"},
        {14, 8, 70, 60, 0, "最高血圧 14 は通常の範囲（60～260 mmHg）の外です。桁が足りない"},
        {126, 80, 70, 620, 3, "体重 620 は通常の範囲（20～250 kg）の外です。桁が多い"},
        {126, 29, 70, 60, 1, "最低血圧 29 は通常の範囲（30～160 mmHg）の外です。"},
        {170, 161, 70, 60, 1, "最低血圧 161 は"},
        {126, 80, 29, 60, 2, "脈拍 29 は通常の範囲（30～220 拍/分）の外です。打ち間違い"},
        {126, 80, 221, 60, 2, "脈拍 221 は"},
        {126, 80, 70, 19.9, 3, "体重 19.9 は通常の範囲（20～250 kg）の外です。"},
        {126, 80, 70, 250.5, 3, "体重 250.5 は"},
        // The swap is asked before the range of either value.
        {14, 88, 70, 60, 0, "最高血圧 14 は最低血圧 88 より低い値です。入力を確かめてください。このまま保存しますか？"},
        {82, 131, 70, 60, 0, "最高血圧 82 は最低血圧 131 より低い値です。"},
        {88, 88, 70, 60, 0, "最高血圧 88 は最低血圧 88 と同じ値です。"},
        // 0 means "not measured" in an imported or hand-edited log.
        {126, 80, 0, 0, -1, ""},
    };
    for (const Case& c : cases) {
        const auto question = plausibility_question(c.sys, c.dia, c.pulse, c.weight);
        SCOPED_TRACE(std::to_string(c.sys) + "/" + std::to_string(c.dia) + " " + std::to_string(c.pulse) + " " +
                     std::to_string(c.weight));
        EXPECT_EQ(is_plausible(c.sys, c.dia, c.pulse, c.weight), c.box < 0);
        if (c.box < 0) {
            EXPECT_FALSE(question);
            continue;
        }
        ASSERT_TRUE(question);
        EXPECT_EQ(question->box, c.box);
        EXPECT_EQ(question->text.substr(0, c.start.size()), c.start);
        EXPECT_NE(question->text.find("このまま保存しますか？"), std::string::npos);
    }
}
