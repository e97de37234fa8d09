#pragma once
// Date serial numbers of the 1900 date system: serial 1 is 1 January 1900, serial 60 the
// fictitious 29 February 1900 the format inherited (so serials from 61 on are one day ahead
// of a true count), serial 0 the "0 January 1900" an empty date shows. The whole part of a
// serial is its day, the fraction its time of day.
#include <cstdint>
#include <optional>

namespace calc {

inline constexpr std::int64_t kLastDateSerial = 2958465;  // 31 December 9999

struct CivilDate {
  int year = 1900;
  int month = 1;  // 1..12
  int day = 0;    // 1..31; 0 only for serial 0
};

// Serial of year/month/day as DATE() reads them: a year below 1900 counts from 1900, months
// and days outside their range roll over. nullopt when the months leave years 1900..9999 or
// the day falls outside serials 0..kLastDateSerial.
std::optional<double> dateSerial(double year, double month, double day);

// The day of a serial, its time dropped; nullopt outside 0..kLastDateSerial (as #NUM!).
std::optional<std::int64_t> daySerial(double serial);

// The calendar date of a day. Day 0 is 1900-01-00 and day 60 is 1900-02-29; days before 0
// follow the Gregorian calendar backwards, for weeks and years that reach back past 1900.
CivilDate civilDate(std::int64_t day);

// The day of `day` counted from the first of year/month (month 1..12), so day 0 is the last
// of the month before; the inverse of civilDate.
std::int64_t dayOf(int year, int month, std::int64_t day);

// Days in a month of the 1900 date system: February 1900 has 29.
int daysInMonth(int year, int month);

// 0 for Sunday through 6 for Saturday; serial 1 is a Sunday in this system.
int weekdayOf(std::int64_t day);

// a / b rounded down, for month and week counts that run below zero.
inline std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

}  // namespace calc
