#pragma once
// One table entry per spreadsheet function. The runner checks nothing the parser already
// checked (argument counts), coerces arguments as the entry asks and propagates their errors,
// so that most bodies are one line.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>

#include "calc/formula.h"
#include "operand.h"

namespace calc {

// The arguments as a body that needs more than plain numbers sees them.
class Args {
 public:
  Args(std::span<const Operand> operands, const EvalContext& context)
      : operands_(operands), context_(context) {}

  std::size_t size() const { return operands_.size(); }
  bool isMissing(std::size_t i) const { return operands_[i].kind == Operand::Kind::Missing; }
  // A range or an array: aggregates skip the text and booleans inside one.
  bool isCollection(std::size_t i) const {
    return operands_[i].kind == Operand::Kind::Range || operands_[i].kind == Operand::Kind::Array;
  }
  bool isRange(std::size_t i) const { return operands_[i].kind == Operand::Kind::Range; }
  // The argument as it stands, for bodies that take references or arrays apart.
  const Operand& operand(std::size_t i) const { return operands_[i]; }
  // One value: a single cell is read, a whole row or column is intersected with the formula's
  // cell, an array gives its first element.
  Value scalar(std::size_t i) const;
  // Every value of argument i (one for a scalar); `visit` returns false to stop early.
  template <class Visit>
  void forEach(std::size_t i, Visit&& visit) const;
  const EvalContext& context() const { return context_; }
  // The arguments from `first` on.
  Args from(std::size_t first) const { return Args(operands_.subspan(first), context_); }

 private:
  std::span<const Operand> operands_;
  const EvalContext& context_;
};

// Reads one operand as a single value (see Args::scalar).
Value scalarOf(const Operand& operand, const EvalContext& context);

using UnaryFn = Value (*)(double x);
using NumbersFn = Value (*)(const double* x, std::size_t n);
using ScalarsFn = Value (*)(const Value* x, std::size_t n);
using ArgsFn = Value (*)(const Args& args);
// For functions whose result may be a reference or an array (INDEX, OFFSET, MMULT...).
using OperandFn = Operand (*)(const Args& args);

inline constexpr std::uint8_t kManyArgs = 255;
inline constexpr std::size_t kMaxNumberArgs = 8;

struct FunctionSpec {
  enum class Takes : std::uint8_t { Number, Numbers, Scalars, Args, Operand };

