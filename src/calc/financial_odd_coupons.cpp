// Bonds whose first or last coupon period is irregular (ODDFPRICE, ODDFYIELD, ODDLPRICE,
// ODDLYIELD). The odd period is cut into quasi-coupon periods of normal length; each part of
// it earns or discounts its share of a regular coupon.
#include <cmath>

#include "day_count.h"
#include "financial_internal.h"

namespace calc {
namespace {

double normalLength(int start, int end, Basis basis, int frequency) {
  switch (basis) {
    case Basis::Actual: return end - start;
    case Basis::Actual365: return 365.0 / frequency;
    default: return 360.0 / frequency;
  }
}

// The days of [from, to] that fall inside the quasi period [start, end].
double daysWithin(int from, int to, int start, int end, Basis basis) {
  const int a = std::max(from, start), b = std::min(to, end);
  return b > a ? dayCount(a, b, basis) : 0.0;
}

// The part of a regular coupon that [from, to] earns in the quasi period [start, end]: a whole
// quasi period earns a whole coupon even when its actual days exceed the basis's period.
double shareWithin(int from, int to, int start, int end, double length, Basis basis) {
  if (from <= start && to >= end) return 1.0;
  return daysWithin(from, to, start, end, basis) / length;
}

// Reads numbers 0..count-1 as the Analysis ToolPak does; a left-out basis is 0.
std::optional<ErrorCode> readAll(const Args& args, double* x, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    x[i] = 0;
    if (i < args.size())
      if (auto e = strictArgument(args, i, x[i])) return e;
  }
  return std::nullopt;
}

struct OddFirst {
  int settlement, maturity, issue, firstCoupon, frequency;
  Basis basis;
  double rate, redemption;
};

std::optional<ErrorCode> oddFirstOf(const Args& args, double& fifth, OddFirst& b) {
  double x[9];
  if (auto e = readAll(args, x, 9)) return e;
  for (int i = 0; i < 4; ++i)
    if (auto e = dateArgument(x[i], i == 0 ? b.settlement : i == 1 ? b.maturity : i == 2 ? b.issue : b.firstCoupon))
      return e;
  const auto f = frequencyOf(x[7]);
  const auto basis = basisOf(x[8]);
  if (!f || !basis) return ErrorCode::Num;
  b.frequency = *f;
  b.basis = *basis;
  b.rate = x[4];
  fifth = x[5];
  b.redemption = x[6];
  if (!(b.issue < b.settlement && b.settlement < b.firstCoupon && b.firstCoupon < b.maturity)) return ErrorCode::Num;
  if (b.rate < 0 || fifth < 0 || b.redemption <= 0) return ErrorCode::Num;
  return std::nullopt;
}

// Price less accrued interest of a bond with an odd first period, at yield `yld`.
double oddFirstPrice(const OddFirst& b, double yld) {
  const int months = 12 / b.frequency;
  const bool eom = isLastDayOfMonth(civilFromSerial(b.firstCoupon));
  const double coupon = 100 * b.rate / b.frequency, base = 1 + yld / b.frequency;
  // Quasi periods back from the first coupon until one starts on or before issue.
  double firstCouponShare = 0, accruedShare = 0, toFirstCoupon = 0;
  for (int k = 0;; ++k) {
    const int end = couponDate(b.firstCoupon, -k * months, eom);
    const int start = couponDate(b.firstCoupon, -(k + 1) * months, eom);
    const double length = normalLength(start, end, b.basis, b.frequency);
    firstCouponShare += shareWithin(b.issue, b.firstCoupon, start, end, length, b.basis);
    accruedShare += shareWithin(b.issue, b.settlement, start, end, length, b.basis);
    if (b.settlement >= start && b.settlement < end)
      toFirstCoupon = k + dayCount(b.settlement, end, b.basis) / length;
    if (start <= b.issue) break;
  }
  // Regular coupons after the first, up to maturity.
  int regular = 0;
  while (couponDate(b.firstCoupon, (regular + 1) * months, eom) < b.maturity) ++regular;
  ++regular;
  double price = coupon * firstCouponShare / std::pow(base, toFirstCoupon);
  for (int k = 1; k <= regular; ++k) price += coupon / std::pow(base, toFirstCoupon + k);
  price += b.redemption / std::pow(base, toFirstCoupon + regular);
  return price - coupon * accruedShare;
}

// Solves price(y) = target for y >= 0 on a bracket, by Newton's method kept inside it.
template <class Price>
std::optional<double> yieldFor(Price&& priceAt, double target, double guess) {
  auto gap = [&](double y) { return priceAt(y) - target; };
  double low = 0, high = 1;
  if (gap(low) < 0) return std::nullopt;
  while (gap(high) > 0 && high < 1e6) high *= 2;
  if (gap(high) > 0) return std::nullopt;
  double y = guess > low && guess < high ? guess : (low + high) / 2;
  for (int i = 0; i < 300; ++i) {
    const double value = gap(y);
    if (value == 0) return y;
    (value > 0 ? low : high) = y;
    const double h = 1e-7 * std::max(1.0, y);
    const double slope = (gap(y + h) - gap(y - h)) / (2 * h);
    double next = slope != 0 ? y - value / slope : (low + high) / 2;
    if (!(next > low && next < high)) next = (low + high) / 2;
    if (std::fabs(next - y) <= 1e-15 * std::max(1.0, y)) return next;
    y = next;
  }
  return y;
}

struct OddLast {
  int settlement, maturity, lastInterest, frequency;
  Basis basis;
  double rate, redemption;
};

std::optional<ErrorCode> oddLastOf(const double* x, std::size_t n, double& fifth, OddLast& b) {
  if (auto e = dateArgument(x[0], b.settlement)) return e;
  if (auto e = dateArgument(x[1], b.maturity)) return e;
  if (auto e = dateArgument(x[2], b.lastInterest)) return e;
  const auto f = frequencyOf(x[6]);
  const auto basis = basisOf(n > 7 ? x[7] : 0);
  if (!f || !basis) return ErrorCode::Num;
  b.frequency = *f;
  b.basis = *basis;
  b.rate = x[3];
  fifth = x[4];
  b.redemption = x[5];
  if (!(b.lastInterest < b.settlement && b.settlement < b.maturity)) return ErrorCode::Num;
  if (b.rate < 0 || fifth < 0 || b.redemption <= 0) return ErrorCode::Num;
  return std::nullopt;
}

// A quasi period of the odd last period: on the actual-day bases (1, 2 and 3) it is as long as
// its calendar days, not a year's days over the frequency; Excel's prices show it on 2 and 3.
double lastQuasiLength(int start, int end, Basis basis, int frequency) {
  if (basis == Basis::Actual360 || basis == Basis::Actual365) return end - start;
  return normalLength(start, end, basis, frequency);
}

// The shares of a regular period in the odd last period: earned to maturity, accrued to
// settlement, and left from settlement to maturity.
struct LastShares {
  double earned = 0, accrued = 0, remaining = 0;
};

LastShares oddLastShares(const OddLast& b) {
  const int months = 12 / b.frequency;
  const bool eom = isLastDayOfMonth(civilFromSerial(b.lastInterest));
  LastShares s;
  for (int k = 0;; ++k) {
    const int start = couponDate(b.lastInterest, k * months, eom);
    const int end = couponDate(b.lastInterest, (k + 1) * months, eom);
    const double length = lastQuasiLength(start, end, b.basis, b.frequency);
    s.earned += shareWithin(b.lastInterest, b.maturity, start, end, length, b.basis);
    s.accrued += shareWithin(b.lastInterest, b.settlement, start, end, length, b.basis);
    s.remaining += shareWithin(b.settlement, b.maturity, start, end, length, b.basis);
    if (end >= b.maturity) break;
  }
  return s;
}

}  // namespace

