#pragma once
// Numbers written in other numeral systems: Roman numerals and positional bases. Part of the
// math family (mathFunctions() lists them).
#include <span>

#include "function_spec.h"

namespace calc {

std::span<const FunctionSpec> numeralFunctions();

}  // namespace calc
