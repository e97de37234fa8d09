#include <cmath>
#include <vector>

#include "xlsx_parts.h"

namespace io::xlsx {
namespace {

// A formula's computed value goes into the file as its cached result. Error values have no
// writer call: an empty cached text keeps the file valid and makes the spreadsheet recompute
// the cell, so it shows the error itself.
lxw_error writeFormula(lxw_worksheet* ws, lxw_row_t row, lxw_col_t col, const std::string& formula,
                       const calc::Value& value, const Formats& formats) {
  const StorableText text(formula);
  if (value.isNumber() && std::isfinite(value.number()))
    return worksheet_write_formula_num(ws, row, col, text.c_str(), nullptr, value.number());
  if (value.isText()) return worksheet_write_formula_str(ws, row, col, text.c_str(), nullptr, StorableText(value.text()).c_str());
  if (value.isBool())
    return worksheet_write_formula_num(ws, row, col, text.c_str(), formats.boolean, value.boolean() ? 1 : 0);
  if (value.isEmpty()) return worksheet_write_formula_num(ws, row, col, text.c_str(), nullptr, 0);
  return worksheet_write_formula_str(ws, row, col, text.c_str(), nullptr, "");
}

lxw_error writeCell(lxw_worksheet* ws, std::int32_t row, std::int32_t column, const core::CellSlot& slot,
                    const core::WorkbookModel& model, const core::SheetNode& sheet, const Formats& formats) {
  const auto r = static_cast<lxw_row_t>(row - 1);
  const auto c = static_cast<lxw_col_t>(column - 1);
  switch (slot.kind) {
    case core::CellKind::Number: return worksheet_write_number(ws, r, c, slot.number, nullptr);
    case core::CellKind::Text: return worksheet_write_string(ws, r, c, StorableText(sheet.cells->text(slot)).c_str(), nullptr);
    case core::CellKind::Formula:
      return writeFormula(ws, r, c, sheet.cells->formula(slot).text, model.formulaValue(sheet, slot.index, row, column), formats);
    case core::CellKind::Boolean: return worksheet_write_boolean(ws, r, c, slot.number != 0, nullptr);
    case core::CellKind::Error: {
      std::string text = "=";
      text += calc::errorText(static_cast<calc::ErrorCode>(slot.index));
      return worksheet_write_formula(ws, r, c, text.c_str(), nullptr);
    }
    case core::CellKind::Empty: break;
  }
  return LXW_NO_ERROR;
}

}  // namespace

lxw_error writeCells(lxw_worksheet* worksheet, const core::WorkbookModel& model, const core::SheetNode& sheet,
                     const Formats& formats) {
  const core::WorksheetCells& cells = *sheet.cells;
  struct UsedColumn {
    std::int32_t column;
    std::int32_t rows;
  };
  std::vector<UsedColumn> used;
  std::int32_t maxRow = 0;
  for (std::int32_t column = 1; column <= cells.columnCount(); ++column) {
    const std::int32_t rows = cells.rowCount(column);
    if (rows == 0) continue;
    used.push_back({column, rows});
    maxRow = std::max(maxRow, rows);
  }
  for (std::int32_t row = 1; row <= maxRow; ++row) {
    for (const UsedColumn& column : used) {
      if (row > column.rows) continue;
      const core::CellSlot* slot = cells.slot(row, column.column);
      if (!slot) continue;
      if (lxw_error error = writeCell(worksheet, row, column.column, *slot, model, sheet, formats)) return error;
    }
  }
  return LXW_NO_ERROR;
}

}  // namespace io::xlsx
