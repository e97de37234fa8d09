#pragma once
// Arithmetic on two numbers whose result needs none of the spreadsheet's special cases; shared
// by the numeric fast path and the general evaluator so that both take the same shortcut.
#include <cmath>

#include "excel_arithmetic.h"
#include "program.h"

namespace calc {

// A finite result that is 0 or at least the smallest normal double in magnitude.
inline bool isPlainResult(double x) {
  const double magnitude = std::fabs(x);
  return (magnitude >= 2.2250738585072014e-308 && magnitude <= 1.7976931348623157e308) || x == 0;
}

// Plain finite arithmetic on two numbers; false sends the case (errors, overflow, underflow,
// awkward powers) to the general path.
inline bool quickArithmetic(Op op, double x, double y, double& out) {
  switch (op) {
    case Op::Add: out = x + y; break;
    case Op::Subtract: out = x - y; break;
    case Op::FinalAdd: out = finalSum(x, y); break;
    case Op::FinalSubtract: out = finalSum(x, -y); break;
    case Op::Multiply: out = x * y; break;
    case Op::Divide:
      if (y == 0) return false;
      out = x / y;
      break;
    case Op::Power:
      if (!(x > 0)) return false;
      out = std::pow(x, y);
      break;
    default: return false;
  }
  return isPlainResult(out);
}

}  // namespace calc
