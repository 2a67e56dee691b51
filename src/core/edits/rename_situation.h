#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/files/data_dir.h"
#include "core/files/replace_together.h"
#include "core/rules/measurement_record.h"

namespace sora {

/// Puts `to` into the situation of every record whose situation is exactly `from`; returns how many changed.
int rename_in_records(std::vector<MeasurementRecord>& records, std::string_view from, std::string_view to);

/// Replaces every list entry that is exactly `from` by `to`, in place; returns how many changed.
int rename_in_list(std::vector<std::string>& items, std::string_view from, std::string_view to);

/// Outcome of renaming a situation in the files.
struct RenameResult {
    bool ok = true;
    bool logRewritten = false;  // the log holds the new text (also when the list could not be rewritten after it)
    std::string message;        // names the file when ok is false
    std::string warning{};      // the automatic copy of the log could not be made; the rename went ahead
    int records = 0;            // records renamed
    int entries = 0;            // list entries renamed
    explicit operator bool() const { return ok; }
};

/// Renames a situation in "データ.txt" (through "データＣＨＧ.txt"), in "状況リスト.txt" (through
/// "状況リストＣＨＧ.txt", every line quoted) and, where the 朝/晩 choice of the old name must follow it, in
/// "朝晩設定.txt" (through "朝晩設定ＣＨＧ.txt"), all or none: every file is read before any is written, and they
/// are replaced together through the journal "状況名変更中.txt", so that even a process killed between the renames
/// leaves them agreeing once recover_interrupted_rename has run. The log is copied to "backup/" first.
RenameResult rename_situation(const DataDir& dir, const std::string& from, const std::string& to);

/// Finishes or takes back a rename, or an undo of several files, that a killed process left half done, and removes
/// the temporary files of writers that are dead; the message tells the user what happened (empty when there was
/// nothing to do, or only leftovers of dead writers to remove). The program calls it at start-up, before anything
/// reads or writes the folder; the read-only command line never does.
TogetherRecovery recover_interrupted_rename(const DataDir& dir);

}  // namespace sora
