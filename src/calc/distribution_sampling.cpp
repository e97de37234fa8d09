// The distributions of sample statistics: Student's t, chi-squared and F, each as a density,
// a left or right tail (T also two-tailed) and the inverses of the tails; CONFIDENCE.T.
#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <boost/math/special_functions/beta.hpp>

#include "distribution_support.h"

namespace calc::distribution {
namespace {

using StudentT = boost::math::students_t_distribution<double, Policy>;
using ChiSquared = boost::math::chi_squared_distribution<double, Policy>;
using FisherF = boost::math::fisher_f_distribution<double, Policy>;
using boost::math::complement;

constexpr unsigned kFlag3 = 1u << 2, kFlag4 = 1u << 3;

// Degrees of freedom of chi-squared and F: whole numbers from 1 to 10^10.
bool validDegrees(double degrees) { return degrees >= 1 && degrees < 1e10; }

// ---- Student's t: whole degrees of freedom from 1 up.

// The t whose lower tail is p. Within 1e-5 of the median the first terms of the series in
// p - 1/2 (exact in floating point) keep the digits that the general inversion loses there.
double tQuantile(double p, double degrees) {
  const double u = p - 0.5;
  if (std::fabs(u) >= 1e-5) return quantile(StudentT(degrees), p);
  const double density = pdf(StudentT(degrees), 0.0);
  return u / density + (degrees + 1) / (6 * degrees * density * density * density) * u * u * u;
}

Value tDist(const double* a, std::size_t) {
  const double x = a[0], degrees = std::trunc(a[1]);
  if (degrees < 1) return ErrorCode::Num;
  const StudentT t(degrees);
  return numberResult(a[2] != 0 ? cdf(t, x) : pdf(t, x));
}

Value tDistRight(const double* a, std::size_t) {
  const double degrees = std::trunc(a[1]);
  if (degrees < 1) return ErrorCode::Num;
  return numberResult(cdf(complement(StudentT(degrees), a[0])));
}

Value tDistTwoTailed(const double* a, std::size_t) {
  const double degrees = std::trunc(a[1]);
  if (a[0] < 0 || degrees < 1) return ErrorCode::Num;
  return numberResult(2 * cdf(complement(StudentT(degrees), a[0])));
}

// TDIST(x, degrees, tails): whole degrees and tails, x not negative.
Value tDistTails(const double* a, std::size_t) {
  const double x = a[0], degrees = std::trunc(a[1]), tails = std::trunc(a[2]);
  if (x < 0 || degrees < 1 || (tails != 1 && tails != 2)) return ErrorCode::Num;
  return numberResult(tails * cdf(complement(StudentT(degrees), x)));
}

Value tInv(const double* a, std::size_t) {
  const double degrees = std::trunc(a[1]);
  if (!openProbability(a[0]) || degrees < 1) return ErrorCode::Num;
  return numberResult(tQuantile(a[0], degrees));
}

// The t beyond which the two tails together hold p.
Value twoTailedInverse(double p, double degrees) {
  if (!(p > 0 && p <= 1) || degrees < 1) return ErrorCode::Num;
  if (p == 1) return 0.0;
  return numberResult(-tQuantile(p / 2, degrees));
}

Value tInvTwoTailed(const double* a, std::size_t) { return twoTailedInverse(a[0], std::trunc(a[1])); }

// CONFIDENCE.T(alpha, sd, size): the interval's half width from the t distribution.
Value confidenceT(const double* a, std::size_t) {
  const double alpha = a[0], sd = a[1], size = std::trunc(a[2]);
  if (!openProbability(alpha) || !(sd > 0) || size < 1) return ErrorCode::Num;
  if (size == 1) return ErrorCode::Div0;
  return numberResult(-tQuantile(alpha / 2, size - 1) * sd / std::sqrt(size));
}

// ---- Chi-squared.

Value chiSqDist(const double* a, std::size_t) {
  const double x = a[0], degrees = std::trunc(a[1]);
  if (x < 0 || !validDegrees(degrees)) return ErrorCode::Num;
  const ChiSquared chi(degrees);
  return numberResult(a[2] != 0 ? cdf(chi, x) : pdf(chi, x));
}

Value chiSqDistRight(const double* a, std::size_t) {
  const double x = a[0], degrees = std::trunc(a[1]);
  if (x < 0 || !validDegrees(degrees)) return ErrorCode::Num;
  return numberResult(cdf(complement(ChiSquared(degrees), x)));
}

Value chiSqInv(const double* a, std::size_t) {
  const double p = a[0], degrees = std::trunc(a[1]);
  if (!closedProbability(p) || !validDegrees(degrees)) return ErrorCode::Num;
  return numberResult(quantile(ChiSquared(degrees), p));
}

Value chiSqInvRight(const double* a, std::size_t) {
  const double p = a[0], degrees = std::trunc(a[1]);
  if (!closedProbability(p) || !validDegrees(degrees)) return ErrorCode::Num;
  return numberResult(quantile(complement(ChiSquared(degrees), p)));
}

// ---- F: both degrees of freedom whole numbers.

bool readF(const double* a, FisherF& f) {
  const double d1 = std::trunc(a[1]), d2 = std::trunc(a[2]);
  if (!validDegrees(d1) || !validDegrees(d2)) return false;
  f = FisherF(d1, d2);
  return true;
}

Value fDist(const double* a, std::size_t) {
  FisherF f(1, 1);
  if (a[0] < 0 || !readF(a, f)) return ErrorCode::Num;
  return numberResult(a[3] != 0 ? cdf(f, a[0]) : pdf(f, a[0]));
}

Value fDistRight(const double* a, std::size_t) {
  FisherF f(1, 1);
  if (a[0] < 0 || !readF(a, f)) return ErrorCode::Num;
  return numberResult(cdf(complement(f, a[0])));
}

// The F whose lower (or upper) tail is p, from the inverse incomplete beta; x / y keeps the
// digits that x / (1 - x) would lose near 1.
Value fQuantile(const double* a, bool upper) {
  FisherF f(1, 1);
  if (!closedProbability(a[0]) || !readF(a, f)) return ErrorCode::Num;
  const double d1 = f.degrees_of_freedom1(), d2 = f.degrees_of_freedom2();
  double y = 0;
  const double x = upper ? boost::math::ibetac_inv(d1 / 2, d2 / 2, a[0], &y, Policy())
                         : boost::math::ibeta_inv(d1 / 2, d2 / 2, a[0], &y, Policy());
  return numberResult(d2 * x / (d1 * y));
}

Value fInv(const double* a, std::size_t) { return fQuantile(a, false); }
Value fInvRight(const double* a, std::size_t) { return fQuantile(a, true); }

const FunctionSpec kSampling[] = {
    newer(scalars("T.DIST", 3, 3, withFlags<kFlag3, tDist>)),
    newer(numbers("T.DIST.RT", 2, 2, tDistRight)),
    newer(numbers("T.DIST.2T", 2, 2, tDistTwoTailed)),
    numbers("TDIST", 3, 3, tDistTails),
    newer(numbers("T.INV", 2, 2, tInv)),
    newer(numbers("T.INV.2T", 2, 2, tInvTwoTailed)),
    numbers("TINV", 2, 2, tInvTwoTailed),
    newer(numbers("CONFIDENCE.T", 3, 3, confidenceT)),
    newer(scalars("CHISQ.DIST", 3, 3, withFlags<kFlag3, chiSqDist>)),
    newer(numbers("CHISQ.DIST.RT", 2, 2, chiSqDistRight)),
    numbers("CHIDIST", 2, 2, chiSqDistRight),
    newer(numbers("CHISQ.INV", 2, 2, chiSqInv)),
    newer(numbers("CHISQ.INV.RT", 2, 2, chiSqInvRight)),
    numbers("CHIINV", 2, 2, chiSqInvRight),
    newer(scalars("F.DIST", 4, 4, withFlags<kFlag4, fDist>)),
    newer(numbers("F.DIST.RT", 3, 3, fDistRight)),
    numbers("FDIST", 3, 3, fDistRight),
    newer(numbers("F.INV", 3, 3, fInv)),
    newer(numbers("F.INV.RT", 3, 3, fInvRight)),
    numbers("FINV", 3, 3, fInvRight),
};

}  // namespace

std::span<const FunctionSpec> samplingDistributionFunctions() { return kSampling; }

}  // namespace calc::distribution
