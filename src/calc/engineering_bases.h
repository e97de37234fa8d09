#pragma once
// BIN2DEC, DEC2HEX and the other conversions between binary, octal, decimal and hexadecimal.
// Binary, octal and hexadecimal numbers have at most 10 digits; with all 10 written and the
// top bit set they are negative in two's complement ("FFFFFFFFFF" is -1).
#include "function_spec.h"

namespace calc {

// `args`: the number (text of digits for radix 2, 8, 16; a number for radix 10) and, for a
// result in radix 2, 8 or 16, the optional count of places to pad a positive result to.
Value convertRadix(const Args& args, int from, int to);

template <int From, int To>
Value radixConversion(const Args& args) {
  return convertRadix(args, From, To);
}

}  // namespace calc
