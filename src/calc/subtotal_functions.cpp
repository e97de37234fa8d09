#include "subtotal_functions.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "collect.h"
#include "value_grid.h"

namespace calc {
namespace {

// The functions by number: 1-11 for SUBTOTAL (and 101-111, the same here: no row of ours is
// ever hidden), 1-19 for AGGREGATE.
constexpr std::string_view kByNumber[] = {
    "",       "AVERAGE", "COUNT",     "COUNTA",         "MAX",          "MIN",
    "PRODUCT", "STDEV",  "STDEVP",    "SUM",            "VAR",          "VARP",
    "MEDIAN", "MODE.SNGL", "LARGE",   "SMALL",          "PERCENTILE.INC", "QUARTILE.INC",
    "PERCENTILE.EXC", "QUARTILE.EXC"};
constexpr int kSubtotalLast = 11, kReferenceFormLast = 13, kAggregateLast = 19;

bool holdsSubtotal(const std::string& formula) {
  std::string upper(formula);
  for (char& c : upper) c = asciiUpper(c);
  return upper.find("SUBTOTAL(") != std::string::npos || upper.find("AGGREGATE(") != std::string::npos;
}

struct Skip {
  bool subtotals = true;
  bool errors = false;
};

// A reference's values as an array, cells computed by SUBTOTAL or AGGREGATE (and errors, if
// asked) left empty; arrays and single values pass through unless errors are to go.
Operand withoutSkipped(const Operand& op, const EvalContext& context, Skip skip) {
  if (op.kind != Operand::Kind::Range && op.kind != Operand::Kind::Array) {
    Operand kept = op;
    if (skip.errors && op.isScalar() && op.scalar().isError()) kept.kind = Operand::Kind::Missing;
    return kept;
  }
  const ValueGrid grid(op, context);
  auto out = std::make_shared<Array>();
  out->rows = static_cast<std::int32_t>(std::max<std::int64_t>(grid.usedRows(), 1));
  out->columns = static_cast<std::int32_t>(std::max<std::int64_t>(grid.usedColumns(), 1));
  for (std::int32_t r = 0; r < out->rows; ++r)
    for (std::int32_t c = 0; c < out->columns; ++c) {
      Value v = grid.at(r, c);
      if (skip.errors && v.isError()) v = Value();
      if (skip.subtotals && op.kind == Operand::Kind::Range) {
        const CellRef cell{op.range.sheet, op.range.row1 + r, op.range.column1 + c};
        if (const auto formula = context.formulaText(cell); formula && holdsSubtotal(*formula)) v = Value();
      }
      out->values.push_back(std::move(v));
    }
  Operand result;
  result.kind = Operand::Kind::Array;
  result.array = std::move(out);
  return result;
}

std::optional<int> wholeNumber(const Value& v, ErrorCode& error) {
  const Number n = toNumber(v);
  if (n.failed) return error = n.error, std::nullopt;
  if (std::fabs(n.value) > 1000) return error = ErrorCode::Value, std::nullopt;
  return static_cast<int>(std::trunc(n.value));
}

// LARGE and SMALL: the k-th number from either end.
Value kthNumber(const Operand& values, const Value& kValue, const EvalContext& context, bool largest) {
  std::vector<double> xs;
  const Operand one[] = {values};
  if (auto error = collectNumbers(Args(one, context), kSumRule, [&](double x) { xs.push_back(x); })) return *error;
  const Number k = toNumber(kValue);
  if (k.failed) return k.error;
  const double position = std::ceil(k.value);
  if (position < 1 || position > static_cast<double>(xs.size())) return ErrorCode::Num;
  const auto at = static_cast<std::size_t>(position) - 1;
  if (largest) std::nth_element(xs.begin(), xs.begin() + at, xs.end(), std::greater<>());
  else std::nth_element(xs.begin(), xs.begin() + at, xs.end());
  return xs[at];
}

Value byNumber(int number, std::vector<Operand> operands, const EvalContext& context) {
  if (number == 14 || number == 15)
    return kthNumber(operands[0], scalarOf(operands[1], context), context, number == 14);
  const FunctionSpec* spec = findFunction(kByNumber[number]);
  if (!spec) return ErrorCode::Name;
  return callFunction(*spec, operands, context);
}

Value subtotal(const Args& args) {
  ErrorCode error{};
  const auto number = wholeNumber(args.scalar(0), error);
  if (!number) return error;
  const int n = *number > 100 ? *number - 100 : *number;
  if (n < 1 || n > kSubtotalLast) return ErrorCode::Value;
  std::vector<Operand> operands;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args.isMissing(i)) return ErrorCode::Value;
    operands.push_back(withoutSkipped(args.operand(i), args.context(), Skip{}));
  }
  return byNumber(n, std::move(operands), args.context());
}

// Options 0-7: 0-3 leave out nested SUBTOTAL/AGGREGATE cells; 2, 3, 6 and 7 leave out errors;
// 1, 3, 5 and 7 hidden rows, which our sheets do not have.
Value aggregate(const Args& args) {
  ErrorCode error{};
  const auto number = wholeNumber(args.scalar(0), error);
  if (!number) return error;
  int option = 0;
  if (!args.isMissing(1)) {
    const auto given = wholeNumber(args.scalar(1), error);
    if (!given) return error;
    option = *given;
  }
  if (*number < 1 || *number > kAggregateLast || option < 0 || option > 7) return ErrorCode::Value;
  const Skip skip{option <= 3, option == 2 || option == 3 || option == 6 || option == 7};
  std::vector<Operand> operands;
  if (*number > kReferenceFormLast) {
    if (args.size() != 4 || args.isMissing(2) || args.isMissing(3)) return ErrorCode::Value;
    operands.push_back(withoutSkipped(args.operand(2), args.context(), skip));
    operands.push_back(args.operand(3));
  } else {
    for (std::size_t i = 2; i < args.size(); ++i) {
      if (args.isMissing(i)) return ErrorCode::Value;
      operands.push_back(withoutSkipped(args.operand(i), args.context(), skip));
    }
  }
  return byNumber(*number, std::move(operands), args.context());
}

const FunctionSpec kSubtotals[] = {
    raw("SUBTOTAL", 2, kManyArgs, subtotal),
    newer(raw("AGGREGATE", 3, kManyArgs, aggregate)),
};

}  // namespace

std::span<const FunctionSpec> subtotalFunctions() { return kSubtotals; }

}  // namespace calc
