// Distributions of counts: binomial (with its range and inverse), negative binomial, Poisson,
// hypergeometric. Counts are truncated to whole numbers, as Excel reads them.
#include <limits>

#include <boost/math/distributions/binomial.hpp>
#include <boost/math/distributions/hypergeometric.hpp>
#include <boost/math/distributions/negative_binomial.hpp>
#include <boost/math/distributions/poisson.hpp>

#include "distribution_binomial.h"
#include "distribution_support.h"

namespace calc::distribution {
namespace {

using Binomial = boost::math::binomial_distribution<double, Policy>;
using NegativeBinomial = boost::math::negative_binomial_distribution<double, Policy>;
using Poisson = boost::math::poisson_distribution<double, Policy>;
using Hypergeometric = boost::math::hypergeometric_distribution<double, Policy>;
using boost::math::complement;

constexpr unsigned kFlag4 = 1u << 3, kFlag3 = 1u << 2, kFlag5 = 1u << 4;

// Above this many terms a binomial sum is taken from the distribution's tails instead.
constexpr double kMaxSummedTerms = 1000;
// A lower tail of at most this many terms is their sum: the incomplete beta function loses
// digits there when the trials are many (1e-14 of P(X <= 1) in a million).
constexpr double kMaxSummedTail = 32;
// Counts past 2^53 are no longer whole numbers a double holds exactly.
constexpr double kMaxCount = 9007199254740992.0;

// A count as given: negative is refused before truncation, so -0.5 does not pass as 0.
bool validCount(double x) { return x >= 0 && x <= kMaxCount; }

// P(X <= successes).
double binomialCdf(const Binomial& binomial, double successes) {
  const double trials = binomial.trials(), p = binomial.success_fraction();
  if (successes >= kMaxSummedTail || successes > trials * p) return cdf(binomial, successes);
  double total = 0;
  for (double k = 0; k <= successes; ++k) total += binomialProbability(k, trials, p);
  return total;
}

// BINOM.DIST(successes, trials, p, cumulative).
Value binomDist(const double* a, std::size_t) {
  const double successes = std::trunc(a[0]), trials = std::trunc(a[1]), p = a[2];
  if (!validCount(a[0]) || !validCount(a[1]) || successes > trials || !closedProbability(p)) return ErrorCode::Num;
  if (a[3] == 0) return numberResult(binomialProbability(successes, trials, p));
  return numberResult(binomialCdf(Binomial(trials, p), successes));
}

// P(first <= X <= last): short ranges summed term by term, long ones from the two tails on
// the side where they are small, so that neither loses the digits of a tiny probability.
double binomialRange(const Binomial& binomial, double first, double last) {
  if (last - first < kMaxSummedTerms) {
    double total = 0;
    for (double k = first; k <= last; ++k)
      total += binomialProbability(k, binomial.trials(), binomial.success_fraction());
    return total;
  }
  const double mean = binomial.trials() * binomial.success_fraction();
  if (first > mean) return cdf(complement(binomial, first - 1)) - cdf(complement(binomial, last));
  return cdf(binomial, last) - (first > 0 ? cdf(binomial, first - 1) : 0.0);
}

// BINOM.DIST.RANGE(trials, p, first, [last]): the chance of first..last successes.
Value binomDistRange(const double* a, std::size_t n) {
  const double trials = std::trunc(a[0]), p = a[1], first = std::trunc(a[2]);
  const double last = n > 3 ? std::trunc(a[3]) : first;
  if (!validCount(a[0]) || !closedProbability(p) || !validCount(a[2]) || first > trials || last < first ||
      last > trials)
    return ErrorCode::Num;
  return numberResult(binomialRange(Binomial(trials, p), first, last));
}

// BINOM.INV(trials, p, alpha): the fewest successes whose cumulative probability reaches alpha.
Value binomInv(const double* a, std::size_t) {
  const double trials = std::trunc(a[0]), p = a[1], alpha = a[2];
  if (!validCount(a[0]) || !(p >= 0 && p < 1) || !openProbability(alpha)) return ErrorCode::Num;
  const Binomial binomial(trials, p);
  double low = 0, high = trials;
  while (low < high) {
    const double middle = low + std::floor((high - low) / 2);  // low + high could round past 2^53
    if (binomialCdf(binomial, middle) >= alpha) high = middle;
    else low = middle + 1;
  }
  return low;
}

// The chance of `failures` failures before the `successes`-th success: the last trial is a
// success, the ones before it binomial.
double negativeBinomialProbability(double failures, double successes, double p) {
  return successes / (successes + failures) * binomialProbability(successes, successes + failures, p);
}

// NEGBINOM.DIST(failures, successes, p, cumulative): failures before the given successes.
Value negBinomDist(const double* a, std::size_t) {
  const double failures = std::trunc(a[0]), successes = std::trunc(a[1]), p = a[2];
  if (!validCount(a[0]) || !validCount(a[1]) || successes < 1 || !openProbability(p)) return ErrorCode::Num;
  if (a[3] == 0) return numberResult(negativeBinomialProbability(failures, successes, p));
  return numberResult(cdf(NegativeBinomial(successes, p), failures));
}

// NEGBINOMDIST(failures, successes, p): the density, taking p = 0 and p = 1 at their limits.
Value negBinomDistOld(const double* a, std::size_t) {
  const double failures = std::trunc(a[0]), successes = std::trunc(a[1]), p = a[2];
  if (!validCount(a[0]) || !validCount(a[1]) || successes < 1 || !closedProbability(p)) return ErrorCode::Num;
  if (p == 0) return 0.0;
  if (p == 1) return failures == 0 ? 1.0 : 0.0;
  return numberResult(negativeBinomialProbability(failures, successes, p));
}

// POISSON.DIST(x, mean, cumulative); a mean of 0 puts everything on x = 0.
Value poissonDist(const double* a, std::size_t) {
  const double x = std::trunc(a[0]), mean = a[1];
  if (!validCount(a[0]) || mean < 0) return ErrorCode::Num;
  const bool cumulative = a[2] != 0;
  if (mean == 0) return cumulative || x == 0 ? 1.0 : 0.0;
  const Poisson poisson(mean);
  return numberResult(cumulative ? cdf(poisson, x) : pdf(poisson, x));
}

// HYPGEOM.DIST(sample successes, sample size, population successes, population size,
// cumulative): drawing without replacement.
Value hypergeometric(const double* a, bool cumulative) {
  const double drawn = std::trunc(a[0]), sample = std::trunc(a[1]);
  const double successes = std::trunc(a[2]), population = std::trunc(a[3]);
  if (population <= 0 || population > std::numeric_limits<unsigned>::max()) return ErrorCode::Num;
  if (sample <= 0 || sample > population || successes <= 0 || successes > population) return ErrorCode::Num;
  if (a[0] < 0 || drawn > std::min(sample, successes) || drawn < sample - population + successes)
    return ErrorCode::Num;
  const Hypergeometric h(static_cast<unsigned>(successes), static_cast<unsigned>(sample),
                         static_cast<unsigned>(population));
  const auto k = static_cast<unsigned>(drawn);
  return numberResult(cumulative ? cdf(h, k) : pdf(h, k));
}

Value hypgeomDist(const double* a, std::size_t) { return hypergeometric(a, a[4] != 0); }
Value hypgeomDistOld(const double* a, std::size_t) { return hypergeometric(a, false); }

const FunctionSpec kDiscrete[] = {
    newer(scalars("BINOM.DIST", 4, 4, withFlags<kFlag4, binomDist>)),
    scalars("BINOMDIST", 4, 4, withFlags<kFlag4, binomDist>),
    newer(numbers("BINOM.DIST.RANGE", 3, 4, binomDistRange)),
    newer(numbers("BINOM.INV", 3, 3, binomInv)),
    numbers("CRITBINOM", 3, 3, binomInv),
    newer(scalars("NEGBINOM.DIST", 4, 4, withFlags<kFlag4, negBinomDist>)),
    numbers("NEGBINOMDIST", 3, 3, negBinomDistOld),
    newer(scalars("POISSON.DIST", 3, 3, withFlags<kFlag3, poissonDist>)),
    scalars("POISSON", 3, 3, withFlags<kFlag3, poissonDist>),
    newer(scalars("HYPGEOM.DIST", 5, 5, withFlags<kFlag5, hypgeomDist>)),
    numbers("HYPGEOMDIST", 4, 4, hypgeomDistOld),
};

}  // namespace

std::span<const FunctionSpec> discreteDistributionFunctions() { return kDiscrete; }

}  // namespace calc::distribution
