#include "core/edits/rename_situation.h"

#include <optional>
#include <utility>

#include "core/files/log_backups.h"
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

    result.records = rename_in_records(read.records, from, to);
    result.entries = rename_in_list(list.value, from, to);
    const std::filesystem::path logPath = dir.find(files::Log);
    const std::filesystem::path listPath = dir.for_writing(files::Situations);
    const std::optional<std::string> logBytes = encode_log(read.records);
    const std::optional<std::string> listBytes = encode_situations_quoted(list.value);
    if (!logBytes || !listBytes) {
        result.ok = false;
        result.message = text_file::cannot_hold_message(text_file::name_of(logBytes ? listPath : logPath));
        return result;
    }

    // The log is about to be rewritten: it is copied first, as for every rewrite, unless it changed meanwhile.
    if (stamp_of(write_target(logPath)) == read.stamp) {
        result.warning = backup_before_rewrite(dir).value_or(std::string());
    }
    const TogetherResult written =
        replace_together(dir.path() / std::string(files::RenameJournal),
                         {{{logPath, dir.path() / std::string(files::LogRename)}, *logBytes, &read.stamp},
                          {{listPath, dir.path() / std::string(files::SituationsRename)}, *listBytes, nullptr}});
    if (written) {
        result.logRewritten = true;
        return result;
    }
    result.ok = false;
    if (written.write.changedOnDisk) {
        result.message = written.write.message;
    } else if (written.restored) {
        result.message = written.write.message + "\r\n「" + text_file::name_of(logPath) + "」と「" +
                         text_file::name_of(listPath) + "」は元のままです。";
    } else {
        // What is on disk is unknown: the caller rebuilds the screens from the files.
        result.logRewritten = true;
        result.message = written.write.message + "\r\n元に戻せなかったファイルがあります。内容を確かめてください。";
    }
    return result;
}

TogetherRecovery recover_interrupted_rename(const DataDir& dir) {
    const WriterLock lock(dir.path());
    if (!lock) {
        TogetherRecovery busy;
        busy.outcome = TogetherRecovery::Outcome::Failed;
        busy.message = lock.message();
        return busy;
    }
    const std::filesystem::path logPath = dir.find(files::Log);
    const std::filesystem::path listPath = dir.for_writing(files::Situations);
    TogetherRecovery recovery =
        finish_interrupted_together(dir.path() / std::string(files::RenameJournal),
                                    {{logPath, dir.path() / std::string(files::LogRename)},
                                     {listPath, dir.path() / std::string(files::SituationsRename)}});
    const std::string pair = "「" + text_file::name_of(logPath) + "」と「" + text_file::name_of(listPath) + "」";
    switch (recovery.outcome) {
        case TogetherRecovery::Outcome::Nothing:
            break;
        case TogetherRecovery::Outcome::Completed:
            recovery.message =
                "前回途中で終わった状況名の変更を最後まで行いました。\r\n" + pair + "は変更後の内容です。";
            break;
        case TogetherRecovery::Outcome::RolledBack:
            recovery.message = "前回途中で終わった状況名の変更を取り消しました。\r\n" + pair + "は変更前のままです。";
            break;
        case TogetherRecovery::Outcome::Failed:
            recovery.message = "前回途中で終わった状況名の変更を片付けられませんでした。\r\n" + recovery.message;
            break;
    }
    return recovery;
}

}  // namespace sora
