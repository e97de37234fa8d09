#pragma once
// The cells of a range or array by position, for the functions that pair two of them up cell
// by cell (paired T.TEST, CHISQ.TEST, PROB).
#include <algorithm>
#include <cstdint>
#include <optional>

#include "operand.h"
#include "calc/formula.h"

namespace calc::distribution {

// A range or array's cells, row by row; a single value is a 1 x 1 grid.
class Grid {
 public:
  Grid(const Operand& operand, const EvalContext& context) : operand_(operand), context_(context) {}

  std::int64_t rows() const {
    if (operand_.kind == Operand::Kind::Range) return operand_.range.rows();
    return operand_.kind == Operand::Kind::Array ? operand_.array->rows : 1;
  }
  std::int64_t columns() const {
    if (operand_.kind == Operand::Kind::Range) return operand_.range.columns();
    return operand_.kind == Operand::Kind::Array ? operand_.array->columns : 1;
  }
  std::int64_t count() const { return rows() * columns(); }
  bool sameShape(const Grid& other) const { return rows() == other.rows() && columns() == other.columns(); }

  // The rows that can hold anything: a range stops at its sheet's used extent.
  std::int64_t usedRows() const {
    if (operand_.kind != Operand::Kind::Range) return rows();
    const CellRange& r = operand_.range;
    return std::clamp<std::int64_t>(context_.usedExtent(r.sheet).row - r.row1 + 1, 0, rows());
  }

  Value at(std::int64_t row, std::int64_t column) const {
    if (operand_.kind == Operand::Kind::Range) {
      const CellRange& r = operand_.range;
      return context_.cell(CellRef{r.sheet, static_cast<std::int32_t>(r.row1 + row),
                                   static_cast<std::int32_t>(r.column1 + column)});
    }
    if (operand_.kind == Operand::Kind::Array)
      return operand_.array->at(static_cast<std::int32_t>(row), static_cast<std::int32_t>(column));
    return operand_.scalar();
  }

 private:
  const Operand& operand_;
  const EvalContext& context_;
};

// Calls onPair(a, b) with the values at the same place in two grids of the same count (by row
// and column when the shapes agree, else in reading order); an error in either stops the walk
// and is returned.
template <class OnPair>
std::optional<ErrorCode> forEachPair(const Grid& first, const Grid& second, OnPair&& onPair) {
  auto visit = [&](const Value& a, const Value& b) -> std::optional<ErrorCode> {
    if (a.isError()) return a.error();
    if (b.isError()) return b.error();
    onPair(a, b);
    return std::nullopt;
  };
  if (first.sameShape(second)) {
    const std::int64_t rows = std::max(first.usedRows(), second.usedRows());
    for (std::int64_t row = 0; row < rows; ++row)
      for (std::int64_t column = 0; column < first.columns(); ++column)
        if (auto error = visit(first.at(row, column), second.at(row, column))) return error;
    return std::nullopt;
  }
  for (std::int64_t i = 0; i < first.count(); ++i)
    if (auto error = visit(first.at(i / first.columns(), i % first.columns()),
                           second.at(i / second.columns(), i % second.columns())))
      return error;
  return std::nullopt;
}

}  // namespace calc::distribution
