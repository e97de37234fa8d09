#pragma once
// The bodies of the last functions of the table, each family of them in its own file;
// remaining_functions.cpp lists them.
#include "function_spec.h"

namespace calc {

// remaining_regex.cpp: REGEXTEST, REGEXEXTRACT, REGEXREPLACE.
Value regexTest(const Value* a, std::size_t n);
Operand regexExtract(const Args& args);
Value regexReplace(const Value* a, std::size_t n);

// remaining_widths.cpp: ASC (full-width to half-width), JIS and DBCS (half-width to full-width).
Value halfWidth(const Value* a, std::size_t n);
Value fullWidth(const Value* a, std::size_t n);

// remaining_baht.cpp: BAHTTEXT, a number in Thai words.
Value bahtText(const double* x, std::size_t n);

}  // namespace calc
