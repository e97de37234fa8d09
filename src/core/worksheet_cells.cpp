#include "core/worksheet_cells.h"

#include <algorithm>

namespace core {

CellSlot& WorksheetCells::writable(std::int32_t row, std::int32_t column) {
  if (static_cast<std::size_t>(column) > columns_.size()) columns_.resize(column);
  auto& cells = columns_[column - 1];
  if (static_cast<std::size_t>(row) > cells.size()) {
    // Grow geometrically so that writing a column top-down stays amortised O(1).
    if (static_cast<std::size_t>(row) > cells.capacity())
      cells.reserve(std::max<std::size_t>(row, cells.capacity() * 2));
    cells.resize(row);
    maxRow_ = std::max(maxRow_, row);
  }
  return cells[row - 1];
}

CellSlot& WorksheetCells::inPlace(std::int32_t row, std::int32_t column, CellKind kind) {
  CellSlot& slot = writable(row, column);
  if (slot.kind == CellKind::Formula) formulas_[slot.index] = FormulaCell{};  // free its code
  slot.kind = kind;
  slot.index = 0;
  return slot;
}

void WorksheetCells::setNumber(std::int32_t row, std::int32_t column, double value) {
  inPlace(row, column, CellKind::Number).number = value;
}

void WorksheetCells::setBoolean(std::int32_t row, std::int32_t column, bool value) {
  inPlace(row, column, CellKind::Boolean).number = value ? 1 : 0;
}

void WorksheetCells::setError(std::int32_t row, std::int32_t column, calc::ErrorCode error) {
  inPlace(row, column, CellKind::Error).index = static_cast<std::uint32_t>(error);
}

void WorksheetCells::clear(std::int32_t row, std::int32_t column) { inPlace(row, column, CellKind::Empty); }

void WorksheetCells::setText(std::int32_t row, std::int32_t column, std::string text) {
  CellSlot& slot = writable(row, column);
  if (slot.kind == CellKind::Text) {
    texts_[slot.index] = std::move(text);
    return;
  }
  if (slot.kind == CellKind::Formula) formulas_[slot.index] = FormulaCell{};
  slot.kind = CellKind::Text;
  slot.index = static_cast<std::uint32_t>(texts_.size());
  texts_.push_back(std::move(text));
}

void WorksheetCells::setFormula(std::int32_t row, std::int32_t column, calc::Formula formula,
                                std::string text) {
  CellSlot& slot = writable(row, column);
  if (slot.kind == CellKind::Formula) {
    formulas_[slot.index] = FormulaCell{std::move(formula), std::move(text)};
    return;
  }
  slot.kind = CellKind::Formula;
  slot.index = static_cast<std::uint32_t>(formulas_.size());
  formulas_.push_back(FormulaCell{std::move(formula), std::move(text)});
}

const CellSlot* WorksheetCells::slot(std::int32_t row, std::int32_t column) const {
  if (column < 1 || static_cast<std::size_t>(column) > columns_.size()) return nullptr;
  const auto& cells = columns_[column - 1];
  if (row < 1 || static_cast<std::size_t>(row) > cells.size()) return nullptr;
  const CellSlot& found = cells[row - 1];
  return found.kind == CellKind::Empty ? nullptr : &found;
}

std::int32_t WorksheetCells::rowCount(std::int32_t column) const {
  if (column < 1 || static_cast<std::size_t>(column) > columns_.size()) return 0;
  return static_cast<std::int32_t>(columns_[column - 1].size());
}

std::int32_t WorksheetCells::maxRow() const { return maxRow_; }

}  // namespace core
