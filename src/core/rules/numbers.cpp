#include "core/rules/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace sora {

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

/// A value to 7 significant digits: the digits without trailing zeros and the decimal exponent of the first one.
struct Decimal7 {
    bool negative = false;
    std::string digits;  // "" for zero
    int exponent = 0;    // value = 0.d1d2… × 10^(exponent + 1)
};

Decimal7 to_decimal7(double value) {
    Decimal7 d;
    char buffer[64];
    // Scientific form with 6 decimals is exactly 7 significant digits, rounded to nearest by to_chars.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 6);
    std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    if (!text.empty() && text.front() == '-') {
        d.negative = true;
        text.remove_prefix(1);
    }
    const std::size_t e = text.find('e');
    for (const char c : text.substr(0, e)) {
        if (is_digit(c)) {
            d.digits.push_back(c);
        }
    }
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(), d.exponent);
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    if (d.digits.empty()) {
        d.negative = false;
    }
    return d;
}

/// The length of the plain decimal at the start of `text` (sign, digits, one point); 0 when there is none.
std::size_t plain_number_length(std::string_view text) {
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        ++pos;
    }
    std::size_t digits = 0;
    while (pos < text.size() && is_digit(text[pos])) {
        ++pos;
        ++digits;
    }
    if (pos < text.size() && text[pos] == '.') {
        std::size_t fraction = 0;
        while (pos + 1 + fraction < text.size() && is_digit(text[pos + 1 + fraction])) {
            ++fraction;
        }
        if (digits + fraction > 0) {
            return pos + 1 + fraction;
        }
    }
    return digits > 0 ? pos : 0;
}

double plain_number_value(std::string_view number) {
    const bool negative = !number.empty() && number.front() == '-';
    if (!number.empty() && (number.front() == '-' || number.front() == '+')) {
        number.remove_prefix(1);
    }
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range) {
        value = HUGE_VAL;  // hundreds of digits: too large for any check to accept, never 0
    }
    return negative ? -value : value;
}

std::string_view trim_blanks(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::string format_number(double value) {
    if (!std::isfinite(value)) {
        return "0";  // never produced by the readers; keeps a written file readable
    }
    // Whole numbers below 10^7 keep all their digits at 7 significant digits: the usual pressures and pulses
    // skip the general rounding (the same text in a tenth of the time, which matters for lists of every record).
    if (std::fabs(value) < 1e7 && value == std::trunc(value)) {
        char buffer[16];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::int64_t>(value)).ptr;
        return std::string(buffer, end);
    }
    const Decimal7 d = to_decimal7(value);
    if (d.digits.empty()) {
        return "0";
    }
    std::string out = d.negative ? "-" : "";
    const int count = static_cast<int>(d.digits.size());
    if (d.exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
        out += d.digits;
    } else if (d.exponent + 1 >= count) {
        out += d.digits;
        out.append(static_cast<std::size_t>(d.exponent + 1 - count), '0');
    } else {
        out += d.digits.substr(0, static_cast<std::size_t>(d.exponent + 1));
        out += '.';
        out += d.digits.substr(static_cast<std::size_t>(d.exponent + 1));
    }
    return out;
}

namespace {

/// The tenths of `magnitude` (0.1 to 1000) rounded half away from zero on its 7-digit decimal, from one
/// multiplication; nullopt where the product's last-digit error could change the result (next to the half).
std::optional<std::int64_t> fast_tenths(double magnitude) {
    if (!(magnitude >= 0.1 && magnitude < 1000)) {
        return std::nullopt;
    }
    // By decade from 0.1: the scale that leaves 7 digits, and the weight of the tenths' last digit in them.
    static constexpr double Scale[] = {1e7, 1e6, 1e5, 1e4};
    static constexpr std::int64_t Tenth[] = {1000000, 100000, 10000, 1000};
    const int decade = magnitude >= 100 ? 3 : magnitude >= 10 ? 2 : magnitude >= 1 ? 1 : 0;
    const std::int64_t digits = std::llround(magnitude * Scale[decade]);  // exact, or one off
    const std::int64_t below = digits % Tenth[decade];
    const std::int64_t half = Tenth[decade] / 2;
    if (below == half || below == half - 1) {
        return std::nullopt;
    }
    return digits / Tenth[decade] + (below >= half ? 1 : 0);
}

}  // namespace

