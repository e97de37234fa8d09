#pragma once
// Text cut at delimiters: TEXTBEFORE, TEXTAFTER and TEXTSPLIT. Several delimiters may be given
// as an array; match_mode 1 ignores case.
#include "function_spec.h"

namespace calc {

Value textBefore(const Args& args);
Value textAfter(const Args& args);
Operand textSplit(const Args& args);

}  // namespace calc
