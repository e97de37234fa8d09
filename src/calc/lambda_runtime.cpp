#include "lambda_runtime.h"

namespace calc {
namespace {

// A LAMBDA value on the stack. Every function that does not call it sees an error value, the
// stand-in for the spreadsheet's #CALC!; only the tag in `range` tells it apart.
constexpr char kLambdaTag[] = "LAMBDA";

Operand errorOperand(ErrorCode code) {
  Operand o;
  o.set(Value(code));
  return o;
}

// A parameter the call leaves out, which ISOMITTED tells apart.
[[gnu::noinline]] const Operand& leftOut() {
  static const Operand missing = [] {
    Operand o;
    o.kind = Operand::Kind::Missing;
    return o;
  }();
  return missing;
}

Operand lambdaValue(std::size_t index) {
  Operand value = errorOperand(ErrorCode::Value);
  value.range.sheet = std::string_view(kLambdaTag, 0);
  value.range.row1 = static_cast<std::int32_t>(index);
  return value;
}

}  // namespace

Operand LambdaRuntime::makeLambda(CodeReader& code) {
  Closure closure;
  closure.length = code.next<std::uint16_t>();
  closure.firstSlot = code.next<std::uint8_t>();
  closure.parameters = code.next<std::uint8_t>();
  closure.required = code.next<std::uint8_t>();
  closure.body = code.position();
  code = CodeReader(closure.body + closure.length, code.rowShift());
  const auto captures = code.next<std::uint8_t>();
  closure.captured.reserve(captures);
  for (std::uint8_t i = 0; i < captures; ++i) {
    const auto slot = code.next<std::uint8_t>();
    closure.captured.emplace_back(slot, slots_[slot]);
  }
  // One that reads no outside name is the same value every time it is made (MAP's LAMBDA
  // nested in another's body): made once.
  if (captures == 0) {
    for (const auto& [body, index] : uncaptured_)
      if (body == closure.body) return lambdaValue(index);
    uncaptured_.emplace_back(closure.body, closures_.size());
  }
  closures_.push_back(std::move(closure));
  return lambdaValue(closures_.size() - 1);
}

bool isLambdaValue(const Operand& value) {
  return value.kind == Operand::Kind::Value && value.range.sheet.data() == kLambdaTag;
}

const LambdaRuntime::Closure* LambdaRuntime::closureOf(const Operand& value) const {
  if (!isLambdaValue(value)) return nullptr;
  return &closures_[static_cast<std::size_t>(value.range.row1)];
}

std::optional<std::size_t> LambdaRuntime::parameterCount(const Operand& value) const {
  const Closure* closure = closureOf(value);
  if (!closure) return std::nullopt;
  return closure->parameters;
}

Operand LambdaRuntime::call(const Operand& callee, std::span<const Operand> args) {
  const Closure* closure = closureOf(callee);
  if (!closure || args.size() > closure->parameters || args.size() < closure->required)
    return errorOperand(ErrorCode::Value);
  if (exhausted_ || depth_ >= kMaxLambdaDepth || ++calls_ > kMaxLambdaCalls) {
    exhausted_ = true;
    return errorOperand(ErrorCode::Num);
  }
  // The vector may grow while the body runs: work on a copy.
  const Closure copy = *closure;
  return runClosure(copy, args);
}

// The parameters and captured names take their values for the call and get back their old
// ones afterwards, so that a call nested in another (or in itself) leaves the caller's intact.
Operand LambdaRuntime::runClosure(const Closure& closure, std::span<const Operand> args) {
  std::vector<std::pair<std::uint8_t, Operand>> saved;
  saved.reserve(closure.parameters + closure.captured.size());
  for (const auto& [slot, value] : closure.captured) {
    saved.emplace_back(slot, std::move(slots_[slot]));
    slots_[slot] = value;
  }
  for (std::uint8_t i = 0; i < closure.parameters; ++i) {
    const auto slot = static_cast<std::uint8_t>(closure.firstSlot + i);
    saved.emplace_back(slot, std::move(slots_[slot]));
    slots_[slot] = i < args.size() ? args[i] : leftOut();
  }
  ++depth_;
  Operand result = runner_.runBody(closure.body, closure.body + closure.length);
  --depth_;
  for (auto it = saved.rbegin(); it != saved.rend(); ++it) slots_[it->first] = std::move(it->second);
  return result;
}

}  // namespace calc
