#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/files/conflict_copies.h"
#include "core/files/data_dir.h"
#include "core/files/file_io.h"
#include "core/import/import_preview.h"
#include "core/rules/measurement_record.h"

namespace sora {

/// A conflict copy of the log against the diary: the import's preview of the copy, read as a log, so that its
/// readings the diary has are 登録済み and the others are to be added. `preview.message` says when it does not read.
ImportPreview compare_log_copy(const DataDir& dir, std::string_view copyName,
                               const std::vector<MeasurementRecord>& diary);

/// The rows of such a preview that the diary lacks (new ones and questionable ones alike: the other PC saved them).
std::vector<ImportPreviewRow> readings_missing(const ImportPreview& preview);

/// The situation list after taking in a conflict copy's: ours in its order, then the copy's items we lack.
std::vector<std::string> union_of_situations(const std::vector<std::string>& ours,
                                             const std::vector<std::string>& theirs);

/// Outcome of a step of a merge; `message` names the file when it failed.
struct ConflictStep {
    bool ok = true;
    std::string message;
    bool changedOnDisk = false;  ///< the data file changed since it was read: read again, nothing was written
};

/// Takes the union of the situation list and a conflict copy of it into "状況リスト.txt" (only while the list is
/// still `shown`, the list the screens show), then sets the copy aside. Nothing is written when the union is the
/// list already.
ConflictStep merge_situations_copy(const DataDir& dir, const ConflictCopy& copy, const std::vector<std::string>& shown);

/// Puts a conflict copy's bytes in place of the data file it is a copy of (one atomic replace), then sets it aside.
ConflictStep keep_conflict_copy(const DataDir& dir, const ConflictCopy& copy);

/// Moves a conflict copy into "backup/" under its own name (or a free one beside it) and records it in the
/// folder's list of copies; it is never deleted.
ConflictStep set_aside_conflict_copy(const DataDir& dir, std::string_view copyName);

/// A data file's text for showing it beside its conflict copy (UTF-8, CR LF as in the file); a note in Japanese when
/// it cannot be read.
std::string data_file_text(const DataDir& dir, std::string_view name);

}  // namespace sora
