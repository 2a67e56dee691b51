// The log reader's hot path: every view parses the whole log each time it opens, so this works on the CP932
// bytes directly. Dates and numbers are ASCII and need no decoding; only the text fields are decoded, and the
// situations, which come from a short list, are decoded once each. Splitting CP932 at '"', ',' and line ends is
// safe because no trail byte of a two-byte character is below 0x40.

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "core/files/measurement_log.h"
#include "core/files/text_codec.h"
#include "core/files/text_file.h"
#include "core/rules/dates.h"

namespace sora {
namespace {

constexpr std::size_t FieldCount = 7;

enum class LineError { None, FieldCount, Quote, Date, Number, Encoding };

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
        case LineError::Encoding:
            return "文字コードが正しくありません";
        case LineError::None:
            break;
    }
    return {};
}

inline bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

/// The first double quote or line feed in [p, end), or end; eight bytes at a time, since diary texts are the
/// longest fields.
const char* find_quote(const char* p, const char* end) {
    constexpr std::uint64_t Ones = 0x0101010101010101u;
    constexpr std::uint64_t Highs = 0x8080808080808080u;
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        const std::uint64_t quote = word ^ (Ones * '"');
        const std::uint64_t lf = word ^ (Ones * '\n');
        const std::uint64_t found = ((quote - Ones) & ~quote & Highs) | ((lf - Ones) & ~lf & Highs);
        if (found != 0) {
            return p + std::countr_zero(found) / 8;
        }
        p += 8;
    }
    while (p < end && *p != '"' && *p != '\n') {
        ++p;
    }
    return p;
}

/// The seven fields of a line as views into it. Deliberately not zeroed: the splitter sets every field it reports.
struct Fields {
    const char* start[FieldCount];
    std::size_t size[FieldCount];

    void set(std::size_t i, const char* from, const char* to) {
        start[i] = from;
        size[i] = static_cast<std::size_t>(to - from);
    }
    std::string_view operator[](std::size_t i) const { return {start[i], size[i]}; }
};

LineError split_seven(const char* p, const char* end, Fields& fields) {
    std::size_t count = 0;
    for (;;) {
        while (p < end && is_blank(*p)) {
            ++p;
        }
        if (count == FieldCount) {
            return LineError::FieldCount;
        }
        if (p < end && *p == '"') {
            const char* text = ++p;
            p = find_quote(p, end);
            if (p == end || *p != '"') {
                return LineError::Quote;
            }
            fields.set(count++, text, p);
            ++p;
            while (p < end && is_blank(*p)) {
                ++p;
            }
            if (p < end && *p != ',') {
                return LineError::Quote;
            }
        } else {
            const char* text = p;
            while (p < end && *p != ',') {
                ++p;
            }
            const char* last = p;
            while (last > text && is_blank(last[-1])) {
                --last;
            }
            fields.set(count++, text, last);
        }
        if (p == end) {
            return count == FieldCount ? LineError::None : LineError::FieldCount;
        }
        ++p;  // past the comma
    }
}

constexpr std::array<double, 16> PowersOfTen = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

/// The float nearest to mantissa / 10^fractionDigits for up to 15 digits. The digits and the power of ten are
/// exact doubles, so the quotient is correctly rounded, and rounding that to float gives the correctly rounded
/// float unless the double lies exactly halfway between two floats: then false, and from_chars decides.
bool exact_float(std::uint64_t mantissa, long digitCount, long fractionDigits, float& value) {
    if (digitCount == 0 || digitCount > 15) {
        return false;
    }
    const double exact = fractionDigits == 0
                             ? static_cast<double>(mantissa)
                             : static_cast<double>(mantissa) / PowersOfTen[static_cast<std::size_t>(fractionDigits)];
    // Below the 24 bits a float keeps, a double has 29 more; exactly 1000…0 there is a halfway case.
    std::uint64_t bits;
    std::memcpy(&bits, &exact, sizeof bits);
    if ((bits & 0x1FFFFFFFu) == 0x10000000u) {
        return false;
    }
    value = static_cast<float>(exact);
    return true;
}

/// Plain digits with an optional decimal point from p on; p is left after them.
void scan_decimal(const char*& p, const char* end, std::uint64_t& mantissa, long& digitCount, long& fractionDigits) {
    const char* const start = p;
    while (p < end && static_cast<unsigned>(*p - '0') < 10) {
        mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
        ++p;
    }
    fractionDigits = 0;
    if (p < end && *p == '.') {
        const char* const fractionStart = ++p;
        while (p < end && static_cast<unsigned>(*p - '0') < 10) {
            mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
            ++p;
        }
        fractionDigits = p - fractionStart;
    }
    digitCount = p - start - (fractionDigits > 0 || (p > start && p[-1] == '.') ? 1 : 0);
}

