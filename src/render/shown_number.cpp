#include "render/shown_number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "calc/number_text.h"

namespace render {
namespace {

constexpr std::size_t kGeneralWidth = 11;  // characters a General cell shows besides the sign

// std::to_chars writes the same text under every C locale, unlike printf.
std::string chars(double value, std::chars_format format, int precision) {
  char buffer[400];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision).ptr;
  return std::string(buffer, end);
}

std::string trimmedFraction(std::string text) {
  if (text.find('.') == std::string::npos) return text;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

// "1.5e+20" as the spreadsheet writes it: "1.5E+20", at least two exponent digits.
std::string spreadsheetExponent(const std::string& text) {
  const auto e = text.find('e');
  if (e == std::string::npos) return text;
  const int exponent = std::atoi(text.c_str() + e + 1);
  std::string digits = std::to_string(std::abs(exponent));
  if (digits.size() < 2) digits = std::string(2 - digits.size(), '0') + digits;
  return trimmedFraction(text.substr(0, e)) + (exponent < 0 ? "E-" : "E+") + digits;
}

std::string scientificWithin(double magnitude, std::size_t width) {
  for (int places = 5; places >= 0; --places) {
    const std::string text = spreadsheetExponent(chars(magnitude, std::chars_format::scientific, places));
    if (text.size() <= width) return text;
  }
  return spreadsheetExponent(chars(magnitude, std::chars_format::scientific, 0));
}

// |value| in General: plain unless that needs more than 11 characters or, for a small number,
// would keep fewer of its significant digits than scientific does.
std::string generalMagnitude(double magnitude) {
  if (magnitude == 0) return "0";
  const std::string fifteen = chars(magnitude, std::chars_format::scientific, 14);  // d.dddddddddddddde+XX
  const auto e = fifteen.find('e');
  const int exponent = std::atoi(fifteen.c_str() + e + 1);
  std::string digits = fifteen.substr(0, 1) + fifteen.substr(2, e - 2);
  const std::size_t significant = digits.find_last_not_of('0') + 1;
  double rounded = magnitude;  // the 15 digits the sheet holds, so 2.675 rounds up as it shows
  std::from_chars(fifteen.data(), fifteen.data() + fifteen.size(), rounded);
  if (exponent < static_cast<int>(kGeneralWidth)) {
    const int decimals = std::max(exponent >= 0 ? 9 - exponent : 9, 0);
    const std::string plain = trimmedFraction(chars(rounded, std::chars_format::fixed, decimals));
    const bool losesDigits = exponent < 0 && 10 + exponent < static_cast<int>(std::min<std::size_t>(significant, 6));
    if (plain.size() <= kGeneralWidth && !losesDigits && plain != "0") return plain;
  }
  return scientificWithin(rounded, kGeneralWidth);
}

QString localized(const std::string& text, const QLocale& locale) {
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()));
  for (char c : text) {
    if (c == '.') out += locale.decimalPoint();
    else if (c == '-') out += locale.negativeSign();
    else out += QLatin1Char(c);
  }
  return out;
}

}  // namespace

QString generalNumber(double value, const QLocale& locale) {
  if (!std::isfinite(value)) return QStringLiteral("#NUM!");
  const std::string magnitude = generalMagnitude(std::abs(value));
  return localized(value < 0 && magnitude != "0" ? "-" + magnitude : magnitude, locale);
}

QString fullNumber(double value, const QLocale& locale) {
  if (!std::isfinite(value)) return QStringLiteral("#NUM!");
  return localized(calc::formatNumber(value), locale);
}

QString significantNumber(double value, int digits, const QLocale& locale) {
  if (!std::isfinite(value)) return QStringLiteral("#NUM!");
  if (value == 0) return QStringLiteral("0");
  return localized(spreadsheetExponent(chars(value, std::chars_format::general, std::clamp(digits, 1, 17))), locale);
}

}  // namespace render
