// Circular and hyperbolic functions with the spreadsheet's domain rules: circular functions
// refuse arguments of 2^27 or more in magnitude, reciprocals of 0 are #DIV/0!.
#include <cmath>
#include <numbers>

#include "coercion.h"
#include "function_spec.h"

namespace calc {
namespace {

constexpr double kCircularLimit = 134217728.0;  // 2^27

bool outOfCircularRange(double x) { return std::fabs(x) >= kCircularLimit; }

Value reciprocal(double x) { return x == 0 ? Value(ErrorCode::Div0) : numberResult(1 / x); }

Value circular(double x, double (*fn)(double)) {
  return outOfCircularRange(x) ? Value(ErrorCode::Num) : numberResult(fn(x));
}

Value circularReciprocal(double x, double (*fn)(double)) {
  if (outOfCircularRange(x)) return ErrorCode::Num;
  return x == 0 ? Value(ErrorCode::Div0) : reciprocal(fn(x));
}

// The sheet reduces a circular argument by a multiple of pi/2 taken to 64 bits (the x87
// constant, 0xC90FDAA22168C235 * 2^-63, a little above the true value), not to the double's 53:
// SIN(PI()) is 1.22514845490862E-16, not 1.2246467991473532E-16. The constant is split in three
// (26, 26 and 12 bits) so that each product with a quarter-turn count below 2^27 is exact in a
// double, and the subtractions cancel exactly where the remainder is small, which is where the
// constant's last bits show. Arguments within a quarter turn of 0 need no reduction at all, so
// the common case costs one std::sin.
struct Reduced {
  double remainder;
  int quadrant;  // 0-3: how many quarter turns were taken off, modulo 4
};

constexpr double kQuarterTurn = 1.5707963267948966;
constexpr double kHalfPi1 = 0x3243F6Ap-25;      // the constant's first 26 bits
constexpr double kHalfPi2 = 0x222168Cp-51;      // the next 26
constexpr double kHalfPi3 = 0x235p-63;          // the last 12

Reduced reduce(double x) {
  if (std::fabs(x) <= kQuarterTurn / 2) return {x, 0};
  const double turns = std::nearbyint(x / kQuarterTurn);
  const double r = ((x - turns * kHalfPi1) - turns * kHalfPi2) - turns * kHalfPi3;
  return {r, static_cast<int>(static_cast<long long>(turns) & 3)};
}

double sineOf(const Reduced& a) {
  switch (a.quadrant) {
    case 0: return std::sin(a.remainder);
    case 1: return std::cos(a.remainder);
    case 2: return -std::sin(a.remainder);
    default: return -std::cos(a.remainder);
  }
}

double cosineOf(const Reduced& a) { return sineOf(Reduced{a.remainder, (a.quadrant + 1) & 3}); }

double sine(double x) { return sineOf(reduce(x)); }
double cosine(double x) { return cosineOf(reduce(x)); }
double tangent(double x) {
  const Reduced a = reduce(x);
  return sineOf(a) / cosineOf(a);
}

const FunctionSpec kTrigonometric[] = {
    number1("SIN", [](double x) { return circular(x, sine); }),
    number1("COS", [](double x) { return circular(x, cosine); }),
    number1("TAN", [](double x) { return circular(x, tangent); }),
    newer(number1("COT", [](double x) { return circularReciprocal(x, tangent); })),
    newer(number1("CSC", [](double x) { return circularReciprocal(x, sine); })),
    newer(number1("SEC", [](double x) -> Value { return outOfCircularRange(x) ? Value(ErrorCode::Num) : reciprocal(cosine(x)); })),
    number1("ASIN", [](double x) -> Value { return std::fabs(x) > 1 ? Value(ErrorCode::Num) : Value(std::asin(x)); }),
    number1("ACOS", [](double x) -> Value { return std::fabs(x) > 1 ? Value(ErrorCode::Num) : Value(std::acos(x)); }),
    number1("ATAN", [](double x) -> Value { return std::atan(x); }),
    newer(number1("ACOT", [](double x) -> Value {
      if (x == 0) return std::numbers::pi / 2;
      return x > 0 ? std::atan(1 / x) : std::numbers::pi + std::atan(1 / x);
    })),
    numbers("ATAN2", 2, 2, [](const double* a, std::size_t) -> Value {
      return a[0] == 0 && a[1] == 0 ? Value(ErrorCode::Div0) : Value(std::atan2(a[1], a[0]));
    }),
    number1("SINH", [](double x) { return numberResult(std::sinh(x)); }),
    number1("COSH", [](double x) { return numberResult(std::cosh(x)); }),
    number1("TANH", [](double x) -> Value { return std::tanh(x); }),
    newer(number1("COTH", [](double x) { return x == 0 ? Value(ErrorCode::Div0) : numberResult(1 / std::tanh(x)); })),
    newer(number1("CSCH", [](double x) { return x == 0 ? Value(ErrorCode::Div0) : numberResult(1 / std::sinh(x)); })),
    newer(number1("SECH", [](double x) { return numberResult(1 / std::cosh(x)); })),
    number1("ASINH", [](double x) -> Value { return std::asinh(x); }),
    number1("ACOSH", [](double x) -> Value { return x < 1 ? Value(ErrorCode::Num) : numberResult(std::acosh(x)); }),
    number1("ATANH", [](double x) -> Value { return std::fabs(x) >= 1 ? Value(ErrorCode::Num) : Value(std::atanh(x)); }),
    newer(number1("ACOTH", [](double x) -> Value {
      // ln((x+1)/(x-1))/2 by log1p, odd in x: neither next to 1 (where 1/x rounds away the
      // digits) nor for large x (where the quotient rounds to 1) does it lose any.
      if (std::fabs(x) <= 1) return ErrorCode::Num;
      return numberResult(std::copysign(0.5 * std::log1p(2 / (std::fabs(x) - 1)), x));
    })),
};

}  // namespace

std::span<const FunctionSpec> trigonometricFunctions() { return kTrigonometric; }

}  // namespace calc
