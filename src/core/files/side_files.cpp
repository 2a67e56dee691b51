#include "core/files/side_files.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <optional>
#include <string_view>

#include "core/files/text_codec.h"
#include "core/files/text_file.h"
#include "core/files/writer_lock.h"
#include "core/rules/fields.h"

namespace sora {
namespace {

/// A side file read into UTF-8 lines, or the reason it could not be.
struct Lines {
    bool missing = false;
    bool ok = true;
    std::string message;
    std::string text;
    std::vector<std::string_view> lines;
};

Lines read_lines(const DataDir& dir, std::string_view name) {
    Lines result;
    const std::filesystem::path path = dir.find(name);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        result.missing = true;
        return result;
    }
    std::string bytes;
    if (!read_file(path, bytes)) {
        result.ok = false;
        result.message = text_file::cannot_read_message(path);
        return result;
    }
    result.ok = text_file::decode_lines(bytes, text_file::name_of(path), result.text, result.lines, result.message);
    return result;
}

/// Copies the state of a read that failed or found no file into the outcome; the value keeps its fallback.
template <typename T>
bool usable(const Lines& lines, SideFileRead<T>& out) {
    out.missing = lines.missing;
    out.ok = lines.ok;
    out.message = lines.message;
    return lines.ok && !lines.missing;
}

template <typename T>
void malformed(SideFileRead<T>& out, T fallback, std::string_view name, long line, std::string_view reason = {}) {
    out.value = std::move(fallback);
    out.ok = false;
    out.message = text_file::unreadable_line_message(name, line, reason);
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

/// A whole integer (blanks around it allowed) that fits in 16 bits.
std::optional<std::int16_t> parse_int16(std::string_view text) {
    text = trim(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    std::int16_t value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

/// The integer of a quoted line `"label",value`; the label itself is not checked.
std::optional<std::int16_t> labelled_value(std::string_view line) {
    std::vector<std::string_view> fields;
    split_fields(line, fields);
    if (fields.size() != 2) {
        return std::nullopt;
    }
    return parse_int16(fields[1]);
}

WriteResult write_text(const DataDir& dir, std::string_view name, std::string_view utf8,
                       std::string_view temporaryName = {}) {
    const std::filesystem::path target = dir.for_writing(name);
    const std::optional<std::string> bytes = utf8_to_cp932(utf8);
    if (!bytes) {
        return WriteResult{false, text_file::cannot_hold_message(text_file::name_of(target))};
    }
    const std::string temporary = temporaryName.empty() ? std::string(name) + ".tmp" : std::string(temporaryName);
    const WriterLock lock(dir.path());
    if (!lock) {
        return WriteResult{false, lock.message()};
    }
    return replace_file(target, dir.path() / std::filesystem::path(temporary), *bytes);
}

std::string quoted_line(std::string_view label, long value) {
    return sora::quoted(label) + "," + std::to_string(value) + "\r\n";
}

/// A plain line reads back as the same single item only without commas and surrounding blanks; otherwise quote it.
std::string situation_line(const std::string& item, bool quotedLine) {
    const std::string text = replace_double_quotes(item);
    const bool needsQuotes =
        quotedLine || text.empty() || text.find(',') != std::string::npos || trim(text).size() != text.size();
    return (needsQuotes ? sora::quoted(text) : text) + "\r\n";
}

std::string quoted_situations(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) {
        text += situation_line(item, true);
    }
    return text;
}

constexpr std::array<std::string_view, 10> GraphLabels = {"自動設定",   "血圧最大値", "血圧最小値", "血圧刻み",
                                                          "脈拍最大値", "脈拍最小値", "脈拍刻み",   "体重最大値",
                                                          "体重最小値", "体重刻み"};

std::array<std::int16_t*, 10> graph_fields(GraphAxisSettings& s) {
    return {&s.autoScale, &s.bpMax,          &s.bpMin,     &s.bpDivisions, &s.pulseMax,
            &s.pulseMin,  &s.pulseDivisions, &s.weightMax, &s.weightMin,   &s.weightDivisions};
}

}  // namespace

SideFileRead<int> read_help_tour_setting(const DataDir& dir) {
    SideFileRead<int> out;
    const Lines file = read_lines(dir, files::HelpTour);
    if (!usable(file, out)) {
        return out;
    }
    const std::optional<std::int16_t> flag = file.lines.empty() ? std::nullopt : labelled_value(file.lines[0]);
    if (!flag) {
        malformed(out, 0, text_file::name_of(dir.find(files::HelpTour)), 1);
        return out;
    }
    out.value = *flag != 0 ? 1 : 0;
    return out;
}

SideFileRead<GraphAxisSettings> read_graph_settings(const DataDir& dir) {
    SideFileRead<GraphAxisSettings> out;
    const Lines file = read_lines(dir, files::GraphSettings);
    if (!usable(file, out)) {
        return out;
    }
    // The labels may have been edited; only the position of a line tells what it holds.
    GraphAxisSettings settings;
    const auto fields = graph_fields(settings);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::optional<std::int16_t> value = i < file.lines.size() ? labelled_value(file.lines[i]) : std::nullopt;
        if (!value) {
            malformed(out, GraphAxisSettings{}, text_file::name_of(dir.find(files::GraphSettings)),
                      static_cast<long>(i) + 1);
            return out;
        }
        *fields[i] = *value;
    }
    settings.autoScale = settings.autoScale != 0 ? 1 : 0;
    out.value = settings;
    return out;
}

SideFileRead<bool> read_auto_time(const DataDir& dir) {
    SideFileRead<bool> out;
    const Lines file = read_lines(dir, files::AutoTime);
    if (!usable(file, out)) {
        return out;
    }
    const std::optional<std::int16_t> flag = file.lines.empty() ? std::nullopt : parse_int16(file.lines[0]);
    if (!flag) {
        malformed(out, false, text_file::name_of(dir.find(files::AutoTime)), 1);
        return out;
    }
    out.value = *flag != 0;
    return out;
}

SideFileRead<std::vector<std::string>> read_situations(const DataDir& dir) {
    return read_situations_file(dir, files::Situations);
}

SideFileRead<std::vector<std::string>> read_situations_file(const DataDir& dir, std::string_view name) {
    SideFileRead<std::vector<std::string>> out;
    const Lines file = read_lines(dir, name);
    if (!usable(file, out)) {
        return out;
    }
    std::vector<std::string_view> fields;
    for (const std::string_view line : file.lines) {
        if (line.find_first_not_of(" \t\x1a") == std::string_view::npos) {
            continue;  // an empty line (or blanks, tabs, an end-of-file byte an append left inside) holds no situation
        }
        split_fields(line, fields);
        out.value.insert(out.value.end(), fields.begin(), fields.end());
    }
    return out;
}

SideFileRead<std::string> read_memo(const DataDir& dir) {
    SideFileRead<std::string> out;
    const Lines file = read_lines(dir, files::Memo);
    if (!usable(file, out)) {
        return out;
    }
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        if (i > 0) {
            out.value += "\r\n";
        }
        out.value += file.lines[i];
    }
    return out;
}

