#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/rules/classification.h"
#include "core/rules/numbers.h"
#include "core/views/sorted_list.h"

using namespace sora;

namespace {

MeasurementRecord rec(const char* date, float sys, float dia, float pulse = 70, float weight = 62) {
    return {date, "散歩の後", sys, dia, pulse, "よく眠れた", weight};
}

std::vector<MeasurementRecord> log_of(std::size_t n) {
    std::vector<MeasurementRecord> records;
    for (std::size_t i = 0; i < n; ++i) {
        records.push_back(rec("2005/02/09", 120.0f + static_cast<float>(i), 80));
    }
    return records;
}

}  // namespace

TEST(SortedList, RowsInFileOrderWithClassColourAndHiddenName) {
    const GridView v = build_sorted_list({rec("2005/02/09", 141, 90, 66, 62.5f), rec("2005/02/10", 128.5f, 80)});
    ASSERT_EQ(v.rows.size(), 2u);
    const GridRow& r = v.rows[0];
    ASSERT_EQ(r.size(), 11u);
    EXPECT_EQ(r[0].text, "1");
    EXPECT_EQ(r[1].text, "2005/02/09");
    EXPECT_EQ(r[2].text, "散歩の後");
    EXPECT_EQ(r[3].text, "");
    EXPECT_EQ(r[3].background, class_info(BpClass::Mild).detailedColour);
    EXPECT_EQ(r[4].text, "141");
    EXPECT_EQ(r[5].text, "90");
    EXPECT_EQ(r[6].text, "51");
    EXPECT_EQ(r[7].text, "66");
    EXPECT_EQ(r[8].text, "62.5");
    EXPECT_EQ(r[9].text, "よく眠れた");
    EXPECT_EQ(r[10].text, "軽症高血圧");
    EXPECT_EQ(v.rows[1][0].text, "2");
    EXPECT_EQ(v.rows[1][4].text, "128.5");
    EXPECT_EQ(v.rows[1][6].text, "48.5");
    EXPECT_EQ(v.rows[1][10].text, "正常血圧");
    for (std::size_t c = 0; c < 11; ++c) {
        EXPECT_FALSE(v.rows[1][c].background.has_value() && c != 3) << c;
    }

    ASSERT_EQ(v.columns.size(), 11u);
    EXPECT_EQ(v.columns[10].widthTwips, 0);  // the class name is there for sorting only
    EXPECT_EQ(v.columns[3].widthTwips, 90);
    EXPECT_EQ(v.columns[9].heading, "一言日記");
}

TEST(SortedList, ScrollsToTheLastRowBeyondTwentyFourRows) {
    EXPECT_FALSE(build_sorted_list(log_of(23)).topRow.has_value());  // 24 rows with the heading
    EXPECT_EQ(build_sorted_list(log_of(24)).topRow, 24);             // 25 rows: the last row on top
    EXPECT_EQ(build_sorted_list(log_of(40000)).topRow, 40000);       // row numbers are not 16-bit
    EXPECT_EQ(build_sorted_list(log_of(40000)).rows.back()[0].text, "40000");
    EXPECT_TRUE(build_sorted_list({}).rows.empty());
    // What the screen, which writes rows out as the grid draws them, scrolls to.
    for (const std::size_t n : {0u, 1u, 23u, 24u, 40000u}) {
        EXPECT_EQ(sorted_list_top_row(n), build_sorted_list(log_of(n)).topRow) << n;
    }
    std::vector<MeasurementRecord> log = log_of(9);
    log[6] = rec("2005/02/10", 168.5f, 101, 80, 70.2f);
    const GridRow seventh = sorted_list_row(7, log[6]);
    EXPECT_EQ(seventh, build_sorted_list(log).rows[6]);
    EXPECT_EQ(seventh[0].text, "7");
}

TEST(SortedList, EachButtonKeysAColumnOfItsKind) {
    const GridView v = build_sorted_list({rec("2005/02/09", 141, 90)});
    const GridRow& r = v.rows[0];
    for (const SortButtonInfo& b : sort_buttons()) {
        ASSERT_LT(b.column, 11) << b.objectName;
        if (b.kind == SortKeyKind::Numeric) {
            EXPECT_TRUE(is_number(r[static_cast<std::size_t>(b.column)].text)) << b.objectName;
        } else {
            EXPECT_FALSE(r[static_cast<std::size_t>(b.column)].text.empty()) << b.objectName;
        }
    }
    EXPECT_EQ(sort_buttons()[2].column, 10);  // "血圧判定" sorts by the hidden class name
    EXPECT_EQ(sort_buttons()[8].column, 8);   // "体重" is the last button but not the last column
    EXPECT_EQ(sort_buttons()[7].column, 9);
}

TEST(SortedList, DirectionFlagsToggleIndependently) {
    SortDirections d;
    EXPECT_TRUE(d.click(3));   // cmdSort4: lowest first
    EXPECT_FALSE(d.click(3));  // highest first
    EXPECT_TRUE(d.click(3));   // lowest again
    EXPECT_TRUE(d.click(4));   // cmdSort5 still starts ascending
    EXPECT_FALSE(d.nextAscending(3));
    EXPECT_FALSE(d.nextAscending(4));
    for (int i : {0, 1, 2, 5, 6, 7, 8}) {
        EXPECT_TRUE(d.nextAscending(i)) << i;
    }
}
