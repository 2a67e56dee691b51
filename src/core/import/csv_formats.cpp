#include "core/import/csv_formats.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "core/files/storable_text.h"
#include "core/import/import_fields.h"
#include "core/rules/dates.h"
#include "core/rules/numbers.h"

namespace sora {
namespace {

constexpr std::string_view OwnHeading[] = {"日付", "時刻", "状況", "最高血圧", "最低血圧",
                                           "脈拍", "体重", "判定", "一言日記"};

bool same_text(std::string_view a, std::string_view b) {
    a = trimmed(a);
    b = trimmed(b);
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::string_view field_at(const CsvRecordView& record, int column) {
    if (column < 0 || static_cast<std::size_t>(column) >= record.fields.size()) {
        return {};
    }
    return record.fields[static_cast<std::size_t>(column)];
}

ImportRow own_row(const CsvRecordView& record, SharedRowTexts& situations) {
    ImportRow row;
    row.line = record.line;
    if (record.fields.size() != std::size(OwnHeading)) {
        row.problem = "項目の数が " + std::to_string(record.fields.size()) + " です（9 のはず）";
        return row;
    }
    const auto& f = record.fields;
    const std::optional<ImportDateTime> date = parse_import_date_time(f[0]);
    if (!date || date->hasTime) {
        row.problem = "日付「" + import_excerpt(trimmed(f[0]), 40) + "」が読めません";
        return row;
    }
    row.date = date->date;
    // Our own export writes the time exactly as the diary text held it: keep it so the round trip is exact.
    const std::string_view time = trimmed(f[1]);
    if (!time.empty() && !is_time_of_day(time)) {
        row.problem = "時刻「" + import_excerpt(time, 20) + "」が読めません";
        return row;
    }
    row.time = time;
    read_import_value(f[3], "最高血圧", row.systolic, row);
    read_import_value(f[4], "最低血圧", row.diastolic, row);
    read_import_value(f[5], "脈拍", row.pulse, row);
    read_import_value(f[6], "体重", row.weight, row);
    const std::optional<std::string> situation = storable_text(f[2]);
    const std::optional<std::string> note = storable_text(f[8]);
    if ((!situation || !note) && row.problem.empty()) {
        row.problem = "保存できない文字（絵文字など）があります";
    }
    row.situation = situations(situation.value_or(""));
    row.note = note.value_or("");
    return row;
}

/// A mark column: empty, "-", "0", "No", "なし" or "未検出" mean no mark; anything else (a tick, "Yes", "1", "検出",
/// "あり") means the monitor marked the reading.
bool flag_set(std::string_view field) {
    field = trimmed(field);
    if (empty_cell(field)) {
        return false;
    }
    for (const std::string_view no : {"0", "no", "false", "off", "なし", "無", "未検出", "いいえ", "×"}) {
        if (same_text(field, no)) {
            return false;
        }
    }
    return true;
}

bool count_set(std::string_view field) {
    const std::optional<double> count = number_value(trimmed(field));
    return count && *count > 0;
}

/// What each zone of the file makes the rows say: nothing for a known one. Looked up once per zone and not once per
/// row, and one text shared by every row of an unknown zone.
using ZoneCache = std::map<std::string, RowText, std::less<>>;

ImportRow omron_row(const CsvRecordView& record, const std::vector<int>& columns, ZoneCache& zones, ImportRead& read) {
    ImportRow row;
    row.line = record.line;
    read_import_date_time(field_at(record, columns[0]), row);
    read_import_value(field_at(record, columns[2]), "最高血圧", row.systolic, row);
    read_import_value(field_at(record, columns[3]), "最低血圧", row.diastolic, row);
    read_import_value(field_at(record, columns[4]), "脈拍", row.pulse, row);
    // The monitor's marks go first into the diary text, so the doctor sees them on the report.
    if (flag_set(field_at(record, columns[6])) || count_set(field_at(record, columns[7]))) {
        row.note = "不規則脈波";
    }
    if (flag_set(field_at(record, columns[8]))) {
        row.note = row.note.empty() ? "体動" : row.note + " 体動";
    }
    read_import_note(field_at(record, columns[5]), row);
    require_values(row);
    // The time is the clock time where the reading was taken; the zone only has to be one we know.
    const std::string_view zone = trimmed(field_at(record, columns[1]));
    auto cached = zones.find(zone);
    if (cached == zones.end()) {
        RowText remark;
        if (!known_time_zone(zone)) {
            remark = "タイムゾーン「" + import_excerpt(zone, 40) + "」は不明です。記録の時刻をそのまま使います";
            read.remarks.push_back(remark.str());
        }
        cached = zones.emplace(std::string(zone), std::move(remark)).first;
    }
    row.remark = cached->second;
    return row;
}

/// Samsung Health's columns are named "com.samsung.health.blood_pressure.systolic" and so on: found by their last part.
int samsung_column(const std::vector<std::string>& heading, std::string_view name) {
    for (std::size_t i = 0; i < heading.size(); ++i) {
        const std::string_view h = trimmed(heading[i]);
        if (h == name || (h.ends_with(name) && h.size() > name.size() && h[h.size() - name.size() - 1] == '.')) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

/// The columns of a Samsung Health row, in the order samsung_row takes them.
struct SamsungColumns {
    int start;
    int offset;
    int systolic;
    int diastolic;
    int pulse;
    int comment;
};

/// Samsung Health keeps the moment in UTC and the clock's offset beside it: the reading's time is the clock's.
ImportRow samsung_row(const CsvRecordView& record, const SamsungColumns& c) {
    ImportRow row;
    row.line = record.line;
    const std::string_view start = trimmed(field_at(record, c.start));
    const std::optional<ImportDateTime> utc = parse_import_date_time(start);
    const std::string_view offsetText = trimmed(field_at(record, c.offset));
    const std::optional<int> offset = utc_offset_minutes(offsetText);
    if (!utc || !utc->hasTime || !utc->zone.empty()) {
        row.problem = empty_cell(start) ? "日付がありません" : "日付「" + import_excerpt(start, 40) + "」が読めません";
    } else if (!offset) {
        row.problem = "時差「" + import_excerpt(offsetText, 20) + "」が読めません";
    } else {
        const int minutes = utc->hour * 60 + utc->minute + *offset;
        const int days = minutes < 0 ? -1 : minutes / (24 * 60);
        const int ofDay = minutes - days * 24 * 60;
        row.date = utc->date.add_days(days);
        row.time = import_time_text(ofDay / 60, ofDay % 60, utc->second);
    }
    read_import_value(field_at(record, c.systolic), "最高血圧", row.systolic, row);
    read_import_value(field_at(record, c.diastolic), "最低血圧", row.diastolic, row);
    read_import_value(field_at(record, c.pulse), "脈拍", row.pulse, row);
    read_import_note(field_at(record, c.comment), row);
    require_values(row);
    return row;
}

}  // namespace

int find_column(const std::vector<std::string>& heading, std::initializer_list<std::string_view> names) {
    for (std::size_t i = 0; i < heading.size(); ++i) {
        for (const std::string_view name : names) {
            if (same_text(heading[i], name)) {
                return static_cast<int>(i);
            }
        }
    }
    return -1;
}

void require_values(ImportRow& row) {
    if (!row.problem.empty()) {
        return;
    }
    // A row without either pressure is no reading: the preview leaves it out and counts it.
    if ((row.systolic == 0) != (row.diastolic == 0)) {
        row.problem = row.systolic == 0 ? "最高血圧がありません" : "最低血圧がありません";
    }
}

ImportKind csv_kind(const std::vector<std::string>& heading) {
    if (heading.size() == std::size(OwnHeading) &&
        std::equal(heading.begin(), heading.end(), std::begin(OwnHeading),
                   [](const std::string& a, std::string_view b) { return same_text(a, b); })) {
        return ImportKind::OwnCsv;
    }
    if (!heading.empty() && (same_text(heading[0], "Measurement Date") || same_text(heading[0], "測定日")) &&
        find_column(heading, {"SYS(mmHg)", "最高血圧(mmHg)"}) >= 0 &&
        find_column(heading, {"DIA(mmHg)", "最低血圧(mmHg)"}) >= 0) {
        return ImportKind::Omron;
    }
    // Samsung Health writes a title line (the data type, a version) before its prefixed headings.
    if (!heading.empty() && trimmed(heading[0]).starts_with("com.samsung.") &&
        heading[0].find("blood_pressure") != std::string::npos) {
        return ImportKind::SamsungHealth;
    }
    if (!heading.empty() && same_text(heading[0], "Date") && find_column(heading, {"Systolic"}) >= 0 &&
        find_column(heading, {"Diastolic"}) >= 0 && find_column(heading, {"Heart rate"}) >= 0) {
        return ImportKind::Withings;
    }
    return ImportKind::Generic;
}

ImportRead read_known_csv(ImportKind kind, const NextCsvRecord& next) {
    ImportRead read;
    read.kind = kind;
    CsvRecordView record;
    if (!next(record)) {
        return read;
    }
    std::vector<std::string> heading(record.fields.begin(), record.fields.end());
    // Samsung Health's title line comes before its headings; a file saved without it starts with them.
    if (kind == ImportKind::SamsungHealth && samsung_column(heading, "start_time") < 0) {
        if (!next(record)) {
            return read;
        }
        heading.assign(record.fields.begin(), record.fields.end());
    }
    ZoneCache zones;
    SharedRowTexts situations;
    // OMRON connect writes English or Japanese headings, depending on the phone's language.
    const std::vector<int> omron = {
        find_column(heading, {"Measurement Date", "測定日"}),
        find_column(heading, {"Timezone", "Time Zone", "タイムゾーン"}),
        find_column(heading, {"SYS(mmHg)", "最高血圧(mmHg)"}),
        find_column(heading, {"DIA(mmHg)", "最低血圧(mmHg)"}),
        find_column(heading, {"Pulse(bpm)", "脈拍(bpm)"}),
        find_column(heading, {"Notes", "Note", "Memo", "Comment", "Comments", "メモ", "コメント", "備考"}),
        find_column(heading, {"Irregular heartbeat detected", "Irregular heartbeat", "不規則脈波検出"}),
        find_column(heading, {"IHB detection counts(times)", "IHB detection counts", "Irregular heartbeat count",
                              "Irregular heartbeat count(times)", "不規則脈波検出回数(回)", "不規則脈波検出回数"}),
        find_column(heading, {"Body movement detected", "Body Movement", "Body movement", "体動検出"})};
    const SamsungColumns samsung = {samsung_column(heading, "start_time"), samsung_column(heading, "time_offset"),
                                    samsung_column(heading, "systolic"),   samsung_column(heading, "diastolic"),
                                    samsung_column(heading, "pulse"),      samsung_column(heading, "comment")};
    const int wDate = find_column(heading, {"Date"});
    const int wPulse = find_column(heading, {"Heart rate"});
    const int wSystolic = find_column(heading, {"Systolic"});
    const int wDiastolic = find_column(heading, {"Diastolic"});
    const int wComments = find_column(heading, {"Comments"});
    while (next(record)) {
        if (kind == ImportKind::OwnCsv) {
            read.rows.push_back(own_row(record, situations));
        } else if (kind == ImportKind::SamsungHealth) {
            read.rows.push_back(samsung_row(record, samsung));
        } else if (kind == ImportKind::Omron) {
            read.rows.push_back(omron_row(record, omron, zones, read));
        } else {
            // Withings lists weight-only and pulse-only measurements too: the preview leaves them out and counts them.
            ImportRow row;
            row.line = record.line;
            read_import_date_time(field_at(record, wDate), row);
            read_import_value(field_at(record, wSystolic), "最高血圧", row.systolic, row);
            read_import_value(field_at(record, wDiastolic), "最低血圧", row.diastolic, row);
            read_import_value(field_at(record, wPulse), "脈拍", row.pulse, row);
            read_import_note(field_at(record, wComments), row);
            require_values(row);
            read.rows.push_back(std::move(row));
        }
    }
    return read;
}

}  // namespace sora
