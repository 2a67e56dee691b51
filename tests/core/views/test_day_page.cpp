#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/files/text_codec.h"
#include "core/views/day_page.h"
#include "test_support.h"

using namespace sora;
using sora::test::autoAxes;
using sora::test::manualAxes;

namespace {

MeasurementRecord rec(std::string date, float s, float d, float p, float w, std::string situation = "起床後") {
    return MeasurementRecord{std::move(date), std::move(situation), s, d, p, "", w};
}

DayPage page(const std::vector<MeasurementRecord>& records, const char* day,
             const GraphAxisSettings& settings = autoAxes(), SecondaryQuantity q = SecondaryQuantity::Weight) {
    return build_day_page(records, day, settings, q);
}

/// Columns 0 to 13 of a day-list row as texts joined by "|", colours as (r,g,b) after a text when set.
std::string line(const GridRow& row) {
    std::string out;
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i > 0) {
            out += "|";
        }
        out += row[i].text;
        if (row[i].background) {
            const Colour c = *row[i].background;
            for (const std::string& part :
                 {std::string("("), std::to_string(c.r), std::string(","), std::to_string(c.g), std::string(","),
                  std::to_string(c.b), std::string(")")}) {
                out += part;
            }
        }
    }
    return out;
}

std::vector<std::string> lines(const DayPage& p) {
    std::vector<std::string> out;
    for (const GridRow& row : p.list.rows) {
        out.push_back(line(row));
    }
    return out;
}

// Light green of class 2, light yellow of class 3, and the arrow colours.
const std::string Normal = "(192,255,192)";
const std::string HighNormal = "(255,255,192)";
const std::string Up = "↑(255,192,192)";
const std::string Same = "→(255,255,192)";
const std::string Down = "↓(192,255,192)";

}  // namespace

