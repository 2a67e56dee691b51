#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/rules/classification.h"
#include "core/views/judgement_chart.h"

using sora::BpClass;

namespace {

struct ClassCase {
    float systolic;
    float diastolic;
    int expected;
};

}  // namespace

TEST(Classification, JudgesEveryBoundary) {
    const std::vector<ClassCase> cases = {
        // Whole numbers at every edge.
        {119, 79, 1},
        {120, 79, 2},
        {119, 80, 2},
        {129, 84, 2},
        {130, 84, 3},
        {129, 85, 3},
        {139, 89, 3},
        {140, 89, 7},
        {140, 90, 4},
        {159, 99, 4},
        {160, 99, 5},
        {179, 109, 5},
        {180, 109, 6},
        {179, 110, 6},
        {180, 89, 7},
        {200, 95, 6},
        {135, 95, 4},
        {165, 95, 5},
        {145, 105, 5},
        {185, 85, 7},
        {0, 0, 1},
        {100, 120, 6},
        {139, 99, 4},
        {159, 100, 5},
        // Fractions in what used to be gaps: judged by their own values.
        {125, 89.5f, 3},
        {139.5f, 80, 3},
        {159.5f, 95, 4},
        {125, 99.5f, 4},
        {125, 109.5f, 5},
        {179.5f, 80, 7},
        {179.5f, 95, 5},
        {125, 84.5f, 2},
        {129.5f, 84.9f, 2},
        {119.9f, 79.9f, 1},
        {139.9f, 89.9f, 3},
        {140, 89.9f, 7},
        {125, 110, 6},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(static_cast<int>(sora::classify(c.systolic, c.diastolic)), c.expected)
            << c.systolic << "/" << c.diastolic;
        EXPECT_EQ(sora::GET_HANTEI(c.systolic, c.diastolic).cls, static_cast<BpClass>(c.expected));
        EXPECT_EQ(sora::GET_HANTEI2(c.systolic, c.diastolic).cls, static_cast<BpClass>(c.expected));
    }
}

TEST(Classification, DetailedAndSimpleJudgementCarryTheTableRow) {
    struct Row {
        float s, d;
        const char* name;
        std::uint32_t detailed;  // window-system order, as the colour table is stored
        std::uint32_t simple;
        int scale;
        const char* label;
        sora::Face face;
    };
    using sora::Face;
    const std::vector<Row> rows = {
        {110, 70, "至適血圧", 0xFFFFC0, 0xC0FFC0, 105, "至摘 ", Face::Laughing},
        {125, 82, "正常血圧", 0xC0FFC0, 0xC0FFC0, 500, "正常 ", Face::Laughing},
        {135, 82, "正常高値血圧", 0xC0FFFF, 0xC0FFC0, 850, "正常高 ", Face::Smiling},
        {150, 92, "軽症高血圧", 0xC0E0FF, 0x8080FF, 1240, "軽症高 ", Face::Sulky},
        {170, 92, "中等症高血圧", 0xFFC0FF, 0x8080FF, 1625, "中等高 ", Face::Sulky},
        {190, 92, "重症高血圧", 0x8080FF, 0x8080FF, 2000, "重症高 ", Face::Sulky},
        {150, 80, "収縮期高血圧", 0xFFC0C0, 0x8080FF, 1625, "収縮期高 ", Face::Sulky},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        const auto detailed = sora::GET_HANTEI(r.s, r.d);
        const auto simple = sora::GET_HANTEI2(r.s, r.d);
        EXPECT_EQ(detailed.name, r.name);
        EXPECT_EQ(detailed.colour.bgr24(), r.detailed) << r.name;
        EXPECT_EQ(detailed.scalePosition, r.scale) << r.name;
        EXPECT_EQ(simple.name, r.name);
        EXPECT_EQ(simple.colour.bgr24(), r.simple) << r.name;
        EXPECT_EQ(simple.scalePosition, r.scale) << r.name;

        const auto cls = static_cast<BpClass>(static_cast<int>(i) + 1);
        EXPECT_EQ(sora::class_from_name(r.name), cls);
        EXPECT_EQ(sora::class_info(cls).calendarLabel, r.label);
        EXPECT_EQ(sora::class_table()[i].cls, cls);
        EXPECT_EQ(sora::face_for(r.name), r.face);
    }
    EXPECT_EQ(sora::class_from_name(sora::NotRegisteredToday), std::nullopt);
    EXPECT_EQ(sora::class_from_name(""), std::nullopt);
    EXPECT_EQ(sora::face_for(sora::NotRegisteredToday), sora::Face::None);
}

TEST(Classification, StaticTableTexts) {
    const std::vector<std::string> expected = {
        "＜120 かつ ＜80",      "＜130 かつ ＜85", "130～139 or  85～ 89", "140～159 or  90～ 99",
        "160～179 or 100～109", "≧180 or ≧110",    "≧140 かつ ＜90",
    };
    for (int i = 1; i <= 7; ++i) {
        EXPECT_EQ(sora::judgement_range_text(static_cast<BpClass>(i)), expected[static_cast<std::size_t>(i - 1)]);
    }
}

TEST(JudgementChart, MarkPositions) {
    struct Case {
        float s, d;
        int x, y;
    };
    const std::vector<Case> cases = {
        {120, 80, 2000, 2500},
        {40, 40, 500, 4500},
        {220, 80, 2000, 250},
        {180, 110, 3500, 1000},
        {210, 80, 2000, 250},
        {211, 80, 2000, 250},
        {120, 45, 500, 2500},
        {120, 50.5f, 525, 2500},
        // Exact halves go to the even neighbour, down or up.
        {125.5f, 80, 2000, 2362},
        {126.5f, 80, 2000, 2338},
        {120.5f, 80, 2000, 2488},
        {120, 80.25f, 2012, 2500},
        {120, 80.75f, 2038, 2500},
        {120, 50.01f, 500, 2500},
    };
    for (const auto& c : cases) {
        const auto mark = sora::judgement_mark(c.s, c.d, false);
        EXPECT_EQ(mark.x, c.x) << c.s << "/" << c.d;
        EXPECT_EQ(mark.y, c.y) << c.s << "/" << c.d;
        EXPECT_EQ(mark.radius, 60);
        EXPECT_EQ(mark.colour, sora::colours::White);
    }
    const auto latest = sora::judgement_mark(120, 80, true);
    EXPECT_EQ(latest.radius, 70);
    EXPECT_EQ(latest.colour, (sora::Colour{0, 255, 255}));
    EXPECT_EQ(latest.x, 2000);
    // The picture's scale agrees with the marks.
    EXPECT_EQ(sora::judgement_chart::systolicToY(180), 1000);
    EXPECT_EQ(sora::judgement_chart::systolicToY(120), 2500);
    EXPECT_EQ(sora::judgement_chart::diastolicToX(80), 2000);
    EXPECT_EQ(sora::judgement_chart::diastolicToX(110), 3500);
}
