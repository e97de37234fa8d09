#include "calc/number_text.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "date_serial.h"
#include "shown_digits.h"

namespace calc {
namespace {

// Digits and decimal exponent of |value| rounded to 15 significant digits, trailing zeros cut.
using Decimal = ShownDigits;

Decimal toDecimal15(double value) {
  Decimal d = shownDigits(value);
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

std::string scientific(const Decimal& d) {
  std::string out(1, d.digits[0]);
  if (d.digits.size() > 1) out += "." + d.digits.substr(1);
  char exp[16];
  std::snprintf(exp, sizeof exp, "E%c%02d", d.exponent < 0 ? '-' : '+', std::abs(d.exponent));
  return out + exp;
}

std::string fixed(const Decimal& d) {
  const int n = static_cast<int>(d.digits.size());
  if (d.exponent < 0) return "0." + std::string(-d.exponent - 1, '0') + d.digits;
  if (d.exponent + 1 >= n) return d.digits + std::string(d.exponent + 1 - n, '0');
  return d.digits.substr(0, d.exponent + 1) + "." + d.digits.substr(d.exponent + 1);
}

std::string_view trimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "2024-01-10" or "2024/01/10".
std::optional<double> parseIsoDate(std::string_view s) {
  if (s.size() != 10 || (s[4] != '-' && s[4] != '/') || s[7] != s[4]) return std::nullopt;
  for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (!isDigit(s[i])) return std::nullopt;
  auto num = [&](int from, int len) { return std::atoi(std::string(s.substr(from, len)).c_str()); };
  const int month = num(5, 2), day = num(8, 2);
  if (month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
  return dateSerial(num(0, 4), month, day);
}

}  // namespace

std::string formatNumber(double value) {
  if (value == 0 || !std::isfinite(value)) return "0";
  const Decimal d = toDecimal15(value);
  const std::string body = (d.exponent >= 15 || d.exponent < -9) ? scientific(d) : fixed(d);
  return value < 0 ? "-" + body : body;
}

double roundToSignificant15(double value) {
  if (value == 0 || !std::isfinite(value)) return value;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", value);
  return std::strtod(buf, nullptr);
}

// A currency sign before or after the number ("$5", "100€") is accepted and dropped.
static std::string_view dropCurrency(std::string_view s) {
  for (std::string_view sign : {std::string_view("$"), std::string_view("\xE2\x82\xAC")}) {
    if (s.substr(0, sign.size()) == sign) return trimSpaces(s.substr(sign.size()));
    if (s.size() >= sign.size() && s.substr(s.size() - sign.size()) == sign)
      return trimSpaces(s.substr(0, s.size() - sign.size()));
  }
  return s;
}

std::optional<double> parseNumber(std::string_view text) {
  if (auto date = parseIsoDate(text)) return date;  // dates only without surrounding spaces
  std::string_view s = dropCurrency(trimSpaces(text));
  bool percent = false;
  if (!s.empty() && s.back() == '%') {
    percent = true;
    s = trimSpaces(s.substr(0, s.size() - 1));
  }
  std::string clean;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) clean.push_back(s[i++]);
  bool digits = false, point = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (isDigit(c)) {
      digits = true;
      clean.push_back(c);
    } else if (c == ',' && digits && !point) {
      continue;  // thousands separator
    } else if (c == '.' && !point) {
      point = true;
      clean.push_back(c);
    } else {
      break;
    }
  }
  if (!digits) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    std::string exp = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exp.push_back(s[j++]);
    const std::size_t first = j;
    while (j < s.size() && isDigit(s[j])) exp.push_back(s[j++]);
    if (j == first) return std::nullopt;
    clean += exp;
    i = j;
  }
  if (i != s.size()) return std::nullopt;
  double value = std::strtod(clean.c_str(), nullptr);
  if (!std::isfinite(value)) return std::nullopt;
  return percent ? value / 100 : value;
}

}  // namespace calc
