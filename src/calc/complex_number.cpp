#include "complex_number.h"

#include <charconv>
#include <cmath>

#include "shown_digits.h"

namespace calc {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isUnit(char c) { return c == 'i' || c == 'j'; }
bool isSign(char c) { return c == '+' || c == '-'; }

// Reads an unsigned number (digits, an optional point and fraction, an optional exponent) at
// `at`, moving `at` past it. False, `at` unchanged, when no digit starts there.
bool readNumber(std::string_view text, std::size_t& at, double& out) {
  std::size_t i = at, digits = 0;
  for (; i < text.size() && isDigit(text[i]); ++i) ++digits;
  if (i < text.size() && text[i] == '.')
    for (++i; i < text.size() && isDigit(text[i]); ++i) ++digits;
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && isSign(text[j])) ++j;
    const std::size_t first = j;
    while (j < text.size() && isDigit(text[j])) ++j;
    if (j == first) return false;
    i = j;
  }
  const auto result = std::from_chars(text.data() + at, text.data() + i, out);
  if (result.ec != std::errc() || !std::isfinite(out)) return false;
  at = i;
  return true;
}

// A signed term: a real number, or an imaginary one ending in the unit (its coefficient may be
// left out). `unit` is set to the unit read, 0 for a real term.
bool readTerm(std::string_view text, std::size_t& at, bool signRequired, double& value, char& unit) {
  double sign = 1;
  if (at < text.size() && isSign(text[at])) sign = text[at++] == '-' ? -1 : 1;
  else if (signRequired) return false;
  double magnitude = 1;
  const bool hasNumber = readNumber(text, at, magnitude);
  unit = 0;
  if (at < text.size() && isUnit(text[at])) unit = text[at++];
  if (!hasNumber && !unit) return false;
  value = sign * magnitude;
  return true;
}

std::string exponentForm(const ShownDigits& d) {
  std::string out(1, d.digits[0]);
  if (d.digits.size() > 1) out.append(1, '.').append(d.digits, 1);
  const int e = std::abs(d.exponent);
  out += d.exponent < 0 ? "E-" : "E+";
  if (e < 10) out += '0';
  return out + std::to_string(e);
}

std::string decimalForm(const ShownDigits& d) {
  const int n = static_cast<int>(d.digits.size());
  if (d.exponent < 0) return "0." + std::string(-d.exponent - 1, '0') + d.digits;
  if (d.exponent + 1 >= n) return d.digits + std::string(d.exponent + 1 - n, '0');
  return d.digits.substr(0, d.exponent + 1) + "." + d.digits.substr(d.exponent + 1);
}

// Widest plain decimal written for a number below 1, as in "0.000000000000000001".
constexpr std::size_t kWidestDecimal = 20;

}  // namespace

std::optional<ComplexText> parseComplex(std::string_view text) {
  if (text.empty()) return ComplexText{};
  std::size_t at = 0;
  double first = 0;
  char firstUnit = 0;
  if (!readTerm(text, at, false, first, firstUnit)) return std::nullopt;
  if (at == text.size())
    return ComplexText{firstUnit ? std::complex<double>(0, first) : std::complex<double>(first, 0), firstUnit};
  // A real part followed by a signed imaginary one is the only two-term form.
  double second = 0;
  char secondUnit = 0;
  if (firstUnit || !readTerm(text, at, true, second, secondUnit) || !secondUnit || at != text.size())
    return std::nullopt;
  return ComplexText{{first, second}, secondUnit};
}

std::string formatComplexPart(double x) {
  if (x == 0) return "0";
  ShownDigits d = shownDigits(x);
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  std::string body;
  if (d.exponent >= 15) body = exponentForm(d);
  else if (d.exponent >= 0) body = decimalForm(d);
  else if (std::string plain = decimalForm(d); plain.size() <= kWidestDecimal) body = std::move(plain);
  else body = exponentForm(d);
  return x < 0 ? "-" + body : body;
}

std::string formatComplex(std::complex<double> z, char suffix) {
  const char unit = suffix ? suffix : 'i';
  const double re = z.real(), im = z.imag();
  if (im == 0) return formatComplexPart(re);
  std::string imaginary = formatComplexPart(std::fabs(im));
  if (imaginary == "1") imaginary.clear();
  imaginary += unit;
  const char* sign = im < 0 ? "-" : "+";
  if (re == 0) return (im < 0 ? "-" : "") + imaginary;
  return formatComplexPart(re) + sign + imaginary;
}

}  // namespace calc
