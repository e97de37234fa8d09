// References: where cells are (ROW, COLUMN, ROWS, COLUMNS, AREAS), picking and moving them
// (INDEX, OFFSET), and references as text (INDIRECT, ADDRESS).
#include <memory>

#include "lookup_arrays.h"
#include "lookup_grid.h"
#include "lookup_reference_text.h"

namespace calc {
namespace {

Operand errorOperand(ErrorCode code) { return valueOperand(code); }

bool isError(const Operand& o) { return o.kind == Operand::Kind::Value && o.value.isError(); }

// ROW (`rows`) or COLUMN: the formula's own cell without an argument; a reference of several
// rows gives them all, as a column of numbers.
template <bool rows>
Operand position(const Args& args) {
  if (args.size() == 0 || args.isMissing(0)) {
    const CellRef at = args.context().formulaCell();
    if (at.row <= 0) return errorOperand(ErrorCode::Value);
    return valueOperand(static_cast<double>(rows ? at.row : at.column));
  }
  const Operand& ref = args.operand(0);
  if (isError(ref)) return ref;
  if (ref.kind != Operand::Kind::Range) return errorOperand(ErrorCode::Value);
  const std::int32_t first = rows ? ref.range.row1 : ref.range.column1;
  const std::int64_t count = rows ? ref.range.rows() : ref.range.columns();
  if (count == 1) return valueOperand(static_cast<double>(first));
  auto array = std::make_shared<Array>();
  array->rows = rows ? static_cast<std::int32_t>(count) : 1;
  array->columns = rows ? 1 : static_cast<std::int32_t>(count);
  for (std::int64_t i = 0; i < count; ++i) array->values.emplace_back(static_cast<double>(first + i));
  Operand out;
  out.kind = Operand::Kind::Array;
  out.array = std::move(array);
  return out;
}

template <bool rows>
Value extent(const Args& args) {
  const Operand& o = args.operand(0);
  if (isError(o)) return o.value;
  if (o.kind == Operand::Kind::Missing) return ErrorCode::Value;
  const Grid grid(o, args.context());
  return static_cast<double>(rows ? grid.rows() : grid.columns());
}

Value areas(const Args& args) {
  const Operand& o = args.operand(0);
  if (isError(o)) return o.value;
  return o.kind == Operand::Kind::Range ? Value(1.0) : Value(ErrorCode::Value);
}

// INDEX(reference or array, row, [column], [area]): 0 for a row or column takes all of it; a
// reference gives a reference, so that INDEX(...) can be summed or read further.
Operand index(const Args& args) {
  const Operand& from = args.operand(0);
  if (isError(from)) return from;
  double row = 0, column = 0, area = 1;
  Value error;
  if (!integerArgument(args, 1, 0, row, error) || !integerArgument(args, 2, 0, column, error) ||
      !integerArgument(args, 3, 1, area, error))
    return valueOperand(error);
  if (row < 0 || column < 0) return errorOperand(ErrorCode::Value);
  if (area != 1) return errorOperand(ErrorCode::Ref);
  const Grid grid(from, args.context());
  // In a single row the one number given counts along it.
  const bool columnLeftOut = args.size() < 3 || args.isMissing(2);
  if (grid.rows() == 1 && columnLeftOut) std::swap(row, column);
  if (row > static_cast<double>(grid.rows()) || column > static_cast<double>(grid.columns()))
    return errorOperand(ErrorCode::Ref);
  const auto r = static_cast<std::int64_t>(row), c = static_cast<std::int64_t>(column);
  return grid.part(r == 0 ? 0 : r - 1, c == 0 ? 0 : c - 1, r == 0 ? grid.rows() : 1, c == 0 ? grid.columns() : 1);
}

// OFFSET's height or width: truncated, except that a fraction short of one still reaches a cell.
bool sizeArgument(const Args& args, std::size_t i, double fallback, double& out, Value& error) {
  if (!integerArgument(args, i, fallback, out, error)) return false;
  if (out == 0 && i < args.size() && !args.isMissing(i)) {
    const double exact = toNumber(args.scalar(i)).value;
    if (exact != 0) out = std::copysign(1.0, exact);
  }
  return true;
}

// OFFSET(reference, rows, columns, [height], [width]): a negative height or width reaches up
// or left from the moved corner; anything off the sheet is #REF!.
Operand offset(const Args& args) {
  const Operand& from = args.operand(0);
  if (isError(from)) return from;
  if (from.kind != Operand::Kind::Range) return errorOperand(ErrorCode::Value);
  const CellRange& r = from.range;
  double down = 0, across = 0, height = 0, width = 0;
  Value error;
  if (!integerArgument(args, 1, 0, down, error) || !integerArgument(args, 2, 0, across, error) ||
      !sizeArgument(args, 3, static_cast<double>(r.rows()), height, error) ||
      !sizeArgument(args, 4, static_cast<double>(r.columns()), width, error))
    return valueOperand(error);
  if (height == 0 || width == 0) return errorOperand(ErrorCode::Ref);
  double row1 = r.row1 + down, column1 = r.column1 + across;
  double row2 = row1 + height + (height > 0 ? -1 : 1), column2 = column1 + width + (width > 0 ? -1 : 1);
  if (row2 < row1) std::swap(row1, row2);
  if (column2 < column1) std::swap(column1, column2);
  if (row1 < 1 || column1 < 1 || row2 > kMaxRows || column2 > kMaxColumns) return errorOperand(ErrorCode::Ref);
  Operand out = from;
  out.range.row1 = static_cast<std::int32_t>(row1);
  out.range.column1 = static_cast<std::int32_t>(column1);
  out.range.row2 = static_cast<std::int32_t>(row2);
  out.range.column2 = static_cast<std::int32_t>(column2);
  return out;
}

// INDIRECT(text, [a1]): the reference the text names in this workbook.
Operand indirect(const Args& args) {
  const Value text = args.scalar(0);
  if (text.isError()) return valueOperand(text);
  bool a1 = true;
  if (args.size() > 1 && !args.isMissing(1)) {
    const Truth t = toTruth(args.scalar(1));
    if (t.failed) return errorOperand(t.error);
    a1 = t.value;
  }
  const CellRef origin = args.context().formulaCell();
  const auto parsed = parseReferenceText(toText(text), a1, origin);
  if (!parsed) return errorOperand(ErrorCode::Ref);
  Operand out;
  out.kind = Operand::Kind::Range;
  if (!parsed->sheet.empty()) {
    if (args.context().sheetNumber(parsed->sheet) == 0) return errorOperand(ErrorCode::Ref);
    out.sheetName = std::make_shared<const std::string>(parsed->sheet);
  }
  out.range = CellRange{out.sheetName ? std::string_view(*out.sheetName) : std::string_view(),
                        parsed->row1, parsed->column1, parsed->row2, parsed->column2};
  return out;
}

// ADDRESS(row, column, [abs_num], [a1], [sheet_text]).
Value address(const Args& args) {
  double row = 0, column = 0, absolute = 1;
  Value error;
  if (!integerArgument(args, 0, 0, row, error) || !integerArgument(args, 1, 0, column, error) ||
      !integerArgument(args, 2, 1, absolute, error))
    return error;
  bool a1 = true;
  if (args.size() > 3 && !args.isMissing(3)) {
    const Truth t = toTruth(args.scalar(3));
    if (t.failed) return t.error;
    a1 = t.value;
  }
  std::string sheet;
  const bool named = args.size() > 4 && !args.isMissing(4);
  if (named) {
    const Value v = args.scalar(4);
    if (v.isError()) return v;
    sheet = toText(v);
  }
  if (absolute < 1 || absolute > 4) return ErrorCode::Value;
  // R1C1's relative parts may be 0 or negative: they are offsets, not places.
  const bool rowAbsolute = absolute == 1 || absolute == 2, columnAbsolute = absolute == 1 || absolute == 3;
  const bool rowOk = a1 || rowAbsolute ? row >= 1 && row <= kMaxRows : row >= -kMaxRows && row <= kMaxRows;
  const bool columnOk = a1 || columnAbsolute ? column >= 1 && column <= kMaxColumns
                                             : column >= -kMaxColumns && column <= kMaxColumns;
  if (!rowOk || !columnOk) return ErrorCode::Value;
  const std::string cell = addressText(static_cast<std::int32_t>(row), static_cast<std::int32_t>(column),
                                       rowAbsolute, columnAbsolute, a1);
  return named ? sheetPrefix(sheet) + cell : cell;
}

const FunctionSpec kReference[] = {
    rawOperand("ROW", 0, 1, position<true>),
    rawOperand("COLUMN", 0, 1, position<false>),
    raw("ROWS", 1, 1, extent<true>),
    raw("COLUMNS", 1, 1, extent<false>),
    raw("AREAS", 1, 1, areas),
    arrayArguments(rawOperand("INDEX", 2, 4, index)),
    rawOperand("OFFSET", 3, 5, offset),
    rawOperand("INDIRECT", 1, 2, indirect),
    raw("ADDRESS", 2, 5, address),
    newer(rawOperand("TAKE", 2, 3, take)),
    newer(rawOperand("DROP", 2, 3, drop)),
    newer(rawOperand("CHOOSECOLS", 2, kManyArgs, chooseColumns)),
    newer(rawOperand("CHOOSEROWS", 2, kManyArgs, chooseRows)),
    newer(rawOperand("VSTACK", 1, kManyArgs, verticalStack)),
    newer(rawOperand("HSTACK", 1, kManyArgs, horizontalStack)),
    newer(rawOperand("TOCOL", 1, 3, toColumn)),
    newer(rawOperand("TOROW", 1, 3, toRow)),
    newer(rawOperand("WRAPROWS", 2, 3, wrapRows)),
    newer(rawOperand("WRAPCOLS", 2, 3, wrapColumns)),
    newer(rawOperand("EXPAND", 2, 4, expand)),
    arrayArguments(newer(rawOperand("SORT", 1, 4, sort), kXlwsPrefix)),
    arrayArguments(newer(rawOperand("SORTBY", 2, kManyArgs, sortBy))),
    arrayArguments(newer(rawOperand("UNIQUE", 1, 3, unique))),
    arrayArguments(newer(rawOperand("FILTER", 2, 3, filter), kXlwsPrefix)),
};

}  // namespace

std::span<const FunctionSpec> referenceFunctions() { return kReference; }

}  // namespace calc
