#include "operators.h"

#include <cmath>

#include "coercion.h"
#include "excel_arithmetic.h"

namespace calc {
namespace {

bool isComparison(Op op) { return op >= Op::Equal && op <= Op::GreaterEqual; }

Value compare(Op op, const Value& a, const Value& b) {
  const int c = compareValues(a, b);
  switch (op) {
    case Op::Equal: return c == 0;
    case Op::NotEqual: return c != 0;
    case Op::Less: return c < 0;
    case Op::Greater: return c > 0;
    case Op::LessEqual: return c <= 0;
    default: return c >= 0;
  }
}

Value arithmetic(Op op, double x, double y) {
  switch (op) {
    case Op::Add: return numberResult(x + y);
    case Op::Subtract: return numberResult(x - y);
    case Op::FinalAdd: return numberResult(finalSum(x, y));
    case Op::FinalSubtract: return numberResult(finalSum(x, -y));
    case Op::Multiply: return numberResult(x * y);
    case Op::Divide: return y == 0 ? Value(ErrorCode::Div0) : numberResult(x / y);
    default: return power(x, y);
  }
}

}  // namespace

Value power(double x, double y) {
  if (x == 0) {
    if (y == 0) return ErrorCode::Num;
    return y < 0 ? Value(ErrorCode::Div0) : Value(0.0);
  }
  if (x < 0 && y != std::trunc(y)) return ErrorCode::Num;
  return numberResult(std::pow(x, y));
}

Value applyBinary(Op op, const Value& a, const Value& b, const EvalContext& context) {
  if (a.isNumber() && b.isNumber() && !isComparison(op) && op != Op::Concat)
    return arithmetic(op, a.number(), b.number());
  if (a.isError()) return a;
  if (b.isError()) return b;
  if (isComparison(op)) return compare(op, a, b);
  if (op == Op::Concat) return textResult(toText(a) + toText(b));
  const Number x = toNumber(a, context);
  if (x.failed) return x.error;
  const Number y = toNumber(b, context);
  if (y.failed) return y.error;
  return arithmetic(op, x.value, y.value);
}

Value applyUnary(Op op, const Value& a, const EvalContext& context) {
  const Number x = toNumber(a, context);
  if (x.failed) return x.error;
  return numberResult(op == Op::Negate ? -x.value : x.value / 100);
}

}  // namespace calc
