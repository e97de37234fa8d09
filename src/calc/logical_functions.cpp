// Conditions and choices: IF, IFERROR, IFNA, IFS, SWITCH, CHOOSE, AND, OR, XOR, NOT.
#include <cmath>
#include <optional>

#include "coercion.h"
#include "function_spec.h"

namespace calc {
namespace {

Value ifFunction(const Value* a, std::size_t n) {
  const Truth condition = toTruth(a[0]);
  if (condition.failed) return condition.error;
  if (condition.value) return a[1];
  return n > 2 ? a[2] : Value(false);
}

Value ifs(const Value* a, std::size_t n) {
  if (n % 2 != 0) return ErrorCode::NA;
  for (std::size_t i = 0; i < n; i += 2) {
    const Truth condition = toTruth(a[i]);
    if (condition.failed) return condition.error;
    if (condition.value) return a[i + 1];
  }
  return ErrorCode::NA;
}

// Matches need equal types; text compares without regard to case.
bool sameValue(const Value& a, const Value& b) {
  return a.isNumber() == b.isNumber() && a.isText() == b.isText() && a.isBool() == b.isBool() &&
         compareValues(a, b) == 0;
}

Value switchFunction(const Value* a, std::size_t n) {
  if (a[0].isError()) return a[0];
  std::size_t i = 1;
  for (; i + 1 < n; i += 2) {
    if (a[i].isError()) return a[i];
    if (sameValue(a[0], a[i])) return a[i + 1];
  }
  return i < n ? a[i] : Value(ErrorCode::NA);
}

// CHOOSE hands back the argument chosen as it stands, so that a chosen reference stays a
// reference (SUM(CHOOSE(2,A1:A2,A1:A3))).
Operand choose(const Args& args) {
  const Number index = toNumber(args.scalar(0));
  Operand out;
  if (index.failed) {
    out.set(Value(index.error));
    return out;
  }
  const double k = std::trunc(index.value);
  if (k < 1 || k >= static_cast<double>(args.size())) {
    out.set(Value(ErrorCode::Value));
    return out;
  }
  out = args.operand(static_cast<std::size_t>(k));
  if (out.kind == Operand::Kind::Missing) out.set(0.0);
  return out;
}

// Walks the truth values of AND/OR/XOR's arguments; text in ranges is skipped. No truth value
// at all is #VALUE!.
template <class Combine>
Value logical(const Args& args, bool start, Combine combine) {
  bool acc = start, any = false;
  std::optional<ErrorCode> error;
  for (std::size_t i = 0; i < args.size() && !error; ++i) {
    if (args.isMissing(i)) continue;
    const bool listed = args.isCollection(i);
    args.forEach(i, [&](const Value& v) {
      if (v.isEmpty() || (v.isText() && (listed || v.text().empty()))) return true;
      const Truth t = toTruth(v);
      if (t.failed) {
        error = t.error;
        return false;
      }
      acc = combine(acc, t.value);
      any = true;
      return true;
    });
  }
  if (error) return *error;
  return any ? Value(acc) : Value(ErrorCode::Value);
}

const FunctionSpec kLogical[] = {
    scalars("IF", 2, 3, ifFunction),
    scalars("IFERROR", 2, 2, [](const Value* a, std::size_t) { return a[0].isError() ? a[1] : a[0]; }),
    newer(scalars("IFNA", 2, 2, [](const Value* a, std::size_t) {
      return a[0].isError() && a[0].error() == ErrorCode::NA ? a[1] : a[0];
    })),
    newer(scalars("IFS", 2, kManyArgs, ifs)),
    newer(scalars("SWITCH", 3, kManyArgs, switchFunction)),
    rawOperand("CHOOSE", 2, kManyArgs, choose),
    raw("AND", 1, kManyArgs, [](const Args& a) { return logical(a, true, [](bool x, bool y) { return x && y; }); }),
    raw("OR", 1, kManyArgs, [](const Args& a) { return logical(a, false, [](bool x, bool y) { return x || y; }); }),
    newer(raw("XOR", 1, kManyArgs, [](const Args& a) { return logical(a, false, [](bool x, bool y) { return x != y; }); })),
    scalars("NOT", 1, 1, [](const Value* a, std::size_t) -> Value {
      const Truth t = toTruth(a[0]);
      return t.failed ? Value(t.error) : Value(!t.value);
    }),
    scalars("TRUE", 0, 0, [](const Value*, std::size_t) { return Value(true); }),
    scalars("FALSE", 0, 0, [](const Value*, std::size_t) { return Value(false); }),
};

}  // namespace

std::span<const FunctionSpec> logicalFunctions() { return kLogical; }

}  // namespace calc
