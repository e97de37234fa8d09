// The postfix machine over every kind of operand: values, references, arrays, left-out
// arguments. It takes over from the numeric machine (evaluator.cpp) wherever that stops.
#include "general_evaluator.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>
#include <vector>

#include "calc/cell_address.h"
#include "coercion.h"
#include "function_spec.h"
#include "lambda_runtime.h"
#include "operators.h"
#include "program.h"
#include "quick_arithmetic.h"

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

// A result computed in place of an operand, which may have been a LAMBDA: its tag goes too.
// Out of line: inlined, it trips GCC's maybe-uninitialized analysis of the variant's string.
[[gnu::noinline]] void setPlain(Operand& o, Value v) {
  o.set(std::move(v));
  o.range.sheet = {};
}

// Everything but plain arithmetic on two numbers; kept out of line so that the dispatch loop
// stays small enough to live in registers.
[[gnu::noinline]] void binarySlow(OperandStack& stack, Op op, const EvalContext& context) {
  Operand& a = stack.top(1);
  Operand& b = stack.top(0);
  if (op == Op::Concat && a.kind == Operand::Kind::Value && b.isScalar()) {
    appendText(a.value, b.scalar());  // in place: a chain of & stays linear
    a.range.sheet = {};  // a LAMBDA's tag, were it one: the result is a plain value
  } else if (a.isScalar() && b.isScalar()) {
    a.set(applyBinary(op, a.scalar(), b.scalar(), context));
    a.range.sheet = {};  // likewise (a single value's range is unused)
  } else if (isArray(a) || isArray(b)) {
    a = elementwise(a, b, context, [op, &context](const Value& x, const Value& y) { return applyBinary(op, x, y, context); });
  } else {
    a.set(applyBinary(op, scalarOf(a, context), scalarOf(b, context), context));
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
    a = elementwise(a, a, context, [op, &context](const Value& x, const Value&) { return applyUnary(op, x, context); });
  } else {
    setPlain(a, applyUnary(op, scalarOf(a, context), context));
  }
}

std::string_view readText(CodeReader& code, const Formula::Impl& program) {
  const auto offset = code.next<std::uint16_t>();
  const auto length = code.next<std::uint16_t>();
  return program.text(offset, length);
}

void pushRange(OperandStack& stack, CellRef first, CellRef last) {
  Operand& o = stack.push();
  o.kind = Operand::Kind::Range;
  o.range = CellRange{first.sheet, first.row, first.column, last.row, last.column};
}

void pushRange(OperandStack& stack, CodeReader& code, const Formula::Impl& program) {
  const std::string_view sheet = readText(code, program);
  CellRef first = readCell(code, sheet);
  CellRef last = readCell(code, sheet);
  if (first.row > last.row) std::swap(first.row, last.row);  // A$5:A1 filled down past row 5
  pushRange(stack, first, last);
}

// A reference as the array of its values (one value for a single cell). A range keeps the shape
// it was given, since FILTER, MMULT and the element-wise operators pair arrays by position; one
// that runs to the sheet's last row or column (A:A, B2:B1048576), or too large to copy, stops at
// the sheet's used extent, as every range walk does.
[[gnu::noinline]] void referenceToArray(Operand& top, const EvalContext& context) {
  if (top.kind != Operand::Kind::Range) return;
  const CellRange r = top.range;
  if (r.isSingleCell()) return top.set(context.cell(CellRef{r.sheet, r.row1, r.column1}));
  constexpr std::int64_t kLargestCopied = std::int64_t{1} << 22;
  const bool large = r.rows() * r.columns() > kLargestCopied;
  const CellRef extent = context.usedExtent(r.sheet);
  const std::int32_t lastRow =
      r.row2 == kMaxRows || large ? std::max(r.row1, std::min(r.row2, extent.row)) : r.row2;
  const std::int32_t lastColumn =
      r.column2 == kMaxColumns || large ? std::max(r.column1, std::min(r.column2, extent.column)) : r.column2;
  auto array = std::make_shared<Array>();
  array->rows = lastRow - r.row1 + 1;
  array->columns = lastColumn - r.column1 + 1;
  array->values.reserve(static_cast<std::size_t>(array->rows) * static_cast<std::size_t>(array->columns));
  for (std::int32_t row = r.row1; row <= lastRow; ++row)
    for (std::int32_t column = r.column1; column <= lastColumn; ++column)
      array->values.push_back(context.cell(CellRef{r.sheet, row, column}));
  top.kind = Operand::Kind::Array;
  top.array = std::move(array);
  top.sheetName.reset();
}

// a:b over references on one sheet; anything else is #VALUE!.
[[gnu::noinline]] void joinReferences(OperandStack& stack) {
  Operand& a = stack.top(1);
  const Operand& b = stack.top(0);
  if (a.kind != Operand::Kind::Range || b.kind != Operand::Kind::Range || a.range.sheet != b.range.sheet) {
    setPlain(a, ErrorCode::Value);
  } else {
    a.range.row1 = std::min(a.range.row1, b.range.row1);
    a.range.column1 = std::min(a.range.column1, b.range.column1);
    a.range.row2 = std::max(a.range.row2, b.range.row2);
    a.range.column2 = std::max(a.range.column2, b.range.column2);
  }
  stack.pop();
}

