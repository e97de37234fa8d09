#include "text_conversions.h"

#include <cmath>
#include <optional>
#include <string>

#include "calc/number_text.h"
#include "coercion.h"
#include "number_format.h"
#include "text_builder.h"
#include "text_date_reading.h"

namespace calc {
namespace {

// An optional whole-number argument: `fallback` when left out; given empty, as in
// DOLLAR(x,), it is 0.
Number optionalWhole(const Value* a, std::size_t n, std::size_t i, double fallback) {
  if (n <= i) return {fallback};
  Number k = toNumber(a[i]);
  if (!k.failed) k.value = std::trunc(k.value);
  return k;
}

// A value as VALUETOTEXT and ARRAYTOTEXT write it; strict quotes text, doubling its quotes.
std::string written(const Value& v, bool strict) {
  if (!strict || !v.isText()) return toText(v);
  std::string out = "\"";
  for (char c : v.text()) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

// Format 0 (concise) or 1 (strict); anything else is refused.
std::optional<bool> strictFormat(const Number& format) {
  if (format.failed || (format.value != 0 && format.value != 1)) return std::nullopt;
  return format.value == 1;
}

std::optional<DateTimeText> dateTimeArgument(const Args& args, ErrorCode& error) {
  const Value v = args.scalar(0);
  error = v.isError() ? v.error() : ErrorCode::Value;
  if (!v.isText()) return std::nullopt;
  return readDateTime(v.text(), currentYear(args.context()));
}

}  // namespace

// VALUE: text that reads as a number, date or time, or a number. TRUE and FALSE are none.
Value valueFunction(const Args& args) {
  const Value v = args.scalar(0);
  if (v.isBool()) return ErrorCode::Value;
  const Number n = toNumber(v, args.context());
  if (n.failed) return n.error;
  return n.value;
}

// NUMBERVALUE(text, [decimal_separator = "."], [group_separator = ","]): spaces anywhere are
// dropped, group separators may stand anywhere before the decimal one, each trailing % divides
// by 100.
Value numberValue(const Value* a, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (a[i].isError()) return a[i];
  if (a[0].isNumber()) return a[0];
  if (a[0].isBool()) return ErrorCode::Value;
  auto separator = [&](std::size_t i, char fallback) -> std::optional<char> {
    if (n <= i) return fallback;
    const std::string s = toText(a[i]);
    if (s.empty()) return std::nullopt;
    return s[0];
  };
  const auto decimal = separator(1, '.'), group = separator(2, ',');
  if (!decimal || !group || *decimal == *group) return ErrorCode::Value;
  std::string text;
  for (char c : toText(a[0]))
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') text += c;
  double scale = 1;
  while (!text.empty() && text.back() == '%') {
    scale /= 100;
    text.pop_back();
  }
  if (text.empty()) return 0.0;
  std::string plain;
  bool seenDecimal = false;
  for (char c : text) {
    if (c == *decimal) {
      if (seenDecimal) return ErrorCode::Value;
      seenDecimal = true;
      plain += '.';
    } else if (c == *group) {
      if (seenDecimal) return ErrorCode::Value;
    } else if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'e' || c == 'E') {
      plain += c;
    } else {
      return ErrorCode::Value;
    }
  }
  const auto number = parsePlainNumber(plain);
  if (!number) return ErrorCode::Value;
  return numberResult(*number * scale);
}

// DATEVALUE: the date in a text, its time ignored.
Value dateValue(const Args& args) {
  ErrorCode error;
  const auto read = dateTimeArgument(args, error);
  if (!read || !read->date) return error;
  return *read->date;
}

// TIMEVALUE: the time in a text as a fraction of a day, its date ignored.
Value timeValue(const Args& args) {
  ErrorCode error;
  const auto read = dateTimeArgument(args, error);
  if (!read) return error;
  const double time = read->time.value_or(0);
  return time - std::floor(time);
}

// DOLLAR(number, [decimals = 2]): "$1,234.57", negatives in parentheses.
Value dollar(const Value* a, std::size_t n) {
  const Number x = toNumber(a[0]);
  if (x.failed) return x.error;
  const Number decimals = optionalWhole(a, n, 1, 2);
  if (decimals.failed) return decimals.error;
  if (decimals.value > 127) return ErrorCode::Value;
  const RoundedDigits r = roundedDigits(x.value, static_cast<int>(std::max(decimals.value, -400.0)));
  const bool zero = r.whole == "0" && r.fraction.find_first_not_of('0') == std::string::npos;
  const bool negative = x.value < 0 && !zero;
  std::string text;
  if (negative) text += '(';
  text += '$';
  text += groupThousands(r.whole);
  if (!r.fraction.empty()) text += '.', text += r.fraction;
  if (negative) text += ')';
  return text;
}

// VALUETOTEXT(value, [format = 0]): errors too become their text.
Value valueToText(const Value* a, std::size_t n) {
  const auto strict = strictFormat(optionalWhole(a, n, 1, 0));
  if (!strict) return n > 1 && a[1].isError() ? a[1] : Value(ErrorCode::Value);
  return textResult(written(a[0], *strict));
}

// ARRAYTOTEXT(array, [format = 0]): concise "a, b, c", or strict "{"a",1;2,3}" with rows
// apart.
Value arrayToText(const Args& args) {
  const Value formatValue = args.size() > 1 && !args.isMissing(1) ? args.scalar(1) : Value(0.0);
  if (formatValue.isError()) return formatValue;
  const auto strict = strictFormat(formatValue.isEmpty() ? Number{0} : toNumber(formatValue));
  if (!strict) return ErrorCode::Value;
  const Operand& op = args.operand(0);
  std::int64_t rows = 1, columns = 1;
  if (op.kind == Operand::Kind::Range) rows = op.range.rows(), columns = op.range.columns();
  else if (op.kind == Operand::Kind::Array) rows = op.array->rows, columns = op.array->columns;
  auto at = [&](std::int64_t row, std::int64_t column) -> Value {
    if (op.kind == Operand::Kind::Range)
      return args.context().cell(CellRef{op.range.sheet, op.range.row1 + static_cast<std::int32_t>(row),
                                         op.range.column1 + static_cast<std::int32_t>(column)});
    if (op.kind == Operand::Kind::Array) return op.array->at(static_cast<std::int32_t>(row), static_cast<std::int32_t>(column));
    return args.scalar(0);
  };
  TextBuilder out;
  if (*strict) out.append("{");
  for (std::int64_t row = 0; row < rows; ++row) {
    for (std::int64_t column = 0; column < columns; ++column) {
      const bool first = row == 0 && column == 0;
      if (!first && !out.append(!*strict ? ", " : column > 0 ? "," : ";")) return ErrorCode::Value;
      if (!out.append(written(at(row, column), *strict))) return ErrorCode::Value;  // stops a whole column early
    }
  }
  if (*strict && !out.append("}")) return ErrorCode::Value;
  return out.take();
}

}  // namespace calc
