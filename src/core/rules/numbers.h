#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sora {

/// Shortest plain decimal form with at most 7 significant digits: 126, 62.5, -3, 0.
std::string format_number(double value);

/// The value as the lists show it (format_number read back), so that differences work on what the user sees.
double shown_value(float value);

/// The difference of two stored values as the lists show it, computed on their shown forms:
/// 120.6 − 120.5 shows 0.1, never the single-precision 0.09999847.
std::string difference_text(float value, float reference);

/// One fixed decimal ("0.0" format, halves away from zero): 0.0, 1.2, -0.5. The value is taken to 7 significant
/// digits first (all a 32-bit float holds), so 62.35f shows 62.4; a result of zero never carries a sign.
std::string format_one_decimal(double value);

/// The whole text reads as a number: blanks around it allowed, one decimal point allowed, a sign allowed.
/// Only plain decimals count: "1e3", "12a", "", " " and "." are not numbers.
bool is_number(std::string_view text);

/// The value of a text for which is_number holds; nullopt otherwise.
std::optional<double> number_value(std::string_view text);

/// The number at the start of a text (blanks skipped); 0 when the text does not start with one ("120abc" → 120).
/// Plain decimals only, like is_number: "1e3" gives 1.
double leading_number(std::string_view text);

/// A number as a Japanese input method types it, made half-width: full-width digits, "．" and "＋", the minus
/// signs an input method gives ("－", "−", "ー", "ｰ") and the ideographic blank become their ASCII forms. Every
/// other character stays, the ideographic full stop "。" too, so that "６２。５" is still not a number.
/// Every box where a number is typed reads its text through this.
std::string half_width_number(std::string_view typed);

/// Largest whole number not above the value (62.4 → 62, -0.5 → -1).
double whole_part(double value);

}  // namespace sora
