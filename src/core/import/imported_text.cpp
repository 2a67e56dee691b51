#include "core/import/imported_text.h"

#include <algorithm>

#include "core/rules/control_characters.h"

namespace sora {
namespace {

std::string too_long(const char* what, std::size_t length, std::size_t limit) {
    return std::string(what) + "が長すぎます（" + std::to_string(length) + " 文字。" + std::to_string(limit) +
           " 文字まで）";
}

}  // namespace

std::size_t utf8_characters(std::string_view utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

void fit_imported_texts(ImportRow& row) {
    if (row.note.empty() && row.situation.empty()) {
        return;  // nearly every row of a monitor's file
    }
    // Rewritten only when something is to be blanked: nearly every row of a file has nothing.
    if (has_control_characters(row.note)) {
        row.note = blank_control_characters(row.note);
    }
    if (has_control_characters(row.situation) || row.situation.view().find('\t') != std::string_view::npos) {
        std::string situation = blank_control_characters(row.situation);
        std::replace(situation.begin(), situation.end(), '\t', ' ');
        row.situation = situation;
    }
    if (!row.problem.empty()) {
        return;
    }
    if (const std::size_t length = utf8_characters(row.note); length > MaxImportedDiaryChars) {
        row.problem = too_long("一言日記", length, MaxImportedDiaryChars);
    } else if (const std::size_t chars = utf8_characters(row.situation); chars > MaxImportedSituationChars) {
        row.problem = too_long("状況", chars, MaxImportedSituationChars);
    }
}

}  // namespace sora
