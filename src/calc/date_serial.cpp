#include "date_serial.h"

#include <chrono>
#include <cmath>

namespace calc {
namespace {

using namespace std::chrono;

constexpr sys_days kDayZero = sys_days{year{1899} / December / 31};  // serial 0 on a true calendar
constexpr std::int64_t kLeapDay = 60;                                // the fictitious 1900-02-29

}  // namespace

std::int64_t dayOf(int y, int m, std::int64_t d) {
  std::int64_t first = (sys_days{year{y} / month{static_cast<unsigned>(m)} / 1} - kDayZero).count();
  if (first >= kLeapDay) ++first;  // every month from March 1900 on follows the leap day
  return first + d - 1;
}

CivilDate civilDate(std::int64_t day) {
  if (day == 0) return {1900, 1, 0};
  if (day == kLeapDay) return {1900, 2, 29};
  const year_month_day date{kDayZero + days{day > kLeapDay ? day - 1 : day}};
  return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
          static_cast<int>(static_cast<unsigned>(date.day()))};
}

int daysInMonth(int y, int m) {
  if (y == 1900 && m == 2) return 29;
  const year_month_day_last last{year{y} / month{static_cast<unsigned>(m)} / std::chrono::last};
  return static_cast<int>(static_cast<unsigned>(last.day()));
}

int weekdayOf(std::int64_t day) { return static_cast<int>(((day + 6) % 7 + 7) % 7); }

std::optional<std::int64_t> daySerial(double serial) {
  if (!(serial >= 0 && serial < static_cast<double>(kLastDateSerial + 1))) return std::nullopt;
  return static_cast<std::int64_t>(serial);
}

std::optional<double> dateSerial(double year, double month, double day) {
  // Far beyond any representable date; also keeps the conversions below defined.
  if (!(std::fabs(year) <= 1e5 && std::fabs(month) <= 1e7 && std::fabs(day) <= 1e9)) return std::nullopt;
  std::int64_t y = static_cast<std::int64_t>(std::trunc(year));
  if (y < 0 || y > 9999) return std::nullopt;
  if (y < 1900) y += 1900;
  const std::int64_t monthIndex = y * 12 + static_cast<std::int64_t>(std::trunc(month)) - 1;
  y = floorDiv(monthIndex, 12);
  if (y < 1900 || y > 9999) return std::nullopt;
  const int m = static_cast<int>(monthIndex - y * 12) + 1;
  const std::int64_t serial = dayOf(static_cast<int>(y), m, static_cast<std::int64_t>(std::trunc(day)));
  if (serial < 0 || serial > kLastDateSerial) return std::nullopt;
  return static_cast<double>(serial);
}

}  // namespace calc