Value oddfprice(const Args& args) {
  OddFirst b{};
  double yld = 0;
  if (auto e = oddFirstOf(args, yld, b)) return *e;
  return numberResult(oddFirstPrice(b, yld));
}

Value oddfyield(const Args& args) {
  OddFirst b{};
  double pr = 0;
  if (auto e = oddFirstOf(args, pr, b)) return *e;
  if (pr <= 0) return ErrorCode::Num;
  const auto y = yieldFor([&](double y) { return oddFirstPrice(b, y); }, pr, b.rate > 0 ? b.rate : 0.05);
  return y ? numberResult(*y) : Value(ErrorCode::Num);
}

Value oddlprice(const double* x, std::size_t n) {
  OddLast b{};
  double yld = 0;
  if (auto e = oddLastOf(x, n, yld, b)) return *e;
  const LastShares s = oddLastShares(b);
  const double coupon = 100 * b.rate / b.frequency;
  return numberResult((b.redemption + s.earned * coupon) / (1 + s.remaining * yld / b.frequency) -
                      s.accrued * coupon);
}

Value oddlyield(const double* x, std::size_t n) {
  OddLast b{};
  double pr = 0;
  if (auto e = oddLastOf(x, n, pr, b)) return *e;
  if (pr <= 0) return ErrorCode::Num;
  const LastShares s = oddLastShares(b);
  const double coupon = 100 * b.rate / b.frequency;
  const double paid = pr + s.accrued * coupon;
  return numberResult((b.redemption + s.earned * coupon - paid) / paid * b.frequency / s.remaining);
}

}  // namespace calc
