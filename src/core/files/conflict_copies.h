#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/data_dir.h"

namespace sora {

/// The sync tools whose conflict copies are recognised, by the names they give them.
enum class SyncTool { Syncthing, Dropbox, Nextcloud, OneDrive };

/// "Syncthing", "Dropbox", "Nextcloud / ownCloud", "OneDrive".
const char* sync_tool_name(SyncTool tool);

/// A file a sync tool left beside a data file when both PCs changed it while apart.
struct ConflictCopy {
    std::string name;      ///< the copy's file name in the data folder
    std::string original;  ///< the data file it is a copy of, in its canonical spelling ("データ.txt")
    SyncTool tool = SyncTool::Syncthing;
    bool operator==(const ConflictCopy&) const = default;
};

/// The data files whose conflict copies are looked for: the log and every side file the program reads.
const std::vector<std::string_view>& synced_data_files();

/// What `name` is a conflict copy of, from the naming of each tool:
///   Syncthing  "データ.sync-conflict-20261207-235123-I3I3VSL.txt"
///   Dropbox    "データ (Taro's conflicted copy 2026-12-07).txt", "データ (太郎の競合コピー 2026-12-07).txt"
///   Nextcloud  "データ (conflicted copy 2026-12-07 235123).txt" (also with a user name before the date)
///   OneDrive   "データ-DESKTOP-PC.txt"
/// The stem must be a data file's own and the extension its own in any letter case; nullopt for any other name.
std::optional<ConflictCopy> conflict_copy_of(std::string_view name);

/// The conflict copies in the data folder (not in its sub-folders), regular files only, sorted by name.
std::vector<ConflictCopy> find_conflict_copies(const DataDir& dir);

}  // namespace sora
