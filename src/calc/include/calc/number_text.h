#pragma once
// Numbers as text and text as numbers, the way the spreadsheet converts them in formulas.
#include <optional>
#include <string>
#include <string_view>

namespace calc {

// General format with at most 15 significant digits: "0.333333333333333", "1E+20", "-2.5".
std::string formatNumber(double value);

// Text that a formula accepts as a number: surrounding spaces, a sign, a currency sign,
// digits with thousands separators, a decimal point, an exponent, a trailing percent sign,
// parentheses for a negative ("(5)"); dates and times ("1/15/2024", "2024-01-15", "12:00")
// give their serial. Anything else gives nullopt. A date without its year ("1/2") takes
// `yearIfMissing`; the form without it takes the year of the system clock, so formulas,
// which have a clock of their own, use the other.
std::optional<double> parseNumber(std::string_view text);
std::optional<double> parseNumber(std::string_view text, int yearIfMissing);
// Only the numbers among those texts, no dates or times.
std::optional<double> parsePlainNumber(std::string_view text);

// Rounds to 15 significant digits: the precision the spreadsheet shows and rounds on.
double roundToSignificant15(double value);

}  // namespace calc
