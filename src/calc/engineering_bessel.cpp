// Bessel functions by the classic fits of the numerical literature (Abramowitz and Stegun 9.4 and
// 9.8, and the rational fits for J and Y below 8). Every product and sum is taken in the order the
// fits are published in, so the results agree with spreadsheets' to the last digit (J1 from 8 on
// apart: see its P below).
#include "engineering_bessel.h"

#include <array>
#include <cmath>

namespace calc {
namespace {

template <std::size_t N>
using Coefficients = std::array<double, N>;

// c[0] + c[1] y + c[2] y^2 + ... by Horner's rule.
template <std::size_t N>
double polynomial(const Coefficients<N>& c, double y) {
  double sum = c[N - 1];
  for (std::size_t k = N - 1; k-- > 0;) sum = sum * y + c[k];
  return sum;
}

// The fits' own rounding of 2/pi, pi/4 and 3 pi/4: their errors show in the results.
constexpr double kTwoOverPi = 0.636619772;
constexpr double kQuarterPi = 0.785398164;
constexpr double kThreeQuarterPi = 2.356194491;

// Below 8, J and Y are ratios of polynomials in x^2; from 8 on, the asymptotic form
// sqrt(2/(pi x)) (P cos(x - phase) - (8/x) Q sin(x - phase)) with P and Q polynomials in (8/x)^2.
constexpr double kAsymptoticFrom = 8;

constexpr Coefficients<6> kJ0Numerator{57568490574.0, -13362590354.0, 651619640.7, -11214424.18, 77392.33017,
                                       -184.9052456};
constexpr Coefficients<6> kJ0Denominator{57568490411.0, 1029532985.0, 9494680.718, 59272.64853, 267.8532712, 1.0};
constexpr Coefficients<6> kJ1Numerator{72362614232.0, -7895059235.0, 242396853.1, -2972611.439, 15704.48260,
                                       -30.16036606};
constexpr Coefficients<6> kJ1Denominator{144725228442.0, 2300535178.0, 18583304.74, 99447.43394, 376.9991397, 1.0};
constexpr Coefficients<6> kY0Numerator{-2957821389.0, 7062834065.0, -512359803.6, 10879881.29, -86327.92757,
                                       228.4622733};
constexpr Coefficients<6> kY0Denominator{40076544269.0, 745249964.8, 7189466.438, 47447.26470, 226.1030244, 1.0};
constexpr Coefficients<6> kY1Numerator{-0.4900604943e13, 0.1275274390e13, -0.5153438139e11, 0.7349264551e9,
                                       -0.4237922726e7, 0.8511937935e4};
constexpr Coefficients<7> kY1Denominator{0.2499580570e14, 0.4244419664e12, 0.3733650367e10, 0.2245904002e8,
                                         0.1020426050e6, 0.3549632885e3, 1.0};

// The asymptotic P and Q. For order 0, J and Y each take the variant of the published
// coefficients that spreadsheets use for them: J0's P has ...8267 in its y term where Y0's has
// ...8627, and Y0's Q ends in ...945152 where J0's ends in ...935152. The two variants differ by
// less than the fit's own error. (Spreadsheets' J1 also repeats the y^2 coefficient of P in its
// y^3 place, an error of up to 1e-5 near x = 8; J1 here keeps the published P.)
constexpr Coefficients<5> kJ0P{1.0, -0.1098628267e-2, 0.2734510407e-4, -0.2073370639e-5, 0.2093887211e-6};
constexpr Coefficients<5> kJ0Q{-0.1562499995e-1, 0.1430488765e-3, -0.6911147651e-5, 0.7621095161e-6,
                               -0.934935152e-7};
constexpr Coefficients<5> kY0P{1.0, -0.1098628627e-2, 0.2734510407e-4, -0.2073370639e-5, 0.2093887211e-6};
constexpr Coefficients<5> kY0Q{-0.1562499995e-1, 0.1430488765e-3, -0.6911147651e-5, 0.7621095161e-6,
                               -0.934945152e-7};
constexpr Coefficients<5> kOrder1P{1.0, 0.183105e-2, -0.3516396496e-4, 0.2457520174e-5, -0.240337019e-6};
constexpr Coefficients<5> kOrder1Q{0.04687499995, -0.2002690873e-3, 0.8449199096e-5, -0.88228987e-6,
                                   0.105787412e-6};

// I0 and I1: polynomials in (x/3.75)^2 below 3.75, e^x/sqrt(x) times a polynomial in 3.75/x above.
constexpr double kIBreak = 3.75;
constexpr Coefficients<7> kI0Small{1.0, 3.5156229, 3.0899424, 1.2067492, 0.2659732, 0.360768e-1, 0.45813e-2};
constexpr Coefficients<9> kI0Large{0.39894228, 0.1328592e-1, 0.225319e-2, -0.157565e-2, 0.916281e-2,
                                   -0.2057706e-1, 0.2635537e-1, -0.1647633e-1, 0.392377e-2};
constexpr Coefficients<7> kI1Small{0.5, 0.87890594, 0.51498869, 0.15084934, 0.2658733e-1, 0.301532e-2,
                                   0.32411e-3};
constexpr Coefficients<9> kI1Large{0.39894228, -0.3988024e-1, -0.362018e-2, 0.163801e-2, -0.1031555e-1,
                                   0.2282967e-1, -0.2895312e-1, 0.1787654e-1, -0.420059e-2};

// K0 and K1: through I and a polynomial in x^2/4 up to 2 (2 included), e^-x/sqrt(x) times a
// polynomial in 2/x beyond.
constexpr double kKBreak = 2;
constexpr Coefficients<7> kK0Small{-0.57721566, 0.42278420, 0.23069756, 0.3488590e-1, 0.262698e-2, 0.10750e-3,
                                   0.74e-5};
constexpr Coefficients<7> kK0Large{1.25331414, -0.7832358e-1, 0.2189568e-1, -0.1062446e-1, 0.587872e-2,
                                   -0.251540e-2, 0.53208e-3};
constexpr Coefficients<7> kK1Small{1.0, 0.15443144, -0.67278579, -0.18156897, -0.1919402e-1, -0.110404e-2,
                                   -0.4686e-4};
constexpr Coefficients<7> kK1Large{1.25331414, 0.23498619, -0.3655620e-1, 0.1504268e-1, -0.780353e-2,
                                   0.325614e-2, -0.68245e-3};

// The asymptotic form's parts at x: sqrt(2/(pi x)), P, Q, 8/x and x - phase.
struct Asymptotic {
  double amplitude, p, q, z, phase;
};

template <std::size_t NP, std::size_t NQ>
Asymptotic asymptotic(double x, double phaseShift, const Coefficients<NP>& p, const Coefficients<NQ>& q) {
  const double z = 8.0 / x, y = z * z;
  return {std::sqrt(kTwoOverPi / x), polynomial(p, y), polynomial(q, y), z, x - phaseShift};
}

double jOf(const Asymptotic& a) { return a.amplitude * (std::cos(a.phase) * a.p - a.z * std::sin(a.phase) * a.q); }
double yOf(const Asymptotic& a) { return a.amplitude * (std::sin(a.phase) * a.p + a.z * std::cos(a.phase) * a.q); }

double j0(double x) {
  if (x < kAsymptoticFrom) {
    const double y = x * x;
    return polynomial(kJ0Numerator, y) / polynomial(kJ0Denominator, y);
  }
  return jOf(asymptotic(x, kQuarterPi, kJ0P, kJ0Q));
}

double j1(double x) {
  if (x < kAsymptoticFrom) {
    const double y = x * x;
    return x * polynomial(kJ1Numerator, y) / polynomial(kJ1Denominator, y);
  }
  return jOf(asymptotic(x, kThreeQuarterPi, kOrder1P, kOrder1Q));
}

double y0(double x) {
  if (x < kAsymptoticFrom) {
    const double y = x * x;
    return polynomial(kY0Numerator, y) / polynomial(kY0Denominator, y) + kTwoOverPi * j0(x) * std::log(x);
  }
  return yOf(asymptotic(x, kQuarterPi, kY0P, kY0Q));
}

double y1(double x) {
  if (x < kAsymptoticFrom) {
    const double y = x * x;
    return x * polynomial(kY1Numerator, y) / polynomial(kY1Denominator, y) +
           kTwoOverPi * (j1(x) * std::log(x) - 1.0 / x);
  }
  return yOf(asymptotic(x, kThreeQuarterPi, kOrder1P, kOrder1Q));
}

// e^x / sqrt(x). Above 709 e^x alone overflows although the quotient need not, so the exponential
// is taken in halves there (below, the plain form keeps the fits' last digits).
constexpr double kLargestExponent = 709;

double expOverSqrt(double x) {
  if (x <= kLargestExponent) return std::exp(x) / std::sqrt(x);
  const double half = std::exp(x / 2);
  return half * (half / std::sqrt(x));
}

double i0(double x) {
  if (x < kIBreak) {
    const double t = x / kIBreak;
    return polynomial(kI0Small, t * t);
  }
  return expOverSqrt(x) * polynomial(kI0Large, kIBreak / x);
}

double i1(double x) {
  if (x < kIBreak) {
    const double t = x / kIBreak;
    return x * polynomial(kI1Small, t * t);
  }
  return polynomial(kI1Large, kIBreak / x) * expOverSqrt(x);
}

double k0(double x) {
  if (x <= kKBreak) return -std::log(x / 2.0) * i0(x) + polynomial(kK0Small, x * x / 4.0);
  return std::exp(-x) / std::sqrt(x) * polynomial(kK0Large, 2.0 / x);
}

double k1(double x) {
  if (x <= kKBreak) return std::log(x / 2.0) * i1(x) + 1.0 / x * polynomial(kK1Small, x * x / 4.0);
  return std::exp(-x) / std::sqrt(x) * polynomial(kK1Large, 2.0 / x);
}

// Y and K grow with the order, and J oscillates while the order is below x: there the recurrence
// f(n+1) = 2n/x f(n) -+ f(n-1) is stable upward.
template <int Sign>
double upward(int order, double x, double first, double second) {
  const double twoOverX = 2.0 / x;
  double previous = first, current = second;
  for (int j = 1; j < order; ++j) {
    const double next = j * twoOverX * current + Sign * previous;
    previous = current;
    current = next;
  }
  return current;
}

// Miller's method: J and I fall with the order once it passes x, so they are recurred downward
// from an order well above the one wanted, starting from arbitrary values, and then scaled. The
// start is the wanted order plus sqrt(40 n), as in the published routines; the running values are
// scaled down whenever they grow past 1e10.
constexpr double kStartAccuracy = 40;
constexpr double kRescaleAbove = 1e10;
constexpr double kRescaleBy = 1e-10;

int millerStart(int order) { return order + static_cast<int>(std::sqrt(kStartAccuracy * order)); }

// Scaled by the sum J0 + 2 (J2 + J4 + ...) = 1.
double jByMiller(int order, double x) {
  const double twoOverX = 2.0 / x;
  const int start = 2 * (millerStart(order) / 2);
  double above = 0, current = 1, sum = 0, wanted = 0;
  bool even = false;
  for (int j = start; j > 0; --j) {
    const double below = j * twoOverX * current - above;
    above = current;
    current = below;
    if (std::fabs(current) > kRescaleAbove) {
      current *= kRescaleBy;
      above *= kRescaleBy;
      wanted *= kRescaleBy;
      sum *= kRescaleBy;
    }
    if (even) sum += current;
    even = !even;
    if (j == order) wanted = above;
  }
  sum = 2.0 * sum - current;
  return wanted / sum;
}

// Scaled by I0 from its fit.
double iByMiller(int order, double x) {
  const double twoOverX = 2.0 / x;
  double above = 0, current = 1, wanted = 0;
  for (int j = 2 * millerStart(order); j > 0; --j) {
    const double below = above + j * twoOverX * current;
    above = current;
    current = below;
    if (std::fabs(current) > kRescaleAbove) {
      wanted *= kRescaleBy;
      current *= kRescaleBy;
      above *= kRescaleBy;
    }
    if (j == order) wanted = above;
  }
  return wanted * (i0(x) / current);
}

}  // namespace

double besselJ(int order, double x) {
  if (order == 0) return j0(x);
  if (order == 1) return j1(x);
  if (x == 0) return 0;
  if (x > order) return upward<-1>(order, x, j0(x), j1(x));
  return jByMiller(order, x);
}

double besselI(int order, double x) {
  if (order == 0) return i0(x);
  if (order == 1) return i1(x);
  if (x == 0) return 0;
  return iByMiller(order, x);
}

double besselY(int order, double x) {
  if (order == 0) return y0(x);
  if (order == 1) return y1(x);
  return upward<-1>(order, x, y0(x), y1(x));
}

double besselK(int order, double x) {
  if (order == 0) return k0(x);
  if (order == 1) return k1(x);
  return upward<+1>(order, x, k0(x), k1(x));
}

}  // namespace calc
