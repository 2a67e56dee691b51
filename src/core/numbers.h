#pragma once

#include <string>
#include <string_view>

namespace sora {

/// Shortest plain decimal form with at most 7 significant digits: 126, 62.5, -3, 0.
std::string format_number(double value);

/// One fixed decimal ("0.0" format, halves away from zero): 0.0, 1.2, -0.5.
std::string format_one_decimal(double value);

/// The whole text reads as a number: blanks around it allowed, one decimal point allowed, a sign allowed.
bool is_number(std::string_view text);

/// The number at the start of a text (blanks skipped); 0 when the text does not start with one ("120abc" → 120).
double leading_number(std::string_view text);

/// Largest whole number not above the value (62.4 → 62, -0.5 → -1).
double whole_part(double value);

}  // namespace sora
