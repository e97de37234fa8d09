#include "coercion.h"

#include <algorithm>
#include <cctype>

#include "calc/number_text.h"
#include "excel_arithmetic.h"
#include "text_calendar.h"

namespace calc {
namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

int compareTextIgnoringCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int x = std::tolower(static_cast<unsigned char>(a[i]));
    const int y = std::tolower(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int typeRank(const Value& v) { return v.isNumber() ? 0 : v.isText() ? 1 : 2; }

// The blank that an empty cell stands for when compared with `other`.
Value blankLike(const Value& other) {
  if (other.isText()) return std::string();
  if (other.isBool()) return false;
  return 0.0;
}

}  // namespace

Number toNumber(const Value& v) {
  if (v.isNumber()) return {v.number()};
  if (v.isEmpty()) return {0.0};
  if (v.isBool()) return {v.boolean() ? 1.0 : 0.0};
  if (v.isError()) return Number::fail(v.error());
  if (auto n = parseNumber(v.text())) return {*n};
  return Number::fail(ErrorCode::Value);
}

Number toNumber(const Value& v, const EvalContext& context) {
  if (!v.isText()) return toNumber(v);
  if (auto n = parsePlainNumber(v.text())) return {*n};  // the clock only for what may be a date
  if (auto n = parseNumber(v.text(), currentYear(context))) return {*n};
  return Number::fail(ErrorCode::Value);
}

int currentYear(const EvalContext& context) {
  const double now = context.now();
  if (!(now >= 0 && now <= kLastDateSerial)) return 1900;
  return calendarDate(static_cast<std::int64_t>(now)).year;
}

Truth toTruth(const Value& v) {
  if (v.isBool()) return {v.boolean()};
  if (v.isNumber()) return {v.number() != 0};
  if (v.isEmpty()) return {false};
  if (v.isError()) return {false, v.error(), true};
  if (equalsIgnoringCase(v.text(), "TRUE")) return {true};
  if (equalsIgnoringCase(v.text(), "FALSE")) return {false};
  return {false, ErrorCode::Value, true};
}

std::string toText(const Value& v) {
  if (v.isText()) return v.text();
  if (v.isNumber()) return formatNumber(v.number());
  if (v.isBool()) return v.boolean() ? "TRUE" : "FALSE";
  if (v.isError()) return std::string(errorText(v.error()));
  return {};
}

bool fitsTextLimit(std::string_view utf8) {
  if (utf8.size() <= kMaxTextLength) return true;       // never more units than bytes
  if (utf8.size() > 3 * kMaxTextLength) return false;   // never fewer units than a third of them
  std::size_t units = 0;
  for (unsigned char byte : utf8) {
    if ((byte & 0xC0) != 0x80) ++units;  // a lead byte starts a character
    if (byte >= 0xF0) ++units;           // beyond the BMP: a surrogate pair
  }
  return units <= kMaxTextLength;
}

Value textResult(std::string text) {
  if (!fitsTextLimit(text)) return ErrorCode::Value;
  return Value(std::move(text));
}

void appendText(Value& a, const Value& b) {
  if (a.isError()) return;
  if (b.isError()) return void(a = b);
  std::string* text = a.mutableText();
  if (!text) {
    a = textResult(toText(a) + toText(b));
    return;
  }
  if (b.isText()) text->append(b.text());
  else text->append(toText(b));
  if (!fitsTextLimit(*text)) a = ErrorCode::Value;
}

int compareValues(const Value& a, const Value& b) {
  if (a.isEmpty() && b.isEmpty()) return 0;
  if (a.isEmpty()) return compareValues(blankLike(b), b);
  if (b.isEmpty()) return compareValues(a, blankLike(a));
  const int ra = typeRank(a), rb = typeRank(b);
  if (ra != rb) return ra < rb ? -1 : 1;
  if (a.isNumber()) return compareNumbers(a.number(), b.number());
  if (a.isText()) return compareTextIgnoringCase(a.text(), b.text());
  return static_cast<int>(a.boolean()) - static_cast<int>(b.boolean());
}

}  // namespace calc
