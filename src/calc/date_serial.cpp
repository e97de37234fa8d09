#include "date_serial.h"

#include <cmath>

namespace calc {
namespace {

// Days from 1970-01-01 in the proleptic Gregorian calendar (Howard Hinnant's algorithm).
long long daysFromCivil(long long y, long long m, long long d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

std::optional<double> dateSerial(double year, double month, double day) {
  // Far beyond any representable date; also keeps the conversions below defined.
  if (std::fabs(year) > 1e5 || std::fabs(month) > 1e7 || std::fabs(day) > 1e9) return std::nullopt;
  long long y = static_cast<long long>(std::trunc(year));
  if (y < 0 || y > 9999) return std::nullopt;
  if (y < 1900) y += 1900;
  long long m = static_cast<long long>(std::trunc(month)) - 1;
  y += m >= 0 ? m / 12 : (m - 11) / 12;
  m = ((m % 12) + 12) % 12 + 1;
  const long long epoch = daysFromCivil(1899, 12, 31);  // serial 0 is 1900-01-00
  long long serial = daysFromCivil(y, m, 1) - epoch + static_cast<long long>(std::trunc(day)) - 1;
  if (serial >= 60) ++serial;  // the 1900 leap-year bug the format inherited
  if (serial < 0 || serial > 2958465) return std::nullopt;
  return static_cast<double>(serial);
}

}  // namespace calc
