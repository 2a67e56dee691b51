#include "core/edits/undo_history.h"

#include <functional>
#include <system_error>
#include <utility>

#include "core/files/log_backups.h"
#include "core/files/replace_together.h"
#include "core/files/text_file.h"
#include "core/files/writer_lock.h"

namespace sora {
namespace {

/// A file as it is now: whether it exists and, when it does, its bytes.
struct Present {
    bool exists = false;
    FileBytes bytes;
};

bool read_present(const std::filesystem::path& path, Present& present) {
    std::error_code ec;
    present.exists = std::filesystem::exists(path, ec);
    return !present.exists || read_file(path, present.bytes);
}

std::size_t hash_of(std::string_view bytes) {
    return std::hash<std::string_view>{}(bytes);
}

/// Puts a file into a state: its bytes, or no file at all.
WriteResult put_back(const std::filesystem::path& path, const std::filesystem::path& temporary, bool exists,
                     std::string_view bytes, const FileStamp* expected) {
    if (exists) {
        return replace_file(path, temporary, bytes, expected);
    }
    std::error_code ec;
    if (!std::filesystem::remove(path, ec)) {
        return ec ? write_failure(path, ec.value()) : WriteResult{};
    }
    if (file_io().sync_directory(path.parent_path()) != 0) {
        return WriteResult{
            false, "「" + text_file::name_of(path) + "」は削除しましたが、ディスクへの書き込みを確認できませんでした。",
            true};
    }
    return {};
}

}  // namespace

UndoHistory::UndoHistory(DataDir dir, std::size_t maxSteps, std::size_t maxBytes)
    : m_dir(std::move(dir)), m_maxSteps(maxSteps), m_maxBytes(maxBytes) {}

bool UndoHistory::begin(std::string label, const std::vector<std::string_view>& names) {
    m_pending.reset();
    const WriterLock lock(m_dir.path());
    if (!lock) {
        return false;
    }
    Step step;
    step.label = std::move(label);
    for (const std::string_view name : names) {
        FileState file;
        file.path = m_dir.for_writing(name);
        Present present;
        if (!read_present(file.path, present)) {
            return false;
        }
        file.existed = present.exists;
        file.bytes.assign(present.bytes.view());
        step.files.push_back(std::move(file));
    }
    m_pending = std::move(step);
    return true;
}

void UndoHistory::commit() {
    if (!m_pending) {
        return;
    }
    Step step = std::move(*m_pending);
    m_pending.reset();
    const WriterLock lock(m_dir.path());
    if (!lock) {
        return;
    }
    for (FileState& file : step.files) {
        Present present;
        // What the change left cannot be told: the step could never be checked, so it is not kept.
        if (!read_present(file.path, present)) {
            return;
        }
        file.existsAfter = present.exists;
        file.sizeAfter = present.bytes.size;
        file.hashAfter = hash_of(present.bytes.view());
    }
    m_steps.push_back(std::move(step));
    std::size_t kept = 0;
    for (const Step& each : m_steps) {
        for (const FileState& file : each.files) {
            kept += file.bytes.size();
        }
    }
    while (m_steps.size() > 1 && (m_steps.size() > m_maxSteps || kept > m_maxBytes)) {
        for (const FileState& file : m_steps.front().files) {
            kept -= file.bytes.size();
        }
        m_steps.erase(m_steps.begin());
    }
}

void UndoHistory::abandon() {
    m_pending.reset();
}

std::string UndoHistory::nextLabel() const {
    return m_steps.empty() ? std::string() : m_steps.back().label;
}

UndoResult UndoHistory::undo() {
    UndoResult result;
    if (m_steps.empty()) {
        result.ok = false;
        result.message = "元に戻せる操作はありません。";
        return result;
    }
    const Step& step = m_steps.back();
    result.label = step.label;
    const std::string notUndone = "\r\n「" + step.label + "」は元に戻していません。";
    const WriterLock lock(m_dir.path());
    if (!lock) {
        result.ok = false;
        result.message = lock.message() + notUndone;
        return result;
    }

    std::vector<Present> now(step.files.size());
    bool rewritesLog = false;
    for (std::size_t i = 0; i < step.files.size(); ++i) {
        const FileState& file = step.files[i];
        const std::string name = text_file::name_of(file.path);
        if (!read_present(file.path, now[i])) {
            result.ok = false;
            result.message = text_file::cannot_read_message(file.path) + notUndone;
            return result;
        }
        const bool asLeft =
            now[i].exists == file.existsAfter &&
            (!now[i].exists || (now[i].bytes.size == file.sizeAfter && hash_of(now[i].bytes.view()) == file.hashAfter));
        if (!asLeft) {
            // Putting the old bytes back now would throw away what was written since.
            result.ok = false;
            result.changedOnDisk = true;
            result.message = "「" + name + "」は「" + step.label + "」のあとで変更されているため、元に戻せません。";
            m_steps.pop_back();
            return result;
        }
        rewritesLog = rewritesLog || file.path == m_dir.find(files::Log);
    }
    auto temporary_for = [this](const std::filesystem::path& path) {
        const std::string name = text_file::name_of(path);
        return m_dir.path() / (path == m_dir.find(files::Log) ? std::string(files::LogCopy) : name + ".tmp");
    };
    std::vector<TogetherMember> changes;
    for (std::size_t i = 0; i < step.files.size(); ++i) {
        const FileState& file = step.files[i];
        if (file.existed != now[i].exists || (file.existed && file.bytes != now[i].bytes.view())) {
            changes.push_back({{file.path, temporary_for(file.path)}, file.bytes, &now[i].bytes.stamp, !file.existed});
        }
    }
    // A copy only for an undo that goes ahead: a file that cannot be written refuses it before anything is copied.
    for (const TogetherMember& change : changes) {
        if (std::optional<WriteResult> refused = change.remove ? std::nullopt : replace_refusal(change.file.target)) {
            result.ok = false;
            result.message = refused->message + notUndone;
            return result;
        }
    }
    if (rewritesLog) {
        result.warning = backup_before_rewrite(m_dir, BackupReason::Undo).value_or(std::string());
    }
    if (changes.size() > 1) {
        // Several files go back as the change made them: together, through a journal that the next start finishes
        // or takes back when the process dies midway.
        const TogetherResult written = replace_together(m_dir.path() / std::string(files::UndoJournal), changes);
        if (!written) {
            result.ok = false;
            result.changedOnDisk = written.write.changedOnDisk;
            result.message =
                written.write.message +
                (written.restored ? notUndone : "\r\n元に戻せなかったファイルがあります。内容を確かめてください。");
            if (written.write.changedOnDisk) {
                m_steps.pop_back();
            }
            return result;
        }
        m_steps.pop_back();
        return result;
    }
    std::vector<bool> putBack(step.files.size(), false);
    for (std::size_t i = 0; i < step.files.size(); ++i) {
        const FileState& file = step.files[i];
        if (file.existed == now[i].exists && (!file.existed || file.bytes == now[i].bytes.view())) {
            continue;
        }
        const WriteResult written =
            put_back(file.path, temporary_for(file.path), file.existed, file.bytes, &now[i].bytes.stamp);
        putBack[i] = written.ok || written.inPlace;
        if (written.inPlace) {
            result.inPlace = true;
            result.message = written.message;
            continue;
        }
        if (!written) {
            // All of the step or none of it: the files already put back get what the change left.
            bool restored = true;
            for (std::size_t j = 0; j < i; ++j) {
                if (putBack[j]) {
                    const WriteResult back = put_back(step.files[j].path, temporary_for(step.files[j].path),
                                                      now[j].exists, now[j].bytes.view(), nullptr);
                    restored = (back.ok || back.inPlace) && restored;
                }
            }
            result.ok = false;
            result.inPlace = false;
            result.message =
                written.message +
                (restored ? notUndone : "\r\n元に戻せなかったファイルがあります。内容を確かめてください。");
            return result;
        }
    }
    result.ok = !result.inPlace;
    m_steps.pop_back();
    return result;
}

std::string record_undo_label(const MeasurementRecord& record, std::string_view what) {
    return record.date + " " + record.situation + "の" + std::string(what);
}

}  // namespace sora
