#include "core/files/measurement_log.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/files/log_backups.h"
#include "core/files/text_codec.h"
#include "core/files/text_file.h"
#include "core/files/writer_lock.h"

namespace sora {
namespace {

LogReadResult read_error(std::string message, int line) {
    LogReadResult result;
    result.ok = false;
    result.message = std::move(message);
    result.errorLine = line;
    return result;
}

LogReadResult missing_log(const std::filesystem::path& path) {
    return read_error(text_file::cannot_read_message(path), 0);
}

}  // namespace

std::optional<std::string> encode_log(const std::vector<MeasurementRecord>& records, bool startRecordForm) {
    std::string utf8;
    utf8.reserve(records.size() * 64);
    for (std::size_t i = 0; i < records.size(); ++i) {
        utf8 += format_record_line(records[i], startRecordForm && i == 0);
        utf8 += "\r\n";
    }
    return utf8_to_cp932(utf8);
}

LogReadResult MeasurementLog::read_all() const {
    const std::filesystem::path path = m_dir.find(files::Log);
    FileBytes bytes;
    if (!read_file(path, bytes)) {
        return missing_log(path);
    }
    LogReadResult result = parse_log(bytes.view(), text_file::name_of(path));
    result.stamp = bytes.stamp;
    return result;
}

LogReadResult MeasurementLog::read_first() const {
    const std::filesystem::path path = m_dir.find(files::Log);
    struct stat info {};
    const int fd = open_regular_for_reading(path, info);
    if (fd < 0) {
        return missing_log(path);
    }
    // Only up to the first line break: the log may be years long.
    std::string line;
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            ::close(fd);
            return missing_log(path);
        }
        const std::string_view got(chunk, static_cast<std::size_t>(n));
        const std::size_t lf = got.find('\n');
        line.append(got.substr(0, lf == std::string_view::npos ? got.size() : lf + 1));
        if (n == 0 || lf != std::string_view::npos) {
            break;
        }
    }
    ::close(fd);
    const std::string name = text_file::name_of(path);
    LogReadResult result = parse_log(line, name);
    if (result.ok && result.records.empty()) {
        return read_error("「" + name + "」に記録がありません。", 1);
    }
    return result;
}

WriteResult MeasurementLog::append(const MeasurementRecord& record) const {
    const std::filesystem::path path = m_dir.find(files::Log);
    const std::optional<std::string> line = utf8_to_cp932(format_record_line(record) + "\r\n");
    if (!line) {
        return WriteResult{false, text_file::cannot_hold_message(text_file::name_of(path))};
    }
    const WriterLock lock(m_dir.path());
    if (!lock) {
        return WriteResult{false, lock.message()};
    }
    // Appending would start a new log with no start record in place of one that is only out of reach.
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        return WriteResult{false, "「" + text_file::name_of(path) + "」が見つからないため、保存できませんでした。"};
    }
    if (text_file::ends_with_blank_line(path)) {
        // Written anew from its records, the log loses its trailing blank lines and the record is last.
        LogReadResult log = read_all();
        if (!log.ok) {
            return WriteResult{false, log.message};
        }
        log.records.push_back(record);
        return rewrite_all(log.records, false, files::LogCopy, &log.stamp, BackupReason::Save);
    }
    // A last line without its line break (edited by hand) must not swallow the new record.
    if (text_file::ends_mid_line(path)) {
        return append_to_file(path, "\r\n" + *line);
    }
    return append_to_file(path, *line);
}

WriteResult MeasurementLog::insert_in_order(const MeasurementRecord& record) const {
    const std::filesystem::path path = m_dir.find(files::Log);
    if (!cp932_can_hold(format_record_line(record))) {
        return WriteResult{false, text_file::cannot_hold_message(text_file::name_of(path))};
    }
    // One lock over the read and the rewrite: another writer's record cannot fall in between.
    const WriterLock lock(m_dir.path());
    if (!lock) {
        return WriteResult{false, lock.message()};
    }
    LogReadResult log = read_all();
    if (!log.ok) {
        return WriteResult{false, log.message};
    }
    // Equal dates never insert: a new record goes after its day's records.
    const auto later = std::find_if(log.records.begin(), log.records.end(),
                                    [&](const MeasurementRecord& r) { return r.date > record.date; });
    if (later == log.records.end()) {
        return append(record);
    }
    log.records.insert(later, record);
    return rewrite_all(log.records, false, files::LogCopy, &log.stamp, BackupReason::Save);
}

WriteResult MeasurementLog::rewrite_all(const std::vector<MeasurementRecord>& records, bool startRecordForm,
                                        std::string_view temporaryName, const FileStamp* readAs,
                                        BackupReason reason) const {
    const std::filesystem::path path = m_dir.find(files::Log);
    const std::optional<std::string> bytes = encode_log(records, startRecordForm);
    if (!bytes) {
        return WriteResult{false, text_file::cannot_hold_message(text_file::name_of(path))};
    }
    return rewrite_bytes(*bytes, temporaryName, readAs, reason);
}

WriteResult MeasurementLog::rewrite_bytes(std::string_view cp932Bytes, std::string_view temporaryName,
                                          const FileStamp* readAs, BackupReason reason) const {
    const std::filesystem::path path = m_dir.find(files::Log);
    const WriterLock lock(m_dir.path());
    if (!lock) {
        return WriteResult{false, lock.message()};
    }
    // A log that is no longer the one read is refused below; copying it first would only add a copy.
    if (readAs != nullptr && stamp_of(write_target(path)) != *readAs) {
        WriteResult refused{false, changed_on_disk_message(path)};
        refused.changedOnDisk = true;
        return refused;
    }
    std::optional<std::string> warning = backup_before_rewrite(m_dir, reason);
    WriteResult result =
        replace_file(path, m_dir.path() / std::filesystem::path(std::string(temporaryName)), cp932Bytes, readAs);
    result.warning = std::move(warning).value_or(std::string());
    return result;
}

}  // namespace sora
