// Looking values up in ranges and arrays: MATCH, XMATCH, LOOKUP, VLOOKUP, HLOOKUP, XLOOKUP.
#include <memory>
#include <vector>

#include "lookup_regex.h"
#include "lookup_search.h"

namespace calc {
namespace {

Operand errorOperand(ErrorCode code) { return valueOperand(code); }

// The value sought: errors stop the lookup; a left-out value is sought as an empty cell.
bool soughtValue(const Args& args, Value& sought) {
  sought = args.isMissing(0) ? Value() : args.scalar(0);
  return !sought.isError();
}

// MATCH's and the classic lookups' three ways: 1 (sorted ascending, the largest value not
// above), 0 (exact, with wildcards), -1 (sorted descending, the smallest value not below).
std::optional<std::int64_t> classicFind(const GridLine& line, const Value& sought, double type) {
  if (type != 0) return findSorted(line, sought, type > 0);
  if (sought.isEmpty()) return std::nullopt;
  return findInLine(line, sought, MatchMode::Wildcard, SearchMode::FirstToLast);
}

Value match(const Args& args) {
  Value sought, error;
  if (!soughtValue(args, sought)) return sought;
  if (onMissingSheet(args.operand(1), args.context())) return ErrorCode::Ref;
  double type = 1;
  if (!integerArgument(args, 2, 1, type, error)) return error;
  const Grid grid(args.operand(1), args.context());
  if (!grid.isLine()) return ErrorCode::NA;
  const auto at = classicFind(GridLine(grid), sought, type);
  return at ? Value(static_cast<double>(*at + 1)) : Value(ErrorCode::NA);
}

// XMATCH's and XLOOKUP's modes as numbers; false when a number is none of them, or the value
// sought is no regular expression where one is asked for.
bool modesOf(const Args& args, std::size_t first, const Value& sought, MatchMode& match, SearchMode& search,
             Value& error) {
  double m = 0, s = 1;
  if (!integerArgument(args, first, 0, m, error) || !integerArgument(args, first + 1, 1, s, error)) return false;
  error = ErrorCode::Value;
  if (m == 0) match = MatchMode::Exact;
  else if (m == -1) match = MatchMode::ExactOrSmaller;
  else if (m == 1) match = MatchMode::ExactOrLarger;
  else if (m == 2) match = MatchMode::Wildcard;
  else if (m == 3) match = MatchMode::Regex;
  else return false;
  if (s == 1) search = SearchMode::FirstToLast;
  else if (s == -1) search = SearchMode::LastToFirst;
  else if (s == 2) search = SearchMode::BinaryAscending;
  else if (s == -2) search = SearchMode::BinaryDescending;
  else return false;
  // Patterns need every value looked at, and a regular expression must be one.
  const bool pattern = match == MatchMode::Wildcard || match == MatchMode::Regex;
  if (pattern && (search == SearchMode::BinaryAscending || search == SearchMode::BinaryDescending)) return false;
  return match != MatchMode::Regex || Regex(toText(sought)).valid();
}

Value xmatch(const Args& args) {
  Value sought, error;
  if (!soughtValue(args, sought)) return sought;
  if (onMissingSheet(args.operand(1), args.context())) return ErrorCode::Ref;
  MatchMode matchMode;
  SearchMode searchMode;
  if (!modesOf(args, 2, sought, matchMode, searchMode, error)) return error;
  const Grid grid(args.operand(1), args.context());
  if (!grid.isLine()) return ErrorCode::Value;
  const auto at = findInLine(GridLine(grid), sought, matchMode, searchMode);
  return at ? Value(static_cast<double>(*at + 1)) : Value(ErrorCode::NA);
}

// VLOOKUP (searching the first column, `byColumn`) and HLOOKUP (the first row).
template <bool byColumn>
Value tableLookup(const Args& args) {
  Value sought, error;
  if (!soughtValue(args, sought)) return sought;
  if (onMissingSheet(args.operand(1), args.context())) return ErrorCode::Ref;
  double index = 0;
  if (!integerArgument(args, 2, 0, index, error)) return error;
  // A number or truth value is a table of one cell; a text is no table.
  if (!args.isCollection(1) && args.scalar(1).isText()) return ErrorCode::Value;
  bool sorted = true;
  if (args.size() > 3 && !args.isMissing(3)) {
    const Truth t = toTruth(args.scalar(3));
    if (t.failed) return t.error;
    sorted = t.value;
  }
  const Grid grid(args.operand(1), args.context());
  if (index < 1) return ErrorCode::Value;
  if (index > static_cast<double>(byColumn ? grid.columns() : grid.rows())) return ErrorCode::Ref;
  const auto at = classicFind(GridLine(grid, !byColumn, 0), sought, sorted ? 1 : 0);
  if (!at) return ErrorCode::NA;
  const auto other = static_cast<std::int64_t>(index) - 1;
  return byColumn ? grid.at(*at, other) : grid.at(other, *at);
}

// LOOKUP's vector form reads the result from a line of its own, as far along as the match
// was found, even past the end of a range given shorter than the one searched.
Value resultAt(const Operand& result, std::int64_t position, const EvalContext& context) {
  const Grid grid(result, context);
  const bool alongRow = grid.rows() == 1 && grid.columns() > 1;
  if (result.kind == Operand::Kind::Range) {
    CellRef cell{result.range.sheet, result.range.row1, result.range.column1};
    (alongRow ? cell.column : cell.row) += static_cast<std::int32_t>(position);
    if (cell.row > kMaxRows || cell.column > kMaxColumns) return ErrorCode::Ref;
    return context.cell(cell);
  }
  if (!grid.isLine()) return ErrorCode::NA;
  const GridLine line(grid);
  return position < line.size() ? line.at(position) : Value(ErrorCode::NA);
}

Value lookup(const Args& args) {
  Value sought;
  if (!soughtValue(args, sought)) return sought;
  if (onMissingSheet(args.operand(1), args.context())) return ErrorCode::Ref;
  const Grid grid(args.operand(1), args.context());
  if (args.size() > 2) {
    if (!grid.isLine()) return ErrorCode::NA;
    const auto at = classicFind(GridLine(grid), sought, 1);
    return at ? resultAt(args.operand(2), *at, args.context()) : Value(ErrorCode::NA);
  }
  // The array form: a wide array is searched along its first row and answers from its last
  // row; any other along its first column, answering from its last column.
  const bool wide = grid.columns() > grid.rows();
  const auto at = classicFind(GridLine(grid, wide, 0), sought, 1);
  if (!at) return ErrorCode::NA;
  return wide ? grid.at(grid.rows() - 1, *at) : grid.at(*at, grid.columns() - 1);
}

// XLOOKUP's if_not_found, or #N/A; a range given there is shown as the found row would be.
Operand notFound(const Args& args) {
  if (args.size() <= 3 || args.isMissing(3)) return errorOperand(ErrorCode::NA);
  const Grid given(args.operand(3), args.context());
  return spilledPart(given, 0, 0, given.rows(), given.columns());
}

Operand xlookup(const Args& args) {
  Value sought, error;
  if (!soughtValue(args, sought)) return valueOperand(sought);
  const Operand& lookupIn = args.operand(1);
  const Operand& results = args.operand(2);
  if (onMissingSheet(lookupIn, args.context()) || onMissingSheet(results, args.context()))
    return errorOperand(ErrorCode::Ref);
  if (!args.isCollection(1) || !args.isCollection(2)) return errorOperand(ErrorCode::Value);
  MatchMode matchMode;
  SearchMode searchMode;
  if (!modesOf(args, 4, sought, matchMode, searchMode, error)) return valueOperand(error);
  const Grid searched(lookupIn, args.context()), answers(results, args.context());
  if (!searched.isLine()) return errorOperand(ErrorCode::Value);
  // A column searched answers with a row of the results, a row searched with a column.
  const bool alongRow = searched.rows() == 1 && searched.columns() > 1;
  if (alongRow ? answers.columns() != searched.columns() : answers.rows() != searched.rows())
    return errorOperand(ErrorCode::Value);
  const auto at = findInLine(GridLine(searched), sought, matchMode, searchMode);
  if (!at) return notFound(args);
  return alongRow ? spilledPart(answers, 0, *at, answers.rows(), 1) : spilledPart(answers, *at, 0, 1, answers.columns());
}

// An array of values sought gives an array of answers, one for each.
template <Value (*Find)(const Args&)>
Operand eachSought(const Args& args) {
  if (args.operand(0).kind != Operand::Kind::Array) return valueOperand(Find(args));
  std::vector<Operand> operands;
  for (std::size_t i = 0; i < args.size(); ++i) operands.push_back(args.operand(i));
  const Array& sought = *args.operand(0).array;
  auto answers = std::make_shared<Array>();
  answers->rows = sought.rows;
  answers->columns = sought.columns;
  answers->values.reserve(sought.values.size());
  for (const Value& v : sought.values) {
    operands[0] = valueOperand(v);
    answers->values.push_back(Find(Args(operands, args.context())));
  }
  Operand out;
  out.kind = Operand::Kind::Array;
  out.array = std::move(answers);
  return out;
}

const FunctionSpec kLookup[] = {
    rawOperand("MATCH", 2, 3, eachSought<match>),
    newer(rawOperand("XMATCH", 2, 4, eachSought<xmatch>)),
    rawOperand("VLOOKUP", 3, 4, eachSought<tableLookup<true>>),
    rawOperand("HLOOKUP", 3, 4, eachSought<tableLookup<false>>),
    arrayArguments(rawOperand("LOOKUP", 2, 3, eachSought<lookup>)),
    newer(rawOperand("XLOOKUP", 3, 6, xlookup)),
};

}  // namespace

std::span<const FunctionSpec> lookupFunctions() { return kLookup; }

}  // namespace calc
