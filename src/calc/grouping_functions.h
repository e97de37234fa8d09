#pragma once
// GROUPBY and PIVOTBY: the rows of a table grouped by the distinct values of some of its
// columns (and, for PIVOTBY, spread across columns by others), each group's values aggregated
// by a LAMBDA or a function passed by name (SUM, PERCENTOF...), with subtotals and totals.
// The result is the whole summary as an array; a cell shows its top-left value.
#include <span>

#include "lambda_forms.h"

namespace calc {

// GROUPBY(row_fields, values, function, [field_headers], [total_depth], [sort_order],
//         [filter_array], [field_relationship])
Operand groupBy(std::span<const Operand> args, LambdaCaller& caller, const EvalContext& context);

// PIVOTBY(row_fields, col_fields, values, function, [field_headers], [row_total_depth],
//         [row_sort_order], [col_total_depth], [col_sort_order], [filter_array], [relative_to])
Operand pivotBy(std::span<const Operand> args, LambdaCaller& caller, const EvalContext& context);

}  // namespace calc
