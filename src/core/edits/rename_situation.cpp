#include "core/edits/rename_situation.h"

#include <utility>

#include "core/files/file_rollback.h"
#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "core/files/text_file.h"
#include "core/files/writer_lock.h"

namespace sora {

int rename_in_records(std::vector<MeasurementRecord>& records, std::string_view from, std::string_view to) {
    int changed = 0;
    for (MeasurementRecord& record : records) {
        if (record.situation == from) {
            record.situation = to;
            ++changed;
        }
    }
    return changed;
}

int rename_in_list(std::vector<std::string>& items, std::string_view from, std::string_view to) {
    int changed = 0;
    for (std::string& item : items) {
        if (item == from) {
            item = to;
            ++changed;
        }
    }
    return changed;
}

RenameResult rename_situation(const DataDir& dir, const std::string& from, const std::string& to) {
    RenameResult result;
    const WriterLock lock(dir.path());
    if (!lock) {
        result.ok = false;
        result.message = lock.message();
        return result;
    }
    const MeasurementLog log(dir);
    LogReadResult read = log.read_all();
    if (!read.ok) {
        result.ok = false;
        result.message = read.message;
        return result;
    }
    SideFileRead<std::vector<std::string>> list = read_situations(dir);
    if (!list.ok) {
        result.ok = false;
        result.message = list.message;
        return result;
    }

    // Both files change or neither: a failure part-way (even after a rename) puts back what was written.
    FileRollback rollback;
    const std::filesystem::path logPath = dir.find(files::Log);
    const std::filesystem::path listPath = dir.for_writing(files::Situations);
    const std::pair<std::filesystem::path, std::string_view> kept[] = {{logPath, files::LogRename},
                                                                       {listPath, files::SituationsRename}};
    for (const auto& [file, temporary] : kept) {
        if (!rollback.keep(file, dir.path() / std::string(temporary))) {
            result.ok = false;
            result.message = text_file::unreadable_file_message(text_file::name_of(file));
            return result;
        }
    }

    result.records = rename_in_records(read.records, from, to);
    result.entries = rename_in_list(list.value, from, to);
    std::filesystem::path failed = logPath;
    WriteResult written = log.rewrite_all(read.records, false, files::LogRename, &read.stamp);
    if (written) {
        failed = listPath;
        written = write_situations_quoted(dir, list.value);
    }
    if (written) {
        result.logRewritten = true;
        return result;
    }
    result.ok = false;
    if (written.changedOnDisk) {
        rollback.forget(failed);
    }
    if (rollback.restore()) {
        result.message = written.changedOnDisk ? written.message
                                               : "「" + text_file::name_of(failed) +
                                                     "」を保存できませんでした。\r\n「" + text_file::name_of(logPath) +
                                                     "」と「" + text_file::name_of(listPath) + "」は元のままです。";
    } else {
        // What is on disk is unknown: the caller rebuilds the screens from the files.
        result.logRewritten = true;
        result.message = written.message + "\r\n元に戻せなかったファイルがあります。内容を確かめてください。";
    }
    return result;
}

}  // namespace sora
