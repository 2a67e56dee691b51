#include "measurement_log.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>

#include "text_codec.h"
#include "text_file.h"

namespace sora {
namespace {

constexpr std::size_t FieldCount = 7;

enum class LineError { None, FieldCount, Quote, Date, Number };

std::string_view reason_of(LineError error) {
    switch (error) {
        case LineError::FieldCount:
            return "項目が7つではありません";
        case LineError::Quote:
            return "引用符が閉じていません";
        case LineError::Date:
            return "日付が正しくありません";
        case LineError::Number:
            return "数値ではない項目があります";
        case LineError::None:
            break;
    }
    return {};
}

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

/// Splits a line into exactly seven fields at commas outside quotes. Quotes are removed, blanks around a bare
/// field dropped. Stricter than the side files' splitter: an unclosed quote or text after a closing quote is an error.
LineError split_seven(std::string_view line, std::array<std::string_view, FieldCount>& fields) {
    const std::size_t size = line.size();
    std::size_t pos = 0;
    std::size_t count = 0;
    for (;;) {
        while (pos < size && is_blank(line[pos])) {
            ++pos;
        }
        if (count == FieldCount) {
            return LineError::FieldCount;
        }
        if (pos < size && line[pos] == '"') {
            const std::size_t close = line.find('"', pos + 1);
            if (close == std::string_view::npos) {
                return LineError::Quote;
            }
            fields[count++] = line.substr(pos + 1, close - pos - 1);
            pos = close + 1;
            while (pos < size && is_blank(line[pos])) {
                ++pos;
            }
            if (pos < size && line[pos] != ',') {
                return LineError::Quote;
            }
        } else {
            const std::size_t comma = line.find(',', pos);
            const std::size_t stop = comma == std::string_view::npos ? size : comma;
            std::size_t last = stop;
            while (last > pos && is_blank(line[last - 1])) {
                --last;
            }
            fields[count++] = line.substr(pos, last - pos);
            pos = stop;
        }
        if (pos >= size) {
            return count == FieldCount ? LineError::None : LineError::FieldCount;
        }
        ++pos;  // past the comma
    }
}

bool parse_float(std::string_view text, float& value) {
    if (text.empty()) {
        return false;
    }
    // from_chars would accept "inf" and "nan"; a measurement is always written in digits.
    const char first = text[0];
    if (!(first == '-' || first == '.' || (first >= '0' && first <= '9'))) {
        return false;
    }
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && ptr == text.data() + text.size();
}

bool digits(std::string_view text, std::size_t from, std::size_t count) {
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    return true;
}

/// "yyyy/mm/dd" with a month 01–12 and a day 01–31: readers compare dates as text, so the form must be exact.
bool is_log_date(std::string_view date) {
    if (date.size() != 10 || date[4] != '/' || date[7] != '/' || !digits(date, 0, 4) || !digits(date, 5, 2) ||
        !digits(date, 8, 2)) {
        return false;
    }
    const int month = (date[5] - '0') * 10 + (date[6] - '0');
    const int day = (date[8] - '0') * 10 + (date[9] - '0');
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

LineError parse_record(std::string_view line, MeasurementRecord& record) {
    std::array<std::string_view, FieldCount> f;
    if (const LineError error = split_seven(line, f); error != LineError::None) {
        return error;
    }
    if (!is_log_date(f[0])) {
        return LineError::Date;
    }
    if (!parse_float(f[2], record.systolic) || !parse_float(f[3], record.diastolic) ||
        !parse_float(f[4], record.pulse) || !parse_float(f[6], record.weight)) {
        return LineError::Number;
    }
    record.date.assign(f[0]);
    record.situation.assign(f[1]);
    record.diary.assign(f[5]);
    return LineError::None;
}

bool only_blank_lines(std::string_view rest) {
    return std::all_of(rest.begin(), rest.end(), [](char c) { return c == '\r' || c == '\n' || is_blank(c); });
}

LogReadResult read_error(std::string message, int line) {
    LogReadResult result;
    result.ok = false;
    result.message = std::move(message);
    result.errorLine = line;
    return result;
}

LogReadResult parse_utf8(std::string_view text, std::string_view fileName) {
    LogReadResult result;
    result.records.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    std::size_t start = 0;
    long number = 0;
    while (start < text.size()) {
        ++number;
        const std::size_t lf = text.find('\n', start);
        const std::size_t next = lf == std::string_view::npos ? text.size() : lf + 1;
        std::size_t end = lf == std::string_view::npos ? text.size() : lf;
        if (end > start && text[end - 1] == '\r') {
            --end;
        }
        const std::string_view line = text.substr(start, end - start);
        // Blank lines after the last record are harmless; a blank line between records is not a record.
        if (line.empty() && only_blank_lines(text.substr(next))) {
            break;
        }
        MeasurementRecord& record = result.records.emplace_back();
        if (const LineError error = parse_record(line, record); error != LineError::None) {
            // Nothing from a partial read may reach a caller that could write it back.
            return read_error(text_file::unreadable_line_message(fileName, number, reason_of(error)),
                              static_cast<int>(std::min<long>(number, 0x7fffffff)));
        }
        start = next;
    }
    return result;
}

LogReadResult missing_log(const std::filesystem::path& path) {
    return read_error(text_file::unreadable_file_message(text_file::name_of(path)), 0);
}

}  // namespace

LogReadResult parse_log(std::string_view cp932Bytes, std::string_view fileName) {
    const std::optional<std::string> utf8 = cp932_to_utf8(cp932Bytes);
    if (!utf8) {
        const long line = text_file::first_undecodable_line(cp932Bytes);
        return read_error(text_file::unreadable_line_message(fileName, line, "文字コードが正しくありません"),
                          static_cast<int>(std::min<long>(line, 0x7fffffff)));
    }
    return parse_utf8(*utf8, fileName);
}

std::optional<std::string> encode_log(const std::vector<MeasurementRecord>& records, bool startRecordForm) {
    std::string utf8;
    utf8.reserve(records.size() * 64);
    for (std::size_t i = 0; i < records.size(); ++i) {
        utf8 += format_record_line(records[i], startRecordForm && i == 0);
        utf8 += "\r\n";
    }
    return utf8_to_cp932(utf8);
}

LogReadResult MeasurementLog::read_all() const {
    const std::filesystem::path path = m_dir.find(files::Log);
    std::string bytes;
    if (!read_file(path, bytes)) {
        return missing_log(path);
    }
    return parse_log(bytes, text_file::name_of(path));
}

LogReadResult MeasurementLog::read_first() const {
    const std::filesystem::path path = m_dir.find(files::Log);
    std::ifstream in(path, std::ios::binary);
    std::string line;
    if (!in || (!std::getline(in, line) && !in.eof())) {
        return missing_log(path);
    }
    const std::string name = text_file::name_of(path);
    LogReadResult result = parse_log(line, name);
    if (result.ok && result.records.empty()) {
        return read_error("「" + name + "」に記録がありません。", 1);
    }
    return result;
}

WriteResult MeasurementLog::append(const MeasurementRecord& record) const {
    const std::filesystem::path path = m_dir.find(files::Log);
    const std::optional<std::string> line = utf8_to_cp932(format_record_line(record) + "\r\n");
    if (!line) {
        return WriteResult{false, text_file::cannot_hold_message(text_file::name_of(path))};
    }
    // A last line without its line break (edited by hand) must not swallow the new record.
    if (text_file::ends_mid_line(path)) {
        return append_to_file(path, "\r\n" + *line);
    }
    return append_to_file(path, *line);
}

WriteResult MeasurementLog::insert_in_order(const MeasurementRecord& record) const {
    const std::filesystem::path path = m_dir.find(files::Log);
    if (!cp932_can_hold(format_record_line(record))) {
        return WriteResult{false, text_file::cannot_hold_message(text_file::name_of(path))};
    }
    LogReadResult log = read_all();
    if (!log.ok) {
        return WriteResult{false, log.message};
    }
    // Equal dates never insert: a new record goes after its day's records.
    const auto later = std::find_if(log.records.begin(), log.records.end(),
                                    [&](const MeasurementRecord& r) { return r.date > record.date; });
    if (later == log.records.end()) {
        return append(record);
    }
    log.records.insert(later, record);
    return rewrite_all(log.records, false, files::LogCopy);
}

WriteResult MeasurementLog::rewrite_all(const std::vector<MeasurementRecord>& records, bool startRecordForm,
                                        std::string_view temporaryName) const {
    const std::filesystem::path path = m_dir.find(files::Log);
    const std::optional<std::string> bytes = encode_log(records, startRecordForm);
    if (!bytes) {
        return WriteResult{false, text_file::cannot_hold_message(text_file::name_of(path))};
    }
    return replace_file(path, m_dir.path() / std::filesystem::path(std::string(temporaryName)), *bytes);
}

}  // namespace sora
