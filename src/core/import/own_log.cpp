#include "core/import/own_log.h"

#include "core/files/measurement_log.h"
#include "core/rules/saving_time.h"

namespace sora {

bool is_own_log(std::string_view bytes) {
    const LogReadResult log = parse_log(bytes);
    return log.ok && !log.records.empty();
}

ImportRead read_own_log(std::string_view bytes, std::string_view fileName) {
    ImportRead read;
    LogReadResult log = parse_log(bytes, fileName);
    if (!log.ok) {
        read.message = log.message;
        return read;
    }
    read.kind = ImportKind::OwnLog;
    int line = 0;
    SharedRowTexts situations;
    for (MeasurementRecord& record : log.records) {
        ImportRow row;
        row.line = ++line;
        row.date = parse_date(record.date);
        if (!row.date) {
            row.problem = "日付が読めません（" + record.date + "）";
        }
        const SavingTimeSplit split = split_saving_time(record.diary);
        // The preview writes the time back with a half-width blank: a text that had another blank keeps its bytes.
        const bool plainBlank = split.time.empty() || split.text.empty() || record.diary[split.time.size()] == ' ';
        if (plainBlank) {
            row.time = split.time;
            row.note = split.text;
        } else {
            row.note = record.diary;
        }
        row.systolic = record.systolic;
        row.diastolic = record.diastolic;
        row.pulse = record.pulse;
        row.weight = record.weight;
        row.situation = situations(record.situation);
        read.rows.push_back(std::move(row));
    }
    return read;
}

}  // namespace sora
