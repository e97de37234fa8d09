#pragma once
// What the workbook knows about a cell or about itself: CELL, INFO, FORMULATEXT, ISFORMULA,
// SHEET and SHEETS.
#include "function_spec.h"

namespace calc {

Value cellInfo(const Args& args);
Value info(const Args& args);
Value formulaTextOf(const Args& args);
Value isFormula(const Args& args);
Value sheetOf(const Args& args);
Value sheetsOf(const Args& args);

}  // namespace calc
