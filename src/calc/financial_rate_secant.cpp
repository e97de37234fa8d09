// Excel's RATE results follow the secant method on the rate itself rather than Newton's
// method: from the guess and a second point a thousandth below it, on the balance at the end
// of the term, with the growth (1+r)^n taken as exp(n log1p(r)). It stops at the first point
// where both the balance and the step are below 1e-7; taking the same steps gives its digits.
// The search gives up (for the caller's own method to take over) rather than settle on noise.
#include "financial_rate_secant.h"

#include <cmath>

namespace calc {
namespace {

constexpr double kSecondPoint = -0.001;  // the second point's distance from the guess
constexpr double kSettled = 1e-7;        // both the balance and the step must fall below this
constexpr int kMostSteps = 50;
// Near a rate of 0 the closed form cancels to noise: the search gives up there and leaves the
// root to a method that expands the balance around 0.
constexpr double kNearZero = 1e-6;

// What is left at the end of the term: the present value grown, the payments with their
// interest, and the future value. Not defined at r = 0.
double balanceAtEnd(double r, double periods, double pay, double present, double future, double type) {
  const double growth = std::exp(periods * std::log1p(r));
  return present * growth + pay * (1 + r * type) * (growth - 1) / r + future;
}

}  // namespace

std::optional<double> rateBySecant(double periods, double pay, double present, double future, bool start,
                                   double guess) {
  const double type = start ? 1 : 0;
  auto balance = [&](double r) { return balanceAtEnd(r, periods, pay, present, future, type); };
  double r0 = guess, r1 = guess + kSecondPoint;
  double f0 = balance(r0);
  for (int i = 0; i < kMostSteps; ++i) {
    const double f1 = balance(r1);
    if (f1 == f0 || !std::isfinite(f0) || !std::isfinite(f1)) return std::nullopt;
    const double r2 = r1 - f1 * (r1 - r0) / (f1 - f0);
    if (!(r2 > -1) || !std::isfinite(r2) || std::fabs(r2) < kNearZero) return std::nullopt;
    if (std::fabs(balance(r2)) < kSettled && std::fabs(r2 - r1) < kSettled) return r2;
    r0 = r1;
    f0 = f1;
    r1 = r2;
  }
  return std::nullopt;
}

}  // namespace calc
