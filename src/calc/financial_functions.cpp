// Money over time: annuities, cash flows, depreciation, rates.
#include "function_spec.h"

namespace calc {

std::span<const FunctionSpec> financialFunctions() { return {}; }

}  // namespace calc
