#include "criteria.h"

#include <string_view>

#include "calc/number_text.h"
#include "coercion.h"
#include "excel_arithmetic.h"
#include "wildcard.h"

namespace calc {
namespace {

bool readError(std::string_view text, ErrorCode& out) {
  const std::optional<ErrorCode> named = errorNamed(text);
  if (named) out = *named;
  return named.has_value();
}

}  // namespace

Criterion::Criterion(const Value& criterion) {
  if (criterion.isEmpty()) return;  // an empty cell asks for 0
  if (criterion.isNumber()) {
    number_ = criterion.number();
  } else if (criterion.isBool()) {
    kind_ = Kind::Boolean;
    boolean_ = criterion.boolean();
  } else if (criterion.isError()) {
    kind_ = Kind::Error;
    error_ = criterion.error();
  } else {
    readText(criterion.text());
  }
}

void Criterion::readText(std::string_view text) {
  static constexpr std::pair<std::string_view, Op> kOperators[] = {
      {"<=", Op::LessOrEqual}, {">=", Op::GreaterOrEqual}, {"<>", Op::NotEqual},
      {"<", Op::Less},         {">", Op::Greater},         {"=", Op::Equal}};
  for (const auto& [symbol, op] : kOperators)
    if (text.starts_with(symbol)) {
      op_ = op;
      operatorGiven_ = true;
      text.remove_prefix(symbol.size());
      break;
    }
  if (text.empty()) kind_ = Kind::Blank;  // "<" and the like with nothing after them match nothing
  else if (const auto n = parseNumber(text)) number_ = *n;
  else if (equalsInAnyCase(text, "TRUE") || equalsInAnyCase(text, "FALSE")) kind_ = Kind::Boolean, boolean_ = text.size() == 4;
  else if (readError(text, error_)) kind_ = Kind::Error;
  else kind_ = Kind::Text, text_ = text;
}

Criterion Criterion::beginningWith(const Value& criterion) {
  Criterion c(criterion);
  if (c.kind_ == Kind::Text && !c.operatorGiven_) c.text_ += '*';
  return c;
}

bool Criterion::ordered(int comparison) const {
  switch (op_) {
    case Op::Equal: return comparison == 0;
    case Op::NotEqual: return comparison != 0;
    case Op::Less: return comparison < 0;
    case Op::LessOrEqual: return comparison <= 0;
    case Op::Greater: return comparison > 0;
    case Op::GreaterOrEqual: return comparison >= 0;
  }
  return false;
}

// A number matches numbers; asked for equality it also matches text that reads as an equal
// number (so 16-digit card numbers kept as text compare at 15 digits, as the sheet does),
// while "<>" and the orderings take such text for text.
bool Criterion::matchesNumber(const Value& cell) const {
  if (cell.isNumber()) return ordered(compareNumbers(cell.number(), number_));
  if (op_ == Op::Equal && cell.isText())
    if (const auto n = parseNumber(cell.text())) return compareNumbers(*n, number_) == 0;
  return op_ == Op::NotEqual;
}

bool Criterion::matchesText(const Value& cell) const {
  if (!cell.isText()) return op_ == Op::NotEqual;
  if (op_ == Op::Equal) return wildcardMatch(text_, cell.text());
  if (op_ == Op::NotEqual) return !wildcardMatch(text_, cell.text());
  return ordered(compareValues(cell, Value(text_)));
}

// "" matches empty cells and empty texts, "=" empty cells only, "<>" everything else.
bool Criterion::matchesBlank(const Value& cell) const {
  const bool blank = cell.isEmpty() || (!operatorGiven_ && cell.isText() && cell.text().empty());
  if (op_ == Op::Equal) return blank;
  if (op_ == Op::NotEqual) return !cell.isEmpty();
  return false;  // "<", ">=" ... with nothing to compare to match no cell
}

bool Criterion::matches(const Value& cell) const {
  switch (kind_) {
    case Kind::Number: return matchesNumber(cell);
    case Kind::Text: return matchesText(cell);
    case Kind::Blank: return matchesBlank(cell);
    case Kind::Boolean:
      if (cell.isBool()) return ordered(static_cast<int>(cell.boolean()) - static_cast<int>(boolean_));
      return op_ == Op::NotEqual;
    case Kind::Error:
      if (cell.isError()) return op_ == Op::Equal ? cell.error() == error_ : op_ == Op::NotEqual && cell.error() != error_;
      return op_ == Op::NotEqual;
  }
  return false;
}

}  // namespace calc
