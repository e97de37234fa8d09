#pragma once
// The operators of the formula language on single values: arithmetic with Excel's domain
// rules, concatenation and comparison.
#include "program.h"

namespace calc {

// x^y as the spreadsheet computes it: 0^0 and a negative base with a fractional exponent are
// #NUM!, 0 to a negative power is #DIV/0!.
Value power(double x, double y);

// Any binary Op (Power ... GreaterEqual) on two single values, errors propagating left first.
Value applyBinary(Op op, const Value& a, const Value& b, const EvalContext& context);

// Negate or Percent on a single value.
Value applyUnary(Op op, const Value& a, const EvalContext& context);

}  // namespace calc