SideFileRead<std::string> read_user_name(const DataDir& dir) {
    SideFileRead<std::string> out;
    const Lines file = read_lines(dir, files::Private);
    if (!usable(file, out)) {
        return out;
    }
    std::vector<std::string_view> fields;
    if (!file.lines.empty()) {
        split_fields(file.lines[0], fields);
    }
    if (fields.size() != 2) {
        malformed(out, std::string(), text_file::name_of(dir.find(files::Private)), 1);
        return out;
    }
    out.value = std::string(fields[1]);
    return out;
}

SideFileRead<int> read_marker_mode(const DataDir& dir) {
    SideFileRead<int> out;
    const Lines file = read_lines(dir, files::Marker);
    if (!usable(file, out)) {
        return out;
    }
    // A hand-edited mode above 2 is kept: the chart shows it like 2 and the next click starts again at 0.
    const std::optional<std::int16_t> mode = file.lines.empty() ? std::nullopt : parse_int16(file.lines[0]);
    if (!mode || *mode < 0) {
        malformed(out, 0, text_file::name_of(dir.find(files::Marker)), 1);
        return out;
    }
    out.value = *mode;
    return out;
}

WriteResult write_help_tour_setting(const DataDir& dir, int flag) {
    return write_text(dir, files::HelpTour, quoted_line("ヘルプツアー", flag != 0 ? 1 : 0));
}

