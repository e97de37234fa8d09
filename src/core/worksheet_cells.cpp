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

void WorksheetCells::releaseGroup(std::uint32_t index) {
  FormulaGroup& group = groups_[index];
  if (--group.cells > 0) return;
  group = FormulaGroup{};  // frees its code and text
  freeGroups_.push_back(index);
}

std::uint32_t WorksheetCells::storeText(std::string text) {
  if (freeTexts_.empty()) {
    texts_.push_back(std::move(text));
    return static_cast<std::uint32_t>(texts_.size() - 1);
  }
  const std::uint32_t index = freeTexts_.back();
  freeTexts_.pop_back();
  texts_[index] = std::move(text);
  return index;
}

void WorksheetCells::releaseText(std::uint32_t index) {
  std::string().swap(texts_[index]);  // gives its memory back; clear() would keep it
  freeTexts_.push_back(index);
}

void WorksheetCells::release(const CellSlot& slot) {
  if (slot.kind == CellKind::Text) return releaseText(slot.index);
  if (slot.kind != CellKind::Formula) return;
  freeValueIndices_.push_back(slot.valueIndex);
  releaseGroup(slot.index);
}

CellSlot& WorksheetCells::emptied(std::int32_t row, std::int32_t column, CellKind kind) {
  CellSlot& slot = writable(row, column);
  release(slot);
  slot.kind = kind;
  slot.number = 0;
  slot.index = 0;
  return slot;
}

void WorksheetCells::setNumber(std::int32_t row, std::int32_t column, double value) {
  emptied(row, column, CellKind::Number).number = value;
}

void WorksheetCells::setBoolean(std::int32_t row, std::int32_t column, bool value) {
  emptied(row, column, CellKind::Boolean).number = value ? 1 : 0;
}

void WorksheetCells::setError(std::int32_t row, std::int32_t column, calc::ErrorCode error) {
  emptied(row, column, CellKind::Error).index = static_cast<std::uint32_t>(error);
}

void WorksheetCells::clear(std::int32_t row, std::int32_t column) { emptied(row, column, CellKind::Empty); }

void WorksheetCells::setText(std::int32_t row, std::int32_t column, std::string text) {
  CellSlot& slot = writable(row, column);
  if (slot.kind == CellKind::Text) {
    texts_[slot.index] = std::move(text);
    return;
  }
  const std::uint32_t index = storeText(std::move(text));
  emptied(row, column, CellKind::Text).index = index;
}

// A formula slot keeps its place in the value cache when it is written again; a new one takes
// a place a formula cell left, so the cache stays as large as the formula cells there are.
void WorksheetCells::holdFormula(CellSlot& slot, std::uint32_t group) {
  ++groups_[group].cells;  // before the old one is let go: it may be the same group
  if (slot.kind == CellKind::Formula) {
    releaseGroup(slot.index);
  } else {
    release(slot);  // a text it held
    if (!freeValueIndices_.empty()) {
      slot.valueIndex = freeValueIndices_.back();
      freeValueIndices_.pop_back();
    } else {
      slot.valueIndex = formulaCells_++;
    }
  }
  slot.kind = CellKind::Formula;
  slot.index = group;
}

void WorksheetCells::setFormula(std::int32_t row, std::int32_t column, calc::Formula formula, std::string text) {
  CellSlot& slot = writable(row, column);
  FormulaGroup fresh{std::move(formula), std::move(text), row, 0};
  std::uint32_t group;
  if (!freeGroups_.empty()) {
    group = freeGroups_.back();
    freeGroups_.pop_back();
    groups_[group] = std::move(fresh);
  } else {
    group = static_cast<std::uint32_t>(groups_.size());
    groups_.push_back(std::move(fresh));
  }
  holdFormula(slot, group);
}

bool WorksheetCells::fillDownFormula(std::int32_t row, std::int32_t column, std::string_view text) {
  const CellSlot* above = slot(row - 1, column);
  // Too long a text is left to the parser to refuse, as it would be in any other cell.
  if (!above || above->kind != CellKind::Formula || text.size() > calc::kMaxFormulaLength) return false;
  const std::uint32_t index = above->index;  // read now: writable() may move the column
  const FormulaGroup& group = groups_[index];
  if (!calc::movedFormulaText(group.formula, group.text, row - group.firstRow, moved_) || moved_ != text)
    return false;
  holdFormula(writable(row, column), index);
  return true;
}

void WorksheetCells::formulaText(const CellSlot& slot, std::int32_t row, std::string& out) const {
  const FormulaGroup& group = groups_[slot.index];
  if (row == group.firstRow || !calc::movedFormulaText(group.formula, group.text, row - group.firstRow, out))
    out = group.text;
}

std::string WorksheetCells::formulaText(const CellSlot& slot, std::int32_t row) const {
  std::string text;
  formulaText(slot, row, text);
  return text;
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