  std::string_view name;  // upper case, without the "_xlfn." prefix
  std::uint8_t minArgs = 0;
  std::uint8_t maxArgs = 0;
  Takes takes = Takes::Args;
  UnaryFn unary = nullptr;      // one argument as a number
  NumbersFn numbers = nullptr;  // up to kMaxNumberArgs arguments as numbers; missing ones are 0
  ScalarsFn scalars = nullptr;  // single values, errors included, for the body to judge
  ArgsFn args = nullptr;        // the raw arguments, for ranges and the context
  OperandFn operand = nullptr;  // the raw arguments; the result a reference or an array
  // Functions that came from the Analysis ToolPak refuse booleans (#VALUE!) and left-out
  // arguments (#N/A) where the others read 1/0 and 0.
  bool strictNumbers = false;
  // Its arguments are evaluated as arrays (SUMPRODUCT, MMULT...): a range inside an operation
  // there is taken element by element rather than at the formula's own row or column.
  bool arrayArguments = false;
  // The prefix a file writes before the name: "_xlfn." for the functions newer than the 2007
  // file format (a few "_xlfn._xlws."), empty for the others.
  std::string_view filePrefix = {};
};

inline constexpr std::string_view kXlwsPrefix = "_xlfn._xlws.";

// The entry of a function newer than the 2007 file format: newer(raw("XLOOKUP", ...)).
constexpr FunctionSpec newer(FunctionSpec spec, std::string_view prefix = "_xlfn.") {
  spec.filePrefix = prefix;
  return spec;
}

// The entry with arrayArguments set: arrayArguments(raw("SUMPRODUCT", ...)).
constexpr FunctionSpec arrayArguments(FunctionSpec spec) {
  spec.arrayArguments = true;
  return spec;
}

constexpr FunctionSpec number1(std::string_view name, UnaryFn fn) {
  return {name, 1, 1, FunctionSpec::Takes::Number, fn, nullptr, nullptr, nullptr};
}
constexpr FunctionSpec numbers(std::string_view name, std::uint8_t min, std::uint8_t max,
                               NumbersFn fn) {
  return {name, min, max, FunctionSpec::Takes::Numbers, nullptr, fn, nullptr, nullptr};
}
constexpr FunctionSpec strictNumbers(std::string_view name, std::uint8_t min, std::uint8_t max,
                                     NumbersFn fn) {
  return {name, min, max, FunctionSpec::Takes::Numbers, nullptr, fn, nullptr, nullptr, nullptr, true};
}
constexpr FunctionSpec scalars(std::string_view name, std::uint8_t min, std::uint8_t max,
                               ScalarsFn fn) {
  return {name, min, max, FunctionSpec::Takes::Scalars, nullptr, nullptr, fn, nullptr};
}
constexpr FunctionSpec raw(std::string_view name, std::uint8_t min, std::uint8_t max, ArgsFn fn) {
  return {name, min, max, FunctionSpec::Takes::Args, nullptr, nullptr, nullptr, fn};
}
constexpr FunctionSpec rawOperand(std::string_view name, std::uint8_t min, std::uint8_t max, OperandFn fn) {
  return {name, min, max, FunctionSpec::Takes::Operand, nullptr, nullptr, nullptr, nullptr, fn};
}

// The families, each in its own file.
std::span<const FunctionSpec> mathFunctions();
std::span<const FunctionSpec> roundingFunctions();
std::span<const FunctionSpec> trigonometricFunctions();
std::span<const FunctionSpec> aggregateFunctions();
std::span<const FunctionSpec> logicalFunctions();
std::span<const FunctionSpec> informationFunctions();
std::span<const FunctionSpec> dateFunctions();
std::span<const FunctionSpec> textFunctions();
std::span<const FunctionSpec> statisticsFunctions();
std::span<const FunctionSpec> rankingFunctions();
std::span<const FunctionSpec> regressionFunctions();
std::span<const FunctionSpec> distributionFunctions();
std::span<const FunctionSpec> conditionalFunctions();
std::span<const FunctionSpec> matrixFunctions();
std::span<const FunctionSpec> engineeringFunctions();
std::span<const FunctionSpec> complexFunctions();
std::span<const FunctionSpec> financialFunctions();
std::span<const FunctionSpec> bondFunctions();
std::span<const FunctionSpec> textSearchFunctions();
std::span<const FunctionSpec> calendarFunctions();
std::span<const FunctionSpec> lookupFunctions();
std::span<const FunctionSpec> referenceFunctions();
std::span<const FunctionSpec> databaseFunctions();
std::span<const FunctionSpec> remainingFunctions();

// The whole table, looked up by name (any case, "_xlfn." already stripped). nullptr if absent.
const FunctionSpec* findFunction(std::string_view name);
// The same as a position in the table, which compiled code stores; -1 if absent.
int findFunctionIndex(std::string_view name);
const FunctionSpec& functionAt(std::size_t index);
// The table in that order, for loops that call functionAt often.
std::span<const FunctionSpec* const> functionTable();

Value callFunction(const FunctionSpec& spec, std::span<const Operand> args,
                   const EvalContext& context);

template <class Visit>
void Args::forEach(std::size_t i, Visit&& visit) const {
  const Operand& op = operands_[i];
  if (op.kind == Operand::Kind::Range) {
    const CellRange& r = op.range;
    const CellRef extent = context_.usedExtent(r.sheet);
    const std::int32_t lastRow = std::min(r.row2, extent.row);
    const std::int32_t lastColumn = std::min(r.column2, extent.column);
    for (std::int32_t row = r.row1; row <= lastRow; ++row)
      for (std::int32_t column = r.column1; column <= lastColumn; ++column)
        if (!visit(context_.cell(CellRef{r.sheet, row, column}))) return;
  } else if (op.kind == Operand::Kind::Array) {
    for (const Value& v : op.array->values)
      if (!visit(v)) return;
  } else if (op.isScalar()) {
    visit(op.scalar());
  }
}

}  // namespace calc
