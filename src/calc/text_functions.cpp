// Text and conversion: LEN, LEFT, RIGHT, MID (and their byte forms), UPPER, LOWER, TRIM,
// REPT, EXACT, N, T, FIXED, TEXT, and the conversions of text_conversions.h. Lengths and
// positions count as text_utf8.h counts; case mapping covers ASCII and Latin-1 letters.
#include <cmath>
#include <optional>
#include <string>

#include "calc/number_text.h"
#include "calc/text_limit.h"
#include "coercion.h"
#include "function_spec.h"
#include "number_format.h"
#include "text_utf8.h"
#include "text_conversions.h"

namespace calc {
namespace {

// A value read as text, or the error it carries.
struct Text {
  std::string value;
  std::optional<ErrorCode> error;
};

Text textOf(const Value& v) {
  if (v.isError()) return {{}, v.error()};
  return {toText(v), std::nullopt};
}

// A count or position argument: truncated toward zero.
Number wholeOf(const Value& v) {
  Number n = toNumber(v);
  if (!n.failed) n.value = std::trunc(n.value);
  return n;
}

// Characters [first, first + count) of s, both counted as characterCount counts.
std::string characters(std::string_view s, double first, double count) {
  const std::size_t begin = byteOffsetOf(s, static_cast<std::size_t>(first));
  const std::size_t end = byteOffsetOf(s, static_cast<std::size_t>(first + count));
  return std::string(s.substr(begin, end - begin));
}

Value len(const Value* a, std::size_t) {
  const Text t = textOf(a[0]);
  if (t.error) return *t.error;
  return static_cast<double>(characterCount(t.value));
}

// LEFT and RIGHT: the count defaults to 1, and may not be negative.
template <bool FromLeft>
Value side(const Value* a, std::size_t n) {
  const Text t = textOf(a[0]);
  if (t.error) return *t.error;
  double count = 1;
  if (n > 1) {
    const Number c = wholeOf(a[1]);
    if (c.failed) return c.error;
    if (c.value < 0) return ErrorCode::Value;
    count = c.value;
  }
  const double length = static_cast<double>(characterCount(t.value));
  count = std::min(count, length);
  return FromLeft ? characters(t.value, 0, count) : characters(t.value, length - count, count);
}

Value mid(const Value* a, std::size_t) {
  const Text t = textOf(a[0]);
  if (t.error) return *t.error;
  const Number start = wholeOf(a[1]);
  if (start.failed) return start.error;
  const Number count = wholeOf(a[2]);
  if (count.failed) return count.error;
  if (start.value < 1 || count.value < 0) return ErrorCode::Value;
  const double length = static_cast<double>(characterCount(t.value));
  if (start.value > length) return std::string();
  return characters(t.value, start.value - 1, std::min(count.value, length - start.value + 1));
}

template <bool Upper>
Value mapCase(const Value* a, std::size_t) {
  const Text t = textOf(a[0]);
  if (t.error) return *t.error;
  return mapCharacters(t.value, Upper ? toUpperLetter : toLowerLetter);
}

// Leading and trailing spaces go, runs of spaces inside become one.
Value trim(const Value* a, std::size_t) {
  const Text t = textOf(a[0]);
  if (t.error) return *t.error;
  std::string out;
  for (char c : t.value) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

Value rept(const Value* a, std::size_t) {
  const Text t = textOf(a[0]);
  if (t.error) return *t.error;
  const Number times = wholeOf(a[1]);
  if (times.failed) return times.error;
  if (times.value < 0) return ErrorCode::Value;
  if (t.value.empty() || times.value == 0) return std::string();
  // Refused before anything is built; the final check counts UTF-16 units, as the limit does.
  if (times.value * static_cast<double>(characterCount(t.value)) > static_cast<double>(kMaxTextLength))
    return ErrorCode::Value;
  std::string out;
  out.reserve(t.value.size() * static_cast<std::size_t>(times.value));
  for (double i = 0; i < times.value; ++i) out += t.value;
  return textResult(std::move(out));
}

Value exact(const Value* a, std::size_t) {
  const Text x = textOf(a[0]);
  if (x.error) return *x.error;
  const Text y = textOf(a[1]);
  if (y.error) return *y.error;
  return x.value == y.value;
}

// N: numbers stay, TRUE/FALSE are 1/0, anything else (text, empty) is 0.
Value n(const Value* a, std::size_t) {
  if (a[0].isError() || a[0].isNumber()) return a[0];
  if (a[0].isBool()) return a[0].boolean() ? 1.0 : 0.0;
  return 0.0;
}

// T: text stays, anything else but an error is "".
Value t(const Value* a, std::size_t) {
  if (a[0].isError() || a[0].isText()) return a[0];
  return std::string();
}

// FIXED(number, [decimals = 2], [no_commas = FALSE]).
Value fixed(const Value* a, std::size_t n) {
  const Number x = toNumber(a[0]);
  if (x.failed) return x.error;
  double decimals = 2;  // an argument given empty, as in FIXED(x,), is 0
  if (n > 1) {
    const Number d = wholeOf(a[1]);
    if (d.failed) return d.error;
    decimals = d.value;
  }
  if (decimals > 127) return ErrorCode::Value;
  bool noCommas = false;
  if (n > 2) {
    const Truth t = toTruth(a[2]);
    if (t.failed) return t.error;
    noCommas = t.value;
  }
  const int places = static_cast<int>(std::max(decimals, -400.0));
  const RoundedDigits r = roundedDigits(x.value, places);
  std::string text = noCommas ? r.whole : groupThousands(r.whole);
  if (!r.fraction.empty()) text += "." + r.fraction;
  const bool zero = r.whole == "0" && r.fraction.find_first_not_of('0') == std::string::npos;
  return x.value < 0 && !zero ? "-" + text : text;
}

// TEXT(value, format): numbers (and text that reads as one) under a number format code; other
// text under the code's text section, if it has one.
Value text(const Value* a, std::size_t) {
  if (a[0].isError()) return a[0];
  const Text format = textOf(a[1]);
  if (format.error) return *format.error;
  std::optional<double> number;
  if (a[0].isNumber()) number = a[0].number();
  else if (a[0].isEmpty()) number = 0.0;
  else if (a[0].isText()) number = parseNumber(a[0].text());
  if (!number) return textResult(formatTextWithCode(toText(a[0]), format.value));
  if (auto shown = formatWithCode(*number, format.value)) return *shown;
  return ErrorCode::Value;
}

const FunctionSpec kText[] = {
    scalars("LEN", 1, 1, len),
    scalars("LEFT", 1, 2, side<true>),
    scalars("RIGHT", 1, 2, side<false>),
    scalars("MID", 3, 3, mid),
    scalars("UPPER", 1, 1, mapCase<true>),
    scalars("LOWER", 1, 1, mapCase<false>),
    scalars("TRIM", 1, 1, trim),
    scalars("REPT", 2, 2, rept),
    scalars("EXACT", 2, 2, exact),
    scalars("N", 1, 1, n),
    scalars("T", 1, 1, t),
    raw("VALUE", 1, 1, valueFunction),
    newer(scalars("NUMBERVALUE", 1, 3, numberValue)),
    raw("DATEVALUE", 1, 1, dateValue),
    raw("TIMEVALUE", 1, 1, timeValue),
    scalars("DOLLAR", 1, 2, dollar),
    newer(scalars("VALUETOTEXT", 1, 2, valueToText)),
    newer(raw("ARRAYTOTEXT", 1, 2, arrayToText)),
    // Where a language takes one byte per character, the byte forms count as the others do.
    scalars("LENB", 1, 1, len),
    scalars("LEFTB", 1, 2, side<true>),
    scalars("RIGHTB", 1, 2, side<false>),
    scalars("MIDB", 3, 3, mid),
    scalars("FIXED", 1, 3, fixed),
    scalars("TEXT", 2, 2, text),
};

}  // namespace

std::span<const FunctionSpec> textFunctions() { return kText; }

}  // namespace calc
