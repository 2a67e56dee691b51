#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/edits/graph_settings_input.h"

namespace {

TEST(GraphSettingsInput, BoxValuesRoundHalfToEvenWithin16Bits) {
    struct Case {
        const char* text;
        std::optional<std::int16_t> expected;
    };
    const std::vector<Case> cases = {
        {"12.5", 12},
        {"13.5", 14},
        {"12.4", 12},
        {"12.6", 13},
        {"-2.5", -2},
        {"-3.5", -4},
        {"0.5", 0},
        {"1.5", 2},
        {" 180 ", 180},
        {"+7", 7},
        {"32767", 32767},
        {"32767.4", 32767},
        {"32767.5", std::nullopt},
        {"-32768", -32768},
        {"-32768.5", -32768},
        {"-32768.6", std::nullopt},
        {"40000", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"12a", std::nullopt},
        {"1e3", std::nullopt},
        {"１２", 12},
        {"１２。５", std::nullopt},
        {"99999999999999999999999999", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sora::parse_axis_value(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(GraphSettingsInput, NineBoxesInOrderWithTheMode) {
    const sora::GraphBoxTexts texts = {"180", "60.5", "12", "110", "40", "7", "80.5", "50", "6"};
    const sora::GraphSettingsInput manual = sora::parse_graph_settings(texts, false, sora::GraphAxisSettings{});
    ASSERT_TRUE(manual.settings);
    EXPECT_EQ(manual.badBox, -1);
    const sora::GraphAxisSettings expected{0, 180, 60, 12, 110, 40, 7, 80, 50, 6};
    EXPECT_EQ(*manual.settings, expected);

    const sora::GraphSettingsInput automatic = sora::parse_graph_settings(texts, true, sora::GraphAxisSettings{});
    ASSERT_TRUE(automatic.settings);
    EXPECT_EQ(automatic.settings->autoScale, 1);
    EXPECT_EQ(automatic.settings->weightMax, 80);

    // Reading the shown texts back gives the same settings.
    EXPECT_EQ(
        sora::parse_graph_settings(sora::graph_settings_texts(expected), false, sora::GraphAxisSettings{}).settings,
        expected);
}

TEST(GraphSettingsInput, FirstBadBoxIsNamed) {
    sora::GraphBoxTexts texts = {"180", "60", "12", "110", "40", "7", "80", "50", "6"};
    texts[4] = "abc";
    texts[7] = "40000";
    const sora::GraphSettingsInput input = sora::parse_graph_settings(texts, false, sora::GraphAxisSettings{});
    EXPECT_FALSE(input.settings);
    EXPECT_EQ(input.badBox, 4);
    EXPECT_EQ(sora::graph_box_refusal_text(4),
              "脈拍グラフの「最小値設定」には -32768 から 32767 までの数値を入力してください。");
    EXPECT_NE(sora::graph_box_refusal_text(8).find("体重グラフの「目盛り設定」"), std::string::npos);
    EXPECT_NE(sora::graph_box_refusal_text(0).find("血圧グラフの「最大値設定」"), std::string::npos);
}

TEST(GraphSettingsInput, DisabledBoxesInAutomaticModeAreNotChecked) {
    // Automatic mode disables the boxes: one that cannot be taken keeps the stored value, the others are stored.
    const sora::GraphAxisSettings stored{0, 180, 60, 12, 110, 40, 7, 80, 50, 6};
    const sora::GraphBoxTexts texts = {"190", "60", "12", "110", "abc", "7", "80", "50", "40000"};
    const sora::GraphSettingsInput automatic = sora::parse_graph_settings(texts, true, stored);
    EXPECT_EQ(automatic.badBox, -1);
    EXPECT_EQ(automatic.settings, (sora::GraphAxisSettings{1, 190, 60, 12, 110, 40, 7, 80, 50, 6}));
    // The same boxes enabled (manual) are refused at the first bad one.
    EXPECT_EQ(sora::parse_graph_settings(texts, false, stored).badBox, 4);
}

TEST(GraphSettingsInput, AMinimumNotBelowItsMaximumIsQuestionedByName) {
    struct Case {
        std::int16_t bpMax, bpMin, pulseMax, pulseMin, weightMax, weightMin;
        std::int16_t autoScale;
        std::string question;
    };
    const std::string ask = "このまま保存しますか？";
    const std::vector<Case> cases = {
        {180, 200, 110, 40, 80, 50, 0, "血圧の最小値（200）が最大値（180）以上です。" + ask},
        {180, 60, 90, 90, 80, 50, 0, "脈拍の最小値（90）が最大値（90）以上です。" + ask},
        {180, 60, 110, 40, 30, 31, 0, "体重の最小値（31）が最大値（30）以上です。" + ask},
        {180, 181, 110, 40, -5, 0, 0,
         "血圧の最小値（181）が最大値（180）以上です。体重の最小値（0）が最大値（-5）以上です。" + ask},
        {180, 179, 110, 109, 80, 79, 0, ""},  // all in order
        {180, 200, 90, 90, 30, 31, 1, ""},    // automatic: the boxes are disabled and not checked
    };
    for (const Case& c : cases) {
        sora::GraphAxisSettings s;
        s.autoScale = c.autoScale;
        s.bpMax = c.bpMax;
        s.bpMin = c.bpMin;
        s.pulseMax = c.pulseMax;
        s.pulseMin = c.pulseMin;
        s.weightMax = c.weightMax;
        s.weightMin = c.weightMin;
        EXPECT_EQ(sora::graph_pair_question(s), c.question) << c.bpMax << "/" << c.bpMin;
    }
    EXPECT_EQ(sora::graph_pair_question_title(), "グラフ設定確認");
}

}  // namespace
