#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/files/backup_reason.h"
#include "core/files/data_dir.h"
#include "core/files/file_io.h"

namespace sora {

namespace files {
/// The sub-folder of the data folder that holds the automatic copies of the log.
inline constexpr std::string_view BackupFolder = "backup";
}  // namespace files

/// How many of the newest copies are always kept; for how many days (today and the ones before it) the first copy
/// of each day is kept besides (the diary as the day began); and for how many months the newest copy of each month.
inline constexpr std::size_t BackupsKeptNewest = 20;
inline constexpr int BackupDaysKept = 60;
inline constexpr int BackupMonthsKept = 24;

/// "データ_yyyymmdd_hhmmss.txt": the name of a copy of the log taken at `now`.
std::string backup_log_name(const DateTime& now);

/// A name for a copy taken at `now` that `folder` does not hold: "データ_yyyymmdd_hhmmss.txt", or when that second
/// has copies already, "_n" after the highest number among them ("データ_yyyymmdd_hhmmss_2.txt", …).
std::string unused_backup_name(const std::filesystem::path& folder, const DateTime& now);

/// When a copy's name says it was taken, and its number among copies of the same second (1 for the plain name);
/// nullopt for any other name, which the backup functions never touch.
struct BackupTime {
    DateTime taken;
    int sequence = 1;
};
std::optional<BackupTime> backup_time(std::string_view name);

/// The copies among `names` (other names are ignored) that pruning removes: all but the newest BackupsKeptNewest,
/// the first copy of each of the BackupDaysKept days up to `today` and the newest copy of each of the
/// BackupMonthsKept months up to `today`'s.
std::vector<std::string> backups_to_remove(const std::vector<std::string>& names, const Date& today);

/// True when a copy of `copySize` bytes leaves room on a disk with `available` free bytes for the rewrite that
/// follows it (a new log of about the same size) and a reserve besides: copies never fill the disk.
bool backup_leaves_room(unsigned long long available, unsigned long long copySize);

/// Copies the log's bytes unchanged into "backup/" under a name from `now` with the log's permission bits, records it
/// with `reason` in the folder's manifest, then prunes the folder. No copy is made when the newest copy holds the
/// same bytes already. "backup/" is made private (0700) when the data folder is. A copy that cannot be made (no log,
/// a full disk, a failed write) is skipped: the result is then a warning for the user, and the caller goes on with
/// its own write.
std::optional<std::string> backup_log(const DataDir& dir, const DateTime& now,
                                      BackupReason reason = BackupReason::Unknown);

/// The copy at the program's start: taken only when "backup/" holds none from `now`'s day yet.
std::optional<std::string> backup_at_start(const DataDir& dir, const DateTime& now);

/// Removes the copies backups_to_remove names among those the manifest records (never another file), and what a
/// killed copy left under its temporary name; returns how many files went.
int prune_backups(const DataDir& dir, const Date& today);

/// One copy of the log, as the restore list shows it.
struct BackupEntry {
    std::string name;  // file name in "backup/"
    DateTime taken;
    BackupReason reason = BackupReason::Unknown;  // Unknown for copies from before reasons were recorded
    bool readable = true;
    std::string message;  // why it is not readable
    std::size_t records = 0;
    std::string lastDate;  // the latest measurement date in it ("yyyy/mm/dd"), empty when it holds none
};

/// Every copy in "backup/", newest first.
std::vector<BackupEntry> list_backups(const DataDir& dir);

/// Puts the copy `name` in place of the log: refuses a copy that does not read as a log, keeps the current log as
/// a copy first (and refuses when that fails, since the current log would then be lost), and replaces the log
/// atomically, all under the folder's lock.
WriteResult restore_backup(const DataDir& dir, std::string_view name, const DateTime& now);

/// The clock that dates the copies taken before a rewrite of the log: the system clock unless one is put in force.
const Clock& backup_clock();

/// Puts another clock in force for the copies for its lifetime (the program's clock; a fixed one in tests).
class BackupClockOverride {
public:
    explicit BackupClockOverride(const Clock& clock);
    ~BackupClockOverride();
    BackupClockOverride(const BackupClockOverride&) = delete;
    BackupClockOverride& operator=(const BackupClockOverride&) = delete;

private:
    const Clock* m_previous;
};

/// The copy every rewrite of the log takes first, while it holds the folder's lock: backup_log at backup_clock()'s
/// now with `reason`, or nothing when there is no log yet or the rewrite would be refused anyway (a read-only log,
/// anything but a regular file): a copy is made only for a rewrite that goes ahead. The result is a warning for the
/// user when the copy failed. This is the one call an operation that rewrites the log needs, e.g. an import:
///     const auto warning = backup_before_rewrite(dir, BackupReason::Import);
std::optional<std::string> backup_before_rewrite(const DataDir& dir, BackupReason reason);

}  // namespace sora
