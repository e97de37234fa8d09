// Bonds paying regular coupons: their price and yield, Macaulay and modified duration, and
// the interest accrued since issue (ACCRINT) or up to maturity (ACCRINTM).
#include <cmath>

#include "day_count.h"
#include "financial_internal.h"

namespace calc {
namespace {

// Settlement, maturity, two rates or amounts, redemption-like fifth and the schedule.
struct Bond {
  CouponSchedule schedule;
  double coupon = 0;  // annual coupon rate
};

std::optional<ErrorCode> bondOf(const double* a, std::size_t n, std::size_t frequencyAt, Bond& b) {
  if (auto e = dateArgument(a[0], b.schedule.settlement)) return e;
  if (auto e = dateArgument(a[1], b.schedule.maturity)) return e;
  if (b.schedule.settlement >= b.schedule.maturity) return ErrorCode::Num;
  const auto f = frequencyOf(a[frequencyAt]);
  const auto basis = basisOf(frequencyAt + 1 < n ? a[frequencyAt + 1] : 0);
  if (!f || !basis) return ErrorCode::Num;
  b.schedule.frequency = *f;
  b.schedule.basis = *basis;
  b.coupon = a[2];
  return std::nullopt;
}

// The price per 100 of face value at a yield, less the accrued interest.
double bondPrice(const CouponSchedule& s, double coupon, double yld, double redemption) {
  const double f = s.frequency;
  // The days to the next coupon are what the period leaves after those accrued, on every basis.
  const double e = s.periodDays(), a = s.daysFromPrevious(), dsc = e - a;
  const int count = s.couponsRemaining();
  const double payment = 100 * coupon / f;
  if (count == 1) {
    return (redemption + payment) / (1 + dsc / e * yld / f) - payment * a / e;
  }
  const double base = 1 + yld / f, x = dsc / e;
  double total = redemption / std::pow(base, count - 1 + x);
  for (int k = 1; k <= count; ++k) total += payment / std::pow(base, k - 1 + x);
  return total - payment * a / e;
}

double macaulayDuration(const CouponSchedule& s, double coupon, double yld) {
  const double f = s.frequency, x = s.daysToNext() / s.periodDays();
  const int count = s.couponsRemaining();
  const double payment = 100 * coupon / f, base = 1 + yld / f;
  double weighted = 0, total = 0;
  for (int k = 1; k <= count; ++k) {
    const double t = k - 1 + x;
    const double flow = (k == count ? payment + 100 : payment) / std::pow(base, t);
    weighted += t * flow;
    total += flow;
  }
  return weighted / total / f;
}

}  // namespace

Value price(const double* a, std::size_t n) {
  Bond b;
  if (auto e = bondOf(a, n, 5, b)) return *e;
  const double yld = a[3], redemption = a[4];
  if (b.coupon < 0 || yld < 0 || redemption <= 0) return ErrorCode::Num;
  return numberResult(bondPrice(b.schedule, b.coupon, yld, redemption));
}

// The yield that prices the bond at `pr`: closed form with one coupon left, otherwise Newton's
// method, falling back to bisection where Newton leaves the bracket.
Value yieldFunction(const double* a, std::size_t n) {
  Bond b;
  if (auto e = bondOf(a, n, 5, b)) return *e;
  const double pr = a[3], redemption = a[4];
  if (b.coupon < 0 || pr <= 0 || redemption <= 0) return ErrorCode::Num;
  const CouponSchedule& s = b.schedule;
  if (s.couponsRemaining() == 1) {
    const double f = s.frequency, e = s.periodDays(), accrued = s.daysFromPrevious() / e * b.coupon / f;
    const double paid = pr / 100 + accrued;
    return numberResult((redemption / 100 + b.coupon / f - paid) / paid * f * e / s.daysToNext());
  }
  auto gap = [&](double y) { return bondPrice(s, b.coupon, y, redemption) - pr; };
  double low = -0.999 * s.frequency, high = 1.0;
  while (gap(high) > 0 && high < 1e6) high *= 2;
  if (gap(high) > 0 || gap(low) < 0) return ErrorCode::Num;
  double y = b.coupon > 0 ? b.coupon : 0.05;
  for (int i = 0; i < 200; ++i) {
    const double value = gap(y);
    if (value == 0) break;
    (value > 0 ? low : high) = y;
    const double h = 1e-7 * std::max(1.0, std::fabs(y));
    const double slope = (gap(y + h) - gap(y - h)) / (2 * h);
    double next = slope != 0 ? y - value / slope : (low + high) / 2;
    if (!(next > low && next < high)) next = (low + high) / 2;
    if (std::fabs(next - y) <= 1e-14 * std::max(1.0, std::fabs(y))) {
      y = next;
      break;
    }
    y = next;
  }
  return numberResult(y);
}

Value duration(const double* a, std::size_t n) {
  Bond b;
  if (auto e = bondOf(a, n, 4, b)) return *e;
  const double yld = a[3];
  if (b.coupon < 0 || yld < 0) return ErrorCode::Num;
  return numberResult(macaulayDuration(b.schedule, b.coupon, yld));
}

Value mduration(const double* a, std::size_t n) {
  Bond b;
  if (auto e = bondOf(a, n, 4, b)) return *e;
  const double yld = a[3];
  if (b.coupon < 0 || yld < 0) return ErrorCode::Num;
  return numberResult(macaulayDuration(b.schedule, b.coupon, yld) / (1 + yld / b.schedule.frequency));
}

Value accrintm(const double* a, std::size_t n) {
  int issue = 0, settlement = 0;
  if (auto e = dateArgument(a[0], issue)) return *e;
  if (auto e = dateArgument(a[1], settlement)) return *e;
  const auto basis = basisOf(n > 4 ? a[4] : 0);
  const double rate = a[2], par = a[3];
  if (!basis || issue >= settlement || rate <= 0 || par <= 0) return ErrorCode::Num;
  return numberResult(par * rate * yearFraction(issue, settlement, *basis));
}

namespace {

// The coupon dates of a security on the schedule through its first interest date: date(0) is
// that date, date(-1) the one a period before.
struct InterestSchedule {
  int firstInterest = 0, frequency = 2;
  Basis basis = Basis::Us30_360;
  int months() const { return 12 / frequency; }
  bool endOfMonth() const { return isLastDayOfMonth(civilFromSerial(firstInterest)); }
  int date(int period) const { return couponDate(firstInterest, period * months(), endOfMonth()); }

