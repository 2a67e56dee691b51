#include "core/views/diary_view.h"

#include "core/rules/classification.h"
#include "core/rules/measured.h"
#include "core/rules/numbers.h"

namespace sora {

std::vector<GridColumn> diary_columns() {
    return {
        {"回", 545, Align::Right, Align::Centre},   {"日付", 1100, Align::Centre, Align::Centre},
        {"行動", 1600, Align::Left, Align::Centre}, {"", 90, Align::Centre, Align::Centre},
        {"最高", 540, Align::Right, Align::Centre}, {"最低", 540, Align::Right, Align::Centre},
        {"高低", 540, Align::Right, Align::Centre}, {"脈拍", 540, Align::Right, Align::Centre},
        {"体重", 540, Align::Right, Align::Centre}, {"一言日記", 5040, Align::Left, Align::Centre},
    };
}

GridRow diary_row(std::size_t number, const MeasurementRecord& record) {
    GridRow row(10);
    row[0].text = std::to_string(number);
    row[1].text = record.date;
    row[2].text = record.situation;
    if (has_pressure(record)) {
        row[3].background = GET_HANTEI(record.systolic, record.diastolic).colour;
    }
    row[4].text = measured_text(record.systolic);
    row[5].text = measured_text(record.diastolic);
    row[6].text = pressure_difference_text(record);
    row[7].text = measured_text(record.pulse);
    row[8].text = measured_text(record.weight);
    row[DiaryTextColumn].text = record.diary;
    return row;
}

GridView build_diary_view(const std::vector<MeasurementRecord>& records) {
    GridView view;
    view.columns = diary_columns();
    view.rows.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        view.rows.push_back(diary_row(i + 1, records[i]));
    }
    view.topRow = diary_top_row(records.size());
    return view;
}

std::optional<int> diary_top_row(std::size_t records) {
    if (records + 1 > DiaryVisibleRows) {
        return static_cast<int>(records);
    }
    return std::nullopt;
}

std::string diary_help_text() {
    return "一回一回の測定ごとにちょっとしたコメントを残すことができます。\r\n\r\n"
           "降圧剤などの服用や生活の状態、食事の内容などを記入したり、\r\n"
           "メインの行動コメント以外に特筆すべきことがあった場合に使ってみましょう。\r\n\r\n"
           "気付きメモはよりフリーにいろんなことが書き込めます。\r\n"
           "血圧管理についてに気付いたことなどを書き留めてもいいと思います。\r\n\r\n";
}

}  // namespace sora
