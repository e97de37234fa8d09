#pragma once
// The functions built on LAMBDA (MAP, REDUCE, SCAN, BYROW, BYCOL, MAKEARRAY), those that
// aggregate with one (GROUPBY, PIVOTBY) and ISOMITTED.
// They call LAMBDA values, which only the evaluator can run, so they are compiled to their own
// instruction (Op::LambdaForm) rather than taken from the function table.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "calc/formula.h"
#include "operand.h"

namespace calc {

enum class LambdaForm : std::uint8_t { IsOmitted, Map, Reduce, Scan, ByRow, ByCol, MakeArray, GroupBy, PivotBy };

struct LambdaFormSpec {
  std::string_view name;  // upper case
  LambdaForm form;
  std::uint8_t minArgs, maxArgs;
};

// The form called `name` (any case, prefixes already stripped), if it is one.
std::optional<LambdaFormSpec> findLambdaForm(std::string_view name);

// Runs LAMBDA values for the forms; the evaluator provides it.
class LambdaCaller {
 public:
  // Whether `value` is a LAMBDA, and how many arguments it takes at most.
  virtual std::optional<std::size_t> parameterCount(const Operand& value) const = 0;
  // The LAMBDA's result for `args`; an error value when `callee` is no LAMBDA, the arguments do
  // not fit, or the evaluation ran past its limits.
  virtual Operand call(const Operand& callee, std::span<const Operand> args) = 0;

 protected:
  ~LambdaCaller() = default;
};

// The form's result for its arguments as they stand on the stack.
Operand applyLambdaForm(LambdaForm form, std::span<const Operand> args, LambdaCaller& caller,
                        const EvalContext& context);

// No array built by MAKEARRAY and the others may hold more values than this.
inline constexpr std::int64_t kMaxLambdaArrayValues = 1 << 22;

}  // namespace calc
