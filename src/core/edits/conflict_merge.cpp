#include "core/edits/conflict_merge.h"

#include <algorithm>

#include "core/files/backup_manifest.h"
#include "core/files/log_backups.h"
#include "core/files/side_files.h"
#include "core/files/text_codec.h"
#include "core/files/text_file.h"
#include "core/files/writer_lock.h"
#include "core/import/import_file.h"

#include <sys/stat.h>

namespace sora {
namespace {

ConflictStep failed(std::string message, bool changedOnDisk = false) {
    return ConflictStep{false, std::move(message), changedOnDisk};
}

/// A name in `folder` not taken yet: `name` itself, else "_2", "_3", … before its extension.
std::string free_name(const std::filesystem::path& folder, std::string_view name) {
    const std::filesystem::path plain(name);
    const std::string stem = plain.stem().string();
    const std::string extension = plain.extension().string();
    std::string candidate(name);
    std::error_code ec;
    for (int n = 2; std::filesystem::exists(folder / candidate, ec) || ec; ++n) {
        candidate = stem + "_" + std::to_string(n) + extension;
    }
    return candidate;
}

}  // namespace

ImportPreview compare_log_copy(const DataDir& dir, std::string_view copyName,
                               const std::vector<MeasurementRecord>& diary) {
    const ImportFile file = read_import_file(dir.path() / std::filesystem::path(std::string(copyName)));
    ImportPreview preview;
    if (file.read.kind != ImportKind::OwnLog) {
        preview.fileName = file.fileName;
        preview.message =
            file.read.message.empty() ? "「" + file.fileName + "」は測定の記録として読めません。" : file.read.message;
        return preview;
    }
    return build_import_preview(file.fileName, file.read, diary, ImportChoices{});
}

std::vector<ImportPreviewRow> readings_missing(const ImportPreview& preview) {
    std::vector<ImportPreviewRow> rows;
    std::copy_if(preview.rows.begin(), preview.rows.end(), std::back_inserter(rows), [](const ImportPreviewRow& row) {
        return row.status == ImportStatus::New || row.status == ImportStatus::Questionable;
    });
    return rows;
}

std::vector<std::string> union_of_situations(const std::vector<std::string>& ours,
                                             const std::vector<std::string>& theirs) {
    std::vector<std::string> all = ours;
    for (const std::string& item : theirs) {
        if (std::find(all.begin(), all.end(), item) == all.end()) {
            all.push_back(item);
        }
    }
    return all;
}

ConflictStep merge_situations_copy(const DataDir& dir, const ConflictCopy& copy,
                                   const std::vector<std::string>& shown) {
    const WriterLock lock(dir.path());
    if (!lock) {
        return failed(lock.message());
    }
    const auto theirs = read_situations_file(dir, copy.name);
    if (!theirs.ok || theirs.missing) {
        return failed(theirs.missing ? text_file::unreadable_file_message(copy.name) : theirs.message);
    }
    const std::vector<std::string> merged = union_of_situations(shown, theirs.value);
    if (merged != shown) {
        const WriteResult written = write_situations_plain(dir, merged, &shown);
        if (!written.ok && !written.inPlace) {
            return failed(written.message, written.changedOnDisk);
        }
    }
    return set_aside_conflict_copy(dir, copy.name);
}

ConflictStep keep_conflict_copy(const DataDir& dir, const ConflictCopy& copy) {
    const WriterLock lock(dir.path());
    if (!lock) {
        return failed(lock.message());
    }
    std::string bytes;
    if (!read_file(dir.find(copy.name), bytes)) {
        return failed(text_file::cannot_read_message(dir.find(copy.name)));
    }
    const std::filesystem::path target = dir.for_writing(copy.original);
    const WriteResult written = replace_file(target, dir.path() / std::filesystem::path(copy.original + ".tmp"), bytes);
    if (!written.ok && !written.inPlace) {
        return failed(written.message, written.changedOnDisk);
    }
    return set_aside_conflict_copy(dir, copy.name);
}

ConflictStep set_aside_conflict_copy(const DataDir& dir, std::string_view copyName) {
    const WriterLock lock(dir.path());
    if (!lock) {
        return failed(lock.message());
    }
    const std::filesystem::path folder = dir.path() / std::string(files::BackupFolder);
    std::error_code ec;
    std::filesystem::create_directory(folder, ec);
    struct stat data {};
    if (::stat(dir.path().c_str(), &data) == 0 && (data.st_mode & 077) == 0) {
        (void)::chmod(folder.c_str(), 0700);  // as private as the diary itself
    }
    const std::string kept = free_name(folder, copyName);
    const std::filesystem::path from = dir.path() / std::string(copyName);
    if (file_io().rename(from, folder / kept) != 0) {
        return failed(write_failure(from, errno).message);
    }
    file_io().sync_directory(folder);
    file_io().sync_directory(dir.path());
    std::map<std::string, BackupReason> listed = read_backup_manifest(folder);
    listed[kept] = BackupReason::ConflictCopy;
    const WriteResult manifest =
        write_backup_manifest(folder, listed, data.st_mode != 0 ? static_cast<int>(data.st_mode & 0666) : 0644);
    // The copy is in backup/ either way; a list that could not be written only leaves it out of the list.
    return manifest.ok ? ConflictStep{} : failed(manifest.message);
}

std::string data_file_text(const DataDir& dir, std::string_view name) {
    std::string bytes;
    const std::filesystem::path path = dir.find(name);
    if (!read_file(path, bytes)) {
        return "（" + text_file::cannot_read_message(path) + "）";
    }
    std::optional<std::string> text = cp932_to_utf8(bytes);
    return text ? *text : "（" + text_file::name_of(path) + " は文字コードが読めません）";
}

}  // namespace sora
