#include "text_calendar.h"

namespace calc {
namespace {

// Days since 1970-01-01 to a proleptic Gregorian date (Howard Hinnant's civil_from_days).
CalendarDate civilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  CalendarDate d;
  d.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  d.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  d.year = static_cast<int>(yoe + era * 400 + (d.month <= 2));
  return d;
}

}  // namespace

CalendarDate calendarDate(std::int64_t serial) {
  CalendarDate d;
  if (serial == 0) {
    d = {1900, 1, 0};
  } else if (serial == 60) {
    d = {1900, 2, 29};  // the day that never was, kept for compatibility
  } else {
    // Serial 61 is 1900-03-01; below 60 every serial is one day later than the calendar's.
    constexpr std::int64_t kSerialOfEpoch = 25569;  // 1970-01-01
    d = civilFromDays(serial - kSerialOfEpoch + (serial < 60 ? 1 : 0));
  }
  d.weekday = static_cast<int>((serial + 6) % 7);
  return d;
}

}  // namespace calc
