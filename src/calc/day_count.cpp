#include "day_count.h"

#include <algorithm>
#include <cmath>

namespace calc {
namespace {

bool isLastDayOfFebruary(const CivilDate& d) { return d.month == 2 && isLastDayOfMonth(d); }

// 30/360 as the bond functions and YEARFRAC count it under basis 0.
int us30_360(CivilDate a, CivilDate b) {
  if (isLastDayOfFebruary(a) && isLastDayOfFebruary(b)) b.day = 30;
  if (isLastDayOfFebruary(a)) a.day = 30;
  if (b.day == 31 && a.day >= 30) b.day = 30;
  if (a.day == 31) a.day = 30;
  return (b.year - a.year) * 360 + (b.month - a.month) * 30 + (b.day - a.day);
}

int euro30_360(CivilDate a, CivilDate b) {
  a.day = std::min(a.day, 30);
  b.day = std::min(b.day, 30);
  return (b.year - a.year) * 360 + (b.month - a.month) * 30 + (b.day - a.day);
}

// Actual/actual over less than a year: 366 when a 29 February falls inside.
double actualYearLength(const CivilDate& a, const CivilDate& b, int start, int end) {
  if (a.year == b.year) return isLeapYear(a.year) ? 366 : 365;
  const bool leapInFirst = isLeapYear(a.year) && start <= serialFromCivil(a.year, 2, 29);
  const bool leapInSecond = isLeapYear(b.year) && end >= serialFromCivil(b.year, 2, 29);
  return leapInFirst || leapInSecond ? 366 : 365;
}

YearFraction actualFraction(int start, int end) {
  const CivilDate a = civilFromSerial(start), b = civilFromSerial(end);
  const bool withinAYear = a.year == b.year ||
      (b.year == a.year + 1 && (a.month > b.month || (a.month == b.month && a.day >= b.day)));
  if (withinAYear) return {static_cast<double>(end - start), actualYearLength(a, b, start, end)};
  // Longer spans: the average length of the calendar years touched.
  const double years = b.year - a.year + 1;
  const double days = serialFromCivil(b.year + 1, 1, 1) - serialFromCivil(a.year, 1, 1);
  return {static_cast<double>(end - start), days / years};
}

}  // namespace

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

bool isLastDayOfMonth(const CivilDate& d) { return d.day == daysInMonth(d.year, d.month); }

int days360(int start, int end, bool european) {
  CivilDate a = civilFromSerial(start), b = civilFromSerial(end);
  if (european) return euro30_360(a, b);
  if (a.day == 31 || isLastDayOfFebruary(a)) a.day = 30;
  if (b.day == 31 && a.day == 30) b.day = 30;
  return (b.year - a.year) * 360 + (b.month - a.month) * 30 + (b.day - a.day);
}

std::optional<Basis> basisOf(double value) {
  const double b = std::trunc(value);
  if (!(b >= 0 && b <= 4)) return std::nullopt;
  return static_cast<Basis>(static_cast<int>(b));
}

std::optional<int> frequencyOf(double value) {
  const double f = std::trunc(value);
  if (f == 1 || f == 2 || f == 4) return static_cast<int>(f);
  return std::nullopt;
}

int dayCount(int start, int end, Basis basis) {
  switch (basis) {
    case Basis::Us30_360: return us30_360(civilFromSerial(start), civilFromSerial(end));
    case Basis::Euro30_360: return euro30_360(civilFromSerial(start), civilFromSerial(end));
    default: return end - start;
  }
}

double daysInYear(int serial, Basis basis) {
  switch (basis) {
    case Basis::Actual: return isLeapYear(civilFromSerial(serial).year) ? 366 : 365;
    case Basis::Actual365: return 365;
    default: return 360;
  }
}

YearFraction yearFractionParts(int start, int end, Basis basis) {
  if (start > end) std::swap(start, end);
  switch (basis) {
    case Basis::Actual: return actualFraction(start, end);
    case Basis::Actual360: return {static_cast<double>(end - start), 360};
    case Basis::Actual365: return {static_cast<double>(end - start), 365};
    default: return {static_cast<double>(dayCount(start, end, basis)), 360};
  }
}

int couponDate(int anchor, int months, bool endOfMonth) {
  const CivilDate a = civilFromSerial(anchor);
  const int index = a.year * 12 + (a.month - 1) + months;
  const int year = index / 12, month = index % 12 + 1;
  const int last = daysInMonth(year, month);
  return serialFromCivil(year, month, endOfMonth ? last : std::min(a.day, last));
}

namespace {

// How many periods back from maturity the coupon on or before settlement lies.
int periodsBack(const CouponSchedule& s) {
  const bool eom = isLastDayOfMonth(civilFromSerial(s.maturity));
  const CivilDate a = civilFromSerial(s.settlement), b = civilFromSerial(s.maturity);
  const int step = s.monthsPerPeriod();
  int periods = std::max(0, ((b.year - a.year) * 12 + (b.month - a.month)) / step);
  while (couponDate(s.maturity, -periods * step, eom) > s.settlement) ++periods;
  while (periods > 0 && couponDate(s.maturity, -(periods - 1) * step, eom) <= s.settlement) --periods;
  return periods;
}

}  // namespace

int CouponSchedule::previousCoupon() const {
  const bool eom = isLastDayOfMonth(civilFromSerial(maturity));
  return couponDate(maturity, -periodsBack(*this) * monthsPerPeriod(), eom);
}

int CouponSchedule::nextCoupon() const {
  const bool eom = isLastDayOfMonth(civilFromSerial(maturity));
  return couponDate(maturity, -(periodsBack(*this) - 1) * monthsPerPeriod(), eom);
}

int CouponSchedule::couponsRemaining() const { return periodsBack(*this); }

double CouponSchedule::periodDays() const {
  switch (basis) {
    case Basis::Actual: return nextCoupon() - previousCoupon();
    case Basis::Actual365: return 365.0 / frequency;
    default: return 360.0 / frequency;
  }
}

double CouponSchedule::daysFromPrevious() const { return dayCount(previousCoupon(), settlement, basis); }

double CouponSchedule::daysToNext() const {
  if (basis == Basis::Us30_360) return periodDays() - daysFromPrevious();
  return dayCount(settlement, nextCoupon(), basis);
}

}  // namespace calc
