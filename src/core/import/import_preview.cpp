#include "core/import/import_preview.h"

#include <unordered_map>

#include "core/rules/numbers.h"
#include "core/rules/plausibility.h"
#include "core/rules/saving_time.h"

namespace sora {
namespace {

/// Minutes after midnight of "h:mm:ss", -1 for no time: the readings of different sources agree to the minute.
int minute_of_day(std::string_view time) {
    const std::size_t colon = time.find(':');
    if (colon == std::string_view::npos || colon + 3 > time.size()) {
        return -1;
    }
    return std::stoi(std::string(time.substr(0, colon))) * 60 + std::stoi(std::string(time.substr(colon + 1, 2)));
}

std::string value_key(const MeasurementRecord& r) {
    return r.date + '|' + format_number(r.systolic) + '|' + format_number(r.diastolic) + '|' + format_number(r.pulse);
}

/// A reading already taken: one of the diary's records (by index) or an earlier row of the file (by line).
struct Known {
    int minute;
    float weight;
    const MeasurementRecord* diary;
    int line;
};

/// The plausibility question without the entry panel's closing question.
std::string doubt_text(const PlausibilityQuestion& question) {
    const std::size_t confirm = question.text.find("入力を確かめてください");
    return confirm == std::string::npos ? question.text : question.text.substr(0, confirm);
}

}  // namespace

const char* import_status_name(ImportStatus status) {
    switch (status) {
        case ImportStatus::New:
            return "追加";
        case ImportStatus::InDiary:
            return "登録済み";
        case ImportStatus::Questionable:
            return "要確認";
        case ImportStatus::Unreadable:
            return "読めない";
    }
    return "";
}

std::string import_diary_text(const std::string& time, const std::string& note) {
    if (time.empty()) {
        return note;
    }
    return note.empty() ? time : time + " " + note;
}

std::size_t ImportPreview::chosenCount() const {
    std::size_t n = 0;
    for (const ImportPreviewRow& row : rows) {
        n += row.chosen ? 1 : 0;
    }
    return n;
}

std::string ImportPreview::countsText() const {
    return "追加 " + std::to_string(counts.added) + " 件　登録済み " + std::to_string(counts.inDiary) + " 件　要確認 " +
           std::to_string(counts.questionable) + " 件　読めない " + std::to_string(counts.unreadable) + " 件";
}

ImportPreview build_import_preview(const std::string& fileName, const ImportRead& read,
                                   const std::vector<MeasurementRecord>& diary, const ImportChoices& choices) {
    ImportPreview preview;
    preview.fileName = fileName;
    preview.kind = read.kind;
    preview.message = read.message;
    preview.remarks = read.remarks;
    std::unordered_map<std::string, std::vector<Known>> known;
    known.reserve(diary.size() + read.rows.size());
    for (const MeasurementRecord& r : diary) {
        known[value_key(r)].push_back({minute_of_day(split_saving_time(r.diary).time), r.weight, &r, 0});
    }
    preview.rows.reserve(read.rows.size());
    for (const ImportRow& in : read.rows) {
        ImportPreviewRow row;
        row.line = in.line;
        row.time = in.time;
        MeasurementRecord& r = row.record;
        r.date = in.date ? format_date(*in.date) : std::string();
        r.systolic = in.systolic;
        r.diastolic = in.diastolic;
        r.pulse = in.pulse;
        r.weight = in.weight;
        r.diary = import_diary_text(in.time, in.note);
        // Our own CSV names each reading's situation (an empty one too); other files leave it to the rules.
        r.situation = choices.wholeFile                 ? *choices.wholeFile
                      : read.kind == ImportKind::OwnCsv ? in.situation
                                                        : situation_at(choices.rules, in.time);
        if (!in.problem.empty()) {
            row.status = ImportStatus::Unreadable;
            row.reason = in.problem;
            ++preview.counts.unreadable;
            preview.rows.push_back(std::move(row));
            continue;
        }
        std::vector<Known>& same = known[value_key(r)];
        const int minute = minute_of_day(in.time);
        const Known* match = nullptr;
        for (const Known& k : same) {
            const bool sameTime = k.minute < 0 || minute < 0 || k.minute == minute;
            const bool sameWeight = k.weight == 0 || r.weight == 0 || k.weight == r.weight;
            if (sameTime && sameWeight) {
                match = &k;
                break;
            }
        }
        if (match != nullptr) {
            row.status = ImportStatus::InDiary;
            row.reason = match->diary != nullptr
                             ? "同じ測定が日記の " + match->diary->date + " " + match->diary->situation + " にあります"
                             : "同じ測定がファイルの " + std::to_string(match->line) + " 行目にあります";
            ++preview.counts.inDiary;
        } else if (const auto doubt = plausibility_question(r.systolic, r.diastolic, r.pulse, r.weight)) {
            row.status = ImportStatus::Questionable;
            row.reason = doubt_text(*doubt);
            ++preview.counts.questionable;
            same.push_back({minute, r.weight, nullptr, in.line});
        } else {
            row.status = ImportStatus::New;
            row.chosen = true;
            ++preview.counts.added;
            same.push_back({minute, r.weight, nullptr, in.line});
        }
        preview.rows.push_back(std::move(row));
    }
    return preview;
}

std::vector<MeasurementRecord> chosen_records(const ImportPreview& preview) {
    std::vector<MeasurementRecord> records;
    for (const ImportPreviewRow& row : preview.rows) {
        if (row.chosen && (row.status == ImportStatus::New || row.status == ImportStatus::Questionable)) {
            records.push_back(row.record);
        }
    }
    return records;
}

}  // namespace sora
