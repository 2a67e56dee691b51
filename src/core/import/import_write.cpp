#include "core/import/import_write.h"

#include <algorithm>

#include "core/files/log_backups.h"
#include "core/files/measurement_log.h"
#include "core/files/replace_together.h"
#include "core/files/side_files.h"
#include "core/files/text_codec.h"
#include "core/files/text_file.h"
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

/// The situations of `added` that `situations` lacks, in the order the records first use them.
std::vector<std::string> situations_missing(const std::vector<MeasurementRecord>& added,
                                            const std::vector<std::string>& situations) {
    std::vector<std::string> missing;
    for (const MeasurementRecord& record : added) {
        if (std::find(situations.begin(), situations.end(), record.situation) == situations.end() &&
            std::find(missing.begin(), missing.end(), record.situation) == missing.end()) {
            missing.push_back(record.situation);
        }
    }
    return missing;
}

/// The log and the situation list in one journaled change: a process killed in between never leaves readings
/// whose situations the list lacks. The list is refused (a FIFO, a folder, a read-only file) before the log is
/// touched. The caller holds the folder's lock.
WriteResult write_log_and_list(const DataDir& dir, const std::string& logBytes, const FileStamp& readAs,
                               const std::vector<std::string>& newSituations) {
    const std::filesystem::path logPath = dir.find(files::Log);
    const std::filesystem::path listPath = dir.for_writing(files::Situations);
    if (std::optional<WriteResult> refused = replace_refusal(listPath)) {
        return *refused;
    }
    std::string listNow;
    std::error_code ec;
    if (std::filesystem::exists(write_target(listPath), ec) && !read_file(listPath, listNow)) {
        return WriteResult{false, text_file::cannot_read_message(listPath)};
    }
    const std::optional<std::string> listBytes = situations_with_appended(listNow, newSituations);
    if (!listBytes) {
        return WriteResult{false, text_file::cannot_hold_message(text_file::name_of(listPath))};
    }
    const std::vector<TogetherMember> members = {
        {{logPath, dir.path() / std::string(files::LogCopy)}, logBytes, &readAs},
        // Not the rename's "状況リストＣＨＧ.txt": the start-up removes that one's leftovers before it looks at the
        // import's journal.
        {{listPath, dir.path() / (std::string(files::Situations) + ".tmp")}, *listBytes, nullptr}};
    std::string warning = backup_before_rewrite(dir, BackupReason::Import).value_or(std::string());
    const TogetherResult written = replace_together(dir.path() / std::string(files::ImportJournal), members);
    WriteResult result = written.write;
    result.warning = std::move(warning);
    if (!written && !written.write.changedOnDisk) {
        result.message += written.restored ? "\r\n「" + text_file::name_of(logPath) + "」と「" +
                                                 text_file::name_of(listPath) + "」は元のままです。"
                                           : "\r\n元に戻せなかったファイルがあります。内容を確かめてください。";
    }
    return result;
}

}  // namespace

std::vector<MeasurementRecord> sorted_for_import(std::vector<MeasurementRecord> added) {
    std::stable_sort(added.begin(), added.end(), [](const MeasurementRecord& a, const MeasurementRecord& b) {
        return a.date != b.date ? a.date < b.date : seconds_of(a) < seconds_of(b);
    });
    return added;
}

std::vector<MeasurementRecord> merge_in_date_order(const std::vector<MeasurementRecord>& diary,
                                                   std::vector<MeasurementRecord> added) {
    added = sorted_for_import(std::move(added));
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

std::optional<std::string> spliced_log(std::string_view logBytes, const std::vector<MeasurementRecord>& diary,
                                       const std::vector<MeasurementRecord>& added, bool& cannotHold) {
    cannotHold = false;
    // Where each record's line ends (after its line break).
    std::vector<std::size_t> ends;
    ends.reserve(diary.size());
    std::size_t start = 0;
    while (start < logBytes.size()) {
        std::size_t end = logBytes.find('\n', start);
        end = end == std::string_view::npos ? logBytes.size() : end + 1;
        // A blank line would end up between records: such a log is written anew from its records.
        if (logBytes.substr(start, end - start).find_first_not_of("\r\n") == std::string_view::npos) {
            return std::nullopt;
        }
        ends.push_back(end);
        start = end;
    }
    if (ends.size() != diary.size()) {
        return std::nullopt;
    }
    const std::vector<MeasurementRecord> sorted = sorted_for_import(added);
    std::string out;
    out.reserve(logBytes.size() + sorted.size() * 64);
    auto next = sorted.begin();
    const auto insertBefore = [&](const std::string* date) {
        for (; next != sorted.end() && (date == nullptr || next->date < *date); ++next) {
            const std::optional<std::string> line = utf8_to_cp932(format_record_line(*next) + "\r\n");
            if (!line) {
                cannotHold = true;
                return false;
            }
            out += *line;
        }
        return true;
    };
    std::size_t from = 0;
    for (std::size_t i = 0; i < diary.size(); ++i) {
        if (!insertBefore(&diary[i].date)) {
            return std::nullopt;
        }
        out.append(logBytes.substr(from, ends[i] - from));
        from = ends[i];
    }
    out.append(logBytes.substr(from));
    // A last line without its line break (edited by hand) must not swallow the first added record.
    if (!out.empty() && out.back() != '\n' && next != sorted.end()) {
        out += "\r\n";
    }
    if (!insertBefore(nullptr)) {
        return std::nullopt;
    }
    return out;
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
    // The diary's lines keep their bytes and the new ones go between them, as a correction changes one line:
    // the cost is the copy and the write, not encoding decades of records again.
    const std::filesystem::path path = dir.find(files::Log);
    FileBytes bytes;
    if (!read_file(path, bytes) || bytes.stamp != readAs) {
        result.written = WriteResult{false, changed_on_disk_message(path)};
        result.written.changedOnDisk = true;
        return result;
    }
    const std::vector<std::string> newSituations = situations_missing(added, situations);
    bool cannotHold = false;
    const std::optional<std::string> spliced = spliced_log(bytes.view(), diary, added, cannotHold);
    if (cannotHold) {
        result.written = WriteResult{false, text_file::cannot_hold_message(text_file::name_of(path))};
        return result;
    }
    if (newSituations.empty()) {
        // rewrite_bytes checks the log against readAs again and takes the automatic copy, both under this lock.
        result.written = spliced ? log.rewrite_bytes(*spliced, files::LogCopy, &readAs, BackupReason::Import)
                                 : log.rewrite_all(merge_in_date_order(diary, added), false, files::LogCopy, &readAs,
                                                   BackupReason::Import);
        return result;
    }
    const std::optional<std::string> logBytes = spliced ? spliced : encode_log(merge_in_date_order(diary, added));
    if (!logBytes) {
        result.written = WriteResult{false, text_file::cannot_hold_message(text_file::name_of(path))};
        return result;
    }
    result.written = write_log_and_list(dir, *logBytes, readAs, newSituations);
    if (result.written.ok) {
        result.situations = newSituations;
    }
    return result;
}

std::string import_undo_label(const std::string& fileName, std::size_t count) {
    return fileName + " からの取り込み（" + std::to_string(count) + " 件）";
}

}  // namespace sora
