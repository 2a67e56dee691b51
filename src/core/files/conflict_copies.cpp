#include "core/files/conflict_copies.h"

#include <algorithm>
#include <regex>

#include "core/files/morning_evening_file.h"
#include "core/files/text_file.h"
#include "core/import/situation_rules.h"

namespace sora {
namespace {

bool same_ascii_case_blind(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

struct Pattern {
    SyncTool tool;
    std::regex between;  // what each tool puts between the file's stem and its extension
};

const std::vector<Pattern>& patterns() {
    static const std::vector<Pattern> all = {
        {SyncTool::Syncthing, std::regex(R"(\.sync-conflict-\d{8}-\d{6}-[A-Z0-9]{7})")},
        // Nextcloud before the date may name the user; the time of day tells it from Dropbox's.
        {SyncTool::Nextcloud, std::regex(R"( \(conflicted copy (.+ )?\d{4}-\d{2}-\d{2} \d{6}\))")},
        {SyncTool::Dropbox, std::regex(R"( \(.*(conflicted copy|競合コピー) \d{4}-\d{2}-\d{2}( \d+)?\))")},
        // A Windows computer name: letters, digits and hyphens, at most 15.
        {SyncTool::OneDrive, std::regex(R"(-[A-Za-z0-9][A-Za-z0-9-]{0,14})")},
    };
    return all;
}

}  // namespace

const char* sync_tool_name(SyncTool tool) {
    switch (tool) {
        case SyncTool::Syncthing:
            return "Syncthing";
        case SyncTool::Dropbox:
            return "Dropbox";
        case SyncTool::Nextcloud:
            return "Nextcloud / ownCloud";
        case SyncTool::OneDrive:
            return "OneDrive";
    }
    return "";
}

const std::vector<std::string_view>& synced_data_files() {
    static const std::vector<std::string_view> names = {
        files::Log,  files::HelpTour, files::GraphSettings, files::AutoTime,       files::Situations,
        files::Memo, files::Private,  files::Marker,        files::MorningEvening, files::ImportRules,
    };
    return names;
}

std::optional<ConflictCopy> conflict_copy_of(std::string_view name) {
    for (const std::string_view original : synced_data_files()) {
        const std::size_t dot = original.rfind('.');
        const std::string_view stem = original.substr(0, dot);
        const std::string_view extension = original.substr(dot);
        if (name.size() <= original.size() || !name.starts_with(stem) ||
            !same_ascii_case_blind(name.substr(name.size() - extension.size()), extension)) {
            continue;
        }
        const std::string between(name.substr(stem.size(), name.size() - stem.size() - extension.size()));
        for (const Pattern& pattern : patterns()) {
            if (std::regex_match(between, pattern.between)) {
                return ConflictCopy{std::string(name), std::string(original), pattern.tool};
            }
        }
    }
    return std::nullopt;
}

std::vector<ConflictCopy> find_conflict_copies(const DataDir& dir) {
    std::vector<ConflictCopy> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir.path(), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) {
            continue;
        }
        if (auto copy = conflict_copy_of(text_file::name_of(it->path()))) {
            found.push_back(std::move(*copy));
        }
    }
    std::sort(found.begin(), found.end(), [](const ConflictCopy& a, const ConflictCopy& b) { return a.name < b.name; });
    return found;
}

}  // namespace sora
