// Aggregates with conditions (COUNTIF, SUMIFS ...) and over products (SUMPRODUCT ...).
#include "function_spec.h"

namespace calc {

std::span<const FunctionSpec> conditionalFunctions() { return {}; }

}  // namespace calc
