#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/files/backup_reason.h"
#include "core/files/data_dir.h"
#include "core/files/file_io.h"
#include "core/rules/measurement_record.h"

namespace sora {

/// Outcome of reading the log: the records, or an error naming the file and line.
struct LogReadResult {
    std::vector<MeasurementRecord> records;
    bool ok = true;
    std::string message;  // e.g. "データ.txt の 12 行目が読めません（項目が7つではありません）。"
    int errorLine = 0;  // 1-based, 0 when the file itself failed
    FileStamp stamp;    // the file as it was read: a rewrite from these records checks it first
};

/// The measurement log "データ.txt". Every view reads it through here; nothing else touches the file.
class MeasurementLog {
public:
    explicit MeasurementLog(DataDir dir) : m_dir(std::move(dir)) {}

    const DataDir& dir() const { return m_dir; }

    /// Every record in file order. A missing, undecodable or malformed file gives ok = false and no records.
    LogReadResult read_all() const;
    /// Only the first record (the start record); ok = false when there is none.
    LogReadResult read_first() const;

    /// Appends one line (or rewrites the log when it ends in a blank line, which must not stand before a record).
    WriteResult append(const MeasurementRecord& record) const;
    /// Rewrites the log through "データコピー.txt" so that the record lands before the first later date.
    WriteResult insert_in_order(const MeasurementRecord& record) const;
    /// Replaces the log by the records in the given order; the first may be written in the start-record form.
    /// With `readAs`, the log must still be the file those records were read from (else nothing is written).
    /// `reason` is recorded with the automatic copy of the log (see BackupReason).
    WriteResult rewrite_all(const std::vector<MeasurementRecord>& records, bool startRecordForm = false,
                            std::string_view temporaryName = files::LogCopy, const FileStamp* readAs = nullptr,
                            BackupReason reason = BackupReason::Unknown) const;
    /// Replaces the log by complete CP932 log bytes, as rewrite_all does. Every rewrite of the log comes through
    /// here and first keeps a copy of the current log in "backup/" with `reason` (only when the rewrite is not
    /// refused outright); a copy that fails only sets the warning.
    WriteResult rewrite_bytes(std::string_view cp932Bytes, std::string_view temporaryName = files::LogCopy,
                              const FileStamp* readAs = nullptr, BackupReason reason = BackupReason::Unknown) const;

private:
    DataDir m_dir;
};

/// Parses log text (CP932 bytes) into records; shared by the reader, the fuzzer and the benchmark.
LogReadResult parse_log(std::string_view cp932Bytes, std::string_view fileName = files::Log);

/// The CP932 bytes of the given records, CR LF after each line.
std::optional<std::string> encode_log(const std::vector<MeasurementRecord>& records, bool startRecordForm = false);

}  // namespace sora
