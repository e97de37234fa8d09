// The database functions: DSUM(database, field, criteria) and its kin. The database is a block
// whose first row names its fields; the criteria block names fields in its first row and
// holds conditions below, the conditions of one row all to be met, any one row sufficing.
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "coercion.h"
#include "criteria.h"
#include "function_spec.h"
#include "value_grid.h"

namespace calc {
namespace {

bool sameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (asciiUpper(a[i]) != asciiUpper(b[i])) return false;
  return true;
}

// The 0-based column whose heading reads `name`, without regard to case.
std::optional<std::int64_t> columnNamed(const ValueGrid& database, const Value& name) {
  const std::string wanted = toText(name);
  for (std::int64_t c = 0; c < database.columns(); ++c)
    if (sameText(toText(database.at(0, c)), wanted)) return c;
  return std::nullopt;
}

// The field argument: a heading's text or a 1-based column number (truncated).
std::optional<std::int64_t> fieldColumn(const ValueGrid& database, const Value& field, Value& error) {
  if (field.isError()) return error = field, std::nullopt;
  error = ErrorCode::Value;
  if (field.isText()) return columnNamed(database, field);
  const Number n = toNumber(field);
  if (n.failed) return std::nullopt;
  const double column = std::trunc(n.value);
  if (column < 1 || column > static_cast<double>(database.columns())) return std::nullopt;
  return static_cast<std::int64_t>(column) - 1;
}

// One condition of the criteria block: a database column and what its cells must meet.
struct Condition {
  std::int64_t column;
  Criterion criterion;
};

class CriteriaBlock {
 public:
  // False when a heading of the criteria names no field of the database.
  bool read(const ValueGrid& criteria, const ValueGrid& database) {
    if (criteria.rows() < 2) return false;
    std::vector<std::optional<std::int64_t>> columns;
    for (std::int64_t c = 0; c < criteria.columns(); ++c) columns.push_back(columnNamed(database, criteria.at(0, c)));
    const std::int64_t usedRows = std::min(criteria.rows(), std::max<std::int64_t>(criteria.usedRows(), 1));
    for (std::int64_t r = 1; r < usedRows; ++r) {
      std::vector<Condition> row;
      bool unknownField = false;
      for (std::int64_t c = 0; c < criteria.columns(); ++c) {
        const Value v = criteria.at(r, c);
        if (v.isEmpty() || (v.isText() && v.text().empty())) continue;
        if (!columns[c]) unknownField = true;
        else row.push_back({*columns[c], Criterion::beginningWith(v)});
      }
      if (!unknownField) rows_.push_back(std::move(row));
    }
    if (usedRows < criteria.rows()) rows_.emplace_back();  // empty rows past the used cells match every record
    return true;
  }

  bool matches(const ValueGrid& database, std::int64_t record) const {
    for (const auto& row : rows_) {
      bool all = true;
      for (const Condition& condition : row)
        if (!(all = condition.criterion.matches(database.at(record, condition.column)))) break;
      if (all) return true;
    }
    return false;
  }

