#include "core/import/import_fields.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <filesystem>

#include "core/files/storable_text.h"
#include "core/import/csv_table.h"
#include "core/import/imported_text.h"
#include "core/import/text_scan.h"
#include "core/rules/numbers.h"

namespace sora {
namespace {

/// A note longer than this is no comment but something else pasted into the column.
constexpr std::size_t MaxNoteCharacters = 1000;

using text_scan::read_digits;
using text_scan::skip;

/// "H:MM" or "H:MM:SS" with an optional fraction, from `pos`.
bool read_time(std::string_view text, std::size_t& pos, ImportDateTime& into) {
    int hour = read_digits(text, pos, 2);
    if (hour < 0 || !skip(text, pos, ":")) {
        return false;
    }
    const std::size_t minuteStart = pos;
    const int minute = read_digits(text, pos, 2);
    if (minute < 0 || pos - minuteStart != 2) {
        return false;
    }
    int second = 0;
    if (skip(text, pos, ":")) {
        const std::size_t secondStart = pos;
        second = read_digits(text, pos, 2);
        if (second < 0 || pos - secondStart != 2) {
            return false;
        }
        if (skip(text, pos, ".")) {
            while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
                ++pos;
            }
        }
    }
    std::size_t afterBlanks = pos;
    while (skip(text, afterBlanks, " ")) {
    }
    for (const auto& [word, afternoon] :
         {std::pair{"AM", false}, std::pair{"am", false}, std::pair{"PM", true}, std::pair{"pm", true}}) {
        if (skip(text, afterBlanks, word)) {
            // A 12-hour clock: 12 AM is midnight, 12 PM noon.
            if (hour < 1 || hour > 12) {
                return false;
            }
            hour = hour % 12 + (afternoon ? 12 : 0);
            pos = afterBlanks;
            break;
        }
    }
    if (hour > 23 || minute > 59 || second > 59) {
        return false;
    }
    into.hasTime = true;
    into.hour = hour;
    into.minute = minute;
    into.second = second;
    return true;
}

}  // namespace

std::optional<int> utc_offset_minutes(std::string_view zone) {
    zone = trimmed(zone);
    std::size_t pos = 0;
    if (zone.starts_with("UTC") || zone.starts_with("GMT")) {
        pos = 3;
        if (pos == zone.size()) {
            return 0;
        }
    }
    if (pos >= zone.size() || (zone[pos] != '+' && zone[pos] != '-')) {
        return std::nullopt;
    }
    const int sign = zone[pos++] == '-' ? -1 : 1;
    const int hours = read_digits(zone, pos, 2);
    if (hours < 0 || hours > 14) {
        return std::nullopt;
    }
    skip(zone, pos, ":");
    int minutes = 0;
    if (pos < zone.size() && ((minutes = read_digits(zone, pos, 2)) < 0 || minutes > 59)) {
        return std::nullopt;
    }
    return pos == zone.size() ? std::optional<int>(sign * (hours * 60 + minutes)) : std::nullopt;
}

std::string import_excerpt(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes) {
        return std::string(text);
    }
    while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) {
        --bytes;
    }
    return std::string(text.substr(0, bytes)) + "…";
}

std::optional<ImportDateTime> parse_import_date_time(std::string_view text, DateOrder order) {
    text = trimmed(text);
    std::size_t pos = 0;
    ImportDateTime result;
    if (!read_date_part(text, pos, order, result.date)) {
        return std::nullopt;
    }
    if (pos == text.size()) {
        return result;
    }
    if (!skip(text, pos, "T") && !skip(text, pos, " ") && !skip(text, pos, ",")) {
        return std::nullopt;
    }
    while (skip(text, pos, " ")) {
    }
    if (!read_time(text, pos, result)) {
        return std::nullopt;
    }
    while (skip(text, pos, " ")) {
    }
    result.zone = std::string(text.substr(pos));
    if (!result.zone.empty() && result.zone != "Z" && !utc_offset_minutes(result.zone)) {
        return std::nullopt;
    }
    return result;
}

bool parse_import_time(std::string_view text, ImportDateTime& into) {
    text = trimmed(text);
    std::size_t pos = 0;
    return read_time(text, pos, into) && pos == text.size();
}

bool empty_cell(std::string_view field) {
    field = trimmed(field);
    // Every value field of a file passes here: compared in place, without a lower-case copy or the locale.
    if (field.size() > 4 || (!field.empty() && field.front() >= '0' && field.front() <= '9')) {
        return false;
    }
    const auto is = [&](std::string_view word) {
        return std::equal(field.begin(), field.end(), word.begin(), word.end(), [](char a, char b) {
            return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
        });
    };
    return field.empty() || is("null") || is("-") || is("--") || is("n/a");
}