/// A number field, however it is written; the plain decimals of the writers take the exact short path.
bool parse_float(std::string_view text, float& value) {
    const char* p = text.data();
    const char* const end = p + text.size();
    const bool negative = p < end && *p == '-';
    p += negative ? 1 : 0;
    std::uint64_t mantissa = 0;
    long digitCount = 0;
    long fractionDigits = 0;
    scan_decimal(p, end, mantissa, digitCount, fractionDigits);
    if (p == end && exact_float(mantissa, digitCount, fractionDigits, value)) {
        value = negative ? -value : value;
        return true;
    }
    // from_chars would accept "inf", "nan", "-inf" and "-nan(…)"; a measurement is always written in digits, so
    // after the sign comes a digit or the decimal point. Hex floats stop at the 'x' and fail the end check below.
    const char* const first = text.data() + (negative ? 1 : 0);
    if (first == end || !(*first == '.' || (*first >= '0' && *first <= '9'))) {
        return false;
    }
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool digits(std::string_view text, std::size_t from, std::size_t count) {
    return std::all_of(text.begin() + static_cast<long>(from), text.begin() + static_cast<long>(from + count),
                       [](char c) { return c >= '0' && c <= '9'; });
}

/// "yyyy/mm/dd" of a day the calendar has, from 0001/01/01: readers compare dates as text, so the form must be
/// exact, and the views count days between dates, so a 30th of February would stand for another day.
bool is_log_date(std::string_view date) {
    if (date.size() != 10 || date[4] != '/' || date[7] != '/' || !digits(date, 0, 4) || !digits(date, 5, 2) ||
        !digits(date, 8, 2)) {
        return false;
    }
    const int month = (date[5] - '0') * 10 + (date[6] - '0');
    const int day = (date[8] - '0') * 10 + (date[9] - '0');
    if (month < 1 || month > 12 || day < 1 || date.substr(0, 4) == "0000") {
        return false;
    }
    // Days up to the 28th are in every month; only the rest needs the year and the month's length.
    if (day <= 28) {
        return true;
    }
    const int year = (date[0] - '0') * 1000 + (date[1] - '0') * 100 + (date[2] - '0') * 10 + (date[3] - '0');
    return day <= days_in_month(year, month);
}

bool is_ascii(std::string_view text) {
    unsigned char any = 0;
    for (const char c : text) {
        any |= static_cast<unsigned char>(c);
    }
    return any < 0x80;
}

bool decode_into(std::string_view cp932, std::string& utf8) {
    if (is_ascii(cp932)) {
        utf8.assign(cp932);
        return true;
    }
    std::optional<std::string> decoded = cp932_to_utf8(cp932);
    if (!decoded) {
        return false;
    }
    utf8 = std::move(*decoded);
    return true;
}

/// The situations of a log come from a short list: each distinct one is decoded once per read.
class SituationCache {
public:
    bool decode(std::string_view cp932, std::string& utf8) {
        if (is_ascii(cp932)) {
            utf8.assign(cp932);
            return true;
        }
        Entry& entry = m_entries[slot_of(cp932)];
        if (entry.used && entry.key == cp932) {
            utf8 = entry.text;
            return true;
        }
        if (!decode_into(cp932, utf8)) {
            return false;
        }
        entry = Entry{true, std::string(cp932), utf8};
        return true;
    }

private:
    struct Entry {
        bool used = false;
        std::string key;
        std::string text;
    };
    // Situations differ mostly in their length and their last character.
    static std::size_t slot_of(std::string_view text) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
        const std::size_t n = text.size();
        return (n * 7 + bytes[n - 1] * 31 + bytes[n / 2] + bytes[0]) % Slots;  // never empty: it holds a non-ASCII byte
    }
    static constexpr std::size_t Slots = 61;
    std::array<Entry, Slots> m_entries;
};

