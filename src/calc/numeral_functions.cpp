// ROMAN and ARABIC, BASE and DECIMAL.
#include "numeral_functions.h"

#include <cmath>
#include <string>

#include "coercion.h"

namespace calc {
namespace {

constexpr char kRomanLetters[] = {'M', 'D', 'C', 'L', 'X', 'V', 'I'};
constexpr int kRomanValues[] = {1000, 500, 100, 50, 10, 5, 1};
constexpr int kLastLetter = 6;

// One decimal place of `n` (the place of the letter at `unit`, an even index) in the given
// form. A 4 or a 9 is written by subtraction; forms 1 to 4 let each step of the form pick a
// smaller letter to subtract, as long as the pair still fits in what is left of n
// (form 4 writes 499 as "ID").
void appendRomanPlace(std::string& out, int& n, int unit, int form) {
  const int digit = n / kRomanValues[unit];
  if (digit % 5 != 4) {
    if (digit > 4) out += kRomanLetters[unit - 1];
    out.append(static_cast<std::size_t>(digit % 5), kRomanLetters[unit]);
    n %= kRomanValues[unit];
    return;
  }
  const int from = digit == 4 ? unit - 1 : unit - 2;  // the letter subtracted from
  int taken = unit;
  for (int step = 0; step < form && taken < kLastLetter; ++step) {
    if (kRomanValues[from] - kRomanValues[taken + 1] > n) break;
    ++taken;
  }
  out += kRomanLetters[taken];
  out += kRomanLetters[from];
  n += kRomanValues[taken] - kRomanValues[from];
}

// The form argument: left out is 0 (classic), TRUE is 0, FALSE is 4 (simplest), numbers are
// truncated and must lie in 0..4.
bool romanForm(const Value* x, std::size_t count, int& form, Value& error) {
  form = 0;
  if (count < 2 || x[1].isEmpty()) return true;
  if (x[1].isBool()) {
    form = x[1].boolean() ? 0 : 4;
    return true;
  }
  const Number n = toNumber(x[1]);
  if (n.failed) return error = n.error, false;
  const double f = std::trunc(n.value);
  if (f < 0 || f > 4) return error = ErrorCode::Value, false;
  form = static_cast<int>(f);
  return true;
}

Value roman(const Value* x, std::size_t count) {
  const Number number = toNumber(x[0]);
  if (number.failed) return number.error;
  Value error;
  int form = 0;
  if (!romanForm(x, count, form, error)) return error;
  if (number.value < 0 || number.value >= 4000) return ErrorCode::Value;
  int n = static_cast<int>(number.value);
  std::string out;
  for (int unit = 0; unit <= kLastLetter; unit += 2) appendRomanPlace(out, n, unit, form);
  return out;
}

int romanLetterValue(char c) {
  switch (asciiUpper(c)) {
    case 'I': return 1;
    case 'V': return 5;
    case 'X': return 10;
    case 'L': return 50;
    case 'C': return 100;
    case 'D': return 500;
    case 'M': return 1000;
    default: return 0;
  }
}

std::string_view trimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

constexpr std::size_t kMaxNumeralText = 255;

// ARABIC reads any run of Roman letters, in any case, by the rule that a letter before a
// larger one is subtracted ("IM" is 999, "XIXI" 20); a leading '-' negates.
Value arabic(const Value* x, std::size_t) {
  if (x[0].isError()) return x[0];
  if (x[0].isEmpty()) return 0.0;
  if (!x[0].isText()) return ErrorCode::Value;
  std::string_view text = trimSpaces(x[0].text());
  if (text.size() > kMaxNumeralText) return ErrorCode::Value;
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  double total = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int value = romanLetterValue(text[i]);
    if (value == 0) return ErrorCode::Value;
    const int next = i + 1 < text.size() ? romanLetterValue(text[i + 1]) : 0;
    total += value < next ? -value : value;
  }
  return negative ? -total : total;
}

constexpr double kLargestWhole = 9007199254740992.0;  // 2^53: every whole number below is exact

bool validRadix(double radix) { return radix >= 2 && radix <= 36; }

Value base(const double* x, std::size_t count) {
  const double number = std::trunc(x[0]), radix = std::trunc(x[1]);
  const double minLength = count > 2 ? std::trunc(x[2]) : 0;
  if (number < 0 || number >= kLargestWhole || !validRadix(radix)) return ErrorCode::Num;
  if (minLength < 0 || minLength > kMaxNumeralText) return ErrorCode::Num;
  std::string digits;
  for (double n = number; n > 0 || digits.empty(); n = std::floor(n / radix)) {
    const int d = static_cast<int>(std::fmod(n, radix));
    digits.insert(digits.begin(), static_cast<char>(d < 10 ? '0' + d : 'A' + d - 10));
  }
  if (digits.size() < minLength) digits.insert(0, static_cast<std::size_t>(minLength) - digits.size(), '0');
  return digits;
}

int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  return 99;
}

Value decimal(const Value* x, std::size_t) {
  for (int i = 0; i < 2; ++i)
    if (x[i].isError()) return x[i];
  const Number radixNumber = toNumber(x[1]);
  if (radixNumber.failed) return radixNumber.error;
  const double radix = std::trunc(radixNumber.value);
  if (x[0].isBool()) return ErrorCode::Value;
  const std::string text = toText(x[0]);
  if (text.size() > kMaxNumeralText) return ErrorCode::Value;
  if (!validRadix(radix)) return ErrorCode::Num;
  double total = 0;
  for (char c : text) {
    const int d = digitValue(c);
    if (d >= radix) return ErrorCode::Num;
    total = total * radix + d;
  }
  return total < kLargestWhole ? Value(total) : Value(ErrorCode::Num);
}

const FunctionSpec kNumerals[] = {
    scalars("ROMAN", 1, 2, roman),
    newer(scalars("ARABIC", 1, 1, arabic)),
    newer(numbers("BASE", 2, 3, base)),
    newer(scalars("DECIMAL", 2, 2, decimal)),
};

}  // namespace

std::span<const FunctionSpec> numeralFunctions() { return kNumerals; }

}  // namespace calc
