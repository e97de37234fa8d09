#pragma once
// The cells of one worksheet, stored column by column: the graphing run writes whole columns,
// so a column is a dense vector indexed by row. A column written from row 1 down with plain
// numbers keeps only the numbers (8 bytes a cell); one filled down with a formula from row 1
// keeps only its group (its cells' values live in the value cache). Any other write turns the
// column into slots of 16 bytes, one a row; texts and formulas live in side pools. A column of
// filled-down formulas (B2 =SIN(A2), B3 =SIN(A3), ...) shares one compiled formula: each cell
// names the group and its row says how far the group is moved.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "calc/formula.h"

namespace core {

enum class CellKind : std::uint8_t { Empty, Number, Text, Formula, Boolean, Error };

struct CellSlot {
  union {
    double number = 0;         // Number; Boolean as 1 or 0
    std::uint32_t valueIndex;  // Formula: where the sheet's value cache keeps its result
  };
  std::uint32_t index = 0;  // Text: into the text pool; Formula: its group; Error: the calc::ErrorCode
  CellKind kind = CellKind::Empty;
};

// One formula as written in its first cell, and every cell filled down from it.
struct FormulaGroup {
  calc::Formula formula;
  std::string text;           // the first cell's, without the leading '='
  std::int32_t firstRow = 0;  // the first cell's row: a cell r rows below reads it moved by r
  std::uint32_t cells = 0;    // cells holding it; the group is freed at 0
  std::uint64_t serial = 0;   // no other group of the sheet, before or after, has it
};

// Names one formula group for as long as it lives: a group freed and its place taken by
// another gets another serial.
struct FormulaGroupMark {
  std::uint32_t group = 0;
  std::uint64_t serial = 0;
};

// How one column keeps its cells: see the top of this file.
struct ColumnStore {
  enum class Form : std::uint8_t { Slots, Numbers, FilledDown };
  Form form = Form::Slots;
  std::vector<CellSlot> slotRows;     // Slots: row r at slotRows[r - 1]
  std::vector<double> numbers;        // Numbers: rows 1 to numbers.size()
  std::uint32_t formulaRows = 0;      // FilledDown: rows 1 to formulaRows hold `group`
  std::uint32_t group = 0;
  std::uint32_t firstValueIndex = 0;  // FilledDown: row r's place in the value cache is this + r - 1

  std::size_t size() const {
    switch (form) {
      case Form::Numbers: return numbers.size();
      case Form::FilledDown: return formulaRows;
      case Form::Slots: break;
    }
    return slotRows.size();
  }
  // Row i + 1's cell, as a slot.
  CellSlot at(std::size_t i) const {
    if (form == Form::Slots) return slotRows[i];
    CellSlot slot;
    if (form == Form::Numbers) {
      slot.kind = CellKind::Number;
      slot.number = numbers[i];
    } else {
      slot.kind = CellKind::Formula;
      slot.valueIndex = firstValueIndex + static_cast<std::uint32_t>(i);
      slot.index = group;
    }
    return slot;
  }
};

// A column's cells, row 1 first (empty ones included), read as slots by value.
class ColumnCells {
 public:
  ColumnCells() = default;
  explicit ColumnCells(const ColumnStore* store) : store_(store) {}
  std::size_t size() const { return store_ ? store_->size() : 0; }
  bool empty() const { return size() == 0; }
  CellSlot operator[](std::size_t i) const { return store_->at(i); }

 private:
  const ColumnStore* store_ = nullptr;
};

class WorksheetCells {
 public:
  // Callers check the limits; these only store.
  void setNumber(std::int32_t row, std::int32_t column, double value);
  void setText(std::int32_t row, std::int32_t column, std::string text);
  void setFormula(std::int32_t row, std::int32_t column, calc::Formula formula, std::string text);
  // Stores `text` as the formula of the cell above filled down, when that is what it is; false
  // (and nothing stored) otherwise, and the caller parses it for setFormula.
  bool fillDownFormula(std::int32_t row, std::int32_t column, std::string_view text);
  // Whether fillDownFormula would take `text` as the formula of the cell above filled down.
  bool fillsDown(std::int32_t row, std::int32_t column, std::string_view text) const;
  // The formula of the cell above filled down into this cell, as fillDownFormula stores it, when
  // the cell above holds the group `above` names; false (and nothing stored) otherwise. For a
  // writer that knows the formula it writes is that one moved, without its text.
  bool fillDown(std::int32_t row, std::int32_t column, const FormulaGroupMark& above);
  // The group of the formula cell `slot`.
  FormulaGroupMark markOf(const CellSlot& slot) const { return {slot.index, groups_[slot.index].serial}; }
  void setBoolean(std::int32_t row, std::int32_t column, bool value);
  void setError(std::int32_t row, std::int32_t column, calc::ErrorCode error);
  void clear(std::int32_t row, std::int32_t column);

