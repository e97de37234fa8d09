#pragma once
// A range, an array or a single value read as a block of values by row and column, for the
// functions that pair cells up by position (SUMIFS, SUMPRODUCT, MMULT, the database functions).
#include <algorithm>
#include <cstdint>

#include "function_spec.h"

namespace calc {

class ValueGrid {
 public:
  ValueGrid(const Operand& operand, const EvalContext& context) : operand_(&operand), context_(&context) {
    if (operand.kind == Operand::Kind::Range) {
      range_ = operand.range;
      rows_ = range_.rows();
      columns_ = range_.columns();
      const CellRef extent = context.usedExtent(range_.sheet);
      usedRows_ = std::clamp<std::int64_t>(extent.row - range_.row1 + 1, 0, rows_);
      usedColumns_ = std::clamp<std::int64_t>(extent.column - range_.column1 + 1, 0, columns_);
    } else if (operand.kind == Operand::Kind::Array) {
      usedRows_ = rows_ = operand.array->rows;
      usedColumns_ = columns_ = operand.array->columns;
    }
  }

  // The same block cut or grown to rows x columns from its top-left cell (SUMIF's sum range
  // takes the criteria range's shape). Only ranges grow; an array keeps its values.
  ValueGrid resized(std::int64_t rows, std::int64_t columns) const {
    ValueGrid grid = *this;
    if (operand_->kind != Operand::Kind::Range) return grid;
    grid.rows_ = rows;
    grid.columns_ = columns;
    const CellRef extent = context_->usedExtent(range_.sheet);
    grid.usedRows_ = std::clamp<std::int64_t>(extent.row - range_.row1 + 1, 0, rows);
    grid.usedColumns_ = std::clamp<std::int64_t>(extent.column - range_.column1 + 1, 0, columns);
    return grid;
  }

  std::int64_t rows() const { return rows_; }
  std::int64_t columns() const { return columns_; }
  std::int64_t size() const { return rows_ * columns_; }
  // Past these every cell is empty: walks stop there.
  std::int64_t usedRows() const { return usedRows_; }
  std::int64_t usedColumns() const { return usedColumns_; }
  bool sameShape(const ValueGrid& other) const { return rows_ == other.rows_ && columns_ == other.columns_; }

  // The value at a 0-based position; empty outside the block.
  Value at(std::int64_t row, std::int64_t column) const {
    if (row < 0 || column < 0 || row >= usedRows_ || column >= usedColumns_) return Value();
    switch (operand_->kind) {
      case Operand::Kind::Range:
        return context_->cell(CellRef{range_.sheet, static_cast<std::int32_t>(range_.row1 + row),
                                      static_cast<std::int32_t>(range_.column1 + column)});
      case Operand::Kind::Array:
        return operand_->array->at(static_cast<std::int32_t>(row), static_cast<std::int32_t>(column));
      case Operand::Kind::Missing: return Value();
      default: return operand_->scalar();
    }
  }

 private:
  const Operand* operand_;
  const EvalContext* context_;
  CellRange range_;
  std::int64_t rows_ = 1, columns_ = 1, usedRows_ = 1, usedColumns_ = 1;
};

}  // namespace calc