std::string format_one_decimal(double value) {
    if (!std::isfinite(value)) {
        return "0.0";
    }
    // Averages in lists of every day take this path: the same text as below in a fraction of the time.
    if (const auto tenths = fast_tenths(std::fabs(value))) {
        std::string out = (value < 0 && *tenths != 0) ? "-" : "";
        out += std::to_string(*tenths / 10);
        out += '.';
        out += static_cast<char>('0' + *tenths % 10);
        return out;
    }
    const Decimal7 d = to_decimal7(value);
    // Tenths, rounded half away from zero on the 7-digit decimal: 7 digits are all a 32-bit float holds, so a
    // float average of 62.35 (stored as 62.3499985) shows 62.4 as the user expects.
    const int shift = static_cast<int>(d.digits.size()) - 1 - d.exponent - 1;  // decimals beyond the tenths
    std::int64_t mantissa = 0;
    std::from_chars(d.digits.data(), d.digits.data() + d.digits.size(), mantissa);
    std::int64_t tenths = 0;
    if (d.digits.empty()) {
        tenths = 0;
    } else if (shift <= 0) {
        if (d.exponent > 15) {
            char buffer[400];
            std::snprintf(buffer, sizeof buffer, "%.1f", value);
            return buffer;
        }
        tenths = mantissa;
        for (int i = 0; i < -shift; ++i) {
            tenths *= 10;
        }
    } else if (shift <= 8) {
        std::int64_t divisor = 1;
        for (int i = 0; i < shift; ++i) {
            divisor *= 10;
        }
        tenths = mantissa / divisor + ((mantissa % divisor) * 2 >= divisor ? 1 : 0);
    }
    std::string out = (d.negative && tenths != 0) ? "-" : "";
    out += std::to_string(tenths / 10);
    out += '.';
    out += static_cast<char>('0' + tenths % 10);
    return out;
}

bool is_number(std::string_view text) {
    text = trim_blanks(text);
    return !text.empty() && plain_number_length(text) == text.size();
}

std::optional<double> number_value(std::string_view text) {
    text = trim_blanks(text);
    if (text.empty() || plain_number_length(text) != text.size()) {
        return std::nullopt;
    }
    return plain_number_value(text);
}

double shown_value(float value) {
    const std::string text = format_number(value);
    double shown = 0;
    std::from_chars(text.data(), text.data() + text.size(), shown);
    return shown;
}

std::string difference_text(float value, float reference) {
    // Whole numbers (nearly every blood pressure and pulse) need no round trip through text.
    if (value == std::trunc(value) && reference == std::trunc(reference) && std::abs(value) < 1e7f &&
        std::abs(reference) < 1e7f) {
        return std::to_string(static_cast<long long>(value) - static_cast<long long>(reference));
    }
    return format_number(shown_value(value) - shown_value(reference));
}

double leading_number(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) {
        text.remove_prefix(1);
    }
    return plain_number_value(text.substr(0, plain_number_length(text)));
}

std::string half_width_number(std::string_view typed) {
    // The three-byte UTF-8 forms an input method gives for a number, and their ASCII.
    struct Wide {
        std::string_view utf8;
        char ascii;
    };
    static constexpr Wide Signs[] = {
        {"．", '.'}, {"＋", '+'}, {"－", '-'}, {"−", '-'}, {"ー", '-'}, {"ｰ", '-'}, {"　", ' '},
    };
    std::string out;
    out.reserve(typed.size());
    for (std::size_t pos = 0; pos < typed.size();) {
        const std::string_view rest = typed.substr(pos);
        // Full-width digits ０ to ９ are U+FF10 to U+FF19: EF BC 90 to EF BC 99.
        const auto third = rest.size() >= 3 ? static_cast<unsigned char>(rest[2]) : 0u;
        if (rest.starts_with("\xEF\xBC") && third >= 0x90 && third <= 0x99) {
            out += static_cast<char>('0' + (third - 0x90));
            pos += 3;
            continue;
        }
        const Wide* sign = nullptr;
        for (const Wide& wide : Signs) {
            if (rest.starts_with(wide.utf8)) {
                sign = &wide;
                break;
            }
        }
        if (sign) {
            out += sign->ascii;
            pos += sign->utf8.size();
        } else {
            out += rest.front();
            ++pos;
        }
    }
    return out;
}

double whole_part(double value) {
    return std::floor(value);
}

}  // namespace sora
