// Securities: bonds, coupons and Treasury bills.
#include "function_spec.h"

namespace calc {

std::span<const FunctionSpec> bondFunctions() { return {}; }

}  // namespace calc
