#pragma once
// Working days: NETWORKDAYS counts them between two dates, WORKDAY steps over them; the
// .INTL forms choose the weekend. Holidays are dates in a range, an array or one value.
#include "function_spec.h"

namespace calc {

Value networkdays(const Args& args);
Value networkdaysIntl(const Args& args);
Value workday(const Args& args);
Value workdayIntl(const Args& args);

}  // namespace calc
