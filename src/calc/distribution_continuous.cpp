// Continuous distributions of one variable and the functions around them: the normal and
// lognormal, exponential, Weibull, gamma and beta distributions with their inverses, GAMMA,
// GAMMALN, GAUSS, PHI, FISHER, FISHERINV, STANDARDIZE and the confidence intervals.
#include <boost/math/constants/constants.hpp>
#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/erf.hpp>
#include <boost/math/special_functions/gamma.hpp>

#include "distribution_support.h"

namespace calc::distribution {

// The lower tail erfc(|z| / sqrt 2) / 2, or one less the upper, as Excel takes them: erfc's
// factor exp(-x * x) at x * x rounded to a double (its far tails carry that rounding, a
// relative 1e-15 at z = -10), and the tail rounded to a double before it is subtracted from 1
// (a difference of one unit just above 0.5). The inverses built on this then agree with the
// values its workbooks hold.
double normalCdf(double z) {
  const double x = std::fabs(z) * boost::math::constants::one_div_root_two<double>();
  long double exact = boost::math::erfc(static_cast<long double>(x), Policy());
  if (x > 0.47) {
    const long double square = static_cast<long double>(x) * x;
    exact *= std::exp(square - static_cast<long double>(x * x));
  }
  const double tail = static_cast<double>(exact);
  return z < 0 ? tail / 2 : 1 - tail / 2;
}

double normalPdf(double z) { return std::exp(-0.5 * z * z) * boost::math::constants::one_div_root_two_pi<double>(); }

namespace {

template <std::size_t N>
double polynomial(const double (&coefficients)[N], double x) {
  double sum = coefficients[N - 1];
  for (std::size_t i = N - 1; i-- > 0;) sum = sum * x + coefficients[i];
  return sum;
}

}  // namespace

// Wichura's algorithm AS 241 (Applied Statistics, 1988): rational fits good to about 1e-16
// in the middle, in the tails and in the far tails.
double normalQuantile(double p) {
  static constexpr double kMiddleTop[] = {3.3871328727963666080, 1.3314166789178437745e+2, 1.9715909503065514427e+3,
                                          1.3731693765509461125e+4, 4.5921953931549871457e+4, 6.7265770927008700853e+4,
                                          3.3430575583588128105e+4, 2.5090809287301226727e+3};
  static constexpr double kMiddleBottom[] = {1.0, 4.2313330701600911252e+1, 6.8718700749205790830e+2,
                                             5.3941960214247511077e+3, 2.1213794301586595867e+4, 3.9307895800092710610e+4,
                                             2.8729085735721942674e+4, 5.2264952788528545610e+3};
  static constexpr double kTailTop[] = {1.42343711074968357734, 4.63033784615654529590, 5.76949722146069140550,
                                        3.64784832476320460504, 1.27045825245236838258, 2.41780725177450611770e-1,
                                        2.27238449892691845833e-2, 7.74545014278341407640e-4};
  static constexpr double kTailBottom[] = {1.0, 2.05319162663775882187, 1.67638483018380384940,
                                           6.89767334985100004550e-1, 1.48103976427480074590e-1, 1.51986665636164571966e-2,
                                           5.47593808499534494600e-4, 1.05075007164441684324e-9};
  static constexpr double kFarTop[] = {6.65790464350110377720, 5.46378491116411436990, 1.78482653991729133580,
                                       2.96560571828504891230e-1, 2.65321895265761230930e-2, 1.24266094738807843860e-3,
                                       2.71155556874348757815e-5, 2.01033439929228813265e-7};
  static constexpr double kFarBottom[] = {1.0, 5.99832206555887937690e-1, 1.36929880922735805310e-1,
                                          1.48753612908506148525e-2, 7.86869131145613259100e-4, 1.84631831751005468180e-5,
                                          1.42151175831644588870e-7, 2.04426310338993978564e-15};
  const double q = p - 0.5;
  if (std::fabs(q) <= 0.425) {
    const double r = 0.180625 - q * q;
    return q * polynomial(kMiddleTop, r) / polynomial(kMiddleBottom, r);
  }
  double r = std::sqrt(-std::log(q < 0 ? p : 1 - p));
  const double z = r <= 5 ? polynomial(kTailTop, r - 1.6) / polynomial(kTailBottom, r - 1.6)
                          : polynomial(kFarTop, r - 5) / polynomial(kFarBottom, r - 5);
  return q < 0 ? -z : z;
}

namespace {

constexpr unsigned kFlag2 = 1u << 1, kFlag3 = 1u << 2, kFlag4 = 1u << 3;

// The normal density or distribution at x.
Value normal(double x, double mean, double sd, bool cumulative) {
  if (!(sd > 0)) return ErrorCode::Num;
  const double z = (x - mean) / sd;
  return numberResult(cumulative ? normalCdf(z) : normalPdf(z) / sd);
}

Value normDist(const double* a, std::size_t) { return normal(a[0], a[1], a[2], a[3] != 0); }
Value normSDist(const double* a, std::size_t) { return normal(a[0], 0, 1, a[1] != 0); }
Value normSDistCumulative(double z) { return numberResult(normalCdf(z)); }

Value normInv(const double* a, std::size_t) {
  if (!openProbability(a[0]) || !(a[2] > 0)) return ErrorCode::Num;
  return numberResult(a[1] + a[2] * normalQuantile(a[0]));
}

Value normSInv(double p) { return openProbability(p) ? numberResult(normalQuantile(p)) : Value(ErrorCode::Num); }

Value logNormal(double x, double mean, double sd, bool cumulative) {
  if (!(x > 0) || !(sd > 0)) return ErrorCode::Num;
  const double z = (std::log(x) - mean) / sd;
  return numberResult(cumulative ? normalCdf(z) : normalPdf(z) / (x * sd));
}

Value logNormDist(const double* a, std::size_t) { return logNormal(a[0], a[1], a[2], a[3] != 0); }
Value logNormDistCumulative(const double* a, std::size_t) { return logNormal(a[0], a[1], a[2], true); }

Value logNormInv(const double* a, std::size_t) {
  if (!openProbability(a[0]) || !(a[2] > 0)) return ErrorCode::Num;
  return numberResult(std::exp(a[1] + a[2] * normalQuantile(a[0])));
}

// EXPON.DIST(x, lambda, cumulative); expm1 keeps small probabilities exact.
Value exponDist(const double* a, std::size_t) {
  const double x = a[0], rate = a[1];
  if (x < 0 || !(rate > 0)) return ErrorCode::Num;
  return numberResult(a[2] != 0 ? -std::expm1(-rate * x) : rate * std::exp(-rate * x));
}

// WEIBULL.DIST(x, shape, scale, cumulative).
Value weibullDist(const double* a, std::size_t) {
  const double x = a[0], shape = a[1], scale = a[2];
  if (x < 0 || !(shape > 0) || !(scale > 0)) return ErrorCode::Num;
  const double power = std::pow(x / scale, shape);
  if (a[3] != 0) return numberResult(-std::expm1(-power));
  return numberResult(shape / scale * std::pow(x / scale, shape - 1) * std::exp(-power));
}

// GAMMA.DIST(x, shape, scale, cumulative).
Value gammaDist(const double* a, std::size_t) {
  const double x = a[0], shape = a[1], scale = a[2];
  if (x < 0 || !(shape > 0) || !(scale > 0)) return ErrorCode::Num;
  if (a[3] != 0) return numberResult(boost::math::gamma_p(shape, x / scale, Policy()));
  return numberResult(boost::math::gamma_p_derivative(shape, x / scale, Policy()) / scale);
}

Value gammaInv(const double* a, std::size_t) {
  const double p = a[0], shape = a[1], scale = a[2];
  if (p < 0 || p >= 1 || !(shape > 0) || !(scale > 0)) return ErrorCode::Num;
  if (p == 0) return 0.0;
  return numberResult(boost::math::gamma_p_inv(shape, p, Policy()) * scale);
}

// The beta distribution over [lower, upper]; bounds left out are 0 and 1.
struct BetaInterval {
  double lower = 0, upper = 1;
  bool valid() const { return lower < upper; }
};

BetaInterval intervalOf(const double* a, std::size_t n, std::size_t first) {
  BetaInterval interval;
  if (n > first) interval.lower = a[first];
  if (n > first + 1) interval.upper = a[first + 1];
  return interval;
}

Value beta(double x, double alpha, double beta, bool cumulative, BetaInterval interval) {
  if (!(alpha > 0) || !(beta > 0) || !interval.valid()) return ErrorCode::Num;
  if (x < interval.lower || x > interval.upper) return ErrorCode::Num;
  const double width = interval.upper - interval.lower;
  const double y = (x - interval.lower) / width;
  if (cumulative) return numberResult(boost::math::ibeta(alpha, beta, y, Policy()));
  return numberResult(boost::math::ibeta_derivative(alpha, beta, y, Policy()) / width);
}

Value betaDist(const double* a, std::size_t n) { return beta(a[0], a[1], a[2], a[3] != 0, intervalOf(a, n, 4)); }
Value betaDistCumulative(const double* a, std::size_t n) { return beta(a[0], a[1], a[2], true, intervalOf(a, n, 3)); }

Value betaInv(const double* a, std::size_t n) {
  const double p = a[0], alpha = a[1], beta = a[2];
  const BetaInterval interval = intervalOf(a, n, 3);
  if (!openProbability(p) || !(alpha > 0) || !(beta > 0) || !interval.valid()) return ErrorCode::Num;
  const double y = boost::math::ibeta_inv(alpha, beta, p, Policy());
  return numberResult(interval.lower + y * (interval.upper - interval.lower));
}

// GAMMA has poles at 0 and the negative integers.
Value gammaFunction(double x) {
  if (x == 0 || (x < 0 && x == std::floor(x))) return ErrorCode::Num;
  return numberResult(boost::math::tgamma(x, Policy()));
}

Value gammaLn(double x) { return x > 0 ? numberResult(boost::math::lgamma(x, Policy())) : Value(ErrorCode::Num); }

Value gauss(double z) { return numberResult(normalCdf(z) - 0.5); }
Value phi(double x) { return numberResult(normalPdf(x)); }

Value fisher(double x) {
  if (!(x > -1 && x < 1)) return ErrorCode::Num;
  return numberResult(0.5 * std::log((1 + x) / (1 - x)));
}

Value fisherInv(double y) {
  const double e = std::exp(2 * y);
  if (std::isinf(e)) return 1.0;
  return numberResult((e - 1) / (e + 1));
}

Value standardize(const double* a, std::size_t) {
  if (!(a[2] > 0)) return ErrorCode::Num;
  return numberResult((a[0] - a[1]) / a[2]);
}

// CONFIDENCE.NORM(alpha, sd, size): half the width of the interval around a sample's mean.
Value confidenceNorm(const double* a, std::size_t) {
  const double alpha = a[0], sd = a[1], size = std::trunc(a[2]);
  if (!openProbability(alpha) || !(sd > 0) || size < 1) return ErrorCode::Num;
  return numberResult(normalQuantile(1 - alpha / 2) * sd / std::sqrt(size));
}

const FunctionSpec kContinuous[] = {
    newer(scalars("NORM.DIST", 4, 4, withFlags<kFlag4, normDist>)),
    scalars("NORMDIST", 4, 4, withFlags<kFlag4, normDist>),
    newer(numbers("NORM.INV", 3, 3, normInv)),
    numbers("NORMINV", 3, 3, normInv),
    newer(scalars("NORM.S.DIST", 2, 2, withFlags<kFlag2, normSDist>)),
    number1("NORMSDIST", normSDistCumulative),
    newer(number1("NORM.S.INV", normSInv)),
    number1("NORMSINV", normSInv),
    newer(scalars("LOGNORM.DIST", 4, 4, withFlags<kFlag4, logNormDist>)),
    numbers("LOGNORMDIST", 3, 3, logNormDistCumulative),
    newer(numbers("LOGNORM.INV", 3, 3, logNormInv)),
    numbers("LOGINV", 3, 3, logNormInv),
    newer(scalars("EXPON.DIST", 3, 3, withFlags<kFlag3, exponDist>)),
    scalars("EXPONDIST", 3, 3, withFlags<kFlag3, exponDist>),
    newer(scalars("WEIBULL.DIST", 4, 4, withFlags<kFlag4, weibullDist>)),
    scalars("WEIBULL", 4, 4, withFlags<kFlag4, weibullDist>),
    newer(scalars("GAMMA.DIST", 4, 4, withFlags<kFlag4, gammaDist>)),
    scalars("GAMMADIST", 4, 4, withFlags<kFlag4, gammaDist>),
    newer(numbers("GAMMA.INV", 3, 3, gammaInv)),
    numbers("GAMMAINV", 3, 3, gammaInv),
    newer(scalars("BETA.DIST", 4, 6, withFlags<kFlag4, betaDist>)),
    numbers("BETADIST", 3, 5, betaDistCumulative),
    newer(numbers("BETA.INV", 3, 5, betaInv)),
    numbers("BETAINV", 3, 5, betaInv),
    newer(number1("GAMMA", gammaFunction)),
    number1("GAMMALN", gammaLn),
    newer(number1("GAMMALN.PRECISE", gammaLn)),
    newer(number1("GAUSS", gauss)),
    newer(number1("PHI", phi)),
    number1("FISHER", fisher),
    number1("FISHERINV", fisherInv),
    numbers("STANDARDIZE", 3, 3, standardize),
    numbers("CONFIDENCE", 3, 3, confidenceNorm),
    newer(numbers("CONFIDENCE.NORM", 3, 3, confidenceNorm)),
};

}  // namespace

std::span<const FunctionSpec> continuousDistributionFunctions() { return kContinuous; }

}  // namespace calc::distribution
