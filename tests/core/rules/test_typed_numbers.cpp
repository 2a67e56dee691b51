// Numbers typed through a Japanese input method: full-width digits, points, signs and blanks read like their
// half-width forms in every box where a number is typed, and only half-width text reaches the files.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/edits/graph_settings_input.h"
#include "core/edits/new_start.h"
#include "core/rules/entry_rules.h"
#include "core/rules/numbers.h"

namespace {

struct Typed {
    std::string typed;
    std::string halfWidth;
    std::string entry;        // the value stored by the entry panel and the new start, or the refusal's title
    std::optional<int> axis;  // the graph box's value, nullopt when refused
    std::string stepUp;       // the box after a click on ↑
};

const std::vector<Typed>& table() {
    static const std::vector<Typed> rows = {
        {"１２０", "120", "120", 120, "121"},
        {"６２．５", "62.5", "62.5", 62, "63.5"},
        {"１３．５", "13.5", "13.5", 14, "14.5"},
        {"．５", ".5", "0.5", 0, "1.5"},
        {"９９８．９", "998.9", "998.9", 999, "999.9"},
        {"１２6", "126", "126", 126, "127"},
        {"＋１２６", "+126", "126", 126, "127"},
        {"　１２６　", " 126 ", "126", 126, "127"},
        {"\t７０　 ", "\t70  ", "70", 70, "71"},
        {"－３", "-3", "異常入力", -3, "-2"},
        {"−３", "-3", "異常入力", -3, "-2"},
        {"ー３", "-3", "異常入力", -3, "-2"},
        {"ｰ３", "-3", "異常入力", -3, "-2"},
        {"－０．５", "-0.5", "異常入力", 0, "0.5"},
        {"０", "0", "異常入力", 0, "1"},
        {"９９９", "999", "入力制限", 999, "1000"},
        {"３２７６８", "32768", "入力制限", std::nullopt, "32769"},
        // The ideographic full stop and the middle dot are no decimal points.
        {"６２。５", "62。5", "数値以外入力", std::nullopt, "63"},
        {"６２・５", "62・5", "数値以外入力", std::nullopt, "63"},
        {"１，０００", "1，000", "数値以外入力", std::nullopt, "2"},
        {"１２０ａｂｃ", "120ａｂｃ", "数値以外入力", std::nullopt, "121"},
        {"血圧１２０", "血圧120", "数値以外入力", std::nullopt, "1"},
        {"１２　０", "12 0", "数値以外入力", std::nullopt, "13"},
        {"－－３", "--3", "数値以外入力", std::nullopt, "1"},
        {"ー", "-", "数値以外入力", std::nullopt, "1"},
        {"　", " ", "数値以外入力", std::nullopt, "1"},
        {"１ｅ３", "1ｅ3", "数値以外入力", std::nullopt, "2"},
        {"120", "120", "120", 120, "121"},
        {"62.5", "62.5", "62.5", 62, "63.5"},
    };
    return rows;
}

std::string entryOutcome(const sora::EntryBoxes& boxes, int box) {
    if (const auto refusal = sora::check_entry(false, "起床後", boxes)) {
        return refusal->title;
    }
    const sora::MeasurementRecord record = sora::form_record("2005/03/01", "起床後", boxes, "");
    const float values[4] = {record.systolic, record.diastolic, record.pulse, record.weight};
    return sora::format_number(values[box]);
}

std::string newStartOutcome(const sora::NewStartInput& input, int box) {
    const sora::NewStartCheck check = sora::check_new_start(input, sora::Date{2005, 3, 1});
    if (!check.plan) {
        return check.refusal.title;
    }
    const sora::MeasurementRecord& record = check.plan->record;
    const float values[4] = {record.systolic, record.diastolic, record.pulse, record.weight};
    return sora::format_number(values[box]);
}

}  // namespace

// Each typed text goes through every path that reads a number box: the entry panel's four boxes (check, record,
// stepper), the new start's four value boxes and the graph settings' boxes.
TEST(TypedNumbers, FullWidthInputReadsLikeHalfWidthInEveryNumberBox) {
    for (const Typed& row : table()) {
        SCOPED_TRACE("typed '" + row.typed + "'");
        EXPECT_EQ(sora::half_width_number(row.typed), row.halfWidth);
        EXPECT_EQ(sora::step_value(row.typed, +1), row.stepUp);

        for (int box = 0; box < 4; ++box) {
            SCOPED_TRACE("box " + std::to_string(box));
            sora::EntryBoxes boxes = {"126", "80", "70", "62.5"};
            boxes[static_cast<std::size_t>(box)] = row.typed;
            EXPECT_EQ(entryOutcome(boxes, box), row.entry);

            sora::NewStartInput input{"そら", "126", "80", "70", "62.5", "はじめの一歩"};
            std::string* values[4] = {&input.systolic, &input.diastolic, &input.pulse, &input.weight};
            *values[box] = row.typed;
            EXPECT_EQ(newStartOutcome(input, box), row.entry);
        }

        const std::optional<std::int16_t> axis = sora::parse_axis_value(row.typed);
        EXPECT_EQ(axis.has_value(), row.axis.has_value());
        if (axis && row.axis) {
            EXPECT_EQ(*axis, *row.axis);
        }
        sora::GraphBoxTexts texts = sora::graph_settings_texts(sora::GraphAxisSettings{});
        texts[4] = row.typed;
        const sora::GraphSettingsInput graph = sora::parse_graph_settings(texts, false, sora::GraphAxisSettings{});
        EXPECT_EQ(graph.badBox, row.axis ? -1 : 4);
        if (graph.settings && row.axis) {
            EXPECT_EQ(graph.settings->pulseMin, *row.axis);
        }
    }
}

// Only the listed characters change: other full-width text and broken UTF-8 pass unchanged.
TEST(TypedNumbers, OtherCharactersPassUnchanged) {
    const std::string digitOne = "１";
    const std::vector<std::string> unchanged = {
        "", "abc", "はじめの一歩", "ＡＢＣ", "。、・", "\x80\x81", digitOne.substr(0, 1), digitOne.substr(0, 2),
    };
    for (const std::string& text : unchanged) {
        EXPECT_EQ(sora::half_width_number(text), text);
    }
}