TEST(DayPage, ListRowsChangesAndArrows) {
    struct Case {
        const char* what;
        std::vector<MeasurementRecord> records;
        const char* day;
        std::vector<std::string> rows;
    };
    const std::vector<MeasurementRecord> diary = {
        rec("2005/02/01", 126, 80, 70, 62.5f, "はじめの一歩"),
        rec("2005/02/01", 125, 79, 66, 62.6f),
        rec("2005/02/03", 131, 84, 68, 62.4f),
        rec("2005/02/05", 125, 79, 66, 61.9f, "夕食後"),
        rec("2005/02/05", 125, 86, 66, 61.9f),
    };
    const std::vector<Case> cases = {
        {"a day without measurements lists nothing", diary, "2005/02/02", {}},
        {"the diary's first day compares its first measurement with itself, then line by line",
         diary,
         "2005/02/01",
         {"1|はじめの一歩|" + Normal + "|126|0|" + Same + "|80|0|" + Same + "|46|70|62.5|0.0|" + Same,
          "2|起床後|" + Normal + "|125|-1|" + Down + "|79|-1|" + Down + "|46|66|62.6|0.1|" + Up}},
        {"a later day starts from the last measurement of the closest earlier day that has one",
         diary,
         "2005/02/05",
         {"1|夕食後|" + Normal + "|125|-6|" + Down + "|79|-5|" + Down + "|46|66|61.9|-0.5|" + Down,
          "2|起床後|" + HighNormal + "|125|0|" + Same + "|86|7|" + Up + "|39|66|61.9|0.0|" + Same}},
        {"one measurement a day skipped in between",
         diary,
         "2005/02/03",
         {"1|起床後|" + HighNormal + "|131|6|" + Up + "|84|5|" + Up + "|47|68|62.4|-0.2|" + Down}},
        {"decimals: the change is the difference of the shown values",
         {rec("2005/02/01", 120.5f, 80, 70.5f, 62.6f), rec("2005/02/01", 121.7f, 80.2f, 70, 62.65f)},
         "2005/02/01",
         {"1|起床後|" + Normal + "|120.5|0|" + Same + "|80|0|" + Same + "|40.5|70.5|62.6|0.0|" + Same,
          "2|起床後|" + Normal + "|121.7|1.2|" + Up + "|80.2|0.2|" + Up + "|41.5|70|62.65|0.1|" + Up}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DayPage p = page(c.records, c.day);
        EXPECT_EQ(lines(p), c.rows);
        EXPECT_EQ(p.measurements, c.rows.size());
    }
}

TEST(DayPage, ColumnsOfTheDayList) {
    const auto& columns = day_list_columns();
    ASSERT_EQ(columns.size(), 14u);
    std::string headings;
    int width = 0;
    for (const GridColumn& column : columns) {
        headings += column.heading + "/";
        width += column.widthTwips;
        EXPECT_EQ(column.headingAlign, Align::Centre);
    }
    EXPECT_EQ(headings, "回/行動//最高/前/差/最低/前/差/高低/脈拍/体重/前/差/");
    EXPECT_EQ(width, 8445);
    EXPECT_EQ(columns[day_col::Situation].align, Align::Left);
    EXPECT_EQ(columns[day_col::SystolicArrow].align, Align::Centre);
    EXPECT_EQ(columns[day_col::WeightArrow].align, Align::Centre);
    EXPECT_EQ(columns[day_col::WeightChange].align, Align::Right);
}

TEST(DayPage, StatisticsTruncateTheMean) {
    const std::vector<MeasurementRecord> records = {
        rec("2005/02/08", 150, 95, 80, 60),
        rec("2005/02/09", 131, 84, 68, 62.4f),
        rec("2005/02/09", 125, 79, 66, 62.6f),
        rec("2005/02/10", 100, 60, 50, 60),
    };
    const DayPage p = page(records, "2005/02/09");
    using Row = std::array<std::string, 4>;
    EXPECT_EQ(p.statistics[0], (Row{"131", "125", "6", "128"}));
    EXPECT_EQ(p.statistics[1], (Row{"84", "79", "5", "81"}));  // 81.5 truncated
    EXPECT_EQ(p.statistics[2], (Row{"68", "66", "2", "67"}));
    EXPECT_EQ(p.statistics[3], (Row{"47", "46", "1", "46"}));  // 46.5 truncated

    // Averages with decimals truncate too; a single measurement has range 0.
    const DayPage one = page({rec("2005/02/09", 120.8f, 79.6f, 66.5f, 60)}, "2005/02/09");
    EXPECT_EQ(one.statistics[0], (Row{"120.8", "120.8", "0", "120"}));
    EXPECT_EQ(one.statistics[3], (Row{"41.2", "41.2", "0", "41"}));

    const DayPage empty = page(records, "2005/02/11");
    for (const auto& quantity : empty.statistics) {
        EXPECT_EQ(quantity, (Row{"0", "0", "0", "0"}));
    }
}

TEST(DayPage, EmptyDayJudgementAndPreviousMeasurement) {
    const std::vector<MeasurementRecord> records = {
        rec("2005/02/01", 126, 80, 70, 62.5f), rec("2005/02/03", 150, 85, 72, 63),  // class 7 is the log's last record
    };
    const DayPage empty = page(records, "2005/02/02");
    EXPECT_TRUE(empty.ok);
    EXPECT_TRUE(empty.list.rows.empty());
    EXPECT_EQ(empty.judgement.name, "本日未登録");
    EXPECT_EQ(empty.judgement.colour, colours::White);
    EXPECT_EQ(empty.face, Face::None);
    // The pointer stands at the class of the log's last record; only the name says 収縮期高血圧, so 900.
    EXPECT_EQ(empty.pointerX, 1625);
    EXPECT_EQ(empty.pointerY, 900);
    EXPECT_EQ(empty.previous.systolic, 150);
    EXPECT_EQ(empty.previous.weight, 63);
    EXPECT_TRUE(empty.marks.empty());
    ASSERT_EQ(empty.chartRows.size(), 1u);
    EXPECT_EQ(empty.chartRows[0], (ChartRow{0, 0, 0, 0}));

    const DayPage day = page(records, "2005/02/03");
    EXPECT_EQ(day.judgement.name, "収縮期高血圧");
    EXPECT_EQ(day.face, Face::Sulky);
    EXPECT_EQ(day.pointerX, 1625);
    EXPECT_EQ(day.pointerY, 750);

    // The previous measurement is the *latest* of the selected day, not the log's last record.
    const DayPage first = page(records, "2005/02/01");
    EXPECT_EQ(first.previous.systolic, 126);
    EXPECT_EQ(first.judgement.name, "正常血圧");
    EXPECT_EQ(first.face, Face::Laughing);
    EXPECT_EQ(first.pointerX, 500);
    EXPECT_EQ(first.startDate, "2005/02/01");
    EXPECT_EQ(first.latestDate, "2005/02/03");
    EXPECT_EQ(first.recordCount, 2u);

    const DayPage nothing = page({}, "2005/02/01");
    EXPECT_EQ(nothing.judgement.name, "本日未登録");
    EXPECT_EQ(nothing.recordCount, 0u);
    EXPECT_EQ(nothing.latestDate, "");
}

TEST(DayPage, MarksOfTheJudgementChart) {
    const std::vector<MeasurementRecord> records = {
        rec("2005/02/09", 120, 80, 70, 60),
        rec("2005/02/09", 180, 110, 70, 60),
    };
    const DayPage p = page(records, "2005/02/09");
    ASSERT_EQ(p.marks.size(), 3u);
    EXPECT_EQ(p.marks[0].x, 2000);
    EXPECT_EQ(p.marks[0].y, 2500);
    EXPECT_EQ(p.marks[0].radius, 60);
    EXPECT_EQ(p.marks[0].colour, colours::White);
    EXPECT_EQ(p.marks[1].x, 3500);
    EXPECT_EQ(p.marks[1].y, 1000);
    // Today's latest: the last measurement again, larger and light blue, drawn last.
    EXPECT_EQ(p.marks[2].x, 3500);
    EXPECT_EQ(p.marks[2].y, 1000);
    EXPECT_EQ(p.marks[2].radius, 70);
    EXPECT_EQ(p.marks[2].colour, colours::TodayMark);
}

TEST(DayPage, ScrollRule) {
    struct Case {
        int measurements;
        std::optional<int> topRow;
    };
    for (const Case& c : std::vector<Case>{{0, {}}, {6, {}}, {7, 7}, {12, 12}}) {
        std::vector<MeasurementRecord> records = {rec("2005/02/01", 120, 80, 70, 60)};
        for (int i = 0; i < c.measurements; ++i) {
            records.push_back(rec("2005/02/02", 120.0f + static_cast<float>(i), 80, 70, 60));
        }
        const DayPage p = page(records, "2005/02/02");
        EXPECT_EQ(p.list.rows.size(), static_cast<std::size_t>(c.measurements));
        EXPECT_EQ(p.list.topRow, c.topRow) << c.measurements << " measurements";
    }
}

TEST(DayPage, ChartRowsAxesAndExtremes) {
    const std::vector<MeasurementRecord> records = {
        rec("2005/02/09", 131, 84, 68, 62.4f), rec("2005/02/09", 125, 79, 66, 62.6f), rec("2005/02/10", 125, 79, 66, 0),
        rec("2005/02/10", 140, 90, 81, 65.8f), rec("2005/02/10", 118, 75, 62, 60.4f),
    };
    struct Case {
        const char* what;
        const char* day;
        GraphAxisSettings settings;
        SecondaryQuantity quantity;
        AxisRange primary;
        AxisRange secondary;
    };
    const std::vector<Case> cases = {
        // The maximum rounds up, so the highest point stays inside the chart: weights 62.4 / 62.6 give 61 to 63.
        {"automatic, weight", "2005/02/09", autoAxes(), SecondaryQuantity::Weight, {79, 131, 10}, {61, 63, 10}},
        {"automatic, pulse", "2005/02/09", autoAxes(), SecondaryQuantity::Pulse, {79, 131, 10}, {65, 68, 10}},
        // A weight of 0 never becomes the smallest weight.
        {"weight 0 ignored", "2005/02/10", autoAxes(), SecondaryQuantity::Weight, {75, 140, 10}, {59, 66, 10}},
        {"pulse 62 to 81", "2005/02/10", autoAxes(), SecondaryQuantity::Pulse, {75, 140, 10}, {61, 81, 10}},
        {"manual, weight", "2005/02/09", manualAxes(), SecondaryQuantity::Weight, {50, 190, 7}, {50, 80, 6}},
        {"manual, pulse", "2005/02/09", manualAxes(), SecondaryQuantity::Pulse, {50, 190, 7}, {40, 110, 7}},
        // No data in automatic mode: the settings' ranges, never an axis from 999 down to 0.
        {"empty day",
         "2005/02/11",
         [] {
             GraphAxisSettings s = manualAxes();
             s.autoScale = 1;
             return s;
         }(),
         SecondaryQuantity::Weight,
         {50, 190, 7},
         {50, 80, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DayPage p = page(records, c.day, c.settings, c.quantity);
        EXPECT_EQ(p.primary, c.primary);
        EXPECT_EQ(p.secondary, c.secondary);
    }

    const DayPage day = page(records, "2005/02/10");
    ASSERT_EQ(day.chartRows.size(), 3u);
    EXPECT_EQ(day.chartRows[1], (ChartRow{140, 90, 81, 65.8f}));
    EXPECT_EQ(day.extremes, (DataExtremes{81, 62, 65.8f, 60.4f}));
    EXPECT_EQ(day.largestSystolic, 140);
    EXPECT_EQ(day.smallestDiastolic, 75);

    const DayPage onlyZeroWeight = page({rec("2005/02/10", 125, 79, 66, 0)}, "2005/02/10");
    EXPECT_EQ(onlyZeroWeight.extremes, (DataExtremes{66, 66, 0, 999}));
    const DayPage empty = page(records, "2005/02/11");
    EXPECT_EQ(empty.extremes, DataExtremes{});
}

TEST(DayPage, UnreadableLogGivesAnEmptyPageAndTheLine) {
    const test::ScratchDir dir;
    test::write_bytes(dir / "データ.txt", test::cp932("\"2005/02/09\",\"はじめの一歩\",126,80,70,,62.5\r\n"
                                                      "\"2005/02/09\",\"起床後\",125\r\n"));
    LogCache log{DataDir(dir.path())};
    const DayPage p = day_page_of(log.read(), "2005/02/09", autoAxes(), SecondaryQuantity::Weight);
    EXPECT_FALSE(p.ok);
    EXPECT_NE(p.message.find("データ.txt"), std::string::npos) << p.message;
    EXPECT_NE(p.message.find('2'), std::string::npos) << p.message;
    EXPECT_TRUE(p.list.rows.empty());
    EXPECT_EQ(p.judgement.name, "本日未登録");

    // A readable log of many records: counts are not 16-bit.
    std::vector<MeasurementRecord> many(100000, rec("2005/02/01", 120, 80, 70, 60));
    many.push_back(rec("2005/02/02", 121, 80, 70, 60));
    const DayPage big = page(many, "2005/02/01");
    EXPECT_EQ(big.recordCount, 100001u);
    EXPECT_EQ(big.list.rows.back()[day_col::Number].text, "100000");
    EXPECT_EQ(big.list.topRow, 100000);
}
