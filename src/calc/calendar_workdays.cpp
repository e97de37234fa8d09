#include "calendar_workdays.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "calendar_workweek.h"
#include "coercion.h"
#include "date_serial.h"

namespace calc {
namespace {

// A number as the Analysis ToolPak reads one: a left-out argument is #N/A, a boolean #VALUE!.
Number toolPakNumber(const Args& args, std::size_t i) {
  if (args.isMissing(i)) return Number::fail(ErrorCode::NA);
  const Value v = args.scalar(i);
  if (v.isBool()) return Number::fail(ErrorCode::Value);
  return toNumber(v);
}

struct Day {
  std::int64_t day = 0;
  ErrorCode error = ErrorCode::Num;
  bool failed = false;
};

Day dateArgument(const Args& args, std::size_t i) {
  const Number n = toolPakNumber(args, i);
  if (n.failed) return {0, n.error, true};
  const auto day = daySerial(n.value);
  return day ? Day{*day} : Day{0, ErrorCode::Num, true};
}

std::variant<Workweek, ErrorCode> weekendArgument(const Args& args, std::size_t i) {
  if (i >= args.size() || args.isMissing(i)) return Workweek();
  return weekendNamed(args.scalar(i));
}

// The holidays that fall on working days, sorted and each once. Empty cells are skipped; a
// date outside the calendar is #NUM!, a boolean or text that is no date #VALUE!.
std::variant<std::vector<std::int64_t>, ErrorCode> holidaysOf(const Args& args, std::size_t i,
                                                              const Workweek& week) {
  std::vector<std::int64_t> days;
  if (i >= args.size() || args.isMissing(i)) return days;
  std::optional<ErrorCode> error;
  args.forEach(i, [&](const Value& v) {
    if (v.isEmpty()) return true;
    if (v.isError()) error = v.error();
    else if (v.isBool()) error = ErrorCode::Value;
    else if (const Number n = toNumber(v); n.failed) error = n.error;
    else if (const auto day = daySerial(n.value); !day) error = ErrorCode::Num;
    else if (week.isWorkday(*day)) days.push_back(*day);
    return !error;
  });
  if (error) return *error;
  std::sort(days.begin(), days.end());
  days.erase(std::unique(days.begin(), days.end()), days.end());
  return days;
}

// Holidays from first to last, both counted.
std::int64_t holidaysBetween(const std::vector<std::int64_t>& holidays, std::int64_t first, std::int64_t last) {
  if (last < first) return 0;
  return std::upper_bound(holidays.begin(), holidays.end(), last) -
         std::lower_bound(holidays.begin(), holidays.end(), first);
}

Value countWorkdays(const Args& args, std::size_t weekendAt, std::size_t holidaysAt) {
  const Day start = dateArgument(args, 0);
  if (start.failed) return start.error;
  const Day end = dateArgument(args, 1);
  if (end.failed) return end.error;
  const auto week = weekendArgument(args, weekendAt);
  if (const auto* error = std::get_if<ErrorCode>(&week)) return *error;
  const auto holidays = holidaysOf(args, holidaysAt, std::get<Workweek>(week));
  if (const auto* error = std::get_if<ErrorCode>(&holidays)) return *error;
  const std::int64_t first = std::min(start.day, end.day), last = std::max(start.day, end.day);
  const std::int64_t count = std::get<Workweek>(week).countBetween(first, last) -
                             holidaysBetween(std::get<std::vector<std::int64_t>>(holidays), first, last);
  return static_cast<double>(start.day <= end.day ? count : -count);
}

// Steps `count` working days from `start`. Holidays passed on the way lengthen the walk by
// as many working days again, until a stretch passes none.
std::optional<std::int64_t> walkWorkdays(const Workweek& week, const std::vector<std::int64_t>& holidays,
                                         std::int64_t start, std::int64_t count) {
  std::int64_t day = start;
  while (count != 0) {
    const std::int64_t target = week.advance(day, count);
    if (target < 0 || target > kLastDateSerial) return std::nullopt;
    count = count > 0 ? holidaysBetween(holidays, day + 1, target) : -holidaysBetween(holidays, target, day - 1);
    day = target;
  }
  return day;
}

Value stepWorkdays(const Args& args, std::size_t weekendAt, std::size_t holidaysAt) {
  const Day start = dateArgument(args, 0);
  if (start.failed) return start.error;
  const Number count = toolPakNumber(args, 1);
  if (count.failed) return count.error;
  const auto week = weekendArgument(args, weekendAt);
  if (const auto* error = std::get_if<ErrorCode>(&week)) return *error;
  if (std::get<Workweek>(week).workdaysPerWeek() == 0) return ErrorCode::Value;
  const auto holidays = holidaysOf(args, holidaysAt, std::get<Workweek>(week));
  if (const auto* error = std::get_if<ErrorCode>(&holidays)) return *error;
  // Each working day is at least a day: more than the calendar holds cannot end inside it.
  const double days = std::trunc(count.value);
  if (!(std::fabs(days) <= static_cast<double>(kLastDateSerial))) return ErrorCode::Num;
  const auto end = walkWorkdays(std::get<Workweek>(week), std::get<std::vector<std::int64_t>>(holidays),
                                start.day, static_cast<std::int64_t>(days));
  return end ? Value(static_cast<double>(*end)) : Value(ErrorCode::Num);
}

}  // namespace

Value networkdays(const Args& args) { return countWorkdays(args, args.size(), 2); }
Value networkdaysIntl(const Args& args) { return countWorkdays(args, 2, 3); }
Value workday(const Args& args) { return stepWorkdays(args, args.size(), 2); }
Value workdayIntl(const Args& args) { return stepWorkdays(args, 2, 3); }

}  // namespace calc
