#pragma once
// The compiled form of a formula (Formula::Impl): postfix code over a small operand stack.
// Function calls are resolved to table entries when the formula is parsed.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sheets/calc/formula.h"
#include "sheets/calc/operand.h"

namespace calc {

struct FunctionSpec;

enum class Op : std::uint8_t {
  Number, String, Bool, Error, Reference, Array, Missing, Name,
  Negate, Percent,
  Power, Multiply, Divide, Add, Subtract, Concat,
  Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual,
  Call, UnknownCall,
};

struct Instruction {
  double number = 0;        // Number: the value; Bool: 0 or 1; Error: the ErrorCode
  const FunctionSpec* function = nullptr;  // Call
  std::uint32_t index = 0;  // String, Reference, Array: pool index
  Op op = Op::Number;
  std::uint16_t argc = 0;   // Call, UnknownCall
};

// A reference as written: the sheet is an index into Impl::sheets, -1 for the formula's own.
struct ReferenceSpec {
  std::int32_t sheet = -1;
  std::int32_t row1 = 0, column1 = 0, row2 = 0, column2 = 0;
};

}  // namespace calc

struct calc::Formula::Impl {
  std::vector<Instruction> code;
  std::vector<std::string> strings;
  std::vector<std::string> sheets;
  std::vector<ReferenceSpec> references;
  std::vector<std::shared_ptr<const Array>> arrays;
  std::vector<std::string> unknownFunctions;  // names called that the table does not hold
  std::uint32_t maxStack = 0;
};
