// Looking values up in ranges and arrays.
#include "function_spec.h"

namespace calc {

std::span<const FunctionSpec> lookupFunctions() { return {}; }

}  // namespace calc
