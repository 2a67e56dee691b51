#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/rules/classification.h"
#include "core/views/diary_view.h"

using namespace sora;

TEST(DiaryView, ColumnsOfTheList) {
    const std::vector<GridColumn> columns = diary_columns();
    ASSERT_EQ(columns.size(), 10u);
    const std::vector<std::string> headings = {"回",   "日付", "行動", "",     "最高",
                                               "最低", "高低", "脈拍", "体重", "一言日記"};
    const std::vector<int> widths = {545, 1100, 1600, 90, 540, 540, 540, 540, 540, 5040};
    const std::vector<Align> aligns = {Align::Right, Align::Centre, Align::Left,  Align::Centre, Align::Right,
                                       Align::Right, Align::Right,  Align::Right, Align::Right,  Align::Left};
    for (std::size_t c = 0; c < columns.size(); ++c) {
        EXPECT_EQ(columns[c].heading, headings[c]) << c;
        EXPECT_EQ(columns[c].widthTwips, widths[c]) << c;
        EXPECT_EQ(columns[c].align, aligns[c]) << c;
        EXPECT_EQ(columns[c].headingAlign, Align::Centre) << c;
    }
}

TEST(DiaryView, RowsShowEveryRecordInLogOrder) {
    const std::vector<MeasurementRecord> records = {
        {"2005/02/01", "はじめの一歩", 120, 80, 70, "", 62.5f},
        {"2005/02/01", "起床時", 118, 76, 66, "7:05:09", 62.4f},
        {"2005/02/02", "就寝前", 168.5f, 101, 75.5f, "朝,散歩", 0},
    };
    const GridView view = build_diary_view(records);
    ASSERT_EQ(view.rows.size(), 3u);
    const std::vector<std::vector<std::string>> texts = {
        {"1", "2005/02/01", "はじめの一歩", "", "120", "80", "40", "70", "62.5", ""},
        {"2", "2005/02/01", "起床時", "", "118", "76", "42", "66", "62.4", "7:05:09"},
        {"3", "2005/02/02", "就寝前", "", "168.5", "101", "67.5", "75.5", "", "朝,散歩"},  // weight not measured
    };
    for (std::size_t r = 0; r < texts.size(); ++r) {
        ASSERT_EQ(view.rows[r].size(), 10u);
        for (std::size_t c = 0; c < 10; ++c) {
            EXPECT_EQ(view.rows[r][c].text, texts[r][c]) << r << "," << c;
        }
        // Only the class column is painted, in the record's class colour.
        EXPECT_EQ(view.rows[r][3].background, GET_HANTEI(records[r].systolic, records[r].diastolic).colour);
        EXPECT_FALSE(view.rows[r][9].background.has_value());
    }
    // 118/76 and 168.5/101 are different classes, so the colour really follows the record.
    EXPECT_NE(view.rows[1][3].background, view.rows[2][3].background);
}

TEST(DiaryView, ScrollsToTheLastRowPastSixteenGridRows) {
    const MeasurementRecord r{"2005/02/01", "起床時", 120, 80, 70, "", 60};
    struct Case {
        std::size_t records;
        std::optional<int> topRow;
    };
    for (const Case& c : std::vector<Case>{
             {0, std::nullopt}, {1, std::nullopt}, {15, std::nullopt}, {16, 16}, {17, 17}, {40000, 40000}}) {
        const GridView view = build_diary_view(std::vector<MeasurementRecord>(c.records, r));
        EXPECT_EQ(view.rows.size(), c.records);
        EXPECT_EQ(view.topRow, c.topRow) << c.records;
        EXPECT_EQ(diary_top_row(c.records), c.topRow) << c.records;  // what the lazily filled list scrolls to
        if (!view.rows.empty()) {
            EXPECT_EQ(view.rows.back()[0].text, std::to_string(c.records));
        }
    }
}

TEST(DiaryView, HelpText) {
    EXPECT_EQ(diary_help_text(),
              "一回一回の測定ごとにちょっとしたコメントを残すことができます。\r\n\r\n"
              "降圧剤などの服用や生活の状態、食事の内容などを記入したり、\r\n"
              "メインの行動コメント以外に特筆すべきことがあった場合に使ってみましょう。\r\n\r\n"
              "気付きメモはよりフリーにいろんなことが書き込めます。\r\n"
              "血圧管理についてに気付いたことなどを書き留めてもいいと思います。\r\n\r\n");
}