bool takesSingleValues(const FunctionSpec& function) {
  return function.takes == FunctionSpec::Takes::Number || function.takes == FunctionSpec::Takes::Numbers ||
         function.takes == FunctionSpec::Takes::Scalars;
}

// A function of single values given an array: computed for each element, the arrays broadcast
// as the operators broadcast them. The result is an array of the results.
Operand liftOverArrays(const FunctionSpec& function, std::span<const Operand> args, const EvalContext& context) {
  std::int32_t rows = 1, columns = 1;
  for (const Operand& a : args)
    if (isArray(a)) rows = std::max(rows, a.array->rows), columns = std::max(columns, a.array->columns);
  auto result = std::make_shared<Array>();
  result->rows = rows;
  result->columns = columns;
  result->values.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
  std::vector<Operand> element(args.begin(), args.end());
  for (std::int32_t r = 0; r < rows; ++r)
    for (std::int32_t c = 0; c < columns; ++c) {
      for (std::size_t i = 0; i < args.size(); ++i)
        if (isArray(args[i])) element[i].set(elementAt(args[i], r, c, context));
      result->values.push_back(callFunction(function, element, context));
    }
  Operand out;
  out.kind = Operand::Kind::Array;
  out.array = std::move(result);
  return out;
}

[[gnu::noinline]] void call(OperandStack& stack, const FunctionSpec& function, std::size_t argc,
                            const EvalContext& context) {
  if (takesSingleValues(function)) {
    const std::span<const Operand> args = stack.last(argc);
    if (std::any_of(args.begin(), args.end(), isArray)) {
      Operand result = liftOverArrays(function, args, context);
      stack.pop(argc);
      stack.push() = std::move(result);
      return;
    }
  }
  if (function.takes == FunctionSpec::Takes::Operand) {
    Operand result = function.operand(Args(stack.last(argc), context));
    stack.pop(argc);
    stack.push() = std::move(result);
    return;
  }
  Value result = callFunction(function, stack.last(argc), context);
  stack.pop(argc);
  stack.push().set(std::move(result));
}

// A value known to be no number. Out of line: inlined, it trips GCC's maybe-uninitialized
// analysis of the variant's string.
[[gnu::noinline]] void pushOther(OperandStack& stack, Value value) {
  Operand& o = stack.push();
  o.kind = Operand::Kind::Value;
  o.value = std::move(value);
}

// Runs a formula's code; LET's and LAMBDA's state is made when the first of them needs it.
class Machine final : public BodyRunner {
 public:
  Machine(const Formula::Impl& program, const EvalContext& context, std::int32_t rowShift)
      : program_(program), context_(context), rowShift_(rowShift) {}

  void run(OperandStack& stack, CodeReader& code, const std::uint8_t* end) {
    while (code.position() != end) step(stack, code);
  }
  Operand runBody(const std::uint8_t* begin, const std::uint8_t* end) override {
    // On the heap: a LAMBDA calling itself must not use up the thread's stack.
    auto stack = std::make_unique<OperandStack>(program_.maxStack);
    CodeReader code(begin, rowShift_);
    run(*stack, code, end);
    return std::move(stack->top());
  }

 private:
  void step(OperandStack& stack, CodeReader& code);
  LambdaRuntime& lambdas() {
    if (!lambdas_) {
      const std::size_t slots = program_.extras ? program_.extras->localSlots : 0;  // MAP alone binds none
      lambdas_ = std::make_unique<LambdaRuntime>(slots, *this);
    }
    return *lambdas_;
  }
  // The instructions of LET and LAMBDA, out of line so that the others' dispatch stays lean.
  [[gnu::noinline]] void lambdaStep(OperandStack& stack, CodeReader& code, Op op);
  void replaceTop(OperandStack& stack, std::size_t count, Operand result) {
    stack.pop(count);
    stack.push() = std::move(result);
  }
  void lazyIf(OperandStack& stack, CodeReader& code);

  const Formula::Impl& program_;
  const EvalContext& context_;
  std::int32_t rowShift_;
  std::unique_ptr<LambdaRuntime> lambdas_;
};

void Machine::lambdaStep(OperandStack& stack, CodeReader& code, Op op) {
  switch (op) {
    case Op::Local: stack.push() = lambdas().local(code.next<std::uint8_t>()); break;
    case Op::Bind:
      lambdas().bind(code.next<std::uint8_t>(), std::move(stack.top()));
      stack.pop();
      break;
    case Op::MakeLambda: stack.push() = lambdas().makeLambda(code); break;
    case Op::CallValue: {
      const auto argc = code.next<std::uint8_t>();
      replaceTop(stack, argc + 1u, lambdas().call(stack.top(argc), stack.last(argc)));
      break;
    }
    case Op::LambdaForm: {
      const auto form = static_cast<LambdaForm>(code.next<std::uint8_t>());
      const auto argc = code.next<std::uint8_t>();
      replaceTop(stack, argc, applyLambdaForm(form, stack.last(argc), lambdas(), context_));
      break;
    }
    default: lazyIf(stack, code); break;
  }
}

