#include "core/files/log_backups.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <system_error>
#include <tuple>

#include <sys/stat.h>

#include "core/files/backup_manifest.h"
#include "core/files/leftover_temporaries.h"
#include "core/files/measurement_log.h"
#include "core/files/text_file.h"
#include "core/files/writer_lock.h"

namespace sora {
namespace {

constexpr std::string_view Prefix = "データ_";
constexpr std::string_view Extension = ".txt";
// Room left besides the copy and the new log, so that copies never take the last space of a disk.
constexpr unsigned long long Reserve = 32ULL * 1024 * 1024;

const Clock* g_clock = nullptr;

std::string two_digits(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

std::filesystem::path backup_folder(const DataDir& dir) {
    return dir.path() / std::string(files::BackupFolder);
}

/// Reads `count` digits at `pos`; -1 when any is not a digit.
int digits_at(std::string_view text, std::size_t pos, std::size_t count) {
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9') {
            return -1;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

/// Newest first: date, time of day, then the later of two copies of one second.
auto order_key(const BackupTime& t) {
    return std::make_tuple(t.taken.date, t.taken.hour, t.taken.minute, t.taken.second, t.sequence);
}

bool same_second(const DateTime& a, const DateTime& b) {
    return a.date == b.date && a.hour == b.hour && a.minute == b.minute && a.second == b.second;
}

struct NamedBackup {
    std::string name;
    BackupTime time;
};

std::vector<NamedBackup> backups_in(const std::vector<std::string>& names) {
    std::vector<NamedBackup> found;
    for (const std::string& name : names) {
        if (const std::optional<BackupTime> time = backup_time(name)) {
            found.push_back({name, *time});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const NamedBackup& a, const NamedBackup& b) { return order_key(a.time) > order_key(b.time); });
    return found;
}

std::vector<std::string> names_in(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec)) {
            names.push_back(it->path().filename().string());
        }
    }
    return names;
}

std::string warning_of(std::string_view reason) {
    return "データ.txt の控えを backup フォルダに作れませんでした。" + std::string(reason) +
           "\r\n控えを作らずに続けます。";
}

/// The copy itself: `copied` when the copy is in the folder (also when only its directory sync failed, which
/// still gives a reason); `reason` says what went wrong.
struct CopyOutcome {
    bool copied = false;
    std::optional<std::string> reason;
};

/// Makes "backup/" (0700 when the data folder lets nobody else in, so that the copies are as private as the log).
bool prepare_folder(const DataDir& dir, const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::create_directory(folder, ec);
    if (!std::filesystem::is_directory(folder, ec)) {
        return false;
    }
    struct stat data {};
    struct stat own {};
    if (::stat(dir.path().c_str(), &data) == 0 && (data.st_mode & 077) == 0 && ::stat(folder.c_str(), &own) == 0 &&
        (own.st_mode & 077) != 0) {
        (void)::chmod(folder.c_str(), own.st_mode & 0700);
    }
    return true;
}

/// The newest copy in the folder by its name, if any.
std::optional<std::string> newest_copy(const std::filesystem::path& folder) {
    const std::vector<NamedBackup> backups = backups_in(names_in(folder));
    return backups.empty() ? std::nullopt : std::optional<std::string>(backups.front().name);
}

CopyOutcome copy_log(const DataDir& dir, const DateTime& now, BackupReason reason) {
    CopyOutcome outcome;
    const WriterLock lock(dir.path());
    if (!lock) {
        outcome.reason = lock.message();
        return outcome;
    }
    const std::filesystem::path log = dir.find(files::Log);
    FileBytes bytes;
    if (!read_file(log, bytes)) {
        outcome.reason = text_file::cannot_read_message(log);
        return outcome;
    }
    const std::filesystem::path folder = backup_folder(dir);
    if (!prepare_folder(dir, folder)) {
        outcome.reason = "フォルダを作れませんでした。";
        return outcome;
    }
    // A copy of the same bytes as the newest one adds nothing and would only push an older copy out.
    if (const std::optional<std::string> newest = newest_copy(folder)) {
        std::string kept;
        if (read_file(folder / std::filesystem::u8path(*newest), kept) && kept == bytes.view()) {
            outcome.copied = true;
            return outcome;
        }
    }
    std::error_code ec;
    if (const std::filesystem::space_info space = std::filesystem::space(folder, ec);
        !ec && !backup_leaves_room(space.available, bytes.size)) {
        outcome.reason = "ディスクの空き容量が少なくなっています。";
        return outcome;
    }
    // The copy is as private as the log it keeps.
    struct stat logInfo {};
    const int mode = ::stat(log.c_str(), &logInfo) == 0 ? static_cast<int>(logInfo.st_mode & 0777) : 0600;
    const std::string name = unused_backup_name(folder, now);
    // Listed before it is written: a process killed in between leaves a name without a file, which pruning forgets;
    // the other order would leave a copy that no list names and so is never pruned.
    const std::filesystem::path manifest = folder / std::string(files::BackupManifest);
    std::string listBefore;
    const bool listed = read_file(manifest, listBefore);
    std::map<std::string, BackupReason> recorded = read_backup_manifest(folder);
    recorded[name] = reason;
    if (const WriteResult written = write_backup_manifest(folder, recorded, mode); !written) {
        outcome.reason = written.message;
        return outcome;
    }
    const WriteResult written = replace_file(folder / std::filesystem::u8path(name),
                                             folder / std::string(files::LogCopy), bytes.view(), nullptr, mode);
    outcome.copied = written.ok || written.inPlace;
    if (!written) {
        outcome.reason = written.message;
    }
    if (!outcome.copied) {
        // The list as it was; should even that fail, pruning forgets the name that has no copy.
        if (!listed) {
            std::error_code ec;
            std::filesystem::remove(manifest, ec);
        } else {
            (void)replace_file(manifest, folder / (std::string(files::BackupManifest) + ".tmp"), listBefore);
        }
        return outcome;
    }
    prune_backups(dir, now.date);
    return outcome;
}

}  // namespace

