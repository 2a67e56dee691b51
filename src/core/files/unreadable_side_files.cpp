#include "core/files/unreadable_side_files.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "core/files/text_file.h"

namespace sora {
namespace {

std::string two_digits(int value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

std::string time_stamp(const DateTime& now) {
    return std::to_string(now.date.year) + two_digits(now.date.month) + two_digits(now.date.day) + "_" +
           two_digits(now.hour) + two_digits(now.minute) + two_digits(now.second);
}

bool taken(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::exists(path, error) || error;  // when in doubt, the name counts as taken
}

/// `name` with "_2", "_3" … before its extension until no file of that name exists: an earlier copy, even of the
/// same second, is never replaced.
std::string free_name(const DataDir& dir, const std::string& name) {
    const std::size_t dot = std::min(name.rfind('.'), name.size());
    std::string candidate = name;
    for (int n = 2; taken(dir.path() / candidate) || taken(dir.find(candidate)); ++n) {
        candidate = name.substr(0, dot) + "_" + std::to_string(n) + name.substr(dot);
    }
    return candidate;
}

}  // namespace

void UnreadableSideFiles::add(std::string_view name) {
    if (!contains(name)) {
        m_names.emplace_back(name);
    }
}

bool UnreadableSideFiles::contains(std::string_view name) const {
    return std::find(m_names.begin(), m_names.end(), name) != m_names.end();
}

OverwriteCheck UnreadableSideFiles::before_write(const DataDir& dir, std::string_view name, const DateTime& now) const {
    OverwriteCheck check;
    const std::filesystem::path path = dir.find(name);
    std::error_code error;
    if (!contains(name) || !std::filesystem::exists(path, error)) {
        return check;
    }
    const std::string fileName = text_file::name_of(path);
    check.ask = true;
    check.copyName = free_name(dir, unreadable_copy_name(fileName, now));
    check.title = "読めなかったファイルの上書き";
    check.question = fileName + " は読めなかったファイルです（起動時にお知らせしました）。上書きすると元の内容は" +
                     "失われます。元の内容を「" + check.copyName + "」として残してから保存しますか？\r\n\r\n" +
                     "「いいえ」で残さずに保存し、「キャンセル」で保存しません。";
    return check;
}

WriteResult UnreadableSideFiles::agree(const DataDir& dir, std::string_view name, bool keepCopy,
                                       const std::string& copyName) {
    if (keepCopy) {
        if (WriteResult kept = keep_unreadable_copy(dir, name, copyName); !kept) {
            return kept;
        }
    }
    m_names.erase(std::remove(m_names.begin(), m_names.end(), name), m_names.end());
    return {};
}

std::string unreadable_copy_name(std::string_view fileName, const DateTime& now) {
    const std::size_t dot = std::min(fileName.rfind('.'), fileName.size());
    return std::string(fileName.substr(0, dot)) + "_読めなかった内容_" + time_stamp(now) +
           std::string(fileName.substr(dot));
}

WriteResult keep_unreadable_copy(const DataDir& dir, std::string_view name, const std::string& copyName) {
    const std::filesystem::path source = dir.find(name);
    const std::string fileName = text_file::name_of(source);
    std::string bytes;
    if (!read_file(source, bytes)) {
        return {false, "「" + fileName + "」を読めないため、元の内容を残せませんでした。保存していません。"};
    }
    const std::filesystem::path target = dir.path() / copyName;
    if (taken(target)) {
        return {false, "「" + copyName + "」はすでにあります。元の内容を残せなかったため、保存していません。"};
    }
    if (const WriteResult written = replace_file(target, dir.path() / (copyName + ".tmp"), bytes); !written) {
        return {false, written.message + "\r\n元の内容を残せなかったため、「" + fileName + "」は保存していません。"};
    }
    return {};
}

}  // namespace sora
