// Annuities: the time value of money (PMT, PV, FV, NPER, RATE and the split of a payment into
// interest and principal), interest-rate conversions and fractional dollar prices.
#include <cmath>

#include "financial_internal.h"
#include "financial_rate_secant.h"

namespace calc {
namespace {

// Arguments left out are 0; a payment type is "at the start" when not 0.
double at(const double* a, std::size_t n, std::size_t i) { return i < n ? a[i] : 0.0; }
bool atStart(const double* a, std::size_t n, std::size_t i) { return at(a, n, i) != 0; }

// The annuity factor ((1+r)^n - 1)/r over the term, from the plain power: Excel's results follow
// this order of operations to the last digit.
double annuityFactor(double r, double growth) { return (growth - 1) / r; }

double payment(double r, double periods, double present, double future, bool start) {
  if (r == 0) return -(present + future) / periods;
  const double g = std::pow(1 + r, periods);
  return -(present * g + future) / ((1 + r * (start ? 1 : 0)) * annuityFactor(r, g));
}

double futureValue(double r, double periods, double pay, double present, bool start) {
  if (r == 0) return -(present + pay * periods);
  const double g = std::pow(1 + r, periods);
  return -(present * g + pay * ((1 + r * (start ? 1 : 0)) * annuityFactor(r, g)));
}

// The split of a payment into interest and principal cancels most of the payment away, so it is
// carried in extended precision: the last digits then come out as Excel's do.
using Wide = long double;

Wide widePayment(Wide r, Wide periods, Wide present, Wide future, bool start) {
  if (r == 0) return -(present + future) / periods;
  const Wide g = std::pow(1 + r, periods);
  return -(present * g + future) / ((1 + r * (start ? 1 : 0)) * ((g - 1) / r));
}

Wide wideFutureValue(Wide r, Wide periods, Wide pay, Wide present, bool start) {
  if (r == 0) return -(present + pay * periods);
  const Wide g = std::pow(1 + r, periods);
  // The growth less one times the payment before the division by the rate: Excel's order.
  return -(present * g + pay * (1 + r * (start ? 1 : 0)) * (g - 1) / r);
}

// The payment and its interest part for payment `period` (1-based).
struct PaymentSplit {
  Wide payment, interest;
};

PaymentSplit splitPayment(Wide r, Wide period, Wide periods, Wide present, Wide future, bool start) {
  const Wide pay = widePayment(r, periods, present, future, start);
  Wide interest;
  if (period == 1) interest = start ? 0 : -present;
  else if (start) interest = wideFutureValue(r, period - 2, pay, present, true) - pay;
  else interest = wideFutureValue(r, period - 1, pay, present, false);
  return {pay, interest * r};
}

// The balance equation RATE solves and its slope in the rate.
struct Balance {
  double value, slope;
};

Balance balanceAt(double r, double periods, double pay, double present, double future, bool start) {
  const double type = start ? 1 : 0;
  if (std::fabs(r) < 1e-12) {
    return {present + pay * periods + future,
            present * periods + pay * (type * periods + periods * (periods - 1) / 2)};
  }
  const double t = std::pow(1 + r, periods);
  const double dt = periods * std::pow(1 + r, periods - 1);
  const double annuity = (t - 1) / r;
  const double dAnnuity = (dt * r - (t - 1)) / (r * r);
  return {present * t + pay * (1 + r * type) * annuity + future,
          present * dt + pay * type * annuity + pay * (1 + r * type) * dAnnuity};
}

}  // namespace

Value pmt(const double* a, std::size_t n) {
  // At or below -100% a period nothing is left to pay back: Excel refuses it here.
  if (a[1] == 0 || a[0] <= -1) return ErrorCode::Num;
  // Carried in extended precision like the split of a payment: its last digit is Excel's.
  return numberResult(static_cast<double>(widePayment(a[0], a[1], a[2], at(a, n, 3), atStart(a, n, 4))));
}

Value pv(const double* a, std::size_t n) {
  const double r = a[0], periods = a[1], pay = a[2], future = at(a, n, 3);
  const bool start = atStart(a, n, 4);
  if (r == 0) return numberResult(-(future + pay * periods));
  if (r == -1) return ErrorCode::Num;
  const double g = std::pow(1 + r, periods);
  return numberResult(-(future + pay * ((1 + r * (start ? 1 : 0)) * annuityFactor(r, g))) / g);
}

Value fv(const double* a, std::size_t n) {
  if (a[0] == -1 && a[1] < 0) return ErrorCode::Div0;
  return numberResult(futureValue(a[0], a[1], a[2], at(a, n, 3), atStart(a, n, 4)));
}

Value nper(const double* a, std::size_t n) {
  const double r = a[0], pay = a[1], present = a[2], future = at(a, n, 3);
  const bool start = atStart(a, n, 4);
  if (r == 0) {
    if (pay == 0) return ErrorCode::Num;
    return numberResult(-(present + future) / pay);
  }
  if (r <= -1) return ErrorCode::Num;
  const double scaled = pay * (1 + r * (start ? 1 : 0));
  const double ratio = (scaled - future * r) / (scaled + present * r);
  if (!(ratio > 0)) return ErrorCode::Num;
  return numberResult(std::log(ratio) / std::log(1 + r));
}

// Excel's own search from the guess (10% when left out) first, for its digits. Where that does
// not settle, Newton's method: at most 50 steps to a step below 1e-7, then a few more steps to
// settle the last digits.
Value rate(const double* a, std::size_t n) {
  const double periods = a[0], pay = a[1], present = a[2], future = at(a, n, 3);
  const bool start = atStart(a, n, 4);
  double r = n > 5 ? a[5] : 0.1;
  if (periods <= 0) return ErrorCode::Num;
  if (const auto found = rateBySecant(periods, pay, present, future, start, r)) return numberResult(*found);
  bool converged = false;
  for (int i = 0; i < 50 && !converged; ++i) {
    const Balance b = balanceAt(r, periods, pay, present, future, start);
    if (b.slope == 0 || !std::isfinite(b.slope)) return ErrorCode::Num;
    const double step = b.value / b.slope;
    r -= step;
    if (!std::isfinite(r) || r <= -1) return ErrorCode::Num;
    converged = std::fabs(step) < 1e-7;
  }
  if (!converged) return ErrorCode::Num;
  for (int i = 0; i < 3; ++i) {
    const Balance b = balanceAt(r, periods, pay, present, future, start);
    if (b.slope == 0 || !std::isfinite(b.slope)) break;
    const double next = r - b.value / b.slope;
    if (!std::isfinite(next)) break;
    r = next;
  }
  return numberResult(r);
}

Value ipmt(const double* a, std::size_t n) {
  const double r = a[0], period = a[1], periods = a[2];
  if (period < 1 || period >= periods + 1) return ErrorCode::Num;
  return numberResult(static_cast<double>(splitPayment(r, period, periods, a[3], at(a, n, 4), atStart(a, n, 5)).interest));
}

Value ppmt(const double* a, std::size_t n) {
  const double r = a[0], period = a[1], periods = a[2], future = at(a, n, 4);
  const bool start = atStart(a, n, 5);
  if (period < 1 || period >= periods + 1) return ErrorCode::Num;
  const PaymentSplit split = splitPayment(r, period, periods, a[3], future, start);
  return numberResult(static_cast<double>(split.payment - split.interest));
}

namespace {

// Longer runs of periods are summed in closed form rather than one by one.
constexpr double kLongestSum = 100000;

// CUMIPMT and CUMPRINC: the interest (or principal) paid from one period to another.
Value cumulative(const double* a, bool principal) {
  const double r = a[0], periods = a[1], present = a[2];
  const double first = std::ceil(a[3]), last = std::trunc(a[4]), type = a[5];
  if (r <= 0 || periods <= 0 || present <= 0) return ErrorCode::Num;
  if (first < 1 || last < first || last > periods || (type != 0 && type != 1)) return ErrorCode::Num;
  const bool start = type == 1;
  const double pay = payment(r, periods, present, 0, start);
  if (last - first > kLongestSum) {
    // Each payment's principal is the one before grown by a period's interest (from the
    // second on when paying at the start): a geometric sum, from a first term taken without
    // cancellation.
    double principalSum = 0, from = first;
    if (start && first == 1) {
      principalSum = pay;
      from = 2;
    }
    const double logGrowth = std::log1p(r);
    const double firstTerm = -present * r / (std::pow(1 + r, periods) - 1);
    const double offset = from - (start ? 2 : 1);
    principalSum += firstTerm * std::exp(offset * logGrowth) * std::expm1((last - from + 1) * logGrowth) / r;
    return numberResult(principal ? principalSum : pay * (last - first + 1) - principalSum);
  }
  Wide total = 0;
  for (double p = first; p <= last; ++p) {
    const PaymentSplit split = splitPayment(r, p, periods, present, 0, start);
    total += principal ? split.payment - split.interest : split.interest;
  }
  return numberResult(static_cast<double>(total));
}

}  // namespace

Value cumipmt(const double* a, std::size_t) { return cumulative(a, false); }
Value cumprinc(const double* a, std::size_t) { return cumulative(a, true); }

Value ispmt(const double* a, std::size_t) {
  if (a[2] == 0) return ErrorCode::Div0;
  return numberResult(a[3] * a[0] * (a[1] / a[2] - 1));
}

Value effect(const double* a, std::size_t) {
  const double nominalRate = a[0], perYear = std::trunc(a[1]);
  if (nominalRate <= 0 || perYear < 1) return ErrorCode::Num;
  // The growth through the logarithm and expm1, as Excel takes it, to the last digit.
  return numberResult(std::expm1(perYear * std::log(1 + nominalRate / perYear)));
}

Value nominal(const double* a, std::size_t) {
  const double effectiveRate = a[0], perYear = std::trunc(a[1]);
  if (effectiveRate <= 0 || perYear < 1) return ErrorCode::Num;
  // The root through the logarithm, as Excel takes it, to the last digit.
  return numberResult(perYear * (std::exp(std::log(1 + effectiveRate) / perYear) - 1));
}

Value pduration(const double* a, std::size_t) {
  if (a[0] <= 0 || a[1] <= 0 || a[2] <= 0) return ErrorCode::Num;
  return numberResult((std::log(a[2]) - std::log(a[1])) / std::log1p(a[0]));
}

Value rri(const double* a, std::size_t) {
  const double periods = a[0], present = a[1], future = a[2];
  if (periods <= 0) return ErrorCode::Num;
  if (present == 0) return ErrorCode::Num;
  return numberResult(std::pow(future / present, 1 / periods) - 1);
}

namespace {

// The power of ten just above the denominator: a fraction of 16ths is written in hundredths.
double decimalScale(double denominator) { return std::pow(10.0, std::ceil(std::log10(denominator))); }

Value fractionalDollar(const double* a, bool toDecimal) {
  const double dollar = a[0], denominator = std::trunc(a[1]);
  if (denominator < 0) return ErrorCode::Num;
  if (denominator < 1) return ErrorCode::Div0;
  const double whole = std::trunc(dollar), part = dollar - whole;
  const double scale = decimalScale(denominator);
  return numberResult(whole + (toDecimal ? part * scale / denominator : part * denominator / scale));
}

}  // namespace

Value dollarde(const double* a, std::size_t) { return fractionalDollar(a, true); }
Value dollarfr(const double* a, std::size_t) { return fractionalDollar(a, false); }

}  // namespace calc
