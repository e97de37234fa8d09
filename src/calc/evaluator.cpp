// The numeric fast path: most formulas that plot equations only ever hold numbers, so they run
// on a fixed stack of doubles with no Value on it. The first operand or result that is not a
// plain number hands the whole state over to the general evaluator, which goes on from there.
#include <stdexcept>

#include "excel_arithmetic.h"
#include "function_spec.h"
#include "general_evaluator.h"
#include "program.h"
#include "quick_arithmetic.h"

namespace calc {
namespace {

constexpr std::size_t kFastStack = 64;

// Replaces the top two numbers with `result` when it is plain (see quickArithmetic); false
// leaves the stack as it was for the general path.
inline bool plainBinary(double& top, std::size_t& size, double result) {
  if (!isPlainResult(result)) return false;
  top = result + 0.0;  // + 0.0 turns -0 into 0
  --size;
  return true;
}

// Whether `function` can run on the top `argc` numbers of the stack (see callOnNumbers).
bool takesNumbers(const FunctionSpec& function, std::size_t argc) {
  return function.takes == FunctionSpec::Takes::Number ||
         (function.takes == FunctionSpec::Takes::Numbers && argc <= kMaxNumberArgs);
}

// A function that takesNumbers(), on the top `argc` numbers. The result is returned rather than
// assigned so that it is built in place, not moved into a Value that already exists.
Value callOnNumbers(const FunctionSpec& function, const double* top, std::size_t argc) {
  if (function.takes == FunctionSpec::Takes::Number) return function.unary(top[0]);
  double x[kMaxNumberArgs] = {};  // bodies may read past argc and find 0
  for (std::size_t i = 0; i < argc; ++i) x[i] = top[i];
  return function.numbers(x, argc);
}

// Goes on at `at` in the general evaluator, with `pending` (a value the instruction before
// produced that is no number) on top of the numbers.
[[gnu::noinline]] Value handOver(const Formula::Impl& program, std::int32_t rowShift, const std::uint8_t* at,
                                 const double* stack, std::size_t size, const Value* pending,
                                 const EvalContext& context) {
  return evaluateGeneral(program, CodeReader(at, rowShift), {stack, size}, pending, context);
}

// The stack height and the top number live in locals, so that they stay in registers across
// the context's virtual calls and a chain of operators never waits on memory. The numbers
// below the top sit in below[1..size-1]; below[0] is scratch, so that a push stores the old
// top without asking whether there is one.
Value runNumeric(const Formula::Impl& program, const EvalContext& context, std::int32_t rowShift) {
  const FunctionSpec* const* functions = functionTable().data();
  double below[kFastStack + 1];
  double top = 0;
  std::size_t size = 0;
  const auto push = [&](double x) {
    below[size++] = top;
    top = x;
  };
  // The whole stack in memory, in order, for the general evaluator.
  const auto flushed = [&]() -> const double* {
    below[size] = top;
    return below + 1;
  };
  CodeReader code(program.code(), rowShift);
  const std::uint8_t* const end = program.codeEnd();
  while (code.position() != end) {
    const std::uint8_t* const at = code.position();
    const Op op = code.op();
    switch (op) {
      case Op::Number: push(code.next<double>()); break;
      case Op::Cell: {
        const Value v = context.cell(readCell(code, {}));
        if (!v.isNumber()) return handOver(program, rowShift, code.position(), flushed(), size, &v, context);
        push(v.number());
        break;
      }
      case Op::SheetCell: {
        const auto offset = code.next<std::uint16_t>();
        const std::string_view sheet = program.text(offset, code.next<std::uint16_t>());
        const Value v = context.cell(readCell(code, sheet));
        if (!v.isNumber()) return handOver(program, rowShift, code.position(), flushed(), size, &v, context);
        push(v.number());
        break;
      }
      case Op::Negate: top = 0.0 - top; break;
      case Op::Percent: {
        const double y = top / 100;
        if (!isPlainResult(y)) return handOver(program, rowShift, at, flushed(), size, nullptr, context);
        top = y + 0.0;
        break;
      }
      // Each operator has its own case, so that the op is not dispatched on a second time.
      case Op::Add:
        if (!plainBinary(top, size, below[size - 1] + top))
          return handOver(program, rowShift, at, flushed(), size, nullptr, context);
        break;
      case Op::Subtract:
        if (!plainBinary(top, size, below[size - 1] - top))
          return handOver(program, rowShift, at, flushed(), size, nullptr, context);
        break;
      case Op::FinalAdd:
        if (!plainBinary(top, size, finalSum(below[size - 1], top)))
          return handOver(program, rowShift, at, flushed(), size, nullptr, context);
        break;
      case Op::FinalSubtract:
        if (!plainBinary(top, size, finalSum(below[size - 1], -top)))
          return handOver(program, rowShift, at, flushed(), size, nullptr, context);
        break;
      case Op::Multiply:
        if (!plainBinary(top, size, below[size - 1] * top))
          return handOver(program, rowShift, at, flushed(), size, nullptr, context);
        break;
      case Op::Divide:
        if (top == 0 || !plainBinary(top, size, below[size - 1] / top))
          return handOver(program, rowShift, at, flushed(), size, nullptr, context);
        break;
      case Op::Power: {
        double y;
        if (!quickArithmetic(op, below[size - 1], top, y))
          return handOver(program, rowShift, at, flushed(), size, nullptr, context);
        top = y + 0.0;  // + 0.0 turns -0 into 0
        --size;
        break;
      }
      case Op::Call: {
        const auto index = code.next<std::uint16_t>();
        const auto argc = code.next<std::uint8_t>();
        const FunctionSpec& function = *functions[index];
        if (!takesNumbers(function, argc))
          return handOver(program, rowShift, at, flushed(), size, nullptr, context);
        const Value v = callOnNumbers(function, flushed() + size - argc, argc);
        size -= argc;
        // The numbers left are in memory already (flushed above): the result only goes on top.
        if (!v.isNumber()) return handOver(program, rowShift, code.position(), below + 1, size, &v, context);
        top = v.number();
        ++size;
        break;
      }
      default: return handOver(program, rowShift, at, flushed(), size, nullptr, context);
    }
  }
  return top;
}

}  // namespace

Value evaluate(const Formula& formula, const EvalContext& context, std::int32_t rowShift) {
  const Formula::Impl& program = formula.impl();
  if (program.codeLength == 0) throw std::logic_error("evaluate: the formula was never parsed");
  if (program.extras && program.extras->uncomputable) return ErrorCode::Uncomputed;
  if (program.maxStack > kFastStack)
    return evaluateGeneral(program, CodeReader(program.code(), rowShift), {}, nullptr, context);
  return runNumeric(program, context, rowShift);
}

}  // namespace calc
