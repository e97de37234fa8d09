#pragma once
// Complex numbers as the spreadsheet writes them: texts such as "3+4i", "-2.5j", "i" or "7".
#include <complex>
#include <optional>
#include <string>
#include <string_view>

namespace calc {

// A parsed complex text. `suffix` is 'i' or 'j' as written, 0 when the text had no imaginary
// part (a real number fits either).
struct ComplexText {
  std::complex<double> value;
  char suffix = 0;
};

// "a", "bi", "a+bi", "a-bi", "i", "-j", "a+i": numbers may carry a decimal point and an
// exponent, the unit is a lower-case i or j, no spaces anywhere. The empty text is 0.
// Anything else gives nullopt.
std::optional<ComplexText> parseComplex(std::string_view text);

// The text of a complex number, each part to 15 significant digits; a coefficient of 1 is
// left out ("1-i"), a zero part dropped ("5", "3i", "0"). Parts must be finite.
std::string formatComplex(std::complex<double> z, char suffix);

// One part as formatComplex writes it: plain decimals where they stay short, E notation for
// 15 integer digits or more and for small numbers whose decimals would run long.
std::string formatComplexPart(double x);

}  // namespace calc
