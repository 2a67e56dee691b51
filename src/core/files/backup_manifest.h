#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "core/files/backup_reason.h"
#include "core/files/file_io.h"

namespace sora {

namespace files {
/// The list of the copies the program itself wrote into "backup/", with the reason of each. Pruning touches only
/// the copies it names: a file that merely looks like a copy (another program's, or in a folder that a linked
/// "backup/" leads to) is never deleted.
inline constexpr std::string_view BackupManifest = "控え一覧.txt";
}  // namespace files

/// The copies the manifest of `folder` records: file name → reason. A missing manifest is empty; one that does not
/// read counts as empty too, so that nothing is pruned on its word.
std::map<std::string, BackupReason> read_backup_manifest(const std::filesystem::path& folder);

/// Replaces the manifest of `folder` atomically; the manifest gets `mode` when it is new.
WriteResult write_backup_manifest(const std::filesystem::path& folder,
                                  const std::map<std::string, BackupReason>& copies, int mode);

}  // namespace sora
