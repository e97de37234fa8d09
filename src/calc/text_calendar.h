#pragma once
// The calendar as text sees it: a serial number's year, month, day and weekday in the 1900
// date system (with its 29 February 1900 and its day 0), and the English names of months and
// days that date formats write and date texts are read with.
#include <array>
#include <cstdint>
#include <string_view>

#include "date_serial.h"

namespace calc {

struct CalendarDate {
  int year = 1900, month = 1, day = 0;
  int weekday = 0;  // 0 Sunday ... 6 Saturday
};

// The date of a whole serial in [0, kLastDateSerial].
CalendarDate calendarDate(std::int64_t serial);

inline constexpr std::array<std::string_view, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
inline constexpr std::array<std::string_view, 7> kDayNames = {
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

}  // namespace calc
