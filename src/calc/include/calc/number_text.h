#pragma once
// Numbers as text and text as numbers, the way the spreadsheet converts them in formulas.
#include <optional>
#include <string>
#include <string_view>

namespace calc {

// General format with at most 15 significant digits: "0.333333333333333", "1E+20", "-2.5".
std::string formatNumber(double value);

// Text that a formula accepts as a number: surrounding spaces, a sign, digits with optional
// thousands separators, a decimal point, an exponent, a trailing percent sign.
// ISO dates ("2024-01-10") give their date serial. Anything else gives nullopt.
std::optional<double> parseNumber(std::string_view text);

// Rounds to 15 significant digits: the precision the spreadsheet shows and rounds on.
double roundToSignificant15(double value);

}  // namespace calc
