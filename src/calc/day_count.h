#pragma once
// Day counts of the bond market on 1900-system date serials: the bases 0-4 (30/360 US,
// actual/actual, actual/360, actual/365, 30/360 European), year fractions and the coupon
// schedule that runs back from a security's maturity.
#include <optional>

#include "date_serial.h"

namespace calc {

// The calendar of date_serial.h on the int serials of securities.
inline CivilDate civilFromSerial(int serial) { return civilDate(serial); }
inline int serialFromCivil(int year, int month, int day) { return static_cast<int>(dayOf(year, month, day)); }
bool isLeapYear(int year);
bool isLastDayOfMonth(const CivilDate& date);

// DAYS360: the US (NASD) method, or the European one.
int days360(int start, int end, bool european);

enum class Basis { Us30_360 = 0, Actual = 1, Actual360 = 2, Actual365 = 3, Euro30_360 = 4 };

// A basis argument as given (truncated); nullopt outside 0-4.
std::optional<Basis> basisOf(double value);
// A frequency argument (truncated): 1, 2 or 4 coupons a year, nullopt otherwise.
std::optional<int> frequencyOf(double value);

// Days from start to end as the basis counts them (30-day months for 0 and 4).
int dayCount(int start, int end, Basis basis);
// The days of a year under the basis; actual/actual takes the year of `serial`.
double daysInYear(int serial, Basis basis);
// YEARFRAC: the part of a year between two dates, in either order, as days over a year's days.
struct YearFraction {
  double days = 0, yearDays = 360;
  double value() const { return days / yearDays; }
};
YearFraction yearFractionParts(int start, int end, Basis basis);
inline double yearFraction(int start, int end, Basis basis) {
  return yearFractionParts(start, end, basis).value();
}

// The coupon schedule: dates stepped back from maturity by whole periods, staying on the last
// day of the month when maturity is one.
struct CouponSchedule {
  int settlement = 0, maturity = 0, frequency = 2;
  Basis basis = Basis::Us30_360;

  int monthsPerPeriod() const { return 12 / frequency; }
  int previousCoupon() const;  // COUPPCD: on or before settlement
  int nextCoupon() const;      // COUPNCD: after settlement
  int couponsRemaining() const;  // COUPNUM
  double periodDays() const;     // COUPDAYS
  double daysFromPrevious() const;  // COUPDAYBS
  double daysToNext() const;        // COUPDAYSNC
};

// The coupon date `periods` periods before (negative) or after `anchor` on its schedule.
int couponDate(int anchor, int months, bool endOfMonth);

}  // namespace calc
