#include "core/import/generic_csv.h"

#include <algorithm>
#include <cctype>

#include "core/import/csv_formats.h"
#include "core/import/import_fields.h"
#include "core/rules/numbers.h"

namespace sora {
namespace {

std::string lower(std::string_view text) {
    std::string out(trimmed(text));
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

bool contains_any(const std::string& text, std::initializer_list<std::string_view> words) {
    return std::any_of(words.begin(), words.end(),
                       [&](std::string_view w) { return text.find(w) != std::string::npos; });
}

/// The role a heading names, in English, German or Japanese, as exports of monitors and apps write them.
ColumnRole role_from_heading(std::string_view heading) {
    const std::string h = lower(heading);
    // Headings that contain a role's word without being that role: a zone is no time, a mark no pulse.
    if (contains_any(h, {"zone", "ゾーン", "irregular", "不規則", "arrhythm", "mean arterial"}) || h == "map") {
        return ColumnRole::Ignore;
    }
    if (contains_any(h, {"日時", "datetime", "date/time", "date time", "timestamp", "zeitpunkt"})) {
        return ColumnRole::DateTime;
    }
    if (contains_any(h, {"日付", "年月日", "date", "測定日", "datum"})) {
        return ColumnRole::Date;
    }
    if (contains_any(h, {"時刻", "時間", "time", "zeit"})) {
        return ColumnRole::Time;
    }
    if (contains_any(h, {"最高", "収縮", "sys", "上の血圧", "upper"}) || h == "上") {
        return ColumnRole::Systolic;
    }
    if (contains_any(h, {"最低", "拡張", "dia", "下の血圧", "lower"}) || h == "下") {
        return ColumnRole::Diastolic;
    }
    if (contains_any(h, {"脈", "心拍", "pulse", "puls", "heart", "bpm"}) || h == "hr") {
        return ColumnRole::Pulse;
    }
    if (contains_any(h, {"体重", "weight", "gewicht"})) {
        return ColumnRole::Weight;
    }
    if (contains_any(
            h, {"メモ", "コメント", "備考", "日記", "note", "comment", "memo", "notiz", "bemerkung", "kommentar"})) {
        return ColumnRole::Note;
    }
    return ColumnRole::Ignore;
}

ColumnRole role_from_value(std::string_view value) {
    // A date that reads in any order is a date: which order is decided over the whole column.
    for (const DateOrder order : AllDateOrders) {
        if (const auto dt = parse_import_date_time(value, order)) {
            return dt->hasTime ? ColumnRole::DateTime : ColumnRole::Date;
        }
    }
    if (unix_seconds(value)) {
        return ColumnRole::DateTime;
    }
    ImportDateTime time;
    if (parse_import_time(value, time)) {
        return ColumnRole::Time;
    }
    return ColumnRole::Ignore;
}

bool looks_like_data(const std::vector<std::string>& fields) {
    return std::any_of(fields.begin(), fields.end(), [](const std::string& f) {
        return role_from_value(f) != ColumnRole::Ignore || number_value(half_width_number(trimmed(f))).has_value();
    });
}

}  // namespace

const char* column_role_name(ColumnRole role) {
    switch (role) {
        case ColumnRole::Ignore:
            return "使わない";
        case ColumnRole::Date:
            return "日付";
        case ColumnRole::Time:
            return "時刻";
        case ColumnRole::DateTime:
            return "日付と時刻";
        case ColumnRole::Systolic:
            return "最高血圧";
        case ColumnRole::Diastolic:
            return "最低血圧";
        case ColumnRole::Pulse:
            return "脈拍";
        case ColumnRole::Weight:
            return "体重";
        case ColumnRole::Note:
            return "一言日記";
    }
    return "";
}

CsvMapping guess_mapping(const std::vector<CsvRecord>& records) {
    CsvMapping mapping;
    if (records.empty()) {
        return mapping;
    }
    const std::vector<std::string>& first = records.front().fields;
    mapping.hasHeading = !looks_like_data(first);
    mapping.roles.assign(first.size(), ColumnRole::Ignore);
    const std::vector<std::string>* sample =
        mapping.hasHeading ? (records.size() > 1 ? &records[1].fields : nullptr) : &first;
    std::vector<bool> taken(std::size(AllColumnRoles), false);
    for (std::size_t i = 0; i < first.size(); ++i) {
        ColumnRole role = mapping.hasHeading ? role_from_heading(first[i]) : ColumnRole::Ignore;
        const std::string_view value = sample != nullptr && i < sample->size() ? std::string_view((*sample)[i]) : "";
        if (role == ColumnRole::Ignore || role == ColumnRole::Date) {
            // A "Date" column that holds times as well is a date-and-time column.
            const ColumnRole byValue = role_from_value(value);
            if (byValue != ColumnRole::Ignore && (role == ColumnRole::Ignore || byValue == ColumnRole::DateTime)) {
                role = byValue;
            }
        }
        if (role == ColumnRole::Ignore && !mapping.hasHeading && number_value(half_width_number(trimmed(value)))) {
            // Without headings, the numbers in the usual order: systolic, diastolic, pulse.
            for (const ColumnRole next : {ColumnRole::Systolic, ColumnRole::Diastolic, ColumnRole::Pulse}) {
                if (!taken[static_cast<std::size_t>(next)]) {
                    role = next;
                    break;
                }
            }
        }
        // Each role is taken by the first column that has it.
        if (role != ColumnRole::Ignore && taken[static_cast<std::size_t>(role)]) {
            role = ColumnRole::Ignore;
        }
        taken[static_cast<std::size_t>(role)] = true;
        mapping.roles[i] = role;
    }
    return mapping;
}

std::string mapping_problem(const CsvMapping& mapping) {
    const auto has = [&](ColumnRole role) {
        return std::find(mapping.roles.begin(), mapping.roles.end(), role) != mapping.roles.end();
    };
    if (!has(ColumnRole::Date) && !has(ColumnRole::DateTime)) {
        return "日付の列を選んでください。";
    }
    if (!has(ColumnRole::Systolic) && !has(ColumnRole::Diastolic) && !has(ColumnRole::Pulse) &&
        !has(ColumnRole::Weight)) {
        return "最高血圧・最低血圧などの値の列を選んでください。";
    }
    for (const ColumnRole role : AllColumnRoles) {
        if (role != ColumnRole::Ignore && std::count(mapping.roles.begin(), mapping.roles.end(), role) > 1) {
            return std::string("「") + column_role_name(role) + "」の列が二つ以上あります。";
        }
    }
    return {};
}

ImportRead read_generic_csv(const NextCsvRecord& next, const CsvMapping& mapping, DateOrder order,
                            DateOrderVote* vote) {
    ImportRead read;
    std::size_t timestamps = 0;
    LocalClock clock;  // a file of timestamps turns each into local time
    read.kind = ImportKind::Generic;
    CsvRecordView record;
    if (mapping.hasHeading && !next(record)) {
        return read;
    }
    while (next(record)) {
        ImportRow row;
        row.line = record.line;
        std::string_view dateText;
        std::string_view timeText;
        bool dateHasTime = false;
        bool hasDateColumn = false;
        for (std::size_t i = 0; i < mapping.roles.size() && i < record.fields.size(); ++i) {
            const std::string_view field = record.fields[i];
            switch (mapping.roles[i]) {
                case ColumnRole::Date:
                    dateText = field;
                    hasDateColumn = true;
                    break;
                case ColumnRole::DateTime:
                    dateText = field;
                    dateHasTime = true;
                    hasDateColumn = true;
                    break;
                case ColumnRole::Time:
                    timeText = field;
                    break;
                case ColumnRole::Systolic:
                    read_import_value(field, "最高血圧", row.systolic, row);
                    break;
                case ColumnRole::Diastolic:
                    read_import_value(field, "最低血圧", row.diastolic, row);
                    break;
                case ColumnRole::Pulse:
                    read_import_value(field, "脈拍", row.pulse, row);
                    break;
                case ColumnRole::Weight:
                    read_import_value(field, "体重", row.weight, row);
                    break;
                case ColumnRole::Note:
                    read_import_note(field, row);
                    break;
                case ColumnRole::Ignore:
                    break;
            }
        }
        RowText problem = std::move(row.problem);
        row.problem.clear();
        const DateSource source = read_import_date_time(dateText, row, order, &clock);
        // A date that reads year first (or a timestamp) needs no order: only the others vote.
        if (vote != nullptr && hasDateColumn && source == DateSource::None) {
            vote->add(dateText);
        }
        if (source == DateSource::Timestamp) {
            if (timestamps++ == 0) {
                read.remarks.push_back("日時は UNIX 時刻です。このコンピューターの時刻（" + local_date_time(0).zone +
                                       "）に直しました");
            }
        }
        if (row.problem.empty() && !dateHasTime && !trimmed(timeText).empty()) {
            ImportDateTime time;
            if (parse_import_time(timeText, time)) {
                row.time = import_time_text(time.hour, time.minute, time.second);
            } else {
                row.problem = "時刻「" + import_excerpt(trimmed(timeText), 20) + "」が読めません";
            }
        }
        if (!problem.empty()) {
            row.problem = std::move(problem);  // a value's problem was found first, in column order
        }
        require_values(row);
        read.rows.push_back(std::move(row));
    }
    return read;
}

}  // namespace sora
