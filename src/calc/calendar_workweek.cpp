#include "calendar_workweek.h"

#include <bit>
#include <cmath>

#include "date_serial.h"

namespace calc {

Workweek::Workweek(std::uint8_t weekendDays)
    : weekendDays_(weekendDays & 0x7F), workdaysPerWeek_(7 - std::popcount(weekendDays_)) {}

bool Workweek::isWorkday(std::int64_t day) const { return !(weekendDays_ >> weekdayOf(day) & 1); }

std::int64_t Workweek::countBetween(std::int64_t first, std::int64_t last) const {
  if (last < first) return 0;
  const std::int64_t weeks = (last - first + 1) / 7;
  std::int64_t count = weeks * workdaysPerWeek_;
  for (std::int64_t day = first + weeks * 7; day <= last; ++day) count += isWorkday(day);
  return count;
}

std::int64_t Workweek::advance(std::int64_t from, std::int64_t count) const {
  const int direction = count > 0 ? 1 : -1;
  std::int64_t left = count * direction;
  // Whole weeks first: each holds the same working days wherever it starts.
  const std::int64_t weeks = (left - 1) / workdaysPerWeek_;
  std::int64_t day = from + direction * 7 * weeks;
  left -= weeks * workdaysPerWeek_;
  while (left > 0) {
    day += direction;
    if (isWorkday(day)) --left;
  }
  return day;
}

std::variant<Workweek, ErrorCode> weekendNamed(const Value& weekend) {
  if (weekend.isEmpty()) return Workweek();
  if (weekend.isError()) return weekend.error();
  if (weekend.isNumber()) {
    const double code = std::trunc(weekend.number());
    if (code >= 1 && code <= 7) {
      const int second = (static_cast<int>(code) + 6) % 7;  // Sunday for 1 ... Saturday for 7
      const int first = (second + 6) % 7;                   // and the day before it
      return Workweek(static_cast<std::uint8_t>(1 << first | 1 << second));
    }
    if (code >= 11 && code <= 17) return Workweek(static_cast<std::uint8_t>(1 << (static_cast<int>(code) - 11)));
    return ErrorCode::Num;
  }
  if (!weekend.isText() || weekend.text().size() != 7) return ErrorCode::Value;
  std::uint8_t days = 0;
  for (int i = 0; i < 7; ++i) {
    const char c = weekend.text()[static_cast<std::size_t>(i)];
    if (c != '0' && c != '1') return ErrorCode::Value;
    if (c == '1') days |= static_cast<std::uint8_t>(1 << (i + 1) % 7);  // Monday is weekday 1
  }
  return Workweek(days);
}

}  // namespace calc
