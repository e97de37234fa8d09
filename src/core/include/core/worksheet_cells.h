#pragma once
// The cells of one worksheet, stored column by column: the graphing run writes whole columns,
// so a column is a dense vector indexed by row. A slot is 16 bytes; texts and formulas live in
// side pools, so a formula cell keeps its compiled code and its text and nothing more.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calc/formula.h"

namespace core {

enum class CellKind : std::uint8_t { Empty, Number, Text, Formula, Boolean, Error };

struct CellSlot {
  double number = 0;        // Number; Boolean as 1 or 0
  std::uint32_t index = 0;  // into the text or formula pool; Error: the calc::ErrorCode
  CellKind kind = CellKind::Empty;
};

struct FormulaCell {
  calc::Formula formula;
  std::string text;  // without the leading '='
};

class WorksheetCells {
 public:
  // Callers check the limits; these only store.
  void setNumber(std::int32_t row, std::int32_t column, double value);
  void setText(std::int32_t row, std::int32_t column, std::string text);
  void setFormula(std::int32_t row, std::int32_t column, calc::Formula formula, std::string text);
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
  const FormulaCell& formula(const CellSlot& slot) const { return formulas_[slot.index]; }
  const FormulaCell& formulaAt(std::uint32_t index) const { return formulas_[index]; }
  std::size_t formulaCount() const { return formulas_.size(); }

  std::int32_t columnCount() const { return static_cast<std::int32_t>(columns_.size()); }
  // Rows stored for the column (the highest row written), 0 for none.
  std::int32_t rowCount(std::int32_t column) const;
  std::int32_t maxRow() const;

 private:
  CellSlot& writable(std::int32_t row, std::int32_t column);
  // The slot made ready for a value held in the slot itself (the formula it held is freed).
  CellSlot& inPlace(std::int32_t row, std::int32_t column, CellKind kind);

  std::vector<std::vector<CellSlot>> columns_;
  std::int32_t maxRow_ = 0;
  std::vector<std::string> texts_;
  std::vector<FormulaCell> formulas_;
};

}  // namespace core
