#pragma once
// Text read as numbers, dates and times, and values written as text: VALUE, NUMBERVALUE,
// DATEVALUE, TIMEVALUE, DOLLAR, VALUETOTEXT, ARRAYTOTEXT.
#include "function_spec.h"

namespace calc {

Value valueFunction(const Args& args);
Value numberValue(const Value* a, std::size_t n);
Value dateValue(const Args& args);
Value timeValue(const Args& args);
Value dollar(const Value* a, std::size_t n);
Value valueToText(const Value* a, std::size_t n);
Value arrayToText(const Args& args);

}  // namespace calc
