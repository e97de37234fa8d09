#include "distribution_binomial.h"

#include <cmath>

#include <boost/math/special_functions/gamma.hpp>

namespace calc::distribution {
namespace {

using Long = long double;

constexpr Long kLnSqrtTwoPi = 0.918938533204672741780329736405617639861L;
constexpr Long kTwoPi = 6.283185307179586476925286766559005768394L;

// ln(n!) less Stirling's approximation (n + 1/2) ln n - n + ln sqrt(2 pi), for n >= 1. Small n
// take it from ln(n!) itself, where nothing large cancels; larger n from Stirling's series.
Long stirlingError(Long n) {
  if (n <= 15) return boost::math::lgamma(n + 1) - (n + 0.5L) * std::log(n) + n - kLnSqrtTwoPi;
  const Long square = n * n;
  return (1.0L / 12 - (1.0L / 360 - (1.0L / 1260 - (1.0L / 1680 - 1.0L / 1188 / square) / square) / square) / square) / n;
}

// x ln(x / m) + m - x, the deviance of x from the mean m, without its cancellation near m.
Long deviance(Long x, Long m) {
  if (std::fabs(x - m) < 0.1L * (x + m)) {
    const Long v = (x - m) / (x + m), v2 = v * v;
    Long sum = (x - m) * v, term = 2 * x * v;
    for (int j = 1; j < 1000; ++j) {
      term *= v2;
      const Long next = sum + term / (2 * j + 1);
      if (next == sum) break;
      sum = next;
    }
    return sum;
  }
  return x * std::log(x / m) + m - x;
}

}  // namespace

double binomialProbability(double k, double n, double p) {
  const Long q = 1 - static_cast<Long>(p);
  if (p == 0) return k == 0 ? 1.0 : 0.0;
  if (q == 0) return k == n ? 1.0 : 0.0;
  if (k == 0) return static_cast<double>(std::exp(n * std::log1p(-static_cast<Long>(p))));
  if (k == n) return static_cast<double>(std::exp(n * std::log(static_cast<Long>(p))));
  const Long exponent = stirlingError(n) - stirlingError(k) - stirlingError(n - k) - deviance(k, n * static_cast<Long>(p)) -
                        deviance(n - k, n * q);
  return static_cast<double>(std::exp(exponent) * std::sqrt(static_cast<Long>(n) / (kTwoPi * k * (n - k))));
}

}  // namespace calc::distribution
