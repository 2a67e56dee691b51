#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sora {

/// The most fields a record keeps: an export has a few dozen columns, and a line of 60 MB of separators must not
/// become 60 million strings.
inline constexpr std::size_t MaxCsvFields = 1024;

/// One record of a CSV or TSV text with the line it begins on (1-based).
struct CsvRecord {
    int line = 0;
    std::vector<std::string> fields;
    std::size_t dropped = 0;  ///< fields beyond MaxCsvFields, left out
};

/// One record as views: into the text for a field written plainly or in quotes alone, into the reader's own buffer
/// for one that had to be put together (doubled quotes, text around the quotes). Valid until the reader reads on.
struct CsvRecordView {
    int line = 0;
    std::vector<std::string_view> fields;
    std::size_t dropped = 0;  ///< fields beyond MaxCsvFields, left out

    void assign(const CsvRecord& record);  ///< views into `record`, which must outlive them
};

/// Reads the records of a UTF-8 text one at a time, as split_csv does, without a string per field: a file of years
/// is never held as a million vectors of strings, and a field is copied only when it has to be put together. A copy
/// of a reader goes on from where the original stood.
class CsvReader {
public:
    CsvReader(std::string_view text, char separator);

    /// The next record into `record`; false at the end of the text.
    bool next(CsvRecordView& record);
    /// The same, the fields copied.
    bool next(CsvRecord& record);

private:
    /// A field put together in m_built, pointed at once the record is whole.
    struct BuiltField {
        std::size_t index;
        std::size_t begin;
        std::size_t end;
    };

    /// A record on one line without quotes, the usual line of a monitor's file, split without the general
    /// reader's bookkeeping; false, with nothing read, for any other record.
    bool nextPlainLine(CsvRecordView& record);

    std::string_view m_text;
    char m_separator;
    std::size_t m_pos = 0;
    int m_line = 1;
    std::array<bool, 256> m_ends{};  ///< the characters that end a plain run: the separator, quote, CR and LF
    std::vector<BuiltField> m_builtFields;
    std::string m_built;
    CsvRecordView m_view;  ///< for next(CsvRecord&)
};

/// Where a reader takes its records from, one at a time: false at the end.
using NextCsvRecord = std::function<bool(CsvRecordView&)>;

/// The records of a UTF-8 text (RFC 4180: fields in double quotes may hold the separator, doubled quotes and line
/// breaks; CR LF, LF or CR end a record). Blank lines are left out; blanks around an unquoted field are kept.
/// An opening quote that is never closed takes the rest of the text into its field. Fields beyond MaxCsvFields
/// are counted, not kept.
std::vector<CsvRecord> split_csv(std::string_view text, char separator);

/// The separator of a text: of comma, semicolon and tab, the one that splits its first lines into the same number
/// of fields, more than one; a comma when none does.
char detect_separator(std::string_view text);

/// The field without blanks around it. Inline and by hand: every field of a file passes here, and find_first_not_of
/// looks up each character in a set.
inline std::string_view trimmed(std::string_view field) {
    std::size_t first = 0;
    std::size_t end = field.size();
    while (first < end && (field[first] == ' ' || field[first] == '\t')) {
        ++first;
    }
    while (end > first && (field[end - 1] == ' ' || field[end - 1] == '\t')) {
        --end;
    }
    return field.substr(first, end - first);
}

}  // namespace sora
