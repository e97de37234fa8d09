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

double sine(double x) { return std::sin(x); }
double cosine(double x) { return std::cos(x); }
double tangent(double x) { return std::tan(x); }

const FunctionSpec kTrigonometric[] = {
    number1("SIN", [](double x) { return circular(x, sine); }),
    number1("COS", [](double x) { return circular(x, cosine); }),
    number1("TAN", [](double x) { return circular(x, tangent); }),
    number1("COT", [](double x) { return circularReciprocal(x, tangent); }),
    number1("CSC", [](double x) { return circularReciprocal(x, sine); }),
    number1("SEC", [](double x) -> Value { return outOfCircularRange(x) ? Value(ErrorCode::Num) : reciprocal(std::cos(x)); }),
    number1("ASIN", [](double x) -> Value { return std::fabs(x) > 1 ? Value(ErrorCode::Num) : Value(std::asin(x)); }),
    number1("ACOS", [](double x) -> Value { return std::fabs(x) > 1 ? Value(ErrorCode::Num) : Value(std::acos(x)); }),
    number1("ATAN", [](double x) -> Value { return std::atan(x); }),
    number1("ACOT", [](double x) -> Value {
      if (x == 0) return std::numbers::pi / 2;
      return x > 0 ? std::atan(1 / x) : std::numbers::pi + std::atan(1 / x);
    }),
    numbers("ATAN2", 2, 2, [](const double* a, std::size_t) -> Value {
      return a[0] == 0 && a[1] == 0 ? Value(ErrorCode::Div0) : Value(std::atan2(a[1], a[0]));
    }),
    number1("SINH", [](double x) { return numberResult(std::sinh(x)); }),
    number1("COSH", [](double x) { return numberResult(std::cosh(x)); }),
    number1("TANH", [](double x) -> Value { return std::tanh(x); }),
    number1("COTH", [](double x) { return x == 0 ? Value(ErrorCode::Div0) : numberResult(1 / std::tanh(x)); }),
    number1("CSCH", [](double x) { return x == 0 ? Value(ErrorCode::Div0) : numberResult(1 / std::sinh(x)); }),
    number1("SECH", [](double x) { return numberResult(1 / std::cosh(x)); }),
    number1("ASINH", [](double x) -> Value { return std::asinh(x); }),
    number1("ACOSH", [](double x) -> Value { return x < 1 ? Value(ErrorCode::Num) : numberResult(std::acosh(x)); }),
    number1("ATANH", [](double x) -> Value { return std::fabs(x) >= 1 ? Value(ErrorCode::Num) : Value(std::atanh(x)); }),
    number1("ACOTH", [](double x) -> Value {
      // ln((x+1)/(x-1))/2 by log1p, odd in x: neither next to 1 (where 1/x rounds away the
      // digits) nor for large x (where the quotient rounds to 1) does it lose any.
      if (std::fabs(x) <= 1) return ErrorCode::Num;
      return numberResult(std::copysign(0.5 * std::log1p(2 / (std::fabs(x) - 1)), x));
    }),
};

}  // namespace

std::span<const FunctionSpec> trigonometricFunctions() { return kTrigonometric; }

}  // namespace calc
