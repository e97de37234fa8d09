// Securities: the coupon schedule (COUP...), discounted securities and Treasury bills, the day
// counts YEARFRAC and DAYS360, and the registration of the whole family.
#include <algorithm>
#include <cmath>

#include "day_count.h"
#include "financial_internal.h"

namespace calc {
namespace {

// Settlement and maturity, settlement strictly first.
std::optional<ErrorCode> termOf(const double* a, int& settlement, int& maturity) {
  if (auto e = dateArgument(a[0], settlement)) return e;
  if (auto e = dateArgument(a[1], maturity)) return e;
  if (settlement >= maturity) return ErrorCode::Num;
  return std::nullopt;
}

std::optional<ErrorCode> basisArgument(const double* a, std::size_t n, std::size_t i, Basis& basis) {
  const auto b = basisOf(i < n ? a[i] : 0);
  if (!b) return ErrorCode::Num;
  basis = *b;
  return std::nullopt;
}

// The arguments of the COUP... functions: settlement, maturity, frequency, [basis].
std::optional<ErrorCode> scheduleOf(const double* a, std::size_t n, CouponSchedule& s) {
  if (auto e = termOf(a, s.settlement, s.maturity)) return e;
  const auto f = frequencyOf(a[2]);
  if (!f) return ErrorCode::Num;
  s.frequency = *f;
  return basisArgument(a, n, 3, s.basis);
}

template <class Get>
Value fromSchedule(const double* a, std::size_t n, Get&& get) {
  CouponSchedule s;
  if (auto e = scheduleOf(a, n, s)) return *e;
  return numberResult(static_cast<double>(get(s)));
}

// A discounted security: settlement, maturity, two amounts and [basis]; the term in years.
struct Discounted {
  YearFraction term;
  double years = 0, first = 0, second = 0;
};

std::optional<ErrorCode> discountedOf(const double* a, std::size_t n, Discounted& d) {
  int settlement = 0, maturity = 0;
  if (auto e = termOf(a, settlement, maturity)) return e;
  Basis basis{};
  if (auto e = basisArgument(a, n, 4, basis)) return e;
  d.first = a[2];
  d.second = a[3];
  if (d.first <= 0 || d.second <= 0) return ErrorCode::Num;
  d.term = yearFractionParts(settlement, maturity, basis);
  d.years = d.term.value();
  return std::nullopt;
}

// A Treasury bill: at most one year from settlement to maturity; the third argument positive.
std::optional<ErrorCode> billOf(const double* a, double& days) {
  int settlement = 0, maturity = 0;
  if (auto e = termOf(a, settlement, maturity)) return e;
  if (maturity > couponDate(settlement, 12, false) || a[2] <= 0) return ErrorCode::Num;
  days = maturity - settlement;
  return std::nullopt;
}

}  // namespace

Value yearfrac(const double* a, std::size_t n) {
  int start = 0, end = 0;
  if (auto e = dateArgument(a[0], start)) return *e;
  if (auto e = dateArgument(a[1], end)) return *e;
  Basis basis{};
  if (auto e = basisArgument(a, n, 2, basis)) return *e;
  return numberResult(yearFraction(start, end, basis));
}

// DAYS360 reads a date to the nearest second (23:59:59.9 is the next day), and its method
// as a truth value ("TRUE" included).
Value days360Function(const Args& args) {
  int dates[2] = {};
  for (std::size_t i = 0; i < 2; ++i) {
    const Number n = toNumber(args.isMissing(i) ? Value(0.0) : args.scalar(i));
    if (n.failed) return n.error;
    if (auto e = dateArgument(n.value + 0.5 / 86400, dates[i])) return *e;
  }
  bool european = false;
  if (args.size() > 2 && !args.isMissing(2)) {
    const Truth t = toTruth(args.scalar(2));
    if (t.failed) return t.error;
    european = t.value;
  }
  return static_cast<double>(days360(dates[0], dates[1], european));
}

Value coupdaybs(const double* a, std::size_t n) {
  return fromSchedule(a, n, [](const CouponSchedule& s) { return s.daysFromPrevious(); });
}
Value coupdays(const double* a, std::size_t n) {
  return fromSchedule(a, n, [](const CouponSchedule& s) { return s.periodDays(); });
}
Value coupdaysnc(const double* a, std::size_t n) {
  return fromSchedule(a, n, [](const CouponSchedule& s) { return s.daysToNext(); });
}
Value coupncd(const double* a, std::size_t n) {
  return fromSchedule(a, n, [](const CouponSchedule& s) { return s.nextCoupon(); });
}
Value coupnum(const double* a, std::size_t n) {
  return fromSchedule(a, n, [](const CouponSchedule& s) { return s.couponsRemaining(); });
}
Value couppcd(const double* a, std::size_t n) {
  return fromSchedule(a, n, [](const CouponSchedule& s) { return s.previousCoupon(); });
}

Value disc(const double* a, std::size_t n) {
  Discounted d;
  if (auto e = discountedOf(a, n, d)) return *e;
  return numberResult((1 - d.first / d.second) * (d.term.yearDays / d.term.days));
}

Value intrate(const double* a, std::size_t n) {
  Discounted d;
  if (auto e = discountedOf(a, n, d)) return *e;
  return numberResult((d.second - d.first) / d.first / d.years);
}

Value received(const double* a, std::size_t n) {
  Discounted d;
  if (auto e = discountedOf(a, n, d)) return *e;
  const double left = 1 - d.second * d.years;
  if (left <= 0) return ErrorCode::Num;
  return numberResult(d.first / left);
}

Value pricedisc(const double* a, std::size_t n) {
  Discounted d;
  if (auto e = discountedOf(a, n, d)) return *e;
  return numberResult(d.second * (1 - d.first * d.years));
}

Value yielddisc(const double* a, std::size_t n) {
  Discounted d;
  if (auto e = discountedOf(a, n, d)) return *e;
  return numberResult((d.second - d.first) / d.first / d.years);
}

namespace {

// PRICEMAT and YIELDMAT: a security paying its interest at maturity, counted from issue.
struct AtMaturity {
  double issueToMaturity, settlementToMaturity, issueToSettlement, year, rate, third;
};

std::optional<ErrorCode> atMaturityOf(const double* a, std::size_t n, AtMaturity& m) {
  int settlement = 0, maturity = 0, issue = 0;
  if (auto e = termOf(a, settlement, maturity)) return e;
  if (auto e = dateArgument(a[2], issue)) return e;
  Basis basis{};
  if (auto e = basisArgument(a, n, 5, basis)) return e;
  m.rate = a[3];
  m.third = a[4];
  if (m.rate < 0 || m.third < 0 || issue > settlement) return ErrorCode::Num;
  m.year = daysInYear(settlement, basis);
  m.issueToMaturity = dayCount(issue, maturity, basis);
  m.settlementToMaturity = dayCount(settlement, maturity, basis);
  m.issueToSettlement = dayCount(issue, settlement, basis);
  return std::nullopt;
}

}  // namespace

Value pricemat(const double* a, std::size_t n) {
  AtMaturity m{};
  if (auto e = atMaturityOf(a, n, m)) return *e;
  const double atEnd = 100 + m.issueToMaturity / m.year * m.rate * 100;
  return numberResult(atEnd / (1 + m.settlementToMaturity / m.year * m.third) -
                      m.issueToSettlement / m.year * m.rate * 100);
}

Value yieldmat(const double* a, std::size_t n) {
  AtMaturity m{};
  if (auto e = atMaturityOf(a, n, m)) return *e;
  if (m.third <= 0) return ErrorCode::Num;
  const double paid = m.third / 100 + m.issueToSettlement / m.year * m.rate;
  return numberResult((1 + m.issueToMaturity / m.year * m.rate - paid) / paid * m.year /
                      m.settlementToMaturity);
}

Value tbillprice(const double* a, std::size_t) {
  double days = 0;
  if (auto e = billOf(a, days)) return *e;
  const double result = 100 * (1 - a[2] * days / 360);
  if (result <= 0) return ErrorCode::Num;
  return numberResult(result);
}

Value tbillyield(const double* a, std::size_t) {
  double days = 0;
  if (auto e = billOf(a, days)) return *e;
  return numberResult((100 - a[2]) / a[2] * 360 / days);
}

// The bond-equivalent yield: simple interest up to half a year, compounded twice beyond.
Value tbilleq(const double* a, std::size_t) {
  double days = 0;
  if (auto e = billOf(a, days)) return *e;
  const double discount = a[2];
  if (days <= 182) {
    const double denominator = 360 - discount * days;
    if (denominator <= 0) return ErrorCode::Num;
    return numberResult(365 * discount / denominator);
  }
  // The price taken off 100 rather than as a share of it: Excel's last digits follow this.
  const double price = 100 - 100 * discount * days / 360;
  if (price <= 0) return ErrorCode::Num;
  const double t = days / std::max(365.0, days);  // a bill of 366 days runs a whole leap year
  const double root = t * t - (2 * t - 1) * (1 - 100 / price);
  if (root < 0) return ErrorCode::Num;
  return numberResult((-t + std::sqrt(root)) / (t - 0.5));
}

namespace {

const FunctionSpec kBonds[] = {
    strictNumbers("YEARFRAC", 2, 3, yearfrac),
    raw("DAYS360", 2, 3, days360Function),
    strictNumbers("COUPDAYBS", 3, 4, coupdaybs),
    strictNumbers("COUPDAYS", 3, 4, coupdays),
    strictNumbers("COUPDAYSNC", 3, 4, coupdaysnc),
    strictNumbers("COUPNCD", 3, 4, coupncd),
    strictNumbers("COUPNUM", 3, 4, coupnum),
    strictNumbers("COUPPCD", 3, 4, couppcd),
    strictNumbers("DISC", 4, 5, disc),
    strictNumbers("INTRATE", 4, 5, intrate),
    strictNumbers("RECEIVED", 4, 5, received),
    strictNumbers("PRICEDISC", 4, 5, pricedisc),
    strictNumbers("YIELDDISC", 4, 5, yielddisc),
    strictNumbers("PRICEMAT", 5, 6, pricemat),
    strictNumbers("YIELDMAT", 5, 6, yieldmat),
    strictNumbers("TBILLEQ", 3, 3, tbilleq),
    strictNumbers("TBILLPRICE", 3, 3, tbillprice),
    strictNumbers("TBILLYIELD", 3, 3, tbillyield),
    raw("ACCRINT", 6, 8, accrint),
    strictNumbers("ACCRINTM", 4, 5, accrintm),
    strictNumbers("PRICE", 6, 7, price),
    strictNumbers("YIELD", 6, 7, yieldFunction),
    strictNumbers("DURATION", 5, 6, duration),
    strictNumbers("MDURATION", 5, 6, mduration),
    raw("ODDFPRICE", 8, 9, oddfprice),
    raw("ODDFYIELD", 8, 9, oddfyield),
    strictNumbers("ODDLPRICE", 7, 8, oddlprice),
    strictNumbers("ODDLYIELD", 7, 8, oddlyield),
};

}  // namespace

std::span<const FunctionSpec> bondFunctions() { return kBonds; }

}  // namespace calc
