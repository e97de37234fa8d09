#include "worksheet_part.h"

#include <cmath>

#include "calc/file_formula.h"
#include "package_parts.h"
#include "shared_formulas.h"

namespace xlsx {
namespace {

using core::CellKind;
using core::CellSlot;

struct UsedColumn {
  std::int32_t column;
  std::int32_t rows;
  core::ColumnCells slots;  // row r at slots[r - 1]
  std::vector<SharedGroup> shared;
  std::size_t nextGroup = 0;  // the first group not yet passed, as rows go down

  // The group the row belongs to, if any.
  const SharedGroup* groupAt(std::int32_t row) {
    while (nextGroup < shared.size() && shared[nextGroup].lastRow < row) ++nextGroup;
    return nextGroup < shared.size() && shared[nextGroup].firstRow <= row ? &shared[nextGroup] : nullptr;
  }
};

struct SheetExtent {
  std::vector<UsedColumn> columns;
  std::int32_t rows = 0;
};

SheetExtent extentOf(const core::WorksheetCells& cells) {
  SheetExtent extent;
  for (std::int32_t column = 1; column <= cells.columnCount(); ++column) {
    const std::int32_t rows = cells.rowCount(column);
    if (rows == 0) continue;
    extent.columns.push_back({column, rows, cells.column(column), {}});
    extent.rows = std::max(extent.rows, rows);
  }
  return extent;
}

void writeDimension(XmlBuffer& x, const SheetExtent& extent) {
  x.raw("<dimension ref=\"");
  if (extent.columns.empty()) {
    x.raw("A1\"/>");
    return;
  }
  x.cellName(1, extent.columns.front().column).raw(":").cellName(extent.rows, extent.columns.back().column).raw("\"/>");
}

void writeSheetViews(XmlBuffer& x, const PlannedSheet& sheet) {
  x.raw("<sheetViews><sheetView");
  if (sheet.selected) x.raw(" tabSelected=\"1\"");
  x.raw(" workbookViewId=\"0\"/></sheetViews>");
}

void cellStart(XmlBuffer& x, std::int32_t row, std::int32_t column, std::string_view type) {
  x.raw("<c r=\"").cellName(row, column);
  if (!type.empty()) x.raw("\" t=\"").raw(type);
  x.raw("\">");
}

void cellStart(ElementText& x, std::int32_t row, std::int32_t column, std::string_view type) {
  x.raw("<c r=\"").cellName(row, column);
  if (!type.empty()) x.raw("\" t=\"").raw(type);
  x.raw("\">");
}

}  // namespace

namespace sheet {

// A number that is no number (an infinity or NaN) cannot be stored; it reads as #NUM!.
void writeNumberCell(XmlBuffer& x, std::int32_t row, std::int32_t column, double number) {
  if (!std::isfinite(number)) {
    cellStart(x, row, column, "e");
    x.raw("<v>#NUM!</v></c>");
    return;
  }
  ElementText cell;  // the commonest cell by far: put together in one piece
  cellStart(cell, row, column, {});
  cell.raw("<v>").number(number).raw("</v></c>");
  cell.appendTo(x);
}

bool needsPreservedSpace(std::string_view text) {
  auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  return !text.empty() && (space(text.front()) || space(text.back()));
}

void writeTextCell(XmlBuffer& x, std::int32_t row, std::int32_t column, const std::string& text) {
  cellStart(x, row, column, "inlineStr");
  x.raw(needsPreservedSpace(text) ? "<is><t xml:space=\"preserve\">" : "<is><t>").cellText(text).raw("</t></is></c>");
}

// The result's type decides the cell's type: a number has none, then b, e and str.
std::string_view resultType(const calc::Value& value) {
  if (value.isUncomputed()) return {};
  if (value.isBool()) return "b";
  if (value.isError()) return "e";
  if (value.isText()) return "str";
  if (value.isNumber() && !std::isfinite(value.number())) return "e";
  return {};
}

// A result the engine could not compute gets none: the spreadsheet application computes it.
void writeCachedResult(XmlBuffer& x, const calc::Value& value) {
  if (value.isUncomputed()) return;
  x.raw("<v>");
  if (value.isBool()) x.raw(value.boolean() ? "1" : "0");
  else if (value.isError()) x.raw(calc::fileErrorText(value.error()));
  else if (value.isText()) x.cellText(value.text());
  else if (value.isNumber() && std::isfinite(value.number())) x.number(value.number());
  else if (value.isNumber()) x.raw("#NUM!");
  else x.raw("0");  // an empty result, as a reference to an empty cell, reads 0
  x.raw("</v>");
}
}  // namespace sheet

namespace {
using namespace sheet;


class FormulaWriter {
 public:
  void write(XmlBuffer& x, const core::WorksheetCells& cells, const CellSlot& slot, std::int32_t row,
             std::int32_t column, const calc::Value& value, const SharedGroup* group) {
    // A cell of a shared formula with a number for its value, the commonest formula cell,
    // is put together in one piece.
    if (group && group->firstRow != row && value.isNumber() && std::isfinite(value.number())) {
      ElementText cell;
      cellStart(cell, row, column, {});
      cell.raw("<f t=\"shared\" si=\"").integer(group->index).raw("\"/><v>").number(value.number()).raw("</v></c>");
      cell.appendTo(x);
      return;
    }
    cellStart(x, row, column, resultType(value));
    if (group && group->firstRow != row) {
      x.raw("<f t=\"shared\" si=\"").integer(group->index).raw("\"/>");
    } else {
      cells.formulaText(slot, row, text_);
      fileText_.clear();
      calc::appendFileFormula(text_, fileText_);
      if (group) {
        x.raw("<f t=\"shared\" ref=\"").cellName(group->firstRow, column).raw(":").cellName(group->lastRow, column);
        x.raw("\" si=\"").integer(group->index).raw("\">");
      } else {
        x.raw("<f>");
      }
      x.text(fileText_).raw("</f>");
    }
    writeCachedResult(x, value);
    x.raw("</c>");
  }

