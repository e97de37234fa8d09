#pragma once
// What sits on the evaluation stack: a value, a reference to cells not yet read, a constant
// or computed array, or an argument left out (as in ROUND(2.5,)).
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "sheets/calc/value.h"

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

struct Operand {
  enum class Kind : std::uint8_t { Value, Range, Array, Missing };

  Kind kind = Kind::Value;
  Value value;
  CellRange range;
  std::shared_ptr<const Array> array;

  static Operand of(Value v) {
    Operand o;
    o.value = std::move(v);
    return o;
  }
  bool isValue() const { return kind == Kind::Value; }
};

}  // namespace calc
