#pragma once
// Arguments as the engineering functions read them. They came from the Analysis ToolPak:
// TRUE/FALSE are #VALUE!, an argument left out (as in F(1,)) is #N/A, an empty cell is 0,
// numeric text is its number.
#include "coercion.h"
#include "complex_number.h"
#include "function_spec.h"

namespace calc {

inline Number strictNumberOf(const Value& v) {
  if (v.isBool()) return Number::fail(ErrorCode::Value);
  return toNumber(v);
}

inline Number strictNumber(const Args& args, std::size_t i) {
  if (args.isMissing(i)) return Number::fail(ErrorCode::NA);
  return strictNumberOf(args.scalar(i));
}

// A complex argument: a number, a complex text, an empty cell (0). Text that is no complex
// number is #NUM!, a boolean #VALUE!.
struct ComplexArgument {
  ComplexText z;
  ErrorCode error = ErrorCode::Num;
  bool failed = false;

  static ComplexArgument fail(ErrorCode e) { return {{}, e, true}; }
};

inline ComplexArgument complexOf(const Value& v) {
  if (v.isError()) return ComplexArgument::fail(v.error());
  if (v.isBool()) return ComplexArgument::fail(ErrorCode::Value);
  if (v.isNumber()) return {{{v.number(), 0}, 0}};
  if (v.isEmpty()) return {};
  if (auto z = parseComplex(v.text())) return {*z};
  return ComplexArgument::fail(ErrorCode::Num);
}

}  // namespace calc
