#include "core/rules/entry_rules.h"

#include "core/files/text_codec.h"
#include "core/rules/numbers.h"

namespace sora {

namespace {

struct BoxMessages {
    const char* emptyTitle;
    const char* emptyText;
};

// Empty-box messages of systolic, diastolic, pulse, weight; the value checks share their messages.
constexpr BoxMessages EmptyBox[4] = {
    {"最高血圧未入力", "最高血圧が入力されていません"},
    {"最低血圧未入力", "最低血圧が入力されていません"},
    {"脈拍未入力", "脈拍が入力されていません"},
    {"体重未入力", "体重が入力されていません"},
};

std::optional<EntryMessage> check_box(int index, std::string_view text, const OptionalBoxes& optional) {
    if (text.empty() && optional[static_cast<std::size_t>(index)]) {
        return std::nullopt;
    }
    if (text.empty()) {
        return EntryMessage{EmptyBox[index].emptyTitle, EmptyBox[index].emptyText};
    }
    const std::optional<double> value = number_value(half_width_number(text));
    if (!value) {
        return EntryMessage{"数値以外入力", "数値を入力してください"};
    }
    const float stored = static_cast<float>(*value);
    if (stored <= 0) {
        return EntryMessage{"異常入力", "０以下が入力されています"};
    }
    if (stored >= 999) {
        return EntryMessage{"入力制限", "９９９以上は入力できません"};
    }
    return std::nullopt;
}

}  // namespace

std::optional<EntryMessage> check_entry(bool sampleMode, std::string_view situation, const EntryBoxes& boxes,
                                        const OptionalBoxes& optional) {
    if (sampleMode) {
        return sample_diary_message();
    }
    if (situation.empty()) {
        return EntryMessage{"行動未入力", "行動が指定されていません"};
    }
    for (int index = 0; index < 4; ++index) {
        if (auto refusal = check_box(index, boxes[static_cast<std::size_t>(index)], optional)) {
            return refusal;
        }
    }
    if (!cp932_can_hold(situation)) {
        return unstorable_text_message();
    }
    return std::nullopt;
}

EntryMessage sample_diary_message() {
    return EntryMessage{"新規スタート促し", "ご自身のデータでスタートする時は編集ボタンで新規スタートしてください。"};
}

int refused_box(bool sampleMode, std::string_view situation, const EntryBoxes& boxes, const OptionalBoxes& optional) {
    if (sampleMode || situation.empty()) {
        return -1;
    }
    for (int index = 0; index < 4; ++index) {
        if (check_box(index, boxes[static_cast<std::size_t>(index)], optional)) {
            return index;
        }
    }
    return -1;
}

MeasurementRecord form_record(std::string_view date, std::string_view situation, const EntryBoxes& boxes,
                              std::string_view diary) {
    MeasurementRecord record;
    record.date = std::string(date);
    record.situation = std::string(situation);
    record.systolic = static_cast<float>(leading_number(half_width_number(boxes[0])));
    record.diastolic = static_cast<float>(leading_number(half_width_number(boxes[1])));
    record.pulse = static_cast<float>(leading_number(half_width_number(boxes[2])));
    record.diary = std::string(diary);
    record.weight = static_cast<float>(leading_number(half_width_number(boxes[3])));
    return record;
}

bool needs_insert(std::string_view latestDate, std::string_view newDate) {
    return latestDate > newDate;
}

std::string step_value(std::string_view boxText, int delta) {
    return format_number(leading_number(half_width_number(boxText)) + delta);
}

EntryMessage unstorable_text_message() {
    return {"使用できない文字", "保存できない文字（絵文字など）が含まれています。別の文字で入力してください。"};
}

std::string free_situation_prompt() {
    return "状況リストに無い内容をフリーで入力できます。\n"
           "\n"
           "任意の言葉で内容を書き込んでください。\n"
           "\n"
           "体重は通常と同じように ↓↑ボタンで指定してください。\n";
}

}  // namespace sora
