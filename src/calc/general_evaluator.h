#pragma once
// The evaluator for any formula, resumable mid-way: the numeric fast path hands over its stack
// of numbers (and the value it could not take) and the instruction to go on with.
#include <cstdint>
#include <span>

#include "program.h"

namespace calc {

// Runs `program` from where `code` stands to the end. The stack starts as `numbers` (bottom
// first) with `pending`, if given, on top.
Value evaluateGeneral(const Formula::Impl& program, CodeReader code, std::span<const double> numbers,
                      const Value* pending, const EvalContext& context);

}  // namespace calc