WriteResult write_graph_settings(const DataDir& dir, const GraphAxisSettings& settings) {
    GraphAxisSettings copy = settings;
    const auto fields = graph_fields(copy);
    std::string text;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        text += quoted_line(GraphLabels[i], *fields[i]);
    }
    return write_text(dir, files::GraphSettings, text);
}

WriteResult write_auto_time(const DataDir& dir, bool on) {
    return write_text(dir, files::AutoTime, on ? "1\r\n" : "0\r\n");
}

WriteResult write_situations_plain(const DataDir& dir, const std::vector<std::string>& items,
                                   const std::vector<std::string>* shown) {
    const WriterLock lock(dir.path());
    if (!lock) {
        return WriteResult{false, lock.message()};
    }
    // A file that does not read at all is overwritten only after the user agreed to it; the check is for a readable
    // list another program changed.
    if (SideFileRead<std::vector<std::string>> now = read_situations(dir); shown != nullptr && now.ok) {
        std::vector<std::string> before = *shown;
        std::sort(now.value.begin(), now.value.end());
        std::sort(before.begin(), before.end());
        if (now.value != before) {
            WriteResult refused{false, changed_on_disk_message(dir.for_writing(files::Situations))};
            refused.changedOnDisk = true;
            return refused;
        }
    }
    std::string text;
    for (const std::string& item : items) {
        text += situation_line(item, false);
    }
    return write_text(dir, files::Situations, text);
}

WriteResult write_situations_quoted(const DataDir& dir, const std::vector<std::string>& items) {
    return write_text(dir, files::Situations, quoted_situations(items), files::SituationsRename);
}

std::optional<std::string> encode_situations_quoted(const std::vector<std::string>& items) {
    return utf8_to_cp932(quoted_situations(items));
}

std::optional<std::string> situations_with_appended(std::string_view listBytes, const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) {
        text += situation_line(item, false);
    }
    const std::optional<std::string> bytes = utf8_to_cp932(text);
    if (!bytes) {
        return std::nullopt;
    }
    // A last line without its line break (edited by hand) must not swallow the first new item.
    const bool midLine = !listBytes.empty() && listBytes.back() != '\n';
    return std::string(listBytes) + (midLine ? "\r\n" : "") + *bytes;
}

WriteResult append_situation(const DataDir& dir, const std::string& item, bool quotedLine) {
    const std::filesystem::path target = dir.for_writing(files::Situations);
    const std::optional<std::string> bytes = utf8_to_cp932(situation_line(item, quotedLine));
    if (!bytes) {
        return WriteResult{false, text_file::cannot_hold_message(text_file::name_of(target))};
    }
    const WriterLock lock(dir.path());
    if (!lock) {
        return WriteResult{false, lock.message()};
    }
    return append_to_file(target, text_file::ends_mid_line(target) ? "\r\n" + *bytes : *bytes);
}

WriteResult write_memo(const DataDir& dir, const std::string& memo) {
    // The memo box may hand over bare line feeds; the file always has CR LF.
    std::string text;
    text.reserve(memo.size() + 2);
    for (std::size_t i = 0; i < memo.size(); ++i) {
        if (memo[i] == '\n' && (i == 0 || memo[i - 1] != '\r')) {
            text += '\r';
        }
        text += memo[i];
    }
    text += "\r\n";
    return write_text(dir, files::Memo, text);
}

WriteResult write_user_name(const DataDir& dir, const std::string& name) {
    return write_text(dir, files::Private, sora::quoted("氏名") + "," + sora::quoted(name) + "\r\n");
}

WriteResult write_marker_mode(const DataDir& dir, int mode) {
    return write_text(dir, files::Marker, std::to_string(mode) + "\r\n");
}

std::string window_title_for(const std::string& name, bool afterSave) {
    if (name.empty()) {
        return " ソラノート＋";
    }
    return " " + name + (afterSave ? " のソラノート＋" : " の ソラノート＋");
}

}  // namespace sora
