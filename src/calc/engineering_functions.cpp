// Engineering: Bessel functions, error functions, base conversions, bits, units.
#include "function_spec.h"

namespace calc {

std::span<const FunctionSpec> engineeringFunctions() { return {}; }

}  // namespace calc