LineError parse_record(const char* begin, const char* end, MeasurementRecord& record, SituationCache& situations) {
    Fields f;
    if (const LineError error = split_seven(begin, end, f); error != LineError::None) {
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
    if (!situations.decode(f[1], record.situation) || !decode_into(f[5], record.diary)) {
        return LineError::Encoding;
    }
    return LineError::None;
}

/// A number of the writers' form followed by `terminator`; p is left after the terminator.
bool written_number(const char*& p, const char* end, char terminator, float& value) {
    std::uint64_t mantissa = 0;
    long digitCount = 0;
    long fractionDigits = 0;
    scan_decimal(p, end, mantissa, digitCount, fractionDigits);
    if (p == end || *p != terminator || !exact_float(mantissa, digitCount, fractionDigits, value)) {
        return false;
    }
    ++p;
    return true;
}

/// A line exactly as the writers put it, "yyyy/mm/dd","situation",n,n,n,"diary" (or nothing),n and its line end,
/// read in one pass. Returns the start of the next line, or nullptr for any other form, which the general reader
/// then reads or reports.
const char* read_written_line(const char* p, const char* end, MeasurementRecord& record, SituationCache& situations) {
    if (end - p < 14 || p[0] != '"' || p[11] != '"' || p[12] != ',' || p[13] != '"' ||
        !is_log_date(std::string_view(p + 1, 10))) {
        return nullptr;
    }
    const char* const date = p + 1;
    const char* const situation = p + 14;
    p = find_quote(situation, end);
    if (p == end || *p != '"' || end - p < 2 || p[1] != ',') {
        return nullptr;
    }
    const char* const situationEnd = p;
    p += 2;
    if (!written_number(p, end, ',', record.systolic) || !written_number(p, end, ',', record.diastolic) ||
        !written_number(p, end, ',', record.pulse) || p == end) {
        return nullptr;
    }
    const char* diary = p;
    const char* diaryEnd = p;
    if (*p == '"') {
        diary = p + 1;
        diaryEnd = find_quote(diary, end);
        if (diaryEnd == end || *diaryEnd != '"') {
            return nullptr;
        }
        p = diaryEnd + 1;
    }
    if (p == end || *p != ',') {
        return nullptr;
    }
    ++p;
    std::uint64_t mantissa = 0;
    long digitCount = 0;
    long fractionDigits = 0;
    scan_decimal(p, end, mantissa, digitCount, fractionDigits);
    if (!exact_float(mantissa, digitCount, fractionDigits, record.weight)) {
        return nullptr;
    }
    if (p < end && *p == '\r') {
        ++p;
    }
    if (p < end && *p++ != '\n') {
        return nullptr;
    }
    record.date.assign(date, 10);
    if (!situations.decode(std::string_view(situation, static_cast<std::size_t>(situationEnd - situation)),
                           record.situation) ||
        !decode_into(std::string_view(diary, static_cast<std::size_t>(diaryEnd - diary)), record.diary)) {
        return nullptr;
    }
    return p;
}

bool only_blank_lines(const char* p, const char* end) {
    return std::all_of(p, end, [](char c) { return c == '\r' || c == '\n' || is_blank(c); });
}

LogReadResult read_error(std::string_view fileName, long line, LineError error) {
    LogReadResult result;
    result.ok = false;
    result.message = text_file::unreadable_line_message(fileName, line, reason_of(error));
    result.errorLine = static_cast<int>(std::min<long>(line, 0x7fffffff));
    return result;
}

}  // namespace

LogReadResult parse_log(std::string_view cp932Bytes, std::string_view fileName) {
    LogReadResult result;
    // A DOS end-of-file byte closes many files once edited on Windows: it is no line.
    if (!cp932Bytes.empty() && cp932Bytes.back() == '\x1a') {
        cp932Bytes.remove_suffix(1);
    }
    const char* p = cp932Bytes.data();
    const char* const end = p + cp932Bytes.size();
    // A log line is rarely shorter than 40 bytes; reserving by size saves a counting pass over the whole file,
    // and the part of the reserve a log with longer lines leaves unused is never touched.
    result.records.reserve(cp932Bytes.size() / 40 + 1);
    SituationCache situations;
    long number = 0;
    while (p < end) {
        ++number;
        MeasurementRecord& record = result.records.emplace_back();
        if (const char* next = read_written_line(p, end, record, situations)) {
            p = next;
            continue;
        }
        const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        const char* const next = lf != nullptr ? lf + 1 : end;
        const char* lineEnd = lf != nullptr ? lf : end;
        if (lineEnd > p && lineEnd[-1] == '\r') {
            --lineEnd;
        }
        // Blank lines (also of blanks and tabs only) after the last record are harmless; a blank line between records
        // is not a record.
        if (std::all_of(p, lineEnd, is_blank) && only_blank_lines(next, end)) {
            result.records.pop_back();
            break;
        }
        if (LineError error = parse_record(p, lineEnd, record, situations); error != LineError::None) {
            // Bytes that are not CP932 at all are the better explanation of any other fault in the line.
            if (!cp932_to_utf8(std::string_view(p, static_cast<std::size_t>(lineEnd - p)))) {
                error = LineError::Encoding;
            }
            // Nothing from a partial read may reach a caller that could write it back.
            return read_error(fileName, number, error);
        }
        p = next;
    }
    return result;
}

}  // namespace sora
