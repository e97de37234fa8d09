#include "calc/number_text.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "calc/formula.h"
#include "text_calendar.h"
#include "text_date_reading.h"
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
  if (d.digits.size() > 1) out += '.', out.append(d.digits, 1);
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

// A currency sign before or after the number ("$5", "100€") is accepted and dropped.
std::string_view dropCurrency(std::string_view s) {
  for (std::string_view sign : {std::string_view("$"), std::string_view("\xE2\x82\xAC")}) {
    if (s.substr(0, sign.size()) == sign) return trimSpaces(s.substr(sign.size()));
    if (s.size() >= sign.size() && s.substr(s.size() - sign.size()) == sign)
      return trimSpaces(s.substr(0, s.size() - sign.size()));
  }
  return s;
}

// Digits with thousands separators (each followed by exactly three digits), a point and an
// exponent, as plain text strtod reads; nothing when the text is more than that.
std::optional<std::string> plainDigits(std::string_view s) {
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
      std::size_t group = 0;
      while (i + 1 + group < s.size() && isDigit(s[i + 1 + group])) ++group;
      if (group != 3) return std::nullopt;
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
  return clean;
}

// A number written out: "1,234.5", "-$5.00", "$-5", "(5)", "50%", "1E3", "23€".
std::optional<double> readPlainNumber(std::string_view text) {
  std::string_view s = trimSpaces(text);
  bool negative = false;
  if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {  // accounting negatives
    negative = true;
    s = trimSpaces(s.substr(1, s.size() - 2));
  }
  bool percent = false;
  if (!s.empty() && s.back() == '%') {
    percent = true;
    s = trimSpaces(s.substr(0, s.size() - 1));
  }
  std::string sign;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {  // a sign before the currency
    sign = s.front();
    s = trimSpaces(s.substr(1));
  }
  const std::string_view rest = dropCurrency(s);
  if (!sign.empty() && !rest.empty() && (rest.front() == '-' || rest.front() == '+')) return std::nullopt;
  const auto digits = plainDigits(sign + std::string(rest));
  if (!digits || (negative && (*digits)[0] == '-')) return std::nullopt;
  double value = std::strtod(digits->c_str(), nullptr);
  if (!std::isfinite(value)) return std::nullopt;
  if (negative) value = -value;
  return percent ? value / 100 : value;
}

// The year of the clock NOW() reads when no evaluation is at hand.
int clockYear() {
  struct Clock : EvalContext {
    Value cell(const CellRef&) const override { return {}; }
  };
  const double now = Clock().now();
  return now >= 0 && now <= kLastDateSerial ? calendarDate(static_cast<std::int64_t>(now)).year : 1900;
}

}  // namespace

std::string formatNumber(double value) {
  if (value == 0 || !std::isfinite(value)) return "0";
  const Decimal d = toDecimal15(value);
  const std::string body = (d.exponent >= 15 || d.exponent < -9) ? scientific(d) : fixed(d);
  if (value >= 0) return body;
  std::string signed_;
  signed_.reserve(body.size() + 1);
  signed_ += '-';
  signed_ += body;
  return signed_;
}

double roundToSignificant15(double value) {
  if (value == 0 || !std::isfinite(value)) return value;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", value);
  return std::strtod(buf, nullptr);
}

std::optional<double> parsePlainNumber(std::string_view text) { return readPlainNumber(text); }

std::optional<double> parseNumber(std::string_view text) {
  if (auto number = readPlainNumber(text)) return number;
  // The clock only for what may be a date: every date and time has a digit.
  if (text.find_first_of("0123456789") == std::string_view::npos) return std::nullopt;
  if (auto dateTime = readDateTime(text, clockYear())) return dateTime->serial();
  return std::nullopt;
}

std::optional<double> parseNumber(std::string_view text, int yearIfMissing) {
  if (auto number = readPlainNumber(text)) return number;
  if (auto dateTime = readDateTime(text, yearIfMissing)) return dateTime->serial();
  return std::nullopt;
}

}  // namespace calc