std::string backup_log_name(const DateTime& now) {
    return std::string(Prefix) + std::to_string(now.date.year) + two_digits(now.date.month) + two_digits(now.date.day) +
           "_" + two_digits(now.hour) + two_digits(now.minute) + two_digits(now.second) + std::string(Extension);
}

std::string unused_backup_name(const std::filesystem::path& folder, const DateTime& now) {
    // Never overwrite an earlier copy, even of the same second; and a new copy is numbered after every copy of its
    // second, even one whose lower number was freed by pruning, so that it never sorts as older than they are.
    const std::string plain = backup_log_name(now);
    int last = 0;
    for (const std::string& name : names_in(folder)) {
        if (const std::optional<BackupTime> time = backup_time(name); time && same_second(time->taken, now)) {
            last = std::max(last, time->sequence);
        }
    }
    std::error_code ec;
    if (last == 0 && !std::filesystem::exists(folder / std::filesystem::u8path(plain), ec)) {
        return plain;
    }
    std::string name = plain;
    name.insert(name.size() - Extension.size(), "_" + std::to_string(std::max(last, 1) + 1));
    return name;
}

std::optional<BackupTime> backup_time(std::string_view name) {
    if (!name.starts_with(Prefix) || !name.ends_with(Extension)) {
        return std::nullopt;
    }
    const std::string_view stamp = name.substr(Prefix.size(), name.size() - Prefix.size() - Extension.size());
    // yyyymmdd_hhmmss, then an optional _n
    if (stamp.size() < 15 || stamp[8] != '_') {
        return std::nullopt;
    }
    BackupTime time;
    time.taken.date = {digits_at(stamp, 0, 4), digits_at(stamp, 4, 2), digits_at(stamp, 6, 2)};
    time.taken.hour = digits_at(stamp, 9, 2);
    time.taken.minute = digits_at(stamp, 11, 2);
    time.taken.second = digits_at(stamp, 13, 2);
    if (!time.taken.date.valid() || time.taken.hour < 0 || time.taken.hour > 23 || time.taken.minute < 0 ||
        time.taken.minute > 59 || time.taken.second < 0 || time.taken.second > 59) {
        return std::nullopt;
    }
    if (stamp.size() > 15) {
        const std::string_view rest = stamp.substr(16);
        if (stamp[15] != '_' || rest.empty() || rest.size() > 6 || rest[0] == '0' ||
            digits_at(rest, 0, rest.size()) < 2) {
            return std::nullopt;
        }
        time.sequence = digits_at(rest, 0, rest.size());
    }
    return time;
}

