#include "engineering_bases.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "engineering_arguments.h"

namespace calc {
namespace {

constexpr std::size_t kDigits = 10;

// The bits that ten digits of the radix hold: two's complement wraps there.
int bitsOf(int radix) { return radix == 2 ? 10 : radix == 8 ? 30 : 40; }

struct Integer {
  std::int64_t value = 0;
  ErrorCode error = ErrorCode::Num;
  bool failed = false;

  static Integer fail(ErrorCode e) { return {0, e, true}; }
};

int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  return 99;
}

// The digits of a binary, octal or hexadecimal number: text, or a number whose decimal digits
// are read in the radix (BIN2DEC(1010)). An empty cell is 0.
Integer readDigits(const Value& v, int radix) {
  if (v.isError()) return Integer::fail(v.error());
  if (v.isBool()) return Integer::fail(ErrorCode::Value);
  std::string text;
  if (v.isNumber()) {
    const double x = v.number();
    if (x < 0 || x != std::floor(x) || x >= 1e10) return Integer::fail(ErrorCode::Num);
    text = std::to_string(static_cast<std::int64_t>(x));
  } else if (v.isText()) {
    text = v.text();
  }
  if (text.size() > kDigits) return Integer::fail(ErrorCode::Num);
  std::int64_t value = 0;
  for (char c : text) {
    const int d = digitValue(c);
    if (d >= radix) return Integer::fail(ErrorCode::Num);
    value = value * radix + d;
  }
  const int bits = bitsOf(radix);
  if (text.size() == kDigits && value >= (std::int64_t{1} << (bits - 1))) value -= std::int64_t{1} << bits;
  return {value};
}

// A decimal number, truncated toward zero.
Integer readDecimal(const Value& v) {
  const Number n = strictNumberOf(v);
  if (n.failed) return Integer::fail(n.error);
  if (!(std::fabs(n.value) < 0x1p53)) return Integer::fail(ErrorCode::Num);
  return {static_cast<std::int64_t>(std::trunc(n.value))};
}

std::string digitsOf(std::uint64_t value, int radix) {
  if (value == 0) return "0";
  std::string out;
  for (; value > 0; value /= radix) out.insert(out.begin(), "0123456789ABCDEF"[value % radix]);
  return out;
}

// A negative result is its ten-digit two's complement and ignores the places.
Value written(std::int64_t value, int radix, int places) {
  const int bits = bitsOf(radix);
  const std::int64_t limit = std::int64_t{1} << (bits - 1);
  if (value < -limit || value >= limit) return ErrorCode::Num;
  if (value < 0) return digitsOf(static_cast<std::uint64_t>(value + 2 * limit), radix);
  std::string digits = digitsOf(static_cast<std::uint64_t>(value), radix);
  if (places == 0) return digits;
  if (digits.size() > static_cast<std::size_t>(places)) return ErrorCode::Num;
  return std::string(places - digits.size(), '0') + digits;
}

}  // namespace

Value convertRadix(const Args& args, int from, int to) {
  if (args.isMissing(0)) return ErrorCode::NA;
  const Value source = args.scalar(0);
  const Integer n = from == 10 ? readDecimal(source) : readDigits(source, from);
  if (n.failed) return n.error;
  if (to == 10) return static_cast<double>(n.value);
  int places = 0;
  if (args.size() > 1) {
    const Number p = strictNumber(args, 1);
    if (p.failed) return p.error;
    if (!(p.value >= 1 && p.value < kDigits + 1)) return ErrorCode::Num;
    places = static_cast<int>(p.value);
  }
  return written(n.value, to, places);
}

}  // namespace calc
