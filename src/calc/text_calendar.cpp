#include "text_calendar.h"

#include "date_serial.h"

namespace calc {

CalendarDate calendarDate(std::int64_t serial) {
  const CivilDate civil = civilDate(serial);
  return CalendarDate{civil.year, civil.month, civil.day, weekdayOf(serial)};
}

}  // namespace calc
