#pragma once
// Ranges and arrays seen the same way by the lookup and reference functions: a grid of rows
// and columns read one cell at a time, and its rows and columns as lines to search.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>

#include "coercion.h"
#include "function_spec.h"

namespace calc {

class Grid {
 public:
  // A range, an array, or a single value as a 1 x 1 grid.
  Grid(const Operand& operand, const EvalContext& context) : operand_(operand), context_(context) {
    if (operand.kind == Operand::Kind::Range) {
      const CellRange& r = operand.range;
      rows_ = r.rows();
      columns_ = r.columns();
      // Past the cells written every cell is empty: searches stop there.
      const CellRef extent = context.usedExtent(r.sheet);
      usedRows_ = std::clamp<std::int64_t>(extent.row - r.row1 + 1, 0, rows_);
      usedColumns_ = std::clamp<std::int64_t>(extent.column - r.column1 + 1, 0, columns_);
    } else if (operand.kind == Operand::Kind::Array) {
      rows_ = usedRows_ = operand.array->rows;
      columns_ = usedColumns_ = operand.array->columns;
    }
  }

  std::int64_t rows() const { return rows_; }
  std::int64_t columns() const { return columns_; }
  std::int64_t usedRows() const { return usedRows_; }
  std::int64_t usedColumns() const { return usedColumns_; }
  bool isRange() const { return operand_.kind == Operand::Kind::Range; }
  bool isLine() const { return rows_ == 1 || columns_ == 1; }

  // Cell (row, column), both from 0.
  Value at(std::int64_t row, std::int64_t column) const {
    switch (operand_.kind) {
      case Operand::Kind::Range: {
        if (row >= usedRows_ || column >= usedColumns_) return Value();
        const CellRange& r = operand_.range;
        return context_.cell(CellRef{r.sheet, r.row1 + static_cast<std::int32_t>(row),
                                     r.column1 + static_cast<std::int32_t>(column)});
      }
      case Operand::Kind::Array:
        return operand_.array->at(static_cast<std::int32_t>(row), static_cast<std::int32_t>(column));
      case Operand::Kind::Missing: return Value();
      default: return operand_.scalar();
    }
  }

  // Rows [row, row + rows) and columns [column, column + columns) as an operand of the same
  // kind: a reference stays a reference (with its sheet), an array becomes a smaller array.
  Operand part(std::int64_t row, std::int64_t column, std::int64_t rows, std::int64_t columns) const {
    Operand out = operand_;
    if (operand_.kind == Operand::Kind::Range) {
      out.range.row1 += static_cast<std::int32_t>(row);
      out.range.column1 += static_cast<std::int32_t>(column);
      out.range.row2 = out.range.row1 + static_cast<std::int32_t>(rows) - 1;
      out.range.column2 = out.range.column1 + static_cast<std::int32_t>(columns) - 1;
      return out;
    }
    if (operand_.kind != Operand::Kind::Array) return out;
    return values(row, column, rows, columns);
  }

  // The same part as values: a single value, or an array that a cell shows from its top-left
  // (where a range would be cut down to the formula's own row or column).
  Operand values(std::int64_t row, std::int64_t column, std::int64_t rows, std::int64_t columns) const {
    Operand out;
    if (rows == 1 && columns == 1) {
      out = Operand();
      out.set(at(row, column));
      return out;
    }
    out.kind = Operand::Kind::Array;
    auto array = std::make_shared<Array>();
    array->rows = static_cast<std::int32_t>(rows);
    array->columns = static_cast<std::int32_t>(columns);
    array->values.reserve(static_cast<std::size_t>(rows * columns));
    for (std::int64_t r = 0; r < rows; ++r)
      for (std::int64_t c = 0; c < columns; ++c) array->values.push_back(at(row + r, column + c));
    out.array = std::move(array);
    return out;
  }

 private:
  const Operand& operand_;
  const EvalContext& context_;
  std::int64_t rows_ = 1, columns_ = 1;
  std::int64_t usedRows_ = 1, usedColumns_ = 1;
};

// One row or column of a grid, searched from position 0.
class GridLine {
 public:
  // Row `fixed` of the grid when `alongRow`, otherwise column `fixed`.
  GridLine(const Grid& grid, bool alongRow, std::int64_t fixed)
      : grid_(grid), alongRow_(alongRow), fixed_(fixed) {}
  // A grid that is one row or one column.
  explicit GridLine(const Grid& grid) : GridLine(grid, grid.rows() == 1 && grid.columns() > 1, 0) {}

  std::int64_t size() const { return alongRow_ ? grid_.columns() : grid_.rows(); }
  // Positions from here on hold nothing.
  std::int64_t used() const { return alongRow_ ? grid_.usedColumns() : grid_.usedRows(); }
  Value at(std::int64_t i) const { return alongRow_ ? grid_.at(fixed_, i) : grid_.at(i, fixed_); }

 private:
  const Grid& grid_;
  bool alongRow_;
  std::int64_t fixed_;
};

// What a function of the dynamic-array kind returns for part of its argument: one cell stays a
// reference; more become an array, so that the cell shows the top-left value as the spreadsheet
// spills it. A part too large to copy stays a reference.
inline Operand spilledPart(const Grid& grid, std::int64_t row, std::int64_t column, std::int64_t rows,
                           std::int64_t columns) {
  constexpr std::int64_t kMaxCopied = 1 << 20;
  if ((rows == 1 && columns == 1) || !grid.isRange() || rows * columns > kMaxCopied)
    return grid.part(row, column, rows, columns);
  return grid.values(row, column, rows, columns);
}

// An operand made of a value.
inline Operand valueOperand(Value v) {
  Operand out;
  out.set(std::move(v));
  return out;
}

// A reference whose sheet does not exist: every cell of it is #REF!, so say so at once rather
// than reading a million of them.
inline bool onMissingSheet(const Operand& operand, const EvalContext& context) {
  return operand.kind == Operand::Kind::Range && !operand.range.sheet.empty() &&
         context.sheetNumber(operand.range.sheet) == 0;
}

// A whole-number argument, truncated toward zero; `fallback` when left out. False with `error`
// set when it is no number.
inline bool integerArgument(const Args& args, std::size_t i, double fallback, double& out, Value& error) {
  if (i >= args.size() || args.isMissing(i)) {
    out = fallback;
    return true;
  }
  const Number n = toNumber(args.scalar(i));
  if (n.failed) {
    error = n.error;
    return false;
  }
  out = std::trunc(n.value);
  return true;
}

}  // namespace calc
