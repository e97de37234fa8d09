// IS... tests, TYPE, ERROR.TYPE and NA; what the workbook knows of its cells (CELL, SHEET...).
#include <cmath>

#include "function_spec.h"
#include "lookup_cell_info.h"

namespace calc {
namespace {

template <bool (*Test)(const Value&)>
Value is(const Value* a, std::size_t) {
  return Test(a[0]);
}

bool isNA(const Value& v) { return v.isError() && v.error() == ErrorCode::NA; }

// ERROR.TYPE: the number of each error, in the order the spreadsheet added them. #BUSY! has
// no number of its own that is documented, so it answers as any other value does.
Value errorType(const Value* a, std::size_t) {
  if (!a[0].isError()) return ErrorCode::NA;
  const ErrorCode code = a[0].error();
  if (code == ErrorCode::Busy || code == ErrorCode::Uncomputed) return ErrorCode::NA;
  return static_cast<double>(static_cast<int>(code) + 1);
}

// ISODD and ISEVEN look at the whole part of the number.
template <bool odd>
Value parity(const double* x, std::size_t) {
  const bool isOdd = std::fmod(std::trunc(x[0]), 2.0) != 0;
  return isOdd == odd;
}

Value isRef(const Args& args) { return args.isRange(0); }

// TYPE: 1 number (an empty cell too), 2 text, 4 truth value, 16 error, 64 array.
Value type(const Args& args) {
  const Operand& o = args.operand(0);
  if (o.kind == Operand::Kind::Array || (o.kind == Operand::Kind::Range && !o.range.isSingleCell())) return 64.0;
  const Value v = args.scalar(0);
  if (v.isText()) return 2.0;
  if (v.isBool()) return 4.0;
  if (v.isError()) return 16.0;
  return 1.0;
}

const FunctionSpec kInformation[] = {
    scalars("ISBLANK", 1, 1, is<[](const Value& v) { return v.isEmpty(); }>),
    scalars("ISERR", 1, 1, is<[](const Value& v) { return v.isError() && !isNA(v); }>),
    scalars("ISERROR", 1, 1, is<[](const Value& v) { return v.isError(); }>),
    scalars("ISLOGICAL", 1, 1, is<[](const Value& v) { return v.isBool(); }>),
    scalars("ISNA", 1, 1, is<isNA>),
    scalars("ISNONTEXT", 1, 1, is<[](const Value& v) { return !v.isText(); }>),
    scalars("ISNUMBER", 1, 1, is<[](const Value& v) { return v.isNumber(); }>),
    scalars("ISTEXT", 1, 1, is<[](const Value& v) { return v.isText(); }>),
    scalars("ERROR.TYPE", 1, 1, errorType),
    strictNumbers("ISODD", 1, 1, parity<true>),
    strictNumbers("ISEVEN", 1, 1, parity<false>),
    raw("ISREF", 1, 1, isRef),
    raw("TYPE", 1, 1, type),
    raw("CELL", 1, 2, cellInfo),
    raw("INFO", 1, 1, info),
    newer(raw("FORMULATEXT", 1, 1, formulaTextOf)),
    newer(raw("ISFORMULA", 1, 1, isFormula)),
    newer(raw("SHEET", 0, 1, sheetOf)),
    newer(raw("SHEETS", 0, 1, sheetsOf)),
    // The '@' of a formula: one value, a range cut down to the formula's row or column.
    newer(raw("SINGLE", 1, 1, [](const Args& a) { return a.scalar(0); })),
    scalars("NA", 0, 0, [](const Value*, std::size_t) { return Value(ErrorCode::NA); }),
};

}  // namespace

std::span<const FunctionSpec> informationFunctions() { return kInformation; }

}  // namespace calc
