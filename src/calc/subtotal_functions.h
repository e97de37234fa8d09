#pragma once
// SUBTOTAL and AGGREGATE: one of several aggregates by number, over references whose cells
// holding SUBTOTAL or AGGREGATE themselves are left out. Part of the math family.
#include <span>

#include "function_spec.h"

namespace calc {

std::span<const FunctionSpec> subtotalFunctions();

}  // namespace calc
