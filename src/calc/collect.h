#pragma once
// Walks the numbers of an aggregate's arguments under the rules that function follows for
// values given directly and values found in ranges or arrays.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "coercion.h"
#include "function_spec.h"

namespace calc {

enum class Take : std::uint8_t {
  Number,  // text converted (non-numeric text is #VALUE!), TRUE/FALSE as 1/0
  Ignore,  // skipped
  Zero,    // counts as 0
  Reject,  // #VALUE!
};

struct CollectRule {
  Take directText = Take::Number;
  Take directBool = Take::Number;
  Take listedText = Take::Ignore;  // inside a range or an array
  Take listedBool = Take::Ignore;
  Take listedEmpty = Take::Ignore;
  bool skipErrors = false;
};

inline constexpr CollectRule kSumRule{};
// AVERAGEA, MAXA, STDEVA...: text in a range counts as 0, a boolean as 1 or 0.
inline constexpr CollectRule kAllValuesRule{Take::Number, Take::Number, Take::Zero, Take::Number, Take::Ignore, false};

// Calls onNumber(double) for each number the rule admits; the first error stops the walk and
// is returned.
template <class OnNumber>
std::optional<ErrorCode> collectNumbers(const Args& args, const CollectRule& rule, OnNumber&& onNumber) {
  std::optional<ErrorCode> error;
  auto take = [&](Take how, double number) {
    if (how == Take::Reject) error = ErrorCode::Value;
    else if (how != Take::Ignore) onNumber(number);
  };
  for (std::size_t i = 0; i < args.size() && !error; ++i) {
    if (args.isMissing(i)) continue;
    const bool listed = args.isCollection(i);
    args.forEach(i, [&](const Value& v) {
      if (v.isNumber()) onNumber(v.number());
      else if (v.isError()) { if (!rule.skipErrors) error = v.error(); }
      else if (v.isBool()) take(listed ? rule.listedBool : rule.directBool, v.boolean() ? 1 : 0);
      else if (v.isEmpty()) take(listed ? rule.listedEmpty : Take::Ignore, 0);
      else if (const Take how = listed ? rule.listedText : rule.directText; how != Take::Number) take(how, 0);
      else if (const Number n = toNumber(v); !n.failed) onNumber(n.value);
      else if (!rule.skipErrors) error = ErrorCode::Value;
      return !error;
    });
  }
  return error;
}

}  // namespace calc

namespace calc {

// An error or an array as the result of a function that may give an array.
inline Operand errorOperand(ErrorCode error) {
  Operand result;
  result.set(Value(error));
  return result;
}
inline Operand arrayOperand(std::shared_ptr<const Array> array) {
  Operand result;
  result.kind = Operand::Kind::Array;
  result.array = std::move(array);
  return result;
}

// Argument i alone, for bodies that collect the numbers of one list among other arguments.
inline Args onlyArgument(const Args& args, std::size_t i) {
  return Args(std::span<const Operand>(&args.operand(i), 1), args.context());
}

// The numbers of all arguments under `rule`, or the error that stopped the walk.
inline std::optional<ErrorCode> numbersOf(const Args& args, std::vector<double>& out,
                                          const CollectRule& rule = kSumRule) {
  return collectNumbers(args, rule, [&](double x) { out.push_back(x); });
}

// One argument's values with their places in it (row by row), as functions of paired lists
// (CORREL, SLOPE...) read them: a range up to the sheet's used extent (the cells past it are
// empty), an array by its elements, a single value as itself. `size` is the count of places
// the argument stands for.
struct ListedValues {
  std::vector<Value> values;
  std::vector<std::int64_t> places;
  std::int64_t size = 0;
};

inline ListedValues listedValues(const Args& args, std::size_t i) {
  ListedValues listed;
  const Operand& op = args.operand(i);
  if (op.kind == Operand::Kind::Range) {
    const CellRange& r = op.range;
    listed.size = r.rows() * r.columns();
    const CellRef extent = args.context().usedExtent(r.sheet);
    const std::int32_t lastRow = std::min(r.row2, extent.row);
    const std::int32_t lastColumn = std::min(r.column2, extent.column);
    for (std::int32_t row = r.row1; row <= lastRow; ++row)
      for (std::int32_t column = r.column1; column <= lastColumn; ++column) {
        listed.values.push_back(args.context().cell(CellRef{r.sheet, row, column}));
        listed.places.push_back((row - r.row1) * r.columns() + (column - r.column1));
      }
    return listed;
  }
  args.forEach(i, [&](const Value& v) {
    listed.places.push_back(static_cast<std::int64_t>(listed.values.size()));
    listed.values.push_back(v);
    return true;
  });
  listed.size = static_cast<std::int64_t>(listed.values.size());
  return listed;
}

// The numbers of arguments i and j taken in pairs by place: a pair with text, a boolean or an
// empty cell on either side is left out. Lists of different sizes are #N/A; an error in either
// list (the first list's first) is returned.
inline std::optional<ErrorCode> pairedNumbers(const Args& args, std::size_t i, std::size_t j,
                                              std::vector<double>& xs, std::vector<double>& ys) {
  const ListedValues first = listedValues(args, i), second = listedValues(args, j);
  if (first.size != second.size) return ErrorCode::NA;
  for (const ListedValues* list : {&first, &second})
    for (const Value& v : list->values)
      if (v.isError()) return v.error();
  std::size_t a = 0, b = 0;
  while (a < first.values.size() && b < second.values.size()) {
    if (first.places[a] < second.places[b]) ++a;
    else if (second.places[b] < first.places[a]) ++b;
    else {
      if (first.values[a].isNumber() && second.values[b].isNumber()) {
        xs.push_back(first.values[a].number());
        ys.push_back(second.values[b].number());
      }
      ++a, ++b;
    }
  }
  return std::nullopt;
}

}  // namespace calc