  // The normal length of the period settlement falls in; periods after the first interest
  // date take the length of the one that ends on it.
  double lengthOf(int periodStart) const {
    const int start = std::min(periodStart, date(-1));
    switch (basis) {
      case Basis::Actual: return couponDate(start, months(), endOfMonth()) - start;
      case Basis::Actual365: return 365.0 / frequency;
      default: return 360.0 / frequency;
    }
  }
  // The period settlement falls in: -1 up to the first interest date.
  int periodOf(int settlement) const {
    if (settlement <= firstInterest) return -1;
    int k = 0;
    while (date(k + 1) < settlement) ++k;
    return k;
  }
};

// Each period from issue to settlement adds the share of it accrued; whole ones count one.
double periodsFromIssue(const InterestSchedule& s, int issue, int settlement) {
  const int k = s.periodOf(settlement);
  auto share = [&](int from, int to, int start) { return dayCount(from, to, s.basis) / s.lengthOf(start); };
  double periods = share(std::max(issue, s.date(k)), settlement, s.date(k));
  for (int j = k - 1; s.date(j + 1) > issue; --j) {
    const int start = s.date(j), end = s.date(j + 1);
    periods += start >= issue ? 1.0 : share(issue, end, start);
  }
  return periods;
}

// Without calc_method Excel counts the days from issue to the first coupon date on or after
// it, over that period's length, and the days between settlement and the coupon date all but
// one of the whole periods between issue and the first interest date later on, over the length
// of the period that date starts (negative when settlement comes first).
double periodsExcludingEarlyOnes(const InterestSchedule& s, int issue, int settlement) {
  int first = 0;
  while (s.date(first - 1) >= issue) --first;
  int fit = 0;
  while (couponDate(issue, (fit + 1) * s.months(), false) <= s.firstInterest) ++fit;
  const int next = s.date(first), stepped = s.date(first + std::max(0, fit - 1));
  const double toNext = dayCount(issue, next, s.basis) / s.lengthOf(s.date(first - 1));
  const double sinceStepped = stepped <= settlement ? dayCount(stepped, settlement, s.basis)
                                                    : -dayCount(settlement, stepped, s.basis);
  return toNext + sinceStepped / s.lengthOf(stepped);
}

}  // namespace

// ACCRINT: the interest accrued by settlement, period by period on the coupon schedule.
Value accrint(const Args& args) {
  double x[7] = {};
  for (std::size_t i = 0; i < 7 && i < args.size(); ++i)
    if (auto e = strictArgument(args, i, x[i])) return *e;
  bool fromIssue = true;
  if (args.size() > 7 && !args.isMissing(7)) {
    const Truth t = toTruth(args.scalar(7));
    if (t.failed) return t.error;
    fromIssue = t.value;
  }
  int issue = 0, settlement = 0;
  InterestSchedule s;
  if (auto e = dateArgument(x[0], issue)) return *e;
  if (auto e = dateArgument(x[1], s.firstInterest)) return *e;
  if (auto e = dateArgument(x[2], settlement)) return *e;
  const double rate = x[3], par = x[4];
  const auto frequency = frequencyOf(x[5]);
  const auto basis = basisOf(args.size() > 6 ? x[6] : 0);
  if (!frequency || !basis || rate <= 0 || par <= 0 || issue >= settlement) return ErrorCode::Num;
  s.frequency = *frequency;
  s.basis = *basis;
  const double periods = fromIssue ? periodsFromIssue(s, issue, settlement)
                                   : periodsExcludingEarlyOnes(s, issue, settlement);
  return numberResult(par * rate / s.frequency * periods);
}

}  // namespace calc
