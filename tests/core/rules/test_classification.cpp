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
    // The plot runs from diastolic 50 to 124 across (X 500 to 4200) and from systolic 210 down to 80 (Y 250 to
    // 3500). A value beyond it is marked at the border, the circle whole inside: centre at least radius plus half
    // the 24-twip line (72 for a mark, 82 for today's latest) from the edge.
    struct Case {
        float s, d;
        bool latest;
        int x, y;
    };
    const std::vector<Case> cases = {
        {120, 80, false, 2000, 2500},
        {180, 110, false, 3500, 1000},
        {220, 80, false, 2000, 322},  // above the top (Y 0)
        {210, 80, false, 2000, 322},  // on the top edge
        {207, 80, false, 2000, 325},  // Y 325 lies inside already
        {40, 40, false, 572, 3428},   // below and left of the plot (X 0, Y 4500)
        {120, 45, false, 572, 2500},  //
        {120, 50.5f, false, 572, 2500},
        {120, 52, false, 600, 2500},
        {200, 125, false, 4128, 500},   // right of the plot (X 4250)
        {150, 123, false, 4128, 1750},  // X 4150: its circle would cross the right edge
        {70, 100, false, 3000, 3428},   // below the bottom (Y 3750)
        {220, 130, true, 4118, 332},    // today's latest is larger
        {40, 40, true, 582, 3418},
        {120, 80, true, 2000, 2500},
        // Exact halves go to the even neighbour, down or up.
        {125.5f, 80, false, 2000, 2362},
        {126.5f, 80, false, 2000, 2338},
        {120.5f, 80, false, 2000, 2488},
        {120, 80.25f, false, 2012, 2500},
        {120, 80.75f, false, 2038, 2500},
    };
    for (const auto& c : cases) {
        const auto mark = sora::judgement_mark(c.s, c.d, c.latest);
        EXPECT_EQ(mark.x, c.x) << c.s << "/" << c.d;
        EXPECT_EQ(mark.y, c.y) << c.s << "/" << c.d;
        EXPECT_EQ(mark.radius, c.latest ? 70 : 60);
        EXPECT_EQ(mark.colour, (c.latest ? sora::Colour{0, 255, 255} : sora::colours::White));
    }
    // Every pair of values, however far off, gives a whole circle inside the plot.
    int cut = 0;
    std::string first;
    for (int s = -50; s <= 400; s += 3) {
        for (int d = -50; d <= 300; d += 3) {
            for (const bool latest : {false, true}) {
                const auto m = sora::judgement_mark(static_cast<float>(s), static_cast<float>(d), latest);
                const int reach = m.radius + 12;
                if (m.x - reach < 500 || m.x + reach > 4200 || m.y - reach < 250 || m.y + reach > 3500) {
                    if (cut++ == 0) {
                        first = std::to_string(s) + "/" + std::to_string(d) + " at " + std::to_string(m.x) + "," +
                                std::to_string(m.y);
                    }
                }
            }
        }
    }
    EXPECT_EQ(cut, 0) << "first cut mark: " << first;
    // The picture's scale agrees with the marks.
    EXPECT_EQ(sora::judgement_chart::systolicToY(180), 1000);
    EXPECT_EQ(sora::judgement_chart::systolicToY(120), 2500);
    EXPECT_EQ(sora::judgement_chart::diastolicToX(80), 2000);
    EXPECT_EQ(sora::judgement_chart::diastolicToX(110), 3500);
}

// A reading beyond the plot is marked as lying outside, on the side where it went out; one on the border is not.
TEST(JudgementMark, ReadingsBeyondThePlotSayWhereTheyWentOut) {
    struct Case {
        float s, d;
        int outsideX, outsideY;
    };
    const std::vector<Case> cases = {
        {120, 80, 0, 0},   {210, 50, 0, 0},   {80, 124, 0, 0},  // inside, and on the four borders
        {70, 40, -1, 1},                                        // the corner case: low and low
        {211, 80, 0, -1},  {79, 80, 0, 1},    {120, 49, -1, 0}, {120, 125, 1, 0},
        {220, 130, 1, -1}, {300, 30, -1, -1}, {40, 140, 1, 1},  {150, 123, 0, 0},  // inside, pushed in whole
    };
    for (const Case& c : cases) {
        for (const bool latest : {false, true}) {
            const auto mark = sora::judgement_mark(c.s, c.d, latest);
            EXPECT_EQ(mark.outsideX, c.outsideX) << c.s << "/" << c.d;
            EXPECT_EQ(mark.outsideY, c.outsideY) << c.s << "/" << c.d;
            EXPECT_EQ(mark.outside(), c.outsideX != 0 || c.outsideY != 0);
        }
    }
}
