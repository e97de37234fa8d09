// The postfix machine: a small operand stack, no allocation for numeric formulas.
#include <cmath>
#include <new>
#include <stdexcept>
#include <vector>

#include "sheets/calc/coercion.h"
#include "sheets/calc/function_spec.h"
#include "sheets/calc/operators.h"
#include "sheets/calc/program.h"

namespace calc {
namespace {

// Operands live in raw storage and are built only when pushed, so that a short formula pays
// for the few slots it uses.
class OperandStack {
 public:
  explicit OperandStack(std::size_t capacity) {
    if (capacity > kInline) {
      heap_.resize(capacity * sizeof(Operand));
      slots_ = reinterpret_cast<Operand*>(heap_.data());
    }
  }
  ~OperandStack() {
    while (size_ > 0) pop();
  }
  OperandStack(const OperandStack&) = delete;
  OperandStack& operator=(const OperandStack&) = delete;

  Operand& push() { return *new (slots_ + size_++) Operand; }
  void pop() { slots_[--size_].~Operand(); }
  void pop(std::size_t n) {
    while (n-- > 0) pop();
  }
  Operand& top(std::size_t fromTop = 0) { return slots_[size_ - 1 - fromTop]; }
  std::span<const Operand> last(std::size_t n) const { return {slots_ + size_ - n, n}; }
  std::size_t size() const { return size_; }

 private:
  static constexpr std::size_t kInline = 16;
  alignas(Operand) unsigned char inline_[kInline * sizeof(Operand)];
  std::vector<unsigned char> heap_;
  Operand* slots_ = reinterpret_cast<Operand*>(inline_);
  std::size_t size_ = 0;
};

bool isArray(const Operand& o) { return o.kind == Operand::Kind::Array; }

// Element (r, c) of an operand broadcast to a larger array: a single row or column repeats,
// positions beyond a smaller array are #N/A.
Value elementAt(const Operand& o, std::int32_t r, std::int32_t c, const EvalContext& context) {
  if (!isArray(o)) return scalarOf(o, context);
  const Array& a = *o.array;
  const std::int32_t row = a.rows == 1 ? 0 : r, column = a.columns == 1 ? 0 : c;
  if (row >= a.rows || column >= a.columns) return ErrorCode::NA;
  return a.at(row, column);
}

template <class Combine>
Operand elementwise(const Operand& a, const Operand& b, const EvalContext& context, Combine combine) {
  auto result = std::make_shared<Array>();
  result->rows = std::max(isArray(a) ? a.array->rows : 1, isArray(b) ? b.array->rows : 1);
  result->columns = std::max(isArray(a) ? a.array->columns : 1, isArray(b) ? b.array->columns : 1);
  result->values.reserve(static_cast<std::size_t>(result->rows) * result->columns);
  for (std::int32_t r = 0; r < result->rows; ++r)
    for (std::int32_t c = 0; c < result->columns; ++c)
      result->values.push_back(combine(elementAt(a, r, c, context), elementAt(b, r, c, context)));
  Operand out;
  out.kind = Operand::Kind::Array;
  out.array = std::move(result);
  return out;
}

// Plain finite arithmetic on two numbers; false sends the case (errors, overflow, underflow,
// awkward powers) to the general path.
inline bool quickArithmetic(Op op, double x, double y, double& out) {
  switch (op) {
    case Op::Add: out = x + y; break;
    case Op::Subtract: out = x - y; break;
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
  const double magnitude = std::fabs(out);
  return (magnitude >= 2.2250738585072014e-308 && magnitude <= 1.7976931348623157e308) || out == 0;
}

// Everything but plain arithmetic on two numbers; kept out of line so that the dispatch loop
// stays small enough to live in registers.
[[gnu::noinline]] void binarySlow(OperandStack& stack, Op op, const EvalContext& context) {
  Operand& a = stack.top(1);
  Operand& b = stack.top(0);
  if (a.isScalar() && b.isScalar()) {
    a.set(applyBinary(op, a.scalar(), b.scalar()));
  } else if (isArray(a) || isArray(b)) {
    a = elementwise(a, b, context, [op](const Value& x, const Value& y) { return applyBinary(op, x, y); });
  } else {
    a.set(applyBinary(op, scalarOf(a, context), scalarOf(b, context)));
  }
  stack.pop();
}

inline void binary(OperandStack& stack, Op op, const EvalContext& context) {
  Operand& a = stack.top(1);
  const Operand& b = stack.top(0);
  double quick;
  if (a.kind == Operand::Kind::Number && b.kind == Operand::Kind::Number &&
      quickArithmetic(op, a.number, b.number, quick)) {
    a.number = quick + 0.0;  // + 0.0 turns -0 into 0
    stack.pop();
  } else {
    binarySlow(stack, op, context);
  }
}

[[gnu::noinline]] void unary(OperandStack& stack, Op op, const EvalContext& context) {
  Operand& a = stack.top();
  if (a.kind == Operand::Kind::Number && op == Op::Negate) {
    a.number = 0.0 - a.number;
  } else if (isArray(a)) {
    a = elementwise(a, a, context, [op](const Value& x, const Value&) { return applyUnary(op, x); });
  } else {
    a.set(applyUnary(op, scalarOf(a, context)));
  }
}

[[gnu::noinline]] void pushReference(OperandStack& stack, const Formula::Impl& program, std::uint32_t index) {
  const ReferenceSpec& spec = program.references[index];
  Operand& o = stack.push();
  o.kind = Operand::Kind::Range;
  o.range = CellRange{spec.sheet < 0 ? std::string_view() : std::string_view(program.sheets[spec.sheet]),
                      spec.row1, spec.column1, spec.row2, spec.column2};
}

[[gnu::noinline]] void call(OperandStack& stack, const FunctionSpec& function, std::size_t argc,
                            const EvalContext& context) {
  Value result = callFunction(function, stack.last(argc), context);
  stack.pop(argc);
  stack.push().set(std::move(result));
}

}  // namespace

Value evaluate(const Formula& formula, const EvalContext& context) {
  const Formula::Impl& program = formula.impl();
  if (program.code.empty()) throw std::logic_error("evaluate: the formula was never parsed");
  OperandStack stack(program.maxStack);
  for (const Instruction& in : program.code) {
    switch (in.op) {
      case Op::Number: stack.push().set(in.number); break;
      case Op::String: stack.push().set(program.strings[in.index]); break;
      case Op::Bool: stack.push().set(Value(in.number != 0)); break;
      case Op::Error:
      case Op::Name: stack.push().set(static_cast<ErrorCode>(static_cast<int>(in.number))); break;
      case Op::Reference: pushReference(stack, program, in.index); break;
      case Op::Array: {
        Operand& o = stack.push();
        o.kind = Operand::Kind::Array;
        o.array = program.arrays[in.index];
        break;
      }
      case Op::Missing: stack.push().kind = Operand::Kind::Missing; break;
      case Op::Negate:
      case Op::Percent: unary(stack, in.op, context); break;
      case Op::Call: call(stack, *in.function, in.argc, context); break;
      case Op::UnknownCall:
        stack.pop(in.argc);
        stack.push().set(ErrorCode::Name);
        break;
      default: binary(stack, in.op, context); break;
    }
  }
  Value result = scalarOf(stack.top(), context);
  if (result.isEmpty()) return 0.0;
  return result;
}

}  // namespace calc
