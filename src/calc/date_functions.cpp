// Dates and times made from their parts (DATE, TIME) and read from the clock (TODAY, NOW).
#include <cmath>

#include "date_serial.h"
#include "function_spec.h"

namespace calc {
namespace {

Value date(const double* a, std::size_t) {
  const auto serial = dateSerial(a[0], a[1], a[2]);
  return serial ? Value(*serial) : Value(ErrorCode::Num);
}

// Each part is a whole number the size of a 16-bit integer; a part may be negative while the
// sum is not (TIME(12,-2,10) is 11:58:10).
constexpr double kLargestTimePart = 32767;

// A fraction of a day; whole days drop out, negative times are #NUM!.
Value time(const double* a, std::size_t) {
  for (int i = 0; i < 3; ++i)
    if (!(std::fabs(std::trunc(a[i])) <= kLargestTimePart)) return ErrorCode::Num;
  const double seconds = std::trunc(a[0]) * 3600 + std::trunc(a[1]) * 60 + std::trunc(a[2]);
  if (seconds < 0) return ErrorCode::Num;
  // Days first, then whole days off: the spreadsheet's own rounding (TIME(24,2,3) is
  // 0.0014236111111110006, not 123/86400).
  const double days = seconds / 86400;
  return days - std::floor(days);
}

// The clock is the workbook's, so that a fixed clock gives fixed results.
Value now(const Args& args) {
  const double serial = args.context().now();
  return daySerial(serial) ? Value(serial) : Value(ErrorCode::Num);
}

Value today(const Args& args) {
  const auto day = daySerial(args.context().now());
  return day ? Value(static_cast<double>(*day)) : Value(ErrorCode::Num);
}

const FunctionSpec kDates[] = {
    numbers("DATE", 3, 3, date),
    raw("NOW", 0, 0, now),
    numbers("TIME", 3, 3, time),
    raw("TODAY", 0, 0, today),
};

}  // namespace

std::span<const FunctionSpec> dateFunctions() { return kDates; }

}  // namespace calc
