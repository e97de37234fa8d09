// Complex numbers written as text ("3+4i"): the IM... family.
#include "function_spec.h"

namespace calc {

std::span<const FunctionSpec> complexFunctions() { return {}; }

}  // namespace calc
