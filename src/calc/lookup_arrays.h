#pragma once
// The functions that build arrays out of ranges and arrays: taking and dropping rows and
// columns, stacking, wrapping, flattening, expanding, sorting, de-duplicating and filtering.
// The cell shows the result's top-left value; functions around it read the whole array.
#include "function_spec.h"

namespace calc {

Operand take(const Args& args);
Operand drop(const Args& args);
Operand chooseColumns(const Args& args);
Operand chooseRows(const Args& args);
Operand verticalStack(const Args& args);
Operand horizontalStack(const Args& args);
Operand toColumn(const Args& args);
Operand toRow(const Args& args);
Operand wrapRows(const Args& args);
Operand wrapColumns(const Args& args);
Operand expand(const Args& args);
Operand sort(const Args& args);
Operand sortBy(const Args& args);
Operand unique(const Args& args);
Operand filter(const Args& args);

}  // namespace calc
