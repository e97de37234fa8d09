// Calendars: parts of dates and times, weekdays and week numbers, months ahead, day counts.
// Every date argument is a serial of the 1900 date system read as its whole day; one outside
// 0..31 December 9999 is #NUM!. The Analysis ToolPak's functions (EDATE, EOMONTH, WEEKNUM,
// the working days) refuse booleans as the other numeric functions do not.
#include <algorithm>
#include <cmath>
#include <optional>

#include "calendar_datedif.h"
#include "calendar_workdays.h"
#include "date_serial.h"
#include "function_spec.h"

namespace calc {
namespace {

template <int CivilDate::*Part>
Value datePart(double serial) {
  const auto day = daySerial(serial);
  if (!day) return ErrorCode::Num;
  return static_cast<double>(civilDate(*day).*Part);
}

// The time of day in whole seconds, rounded to the nearest one: 23:59:59.6 is midnight.
template <int Seconds, int Modulus>
Value timePart(double serial) {
  if (!daySerial(serial)) return ErrorCode::Num;
  const long long second = std::llround((serial - std::floor(serial)) * 86400) % 86400;
  return static_cast<double>(second / Seconds % Modulus);
}

// An optional return-type argument as a whole number; 1 when left out.
double typeArgument(const double* a, std::size_t n) { return n > 1 ? std::trunc(a[1]) : 1; }

// The weekday (0 Sunday) a week begins on for a WEEKDAY or WEEKNUM return type: Sunday for 1
// and 17, Monday for 2 and 11, Tuesday to Saturday for 12 to 16.
std::optional<int> firstWeekdayOf(double type) {
  if (type == 1) return 0;
  if (type == 2) return 1;
  if (type >= 11 && type <= 17) return (static_cast<int>(type) - 10) % 7;
  return std::nullopt;
}

// The day's place in its week from 1; return type 3 counts from 0 on Monday.
Value weekday(const double* a, std::size_t n) {
  const auto day = daySerial(a[0]);
  if (!day) return ErrorCode::Num;
  const double type = typeArgument(a, n);
  if (type == 3) return static_cast<double>((weekdayOf(*day) + 6) % 7);
  const auto firstDay = firstWeekdayOf(type);
  if (!firstDay) return ErrorCode::Num;
  return static_cast<double>((weekdayOf(*day) - *firstDay + 7) % 7 + 1);
}

// ISO 8601: weeks begin on Monday and belong to the year their Thursday falls in.
std::int64_t isoWeek(std::int64_t day) {
  const std::int64_t thursday = day - (weekdayOf(day) + 6) % 7 + 3;
  return (thursday - dayOf(civilDate(thursday).year, 1, 1)) / 7 + 1;
}

Value isoweeknum(double serial) {
  const auto day = daySerial(serial);
  return day ? Value(static_cast<double>(isoWeek(*day))) : Value(ErrorCode::Num);
}

// Week 1 holds 1 January; later weeks begin on the return type's first weekday. Type 21 is
// the ISO week.
Value weeknum(const double* a, std::size_t n) {
  const auto day = daySerial(a[0]);
  if (!day) return ErrorCode::Num;
  const double type = typeArgument(a, n);
  if (type == 21) return static_cast<double>(isoWeek(*day));
  const auto firstDay = firstWeekdayOf(type);
  if (!firstDay) return ErrorCode::Num;
  const std::int64_t january1 = dayOf(civilDate(*day).year, 1, 1);
  const int daysBeforeJanuary1 = (weekdayOf(january1) - *firstDay + 7) % 7;
  return static_cast<double>(floorDiv(*day - january1 + daysBeforeJanuary1, 7) + 1);
}

// EDATE keeps the day of the month (the month's last when it is shorter), EOMONTH gives the
// month's last day; months are whole, towards zero.
template <bool EndOfMonth>
Value monthsAhead(const double* a, std::size_t) {
  const auto day = daySerial(a[0]);
  if (!day || !(std::fabs(a[1]) <= 12 * 10000)) return ErrorCode::Num;
  const CivilDate start = civilDate(*day);
  const std::int64_t index = start.year * 12LL + start.month - 1 + static_cast<std::int64_t>(std::trunc(a[1]));
  const std::int64_t year = floorDiv(index, 12);
  if (year < 1900 || year > 9999) return ErrorCode::Num;
  const int month = static_cast<int>(index - year * 12) + 1;
  const int last = daysInMonth(static_cast<int>(year), month);
  return static_cast<double>(dayOf(static_cast<int>(year), month, EndOfMonth ? last : std::min(start.day, last)));
}

// Whole days from start to end; times of day do not count.
Value days(const double* a, std::size_t) {
  const auto end = daySerial(a[0]);
  const auto start = daySerial(a[1]);
  if (!end || !start) return ErrorCode::Num;
  return static_cast<double>(*end - *start);
}

const FunctionSpec kCalendar[] = {
    scalars("DATEDIF", 3, 3, datedif),
    number1("DAY", datePart<&CivilDate::day>),
    newer(numbers("DAYS", 2, 2, days)),
    strictNumbers("EDATE", 2, 2, monthsAhead<false>),
    strictNumbers("EOMONTH", 2, 2, monthsAhead<true>),
    number1("HOUR", timePart<3600, 24>),
    newer(number1("ISOWEEKNUM", isoweeknum)),
    number1("MINUTE", timePart<60, 60>),
    number1("MONTH", datePart<&CivilDate::month>),
    raw("NETWORKDAYS", 2, 3, networkdays),
    newer(raw("NETWORKDAYS.INTL", 2, 4, networkdaysIntl)),
    number1("SECOND", timePart<1, 60>),
    numbers("WEEKDAY", 1, 2, weekday),
    strictNumbers("WEEKNUM", 1, 2, weeknum),
    raw("WORKDAY", 2, 3, workday),
    newer(raw("WORKDAY.INTL", 2, 4, workdayIntl)),
    number1("YEAR", datePart<&CivilDate::year>),
};

}  // namespace

std::span<const FunctionSpec> calendarFunctions() { return kCalendar; }

}  // namespace calc
