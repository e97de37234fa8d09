#pragma once
// What sits on the evaluation stack: a value, a reference to cells not yet read, a constant
// or computed array, or an argument left out (as in ROUND(2.5,)).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "calc/value.h"

namespace calc {

struct CellRange {
  std::string_view sheet;
  std::int32_t row1 = 0, column1 = 0, row2 = 0, column2 = 0;

  bool isSingleCell() const { return row1 == row2 && column1 == column2; }
  std::int64_t rows() const { return row2 - row1 + 1; }
  std::int64_t columns() const { return column2 - column1 + 1; }
};

struct Array {
  std::int32_t rows = 0, columns = 0;
  std::vector<Value> values;  // row by row

  const Value& at(std::int32_t row, std::int32_t column) const {
    return values[static_cast<std::size_t>(row) * columns + column];
  }
};

// Numbers are kept apart from other values so that numeric formulas never touch a variant.
struct Operand {
  enum class Kind : std::uint8_t { Number, Value, Range, Array, Missing };

  Kind kind = Kind::Number;
  double number = 0;  // Kind::Number
  Value value;        // Kind::Value: text, boolean, error or empty
  CellRange range;
  std::shared_ptr<const Array> array;
  // Keeps a sheet name computed at evaluation (INDIRECT's) alive while `range` points into it.
  std::shared_ptr<const std::string> sheetName;

  void set(double n) {
    kind = Kind::Number;
    number = n;
  }
  void set(Value v) {
    if (v.isNumber()) return set(v.number());
    kind = Kind::Value;
    value = std::move(v);
  }
  bool isScalar() const { return kind == Kind::Number || kind == Kind::Value; }
  Value scalar() const { return kind == Kind::Number ? Value(number) : value; }
};

}  // namespace calc
