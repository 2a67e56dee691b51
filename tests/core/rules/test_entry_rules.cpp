#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/rules/entry_rules.h"

using namespace sora;

namespace {

const EntryBoxes Good = {"126", "80", "70", "62.5"};

std::string refusal(bool sample, const std::string& situation, const EntryBoxes& boxes) {
    const auto message = check_entry(sample, situation, boxes);
    return message ? message->title + " / " + message->text : "ok";
}

EntryBoxes with(int index, const std::string& text) {
    EntryBoxes boxes = Good;
    boxes[static_cast<std::size_t>(index)] = text;
    return boxes;
}

}  // namespace

TEST(EntryRules, EveryCheckInItsOrder) {
    struct Case {
        bool sample;
        std::string situation;
        EntryBoxes boxes;
        std::string expected;
    };
    const std::string NotNumber = "数値以外入力 / 数値を入力してください";
    const std::string NotPositive = "異常入力 / ０以下が入力されています";
    const std::string TooLarge = "入力制限 / ９９９以上は入力できません";
    std::vector<Case> cases = {
        // 1: sample mode wins over everything else, even a complete entry.
        {true, "起床後", Good,
         "新規スタート促し / ご自身のデータでスタートする時は編集ボタンで新規スタートしてください。"},
        // 2: with the situation missing and all values empty, only the situation message.
        {false, "", {"", "", "", ""}, "行動未入力 / 行動が指定されていません"},
        {false, "起床後", with(0, ""), "最高血圧未入力 / 最高血圧が入力されていません"},
        {false, "起床後", with(1, ""), "最低血圧未入力 / 最低血圧が入力されていません"},
        {false, "起床後", with(2, ""), "脈拍未入力 / 脈拍が入力されていません"},
        {false, "起床後", with(3, ""), "体重未入力 / 体重が入力されていません"},
        // The first failing box decides: an empty diastolic comes after a bad systolic.
        {false, "起床後", {"12a", "", "", ""}, NotNumber},
        {false, "起床後", {"126", "0", "abc", ""}, NotPositive},
        {false, "起床後", Good, "ok"},
        {false, "起床後", {" 126 ", "80.0", "70", "998.9"}, "ok"},
        // A situation the files cannot hold is refused after the value checks.
        {false, "散歩😀", Good,
         "使用できない文字 / 保存できない文字（絵文字など）が含まれています。別の文字で入力してください。"},
    };
    for (int box = 0; box < 4; ++box) {
        cases.push_back({false, "起床後", with(box, "12a"), NotNumber});
        cases.push_back({false, "起床後", with(box, "1e3"), NotNumber});
        cases.push_back({false, "起床後", with(box, "0"), NotPositive});
        cases.push_back({false, "起床後", with(box, "-3"), NotPositive});
        cases.push_back({false, "起床後", with(box, "999"), TooLarge});
        cases.push_back({false, "起床後", with(box, "1000.5"), TooLarge});
        cases.push_back({false, "起床後", with(box, "998.9"), "ok"});
        // 998.99999 is 999 as a 32-bit float.
        cases.push_back({false, "起床後", with(box, "998.99999"), TooLarge});
    }
    for (const Case& c : cases) {
        EXPECT_EQ(refusal(c.sample, c.situation, c.boxes), c.expected)
            << "boxes " << c.boxes[0] << "," << c.boxes[1] << "," << c.boxes[2] << "," << c.boxes[3];
    }
}

TEST(EntryRules, RecordIsFormedFromTheBoxes) {
    const MeasurementRecord record = form_record("2005/02/09", "起床後", {"126.0", " 80 ", "70", "62.50"}, "7:05:09");
    EXPECT_EQ(record, (MeasurementRecord{"2005/02/09", "起床後", 126, 80, 70, "7:05:09", 62.5f}));
    EXPECT_EQ(format_record_line(record), "\"2005/02/09\",\"起床後\",126,80,70,\"7:05:09\",62.5");

    const MeasurementRecord plain = form_record("2005/02/09", "朝", {"998.9", "80", "70", "62.4"}, "");
    EXPECT_EQ(format_record_line(plain), "\"2005/02/09\",\"朝\",998.9,80,70,\"\",62.4");
}

TEST(EntryRules, InsertOnlyBeforeALaterLatestDate) {
    EXPECT_TRUE(needs_insert("2005/02/10", "2005/02/09"));
    EXPECT_FALSE(needs_insert("2005/02/09", "2005/02/09"));
    EXPECT_FALSE(needs_insert("2005/02/08", "2005/02/09"));
    EXPECT_TRUE(needs_insert("2006/01/01", "2005/12/31"));
    EXPECT_FALSE(needs_insert("", "2005/02/09"));
}

TEST(EntryRules, Stepping) {
    struct Case {
        std::string text;
        int delta;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"62.5", 1, "63.5"}, {"62.5", -1, "61.5"}, {"1", -1, "0"},     {"0", -1, "-1"},
        {"", 1, "1"},        {"", -1, "-1"},       {"abc", 1, "1"},    {"120abc", 1, "121"},
        {"126", 1, "127"},   {"62.6", 1, "63.6"},  {" 80 ", -1, "79"}, {"998.9", 1, "999.9"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(step_value(c.text, c.delta), c.expected) << "'" << c.text << "' " << c.delta;
    }
    // 62.5 → 63.5 → 62.5: steps keep the decimals and come back exactly.
    EXPECT_EQ(step_value(step_value("62.5", 1), -1), "62.5");
}