std::vector<std::string> backups_to_remove(const std::vector<std::string>& names, const Date& today) {
    const std::vector<NamedBackup> backups = backups_in(names);
    const int thisMonth = today.year * 12 + today.month - 1;
    const long long todayNumber = today.serial();
    std::set<int> monthsKept;
    std::set<long long> daysKept;
    // Oldest first, the first copy seen of a day is the one the day began with.
    for (auto it = backups.rbegin(); it != backups.rend(); ++it) {
        const long long day = it->time.taken.date.serial();
        if (day <= todayNumber && day > todayNumber - BackupDaysKept) {
            daysKept.insert(day);
        }
    }
    std::set<long long> firstOfDayTaken;
    std::vector<bool> keep(backups.size(), false);
    for (std::size_t i = backups.size(); i-- > 0;) {
        const long long day = backups[i].time.taken.date.serial();
        keep[i] = daysKept.count(day) != 0 && firstOfDayTaken.insert(day).second;
    }
    std::vector<std::string> removed;
    for (std::size_t i = 0; i < backups.size(); ++i) {
        const Date& date = backups[i].time.taken.date;
        const int month = date.year * 12 + date.month - 1;
        // Newest first, so the first copy seen of a month is its newest.
        const bool monthly =
            month <= thisMonth && month > thisMonth - BackupMonthsKept && monthsKept.insert(month).second;
        if (i >= BackupsKeptNewest && !monthly && !keep[i]) {
            removed.push_back(backups[i].name);
        }
    }
    return removed;
}

bool backup_leaves_room(unsigned long long available, unsigned long long copySize) {
    return available >= Reserve && (available - Reserve) / 2 >= copySize;
}

std::optional<std::string> backup_log(const DataDir& dir, const DateTime& now, BackupReason reason) {
    const CopyOutcome copy = copy_log(dir, now, reason);
    if (!copy.reason) {
        return std::nullopt;
    }
    return warning_of(*copy.reason);
}

std::optional<std::string> backup_at_start(const DataDir& dir, const DateTime& now) {
    const WriterLock lock(dir.path());
    if (!lock) {
        return warning_of(lock.message());
    }
    std::error_code ec;
    if (!std::filesystem::exists(dir.find(files::Log), ec)) {
        return std::nullopt;  // nothing to keep: the start reports the missing log itself
    }
    for (const NamedBackup& backup : backups_in(names_in(backup_folder(dir)))) {
        if (backup.time.taken.date == now.date) {
            return std::nullopt;
        }
    }
    return backup_log(dir, now, BackupReason::Start);
}

int prune_backups(const DataDir& dir, const Date& today) {
    const WriterLock lock(dir.path());
    if (!lock) {
        return 0;
    }
    const std::filesystem::path folder = backup_folder(dir);
    const std::vector<std::string> names = names_in(folder);
    // Only the copies the program recorded itself: a file that merely has a copy's name is not ours to delete.
    std::map<std::string, BackupReason> recorded = read_backup_manifest(folder);
    std::vector<std::string> ours;
    for (const std::string& name : names) {
        if (recorded.count(name) != 0) {
            ours.push_back(name);
        }
    }
    std::vector<std::string> removed = backups_to_remove(ours, today);
    bool forgottenMissing = false;
    // A copy cut off by a killed process stays under its temporary name ("データコピー.<pid>-<n>.txt"). Only that
    // exact form of a process that is gone: "データコピー.2019年の控え.txt" is the user's own file.
    for (const std::string& name : names) {
        if (const long pid = temporary_writer_pid(name); pid > 0 && !writer_alive(pid)) {
            removed.push_back(name);
        }
    }
    // A copy listed but never written (killed between the list and the copy) leaves the list without a file.
    for (auto it = recorded.begin(); it != recorded.end();) {
        std::error_code ec;
        if (std::find(names.begin(), names.end(), it->first) == names.end() &&
            !std::filesystem::exists(folder / std::filesystem::u8path(it->first), ec) && !ec) {
            it = recorded.erase(it);
            forgottenMissing = true;
        } else {
            ++it;
        }
    }
    int count = 0;
    bool forgotten = forgottenMissing;
    for (const std::string& name : removed) {
        std::error_code ec;
        if (std::filesystem::remove(folder / std::filesystem::u8path(name), ec)) {
            ++count;
            forgotten = recorded.erase(name) != 0 || forgotten;
        }
    }
    if (forgotten) {
        struct stat info {};
        const std::filesystem::path manifest = folder / std::string(files::BackupManifest);
        (void)write_backup_manifest(
            folder, recorded, ::stat(manifest.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 0777) : 0600);
    }
    return count;
}

