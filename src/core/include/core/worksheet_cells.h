#pragma once
// The cells of one worksheet, stored column by column: the graphing run writes whole columns,
// so a column is a dense vector indexed by row. A slot is 16 bytes; texts and formulas live in
// side pools. A column of filled-down formulas (B2 =SIN(A2), B3 =SIN(A3), ...) shares one
// compiled formula: each cell names the group and its row says how far the group is moved.
#include <cstdint>
#include <span>
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
  void setBoolean(std::int32_t row, std::int32_t column, bool value);
  void setError(std::int32_t row, std::int32_t column, calc::ErrorCode error);
  void clear(std::int32_t row, std::int32_t column);

  const CellSlot* slot(std::int32_t row, std::int32_t column) const;
  // A column's slots, row 1 first (empty ones included); empty past the last column.
  std::span<const CellSlot> column(std::int32_t column) const {
    if (column < 1 || static_cast<std::size_t>(column) > columns_.size()) return {};
    return columns_[column - 1];
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
  // Places in the value cache: the most formula cells the sheet has held at once.
  std::uint32_t formulaCellCount() const { return formulaCells_; }

  std::int32_t columnCount() const { return static_cast<std::int32_t>(columns_.size()); }
  // Rows stored for the column (the highest row written), 0 for none.
  std::int32_t rowCount(std::int32_t column) const;
  std::int32_t maxRow() const;

 private:
  CellSlot& writable(std::int32_t row, std::int32_t column);
  // The slot made ready for a new content of `kind` (the formula it held is let go).
  CellSlot& emptied(std::int32_t row, std::int32_t column, CellKind kind);
  void release(const CellSlot& slot);
  void releaseGroup(std::uint32_t index);
  std::uint32_t storeText(std::string text);
  void releaseText(std::uint32_t index);
  void holdFormula(CellSlot& slot, std::uint32_t group);

  std::vector<std::vector<CellSlot>> columns_;
  std::int32_t maxRow_ = 0;
  std::vector<std::string> texts_;
  std::vector<std::uint32_t> freeTexts_;  // slots of texts no cell holds, emptied, to be reused
  std::vector<FormulaGroup> groups_;
  std::vector<std::uint32_t> freeGroups_;  // groups no cell holds any more, to be reused
  std::vector<std::uint32_t> freeValueIndices_;  // places in the value cache formula cells left
  std::uint32_t formulaCells_ = 0;
  std::string moved_;  // fillDownFormula's scratch: no allocation per cell
};

}  // namespace core