// The condition decides which branch runs; the other is skipped along with the Call to IF
// (4 bytes) after them. A condition that is an array or a range of cells goes on to that Call.
void Machine::lazyIf(OperandStack& stack, CodeReader& code) {
  const auto thenLength = code.next<std::uint16_t>();
  const auto elseLength = code.next<std::uint16_t>();
  const Operand& top = stack.top();
  const bool oneCell = top.kind == Operand::Kind::Range && top.range.isSingleCell();
  if (!top.isScalar() && !oneCell) return;
  const Truth condition = toTruth(oneCell ? scalarOf(top, context_) : top.scalar());
  stack.pop();
  const std::uint8_t* const thenStart = code.position();
  const std::uint8_t* const elseStart = thenStart + thenLength;
  code = CodeReader(elseStart + elseLength + 4, rowShift_);
  if (condition.failed) return stack.push().set(Value(condition.error));
  if (!condition.value && elseLength == 0) return stack.push().set(Value(false));
  CodeReader branch = condition.value ? CodeReader(thenStart, rowShift_) : CodeReader(elseStart, rowShift_);
  run(stack, branch, condition.value ? elseStart : elseStart + elseLength);
  Operand& result = stack.top();
  if (result.kind == Operand::Kind::Missing || result.kind == Operand::Kind::Range)
    result.set(scalarOf(result, context_));
}

void Machine::step(OperandStack& stack, CodeReader& code) {
  const Op op = code.op();
  switch (op) {
    case Op::Number: stack.push().set(code.next<double>()); break;
    case Op::String: stack.push().set(Value(std::string(readText(code, program_)))); break;
    case Op::Bool: pushOther(stack, Value(code.next<std::uint8_t>() != 0)); break;
    case Op::Error: pushOther(stack, static_cast<ErrorCode>(code.next<std::uint8_t>())); break;
    case Op::Cell: stack.push().set(context_.cell(readCell(code, {}))); break;
    case Op::SheetCell: {
      const std::string_view sheet = readText(code, program_);
      stack.push().set(context_.cell(readCell(code, sheet)));
      break;
    }
    case Op::CellRef: {
      const CellRef cell = readCell(code, {});
      pushRange(stack, cell, cell);
      break;
    }
    case Op::SheetCellRef: {
      const std::string_view sheet = readText(code, program_);
      const CellRef cell = readCell(code, sheet);
      pushRange(stack, cell, cell);
      break;
    }
    case Op::Range: pushRange(stack, code, program_); break;
    case Op::Array: {
      Operand& o = stack.push();
      o.kind = Operand::Kind::Array;
      o.array = program_.extras->arrays[code.next<std::uint16_t>()];
      break;
    }
    case Op::Missing: stack.push().kind = Operand::Kind::Missing; break;
    case Op::ToArray: referenceToArray(stack.top(), context_); break;
    case Op::RangeJoin: joinReferences(stack); break;
    case Op::Negate:
    case Op::Percent: unary(stack, op, context_); break;
    case Op::Call: {
      const auto index = code.next<std::uint16_t>();
      call(stack, functionAt(index), code.next<std::uint8_t>(), context_);
      break;
    }
    case Op::FixedCall: {
      const void* site = code.position() - 1;
      const auto index = code.next<std::uint16_t>();
      const auto argc = code.next<std::uint8_t>();
      Value known;
      switch (context_.startFixedCall(site, known)) {
        case EvalContext::FixedCall::Known:
          stack.pop(argc);
          stack.push().set(std::move(known));
          break;
        case EvalContext::FixedCall::Circular:
          stack.pop(argc);
          stack.push().set(0.0);
          break;
        case EvalContext::FixedCall::Compute:
          call(stack, functionAt(index), argc, context_);
          context_.finishFixedCall(site, stack.top().scalar());
          break;
      }
      break;
    }
    case Op::UnknownCall:
      stack.pop(code.next<std::uint8_t>());
      pushOther(stack, ErrorCode::Name);
      break;
    case Op::Local:
    case Op::Bind:
    case Op::MakeLambda:
    case Op::CallValue:
    case Op::LambdaForm:
    case Op::LazyIf: lambdaStep(stack, code, op); break;
    default: binary(stack, op, context_); break;
  }
}

}  // namespace

Value evaluateGeneral(const Formula::Impl& program, CodeReader code, std::span<const double> numbers,
                      const Value* pending, const EvalContext& context) {
  OperandStack stack(program.maxStack);
  for (double n : numbers) stack.push().set(n);
  if (pending) stack.push().set(*pending);
  Machine(program, context, code.rowShift()).run(stack, code, program.codeEnd());
  if (isLambdaValue(stack.top())) return ErrorCode::Calc;
  Value result = scalarOf(stack.top(), context);
  if (result.isEmpty()) return 0.0;
  return result;
}

}  // namespace calc
