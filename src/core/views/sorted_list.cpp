#include "core/views/sorted_list.h"

#include <charconv>
#include <cmath>
#include <string>

#include "core/rules/classification.h"
#include "core/rules/measured.h"
#include "core/rules/numbers.h"

namespace sora {

namespace {

// Whole numbers are the usual values; they skip the general seven-digit rounding (same text, a tenth of the time).
// A value not measured leaves its cell empty.
std::string value_text(float value) {
    if (!is_measured(value)) {
        return {};
    }
    const double v = value;
    if (v == std::trunc(v) && std::fabs(v) < 1e7) {
        char buffer[16];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long>(v)).ptr;
        return std::string(buffer, end);
    }
    return format_number(v);
}

}  // namespace

const std::array<SortButtonInfo, 9>& sort_buttons() {
    static const std::array<SortButtonInfo, 9> buttons{{
        {"cmdSort1", "回 （日付）", 0, SortKeyKind::Numeric},
        {"cmdSort2", "行動", 2, SortKeyKind::Text},
        {"cmdSort3", "血圧判定", 10, SortKeyKind::Text},
        {"cmdSort4", "最高血圧", 4, SortKeyKind::Numeric},
        {"cmdSort5", "最低血圧", 5, SortKeyKind::Numeric},
        {"cmdSort6", "高低の差", 6, SortKeyKind::Numeric},
        {"cmdSort7", "脈拍", 7, SortKeyKind::Numeric},
        {"cmdSort8", "一言日記", 9, SortKeyKind::Text},
        {"cmdSort9", "体重", 8, SortKeyKind::Numeric},
    }};
    return buttons;
}

std::vector<GridColumn> sorted_list_columns() {
    return {
        {"回", 680, Align::Right, Align::Centre},   {"日付", 1400, Align::Centre, Align::Centre},
        {"行動", 2015, Align::Left, Align::Centre}, {"", 90, Align::Left, Align::Centre},
        {"最高", 650, Align::Right, Align::Centre}, {"最低", 650, Align::Right, Align::Centre},
        {"高低", 650, Align::Right, Align::Centre}, {"脈拍", 650, Align::Right, Align::Centre},
        {"体重", 650, Align::Right, Align::Centre}, {"一言日記", 3670, Align::Left, Align::Centre},
        {"", 0, Align::Left, Align::Left},
    };
}

GridRow sorted_list_row(std::size_t number, const MeasurementRecord& r) {
    GridRow row(11);
    row[0].text = std::to_string(number);
    row[1].text = r.date;
    row[2].text = r.situation;
    if (has_pressure(r)) {
        // The detailed judgement's name and colour, straight from the class table.
        const BpClassInfo& judged = class_info(classify(r.systolic, r.diastolic));
        row[3].background = judged.detailedColour;
        row[10].text = judged.name;
    }
    row[4].text = value_text(r.systolic);
    row[5].text = value_text(r.diastolic);
    row[6].text = pressure_difference_text(r);
    row[7].text = value_text(r.pulse);
    row[8].text = value_text(r.weight);
    row[9].text = r.diary;
    return row;
}

std::optional<int> sorted_list_top_row(std::size_t records) {
    // More than 24 rows with the heading: bring the newest records into view.
    if (records + 1 > 24) {
        return static_cast<int>(records);
    }
    return std::nullopt;
}

GridView build_sorted_list(const std::vector<MeasurementRecord>& records) {
    GridView view;
    view.columns = sorted_list_columns();
    view.rows.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        view.rows.push_back(sorted_list_row(i + 1, records[i]));
    }
    view.topRow = sorted_list_top_row(records.size());
    return view;
}

std::string sorted_list_help_text() {
    return "入力したデータを一覧表示しています。\r\n\r\n"
           "各種データ毎に「昇順」「降順」で並び替えができます。\r\n"
           "行動毎に並び替えたり、血圧が多い順に並び替えたり…など表示をかえることができます。\r\n\r\n";
}

bool SortDirections::click(int index) {
    const auto i = static_cast<std::size_t>(index);
    const bool ascending = !m_descendingNext.at(i);
    m_descendingNext[i] = ascending;
    return ascending;
}

bool SortDirections::nextAscending(int index) const {
    return !m_descendingNext.at(static_cast<std::size_t>(index));
}

}  // namespace sora
