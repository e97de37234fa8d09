// DATE and TIME: the sheets that test rounding functions feed them dates and times.
#include <cmath>

#include "date_serial.h"
#include "function_spec.h"

namespace calc {
namespace {

Value date(const double* a, std::size_t) {
  const auto serial = dateSerial(a[0], a[1], a[2]);
  return serial ? Value(*serial) : Value(ErrorCode::Num);
}

// A fraction of a day; whole days drop out, negative times are #NUM!.
Value time(const double* a, std::size_t) {
  const double seconds = std::trunc(a[0]) * 3600 + std::trunc(a[1]) * 60 + std::trunc(a[2]);
  if (seconds < 0 || seconds >= 32768.0 * 3600) return ErrorCode::Num;
  return std::fmod(seconds, 86400.0) / 86400.0;
}

const FunctionSpec kDates[] = {
    numbers("DATE", 3, 3, date),
    numbers("TIME", 3, 3, time),
};

}  // namespace

std::span<const FunctionSpec> dateFunctions() { return kDates; }

}  // namespace calc
