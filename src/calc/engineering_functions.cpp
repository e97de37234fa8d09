// Engineering: Bessel functions (computed in engineering_bessel.cpp), error functions, base
// conversions, bits, units.
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>

#include <boost/math/special_functions/erf.hpp>

#include "engineering_arguments.h"
#include "engineering_bessel.h"
#include "engineering_bases.h"
#include "unit_conversion.h"

namespace calc {
namespace {

// Failures come back as NaN or infinity, which numberResult turns into #NUM!.
namespace policies = boost::math::policies;
using Quiet = policies::policy<policies::domain_error<policies::ignore_error>,
                               policies::pole_error<policies::ignore_error>,
                               policies::overflow_error<policies::ignore_error>,
                               policies::evaluation_error<policies::ignore_error>>;

// Each order costs a step of recurrence, and higher orders give results that are almost always 0
// or beyond the largest number.
constexpr double kLargestOrder = 10000;

// BESSELI(x, n), BESSELJ(x, n): the order is truncated and may not be negative; odd orders are
// odd functions of x.
template <double (*Bessel)(int order, double x)>
Value besselOfAnyX(const double* x, std::size_t) {
  const double order = std::trunc(x[1]);
  if (!(order >= 0 && order <= kLargestOrder)) return ErrorCode::Num;
  const double value = Bessel(static_cast<int>(order), std::fabs(x[0]));
  const bool odd = std::fmod(order, 2) != 0;
  return numberResult(x[0] < 0 && odd ? -value : value);
}

// BESSELK(x, n), BESSELY(x, n): defined for x > 0 only.
template <double (*Bessel)(int order, double x)>
Value besselOfPositiveX(const double* x, std::size_t) {
  const double order = std::trunc(x[1]);
  if (!(order >= 0 && order <= kLargestOrder) || !(x[0] > 0)) return ErrorCode::Num;
  return numberResult(Bessel(static_cast<int>(order), x[0]));
}

// ERF(lower) integrates from 0, ERF(lower, upper) between the two.
Value erfBetween(const double* x, std::size_t n) {
  if (n == 1) return numberResult(boost::math::erf(x[0], Quiet()));
  return numberResult(boost::math::erf(x[1], Quiet()) - boost::math::erf(x[0], Quiet()));
}

Value erfOf(const double* x, std::size_t) { return numberResult(boost::math::erf(x[0], Quiet())); }
Value erfcOf(const double* x, std::size_t) { return numberResult(boost::math::erfc(x[0], Quiet())); }

// DELTA and GESTEP compare exactly, not to 15 digits.
Value delta(const double* x, std::size_t) { return x[0] == x[1] ? 1.0 : 0.0; }
Value gestep(const double* x, std::size_t) { return x[0] >= x[1] ? 1.0 : 0.0; }

constexpr double kBitLimit = 0x1p48;
constexpr double kLargestShift = 53;

// The bit functions take whole numbers from 0 up to 2^48 - 1.
std::optional<std::uint64_t> bitOperand(double x) {
  if (!(x >= 0 && x < kBitLimit) || x != std::floor(x)) return std::nullopt;
  return static_cast<std::uint64_t>(x);
}

template <class Op>
Value bitwise(const double* x, Op op) {
  const auto a = bitOperand(x[0]), b = bitOperand(x[1]);
  if (!a || !b) return ErrorCode::Num;
  return static_cast<double>(op(*a, *b));
}

Value bitAnd(const double* x, std::size_t) { return bitwise(x, [](auto a, auto b) { return a & b; }); }
Value bitOr(const double* x, std::size_t) { return bitwise(x, [](auto a, auto b) { return a | b; }); }
Value bitXor(const double* x, std::size_t) { return bitwise(x, [](auto a, auto b) { return a ^ b; }); }

// A negative shift goes the other way; the shift is truncated and at most 53 places.
Value shiftLeft(double number, double places) {
  const auto n = bitOperand(number);
  const double shift = std::trunc(places);
  if (!n || std::fabs(shift) > kLargestShift) return ErrorCode::Num;
  if (shift < 0) return static_cast<double>(*n >> static_cast<int>(-shift));
  const double shifted = std::ldexp(static_cast<double>(*n), static_cast<int>(shift));
  return shifted < kBitLimit ? Value(shifted) : Value(ErrorCode::Num);
}

Value bitLeftShift(const double* x, std::size_t) { return shiftLeft(x[0], x[1]); }
Value bitRightShift(const double* x, std::size_t) { return shiftLeft(x[0], -x[1]); }

// CONVERT(number, from_unit, to_unit): an unknown unit or a mismatch of quantities is #N/A.
Value convert(const Args& args) {
  const Number n = strictNumber(args, 0);
  if (n.failed) return n.error;
  const Value from = args.scalar(1), to = args.scalar(2);
  if (from.isError()) return from;
  if (to.isError()) return to;
  if (!from.isText() || !to.isText()) return ErrorCode::NA;
  const auto converted = convertUnits(n.value, from.text(), to.text());
  return converted ? numberResult(*converted) : Value(ErrorCode::NA);
}

constexpr auto kFunctions = std::to_array<FunctionSpec>({
    strictNumbers("BESSELI", 2, 2, besselOfAnyX<besselI>),
    strictNumbers("BESSELJ", 2, 2, besselOfAnyX<besselJ>),
    strictNumbers("BESSELK", 2, 2, besselOfPositiveX<besselK>),
    strictNumbers("BESSELY", 2, 2, besselOfPositiveX<besselY>),
    strictNumbers("ERF", 1, 2, erfBetween),
    newer(strictNumbers("ERF.PRECISE", 1, 1, erfOf)),
    strictNumbers("ERFC", 1, 1, erfcOf),
    newer(strictNumbers("ERFC.PRECISE", 1, 1, erfcOf)),
    strictNumbers("DELTA", 1, 2, delta),
    strictNumbers("GESTEP", 1, 2, gestep),
    newer(numbers("BITAND", 2, 2, bitAnd)),
    newer(numbers("BITOR", 2, 2, bitOr)),
    newer(numbers("BITXOR", 2, 2, bitXor)),
    newer(numbers("BITLSHIFT", 2, 2, bitLeftShift)),
    newer(numbers("BITRSHIFT", 2, 2, bitRightShift)),
    raw("CONVERT", 3, 3, convert),
    raw("BIN2DEC", 1, 1, radixConversion<2, 10>),
    raw("BIN2HEX", 1, 2, radixConversion<2, 16>),
    raw("BIN2OCT", 1, 2, radixConversion<2, 8>),
    raw("DEC2BIN", 1, 2, radixConversion<10, 2>),
    raw("DEC2HEX", 1, 2, radixConversion<10, 16>),
    raw("DEC2OCT", 1, 2, radixConversion<10, 8>),
    raw("HEX2BIN", 1, 2, radixConversion<16, 2>),
    raw("HEX2DEC", 1, 1, radixConversion<16, 10>),
    raw("HEX2OCT", 1, 2, radixConversion<16, 8>),
    raw("OCT2BIN", 1, 2, radixConversion<8, 2>),
    raw("OCT2DEC", 1, 1, radixConversion<8, 10>),
    raw("OCT2HEX", 1, 2, radixConversion<8, 16>),
});

}  // namespace

std::span<const FunctionSpec> engineeringFunctions() { return kFunctions; }

}  // namespace calc
