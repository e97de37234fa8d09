#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

#include "sheets/calc/coercion.h"
#include "sheets/calc/function_spec.h"

namespace calc {
namespace {

std::vector<const FunctionSpec*> buildSortedTable() {
  std::vector<const FunctionSpec*> table;
  for (auto family : {mathFunctions(), roundingFunctions(), trigonometricFunctions(),
                      aggregateFunctions(), logicalFunctions(), informationFunctions(),
                      dateFunctions()})
    for (const FunctionSpec& spec : family) table.push_back(&spec);
  std::sort(table.begin(), table.end(),
            [](const FunctionSpec* a, const FunctionSpec* b) { return a->name < b->name; });
  return table;
}

const std::vector<const FunctionSpec*>& sortedTable() {
  static const std::vector<const FunctionSpec*> table = buildSortedTable();
  return table;
}

// Reads an argument as a number for Takes::Number(s); false with `error` set on failure.
bool numberArgument(const Operand& op, const EvalContext& context, double& out, Value& error,
                    bool strict = false) {
  if (op.kind == Operand::Kind::Number) {
    out = op.number;
    return true;
  }
  if (strict && op.kind == Operand::Kind::Missing) {
    error = ErrorCode::NA;
    return false;
  }
  const Value v = op.kind == Operand::Kind::Missing ? Value(0.0) : scalarOf(op, context);
  if (strict && v.isBool()) {
    error = ErrorCode::Value;
    return false;
  }
  const Number n = toNumber(v);
  if (n.failed) {
    error = n.error;
    return false;
  }
  out = n.value;
  return true;
}

}  // namespace

int findFunctionIndex(std::string_view name) {
  if (name.empty() || name.size() > 32) return -1;
  std::array<char, 32> upper{};
  for (std::size_t i = 0; i < name.size(); ++i)
    upper[i] = name[i] >= 'a' && name[i] <= 'z' ? static_cast<char>(name[i] - 32) : name[i];
  const std::string_view key(upper.data(), name.size());
  const auto& table = sortedTable();
  auto it = std::lower_bound(table.begin(), table.end(), key,
                             [](const FunctionSpec* spec, std::string_view k) { return spec->name < k; });
  return it != table.end() && (*it)->name == key ? static_cast<int>(it - table.begin()) : -1;
}

const FunctionSpec* findFunction(std::string_view name) {
  const int index = findFunctionIndex(name);
  return index < 0 ? nullptr : sortedTable()[static_cast<std::size_t>(index)];
}

const FunctionSpec& functionAt(std::size_t index) { return *sortedTable()[index]; }

Value callFunction(const FunctionSpec& spec, std::span<const Operand> args,
                   const EvalContext& context) {
  if (args.size() < spec.minArgs || args.size() > spec.maxArgs) return ErrorCode::Value;
  switch (spec.takes) {
    case FunctionSpec::Takes::Number: {
      double x = 0;
      Value error;
      return numberArgument(args[0], context, x, error) ? spec.unary(x) : error;
    }
    case FunctionSpec::Takes::Numbers: {
      std::array<double, kMaxNumberArgs> x{};
      Value error;
      for (std::size_t i = 0; i < args.size(); ++i)
        if (!numberArgument(args[i], context, x[i], error, spec.strictNumbers)) return error;
      return spec.numbers(x.data(), args.size());
    }
    case FunctionSpec::Takes::Scalars: {
      std::array<Value, 8> few;
      std::vector<Value> many;
      Value* values = few.data();
      if (args.size() > few.size()) {
        many.resize(args.size());
        values = many.data();
      }
      for (std::size_t i = 0; i < args.size(); ++i) values[i] = scalarOf(args[i], context);
      return spec.scalars(values, args.size());
    }
    case FunctionSpec::Takes::Args:
      return spec.args(Args(args, context));
  }
  return ErrorCode::Value;
}

Value Args::scalar(std::size_t i) const { return scalarOf(operands_[i], context_); }

Value scalarOf(const Operand& op, const EvalContext& context) {
  switch (op.kind) {
    case Operand::Kind::Number: return op.number;
    case Operand::Kind::Value: return op.value;
    case Operand::Kind::Missing: return Value();
    case Operand::Kind::Array:
      return op.array->values.empty() ? Value(ErrorCode::Value) : op.array->values.front();
    case Operand::Kind::Range: break;
  }
  const CellRange& r = op.range;
  if (r.isSingleCell()) return context.cell(CellRef{r.sheet, r.row1, r.column1});
  // Implicit intersection with the formula's own row (a column range) or column (a row range).
  const CellRef at = context.formulaCell();
  if (at.row <= 0) return ErrorCode::Value;
  if (r.column1 == r.column2 && at.row >= r.row1 && at.row <= r.row2)
    return context.cell(CellRef{r.sheet, at.row, r.column1});
  if (r.row1 == r.row2 && at.column >= r.column1 && at.column <= r.column2)
    return context.cell(CellRef{r.sheet, r.row1, at.column});
  return ErrorCode::Value;
}

bool isFunctionName(std::string_view name) {
  if (name.size() > 6) {
    std::string prefix(name.substr(0, 6));
    for (char& c : prefix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (prefix == "_xlfn.") name.remove_prefix(6);
  }
  return findFunction(name) != nullptr;
}

}  // namespace calc
