#pragma once

#include <optional>
#include <string_view>

namespace sora {

/// What was about to change when a copy of the log was taken; recorded with the copy and shown in the restore list.
/// An importer calls backup_before_rewrite(dir, BackupReason::Import) before it rewrites the log.
enum class BackupReason {
    Unknown,      // a copy from before reasons were recorded
    Correction,   // 修正: a measurement corrected
    Deletion,     // 削除: a measurement deleted
    Diary,        // 一言日記: a one-line diary text changed
    Rename,       // 状況名の入れ替え: a situation renamed throughout the log
    Import,       // 取り込み: records imported from another program's file
    Restore,      // 復元: the log replaced by an earlier copy
    Start,        // 起動時: the first start of a day
    Save,         // 保存: a measurement saved for an earlier day (the log is rewritten to keep date order)
    Undo,         // 元に戻す: an undo put the log back
    ConflictCopy  // 競合コピー: a sync tool's conflict copy, merged or declined, kept under its own name
};

/// The Japanese label of a reason ("修正", "削除", …); empty for Unknown.
std::string_view backup_reason_label(BackupReason reason);

/// The reason of a label as backup_reason_label writes it; nullopt for any other text.
std::optional<BackupReason> backup_reason_from_label(std::string_view label);

}  // namespace sora
