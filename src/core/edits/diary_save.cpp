#include "core/edits/diary_save.h"

#include <algorithm>

#include "core/files/side_files.h"
#include "core/files/storable_text.h"
#include "core/files/text_codec.h"
#include "core/files/writer_lock.h"
#include "core/rules/dates.h"

namespace sora {

namespace {

constexpr const char* SaveTitle = "一言日記保存";

std::size_t utf8_length(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        return 2;
    }
    if ((lead & 0xF0) == 0xE0) {
        return 3;
    }
    if ((lead & 0xF8) == 0xF0) {
        return 4;
    }
    return 1;
}

std::string unstorable_message(const std::string& character, const char* what) {
    return "「" + character + "」は" + what + "に保存できない文字です。\r\nこの文字を取り除いてから保存してください。";
}

}  // namespace

std::string first_unstorable_character(std::string_view utf8) {
    if (cp932_can_hold(utf8)) {
        return {};
    }
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t length = std::min(utf8_length(static_cast<unsigned char>(utf8[pos])), utf8.size() - pos);
        const std::string_view character = utf8.substr(pos, length);
        if (!cp932_can_hold(character)) {
            return std::string(character);
        }
        pos += length;
    }
    return std::string(utf8.substr(0, 1));  // not reached for valid UTF-8
}

PreparedText prepare_diary_text(std::string_view text) {
    PreparedText prepared;
    if (text.find_first_of("\r\n") != std::string_view::npos) {
        prepared.ok = false;
        prepared.message = "一言日記には改行を入れられません。\r\n一行の文章にしてから保存してください。";
        return prepared;
    }
    std::optional<std::string> storable = storable_text(text);
    if (!storable) {
        prepared.ok = false;
        prepared.message = unstorable_message(first_unstorable_character(text), "一言日記");
        return prepared;
    }
    prepared.text = std::move(*storable);
    return prepared;
}

std::string keep_saving_time(std::string_view stored, std::string_view typed) {
    // Blanks only, half- or full-width: the user emptied the box rather than wrote a text.
    std::string_view rest = typed;
    while (!rest.empty()) {
        if (rest.front() == ' ' || rest.front() == '\t') {
            rest.remove_prefix(1);
        } else if (rest.starts_with("　")) {
            rest.remove_prefix(std::string_view("　").size());
        } else {
            break;
        }
    }
    if (rest.empty() || !is_time_of_day(stored) || typed.starts_with(stored)) {
        return std::string(typed);
    }
    std::string text(stored);
    text += ' ';
    text += typed;
    return text;
}

DiarySaveResult save_diary(const MeasurementLog& log, std::vector<MeasurementRecord>& shown, std::size_t index,
                           std::string_view text) {
    DiarySaveResult result;
    result.title = SaveTitle;
    const PreparedText prepared = prepare_diary_text(text);
    if (!prepared.ok) {
        result.status = DiarySaveStatus::TextRefused;
        result.message = prepared.message;
        return result;
    }
    const WriterLock lock(log.dir().path());
    if (!lock) {
        result.status = DiarySaveStatus::WriteFailed;
        result.message = lock.message() + "\r\n一言日記は保存されていません。";
        return result;
    }
    LogReadResult current = log.read_all();
    if (!current.ok) {
        result.status = DiarySaveStatus::ReadFailed;
        result.message = current.message + "\r\n一言日記は保存されていません。";
        return result;
    }
    // The list was built from `shown`; if the file now holds something else (another copy of the program, a
    // restored backup), rewriting it from the list would drop or revive records.
    if (current.records != shown || index >= current.records.size()) {
        result.status = DiarySaveStatus::ChangedOnDisk;
        result.message =
            "データファイルが他で変更されています。\r\n一言日記は保存せずに、一覧を最新の内容で表示し直します。\r\n"
            "もう一度行を選んで入力してください。";
        return result;
    }
    const std::string diary = keep_saving_time(current.records[index].diary, prepared.text);
    current.records[index].diary = diary;
    const WriteResult written =
        log.rewrite_all(current.records, false, files::LogCopy, &current.stamp, BackupReason::Diary);
    result.warning = written.warning;
    if (!written) {
        // A failure after the rename leaves the new log in place; the list must then follow it.
        const LogReadResult after = log.read_all();
        if (!(after.ok && after.records == current.records)) {
            result.status = DiarySaveStatus::WriteFailed;
            result.message = written.message + "\r\n一言日記は保存されていません。";
            return result;
        }
        result.status = DiarySaveStatus::SavedUnconfirmed;
        result.message = written.message;
    }
    shown[index].diary = diary;
    result.storedText = diary;
    return result;
}

std::string memo_for_file(std::string_view boxText) {
    std::string out;
    out.reserve(boxText.size() + boxText.size() / 16);
    for (std::size_t i = 0; i < boxText.size(); ++i) {
        const char c = boxText[i];
        if (c == '\r') {
            if (i + 1 < boxText.size() && boxText[i + 1] == '\n') {
                ++i;
            }
            out += "\r\n";
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string memo_for_box(std::string_view memo) {
    std::string out;
    out.reserve(memo.size());
    for (std::size_t i = 0; i < memo.size(); ++i) {
        const char c = memo[i];
        if (c == '\r') {
            if (i + 1 < memo.size() && memo[i + 1] == '\n') {
                ++i;
            }
            out += '\n';
        } else {
            out += c;
        }
    }
    return out;
}

std::string memo_refusal(std::string_view boxText) {
    const std::string bad = first_unstorable_character(boxText);
    return bad.empty() ? std::string() : unstorable_message(bad, "気付きメモ");
}

WriteResult save_memo(const DataDir& dir, std::string_view boxText) {
    if (std::string refusal = memo_refusal(boxText); !refusal.empty()) {
        return {false, std::move(refusal)};
    }
    return write_memo(dir, memo_for_file(boxText));
}

}  // namespace sora
