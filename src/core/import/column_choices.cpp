#include "core/import/column_choices.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "core/import/csv_table.h"

namespace sora {
namespace {

bool same_heading(std::string_view a, std::string_view b) {
    a = trimmed(a);
    b = trimmed(b);
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

/// The 0-based column a word names, or -1.
int column_of(std::string_view word, const std::vector<std::string>& heading) {
    int number = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
    if (error == std::errc() && end == word.data() + word.size()) {
        return number >= 1 && static_cast<std::size_t>(number) <= heading.size() ? number - 1 : -1;
    }
    const auto found =
        std::find_if(heading.begin(), heading.end(), [&](const std::string& h) { return same_heading(h, word); });
    return found == heading.end() ? -1 : static_cast<int>(found - heading.begin());
}

}  // namespace

std::optional<ColumnRole> column_role_from_name(std::string_view name) {
    name = trimmed(name);
    if (name == "メモ") {
        return ColumnRole::Note;
    }
    for (const ColumnRole role : AllColumnRoles) {
        if (name == column_role_name(role)) {
            return role;
        }
    }
    return std::nullopt;
}

std::string apply_column_choices(std::string_view text, const std::vector<std::string>& heading, CsvMapping& mapping) {
    mapping.roles.resize(std::max(mapping.roles.size(), heading.size()), ColumnRole::Ignore);
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        const std::size_t equals = item.find('=');
        if (equals == std::string_view::npos) {
            return "「" + std::string(item) + "」は 役割=列 ではありません。";
        }
        const std::optional<ColumnRole> role = column_role_from_name(item.substr(0, equals));
        if (!role) {
            return "役割「" + std::string(trimmed(item.substr(0, equals))) +
                   "」はありません（日付、時刻、日付と時刻、最高血圧、最低血圧、脈拍、体重、一言日記、使わない）。";
        }
        const std::string_view columnText = trimmed(item.substr(equals + 1));
        const int column = column_of(columnText, heading);
        if (column < 0) {
            return "列「" + std::string(columnText) + "」はファイルにありません（番号 1 ～ " +
                   std::to_string(heading.size()) + " か見出し）。";
        }
        if (*role != ColumnRole::Ignore) {
            std::replace(mapping.roles.begin(), mapping.roles.end(), *role, ColumnRole::Ignore);
        }
        mapping.roles[static_cast<std::size_t>(column)] = *role;
    }
    return {};
}

}  // namespace sora
