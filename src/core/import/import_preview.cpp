#include "core/import/import_preview.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <map>

#include "core/import/csv_table.h"
#include "core/import/imported_text.h"
#include "core/rules/dates.h"
#include "core/rules/numbers.h"
#include "core/rules/plausibility.h"
#include "core/rules/saving_time.h"

namespace sora {
namespace {

/// Minutes after midnight of "h:mm:ss", -1 for no time: the readings of different sources agree to the minute.
int minute_of_day(std::string_view time) {
    const std::size_t colon = time.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2 || colon + 3 > time.size()) {
        return -1;
    }
    int hour = 0;
    for (std::size_t i = 0; i < colon; ++i) {
        hour = hour * 10 + (time[i] - '0');
    }
    return hour * 60 + (time[colon + 1] - '0') * 10 + (time[colon + 2] - '0');
}

int date_number(const std::optional<Date>& date) {
    return date ? date->year * 10000 + date->month * 100 + date->day : 0;
}

/// A reading already taken: one of the diary's records, or a row of the file; 32 bytes, as a file of a million rows
/// has one for each. Its key is the date and the pressures: equal keys are the same reading unless their times,
/// pulses or weights differ. The pressures are kept as their bit patterns (all the same sign), so that equal values
/// are equal keys and comparing is cheap. The pulse is no part of the key: a reading without one is the same as one
/// with it.
struct Known {
    std::uint32_t date;       // yyyymmdd
    int minute;               // of the day, -1 for none
    std::uint64_t pressures;  // systolic and diastolic
    float pulse;
    float weight;
    std::uint32_t index;  ///< of the diary's record, or of the row among the file's rows
    int line;             ///< of a file's row
};

Known probe(int date, float systolic, float diastolic) {
    return {static_cast<std::uint32_t>(date),
            -1,
            static_cast<std::uint64_t>(std::bit_cast<std::uint32_t>(systolic)) << 32 |
                std::bit_cast<std::uint32_t>(diastolic),
            0,
            0,
            0,
            0};
}

bool key_less(const Known& a, const Known& b) {
    return a.date != b.date ? a.date < b.date : a.pressures < b.pressures;
}

/// The readings sorted by key, so that a row finds its equals by binary search: no node per record to allocate.
/// Within a key the diary's order (or the file's) is kept, so the first equal found is the earliest. Sorted in
/// place with the index as the last key: a merge sort's buffer and its copies cost more on a file of years.
void sort_by_key(std::vector<Known>& known) {
    const auto less = [](const Known& a, const Known& b) {
        return key_less(a, b) || (!key_less(b, a) && a.index < b.index);
    };
    // Diaries and most files are in date order already: then only each day's few readings need sorting.
    const bool byDate =
        std::is_sorted(known.begin(), known.end(), [](const Known& a, const Known& b) { return a.date < b.date; });
    if (!byDate) {
        std::sort(known.begin(), known.end(), less);
        return;
    }
    for (auto day = known.begin(); day != known.end();) {
        const auto next = std::find_if(day, known.end(), [&](const Known& k) { return k.date != day->date; });
        std::sort(day, next, less);
        day = next;
    }
}

using KnownRange = std::pair<std::vector<Known>::const_iterator, std::vector<Known>::const_iterator>;

/// The readings with the key, searched outward from where the last search ended: a file in date order moves a
/// little further each row, and a search that stays near its last place stays in the cache.
KnownRange equals(const std::vector<Known>& known, const Known& key, std::size_t& from) {
    const std::size_t size = known.size();
    std::size_t low = 0;
    std::size_t high = size;
    if (from < size) {
        std::size_t step = 1;
        if (key_less(known[from], key)) {
            low = from + 1;
            while (low + step <= size && key_less(known[low + step - 1], key)) {
                low += step;
                step *= 2;
            }
            high = std::min(size, low + step);
        } else {
            high = from;
            while (high >= step && !key_less(known[high - step], key)) {
                high -= step;
                step *= 2;
            }
            low = high >= step ? high - step : 0;
        }
    }
    const auto first = std::lower_bound(known.begin() + static_cast<std::ptrdiff_t>(low),
                                        known.begin() + static_cast<std::ptrdiff_t>(high), key, key_less);
    auto last = first;
    while (last != known.end() && !key_less(key, *last)) {
        ++last;
    }
    from = static_cast<std::size_t>(first - known.begin());
    return {first, last};
}

/// The same reading: a file row without a time cannot be told from one with it, but a diary record without one
/// (typed by hand, say) is not known to be the same measurement.
bool same_reading(const Known& k, int minute, float pulse, float weight) {
    const bool sameTime = minute < 0 || k.minute == minute;
    // A pulse or weight missing on either side (0: not measured) never makes two readings differ.
    const bool samePulse = k.pulse == 0 || pulse == 0 || k.pulse == pulse;
    const bool sameWeight = k.weight == 0 || weight == 0 || k.weight == weight;
    return sameTime && samePulse && sameWeight;
}

/// "同じ値の測定が日記の 2026/12/03 起床後（8:07:54 保存）にあります": hand entry keeps the time of saving, so a
/// reading typed in and then imported from the monitor has the same values at another time.
std::string typed_reading_text(const MeasurementRecord& record) {
    const std::string_view saved = split_saving_time(record.diary).time;
    return "同じ値の測定が日記の " + record.date + " " + record.situation +
           (saved.empty() ? std::string() : "（" + std::string(saved) + " 保存）") + "にあります";
}

/// The plausibility question without the entry panel's closing question.
std::string doubt_text(const PlausibilityQuestion& question) {
    const std::size_t confirm = question.text.find("入力を確かめてください");
    return confirm == std::string::npos ? question.text : question.text.substr(0, confirm);
}

/// The days a reading may have without a question: from the diary's first record to the day after today (a
/// reading taken in a zone ahead of this one may be dated tomorrow here).
struct DiaryDays {
    std::optional<Date> first;
    std::optional<Date> last;
};

DiaryDays diary_days(const std::vector<MeasurementRecord>& diary, const std::optional<Date>& today) {
    DiaryDays days;
    if (!diary.empty()) {
        days.first = parse_date(diary.front().date);
    }
    if (today) {
        days.last = today->add_days(1);
    }
    return days;
}

/// Whether a reading's date lies outside the diary's days (a year 1 or 9999 from a broken clock or a wrong column).
ImportReason outside_diary_days(const std::optional<Date>& date, const DiaryDays& days) {
    if (!date) {
        return ImportReason::None;
    }
    if (days.first && *date < *days.first) {
        return ImportReason::BeforeDiary;
    }
    if (days.last && *days.last < *date) {
        return ImportReason::AfterToday;
    }
    return ImportReason::None;
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

std::string import_diary_text(std::string_view time, std::string_view note) {
    std::string text(time);
    if (!note.empty()) {
        text.append(time.empty() ? "" : " ").append(note);
    }
    return text;
}

MeasurementRecord ImportPreview::record(const ImportPreviewRow& row) const {
    MeasurementRecord r;
    r.date = row.date ? format_date(*row.date) : std::string();
    r.situation = row.situation < texts.size() ? texts[row.situation] : std::string();
    r.systolic = row.systolic;
    r.diastolic = row.diastolic;
    r.pulse = row.pulse;
    r.weight = row.weight;
    r.diary = import_diary_text(row.time, row.note);
    return r;
}

std::string ImportPreview::reason(const ImportPreviewRow& row) const {
    std::string text;
    switch (row.why) {
        case ImportReason::None:
            break;
        case ImportReason::Text:
            text = row.text.str();
            break;
        case ImportReason::SameInDiary:
            text = "同じ測定が日記の " + (row.reasonRef < texts.size() ? texts[row.reasonRef] : std::string()) +
                   " にあります";
            break;
        case ImportReason::SameInFile:
            text = "同じ測定がファイルの " + std::to_string(row.reasonRef) + " 行目にあります";
            break;
        case ImportReason::BeforeDiary:
            text = "日記の始まり（" + (diaryStart ? format_date(*diaryStart) : std::string()) + "）より前の日付です";
            break;
        case ImportReason::AfterToday:
            text = "今日より後の日付です";
            break;
        case ImportReason::Doubt:
            if (const auto doubt = plausibility_question(row.systolic, row.diastolic, row.pulse, row.weight)) {
                text = doubt_text(*doubt);
            }
            break;
    }
    if (row.remark != 0 && row.remark <= texts.size()) {
        const std::string& remark = texts[row.remark - 1];
        text = text.empty() ? remark : text + "。" + remark;
    }
    return text;
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
    return build_import_preview(fileName, ImportRead(read), diary, choices);
}

ImportPreview build_import_preview(const std::string& fileName, ImportRead&& read,
                                   const std::vector<MeasurementRecord>& diary, const ImportChoices& choices) {
    ImportPreview preview;
    preview.fileName = fileName;
    preview.kind = read.kind;
    preview.message = std::move(read.message);
    preview.remarks = std::move(read.remarks);
    std::size_t withoutPressure = 0;
    std::vector<ImportStatus> statusOf;  // of each row of the file as classified so far
    statusOf.reserve(read.rows.size());
    // One search per row, not a pass over the diary: a diary of decades and a file of years meet here.
    // Only the diary's days that the file has can hold its readings: an import of weeks into a diary of decades
    // looks at weeks.
    // The file's own readings, in file order within a key: an earlier row that is taken makes a later equal one
    // a duplicate.
    int firstDay = 99999999;
    int lastDay = 0;
    std::vector<Known> inFile;
    inFile.reserve(read.rows.size());
    for (std::size_t i = 0; i < read.rows.size(); ++i) {
        const ImportRow& in = read.rows[i];
        const int day = date_number(in.date);
        if (in.date) {
            firstDay = std::min(firstDay, day);
            lastDay = std::max(lastDay, day);
        }
        if (in.problem.empty()) {
            Known k = probe(day, in.systolic, in.diastolic);
            k.minute = minute_of_day(in.time);
            k.pulse = in.pulse;
            k.weight = in.weight;
            k.index = static_cast<std::uint32_t>(i);
            k.line = in.line;
            inFile.push_back(k);
        }
    }
    sort_by_key(inFile);
    // The log's dates are "yyyy/mm/dd", which sort as text: only the days in the file's range are read as dates.
    const std::string first = firstDay <= lastDay
                                  ? format_date(Date{firstDay / 10000, firstDay / 100 % 100, firstDay % 100})
                                  : std::string("9");
    const std::string last = firstDay <= lastDay
                                 ? format_date(Date{lastDay / 10000, lastDay / 100 % 100, lastDay % 100}) + "~"
                                 : std::string();
    std::vector<Known> inDiary;
    for (std::size_t i = 0; i < diary.size(); ++i) {
        const MeasurementRecord& r = diary[i];
        if (r.date.size() == 10 && (r.date < first || r.date > last)) {
            continue;  // a hand-written "yyyy/m/d" is read as a date below
        }
        const int day = date_number(parse_date(r.date));
        if (day >= firstDay && day <= lastDay) {
            Known k = probe(day, r.systolic, r.diastolic);
            k.minute = minute_of_day(split_saving_time(r.diary).time);
            k.pulse = r.pulse;
            k.weight = r.weight;
            k.index = static_cast<std::uint32_t>(i);
            inDiary.push_back(k);
        }
    }
    sort_by_key(inDiary);
    const DiaryDays range = diary_days(diary, choices.today);
    // Our own CSV and log name each reading's situation; other files, and an empty one (which the entry panel never
    // saves), leave it to the rules.
    const bool ownSituation = read.kind == ImportKind::OwnCsv || read.kind == ImportKind::OwnLog;
    preview.diaryStart = range.first;
    std::size_t diaryFrom = 0;  // where the last row's searches ended
    std::size_t fileFrom = 0;
    std::map<std::string, std::uint32_t, std::less<>> textIndex;
    std::string_view lastText;  // rows in a run mostly share their situation: no lookup for those
    std::uint32_t lastIndex = 0;
    const auto text_of = [&](std::string_view text) {
        if (!preview.texts.empty() && text == lastText) {
            return lastIndex;
        }
        auto it = textIndex.find(text);
        if (it == textIndex.end()) {
            it = textIndex.emplace(std::string(text), static_cast<std::uint32_t>(preview.texts.size())).first;
            preview.texts.emplace_back(text);
        }
        lastText = it->first;
        lastIndex = it->second;
        return lastIndex;
    };
    // The rules give one of their three texts: looked up once each, as the rows of a day take turns with them.
    std::array<std::optional<std::uint32_t>, 3> ruleTexts;
    const auto rule_text_of = [&](const std::string& text) {
        const std::size_t rule = &text == &choices.rules.morning ? 0 : &text == &choices.rules.evening ? 1 : 2;
        if (!ruleTexts[rule]) {
            ruleTexts[rule] = text_of(text);
        }
        return *ruleTexts[rule];
    };
    // Each row is taken out of the read as it is classified, so the file's rows and the preview's are never both
    // held whole.
    for (; !read.rows.empty(); read.rows.pop_front()) {
        ImportRow& in = read.rows.front();
        // Escape sequences never reach the log; texts beyond the entry panel's limits are not taken.
        fit_imported_texts(in);
        const int minute = minute_of_day(in.time);
        ImportPreviewRow row;
        row.line = in.line;
        row.date = in.date;
        row.time = in.time;
        row.systolic = in.systolic;
        row.diastolic = in.diastolic;
        row.pulse = in.pulse;
        row.weight = in.weight;
        if (choices.wholeFile) {
            row.situation = text_of(*choices.wholeFile);
        } else if (ownSituation && !trimmed(in.situation).empty()) {
            row.situation = text_of(in.situation.view());
        } else {
            row.situation = rule_text_of(minute >= 0 ? situation_at_minute(choices.rules, minute)
                                                     : situation_at(choices.rules, in.time));
        }
        row.note = std::move(in.note);
        // Our own export and log are the diary as it was, weight-only records too: a round trip keeps them.
        if (in.problem.empty() && in.systolic == 0 && in.diastolic == 0 && !ownSituation) {
            ++withoutPressure;  // a pulse or a weight alone is no blood-pressure reading: nothing is made up
            statusOf.push_back(ImportStatus::Unreadable);
            continue;
        }
        if (!in.problem.empty()) {
            row.status = ImportStatus::Unreadable;
            row.why = ImportReason::Text;
            row.text = std::move(in.problem);
            ++preview.counts.unreadable;
            // Every row has its status at its place, or the rows after it would look up the wrong earlier row.
            statusOf.push_back(ImportStatus::Unreadable);
            preview.rows.push_back(std::move(row));
            continue;
        }
        const Known key = probe(date_number(in.date), row.systolic, row.diastolic);
        const auto [sameInDiary, endInDiary] = equals(inDiary, key, diaryFrom);
        const Known* match = nullptr;
        for (auto it = sameInDiary; it != endInDiary && match == nullptr; ++it) {
            match = same_reading(*it, minute, row.pulse, row.weight) ? &*it : nullptr;
        }
        const Known* earlierRow = nullptr;
        for (auto [it, end] = equals(inFile, key, fileFrom);
             match == nullptr && earlierRow == nullptr && it != end && it->index < statusOf.size(); ++it) {
            const ImportStatus earlier = statusOf[it->index];
            const bool taken = earlier == ImportStatus::New || earlier == ImportStatus::Questionable;
            earlierRow = taken && same_reading(*it, minute, row.pulse, row.weight) ? &*it : nullptr;
        }
        // Only a monitor's file holds the time of measuring: our own files hold the time of saving on both sides,
        // so a reading of theirs at another time is another reading.
        const Known* typed = nullptr;
        if (match == nullptr && earlierRow == nullptr && !ownSituation) {
            // At the same minute with another pulse or weight it is another reading, not one typed by hand.
            const auto other =
                std::find_if(sameInDiary, endInDiary, [minute](const Known& k) { return k.minute != minute; });
            typed = other != endInDiary ? &*other : nullptr;
        }
        if (match != nullptr) {
            row.status = ImportStatus::InDiary;
            row.why = ImportReason::SameInDiary;
            const MeasurementRecord& same = diary[match->index];
            row.reasonRef = text_of(same.date + " " + same.situation);
            ++preview.counts.inDiary;
        } else if (earlierRow != nullptr) {
            row.status = ImportStatus::InDiary;
            row.why = ImportReason::SameInFile;
            row.reasonRef = static_cast<std::uint32_t>(earlierRow->line);
            ++preview.counts.inDiary;
        } else if (const ImportReason outside = outside_diary_days(in.date, range); outside != ImportReason::None) {
            row.status = ImportStatus::Questionable;
            row.why = outside;
            ++preview.counts.questionable;
        } else if (typed != nullptr) {
            row.status = ImportStatus::Questionable;
            row.why = ImportReason::Text;
            row.text = typed_reading_text(diary[typed->index]);
            ++preview.counts.questionable;
        } else if (plausibility_question(row.systolic, row.diastolic, row.pulse, row.weight)) {
            row.status = ImportStatus::Questionable;
            row.why = ImportReason::Doubt;
            ++preview.counts.questionable;
        } else {
            row.status = ImportStatus::New;
            row.chosen = true;
            ++preview.counts.added;
        }
        if (!in.remark.empty()) {
            row.remark = text_of(in.remark) + 1;
        }
        statusOf.push_back(row.status);
        preview.rows.push_back(std::move(row));
    }
    if (withoutPressure > 0) {
        preview.remarks.push_back("血圧のない行 " + std::to_string(withoutPressure) + " 行は取り込みません");
    }
    if (preview.rows.empty() && preview.message.empty() && withoutPressure == 0) {
        preview.remarks.push_back("ファイルに測定の行がありません");
    }
    return preview;
}

std::vector<MeasurementRecord> chosen_records(const ImportPreview& preview) {
    std::vector<MeasurementRecord> records;
    for (const ImportPreviewRow& row : preview.rows) {
        if (row.chosen && (row.status == ImportStatus::New || row.status == ImportStatus::Questionable)) {
            records.push_back(preview.record(row));
        }
    }
    return records;
}

}  // namespace sora
