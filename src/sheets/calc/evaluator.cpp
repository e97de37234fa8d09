// The numeric fast path: most formulas that plot equations only ever hold numbers, so they run
// on a fixed stack of doubles with no Value on it. The first operand or result that is not a
// plain number hands the whole state over to the general evaluator, which goes on from there.
#include <stdexcept>

#include "sheets/calc/function_spec.h"
#include "sheets/calc/general_evaluator.h"
#include "sheets/calc/program.h"
#include "sheets/calc/quick_arithmetic.h"

namespace calc {
namespace {

constexpr std::size_t kFastStack = 64;

CellRef readCell(CodeReader& code, std::string_view sheet) {
  const auto row = code.next<std::int32_t>();
  const auto column = code.next<std::uint16_t>();
  return CellRef{sheet, row, column};
}

// A function of numbers on the top `argc` numbers; false when it is some other kind.
bool callOnNumbers(const FunctionSpec& function, const double* top, std::size_t argc, Value& result) {
  if (function.takes == FunctionSpec::Takes::Number) {
    result = function.unary(top[0]);
    return true;
  }
  if (function.takes != FunctionSpec::Takes::Numbers || argc > kMaxNumberArgs) return false;
  double x[kMaxNumberArgs] = {};  // bodies may read past argc and find 0
  for (std::size_t i = 0; i < argc; ++i) x[i] = top[i];
  result = function.numbers(x, argc);
  return true;
}

// Goes on at `at` in the general evaluator, with `pending` (a value the instruction before
// produced that is no number) on top of the numbers.
[[gnu::noinline]] Value handOver(const Formula::Impl& program, const std::uint8_t* at,
                                 const double* stack, std::size_t size, const Value* pending,
                                 const EvalContext& context) {
  return evaluateGeneral(program, at, {stack, size}, pending, context);
}

// The stack height lives in a local so that it stays in a register across the context's
// virtual calls.
Value runNumeric(const Formula::Impl& program, const EvalContext& context) {
  const FunctionSpec* const* functions = functionTable().data();
  double stack[kFastStack];
  std::size_t size = 0;
  CodeReader code(program.code());
  const std::uint8_t* const end = program.codeEnd();
  while (code.position() != end) {
    const std::uint8_t* const at = code.position();
    const Op op = code.op();
    switch (op) {
      case Op::Number: stack[size++] = code.next<double>(); break;
      case Op::Cell:
      case Op::SheetCell: {
        std::string_view sheet;
        if (op == Op::SheetCell) {
          const auto offset = code.next<std::uint16_t>();
          sheet = program.text(offset, code.next<std::uint16_t>());
        }
        const Value v = context.cell(readCell(code, sheet));
        if (!v.isNumber()) return handOver(program, code.position(), stack, size, &v, context);
        stack[size++] = v.number();
        break;
      }
      case Op::Negate: stack[size - 1] = 0.0 - stack[size - 1]; break;
      case Op::Percent: {
        const double y = stack[size - 1] / 100;
        if (!isPlainResult(y)) return handOver(program, at, stack, size, nullptr, context);
        stack[size - 1] = y + 0.0;
        break;
      }
      case Op::Power:
      case Op::Multiply:
      case Op::Divide:
      case Op::Add:
      case Op::Subtract: {
        double y;
        if (!quickArithmetic(op, stack[size - 2], stack[size - 1], y))
          return handOver(program, at, stack, size, nullptr, context);
        stack[size - 2] = y + 0.0;  // + 0.0 turns -0 into 0
        --size;
        break;
      }
      case Op::Call: {
        const auto index = code.next<std::uint16_t>();
        const auto argc = code.next<std::uint8_t>();
        Value v;
        if (!callOnNumbers(*functions[index], stack + size - argc, argc, v))
          return handOver(program, at, stack, size, nullptr, context);
        size -= argc;
        if (!v.isNumber()) return handOver(program, code.position(), stack, size, &v, context);
        stack[size++] = v.number();
        break;
      }
      default: return handOver(program, at, stack, size, nullptr, context);
    }
  }
  return stack[0];
}

}  // namespace

Value evaluate(const Formula& formula, const EvalContext& context) {
  const Formula::Impl& program = formula.impl();
  if (program.codeLength == 0) throw std::logic_error("evaluate: the formula was never parsed");
  if (program.maxStack > kFastStack)
    return evaluateGeneral(program, program.code(), {}, nullptr, context);
  return runNumeric(program, context);
}

}  // namespace calc
