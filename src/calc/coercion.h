#pragma once
// How a value turns into a number, a text or a truth value inside a formula, how two values
// compare, and how a raw double becomes a result (overflow is #NUM!, underflow is 0).
#include <string>
#include <string_view>

#include "calc/formula.h"
#include "calc/text_limit.h"
#include "calc/value.h"

namespace calc {

// A number or the error that stopped it: the shape most function bodies work with.
struct Number {
  double value = 0;
  ErrorCode error = ErrorCode::Value;
  bool failed = false;

  static Number fail(ErrorCode e) { return {0, e, true}; }
};

// Empty is 0, TRUE is 1, numeric text is its number, other text is #VALUE!, errors stay.
// Text is read as parseNumber reads it: "(5)", "$1,234", "50%", "1/15/2024", "12:00".
Number toNumber(const Value& v);
// The same, a date written without its year ("1/2") taking the year of the context's clock.
// The form without a context takes the system clock's.
Number toNumber(const Value& v, const EvalContext& context);

// The year of the context's clock (NOW()).
int currentYear(const EvalContext& context);

struct Truth {
  bool value = false;
  ErrorCode error = ErrorCode::Value;
  bool failed = false;
};

// Numbers are true unless 0, "TRUE"/"FALSE" in any case are accepted, other text is #VALUE!.
Truth toTruth(const Value& v);

// Empty is "", numbers in general format, booleans "TRUE"/"FALSE". Errors are the caller's job.
std::string toText(const Value& v);

// Ordering of two non-error values: numbers < text < booleans, numbers at 15 significant
// digits (compareNumbers), text without regard to case, empty as 0, "" or FALSE to match the
// other side. Returns <0, 0 or >0.
int compareValues(const Value& a, const Value& b);

// A built text as a result: #VALUE! past the limit. Every operator and function that builds
// text (&, CONCATENATE, REPT, TEXT, ...) returns its text through this.
Value textResult(std::string text);

// a & b: the text of b appended to a in place (a chain of & stays linear), #VALUE! past the
// limit, errors propagating left first.
void appendText(Value& a, const Value& b);

// A computed double as a result: not finite is #NUM!, below the smallest normal is 0, -0 is 0.
inline Value numberResult(double x) {
  if (!(x - x == 0)) return ErrorCode::Num;
  if (x > -2.2250738585072014e-308 && x < 2.2250738585072014e-308) return 0.0;
  return x;
}

}  // namespace calc
