#include "lookup_cell_info.h"

#include <cctype>
#include <string>

#include "calc/file_formula.h"
#include "coercion.h"
#include "lookup_reference_text.h"

namespace calc {
namespace {

bool isError(const Operand& o) { return o.kind == Operand::Kind::Value && o.value.isError(); }

CellRef topLeft(const CellRange& r) { return CellRef{r.sheet, r.row1, r.column1}; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

// The cell CELL asks about: the reference's top-left, or the formula's own cell.
bool cellAsked(const Args& args, CellRef& cell, Value& error) {
  if (args.size() < 2 || args.isMissing(1)) {
    cell = args.context().formulaCell();
    if (cell.row > 0) return true;
    error = ErrorCode::Value;
    return false;
  }
  const Operand& ref = args.operand(1);
  if (isError(ref)) {
    error = ref.value;
    return false;
  }
  if (ref.kind != Operand::Kind::Range) {
    error = ErrorCode::Value;
    return false;
  }
  cell = topLeft(ref.range);
  return true;
}

Value cellType(const Value& v) {
  if (v.isEmpty()) return std::string("b");
  return std::string(v.isText() ? "l" : "v");
}

}  // namespace

// CELL(info_type, [reference]) for what the workbook itself holds. Formats are always General,
// column widths the standard one; the file name of a workbook not yet saved is "".
Value cellInfo(const Args& args) {
  const Value kind = args.scalar(0);
  if (kind.isError()) return kind;
  if (!kind.isText()) return ErrorCode::Value;
  CellRef cell;
  Value error;
  const std::string& what = kind.text();
  const auto is = [&](std::string_view name) { return equalsIgnoringCase(what, name); };
  if (!is("address") && !is("col") && !is("row") && !is("contents") && !is("type") && !is("width") &&
      !is("filename") && !is("format") && !is("parentheses") && !is("color") && !is("protect"))
    return ErrorCode::Value;
  if (!cellAsked(args, cell, error)) return error;
  if (is("address")) {
    // Another sheet is named; the formula's own is not, however the reference was written.
    const bool ownSheet = cell.sheet.empty() || args.context().sheetNumber(cell.sheet) == args.context().sheetNumber({});
    std::string text = ownSheet ? std::string() : sheetPrefix(cell.sheet);
    text += addressText(cell.row, cell.column, true, true, true);
    return text;
  }
  if (is("col")) return static_cast<double>(cell.column);
  if (is("row")) return static_cast<double>(cell.row);
  if (is("contents")) return args.context().cell(cell);
  if (is("type")) return cellType(args.context().cell(cell));
  if (is("width")) return 8.0;
  if (is("filename")) return std::string();
  if (is("format")) return std::string("G");
  if (is("protect")) return 1.0;
  return 0.0;  // parentheses, color: never set
}

// INFO(type_text): only what needs nothing from outside the workbook.
Value info(const Args& args) {
  const Value kind = args.scalar(0);
  if (kind.isError()) return kind;
  if (kind.isText() && equalsIgnoringCase(kind.text(), "recalc")) return std::string("Automatic");
  return ErrorCode::Value;
}

Value formulaTextOf(const Args& args) {
  const Operand& ref = args.operand(0);
  if (isError(ref)) return ref.value;
  if (ref.kind != Operand::Kind::Range) return ErrorCode::NA;
  const auto text = args.context().formulaText(topLeft(ref.range));
  if (!text) return ErrorCode::NA;
  return textResult(displayFormula(*text));
}

Value isFormula(const Args& args) {
  const Operand& ref = args.operand(0);
  if (isError(ref)) return ref.value;
  if (ref.kind != Operand::Kind::Range) return ErrorCode::Value;
  return args.context().formulaText(topLeft(ref.range)).has_value();
}

// SHEET([value]): the position of the formula's sheet, a reference's sheet or a sheet named.
Value sheetOf(const Args& args) {
  if (args.size() == 0 || args.isMissing(0)) return static_cast<double>(args.context().sheetNumber({}));
  const Operand& o = args.operand(0);
  int number = 0;
  if (o.kind == Operand::Kind::Range) {
    number = args.context().sheetNumber(o.range.sheet);
    if (number == 0) return ErrorCode::Ref;
  } else {
    const Value v = args.scalar(0);
    if (v.isError()) return v;
    if (v.isText() && !v.text().empty()) number = args.context().sheetNumber(v.text());
  }
  return number > 0 ? Value(static_cast<double>(number)) : Value(ErrorCode::NA);
}

// SHEETS([reference]): a reference spans one sheet here.
Value sheetsOf(const Args& args) {
  if (args.size() == 0 || args.isMissing(0)) return static_cast<double>(args.context().sheetCount());
  const Operand& o = args.operand(0);
  if (isError(o)) return o.value;
  return o.kind == Operand::Kind::Range ? Value(1.0) : Value(ErrorCode::NA);
}

}  // namespace calc