 private:
  std::string text_;      // reused: no allocation per cell
  std::string fileText_;
};

void writeRows(PartStream& part, const core::WorkbookModel& model, const core::SheetNode& sheet,
               SheetExtent& extent, Values values, const RowsWritten& rowsWritten) {
  const core::WorksheetCells& cells = *sheet.cells;
  FormulaWriter formulas;
  XmlBuffer& x = part.xml();
  for (std::int32_t row = 1; row <= extent.rows; ++row) {
    bool open = false;
    for (UsedColumn& column : extent.columns) {
      if (row > column.rows) continue;
      const CellSlot cell = column.slots[row - 1];
      const CellSlot* slot = &cell;
      if (slot->kind == CellKind::Empty) continue;
      if (!open) {
        x.raw("<row r=\"").integer(row).raw("\">");
        open = true;
      }
      switch (slot->kind) {
        case CellKind::Number: writeNumberCell(x, row, column.column, slot->number); break;
        case CellKind::Text: writeTextCell(x, row, column.column, cells.text(*slot)); break;
        case CellKind::Boolean:
          cellStart(x, row, column.column, "b");
          x.raw(slot->number != 0 ? "<v>1</v></c>" : "<v>0</v></c>");
          break;
        case CellKind::Error:
          cellStart(x, row, column.column, "e");
          x.raw("<v>").raw(calc::fileErrorText(static_cast<calc::ErrorCode>(slot->index))).raw("</v></c>");
          break;
        case CellKind::Formula:
          formulas.write(x, cells, *slot, row, column.column,
                         formulaValueOf(model, values, sheet, *slot, row, column.column), column.groupAt(row));
          break;
        case CellKind::Empty: break;
      }
    }
    if (open) x.raw("</row>");
    part.flushIfFull();
    if (rowsWritten) rowsWritten(row, extent.rows);
  }
}

}  // namespace

void findSharedFormulas(const core::WorksheetCells& cells, SheetExtent& extent) {
  std::int32_t nextIndex = 0;
  for (UsedColumn& column : extent.columns) column.shared = sharedGroups(cells, column.column, nextIndex);
}

// Per cell at most: <c r="XFD1048576" t="inlineStr"><is><t xml:space="preserve">...</t></is></c>,
// or <c r=".." t="str"><f t="shared" ref="..:.." si="4294967295">...</f><v>...</v></c>. A text
// escapes to at most 7 bytes a byte (_xHHHH_); a formula's file text to at most 8 bytes a byte
// of its own (a row moved down, a prefix on a newer function or a LAMBDA name, &quot;).
std::uint64_t worksheetSizeBound(const core::WorkbookModel& model, const PlannedSheet& sheet, Values values) {
  constexpr std::uint64_t kFixed = 4096, kPerRow = 32, kPerCell = 160, kPerTextByte = 7, kPerFormulaByte = 8;
  constexpr std::uint64_t kNumber = 32;
  const core::WorksheetCells& cells = *sheet.node->cells;
  std::uint64_t bound = kFixed + kPerRow * static_cast<std::uint64_t>(cells.maxRow());
  for (std::int32_t column = 1; column <= cells.columnCount(); ++column) {
    const auto slots = cells.column(column);
    for (std::size_t i = 0; i < slots.size(); ++i) {
      const CellSlot& slot = slots[i];
      if (slot.kind == CellKind::Empty) continue;
      bound += kPerCell;
      if (slot.kind == CellKind::Text) bound += kPerTextByte * cells.text(slot).size();
      if (slot.kind != CellKind::Formula) continue;
      bound += kPerFormulaByte * cells.group(slot).text.size();
      const calc::Value value =
          formulaValueOf(model, values, *sheet.node, slot, static_cast<std::int32_t>(i + 1), column);
      bound += value.isText() ? kPerTextByte * value.text().size() : kNumber;
    }
  }
  return bound;
}

void writeWorksheet(PartStream& part, const core::WorkbookModel& model, const PlannedSheet& sheet, Values values,
                    const RowsWritten& rowsWritten) {
  SheetExtent extent = extentOf(*sheet.node->cells);
  findSharedFormulas(*sheet.node->cells, extent);
  XmlBuffer& x = part.xml();
  x.raw(kXmlDeclaration)
      .raw("<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">");
  writeDimension(x, extent);
  writeSheetViews(x, sheet);
  x.raw("<sheetFormatPr defaultRowHeight=\"15\"/><sheetData>");
  writeRows(part, model, *sheet.node, extent, values, rowsWritten);
  x.raw("</sheetData><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>");
  x.raw("</worksheet>");
}

}  // namespace xlsx