namespace {

std::tm local_tm(long long unixSeconds) {
    const std::time_t seconds = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}

}  // namespace

ImportDateTime local_date_time(long long unixSeconds) {
    const std::tm local = local_tm(unixSeconds);
    const DateTime at = date_time_of(local);
    return ImportDateTime{at.date, true, at.hour, at.minute, at.second, local.tm_zone != nullptr ? local.tm_zone : ""};
}

void read_import_value(std::string_view field, const char* name, float& value, ImportRow& row) {
    field = trimmed(field);
    value = 0;
    // Whole numbers of up to three digits, nearly every value of a file, without the general number reading.
    if (!field.empty() && field.size() <= 3 && field.front() != '0' &&
        std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        int whole = 0;
        for (const char c : field) {
            whole = whole * 10 + (c - '0');
        }
        if (whole < 999) {
            value = static_cast<float>(whole);
            return;
        }
    }
    if (empty_cell(field)) {
        return;
    }
    // Most files write plain ASCII numbers: only other text needs the full-width forms made half-width.
    std::string converted;
    std::string_view text = field;
    if (!std::all_of(field.begin(), field.end(), [](char c) { return (c & 0x80) == 0; })) {
        converted = half_width_number(field);
        text = converted;
    }
    const std::optional<double> number = number_value(text);
    if (number && *number > 0 && *number < 999) {
        value = static_cast<float>(*number);
        return;
    }
    if (!row.problem.empty()) {
        return;  // the first problem is the one shown
    }
    const std::string shown = import_excerpt(text, 20);
    row.problem = !number ? std::string(name) + "「" + shown + "」が数値ではありません"
                          : std::string(name) + " " + shown + " は取り込めません（0 より大きく 999 未満）";
}

DateSource read_import_date_time(std::string_view text, ImportRow& row, DateOrder order, LocalClock* clock) {
    // A timestamp first: digits alone never read as a written date, and a file of timestamps has one on every row,
    // so it goes straight into the row without the zone's name.
    if (const long long seconds = timestamp_seconds(text); seconds >= 0) {
        const DateTime local = clock != nullptr ? clock->at(seconds) : date_time_of(local_tm(seconds));
        row.date = local.date;
        row.time = import_time_text(local.hour, local.minute, local.second);
        return DateSource::Timestamp;
    }
    const std::optional<ImportDateTime> parsed = parse_import_date_time(text, order);
    if (!parsed) {
        if (row.problem.empty()) {
            const std::string_view given = trimmed(text);
            row.problem =
                empty_cell(given) ? "日付がありません" : "日付「" + import_excerpt(given, 40) + "」が読めません";
        }
        return DateSource::None;
    }
    row.date = parsed->date;
    if (parsed->hasTime) {
        row.time = import_time_text(parsed->hour, parsed->minute, parsed->second);
    }
    return DateSource::Written;
}

void read_import_note(std::string_view text, ImportRow& row) {
    text = trimmed(text);
    if (empty_cell(text)) {
        return;
    }
    const std::size_t characters = utf8_characters(text);
    if (characters > MaxNoteCharacters) {
        if (row.problem.empty()) {
            row.problem = "一言日記が長すぎます（" + std::to_string(characters) + " 文字）";
        }
        return;
    }
    std::optional<std::string> storable = storable_text(text);
    if (!storable) {
        if (row.problem.empty()) {
            row.problem = "一言日記に保存できない文字（絵文字など）があります";
        }
        return;
    }
    row.note = row.note.empty() ? *storable : row.note + " " + *storable;
}

ClockText import_time_text(int hour, int minute, int second) {
    std::array<char, ClockText::Capacity> text{};
    std::size_t size = 0;
    if (hour >= 10) {
        text[size++] = static_cast<char>('0' + hour / 10);
    }
    text[size++] = static_cast<char>('0' + hour % 10);
    text[size++] = ':';
    text[size++] = static_cast<char>('0' + minute / 10);
    text[size++] = static_cast<char>('0' + minute % 10);
    text[size++] = ':';
    text[size++] = static_cast<char>('0' + second / 10);
    text[size++] = static_cast<char>('0' + second % 10);
    return ClockText(text, size);
}

bool known_time_zone(std::string_view zone) {
    zone = trimmed(zone);
    if (zone.empty() || zone == "Z" || utc_offset_minutes(zone)) {
        return true;
    }
    // A zone name is letters, digits, "_", "-", "+" and "/" between them; nothing that climbs out of the database.
    for (const char c : zone) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '+' && c != '/') {
            return false;
        }
    }
    if (zone.starts_with('/') || zone.find("..") != std::string_view::npos) {
        return false;
    }
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::path("/usr/share/zoneinfo") / std::string(zone), ec);
}

}  // namespace sora
