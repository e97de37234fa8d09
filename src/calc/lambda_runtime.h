#pragma once
// What LET and LAMBDA need while a formula is evaluated: the slots of the names they bind, the
// LAMBDA values made so far, and the limits that stop runaway recursion.
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "lambda_forms.h"
#include "program.h"

namespace calc {

// Runs a stretch of the formula's code (a LAMBDA's body) on a stack of its own.
class BodyRunner {
 public:
  virtual Operand runBody(const std::uint8_t* begin, const std::uint8_t* end) = 0;

 protected:
  ~BodyRunner() = default;
};

// Calls nested deeper than this, or more calls than kMaxLambdaCalls in one formula, give #NUM!.
inline constexpr int kMaxLambdaDepth = 200;
inline constexpr std::int64_t kMaxLambdaCalls = std::int64_t{1} << 22;

// Whether the value is a LAMBDA (which a cell cannot hold: left uncalled it shows #CALC!).
bool isLambdaValue(const Operand& value);

class LambdaRuntime final : public LambdaCaller {
 public:
  LambdaRuntime(std::size_t slots, BodyRunner& runner) : slots_(slots), runner_(runner) {}

  const Operand& local(std::uint8_t slot) const { return slots_[slot]; }
  void bind(std::uint8_t slot, Operand value) { slots_[slot] = std::move(value); }
  // Reads the rest of a MakeLambda instruction from `code` (leaving it after the instruction)
  // and returns the LAMBDA value.
  Operand makeLambda(CodeReader& code);

  std::optional<std::size_t> parameterCount(const Operand& value) const override;
  Operand call(const Operand& callee, std::span<const Operand> args) override;

 private:
  struct Closure {
    const std::uint8_t* body;
    std::uint16_t length;
    std::uint8_t firstSlot, parameters, required;
    std::vector<std::pair<std::uint8_t, Operand>> captured;
  };
  const Closure* closureOf(const Operand& value) const;
  Operand runClosure(const Closure& closure, std::span<const Operand> args);

  std::vector<Operand> slots_;
  std::vector<Closure> closures_;
  std::vector<std::pair<const std::uint8_t*, std::size_t>> uncaptured_;  // body, closure
  BodyRunner& runner_;
  int depth_ = 0;
  std::int64_t calls_ = 0;
  bool exhausted_ = false;  // a limit was reached: every later call fails at once
};

}  // namespace calc
