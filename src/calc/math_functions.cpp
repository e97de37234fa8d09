// Arithmetic, powers, logarithms, factorials and combinations.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "coercion.h"
#include "excel_arithmetic.h"
#include "function_spec.h"
#include "numeral_functions.h"
#include "subtotal_functions.h"
#include "operators.h"

namespace calc {
namespace {

constexpr double kPi = std::numbers::pi;

Value logarithm(double x, double base) {
  if (x <= 0 || base <= 0) return ErrorCode::Num;
  if (base == 1) return ErrorCode::Div0;
  if (base == 10) return numberResult(std::log10(x));  // LOG(1000) is exactly 3
  return numberResult(std::log(x) / std::log(base));
}

Value modulo(double n, double d) {
  if (d == 0) return ErrorCode::Div0;
  return numberResult(moduloByDefinition(n, d));
}

Value factorial(double x) {
  if (x < 0) return ErrorCode::Num;
  const double n = std::trunc(x);
  if (n > 170) return ErrorCode::Num;
  double product = 1;
  for (double k = 2; k <= n; ++k) product *= k;
  return product;
}

Value doubleFactorial(double x) {
  if (x < -1) return ErrorCode::Num;
  double product = 1;
  for (double k = std::trunc(x); k > 1; k -= 2) {
    product *= k;
    if (!std::isfinite(product)) return ErrorCode::Num;
  }
  return product;
}

// n choose k by a running product, exact for results below 2^53.
Value choose(double n, double k) {
  if (n < 0 || k < 0 || k > n) return ErrorCode::Num;
  k = std::min(k, n - k);
  if (k > 1e6) return ErrorCode::Num;
  double result = 1;
  for (double i = 1; i <= k; ++i) {
    result = result * (n - k + i) / i;
    if (!std::isfinite(result)) return ErrorCode::Num;
  }
  return result < 9007199254740992.0 ? std::round(result) : result;
}

Value combin(const double* x, std::size_t) { return choose(std::trunc(x[0]), std::trunc(x[1])); }

Value combina(const double* x, std::size_t) {
  const double n = std::trunc(x[0]), k = std::trunc(x[1]);
  if (n < 0 || k < 0) return ErrorCode::Num;
  if (k == 0) return 1.0;
  return choose(n + k - 1, k);
}

// Rounds away from zero to the next even (step 2, offset 0) or odd (step 2, offset 1) integer.
Value roundToParity(double x, double offset) {
  const double magnitude = std::fabs(x);
  double r = std::ceil((magnitude - offset) / 2) * 2 + offset;
  if (r < magnitude) r += 2;
  if (offset == 1 && r < 1) r = 1;
  return numberResult(x < 0 ? -r : r);
}

// n! / (n-k)!, the ordered selections of k out of n.
Value permut(const double* x, std::size_t) {
  const double n = std::trunc(x[0]), k = std::trunc(x[1]);
  if (n < 0 || k < 0 || k > n) return ErrorCode::Num;
  double result = 1;
  for (double i = n - k + 1; i <= n; ++i) {
    result *= i;
    if (!std::isfinite(result)) return ErrorCode::Num;
  }
  return result;
}

Value permutationa(const double* x, std::size_t) {
  const double n = std::trunc(x[0]), k = std::trunc(x[1]);
  if (n < 0 || k < 0) return ErrorCode::Num;
  return numberResult(std::pow(n, k));
}

// A whole number drawn evenly from the whole numbers between the two bounds.
Value randBetween(const Args& args) {
  double bounds[2];
  for (std::size_t i = 0; i < 2; ++i) {
    const Number n = toNumber(args.scalar(i));
    if (n.failed) return n.error;
    bounds[i] = n.value;
  }
  const double low = std::ceil(bounds[0]), high = std::floor(bounds[1]);
  if (low > high) return ErrorCode::Num;
  const double drawn = low + std::floor(args.context().random() * (high - low + 1));
  return numberResult(std::min(drawn, high));
}

const FunctionSpec kMath[] = {
    number1("ABS", [](double x) -> Value { return std::fabs(x); }),
    number1("SIGN", [](double x) -> Value { return x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0); }),
    number1("INT", [](double x) -> Value { return numberResult(floorShown(x)); }),
    number1("SQRT", [](double x) -> Value { return x < 0 ? Value(ErrorCode::Num) : Value(std::sqrt(x)); }),
    number1("SQRTPI", [](double x) -> Value { return x < 0 ? Value(ErrorCode::Num) : numberResult(std::sqrt(x * kPi)); }),
    number1("EXP", [](double x) -> Value { return numberResult(std::exp(x)); }),
    number1("LN", [](double x) -> Value { return logarithm(x, std::numbers::e); }),
    number1("LOG10", [](double x) -> Value { return logarithm(x, 10); }),
    numbers("LOG", 1, 2, [](const double* x, std::size_t n) { return logarithm(x[0], n > 1 ? x[1] : 10); }),
    numbers("POWER", 2, 2, [](const double* x, std::size_t) { return power(x[0], x[1]); }),
    numbers("MOD", 2, 2, [](const double* x, std::size_t) { return modulo(x[0], x[1]); }),
    strictNumbers("QUOTIENT", 2, 2, [](const double* x, std::size_t) -> Value {
      return x[1] == 0 ? Value(ErrorCode::Div0) : numberResult(std::trunc(x[0] / x[1]));
    }),
    numbers("PI", 0, 0, [](const double*, std::size_t) -> Value { return kPi; }),
    number1("DEGREES", [](double x) -> Value { return numberResult(x * 180 / kPi); }),
    number1("RADIANS", [](double x) -> Value { return numberResult(x * kPi / 180); }),
    number1("FACT", factorial),
    number1("FACTDOUBLE", doubleFactorial),
    numbers("COMBIN", 2, 2, combin),
    newer(numbers("COMBINA", 2, 2, combina)),
    number1("EVEN", [](double x) { return roundToParity(x, 0); }),
    number1("ODD", [](double x) { return roundToParity(x, 1); }),
    numbers("PERMUT", 2, 2, permut),
    newer(numbers("PERMUTATIONA", 2, 2, permutationa)),
    raw("RANDBETWEEN", 2, 2, randBetween),
    raw("RAND", 0, 0, [](const Args& args) -> Value { return args.context().random(); }),
};

}  // namespace

std::span<const FunctionSpec> mathFunctions() {
  static const std::vector<FunctionSpec> all = [] {
    std::vector<FunctionSpec> specs(std::begin(kMath), std::end(kMath));
    for (const FunctionSpec& spec : numeralFunctions()) specs.push_back(spec);
    for (const FunctionSpec& spec : subtotalFunctions()) specs.push_back(spec);
    return specs;
  }();
  return all;
}

}  // namespace calc
