#pragma once
// Formula text to postfix code (Formula::Impl): operands and functions read one by one,
// binary operators by precedence climbing over Excel's order: range, negation, %, ^, * /, + -,
// &, comparisons. Depth and length are bounded, so hostile
// input is refused with a position instead of exhausting the stack.
#include <memory>
#include <string_view>
#include <variant>

#include "program.h"

namespace calc {

std::variant<std::unique_ptr<Formula::Impl>, ParseError> compileFormula(std::string_view text);

}  // namespace calc
