#pragma once
// Formula text to postfix code (Formula::Impl): operands and functions read one by one,
// binary operators by precedence climbing over Excel's order: range, negation, %, ^, * /, + -,
// &, comparisons. Depth and length are bounded, so hostile
// input is refused with a position instead of exhausting the stack. Names that LET and LAMBDA
// bind are resolved here, by scope, to the evaluation's slots (see Op::Local).
#include <cstdint>
#include <memory>
#include <string_view>
#include <variant>
#include <vector>

#include "program.h"

namespace calc {

std::variant<std::unique_ptr<Formula::Impl>, ParseError> compileFormula(std::string_view text);

// A name that LET or LAMBDA binds, where the text writes it without the "_xlpm." prefix a file
// needs: the name alone, or "[name]" for an optional parameter (the file's "_xlop.name"); or a
// function passed by its name alone (MAP(A1:A3,ABS)), which a file writes "_xleta.ABS".
struct BoundNameSpan {
  std::uint16_t offset = 0;
  std::uint16_t length = 0;
  bool optional = false;
  bool function = false;
};

// Every such name of `text`, in order; none when it binds no name or does not parse.
std::vector<BoundNameSpan> boundNameSpans(std::string_view text);

}  // namespace calc
