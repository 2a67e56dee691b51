#include "core/edits/rename_situation.h"

#include <optional>
#include <utility>

#include "core/files/leftover_temporaries.h"
#include "core/files/log_backups.h"
#include "core/files/measurement_log.h"
#include "core/files/morning_evening_file.h"
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

    std::vector<TogetherMember> members = {
        {{logPath, dir.path() / std::string(files::LogRename)}, *logBytes, &read.stamp},
        {{listPath, dir.path() / std::string(files::SituationsRename)}, *listBytes, nullptr}};
    // The new name keeps the old one's 朝/晩 choice, in the same journaled change: a death between the files must not
    // lose it. A settings file that does not read is left alone (the settings screen reports it).
    SideFileRead<MorningEveningSettings> occasions = read_morning_evening(dir);
    const std::filesystem::path occasionsPath = dir.for_writing(files::MorningEvening);
    if (occasions.ok && occasions.value.rename(from, to)) {
        const std::optional<std::string> bytes = encode_morning_evening(occasions.value);
        if (!bytes) {
            result.ok = false;
            result.message = text_file::cannot_hold_message(text_file::name_of(occasionsPath));
            return result;
        }
        members.push_back({{occasionsPath, dir.path() / std::string(files::MorningEveningRename)}, *bytes, nullptr});
    }

    // The log is about to be rewritten: it is copied first, as for every rewrite, unless it changed meanwhile.
    if (stamp_of(write_target(logPath)) == read.stamp) {
        result.warning = backup_before_rewrite(dir, BackupReason::Rename).value_or(std::string());
    }
    const TogetherResult written = replace_together(dir.path() / std::string(files::RenameJournal), members);
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

namespace {

std::vector<TogetherFile> journaled_files(const DataDir& dir) {
    return {{dir.find(files::Log), dir.path() / std::string(files::LogRename)},
            {dir.for_writing(files::Situations), dir.path() / std::string(files::SituationsRename)},
            {dir.for_writing(files::MorningEvening), dir.path() / std::string(files::MorningEveningRename)}};
}

/// The user's words for what the recovery of one journal found; `what` names the change.
void word_recovery(TogetherRecovery& recovery, const std::string& what, const std::string& files) {
    switch (recovery.outcome) {
        case TogetherRecovery::Outcome::Nothing:
            break;
        case TogetherRecovery::Outcome::Completed:
            recovery.message =
                "前回途中で終わった" + what + "を最後まで行いました。\r\n" + files + "は変更後の内容です。";
            break;
        case TogetherRecovery::Outcome::RolledBack:
            recovery.message = "前回途中で終わった" + what + "を取り消しました。\r\n" + files + "は変更前のままです。";
            break;
        case TogetherRecovery::Outcome::Failed:
            recovery.message = "前回途中で終わった" + what +
                               "を、最後まで行うことも取り消すこともできませんでした。\r\n" + recovery.message;
            break;
    }
}

/// Adds what the recovery of another journal did; true when it failed, so that the files stay as they are.
bool add_recovery(TogetherRecovery& recovery, const TogetherRecovery& more) {
    if (more.outcome != TogetherRecovery::Outcome::Nothing) {
        recovery.outcome = more.outcome;
        recovery.message += (recovery.message.empty() ? "" : "\r\n") + more.message;
        recovery.filesPut += more.filesPut;
    }
    recovery.temporariesRemoved += more.temporariesRemoved;
    return more.outcome == TogetherRecovery::Outcome::Failed;
}

}  // namespace

TogetherRecovery recover_interrupted_rename(const DataDir& dir) {
    const WriterLock lock(dir.path());
    if (!lock) {
        TogetherRecovery busy;
        busy.outcome = TogetherRecovery::Outcome::Failed;
        busy.message = lock.message();
        return busy;
    }
    const std::vector<TogetherFile> files = journaled_files(dir);
    const std::string pair =
        "「" + text_file::name_of(files[0].target) + "」と「" + text_file::name_of(files[1].target) + "」";
    TogetherRecovery recovery = finish_interrupted_together(dir.path() / std::string(files::RenameJournal), files);
    word_recovery(recovery, "状況名の変更", pair);
    if (recovery.outcome == TogetherRecovery::Outcome::Failed) {
        return recovery;  // the files stay as they are for the user to look at
    }
    // An undo of a change of several files goes through its own journal.
    TogetherRecovery undo = finish_interrupted_together(dir.path() / std::string(files::UndoJournal), files);
    word_recovery(undo, "「元に戻す」", "関係するファイル");
    if (add_recovery(recovery, undo)) {
        return recovery;
    }
    // An import that added situations changed the log and the list through its own journal.
    // Its files' temporary names are every writer's: what a killed import left of them goes with the dead writers'
    // files below, without a word about an import.
    TogetherRecovery import = finish_interrupted_together(dir.path() / std::string(files::ImportJournal), {});
    word_recovery(import, "取り込み", pair);
    if (add_recovery(recovery, import)) {
        return recovery;
    }
    // What killed writers left of any other file; only a file a live process may still be writing is worth a word.
    const LeftoverCleanup leftovers = remove_dead_writers_temporaries(dir);
    recovery.temporariesRemoved += leftovers.removed;
    if (!leftovers.message.empty()) {
        recovery.message += (recovery.message.empty() ? "" : "\r\n") + leftovers.message;
    }
    return recovery;
}

}  // namespace sora
