#include "core/worksheet_cells.h"

#include <algorithm>

namespace core {

ColumnStore& WorksheetCells::store(std::int32_t column) {
  if (static_cast<std::size_t>(column) > columns_.size()) columns_.resize(column);
  return columns_[column - 1];
}

ColumnStore& WorksheetCells::asSlots(std::int32_t column) {
  ColumnStore& cells = store(column);
  if (cells.form == ColumnStore::Form::Slots) return cells;
  std::vector<CellSlot> slotRows;
  slotRows.reserve(cells.size());
  for (std::size_t i = 0; i < cells.size(); ++i) slotRows.push_back(cells.at(i));
  cells = ColumnStore{};  // the formula group keeps its count: the slots hold it now
  cells.slotRows = std::move(slotRows);
  return cells;
}

CellSlot& WorksheetCells::writable(std::int32_t row, std::int32_t column) {
  auto& cells = asSlots(column).slotRows;
  if (static_cast<std::size_t>(row) > cells.size()) {
    // Grow geometrically so that writing a column top-down stays amortised O(1).
    if (static_cast<std::size_t>(row) > cells.capacity())
      cells.reserve(std::max<std::size_t>(row, cells.capacity() * 2));
    cells.resize(row);
    noteRow(row);
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

// A column of numbers from row 1 down stays a column of numbers while it is written in place or
// one row further down.
void WorksheetCells::setNumber(std::int32_t row, std::int32_t column, double value) {
  ColumnStore& cells = store(column);
  const auto rows = cells.size();
  if (cells.form == ColumnStore::Form::Numbers && static_cast<std::size_t>(row) <= rows + 1) {
    if (static_cast<std::size_t>(row) <= rows) return void(cells.numbers[row - 1] = value);
  } else if (rows != 0 || row != 1) {
    return void(emptied(row, column, CellKind::Number).number = value);
  }
  cells.form = ColumnStore::Form::Numbers;
  cells.numbers.push_back(value);
  noteRow(row);
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

std::uint32_t WorksheetCells::newGroup(calc::Formula formula, std::string text, std::int32_t row) {
  FormulaGroup fresh{std::move(formula), std::move(text), row, 0, ++lastGroupSerial_};
  if (freeGroups_.empty()) {
    groups_.push_back(std::move(fresh));
    return static_cast<std::uint32_t>(groups_.size() - 1);
  }
  const std::uint32_t group = freeGroups_.back();
  freeGroups_.pop_back();
  groups_[group] = std::move(fresh);
  return group;
}

std::uint32_t WorksheetCells::takeValueIndex() {
  if (freeValueIndices_.empty()) return formulaCells_++;
  const std::uint32_t index = freeValueIndices_.back();
  freeValueIndices_.pop_back();
  return index;
}

// A formula in row 1 of an empty column starts a filled-down column.
void WorksheetCells::setFormula(std::int32_t row, std::int32_t column, calc::Formula formula, std::string text) {
  const std::uint32_t group = newGroup(std::move(formula), std::move(text), row);
  ColumnStore& cells = store(column);
  if (cells.size() != 0 || row != 1) return holdFormula(writable(row, column), group);
  ++groups_[group].cells;
  cells.form = ColumnStore::Form::FilledDown;
  cells.group = group;
  cells.formulaRows = 1;
  cells.firstValueIndex = takeValueIndex();
  noteRow(row);
}

bool WorksheetCells::fillsDown(std::int32_t row, std::int32_t column, std::string_view text) const {
  const CellSlot above = cell(row - 1, column);
  // Too long a text is left to the parser to refuse, as it would be in any other cell.
  if (above.kind != CellKind::Formula || text.size() > calc::kMaxFormulaLength) return false;
  const FormulaGroup& group = groups_[above.index];
  return calc::movedFormulaText(group.formula, group.text, row - group.firstRow, moved_) && moved_ == text;
}

bool WorksheetCells::fillDownFormula(std::int32_t row, std::int32_t column, std::string_view text) {
  if (!fillsDown(row, column, text)) return false;
  placeFilledDown(row, column, cell(row - 1, column).index);
  return true;
}

bool WorksheetCells::fillDown(std::int32_t row, std::int32_t column, const FormulaGroupMark& above) {
  const CellSlot cellAbove = cell(row - 1, column);
  if (cellAbove.kind != CellKind::Formula || cellAbove.index != above.group ||
      groups_[above.group].serial != above.serial)
    return false;
  placeFilledDown(row, column, above.group);
  return true;
}

void WorksheetCells::placeFilledDown(std::int32_t row, std::int32_t column, std::uint32_t group) {
  ColumnStore& cells = columns_[column - 1];
  if (cells.form == ColumnStore::Form::FilledDown) {
    // The same formula again leaves the cell as it is; one row further down extends the
    // column when the cell's place in the value cache follows on from the row above's.
    if (static_cast<std::uint32_t>(row) <= cells.formulaRows) return;
    if (static_cast<std::uint32_t>(row) == cells.formulaRows + 1 && freeValueIndices_.empty() &&
        formulaCells_ == cells.firstValueIndex + cells.formulaRows) {
      ++formulaCells_;
      ++cells.formulaRows;
      ++groups_[cells.group].cells;
      noteRow(row);
      return;
    }
  }
  holdFormula(writable(row, column), group);
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

CellSlot WorksheetCells::cell(std::int32_t row, std::int32_t column) const {
  if (column < 1 || static_cast<std::size_t>(column) > columns_.size()) return {};
  const ColumnStore& cells = columns_[column - 1];
  if (row < 1 || static_cast<std::size_t>(row) > cells.size()) return {};
  return cells.at(static_cast<std::size_t>(row) - 1);
}

const CellSlot* WorksheetCells::slot(std::int32_t row, std::int32_t column) const {
  if (column < 1 || static_cast<std::size_t>(column) > columns_.size()) return nullptr;
  const ColumnStore& cells = columns_[column - 1];
  if (row < 1 || static_cast<std::size_t>(row) > cells.size()) return nullptr;
  const CellSlot* found = &read_;
  if (cells.form == ColumnStore::Form::Slots) found = &cells.slotRows[row - 1];
  else read_ = cells.at(static_cast<std::size_t>(row) - 1);
  return found->kind == CellKind::Empty ? nullptr : found;
}

std::int32_t WorksheetCells::rowCount(std::int32_t column) const {
  if (column < 1 || static_cast<std::size_t>(column) > columns_.size()) return 0;
  return static_cast<std::int32_t>(columns_[column - 1].size());
}

std::size_t WorksheetCells::cellBytes() const {
  std::size_t bytes = columns_.capacity() * sizeof(ColumnStore);
  for (const ColumnStore& cells : columns_)
    bytes += cells.slotRows.capacity() * sizeof(CellSlot) + cells.numbers.capacity() * sizeof(double);
  return bytes;
}

std::int32_t WorksheetCells::maxRow() const { return maxRow_; }

}  // namespace core