std::vector<BackupEntry> list_backups(const DataDir& dir) {
    const std::filesystem::path folder = backup_folder(dir);
    std::vector<BackupEntry> entries;
    const std::map<std::string, BackupReason> recorded = read_backup_manifest(folder);
    for (const NamedBackup& backup : backups_in(names_in(folder))) {
        BackupEntry entry;
        entry.name = backup.name;
        entry.taken = backup.time.taken;
        if (const auto found = recorded.find(backup.name); found != recorded.end()) {
            entry.reason = found->second;
        }
        FileBytes bytes;
        if (!read_file(folder / std::filesystem::u8path(backup.name), bytes)) {
            entry.readable = false;
            entry.message = text_file::unreadable_file_message(backup.name);
        } else {
            const LogReadResult log = parse_log(bytes.view(), backup.name);
            entry.readable = log.ok;
            entry.message = log.message;
            entry.records = log.records.size();
            for (const MeasurementRecord& record : log.records) {
                entry.lastDate = std::max(entry.lastDate, record.date);
            }
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

WriteResult restore_backup(const DataDir& dir, std::string_view name, const DateTime& now) {
    if (!backup_time(name)) {
        return WriteResult{false, "「" + std::string(name) + "」は控えのファイルではありません。"};
    }
    const WriterLock lock(dir.path());
    if (!lock) {
        return WriteResult{false, lock.message()};
    }
    std::string bytes;
    if (!read_file(backup_folder(dir) / std::filesystem::u8path(std::string(name)), bytes)) {
        return WriteResult{false, text_file::unreadable_file_message(name)};
    }
    const LogReadResult parsed = parse_log(bytes, name);
    if (!parsed.ok || parsed.records.empty()) {
        const std::string why = parsed.ok ? "「" + std::string(name) + "」に記録がありません。" : parsed.message;
        return WriteResult{false, why + "\r\nこの控えからは戻せません。"};
    }
    const std::filesystem::path log = dir.find(files::Log);
    const FileStamp current = stamp_of(write_target(log));
    std::string warning;
    if (current.exists) {
        // The log being replaced may hold records no copy has: without its own copy it would be lost.
        const CopyOutcome copy = copy_log(dir, now, BackupReason::Restore);
        if (!copy.copied) {
            return WriteResult{false, "今のデータ.txt を backup フォルダに残せないため、控えから戻しませんでした。" +
                                          copy.reason.value_or("")};
        }
        warning = copy.reason ? warning_of(*copy.reason) : std::string();
    }
    WriteResult result =
        replace_file(log, dir.path() / std::string(files::LogCopy), bytes, current.exists ? &current : nullptr);
    result.warning = warning;
    return result;
}

const Clock& backup_clock() {
    static const SystemClock system;
    return g_clock != nullptr ? *g_clock : system;
}

BackupClockOverride::BackupClockOverride(const Clock& clock) : m_previous(g_clock) {
    g_clock = &clock;
}

BackupClockOverride::~BackupClockOverride() {
    g_clock = m_previous;
}

std::optional<std::string> backup_before_rewrite(const DataDir& dir, BackupReason reason) {
    const std::filesystem::path log = dir.find(files::Log);
    std::error_code ec;
    if (!std::filesystem::exists(log, ec) || replace_refusal(log)) {
        return std::nullopt;
    }
    return backup_log(dir, backup_clock().now(), reason);
}

}  // namespace sora
