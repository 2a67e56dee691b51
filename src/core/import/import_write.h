#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/data_dir.h"
#include "core/files/file_io.h"
#include "core/rules/measurement_record.h"

namespace sora {

/// Outcome of writing an import.
struct ImportWriteResult {
    WriteResult written;                  ///< the log's rewrite (its warning: the automatic copy failed)
    std::vector<std::string> situations;  ///< situations the list did not have and now has (with the log)
};

/// The diary with the added records in date order: the diary's own order is kept, and each added record goes after
/// the records of its day already there, the added ones among themselves by date and time.
std::vector<MeasurementRecord> merge_in_date_order(const std::vector<MeasurementRecord>& diary,
                                                   std::vector<MeasurementRecord> added);

/// The log's bytes with the added records' lines inserted where merge_in_date_order puts them; every line of the
/// diary keeps its bytes. nullopt when the log's lines are not its records one for one (then it is written anew),
/// or with `cannotHold` when an added record has no CP932 form.
std::optional<std::string> spliced_log(std::string_view logBytes, const std::vector<MeasurementRecord>& diary,
                                       const std::vector<MeasurementRecord>& added, bool& cannotHold);

/// Writes the chosen records as one change of the log, under the folder's lock: only while the log is still the
/// file `readAs` describes (the one `diary` was read from, else nothing is written and changedOnDisk is set), the
/// automatic copy first, then one atomic rewrite in which every line already there keeps its bytes. When the records
/// use situations that `situations` lacks, the log and the situation list with those situations appended are
/// replaced together through the journal "取り込み中.txt" (all or none, also when the process is killed); a list
/// that is no regular file is refused before the log is touched.
ImportWriteResult write_import(const DataDir& dir, const std::vector<MeasurementRecord>& diary, const FileStamp& readAs,
                               const std::vector<MeasurementRecord>& added, const std::vector<std::string>& situations);

/// The undo step's label: "bp.csv からの取り込み（12 件）" (the undo question puts it in 「」).
std::string import_undo_label(const std::string& fileName, std::size_t count);

}  // namespace sora
