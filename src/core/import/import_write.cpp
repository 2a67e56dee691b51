#include "core/import/import_write.h"

#include <algorithm>

#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "core/files/writer_lock.h"
#include "core/rules/dates.h"
#include "core/rules/saving_time.h"

namespace sora {
namespace {

/// Seconds after midnight of the time the diary text begins with; -1 without one.
int seconds_of(const MeasurementRecord& r) {
    const std::string_view time = split_saving_time(r.diary).time;
    if (time.empty()) {
        return -1;
    }
    const std::size_t colon = time.find(':');
    const int hour = std::stoi(std::string(time.substr(0, colon)));
    const int minute = std::stoi(std::string(time.substr(colon + 1, 2)));
    const int second = std::stoi(std::string(time.substr(colon + 4, 2)));
    return hour * 3600 + minute * 60 + second;
}

}  // namespace

std::vector<MeasurementRecord> merge_in_date_order(const std::vector<MeasurementRecord>& diary,
                                                   std::vector<MeasurementRecord> added) {
    std::stable_sort(added.begin(), added.end(), [](const MeasurementRecord& a, const MeasurementRecord& b) {
        return a.date != b.date ? a.date < b.date : seconds_of(a) < seconds_of(b);
    });
    std::vector<MeasurementRecord> merged;
    merged.reserve(diary.size() + added.size());
    auto next = added.begin();
    for (const MeasurementRecord& record : diary) {
        while (next != added.end() && next->date < record.date) {
            merged.push_back(std::move(*next++));
        }
        merged.push_back(record);
    }
    std::move(next, added.end(), std::back_inserter(merged));
    return merged;
}

ImportWriteResult write_import(const DataDir& dir, const std::vector<MeasurementRecord>& diary, const FileStamp& readAs,
                               const std::vector<MeasurementRecord>& added,
                               const std::vector<std::string>& situations) {
    ImportWriteResult result;
    const WriterLock lock(dir.path());
    if (!lock) {
        result.written = WriteResult{false, lock.message()};
        return result;
    }
    const MeasurementLog log(dir);
    // rewrite_all checks the log against readAs and takes the automatic copy, both under this lock.
    result.written = log.rewrite_all(merge_in_date_order(diary, added), false, files::LogCopy, &readAs);
    if (!result.written.ok && !result.written.inPlace) {
        return result;
    }
    for (const MeasurementRecord& record : added) {
        if (std::find(situations.begin(), situations.end(), record.situation) == situations.end() &&
            std::find(result.situations.begin(), result.situations.end(), record.situation) ==
                result.situations.end()) {
            const WriteResult appended = append_situation(dir, record.situation, false);
            if (!appended.ok) {
                result.situationWarning = appended.message;
                break;
            }
            result.situations.push_back(record.situation);
        }
    }
    return result;
}

std::string import_undo_label(const std::string& fileName, std::size_t count) {
    return fileName + " からの取り込み（" + std::to_string(count) + " 件）";
}

}  // namespace sora