  // The cell at (row, column); its kind is Empty when there is none.
  CellSlot cell(std::int32_t row, std::int32_t column) const;
  // The same, null for an empty cell. A cell of a compact column is read into a slot kept for
  // the purpose, so the pointer holds until the next call only: code that reads other cells
  // meanwhile takes cell().
  const CellSlot* slot(std::int32_t row, std::int32_t column) const;
  // A column's cells; empty past the last column.
  ColumnCells column(std::int32_t column) const {
    if (column < 1 || static_cast<std::size_t>(column) > columns_.size()) return {};
    return ColumnCells(&columns_[column - 1]);
  }
  const std::string& text(const CellSlot& slot) const { return texts_[slot.index]; }
  // The text pool: its slots, and how many of them a cell holds. A text no cell holds any more
  // is freed at once and its slot goes to the next text, so the pool is never larger than the
  // most text cells the sheet has held at one time.
  std::size_t textSlots() const { return texts_.size(); }
  std::size_t textsHeld() const { return texts_.size() - freeTexts_.size(); }
  const FormulaGroup& group(const CellSlot& slot) const { return groups_[slot.index]; }
  // The formula of the formula cell `slot` at `row`, without the leading '='.
  std::string formulaText(const CellSlot& slot, std::int32_t row) const;
  void formulaText(const CellSlot& slot, std::int32_t row, std::string& out) const;
  // Bytes the cells hold on the heap, texts and formulas left out (what the compact columns save).
  std::size_t cellBytes() const;
  // Places in the value cache: the most formula cells the sheet has held at once.
  std::uint32_t formulaCellCount() const { return formulaCells_; }

  std::int32_t columnCount() const { return static_cast<std::int32_t>(columns_.size()); }
  // Rows stored for the column (the highest row written), 0 for none.
  std::int32_t rowCount(std::int32_t column) const;
  std::int32_t maxRow() const;

 private:
  ColumnStore& store(std::int32_t column);
  // The column as slots, for the writes a compact column cannot take.
  ColumnStore& asSlots(std::int32_t column);
  void noteRow(std::int32_t row) { maxRow_ = row > maxRow_ ? row : maxRow_; }
  std::uint32_t newGroup(calc::Formula formula, std::string text, std::int32_t row);
  std::uint32_t takeValueIndex();
  CellSlot& writable(std::int32_t row, std::int32_t column);
  // The slot made ready for a new content of `kind` (the formula it held is let go).
  CellSlot& emptied(std::int32_t row, std::int32_t column, CellKind kind);
  void release(const CellSlot& slot);
  void releaseGroup(std::uint32_t index);
  std::uint32_t storeText(std::string text);
  void releaseText(std::uint32_t index);
  void holdFormula(CellSlot& slot, std::uint32_t group);
  // Stores the formula group of the cell above in (row, column).
  void placeFilledDown(std::int32_t row, std::int32_t column, std::uint32_t group);

  std::vector<ColumnStore> columns_;
  std::int32_t maxRow_ = 0;
  std::vector<std::string> texts_;
  std::vector<std::uint32_t> freeTexts_;  // slots of texts no cell holds, emptied, to be reused
  std::vector<FormulaGroup> groups_;
  std::vector<std::uint32_t> freeGroups_;  // groups no cell holds any more, to be reused
  std::vector<std::uint32_t> freeValueIndices_;  // places in the value cache formula cells left
  std::uint32_t formulaCells_ = 0;
  std::uint64_t lastGroupSerial_ = 0;
  mutable std::string moved_;  // fillsDown's scratch: no allocation per cell
  mutable CellSlot read_;  // slot()'s answer for a compact column
};

}  // namespace core
