#include "calendar_datedif.h"

#include <cctype>
#include <string>

#include "coercion.h"
#include "date_serial.h"

namespace calc {
namespace {

enum class Unit { Years, Months, Days, DaysAfterMonths, MonthsAfterYears, DaysAfterYears };

std::optional<Unit> unitNamed(std::string name) {
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (name == "Y") return Unit::Years;
  if (name == "M") return Unit::Months;
  if (name == "D") return Unit::Days;
  if (name == "MD") return Unit::DaysAfterMonths;
  if (name == "YM") return Unit::MonthsAfterYears;
  if (name == "YD") return Unit::DaysAfterYears;
  return std::nullopt;
}

// A month is complete once the end's day of the month reaches the start's: 31 January to
// 29 February is no month.
std::int64_t wholeMonths(const CivilDate& from, const CivilDate& to) {
  return (to.year - from.year) * 12LL + to.month - from.month - (to.day < from.day ? 1 : 0);
}

// The end's day of the month less the start's, borrowing the length of the month before the
// end's. That month may be shorter than the start's day, so the count can fall below zero
// (31 January to 1 March 2015 is -2), as the spreadsheet has always counted it.
std::int64_t daysAfterMonths(const CivilDate& from, const CivilDate& to) {
  if (to.day >= from.day) return to.day - from.day;
  const int previousMonth = to.month == 1 ? 12 : to.month - 1;
  const int previousYear = to.month == 1 ? to.year - 1 : to.year;
  return to.day + daysInMonth(previousYear, previousMonth) - from.day;
}

// The end's month and day moved into the start's year (the next one when they come earlier
// in the year), less the start: the leap days counted are those after the start.
std::int64_t daysAfterYears(std::int64_t start, const CivilDate& from, const CivilDate& to) {
  const bool sameYear = to.month > from.month || (to.month == from.month && to.day >= from.day);
  return dayOf(from.year + (sameYear ? 0 : 1), to.month, to.day) - start;
}

std::int64_t difference(Unit unit, std::int64_t start, std::int64_t end) {
  const CivilDate from = civilDate(start), to = civilDate(end);
  switch (unit) {
    case Unit::Years: return wholeMonths(from, to) / 12;
    case Unit::Months: return wholeMonths(from, to);
    case Unit::Days: return end - start;
    case Unit::DaysAfterMonths: return daysAfterMonths(from, to);
    case Unit::MonthsAfterYears: return wholeMonths(from, to) % 12;
    case Unit::DaysAfterYears: return daysAfterYears(start, from, to);
  }
  return 0;
}

}  // namespace

Value datedif(const Value* args, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    if (args[i].isError()) return args[i];
  std::int64_t day[2] = {0, 0};
  for (int i = 0; i < 2; ++i) {
    const Number n = toNumber(args[i]);
    if (n.failed) return n.error;
    const auto whole = daySerial(n.value);
    if (!whole) return ErrorCode::Num;
    day[i] = *whole;
  }
  const auto unit = unitNamed(toText(args[2]));
  if (!unit || day[0] > day[1]) return ErrorCode::Num;
  return static_cast<double>(difference(*unit, day[0], day[1]));
}

}  // namespace calc
