#include "core/files/backup_manifest.h"

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "core/files/text_codec.h"
#include "core/files/text_file.h"
#include "core/rules/fields.h"

namespace sora {
namespace {

constexpr std::array<std::pair<BackupReason, std::string_view>, 10> Labels = {{
    {BackupReason::Correction, "修正"},
    {BackupReason::Deletion, "削除"},
    {BackupReason::Diary, "一言日記"},
    {BackupReason::Rename, "状況名の入れ替え"},
    {BackupReason::Import, "取り込み"},
    {BackupReason::Restore, "復元"},
    {BackupReason::Start, "起動時"},
    {BackupReason::Save, "保存"},
    {BackupReason::Undo, "元に戻す"},
    {BackupReason::ConflictCopy, "競合コピー"},
}};

}  // namespace

std::string_view backup_reason_label(BackupReason reason) {
    for (const auto& [each, label] : Labels) {
        if (each == reason) {
            return label;
        }
    }
    return {};
}

std::optional<BackupReason> backup_reason_from_label(std::string_view label) {
    for (const auto& [each, text] : Labels) {
        if (text == label) {
            return each;
        }
    }
    return std::nullopt;
}

std::map<std::string, BackupReason> read_backup_manifest(const std::filesystem::path& folder) {
    std::map<std::string, BackupReason> copies;
    std::string bytes;
    if (!read_file(folder / std::string(files::BackupManifest), bytes)) {
        return copies;
    }
    std::string utf8;
    std::vector<std::string_view> lines;
    std::string message;
    if (!text_file::decode_lines(bytes, files::BackupManifest, utf8, lines, message)) {
        return copies;
    }
    std::vector<std::string_view> fields;
    for (const std::string_view line : lines) {
        if (line.empty()) {
            continue;
        }
        split_fields(line, fields);
        if (fields.size() != 2 || fields[0].empty()) {
            return {};
        }
        copies[std::string(fields[0])] = backup_reason_from_label(fields[1]).value_or(BackupReason::Unknown);
    }
    return copies;
}

WriteResult write_backup_manifest(const std::filesystem::path& folder,
                                  const std::map<std::string, BackupReason>& copies, int mode) {
    std::string text;
    for (const auto& [name, reason] : copies) {
        text += quoted(name) + "," + quoted(backup_reason_label(reason)) + "\r\n";
    }
    const std::filesystem::path target = folder / std::string(files::BackupManifest);
    const std::optional<std::string> bytes = utf8_to_cp932(text);
    if (!bytes) {
        return WriteResult{false, text_file::cannot_hold_message(text_file::name_of(target))};
    }
    return replace_file(target, folder / (std::string(files::BackupManifest) + ".tmp"), *bytes, nullptr, mode);
}

}  // namespace sora
