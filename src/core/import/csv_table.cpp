#include "core/import/csv_table.h"

#include <algorithm>
#include <array>

namespace sora {

CsvReader::CsvReader(std::string_view text, char separator) : m_text(text), m_separator(separator) {
    for (const char end : {separator, '"', '\r', '\n'}) {
        m_ends[static_cast<unsigned char>(end)] = true;
    }
}

void CsvRecordView::assign(const CsvRecord& record) {
    line = record.line;
    dropped = record.dropped;
    fields.assign(record.fields.begin(), record.fields.end());
}

bool CsvReader::nextPlainLine(CsvRecordView& record) {
    const std::string_view text = m_text;
    std::size_t i = m_pos;
    std::size_t fieldStart = i;
    record.fields.clear();
    record.dropped = 0;
    const auto closeField = [&](std::size_t end) {
        if (record.fields.size() < MaxCsvFields) {
            record.fields.push_back(text.substr(fieldStart, end - fieldStart));
        } else {
            ++record.dropped;
        }
        fieldStart = end + 1;
    };
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (!m_ends[static_cast<unsigned char>(c)]) {
            continue;
        }
        if (c == m_separator) {
            closeField(i);
        } else if (c == '"' || i == m_pos) {
            return false;  // quotes, or a blank line the general reader skips
        } else {
            break;  // CR or LF
        }
    }
    if (i == m_pos) {
        return false;
    }
    closeField(i);
    record.line = m_line;
    if (i < text.size()) {
        i += text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
        ++m_line;
    }
    m_pos = i;
    return true;
}

bool CsvReader::next(CsvRecordView& record) {
    if (nextPlainLine(record)) {
        return true;
    }
    const std::string_view text = m_text;
    record.dropped = 0;
    record.line = m_line;
    record.fields.clear();
    m_builtFields.clear();
    m_built.clear();
    bool quoted = false;   // inside a quoted field
    bool started = false;  // the record has something, so an end of line closes it
    // The field being read: a range of the text while each piece follows the last, else a range of m_built.
    bool empty = true;
    bool built = false;
    std::size_t begin = 0;
    std::size_t end = 0;
    const auto append = [&](std::size_t from, std::size_t to) {
        if (empty) {
            built = false;
            begin = from;
            end = to;
            empty = false;
        } else if (!built && end == from) {
            end = to;
        } else {
            if (!built) {
                const std::size_t at = m_built.size();
                m_built.append(text.substr(begin, end - begin));
                built = true;
                begin = at;
            }
            m_built.append(text.substr(from, to - from));
            end = m_built.size();
        }
    };
    const auto closeField = [&] {
        if (record.fields.size() >= MaxCsvFields) {
            ++record.dropped;
        } else if (empty) {
            record.fields.emplace_back();
        } else if (!built) {
            record.fields.push_back(text.substr(begin, end - begin));
        } else {
            // Pointed at once the record is whole: m_built may move while it grows.
            m_builtFields.push_back({record.fields.size(), begin, end});
            record.fields.emplace_back();
        }
        empty = true;
    };
    const auto isBlank = [&] {
        return empty || trimmed((built ? std::string_view(m_built) : text).substr(begin, end - begin)).empty();
    };
    while (m_pos < text.size()) {
        const char c = text[m_pos];
        if (quoted) {
            const std::size_t quote = std::min(text.find('"', m_pos), text.size());
            for (std::size_t i = m_pos; i < quote; ++i) {
                if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
                    ++m_line;
                }
            }
            if (quote > m_pos) {
                append(m_pos, quote);
            }
            m_pos = quote;
            if (quote == text.size()) {
                break;  // never closed: the rest of the text is the field
            }
            if (quote + 1 < text.size() && text[quote + 1] == '"') {
                append(quote, quote + 1);
                m_pos = quote + 2;
            } else {
                quoted = false;
                m_pos = quote + 1;
            }
            continue;
        }
        if (c == '\r' || c == '\n') {
            m_pos += c == '\r' && m_pos + 1 < text.size() && text[m_pos + 1] == '\n' ? 2 : 1;
            ++m_line;
            if (started) {
                break;
            }
            record.line = m_line;  // a blank line: the record begins on the next
            continue;
        }
        started = true;
        if (c == m_separator) {
            closeField();
            ++m_pos;
        } else if (c == '"') {
            if (isBlank()) {
                empty = true;  // blanks before an opening quote are no part of the field
                quoted = true;
            } else {
                append(m_pos, m_pos + 1);
            }
            ++m_pos;
        } else {
            // The plain run of a field up to its end: files of years are mostly such runs.
            std::size_t runEnd = m_pos + 1;
            while (runEnd < text.size() && !m_ends[static_cast<unsigned char>(text[runEnd])]) {
                ++runEnd;
            }
            append(m_pos, runEnd);
            m_pos = runEnd;
        }
    }
    if (!started) {
        return false;
    }
    closeField();
    for (const BuiltField& field : m_builtFields) {
        record.fields[field.index] = std::string_view(m_built).substr(field.begin, field.end - field.begin);
    }
    return true;
}

bool CsvReader::next(CsvRecord& record) {
    if (!next(m_view)) {
        return false;
    }
    record.line = m_view.line;
    record.dropped = m_view.dropped;
    record.fields.assign(m_view.fields.begin(), m_view.fields.end());
    return true;
}

std::vector<CsvRecord> split_csv(std::string_view text, char separator) {
    std::vector<CsvRecord> records;
    CsvReader reader(text, separator);
    CsvRecord record;
    while (reader.next(record)) {
        records.push_back(record);
    }
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

}  // namespace sora
