#pragma once
// DATEDIF: the time between two dates in whole years, months or days, or what is left of it
// after whole years or months.
#include <cstddef>

#include "calc/value.h"

namespace calc {

// DATEDIF(start, end, unit), its arguments as single values.
Value datedif(const Value* args, std::size_t count);

}  // namespace calc