 private:
  std::vector<std::vector<Condition>> rows_;
};

bool isBlockOperand(const Operand& op) {
  return op.kind == Operand::Kind::Array || (op.kind == Operand::Kind::Range && !op.range.isSingleCell());
}

enum class Field : std::uint8_t { Required, Optional };

// Calls onValue(value) with the field's value in every record the criteria select (an empty
// Value per record when the field is left out). Returns an error value on bad arguments.
template <class OnValue>
std::optional<Value> selectRecords(const Args& args, Field field, OnValue&& onValue) {
  for (std::size_t i : {0, 2})
    if (args.operand(i).kind != Operand::Kind::Range && args.operand(i).kind != Operand::Kind::Array)
      return args.operand(i).isScalar() && args.scalar(i).isError() ? args.scalar(i) : Value(ErrorCode::Value);
  const ValueGrid database(args.operand(0), args.context()), criteria(args.operand(2), args.context());
  if (database.rows() < 2) return Value(ErrorCode::Value);
  std::optional<std::int64_t> column;
  if (!args.isMissing(1) || field == Field::Required) {
    if (isBlockOperand(args.operand(1))) return Value(ErrorCode::Value);
    Value error;
    column = fieldColumn(database, args.scalar(1), error);
    if (!column) return error;
  }
  CriteriaBlock block;
  if (!block.read(criteria, database)) return Value(ErrorCode::Value);
  const std::int64_t lastRecord = std::min(database.rows(), std::max<std::int64_t>(database.usedRows(), 1)) - 1;
  for (std::int64_t record = 1; record <= lastRecord; ++record)
    if (block.matches(database, record)) onValue(column ? database.at(record, *column) : Value(true));
  return std::nullopt;
}

enum class Statistic : std::uint8_t { Sum, Average, Count, Max, Min, Product, StdevSample, StdevPopulation, VarSample, VarPopulation };

Value statistic(Statistic what, const std::vector<double>& xs) {
  const double n = static_cast<double>(xs.size());
  double sum = 0, product = 1;
  for (double x : xs) sum += x, product *= x;
  switch (what) {
    case Statistic::Sum: return numberResult(sum);
    case Statistic::Count: return n;
    case Statistic::Product: return xs.empty() ? 0.0 : numberResult(product);
    case Statistic::Average: return xs.empty() ? Value(ErrorCode::Div0) : numberResult(sum / n);
    case Statistic::Max: return xs.empty() ? 0.0 : *std::max_element(xs.begin(), xs.end());
    case Statistic::Min: return xs.empty() ? 0.0 : *std::min_element(xs.begin(), xs.end());
    default: break;
  }
  const bool sample = what == Statistic::StdevSample || what == Statistic::VarSample;
  if (n < (sample ? 2 : 1)) return ErrorCode::Div0;
  double squares = 0;
  for (double x : xs) squares += (x - sum / n) * (x - sum / n);
  const double variance = squares / (sample ? n - 1 : n);
  const bool deviation = what == Statistic::StdevSample || what == Statistic::StdevPopulation;
  return numberResult(deviation ? std::sqrt(variance) : variance);
}

// The numbers of the field in the selected records; text, booleans and empty cells skipped.
template <Statistic What>
Value overNumbers(const Args& args) {
  std::vector<double> xs;
  if (auto error = selectRecords(args, What == Statistic::Count ? Field::Optional : Field::Required, [&](const Value& v) {
        if (v.isNumber()) xs.push_back(v.number());
      }))
    return *error;
  return statistic(What, xs);
}

Value countNonEmpty(const Args& args) {
  double n = 0;
  if (auto error = selectRecords(args, Field::Optional, [&](const Value& v) { n += v.isEmpty() ? 0 : 1; })) return *error;
  return n;
}

// DCOUNT with its field left out counts the records themselves.
Value countNumbers(const Args& args) {
  if (args.isMissing(1)) return countNonEmpty(args);
  return overNumbers<Statistic::Count>(args);
}

// The field's value in the one record selected: #VALUE! for none, #NUM! for several.
Value getOne(const Args& args) {
  std::optional<Value> found;
  bool several = false;
  if (auto error = selectRecords(args, Field::Required, [&](const Value& v) {
        several = several || found.has_value();
        found = v;
      }))
    return *error;
  if (several) return ErrorCode::Num;
  if (!found) return ErrorCode::Value;
  return found->isEmpty() ? Value(0.0) : *found;
}

const FunctionSpec kDatabase[] = {
    raw("DSUM", 3, 3, overNumbers<Statistic::Sum>),
    raw("DAVERAGE", 3, 3, overNumbers<Statistic::Average>),
    raw("DCOUNT", 3, 3, countNumbers),
    raw("DCOUNTA", 3, 3, countNonEmpty),
    raw("DGET", 3, 3, getOne),
    raw("DMAX", 3, 3, overNumbers<Statistic::Max>),
    raw("DMIN", 3, 3, overNumbers<Statistic::Min>),
    raw("DPRODUCT", 3, 3, overNumbers<Statistic::Product>),
    raw("DSTDEV", 3, 3, overNumbers<Statistic::StdevSample>),
    raw("DSTDEVP", 3, 3, overNumbers<Statistic::StdevPopulation>),
    raw("DVAR", 3, 3, overNumbers<Statistic::VarSample>),
    raw("DVARP", 3, 3, overNumbers<Statistic::VarPopulation>),
};

}  // namespace

std::span<const FunctionSpec> databaseFunctions() { return kDatabase; }

}  // namespace calc
