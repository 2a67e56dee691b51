#include "core/import/csv_table.h"

#include <array>

namespace sora {

std::vector<CsvRecord> split_csv(std::string_view text, char separator) {
    std::vector<CsvRecord> records;
    CsvRecord current;
    std::string field;
    bool quoted = false;        // inside a quoted field
    bool fieldStarted = false;  // the record has something, so an end of line closes it
    int line = 1;
    current.line = 1;
    current.fields.reserve(4);
    std::size_t width = 4;  // fields of the last record: the next one likely has as many
    const auto pushField = [&] {
        if (current.fields.size() < MaxCsvFields) {
            current.fields.push_back(std::move(field));
        } else {
            ++current.dropped;
        }
        field.clear();
    };
    const auto endRecord = [&] {
        if (fieldStarted || !current.fields.empty()) {
            pushField();
            width = current.fields.size();
            records.push_back(std::move(current));
        }
        current = CsvRecord{};
        current.fields.reserve(width);
        field.clear();
        fieldStarted = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
                    ++line;
                }
                field += c;
            }
            continue;
        }
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            endRecord();
            ++line;
            current.line = line;
            continue;
        }
        if (!fieldStarted && current.fields.empty()) {
            current.line = line;
        }
        fieldStarted = true;
        if (c != separator && c != '"') {
            // The plain run of a field up to its end in one append: files of years are mostly such runs.
            std::size_t end = i + 1;
            while (end < text.size() && text[end] != separator && text[end] != '"' && text[end] != '\r' &&
                   text[end] != '\n') {
                ++end;
            }
            field.append(text.substr(i, end - i));
            i = end - 1;
        } else if (c == separator) {
            pushField();
        } else if (trimmed(field).empty()) {
            field.clear();
            quoted = true;
        } else {
            field += c;
        }
    }
    endRecord();
    return records;
}

char detect_separator(std::string_view text) {
    constexpr std::array<char, 3> Candidates = {',', '\t', ';'};
    // The first few lines are enough, and a huge file must not be split twice.
    std::size_t end = 0;
    for (int lines = 0; lines < 6 && end < text.size(); ++lines) {
        const std::size_t next = text.find('\n', end);
        end = next == std::string_view::npos ? text.size() : next + 1;
    }
    const std::string_view head = text.substr(0, std::min<std::size_t>(end, 256 * 1024));
    for (const char separator : Candidates) {
        const std::vector<CsvRecord> records = split_csv(head, separator);
        if (records.empty() || records.front().fields.size() < 2) {
            continue;
        }
        bool same = true;
        // The last line may be cut off by the head.
        for (std::size_t i = 1; i + (end < text.size() ? 1 : 0) < records.size(); ++i) {
            same = same && records[i].fields.size() == records.front().fields.size();
        }
        if (same) {
            return separator;
        }
    }
    return ',';
}

std::string_view trimmed(std::string_view field) {
    const std::size_t first = field.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = field.find_last_not_of(" \t");
    return field.substr(first, last - first + 1);
}

}  // namespace sora
