// Complex numbers written as text ("3+4i"): COMPLEX and the IM... family. Results are texts
// with each part to 15 significant digits; a result that overflows or sits on a pole is #NUM!.
#include <array>
#include <cmath>

#include "engineering_arguments.h"

namespace calc {
namespace {

using Complex = std::complex<double>;

bool isFinite(Complex z) { return std::isfinite(z.real()) && std::isfinite(z.imag()); }

Value complexResult(Complex z, char suffix) {
  if (!isFinite(z)) return ErrorCode::Num;
  return formatComplex(z, suffix);
}

// Keeps the unit the operands agree on in `unit`; false when an i meets a j.
bool joinUnit(char& unit, char next) {
  if (!next) return true;
  if (unit && unit != next) return false;
  unit = next;
  return true;
}

// COMPLEX's unit: "i" (also when empty) or "j"; 0 for anything else.
char unitNamed(const Value& suffix) {
  if (suffix.isEmpty()) return 'i';
  if (!suffix.isText()) return 0;
  const std::string& name = suffix.text();
  return name.empty() || name == "i" ? 'i' : name == "j" ? 'j' : 0;
}

Value complexNumber(const Args& args) {
  const Number re = strictNumber(args, 0);
  if (re.failed) return re.error;
  const Number im = strictNumber(args, 1);
  if (im.failed) return im.error;
  const Value suffix = args.size() > 2 ? args.scalar(2) : Value();
  if (suffix.isError()) return suffix;
  const char unit = unitNamed(suffix);
  return unit ? complexResult({re.value, im.value}, unit) : Value(ErrorCode::Value);
}

// The functions of one complex number that give a real number.
template <double (*Part)(const Complex&)>
Value realValued(const Value* x, std::size_t) {
  const ComplexArgument a = complexOf(x[0]);
  if (a.failed) return a.error;
  return numberResult(Part(a.z.value));
}

double realOf(const Complex& z) { return z.real(); }
double imaginaryOf(const Complex& z) { return z.imag(); }
double absoluteOf(const Complex& z) { return std::hypot(z.real(), z.imag()); }

Value argument(const Value* x, std::size_t) {
  const ComplexArgument a = complexOf(x[0]);
  if (a.failed) return a.error;
  if (a.z.value == Complex()) return ErrorCode::Div0;
  return std::atan2(a.z.value.imag(), a.z.value.real());
}

// The functions of one complex number that give a complex number in the same unit.
template <Complex (*Op)(Complex)>
Value complexMap(const Value* x, std::size_t) {
  const ComplexArgument a = complexOf(x[0]);
  if (a.failed) return a.error;
  return complexResult(Op(a.z.value), a.z.suffix);
}

Complex conjugate(Complex z) { return std::conj(z); }

// The circular and hyperbolic functions from their real and imaginary parts.
Complex cosine(Complex z) {
  const double x = z.real(), y = z.imag();
  return {std::cos(x) * std::cosh(y), -std::sin(x) * std::sinh(y)};
}
Complex sine(Complex z) {
  const double x = z.real(), y = z.imag();
  return {std::sin(x) * std::cosh(y), std::cos(x) * std::sinh(y)};
}
Complex cosineH(Complex z) {
  const double x = z.real(), y = z.imag();
  return {std::cosh(x) * std::cos(y), std::sinh(x) * std::sin(y)};
}
Complex sineH(Complex z) {
  const double x = z.real(), y = z.imag();
  return {std::sinh(x) * std::cos(y), std::cosh(x) * std::sin(y)};
}

// tan and cot over a real denominator, so that a tiny part of the result keeps its digits
// (a quotient of two complex numbers would cancel them away). Near a pole the denominator is
// taken from an identity that does not cancel: cos 2x + cosh 2y = 2(cos² x + sinh² y).
Complex tangent(Complex z) {
  const double x = z.real(), y = z.imag();
  double denominator = std::cos(2 * x) + std::cosh(2 * y);
  if (denominator < 1) denominator = 2 * (std::cos(x) * std::cos(x) + std::sinh(y) * std::sinh(y));
  if (std::isinf(denominator)) return {0, std::copysign(1.0, y)};  // far off the real axis: ±i
  return {std::sin(2 * x) / denominator, std::sinh(2 * y) / denominator};
}
Complex cotangent(Complex z) {
  const double x = z.real(), y = z.imag();
  double denominator = std::cosh(2 * y) - std::cos(2 * x);
  if (denominator < 1) denominator = 2 * (std::sinh(y) * std::sinh(y) + std::sin(x) * std::sin(x));
  if (std::isinf(denominator)) return {0, -std::copysign(1.0, y)};
  return {std::sin(2 * x) / denominator, -std::sinh(2 * y) / denominator};
}

// 1/w is conj(w) / |w|², with w = (re, im) one of cos z, sin z, cosh z, sinh z and |w|² from
// an identity of that function (for cos z: cos² x + sinh² y) rather than from w's rounded
// parts. The parts are taken in extended precision, so that the 15 digits shown are those of
// the exact value; where w itself overflows a double the result is #NUM! as before.
struct Parts {
  long double re, im, squaredModulus;
};
Complex reciprocal(Complex w, const Parts& p) {
  if (!isFinite(w)) return std::conj(w) / std::norm(w);
  return {static_cast<double>(p.re / p.squaredModulus), static_cast<double>(-p.im / p.squaredModulus)};
}
Complex secant(Complex z) {
  const long double x = z.real(), y = z.imag(), c = std::cos(x), s = std::sin(x), ch = std::cosh(y),
                    sh = std::sinh(y);
  return reciprocal(cosine(z), {c * ch, -s * sh, c * c + sh * sh});
}
Complex cosecant(Complex z) {
  const long double x = z.real(), y = z.imag(), c = std::cos(x), s = std::sin(x), ch = std::cosh(y),
                    sh = std::sinh(y);
  return reciprocal(sine(z), {s * ch, c * sh, s * s + sh * sh});
}
Complex secantH(Complex z) {
  const long double x = z.real(), y = z.imag(), c = std::cos(y), s = std::sin(y), ch = std::cosh(x),
                    sh = std::sinh(x);
  return reciprocal(cosineH(z), {ch * c, sh * s, sh * sh + c * c});
}
Complex cosecantH(Complex z) {
  const long double x = z.real(), y = z.imag(), c = std::cos(y), s = std::sin(y), ch = std::cosh(x),
                    sh = std::sinh(x);
  return reciprocal(sineH(z), {sh * c, ch * s, sh * sh + s * s});
}
Complex exponential(Complex z) {
  const double scale = std::exp(z.real());
  return {scale * std::cos(z.imag()), scale * std::sin(z.imag())};
}
// Logarithms of 0 are -infinity, turned into #NUM! with every other infinite result.
Complex logarithm(Complex z) { return {std::log(std::abs(z)), std::arg(z)}; }
Complex logarithm10(Complex z) { return {std::log10(std::abs(z)), std::arg(z) / std::log(10.0)}; }
Complex logarithm2(Complex z) { return logarithm(z) / std::log(2.0); }

// Powers go through the polar form, as the spreadsheet computes them: the square root of -1
// has a real part of 6.1E-17, not 0.
Complex polarPower(Complex z, double n) {
  return std::polar(std::pow(std::abs(z), n), n * std::arg(z));
}
Complex squareRoot(Complex z) { return polarPower(z, 0.5); }

Value power(const Args& args) {
  const ComplexArgument a = complexOf(args.scalar(0));
  if (a.failed) return a.error;
  const Number n = strictNumber(args, 1);
  if (n.failed) return n.error;
  if (a.z.value == Complex()) return n.value > 0 ? Value("0") : Value(ErrorCode::Num);
  return complexResult(polarPower(a.z.value, n.value), a.z.suffix);
}

// IMSUB and IMDIV: two complex numbers, given directly or as single cells.
template <bool Divide>
Value twoOperands(const Value* x, std::size_t) {
  const ComplexArgument a = complexOf(x[0]);
  if (a.failed) return a.error;
  const ComplexArgument b = complexOf(x[1]);
  if (b.failed) return b.error;
  char unit = a.z.suffix;
  if (!joinUnit(unit, b.z.suffix)) return ErrorCode::Value;
  if (!Divide) return complexResult(a.z.value - b.z.value, unit);
  if (b.z.value == Complex()) return ErrorCode::Num;
  return complexResult(a.z.value / b.z.value, unit);
}

bool isList(const Args& args, std::size_t i) {
  return args.isCollection(i) && !(args.isRange(i) && args.operand(i).range.isSingleCell());
}

// IMSUM and IMPRODUCT: every value of every argument, ranges and arrays included. An empty
// cell given alone is 0; empty cells of a larger range are skipped, as PRODUCT skips them.
template <bool Multiply>
Value fold(const Args& args) {
  Complex total = Multiply ? Complex(1) : Complex();
  char unit = 0;
  Value error;
  for (std::size_t i = 0; i < args.size() && error.isEmpty(); ++i) {
    if (args.isMissing(i)) return ErrorCode::NA;
    const bool list = isList(args, i);
    args.forEach(i, [&](const Value& v) {
      if (list && v.isEmpty()) return true;
      const ComplexArgument a = complexOf(v);
      if (a.failed) error = a.error;
      else if (!joinUnit(unit, a.z.suffix)) error = ErrorCode::Value;
      else total = Multiply ? total * a.z.value : total + a.z.value;
      return error.isEmpty();
    });
  }
  return error.isEmpty() ? complexResult(total, unit) : error;
}

constexpr auto kFunctions = std::to_array<FunctionSpec>({
    raw("COMPLEX", 2, 3, complexNumber),
    scalars("IMABS", 1, 1, realValued<absoluteOf>),
    scalars("IMAGINARY", 1, 1, realValued<imaginaryOf>),
    scalars("IMARGUMENT", 1, 1, argument),
    scalars("IMCONJUGATE", 1, 1, complexMap<conjugate>),
    scalars("IMCOS", 1, 1, complexMap<cosine>),
    newer(scalars("IMCOSH", 1, 1, complexMap<cosineH>)),
    newer(scalars("IMCOT", 1, 1, complexMap<cotangent>)),
    newer(scalars("IMCSC", 1, 1, complexMap<cosecant>)),
    newer(scalars("IMCSCH", 1, 1, complexMap<cosecantH>)),
    scalars("IMDIV", 2, 2, twoOperands<true>),
    scalars("IMEXP", 1, 1, complexMap<exponential>),
    scalars("IMLN", 1, 1, complexMap<logarithm>),
    scalars("IMLOG10", 1, 1, complexMap<logarithm10>),
    scalars("IMLOG2", 1, 1, complexMap<logarithm2>),
    raw("IMPOWER", 2, 2, power),
    raw("IMPRODUCT", 1, kManyArgs, fold<true>),
    scalars("IMREAL", 1, 1, realValued<realOf>),
    newer(scalars("IMSEC", 1, 1, complexMap<secant>)),
    newer(scalars("IMSECH", 1, 1, complexMap<secantH>)),
    scalars("IMSIN", 1, 1, complexMap<sine>),
    newer(scalars("IMSINH", 1, 1, complexMap<sineH>)),
    scalars("IMSQRT", 1, 1, complexMap<squareRoot>),
    scalars("IMSUB", 2, 2, twoOperands<false>),
    raw("IMSUM", 1, kManyArgs, fold<false>),
    newer(scalars("IMTAN", 1, 1, complexMap<tangent>)),
});

}  // namespace

std::span<const FunctionSpec> complexFunctions() { return kFunctions; }

}  // namespace calc
