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

class NumericMachine {
 public:
  NumericMachine(const Formula::Impl& program, const EvalContext& context)
      : program_(program), context_(context) {}

  Value run() {
    CodeReader code(program_.code());
    const std::uint8_t* const end = program_.codeEnd();
    while (code.position() != end) {
      const std::uint8_t* const at = code.position();
      const Op op = code.op();
      switch (op) {
        case Op::Number: stack_[size_++] = code.next<double>(); break;
        case Op::Cell: {
          Value v = context_.cell(readCell(code, {}));
          if (!v.isNumber()) return handOver(code.position(), &v);
          stack_[size_++] = v.number();
          break;
        }
        case Op::SheetCell: {
          const auto offset = code.next<std::uint16_t>();
          const auto length = code.next<std::uint16_t>();
          Value v = context_.cell(readCell(code, program_.text(offset, length)));
          if (!v.isNumber()) return handOver(code.position(), &v);
          stack_[size_++] = v.number();
          break;
        }
        case Op::Negate: stack_[size_ - 1] = 0.0 - stack_[size_ - 1]; break;
        case Op::Percent: {
          const double y = stack_[size_ - 1] / 100;
          if (!isPlainResult(y)) return handOver(at);
          stack_[size_ - 1] = y + 0.0;
          break;
        }
        case Op::Power:
        case Op::Multiply:
        case Op::Divide:
        case Op::Add:
        case Op::Subtract: {
          double y;
          if (!quickArithmetic(op, stack_[size_ - 2], stack_[size_ - 1], y)) return handOver(at);
          stack_[size_ - 2] = y + 0.0;  // + 0.0 turns -0 into 0
          --size_;
          break;
        }
        case Op::Call: {
          const auto index = code.next<std::uint16_t>();
          const auto argc = code.next<std::uint8_t>();
          const FunctionSpec& function = *functions_[index];
          Value v;
          if (!callOnNumbers(function, stack_ + size_ - argc, argc, v)) return handOver(at);
          size_ -= argc;
          if (!v.isNumber()) return handOver(code.position(), &v);
          stack_[size_++] = v.number();
          break;
        }
        default: return handOver(at);
      }
    }
    return stack_[0];
  }

 private:
  // Goes on at `at` in the general evaluator, with `pending` (a value the instruction before
  // produced that is no number) on top of the numbers.
  [[gnu::noinline]] Value handOver(const std::uint8_t* at, const Value* pending = nullptr) {
    return evaluateGeneral(program_, at, {stack_, size_}, pending, context_);
  }

  const Formula::Impl& program_;
  const EvalContext& context_;
  const FunctionSpec* const* functions_ = functionTable().data();
  std::size_t size_ = 0;
  double stack_[kFastStack];
};

}  // namespace

Value evaluate(const Formula& formula, const EvalContext& context) {
  const Formula::Impl& program = formula.impl();
  if (program.codeLength == 0) throw std::logic_error("evaluate: the formula was never parsed");
  if (program.maxStack > kFastStack)
    return evaluateGeneral(program, program.code(), {}, nullptr, context);
  return NumericMachine(program, context).run();
}

}  // namespace calc
